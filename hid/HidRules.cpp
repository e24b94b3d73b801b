#include "hid/HidRules.h"

#include <algorithm>

namespace {

char16_t FoldAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool SameText(const std::u16string& a, const std::u16string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return FoldAscii(x) == FoldAscii(y); });
}

bool AnyConfiguredIn(const TTextList& AConfigured, const TTextList& AHardwareIDs)
{
    return std::any_of(AConfigured.begin(), AConfigured.end(),
                       [&](const std::u16string& id) { return ContainsText(AHardwareIDs, id); });
}

} // namespace

TTextList SplitMultiString(const char16_t* AText, size_t ACount)
{
    TTextList result;
    size_t pos = 0;
    while (pos < ACount && AText[pos] != 0) {
        size_t end = pos;
        while (end < ACount && AText[end] != 0) ++end;
        result.emplace_back(AText + pos, end - pos);
        pos = end + 1;
    }
    return result;
}

bool ContainsText(const TTextList& AList, const std::u16string& AText)
{
    return std::any_of(AList.begin(), AList.end(), [&](const std::u16string& s) { return SameText(s, AText); });
}

bool PassesReadFilter(const TTextList& AConfigured, const std::u16string& AHIDID, const TTextList& AHardwareIDs)
{
    if (AConfigured.empty()) return true;
    if (AHIDID == u"*") return AnyConfiguredIn(AConfigured, AHardwareIDs);
    return ContainsText(AHardwareIDs, AHIDID);
}

bool PassesTransferFilter(const TTextList& AConfigured, const std::u16string& ADeviceID,
                          const TTextList& AHardwareIDs)
{
    if (!ADeviceID.empty() && ADeviceID != u"*") return ContainsText(AHardwareIDs, ADeviceID);
    return AConfigured.empty() || AnyConfiguredIn(AConfigured, AHardwareIDs);
}

uint32_t ButtonChange(const uint16_t* AReleased, const uint16_t* APressed, size_t ACount)
{
    for (size_t i = 0; i < ACount; ++i)
        if (AReleased[i] != 0) return AReleased[i];
    for (size_t i = 0; i < ACount; ++i)
        if (APressed[i] != 0) return static_cast<uint32_t>(APressed[i]) << 16;
    return 0;
}
