#pragma once
// Controls, forms and helpers the language component's tests share.
#include "framework/core/Control.h"
#include "lang/LanguageData.h"
#include "lang/TranslationService.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// A control of a given class name, with a caption and a hint.
class TTestControl : public TControl {
public:
    TTestControl(TComponent* AOwner, std::u16string AClassName, const std::u16string& ACaption,
                 const std::u16string& AHint = std::u16string())
        : TControl(AOwner), FClassName(std::move(AClassName))
    {
        SetCaption(ACaption);
        SetHint(AHint);
    }
    std::u16string ClassName() const override { return FClassName; }

private:
    std::u16string FClassName;
};

// A control that publishes only its hint.
class THintOnly : public TControl {
public:
    using TControl::TControl;
    bool GetTextProperty(std::u16string_view AName, std::u16string& AValue) const override
    {
        return AName == u"Hint" && TControl::GetTextProperty(AName, AValue);
    }
};

// A control whose caption cannot be written.
class TReadOnlyCaption : public TControl {
public:
    using TControl::TControl;
    void SetTextProperty(std::u16string_view AName, const std::u16string& AValue) override
    {
        if (AName == u"Caption") throw std::runtime_error("read-only caption");
        TControl::SetTextProperty(AName, AValue);
    }
};

class TMainForm : public TControl {
public:
    using TControl::TControl;
    std::u16string ClassName() const override { return u"TMainForm"; }
    bool IsForm() const override { return true; }
};

// Leaves the process-wide translation service without table and hook after each test.
class TServiceReset : public ::testing::Test {
protected:
    void TearDown() override
    {
        CustomTranslateHook = nullptr;
        TranslationService::Reset();
    }
};

inline std::vector<std::u16string> Lines(const TStringList& AList)
{
    std::vector<std::u16string> out;
    for (int i = 0; i < AList.Count(); ++i) out.push_back(AList.Strings(i));
    return out;
}

inline std::vector<uint8_t> ReadBytes(const std::u16string& AFileName)
{
    std::ifstream in(std::filesystem::path(AFileName), std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::u16string& AFileName, const std::vector<uint8_t>& ABytes)
{
    std::ofstream out(std::filesystem::path(AFileName), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(ABytes.data()), static_cast<std::streamsize>(ABytes.size()));
}

// Language data with the given languages, each a name and its table lines.
inline std::vector<uint8_t> LanguageFile(std::initializer_list<const char16_t*> ASource,
                                         std::initializer_list<std::pair<const char16_t*, std::vector<const char16_t*>>> ALanguages)
{
    TStringList original = NewSourceTextList(CompareOrdinal);
    for (const char16_t* s : ASource) original.Add(s);
    TStringList languages = NewLanguageList(CompareOrdinal);
    for (const auto& [name, lines] : ALanguages) {
        auto table = NewTranslationTable(CompareOrdinal);
        for (const char16_t* line : lines) table->Add(line);
        languages.AddObject(name, std::move(table));
    }
    return WriteLanguageData(original, languages);
}
