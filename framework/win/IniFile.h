#pragma once
// Reading an INI file through the system's profile-string functions.
#include <string>
#include <utility>
#include <vector>

class TIniFile {
public:
    explicit TIniFile(std::u16string AFileName) : FFileName(std::move(AFileName)) {}

    std::u16string ReadString(const std::u16string& ASection, const std::u16string& AKey,
                              const std::u16string& ADefault) const;
    // A decimal number, or a hexadecimal one written with "$" or "0x"; ADefault for anything else.
    int ReadInteger(const std::u16string& ASection, const std::u16string& AKey, int ADefault) const;
    // The section's keys in their order.
    std::vector<std::u16string> ReadSection(const std::u16string& ASection) const;
    // Each key of the section with its value.
    std::vector<std::pair<std::u16string, std::u16string>> ReadSectionValues(const std::u16string& ASection) const;

private:
    std::u16string FFileName;
};
