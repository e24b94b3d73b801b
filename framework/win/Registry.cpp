#include "framework/win/Registry.h"

#include "framework/core/Exception.h"
#include "framework/win/WinText.h"

bool TRegistry::OpenKey(const std::u16string& AKey, bool ACanCreate)
{
    HKEY key = nullptr;
    const REGSAM access = KEY_READ | KEY_WRITE;
    const LSTATUS status = ACanCreate ? RegCreateKeyExW(FRootKey, W(AKey), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                        access, nullptr, &key, nullptr)
                                      : RegOpenKeyExW(FRootKey, W(AKey), 0, access, &key);
    if (status != ERROR_SUCCESS) return false;
    FKey.Reset(key);
    return true;
}

bool TRegistry::ValueExists(const std::u16string& AName) const { return GetDataSize(AName) >= 0; }

long TRegistry::GetDataSize(const std::u16string& AName) const
{
    DWORD size = 0;
    if (RegQueryValueExW(FKey.Get(), W(AName), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return -1;
    return static_cast<long>(size);
}

long TRegistry::ReadBinaryData(const std::u16string& AName, void* ABuffer, long ABufSize) const
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(FKey.Get(), W(AName), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return 0;
    if (type != REG_BINARY || static_cast<long>(size) > ABufSize)
        throw Exception(u"Invalid data type for '" + AName + u"'");
    if (RegQueryValueExW(FKey.Get(), W(AName), nullptr, &type, static_cast<BYTE*>(ABuffer), &size) != ERROR_SUCCESS
        || type != REG_BINARY)
        throw Exception(u"Failed to get data for '" + AName + u"'");
    return static_cast<long>(size);
}

namespace {
void SetValue(HKEY AKey, const std::u16string& AName, DWORD AType, const void* AData, DWORD ASize)
{
    if (RegSetValueExW(AKey, W(AName), 0, AType, static_cast<const BYTE*>(AData), ASize) != ERROR_SUCCESS)
        throw Exception(u"Failed to set data for '" + AName + u"'");
}
} // namespace

void TRegistry::WriteBinaryData(const std::u16string& AName, const void* ABuffer, long ABufSize) const
{
    SetValue(FKey.Get(), AName, REG_BINARY, ABuffer, static_cast<DWORD>(ABufSize));
}

void TRegistry::WriteInteger(const std::u16string& AName, uint32_t AValue) const
{
    SetValue(FKey.Get(), AName, REG_DWORD, &AValue, sizeof AValue);
}
