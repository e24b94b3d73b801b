#include "framework/win/FileStream.h"

#include "framework/core/Exception.h"
#include "framework/win/FileSystem.h"
#include "framework/win/WinText.h"

namespace {

// ReadFile and WriteFile move at most a DWORD's worth of bytes per call.
constexpr int64_t kChunk = 1 << 30;

}  // namespace

TFileStream::TFileStream(const std::u16string& AFileName, TFileMode AMode)
{
    const bool create = AMode == TFileMode::Create;
    FHandle.Reset(CreateFileW(W(AFileName), create ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                              create ? 0 : FILE_SHARE_READ, nullptr, create ? CREATE_ALWAYS : OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!FHandle) {
        const std::u16string reason = SysErrorMessage(GetLastError());
        throw Exception((create ? u"Cannot create file \"" : u"Cannot open file \"") + AFileName + u"\". " + reason);
    }
}

int64_t TFileStream::Size() const
{
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(FHandle.Get(), &size)) throw Exception(u"Stream read error");
    return size.QuadPart;
}

void TFileStream::ReadBuffer(void* ABuffer, int64_t ACount)
{
    auto* bytes = static_cast<char*>(ABuffer);
    while (ACount > 0) {
        const DWORD want = static_cast<DWORD>(ACount < kChunk ? ACount : kChunk);
        DWORD got = 0;
        if (!ReadFile(FHandle.Get(), bytes, want, &got, nullptr) || got == 0)
            throw Exception(u"Stream read error");
        bytes += got;
        ACount -= got;
    }
}

void TFileStream::WriteBuffer(const void* ABuffer, int64_t ACount)
{
    const auto* bytes = static_cast<const char*>(ABuffer);
    while (ACount > 0) {
        const DWORD want = static_cast<DWORD>(ACount < kChunk ? ACount : kChunk);
        DWORD written = 0;
        if (!WriteFile(FHandle.Get(), bytes, want, &written, nullptr) || written == 0)
            throw Exception(u"Stream write error");
        bytes += written;
        ACount -= written;
    }
}
