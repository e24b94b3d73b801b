#include "framework/win/IniFile.h"

#include <windows.h>

#include <cstdint>

#include "framework/win/WinText.h"

namespace {

// Calls GetPrivateProfileStringW with a buffer that grows until the answer fits; the function
// answers size - 1 (or size - 2 for a list of names) when it had to cut the text.
std::u16string ProfileString(const wchar_t* ASection, const wchar_t* AKey, const wchar_t* ADefault,
                             const std::u16string& AFileName)
{
    std::u16string buffer(2048, u'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetPrivateProfileStringW(ASection, AKey, ADefault,
                                                      reinterpret_cast<wchar_t*>(buffer.data()), size, W(AFileName));
        if (length + 2 < size) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::u16string TIniFile::ReadString(const std::u16string& ASection, const std::u16string& AKey,
                                    const std::u16string& ADefault) const
{
    return ProfileString(W(ASection), W(AKey), W(ADefault), FFileName);
}

int TIniFile::ReadInteger(const std::u16string& ASection, const std::u16string& AKey, int ADefault) const
{
    const std::u16string text = ReadString(ASection, AKey, u"");
    size_t i = 0;
    const bool negative = i < text.size() && text[i] == u'-';
    if (negative || (i < text.size() && text[i] == u'+')) ++i;
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return ADefault;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        int digit;
        if (c >= u'0' && c <= u'9') digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
        else return ADefault;
        value = value * base + digit;
        if (value > int64_t{INT32_MAX} + 1) return ADefault;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return ADefault;
    return static_cast<int>(value);
}

std::vector<std::u16string> TIniFile::ReadSection(const std::u16string& ASection) const
{
    // The key names come back as one text, each name ended by a NUL.
    const std::u16string names = ProfileString(W(ASection), nullptr, L"", FFileName);
    std::vector<std::u16string> keys;
    size_t start = 0;
    while (start < names.size()) {
        size_t end = names.find(u'\0', start);
        if (end == std::u16string::npos) end = names.size();
        if (end > start) keys.push_back(names.substr(start, end - start));
        start = end + 1;
    }
    return keys;
}

std::vector<std::pair<std::u16string, std::u16string>> TIniFile::ReadSectionValues(const std::u16string& ASection) const
{
    std::vector<std::pair<std::u16string, std::u16string>> values;
    for (const std::u16string& key : ReadSection(ASection)) values.emplace_back(key, ReadString(ASection, key, u""));
    return values;
}
