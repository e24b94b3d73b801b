#pragma once
// Stored images checked against the layout tables: a list of (field, offset, size, value) cases
// with offsets written as numbers, and an expected image built from them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct TFieldCase {
    std::string Field;
    size_t Offset;
    size_t Size;     // bytes of a little-endian number; 0 for a text
    uint64_t Value;
    std::u16string Text;  // written with its terminating NUL unit
};

inline TFieldCase Num(std::string AField, size_t AOffset, size_t ASize, uint64_t AValue)
{
    return {std::move(AField), AOffset, ASize, AValue, {}};
}

inline TFieldCase Text(std::string AField, size_t AOffset, std::u16string AText)
{
    return {std::move(AField), AOffset, 0, 0, std::move(AText)};
}

struct TByteRange {
    size_t Offset;
    size_t Size;
};

// The image a record should have: AFill everywhere, zero in the cleared ranges, then the cases.
inline std::vector<uint8_t> ExpectedImage(size_t ASize, uint8_t AFill, const std::vector<TByteRange>& ACleared,
                                          const std::vector<TFieldCase>& ACases)
{
    std::vector<uint8_t> image(ASize, AFill);
    for (const TByteRange& r : ACleared) std::memset(image.data() + r.Offset, 0, r.Size);
    for (const TFieldCase& c : ACases) {
        if (c.Size == 0) {
            for (size_t i = 0; i <= c.Text.size(); ++i) {
                const char16_t unit = i < c.Text.size() ? c.Text[i] : u'\0';
                image.at(c.Offset + 2 * i) = static_cast<uint8_t>(unit);
                image.at(c.Offset + 2 * i + 1) = static_cast<uint8_t>(unit >> 8);
            }
        } else {
            for (size_t i = 0; i < c.Size; ++i) image.at(c.Offset + i) = static_cast<uint8_t>(c.Value >> (8 * i));
        }
    }
    return image;
}

// Compares an image byte by byte and names the case covering the first differing bytes.
inline void ExpectImage(const void* AActual, const std::vector<uint8_t>& AExpected,
                        const std::vector<TFieldCase>& ACases)
{
    const auto* actual = static_cast<const uint8_t*>(AActual);
    int reported = 0;
    for (size_t i = 0; i < AExpected.size() && reported < 10; ++i) {
        if (actual[i] == AExpected[i]) continue;
        std::string field = "(a byte no field names)";
        for (const TFieldCase& c : ACases) {
            const size_t size = c.Size ? c.Size : 2 * (c.Text.size() + 1);
            if (i >= c.Offset && i < c.Offset + size) field = c.Field;
        }
        ADD_FAILURE() << "byte " << i << " is " << int(actual[i]) << ", expected " << int(AExpected[i]) << " in "
                      << field;
        ++reported;
    }
}

// The cases of a factory game profile 1..5, by the layout tables' offsets.
std::vector<TFieldCase> GameProfileCases(int AGame, uint64_t AUIDBits);
// The cleared part of button entries 0..9: bytes 0..3903 of each.
std::vector<TByteRange> GameProfileClearedRanges();
std::vector<TFieldCase> TestProfileCases(uint64_t AUIDBits);
