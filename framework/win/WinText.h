#pragma once
// The system's strings are UTF-16 on every platform; on Windows wchar_t is the same 16-bit unit,
// so a UTF-16 string passes to the W functions as it is.
#include <string>

inline const wchar_t* W(const std::u16string& AText) { return reinterpret_cast<const wchar_t*>(AText.c_str()); }
inline std::u16string U(const wchar_t* AText)
{
    return AText ? std::u16string(reinterpret_cast<const char16_t*>(AText)) : std::u16string();
}
