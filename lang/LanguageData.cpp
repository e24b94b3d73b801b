#include "lang/LanguageData.h"

#include "framework/core/Text.h"

namespace {

class TReader {
public:
    explicit TReader(std::span<const uint8_t> AData) : FData(AData) {}

    size_t Left() const { return FData.size() - FPos; }
    size_t Pos() const { return FPos; }

    bool ReadCount(int32_t& AValue, std::u16string& AError)
    {
        if (Left() < 4) {
            AError = u"truncated at byte " + IntToStr(static_cast<long long>(FPos)) + u": a count needs 4 bytes, " +
                     IntToStr(static_cast<long long>(Left())) + u" left";
            return false;
        }
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | FData[FPos + static_cast<size_t>(i)];
        AValue = static_cast<int32_t>(v);
        FPos += 4;
        return true;
    }

    bool ReadWideText(std::u16string& AText, std::u16string& AError)
    {
        const size_t at = FPos;
        int32_t units = 0;
        if (!ReadCount(units, AError)) return false;
        if (units < 0 || static_cast<uint64_t>(units) * 2 > Left()) {
            AError = u"the text length " + IntToStr(units) + u" at byte " + IntToStr(static_cast<long long>(at)) +
                     u" does not fit the " + IntToStr(static_cast<long long>(Left())) + u" bytes left";
            return false;
        }
        AText.resize(static_cast<size_t>(units));
        for (size_t i = 0; i < AText.size(); ++i)
            AText[i] = static_cast<char16_t>(FData[FPos + 2 * i] | (FData[FPos + 2 * i + 1] << 8));
        FPos += AText.size() * 2;
        return true;
    }

private:
    std::span<const uint8_t> FData;
    size_t FPos = 0;
};

void WriteCount(std::vector<uint8_t>& AOut, uint32_t AValue)
{
    for (int i = 0; i < 4; ++i) AOut.push_back(static_cast<uint8_t>(AValue >> (8 * i)));
}

void WriteWideText(std::vector<uint8_t>& AOut, const std::u16string& AText)
{
    WriteCount(AOut, static_cast<uint32_t>(AText.size()));
    for (const char16_t c : AText) {
        AOut.push_back(static_cast<uint8_t>(c & 0xFF));
        AOut.push_back(static_cast<uint8_t>(c >> 8));
    }
}

bool Read(std::span<const uint8_t> AData, TLanguageData& AResult, std::u16string& AError)
{
    // Every item is made of 4-byte counts and 2-byte units.
    if (AData.size() % 2 != 0) {
        AError = u"odd length of " + IntToStr(static_cast<long long>(AData.size())) + u" bytes";
        return false;
    }
    TReader reader(AData);
    std::u16string text;
    if (!reader.ReadWideText(text, AError)) return false;
    AResult.Original.SetText(text);

    const size_t at = reader.Pos();
    int32_t count = 0;
    if (!reader.ReadCount(count, AError)) return false;
    // A count of zero or less adds no language; the source texts stand, and what follows the
    // count is not language data.
    if (count <= 0) return true;
    // Each language takes at least its two lengths, 8 bytes: a larger count is damage, and is
    // caught before anything is made for it.
    if (static_cast<uint64_t>(count) * 8 > reader.Left()) {
        AError = u"the language count " + IntToStr(count) + u" at byte " + IntToStr(static_cast<long long>(at)) +
                 u" does not fit the " + IntToStr(static_cast<long long>(reader.Left())) + u" bytes left";
        return false;
    }
    for (int32_t i = 0; i < count; ++i) {
        std::u16string name;
        if (!reader.ReadWideText(name, AError) || !reader.ReadWideText(text, AError)) return false;
        auto table = NewTranslationTable(AResult.Original.Compare());
        table->SetText(text);
        AResult.Languages.AddObject(std::move(name), std::move(table));
    }
    if (reader.Left() != 0) {
        AError = IntToStr(static_cast<long long>(reader.Left())) + u" bytes after the last language";
        return false;
    }
    return true;
}

} // namespace

TStringList NewSourceTextList(TTextCompare ACompare)
{
    return TStringList(ACompare, TListOrder::Sorted, TCase::Sensitive, TDuplicates::Ignore);
}

TStringList NewLanguageList(TTextCompare ACompare)
{
    return TStringList(ACompare, TListOrder::Insertion, TCase::Insensitive, TDuplicates::Accept);
}

std::unique_ptr<TStringList> NewTranslationTable(TTextCompare ACompare)
{
    return std::make_unique<TStringList>(ACompare, TListOrder::Sorted, TCase::Sensitive, TDuplicates::Ignore);
}

bool ReadLanguageData(std::span<const uint8_t> AData, TLanguageData& AResult, std::u16string& AError)
{
    if (Read(AData, AResult, AError)) return true;
    AResult.Original.Clear();
    AResult.Languages.Clear();
    return false;
}

std::vector<uint8_t> WriteLanguageData(const TStringList& AOriginal, const TStringList& ALanguages)
{
    std::vector<uint8_t> out;
    WriteWideText(out, AOriginal.Text());
    WriteCount(out, static_cast<uint32_t>(ALanguages.Count()));
    for (int i = 0; i < ALanguages.Count(); ++i) {
        WriteWideText(out, ALanguages.Strings(i));
        const auto* table = dynamic_cast<const TStringList*>(ALanguages.Objects(i));
        WriteWideText(out, table ? table->Text() : std::u16string());
    }
    return out;
}
