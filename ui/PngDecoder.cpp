#include "ui/PngDecoder.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace {

constexpr uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr uint32_t kMaxChunkLength = 0x7FFFFFFF;
constexpr uint8_t kColourRgb = 2;
constexpr uint8_t kColourRgba = 6;

uint32_t BigEndian32(const uint8_t* AData)
{
    return (uint32_t{AData[0]} << 24) | (uint32_t{AData[1]} << 16) | (uint32_t{AData[2]} << 8) | uint32_t{AData[3]};
}

bool IsType(const uint8_t* AType, const char (&AName)[5]) { return std::memcmp(AType, AName, 4) == 0; }

// The bit depths PNG defines for a colour type; an empty answer for an undefined type.
bool DepthDefined(uint8_t AColourType, uint8_t ADepth)
{
    switch (AColourType) {
    case 0: return ADepth == 1 || ADepth == 2 || ADepth == 4 || ADepth == 8 || ADepth == 16;
    case 3: return ADepth == 1 || ADepth == 2 || ADepth == 4 || ADepth == 8;
    case 2:
    case 4:
    case 6: return ADepth == 8 || ADepth == 16;
    default: return false;
    }
}

struct THeader {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint32_t Channels = 0;
};

TPngResult ReadHeader(const uint8_t* ABody, uint32_t ALength, THeader& AHeader)
{
    if (ALength != 13) return TPngResult::BadHeader;
    const uint32_t width = BigEndian32(ABody), height = BigEndian32(ABody + 4);
    const uint8_t depth = ABody[8], colour = ABody[9], compression = ABody[10], filter = ABody[11],
                  interlace = ABody[12];
    if (width == 0 || height == 0 || width > kMaxChunkLength || height > kMaxChunkLength) return TPngResult::BadHeader;
    if (!DepthDefined(colour, depth) || compression != 0 || filter != 0 || interlace > 1) return TPngResult::BadHeader;
    if ((colour != kColourRgb && colour != kColourRgba) || depth != 8 || interlace != 0) return TPngResult::Unsupported;
    if (width > kPngMaxSide || height > kPngMaxSide || uint64_t{width} * height > kPngMaxPixels)
        return TPngResult::TooLarge;
    AHeader = {width, height, colour == kColourRgba ? 4u : 3u};
    return TPngResult::Ok;
}

uint8_t Paeth(uint8_t ALeft, uint8_t AUp, uint8_t AUpLeft)
{
    const int p = ALeft + AUp - AUpLeft;
    const int pa = std::abs(p - ALeft), pb = std::abs(p - AUp), pc = std::abs(p - AUpLeft);
    if (pa <= pb && pa <= pc) return ALeft;
    return pb <= pc ? AUp : AUpLeft;
}

// Inflates the picture data as its chunks come and undoes the filters row by row, so that what
// it holds grows with the data really present, never with what a header claims.
class TRowInflater {
public:
    explicit TRowInflater(const THeader& AHeader)
        : FHeader(AHeader), FRowBytes(size_t{AHeader.Width} * AHeader.Channels), FPrevious(FRowBytes + 1),
          FCurrent(FRowBytes + 1)
    {
        FReady = inflateInit(&FStream) == Z_OK;
    }
    ~TRowInflater()
    {
        if (FReady) inflateEnd(&FStream);
    }
    TRowInflater(const TRowInflater&) = delete;
    TRowInflater& operator=(const TRowInflater&) = delete;

    TPngResult Feed(const uint8_t* AData, uint32_t ALength)
    {
        if (!FReady) return TPngResult::BadData;
        if (FEnded) return ALength == 0 ? TPngResult::Ok : TPngResult::TooMuchData;
        FStream.next_in = const_cast<Bytef*>(AData);
        FStream.avail_in = ALength;
        while (FStream.avail_in > 0) {
            uint8_t spare = 0;
            const bool allRows = FRows == FHeader.Height;
            FStream.next_out = allRows ? &spare : FCurrent.data() + FFilled;
            FStream.avail_out = allRows ? 1 : static_cast<uInt>(FCurrent.size() - FFilled);
            const uInt room = FStream.avail_out;
            const int status = inflate(&FStream, Z_NO_FLUSH);
            const uInt produced = room - FStream.avail_out;
            if (allRows && produced > 0) return TPngResult::TooMuchData;
            FFilled += produced;
            if (FFilled == FCurrent.size()) {
                const TPngResult row = CompleteRow();
                if (row != TPngResult::Ok) return row;
            }
            if (status == Z_STREAM_END) {
                FEnded = true;
                return FStream.avail_in == 0 ? TPngResult::Ok : TPngResult::TooMuchData;
            }
            if (status != Z_OK) return TPngResult::BadData;
        }
        return TPngResult::Ok;
    }

