#pragma once
// Pop-up menu component: items with caption, visibility and click event, shown at a point.
#include "framework/core/Component.h"
#include "framework/core/Event.h"

#include <windows.h>

#include <string>
#include <vector>

class TMenuItem : public TComponent {
public:
    TMenuItem(TComponent* AOwner, const std::u16string& ACaption);
    std::u16string Caption;
    bool Visible = true;
    TEvent<void(TMenuItem* Sender)> OnClick;
};

class TPopupMenu : public TComponent {
public:
    explicit TPopupMenu(TComponent* AOwner) : TComponent(AOwner) {}
    // The items, in menu order; they are owned components of the menu.
    TMenuItem* Add(const std::u16string& ACaption);
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int AIndex) const { return FItems.at(static_cast<size_t>(AIndex)); }

    // Builds the menu of the visible items as it would be shown (the caller destroys it); the
    // command of item i is i + 1.
    HMENU BuildMenu() const;
    // Shows the menu at (X, Y) for AWindow and runs the chosen item's OnClick.
    void Popup(HWND AWindow, int X, int Y);

private:
    std::vector<TMenuItem*> FItems;
};
