#include "framework/win/FileSystem.h"

#include <windows.h>

#include "framework/core/FilePath.h"
#include "framework/win/WinText.h"

bool FileExists(const std::u16string& AFileName)
{
    const DWORD attributes = GetFileAttributesW(W(AFileName));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::u16string& ADirectory)
{
    if (ADirectory.empty()) return false;
    const DWORD attributes = GetFileAttributesW(W(ADirectory));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CreateDir(const std::u16string& ADirectory) { return CreateDirectoryW(W(ADirectory), nullptr) != FALSE; }

std::u16string ProgramFolder()
{
    // The buffer grows until the whole path fits: a long path is never cut short.
    std::u16string path(MAX_PATH, u'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, reinterpret_cast<wchar_t*>(path.data()),
                                                static_cast<DWORD>(path.size()));
        if (length == 0) return std::u16string();
        if (length < path.size()) {
            path.resize(length);
            return ExtractFilePath(path);
        }
        path.resize(path.size() * 2);
    }
}

std::u16string SysErrorMessage(unsigned long AErrorCode)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, AErrorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text;
    if (length != 0 && buffer) text.assign(reinterpret_cast<const char16_t*>(buffer), length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() <= u' ' || text.back() == u'.')) text.pop_back();
    return text;
}
