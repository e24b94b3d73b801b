#include "ui/PngDecoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

TBytes ReadFile(const std::string& APath)
{
    std::ifstream in(APath, std::ios::binary);
    return TBytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void PutBigEndian32(TBytes& AOut, uint32_t AValue)
{
    for (int shift = 24; shift >= 0; shift -= 8) AOut.push_back(static_cast<uint8_t>(AValue >> shift));
}

TBytes Chunk(const char* AType, const TBytes& ABody)
{
    TBytes out;
    PutBigEndian32(out, static_cast<uint32_t>(ABody.size()));
    out.insert(out.end(), AType, AType + 4);
    out.insert(out.end(), ABody.begin(), ABody.end());
    PutBigEndian32(out, static_cast<uint32_t>(crc32(0, out.data() + 4, static_cast<uInt>(ABody.size() + 4))));
    return out;
}

TBytes Header(uint32_t AWidth, uint32_t AHeight, uint8_t ADepth = 8, uint8_t AColour = 2, uint8_t AInterlace = 0,
              uint8_t ACompression = 0)
{
    TBytes body;
    PutBigEndian32(body, AWidth);
    PutBigEndian32(body, AHeight);
    body.insert(body.end(), {ADepth, AColour, ACompression, 0, AInterlace});
    return Chunk("IHDR", body);
}

TBytes Deflate(const TBytes& ARaw)
{
    uLongf size = compressBound(static_cast<uLong>(ARaw.size()));
    TBytes out(size);
    compress2(out.data(), &size, ARaw.data(), static_cast<uLong>(ARaw.size()), Z_BEST_COMPRESSION);
    out.resize(size);
    return out;
}

TBytes Png(std::initializer_list<TBytes> AChunks)
{
    TBytes out{137, 80, 78, 71, 13, 10, 26, 10};
    for (const TBytes& c : AChunks) out.insert(out.end(), c.begin(), c.end());
    return out;
}

const TBytes kEnd = Chunk("IEND", {});

// A 2 x 2 RGB picture, each row unfiltered: its pixel data deflated.
const TBytes kRaw2x2 = {0, 10, 20, 30, 40, 50, 60, 0, 70, 80, 90, 100, 110, 120};
TBytes Valid2x2() { return Png({Header(2, 2), Chunk("IDAT", Deflate(kRaw2x2)), kEnd}); }

TBytes Rgba(std::initializer_list<uint8_t> APixels) { return TBytes(APixels); }

TEST(PngDecoder, OurPicturesDecodeToWhatAnotherDecoderMakesOfThem)
{
    // Both kinds the windows use: the background is RGB, the buttons RGBA with soft edges.
    for (const char* name : {"AboutBackground", "AboutGoWeb", "AboutOkNormal", "AboutOkHot", "AboutOkPressed"}) {
        SCOPED_TRACE(name);
        const TBytes file = ReadFile(std::string(QEL_PICTURES) + "/" + name + ".png");
        const TBytes reference = ReadFile(std::string(QEL_REFERENCES) + "/" + name + ".rgba");
        ASSERT_FALSE(file.empty());
        TPngImage image;
        ASSERT_EQ(DecodePng(file, image), TPngResult::Ok);
        ASSERT_EQ(image.Rgba.size(), size_t{image.Width} * image.Height * 4);
        EXPECT_TRUE(image.Rgba == reference);
    }
}

TEST(PngDecoder, TheHeaderGivesOurPicturesSizesWithoutDecodingThem)
{
    for (const char* name : {"AboutBackground", "AboutGoWeb", "AboutOkNormal", "AboutOkHot", "AboutOkPressed"}) {
        SCOPED_TRACE(name);
        const TBytes file = ReadFile(std::string(QEL_PICTURES) + "/" + name + ".png");
        TPngImage image;
        ASSERT_EQ(DecodePng(file, image), TPngResult::Ok);
        uint32_t width = 0, height = 0;
        ASSERT_EQ(ReadPngSize(file, width, height), TPngResult::Ok);
        EXPECT_EQ(width, image.Width);
        EXPECT_EQ(height, image.Height);
    }
}

TEST(PngDecoder, OurPicturesHoldTheColoursThePanelIsDrawnWith)
{
    // The pixel at (x, y) as red, green, blue, alpha.
    auto at = [](const TPngImage& AImage, uint32_t x, uint32_t y) {
        const auto* p = &AImage.Rgba[(size_t{y} * AImage.Width + x) * 4];
        return TBytes(p, p + 4);
    };
    TPngImage image;
    ASSERT_EQ(DecodePng(ReadFile(std::string(QEL_PICTURES) + "/AboutBackground.png"), image), TPngResult::Ok);
    EXPECT_EQ(image.Width, 504u);
    EXPECT_EQ(image.Height, 400u);
    EXPECT_EQ(at(image, 250, 200), Rgba({0x1E, 0x1E, 0x1E, 255})); // the content area
    EXPECT_EQ(at(image, 44, 200), Rgba({0xFF, 0x7A, 0x00, 255}));  // its orange rule
    EXPECT_EQ(at(image, 500, 4), Rgba({0xFF, 0x7A, 0x00, 255}));   // the title band

    const struct {
        const char* Name;
        TBytes Fill;
    } buttons[] = {{"AboutOkNormal", {0x3A, 0x3A, 0x3A, 255}},
                   {"AboutOkHot", {0xFF, 0x7A, 0x00, 255}},
                   {"AboutOkPressed", {0xC2, 0x58, 0x00, 255}}};
    for (const auto& b : buttons) {
        SCOPED_TRACE(b.Name);
        ASSERT_EQ(DecodePng(ReadFile(std::string(QEL_PICTURES) + "/" + b.Name + ".png"), image), TPngResult::Ok);
        EXPECT_EQ(image.Width, 94u);
        EXPECT_EQ(image.Height, 27u);
        EXPECT_EQ(at(image, 10, 13), b.Fill);
        EXPECT_EQ(at(image, 0, 0)[3], 0);  // rounded corners show what lies below
        EXPECT_EQ(at(image, 93, 26)[3], 0);
    }
}

TEST(PngDecoder, EveryFilterTypeIsUndone)
{
    // Two pixels a row, RGB; the second row is filtered against the first (10,20,30 40,50,60).
    struct TCase {
        const char* Name;
        TBytes SecondRow; // filter type, then six bytes
        TBytes Expected;  // the second row's pixels, RGB
    } cases[] = {
        {"none", {0, 1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}},
        {"sub, wrapping at 256", {1, 200, 2, 3, 100, 5, 6}, {200, 2, 3, 44, 7, 9}},
        {"up", {2, 1, 2, 3, 250, 5, 6}, {11, 22, 33, 34, 55, 66}},
        {"average", {3, 2, 2, 2, 1, 1, 1}, {7, 12, 17, 24, 32, 39}},
        {"paeth", {4, 1, 1, 1, 1, 1, 1}, {11, 21, 31, 41, 51, 61}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TBytes raw = {0, 10, 20, 30, 40, 50, 60};
        raw.insert(raw.end(), c.SecondRow.begin(), c.SecondRow.end());
        TPngImage image;
        ASSERT_EQ(DecodePng(Png({Header(2, 2), Chunk("IDAT", Deflate(raw)), kEnd}), image), TPngResult::Ok);
        const TBytes second(image.Rgba.begin() + 8, image.Rgba.end());
        EXPECT_EQ(second, Rgba({c.Expected[0], c.Expected[1], c.Expected[2], 255, c.Expected[3], c.Expected[4],
                                c.Expected[5], 255}));
    }
}

TEST(PngDecoder, PictureDataSplitAcrossChunksAndAncillaryChunksSkipped)
{
    const TBytes z = Deflate(kRaw2x2);
    // One byte a chunk, an empty data chunk among them; text before and after the data.
    TBytes file = Png({Header(2, 2), Chunk("tEXt", {'a', 0, 'b'}), Chunk("PLTE", {1, 2, 3})});
    for (size_t i = 0; i < z.size(); ++i) {
        const TBytes c = Chunk("IDAT", {z[i]});
        file.insert(file.end(), c.begin(), c.end());
        if (i == 1) {
            const TBytes empty = Chunk("IDAT", {});
            file.insert(file.end(), empty.begin(), empty.end());
        }
    }
    for (const TBytes& c : {Chunk("zTXt", {'c', 0, 0}), kEnd}) file.insert(file.end(), c.begin(), c.end());
    TPngImage image;
    ASSERT_EQ(DecodePng(file, image), TPngResult::Ok);
    EXPECT_EQ(image.Rgba, Rgba({10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255, 100, 110, 120, 255}));
}

TEST(PngDecoder, PremultipliedForBlending)
{
    TPngImage image{4, 1, {255, 128, 0, 255, 255, 128, 0, 0, 255, 128, 0, 128, 10, 20, 30, 1}};
    // Opaque stays, transparent is black, half-transparent colours are halved (rounded).
    EXPECT_EQ(PremultipliedBgra(image), TBytes({0, 128, 255, 255, 0, 0, 0, 0, 0, 64, 128, 128, 0, 0, 0, 1}));
}

TEST(PngDecoder, DamagedOrForeignFilesAreRefusedAndLeaveNoPicture)
{
    const TBytes valid = Valid2x2();
    const TBytes data = Chunk("IDAT", Deflate(kRaw2x2));
    TBytes badCrc = valid;
    badCrc[8 + 8 + 13] ^= 1; // the header chunk's checksum
    TBytes badBody = valid;
    badBody[8 + 25 + 8 + 3] ^= 0x40; // a byte inside the deflated data: its chunk's checksum fails
    TBytes badSignature = valid;
    badSignature[1] = 'Q';
    TBytes hugeLength = valid;
    hugeLength[8 + 25] = 0x80; // the data chunk's length above 2^31 - 1

    // Deflated data that is not deflate at all, with a valid checksum.
    const TBytes notDeflate = {0x78, 0x9C, 0xFF, 0xFF, 0xFF, 0xFF};
    TBytes badFilter = kRaw2x2;
    badFilter[7] = 5;
    TBytes shortRaw(kRaw2x2.begin(), kRaw2x2.end() - 1);
    // A 16 x 16 picture whose data inflates to 16 MiB: refused as soon as the rows are full.
    const TBytes bomb = Deflate(TBytes(16u << 20, 0));
    TBytes longRaw = kRaw2x2;
    longRaw.insert(longRaw.end(), {0, 1, 2, 3, 4, 5, 6});
    TBytes twoStreams = Deflate(kRaw2x2);
    const TBytes second = Deflate({0});
    twoStreams.insert(twoStreams.end(), second.begin(), second.end());

    const struct {
        const char* Name;
        TBytes File;
        TPngResult Expected;
    } cases[] = {
        {"empty file", {}, TPngResult::NotPng},
        {"another format", {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0}, TPngResult::NotPng},
        {"damaged signature", badSignature, TPngResult::NotPng},
        {"signature cut short", TBytes(valid.begin(), valid.begin() + 5), TPngResult::Truncated},
        {"signature alone", TBytes(valid.begin(), valid.begin() + 8), TPngResult::Truncated},
        {"cut inside the header", TBytes(valid.begin(), valid.begin() + 20), TPngResult::Truncated},
        {"cut inside the data", TBytes(valid.begin(), valid.begin() + 40), TPngResult::Truncated},
        {"no end chunk", TBytes(valid.begin(), valid.end() - 12), TPngResult::Truncated},
        {"end chunk cut", TBytes(valid.begin(), valid.end() - 1), TPngResult::Truncated},
        {"header checksum", badCrc, TPngResult::BadCrc},
        {"data checksum", badBody, TPngResult::BadCrc},
        {"chunk length above 2^31 - 1", hugeLength, TPngResult::BadData},
        {"no header", Png({data, kEnd}), TPngResult::BadHeader},
        {"end before the header", Png({kEnd, Header(2, 2), data, kEnd}), TPngResult::BadHeader},
        {"two headers", Png({Header(2, 2), Header(2, 2), data, kEnd}), TPngResult::BadHeader},
        {"header of 12 bytes", Png({Chunk("IHDR", TBytes(12, 1)), data, kEnd}), TPngResult::BadHeader},
        {"width 0", Png({Header(0, 2), data, kEnd}), TPngResult::BadHeader},
        {"height 0", Png({Header(2, 0), data, kEnd}), TPngResult::BadHeader},
        {"width above 2^31 - 1", Png({Header(0x80000000u, 2), data, kEnd}), TPngResult::BadHeader},
        {"undefined colour type", Png({Header(2, 2, 8, 5), data, kEnd}), TPngResult::BadHeader},
        {"depth undefined for RGB", Png({Header(2, 2, 4, 2), data, kEnd}), TPngResult::BadHeader},
        {"unknown compression", Png({Header(2, 2, 8, 2, 0, 1), data, kEnd}), TPngResult::BadHeader},
        {"unknown interlace", Png({Header(2, 2, 8, 2, 2), data, kEnd}), TPngResult::BadHeader},
        {"palette", Png({Header(2, 2, 8, 3), data, kEnd}), TPngResult::Unsupported},
        {"grey", Png({Header(2, 2, 8, 0), data, kEnd}), TPngResult::Unsupported},
        {"grey with alpha", Png({Header(2, 2, 8, 4), data, kEnd}), TPngResult::Unsupported},
        {"16-bit RGB", Png({Header(2, 2, 16, 2), data, kEnd}), TPngResult::Unsupported},
        {"16-bit RGBA", Png({Header(2, 2, 16, 6), data, kEnd}), TPngResult::Unsupported},
        {"interlaced", Png({Header(2, 2, 8, 2, 1), data, kEnd}), TPngResult::Unsupported},
        {"unknown critical chunk", Png({Header(2, 2), Chunk("QeLx", {}), data, kEnd}), TPngResult::Unsupported},
        {"width beyond the limit", Png({Header(kPngMaxSide + 1, 1), data, kEnd}), TPngResult::TooLarge},
        {"largest sides", Png({Header(kPngMaxSide, kPngMaxSide), data, kEnd}), TPngResult::TooLarge},
        {"2^31 - 1 square", Png({Header(0x7FFFFFFF, 0x7FFFFFFF), data, kEnd}), TPngResult::TooLarge},
        {"no data chunk", Png({Header(2, 2), kEnd}), TPngResult::BadData},
        {"data not deflated", Png({Header(2, 2), Chunk("IDAT", notDeflate), kEnd}), TPngResult::BadData},
        {"unknown filter type", Png({Header(2, 2), Chunk("IDAT", Deflate(badFilter)), kEnd}), TPngResult::BadData},
        {"data one byte short", Png({Header(2, 2), Chunk("IDAT", Deflate(shortRaw)), kEnd}), TPngResult::BadData},
        {"deflate stream cut", Png({Header(2, 2), Chunk("IDAT", TBytes(data.begin() + 8, data.end() - 10)), kEnd}),
         TPngResult::BadData},
        {"data chunks apart", Png({Header(2, 2), data, Chunk("tEXt", {'a', 0}), Chunk("IDAT", {}), kEnd}),
         TPngResult::BadData},
        {"decompression bomb", Png({Header(16, 16), Chunk("IDAT", bomb), kEnd}), TPngResult::TooMuchData},
        {"one row too many", Png({Header(2, 2), Chunk("IDAT", Deflate(longRaw)), kEnd}), TPngResult::TooMuchData},
        {"a second stream after the first", Png({Header(2, 2), Chunk("IDAT", twoStreams), kEnd}),
         TPngResult::TooMuchData},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TPngImage image;
        image.Width = 7;
        image.Rgba.assign(4, 1);
        const TPngResult result = DecodePng(c.File, image);
        EXPECT_EQ(result, c.Expected) << PngResultText(result);
        EXPECT_EQ(image.Width, 0u);
        EXPECT_EQ(image.Height, 0u);
        EXPECT_TRUE(image.Rgba.empty());
        // The header alone is refused for the decoder's reason, with no size, or passes when the
        // fault lies behind it.
        uint32_t width = 7, height = 7;
        const TPngResult header = ReadPngSize(c.File, width, height);
        if (header == TPngResult::Ok) {
            EXPECT_TRUE(width > 0 && height > 0);
        } else {
            EXPECT_EQ(header, c.Expected) << PngResultText(header);
            EXPECT_EQ(width + height, 0u);
        }
    }
    TPngImage image;
    EXPECT_EQ(DecodePng(valid, image), TPngResult::Ok);
}

} // namespace
