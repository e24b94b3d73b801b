#pragma once
// The system's text type is UTF-16 (std::u16string) on every platform, so stored formats have
// the same bytes natively and on Windows. These are the few conversions it needs.
#include <string>
#include <string_view>

// UTF-8 to UTF-16; an invalid sequence becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view AText);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view AText);
// Decimal text of a number, as the traces and registry names need it.
std::u16string IntToStr(long long AValue);