    TPngResult Finish(TPngImage& AImage)
    {
        if (!FEnded || FRows != FHeader.Height) return TPngResult::BadData;
        AImage.Width = FHeader.Width;
        AImage.Height = FHeader.Height;
        AImage.Rgba = std::move(FRgba);
        return TPngResult::Ok;
    }

private:
    TPngResult CompleteRow()
    {
        const uint8_t filter = FCurrent[0];
        uint8_t* row = FCurrent.data() + 1;
        const uint8_t* up = FPrevious.data() + 1;
        const size_t bpp = FHeader.Channels;
        for (size_t i = 0; i < FRowBytes; ++i) {
            const uint8_t left = i >= bpp ? row[i - bpp] : 0;
            const uint8_t upLeft = i >= bpp ? up[i - bpp] : 0;
            switch (filter) {
            case 0: break;
            case 1: row[i] = static_cast<uint8_t>(row[i] + left); break;
            case 2: row[i] = static_cast<uint8_t>(row[i] + up[i]); break;
            case 3: row[i] = static_cast<uint8_t>(row[i] + (left + up[i]) / 2); break;
            case 4: row[i] = static_cast<uint8_t>(row[i] + Paeth(left, up[i], upLeft)); break;
            default: return TPngResult::BadData;
            }
        }
        const size_t start = FRgba.size();
        FRgba.resize(start + size_t{FHeader.Width} * 4);
        uint8_t* out = FRgba.data() + start;
        for (size_t x = 0; x < FHeader.Width; ++x, out += 4, row += FHeader.Channels) {
            std::memcpy(out, row, 3);
            out[3] = FHeader.Channels == 4 ? row[3] : 255;
        }
        std::swap(FPrevious, FCurrent);
        FFilled = 0;
        ++FRows;
        return TPngResult::Ok;
    }

    THeader FHeader;
    size_t FRowBytes;
    // Each row with its filter type byte in front; the row above starts as zeros.
    std::vector<uint8_t> FPrevious;
    std::vector<uint8_t> FCurrent;
    size_t FFilled = 0;
    uint32_t FRows = 0;
    std::vector<uint8_t> FRgba;
    z_stream FStream{};
    bool FReady = false;
    bool FEnded = false;
};

// With AHeaderOnly the walk ends at the header chunk, leaving AImage with the size alone.
TPngResult Decode(std::span<const uint8_t> AData, TPngImage& AImage, bool AHeaderOnly)
{
    if (AData.empty()) return TPngResult::NotPng;
    const size_t signature = AData.size() < sizeof kSignature ? AData.size() : sizeof kSignature;
    if (std::memcmp(AData.data(), kSignature, signature) != 0) return TPngResult::NotPng;
    if (signature < sizeof kSignature) return TPngResult::Truncated;

    THeader header;
    std::unique_ptr<TRowInflater> pixels;
    bool dataSeen = false;
    bool dataDone = false;
    for (size_t pos = sizeof kSignature;;) {
        // Length, type, body, checksum.
        if (AData.size() - pos < 12) return TPngResult::Truncated;
        const uint8_t* chunk = AData.data() + pos;
        const uint32_t length = BigEndian32(chunk);
        if (length > kMaxChunkLength) return TPngResult::BadData;
        if (length > AData.size() - pos - 12) return TPngResult::Truncated;
        const uint8_t* type = chunk + 4;
        const uint8_t* body = chunk + 8;
        if (crc32(0, type, length + 4) != BigEndian32(body + length)) return TPngResult::BadCrc;
        pos += size_t{length} + 12;

        if (IsType(type, "IHDR")) {
            if (header.Width != 0) return TPngResult::BadHeader;
            const TPngResult read = ReadHeader(body, length, header);
            if (read != TPngResult::Ok) return read;
            if (AHeaderOnly) {
                AImage.Width = header.Width;
                AImage.Height = header.Height;
                return TPngResult::Ok;
            }
            pixels = std::make_unique<TRowInflater>(header);
            continue;
        }
        if (!pixels) return TPngResult::BadHeader;
        if (IsType(type, "IDAT")) {
            // The picture data is one run of consecutive chunks.
            if (dataDone) return TPngResult::BadData;
            dataSeen = true;
            const TPngResult fed = pixels->Feed(body, length);
            if (fed != TPngResult::Ok) return fed;
            continue;
        }
        if (IsType(type, "IEND")) return pixels->Finish(AImage);
        dataDone = dataSeen;
        // A suggested palette of a truecolour picture and ancillary chunks (bit 5 of the first
        // letter) are not needed to draw it; any other critical chunk is.
        if (!IsType(type, "PLTE") && (type[0] & 0x20) == 0) return TPngResult::Unsupported;
    }
}

} // namespace

TPngResult DecodePng(std::span<const uint8_t> AData, TPngImage& AImage)
{
    AImage = {};
    TPngImage image;
    const TPngResult result = Decode(AData, image, false);
    if (result == TPngResult::Ok) AImage = std::move(image);
    return result;
}

TPngResult ReadPngSize(std::span<const uint8_t> AData, uint32_t& AWidth, uint32_t& AHeight)
{
    TPngImage image;
    const TPngResult result = Decode(AData, image, true);
    AWidth = image.Width;
    AHeight = image.Height;
    return result;
}

std::vector<uint8_t> PremultipliedBgra(const TPngImage& AImage)
{
    std::vector<uint8_t> out(AImage.Rgba.size());
    for (size_t i = 0; i + 3 < AImage.Rgba.size(); i += 4) {
        const unsigned alpha = AImage.Rgba[i + 3];
        for (size_t c = 0; c < 3; ++c)
            out[i + 2 - c] = static_cast<uint8_t>((AImage.Rgba[i + c] * alpha + 127) / 255);
        out[i + 3] = static_cast<uint8_t>(alpha);
    }
    return out;
}

const char* PngResultText(TPngResult AResult)
{
    switch (AResult) {
    case TPngResult::Ok: return "decoded";
    case TPngResult::NotPng: return "not a PNG file";
    case TPngResult::Truncated: return "the file is cut short";
    case TPngResult::BadCrc: return "a chunk's checksum does not match";
    case TPngResult::BadHeader: return "the header is missing or invalid";
    case TPngResult::Unsupported: return "a kind of PNG the windows do not use";
    case TPngResult::TooLarge: return "the picture is too large";
    case TPngResult::BadData: return "the picture data is damaged";
    case TPngResult::TooMuchData: return "the picture data is longer than its size";
    }
    return "unknown result";
}
