#include "framework/core/MemoryStream.h"

#include <cstring>

void TMemoryStream::SetSize(int64_t ASize)
{
    FData.resize(ASize < 0 ? 0 : static_cast<size_t>(ASize));
}

int64_t TMemoryStream::Write(const void* ABuffer, int64_t ACount)
{
    if (ACount <= 0) return 0;
    const int64_t end = FPosition + ACount;
    if (end > Size()) SetSize(end);
    std::memcpy(FData.data() + FPosition, ABuffer, static_cast<size_t>(ACount));
    FPosition = end;
    return ACount;
}

int64_t TMemoryStream::Read(void* ABuffer, int64_t ACount)
{
    const int64_t available = Size() - FPosition;
    const int64_t count = ACount < available ? ACount : available;
    if (count <= 0) return 0;
    std::memcpy(ABuffer, FData.data() + FPosition, static_cast<size_t>(count));
    FPosition += count;
    return count;
}
