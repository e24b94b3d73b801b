#pragma once
// A scene of the vector UI toolkit, as far as translation goes: it holds texts and, when the
// translation service asks, passes each of them through TranslateText and keeps the result.
// A scene registers itself with the service for its lifetime.
#include "framework/core/Component.h"

#include <string>
#include <vector>

class TuiScene : public TComponent {
public:
    explicit TuiScene(TComponent* AOwner);
    ~TuiScene() override;

    int AddText(const std::u16string& AText);
    const std::u16string& Text(int AIndex) const { return FTexts.at(static_cast<size_t>(AIndex)); }
    // Replaces a text, as the program changes it rather than a translation.
    void SetText(int AIndex, const std::u16string& AText) { FTexts.at(static_cast<size_t>(AIndex)) = AText; }
    int TextCount() const { return static_cast<int>(FTexts.size()); }

    // Replaces every text with its translation (TranslateText).
    virtual void TranslateTexts();

private:
    std::vector<std::u16string> FTexts;
};
