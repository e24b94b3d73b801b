#pragma once
// One open registry key under a root key, with the class library's error texts for values that
// cannot be read or written.
#include <cstdint>
#include <string>

#include "framework/win/Handle.h"

class TRegistry {
public:
    explicit TRegistry(HKEY ARootKey) : FRootKey(ARootKey) {}

    // Opens AKey below the root key for reading and writing, creating it when ACanCreate.
    bool OpenKey(const std::u16string& AKey, bool ACanCreate);
    void CloseKey() { FKey.Reset(); }

    bool ValueExists(const std::u16string& AName) const;
    // The value's size in bytes, -1 when it does not exist.
    long GetDataSize(const std::u16string& AName) const;
    // Reads a REG_BINARY value of at most ABufSize bytes and returns its size, 0 when it does not
    // exist. Raises Exception "Invalid data type for 'name'" for another type or a larger value,
    // "Failed to get data for 'name'" when the read fails.
    long ReadBinaryData(const std::u16string& AName, void* ABuffer, long ABufSize) const;
    // Raises Exception "Failed to set data for 'name'" when the write fails.
    void WriteBinaryData(const std::u16string& AName, const void* ABuffer, long ABufSize) const;
    // Writes a REG_DWORD value; raises the same Exception as WriteBinaryData when the write fails.
    void WriteInteger(const std::u16string& AName, uint32_t AValue) const;

private:
    HKEY FRootKey;
    TRegKeyOwner FKey;
};
