#pragma once
// Places of one test in the real registry and file system, removed before and after the test so
// that tests never see each other's data.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/Text.h"
#include "framework/win/Handle.h"
#include "framework/win/WinText.h"

inline std::u16string CurrentTestName()
{
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    return Utf16FromUtf8(std::string(info->test_suite_name()) + "." + info->name());
}

// HKCU\<APath>, deleted with everything below it.
class TTestRegistryKey {
public:
    explicit TTestRegistryKey(std::u16string APath) : FPath(std::move(APath)) { Delete(); }
    ~TTestRegistryKey() { Delete(); }
    const std::u16string& Path() const { return FPath; }
    void Delete() const { RegDeleteTreeW(HKEY_CURRENT_USER, W(FPath)); }

    bool Exists() const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, W(FPath), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }
    // The value's bytes and type; false when it does not exist.
    bool Read(const std::u16string& AName, std::vector<uint8_t>& AData, DWORD* AType = nullptr) const
    {
        DWORD type = 0;
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, W(FPath), W(AName), RRF_RT_ANY, &type, nullptr, &size) != ERROR_SUCCESS)
            return false;
        AData.resize(size);
        if (RegGetValueW(HKEY_CURRENT_USER, W(FPath), W(AName), RRF_RT_ANY, &type, AData.data(), &size)
            != ERROR_SUCCESS)
            return false;
        AData.resize(size);
        if (AType) *AType = type;
        return true;
    }
    void Write(const std::u16string& AName, const void* AData, DWORD ASize, DWORD AType = REG_BINARY) const
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, W(FPath), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        TRegKeyOwner owner(key);
        ASSERT_EQ(RegSetValueExW(key, W(AName), 0, AType, static_cast<const BYTE*>(AData), ASize), ERROR_SUCCESS);
    }

private:
    std::u16string FPath;
};

// A folder of its own under a parent (the temporary folder unless given), with a trailing "\".
class TTestFolder {
public:
    explicit TTestFolder(const std::u16string& AName, std::u16string AParent = TempFolder(), bool ACreate = true)
        : FPath(std::move(AParent) + AName + u"\\")
    {
        Remove();
        if (ACreate) std::filesystem::create_directories(Fs());
    }
    ~TTestFolder() { Remove(); }
    const std::u16string& Path() const { return FPath; }
    std::filesystem::path Fs() const { return std::filesystem::path(reinterpret_cast<const wchar_t*>(FPath.c_str())); }
    void Remove() const
    {
        std::error_code ignored;
        std::filesystem::remove_all(Fs(), ignored);
    }

    static std::u16string TempFolder()
    {
        wchar_t buffer[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, buffer);
        return U(buffer);
    }

private:
    std::u16string FPath;
};

inline std::filesystem::path FsPath(const std::u16string& APath)
{
    return std::filesystem::path(reinterpret_cast<const wchar_t*>(APath.c_str()));
}

inline std::vector<uint8_t> FileBytes(const std::u16string& APath)
{
    std::vector<uint8_t> bytes;
    std::error_code error;
    const auto size = std::filesystem::file_size(FsPath(APath), error);
    if (error) return bytes;
    bytes.resize(size);
    HANDLE h = CreateFileW(W(APath), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    THandleOwner file(h);
    DWORD got = 0;
    if (!file || !ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) bytes.clear();
    return bytes;
}

inline void WriteFileBytes(const std::u16string& APath, const std::vector<uint8_t>& ABytes)
{
    HANDLE h = CreateFileW(W(APath), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    THandleOwner file(h);
    ASSERT_TRUE(file.Valid());
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(h, ABytes.data(), static_cast<DWORD>(ABytes.size()), &written, nullptr));
}
