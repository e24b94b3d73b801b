#pragma once
// A growable block of bytes with a position, as the profile storage mirrors it to a file or a
// registry value.
#include <cstdint>
#include <vector>

class TMemoryStream {
public:
    int64_t Size() const { return static_cast<int64_t>(FData.size()); }
    // Bytes added by growing are zero; the position stays where it was.
    void SetSize(int64_t ASize);
    int64_t Position() const { return FPosition; }
    void SetPosition(int64_t APosition) { FPosition = APosition < 0 ? 0 : APosition; }

    // Null while the stream is empty.
    uint8_t* Memory() { return FData.empty() ? nullptr : FData.data(); }
    const uint8_t* Memory() const { return FData.empty() ? nullptr : FData.data(); }

    // Writes at the position, growing the stream as needed; returns the bytes written.
    int64_t Write(const void* ABuffer, int64_t ACount);
    // Copies what the stream has from the position, at most ACount bytes; returns the count.
    int64_t Read(void* ABuffer, int64_t ACount);

private:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};
