#pragma once
// Decoder of the PNG pictures the windows draw: 8-bit truecolour with or without alpha, not
// interlaced, inflated by zlib. Anything else, and anything damaged, is refused with the reason;
// a refused file leaves no picture behind.
#include <cstdint>
#include <span>
#include <vector>

enum class TPngResult {
    Ok,
    NotPng,      // no PNG signature
    Truncated,   // the file ends inside a chunk, or before its end chunk
    BadCrc,      // a chunk's checksum does not match
    BadHeader,   // the header chunk is missing, misplaced or holds values PNG does not define
    Unsupported, // a valid PNG of a kind the windows do not use (palette, grey, 16 bits, interlaced)
    TooLarge,    // width or height beyond the limits below
    BadData,     // the picture data is damaged (deflate stream, filter type, chunk order)
    TooMuchData, // the picture data goes on past the last row: the file is not what its header says
};

// A decoded picture: rows from the top, four bytes a pixel in the order red, green, blue, alpha;
// alpha is not premultiplied and 255 for pictures without alpha.
struct TPngImage {
    uint32_t Width = 0;
    uint32_t Height = 0;
    std::vector<uint8_t> Rgba;
};

// The largest picture taken: far above the windows' own, and far below what a 32-bit process
// can hold, so that a small file cannot make the decoder allocate without bound.
inline constexpr uint32_t kPngMaxSide = 8192;
inline constexpr uint64_t kPngMaxPixels = 4u * 1024 * 1024;

// On Ok AImage holds the picture; otherwise it is empty.
TPngResult DecodePng(std::span<const uint8_t> AData, TPngImage& AImage);
// The size the file's header gives, checked as DecodePng checks it, without decoding the
// picture data (a later DecodePng may still refuse it); 0 x 0 unless Ok.
TPngResult ReadPngSize(std::span<const uint8_t> AData, uint32_t& AWidth, uint32_t& AHeight);
// The picture as GDI blends it: blue, green, red, alpha, each colour premultiplied by alpha.
std::vector<uint8_t> PremultipliedBgra(const TPngImage& AImage);
// A short English sentence for the result, for traces and test output.
const char* PngResultText(TPngResult AResult);
