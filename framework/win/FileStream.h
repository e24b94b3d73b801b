#pragma once
// A file opened for reading or created for writing, with the class library's error texts.
#include <cstdint>
#include <string>

#include "framework/win/Handle.h"

enum class TFileMode { OpenRead, Create };

class TFileStream {
public:
    // Raises Exception "Cannot open file "name". reason" or "Cannot create file "name". reason".
    TFileStream(const std::u16string& AFileName, TFileMode AMode);

    int64_t Size() const;
    // Both raise Exception ("Stream read error", "Stream write error") unless every byte moves.
    void ReadBuffer(void* ABuffer, int64_t ACount);
    void WriteBuffer(const void* ABuffer, int64_t ACount);

private:
    THandleOwner FHandle;
};
