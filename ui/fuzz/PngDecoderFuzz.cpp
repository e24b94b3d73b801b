// Fuzz target of the PNG decoder: any input is decoded whole or refused with no picture left,
// and a decoded picture holds exactly its width times height pixels within the limits, the size
// its header alone gives. Each input is decoded as it is and once more with its chunk checksums
// made right, so that mutations reach the header and the picture data instead of stopping at the
// first checksum.
#include "ui/PngDecoder.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(std::span<const uint8_t> AData)
{
    TPngImage image;
    image.Width = 1;
    const TPngResult result = DecodePng(AData, image);
    uint32_t width = 1, height = 1;
    const TPngResult header = ReadPngSize(AData, width, height);
    // The header read refuses nothing the decoder takes, and gives the decoded size.
    if (header != TPngResult::Ok && (result == TPngResult::Ok || width != 0 || height != 0)) std::abort();
    if (result == TPngResult::Ok && (width != image.Width || height != image.Height)) std::abort();
    if (result != TPngResult::Ok) {
        if (image.Width != 0 || image.Height != 0 || !image.Rgba.empty()) std::abort();
        return;
    }
    if (image.Width == 0 || image.Height == 0 || image.Width > kPngMaxSide || image.Height > kPngMaxSide) std::abort();
    if (image.Rgba.size() != size_t{image.Width} * image.Height * 4) std::abort();
}

uint32_t BigEndian32(const uint8_t* AData)
{
    return (uint32_t{AData[0]} << 24) | (uint32_t{AData[1]} << 16) | (uint32_t{AData[2]} << 8) | uint32_t{AData[3]};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* AData, size_t ASize)
{
    const std::span<const uint8_t> input(AData, ASize);
    Check(input);
    std::vector<uint8_t> fixed(input.begin(), input.end());
    for (size_t pos = 8; fixed.size() >= pos + 12;) {
        const uint32_t length = BigEndian32(&fixed[pos]);
        if (length > fixed.size() - pos - 12) break;
        const uint32_t crc = static_cast<uint32_t>(crc32(0, &fixed[pos + 4], length + 4));
        for (int i = 0; i < 4; ++i) fixed[pos + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        pos += size_t{length} + 12;
    }
    if (fixed != std::vector<uint8_t>(input.begin(), input.end())) Check(fixed);
    return 0;
}
