// The codec's own formats on pictures made here: round trips, damaged and hostile input.
#include "codec/Eps.h"
#include "codec/Image.h"
#include "codec/Pcx.h"
#include "codec/Signature.h"
#include "codec/Tga.h"
#include <gtest/gtest.h>
#include <cstring>
#include <random>
#include <string>

namespace {
Image Picture(int width, int height, int bits)
{
    Image image;
    EXPECT_EQ(AllocateImage(image, width, height, bits), ImgOk);
    if (bits == 1) image.palette = {PaletteEntry{128, 0, 0, 0}, PaletteEntry{0, 255, 255, 0}};
    if (bits == 8)
        for (int i = 0; i < 256; ++i)
            image.palette[i] = PaletteEntry{uint8_t(i * 3), uint8_t(255 - i), uint8_t(i * 7 + 1), 0};
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.Row(y);
        if (bits == 1)
            for (int x = 0; x < width; ++x) row[x / 8] |= ((x * 3 + y) % 5 < 2) << (7 - x % 8);
        else if (bits == 8)
            for (int x = 0; x < width; ++x) row[x] = static_cast<uint8_t>((x * 5 + y * 11) % 251 == 0 ? 0xC3 : x + y * 3);
        else
            for (int x = 0; x < width; ++x) {
                row[x * 3] = static_cast<uint8_t>(x * 9);
                row[x * 3 + 1] = static_cast<uint8_t>(y * 13);
                row[x * 3 + 2] = static_cast<uint8_t>(x < width / 2 ? 0xC7 : x ^ y); // runs of bytes >= 0xC0
            }
    }
    return image;
}

std::vector<uint8_t> PcxHeader(int width, int height, int bits, int planes, int bytesPerLine, int encoding = 1)
{
    std::vector<uint8_t> h(PcxHeaderSize, 0);
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = static_cast<uint8_t>(encoding);
    h[3] = static_cast<uint8_t>(bits);
    h[8] = static_cast<uint8_t>((width - 1) & 0xFF);
    h[9] = static_cast<uint8_t>((width - 1) >> 8);
    h[10] = static_cast<uint8_t>((height - 1) & 0xFF);
    h[11] = static_cast<uint8_t>((height - 1) >> 8);
    h[65] = static_cast<uint8_t>(planes);
    h[66] = static_cast<uint8_t>(bytesPerLine & 0xFF);
    h[67] = static_cast<uint8_t>(bytesPerLine >> 8);
    return h;
}

std::vector<uint8_t> TgaHeader(int type, int width, int height, int bits, int mapLength = 0, int mapBits = 0,
                               int descriptor = 0, int mapFirst = 0)
{
    std::vector<uint8_t> h(TgaHeaderSize, 0);
    h[1] = mapLength ? 1 : 0;
    h[2] = static_cast<uint8_t>(type);
    h[3] = static_cast<uint8_t>(mapFirst);
    h[5] = static_cast<uint8_t>(mapLength & 0xFF);
    h[6] = static_cast<uint8_t>(mapLength >> 8);
    h[7] = static_cast<uint8_t>(mapBits);
    h[12] = static_cast<uint8_t>(width & 0xFF);
    h[13] = static_cast<uint8_t>(width >> 8);
    h[14] = static_cast<uint8_t>(height & 0xFF);
    h[15] = static_cast<uint8_t>(height >> 8);
    h[16] = static_cast<uint8_t>(bits);
    h[17] = static_cast<uint8_t>(descriptor);
    return h;
}

// Probe, allocate the reported picture and read: what the viewer does with a file.
int ReadWith(bool (*probe)(const uint8_t*, size_t, ImageInfo&), int (*read)(const uint8_t*, size_t, Image&),
             const std::vector<uint8_t>& data, Image& image)
{
    ImageInfo info;
    if (!probe(data.data(), data.size(), info)) return ImgUnknownFormat;
    if (int r = AllocateImage(image, info.width, info.height, info.bitsPerPixel)) return r;
    return read(data.data(), data.size(), image);
}

bool ProbeTgaFile(const uint8_t* data, size_t size, ImageInfo& info) { return ProbeTga(data, size, size, info); }
int ReadPcxFile(const std::vector<uint8_t>& data, Image& image) { return ReadWith(ProbePcx, ReadPcx, data, image); }
int ReadTgaFile(const std::vector<uint8_t>& data, Image& image) { return ReadWith(ProbeTgaFile, ReadTga, data, image); }
}

TEST(PcxCodec, EveryDepthAndOddWidthsSurviveARoundTrip)
{
    for (int bits : {1, 8, 24})
        for (int width : {1, 7, 8, 9, 61, 200})
            for (int height : {1, 5}) {
                Image source = Picture(width, height, bits), back;
                std::vector<uint8_t> file;
                ASSERT_EQ(WritePcx(source, file), ImgOk);
                ImageInfo info;
                ASSERT_TRUE(ProbePcx(file.data(), file.size(), info));
                EXPECT_EQ(info.bitsPerPixel, bits);
                ASSERT_EQ(ReadPcxFile(file, back), ImgOk) << bits << " " << width << "x" << height;
                EXPECT_EQ(back.bitsPerPixel, bits);
                EXPECT_TRUE(SameColours(source, back)) << bits << " " << width << "x" << height;
                EXPECT_EQ(file[66] | (file[67] << 8), (file[66] | (file[67] << 8)) & ~1) << "lines of an even length";
            }
}

TEST(PcxCodec, SixteenColoursInFourPlanesAndAlphaPlanesAreRead)
{
    // Four one-bit planes: pixel x has colour index x (0..7), taken from the header's palette.
    std::vector<uint8_t> file = PcxHeader(8, 1, 1, 4, 2, 0);
    for (int i = 0; i < 16; ++i) {
        file[16 + i * 3] = static_cast<uint8_t>(i * 16);
        file[17 + i * 3] = 1;
        file[18 + i * 3] = 2;
    }
    for (int plane = 0; plane < 4; ++plane) {
        uint8_t bits = 0;
        for (int x = 0; x < 8; ++x) bits |= ((x >> plane) & 1) << (7 - x);
        file.push_back(bits);
        file.push_back(0);
    }
    Image image;
    ASSERT_EQ(ReadPcxFile(file, image), ImgOk);
    ASSERT_EQ(image.bitsPerPixel, 8);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelColour(image, x, 0), (Rgb{uint8_t(x * 16), 1, 2})) << x;

    // Red, green, blue and alpha planes: half-transparent black lies over white as grey.
    std::vector<uint8_t> rgba = PcxHeader(2, 1, 8, 4, 2, 0);
    for (uint8_t b : {0, 200, 0, 10, 0, 30, 128, 255}) rgba.push_back(b);
    ASSERT_EQ(ReadPcxFile(rgba, image), ImgOk);
    EXPECT_EQ(PixelColour(image, 0, 0), (Rgb{127, 127, 127}));
    EXPECT_EQ(PixelColour(image, 1, 0), (Rgb{200, 10, 30}));
}

TEST(PcxCodec, EightBitsWithoutTheirPaletteAreGrey)
{
    std::vector<uint8_t> file = PcxHeader(4, 1, 8, 1, 4);
    for (uint8_t b : {0x10, 0x20, 0xC2, 0xFE}) file.push_back(b);
    Image image;
    ASSERT_EQ(ReadPcxFile(file, image), ImgOk);
    EXPECT_EQ(PixelColour(image, 0, 0), (Rgb{0x10, 0x10, 0x10}));
    EXPECT_EQ(PixelColour(image, 3, 0), (Rgb{0xFE, 0xFE, 0xFE}));
}

TEST(PcxCodec, DamagedFilesAreRefusedWithACode)
{
    Image source = Picture(40, 6, 8), image;
    std::vector<uint8_t> file;
    ASSERT_EQ(WritePcx(source, file), ImgOk);

    // A run that goes past the end of its line.
    std::vector<uint8_t> runs = PcxHeader(4, 2, 8, 1, 4);
    for (uint8_t b : {0xC6, 0x11, 0xC2, 0x22}) runs.push_back(b);
    EXPECT_EQ(ReadPcxFile(runs, image), ImgBadData);

    // Cut short in the middle of the pixels, and a run whose value byte is missing.
    std::vector<uint8_t> cut(file.begin(), file.begin() + PcxHeaderSize + 30);
    EXPECT_EQ(ReadPcxFile(cut, image), ImgBadData);
    std::vector<uint8_t> lastByte = PcxHeader(4, 1, 8, 1, 4);
    lastByte.push_back(0xC4);
    EXPECT_EQ(ReadPcxFile(lastByte, image), ImgBadData);

    // Sizes and layouts that cannot be.
    ImageInfo info;
    std::vector<uint8_t> huge = PcxHeader(65535, 65535, 8, 1, 65535);
    ASSERT_TRUE(ProbePcx(huge.data(), huge.size(), info));
    EXPECT_EQ(info.width, 65535);
    EXPECT_EQ(ReadPcxFile(huge, image), ImgNoMemory) << "65535 x 65535 is more than the codec takes";
    std::vector<uint8_t> backwards = PcxHeader(4, 1, 8, 1, 4);
    backwards[8] = 0, backwards[4] = 5; // xMax below xMin
    EXPECT_FALSE(ProbePcx(backwards.data(), backwards.size(), info));
    std::vector<uint8_t> narrow = PcxHeader(40, 1, 8, 1, 39);
    EXPECT_FALSE(ProbePcx(narrow.data(), narrow.size(), info)) << "lines shorter than the width";
    std::vector<uint8_t> twoPlanes = PcxHeader(4, 1, 8, 2, 4);
    EXPECT_FALSE(ProbePcx(twoPlanes.data(), twoPlanes.size(), info));
    EXPECT_FALSE(ProbePcx(file.data(), PcxHeaderSize - 1, info));

    // A picture allocated with another size than the file's is not written over.
    Image small;
    ASSERT_EQ(AllocateImage(small, 2, 2, 8), ImgOk);
    EXPECT_EQ(ReadPcx(file.data(), file.size(), small), ImgInvalidImage);
}

TEST(TgaCodec, PlainAndRunLengthSurviveARoundTrip)
{
    for (int bits : {1, 8, 24})
        for (bool runLength : {false, true}) {
            Image source = Picture(150, 7, bits), back;
            std::vector<uint8_t> file;
            ASSERT_EQ(WriteTga(source, runLength, file), ImgOk);
            EXPECT_EQ(file[2], (bits == 24 ? 2 : 1) + (runLength ? 8 : 0));
            ASSERT_EQ(ReadTgaFile(file, back), ImgOk) << bits << " " << runLength;
            EXPECT_EQ(back.bitsPerPixel, bits == 24 ? 24 : 8);
            EXPECT_TRUE(SameColours(source, back)) << bits << " " << runLength;
        }
}

TEST(TgaCodec, OrientationDepthsMapsAndAlphaAreHonoured)
{
    Image image;
    // Top-down, right-to-left, 16-bit colours: (31,0,0) red then (0,0,31) blue, mirrored.
    std::vector<uint8_t> file = TgaHeader(2, 2, 1, 16, 0, 0, 0x30);
    for (uint8_t b : {0x00, 0x7C, 0x1F, 0x00}) file.push_back(b);
    ASSERT_EQ(ReadTgaFile(file, image), ImgOk);
    EXPECT_EQ(PixelColour(image, 0, 0), (Rgb{0, 0, 255}));
    EXPECT_EQ(PixelColour(image, 1, 0), (Rgb{255, 0, 0}));

    // 32 bits with an alpha channel: transparent pixels are white.
    file = TgaHeader(2, 1, 2, 32, 0, 0, 8);
    for (uint8_t b : {10, 20, 30, 255, 10, 20, 30, 0}) file.push_back(b);
    ASSERT_EQ(ReadTgaFile(file, image), ImgOk);
    EXPECT_EQ(PixelColour(image, 0, 1), (Rgb{30, 20, 10})) << "bottom-up: the first row is the last";
    EXPECT_EQ(PixelColour(image, 0, 0), (Rgb{255, 255, 255}));

    // A colour map that starts at index 2; an index outside it stays black.
    file = TgaHeader(1, 3, 1, 8, 2, 24, 0x20, 2);
    for (uint8_t b : {1, 2, 3, 4, 5, 6, 2, 3, 9}) file.push_back(b);
    ASSERT_EQ(ReadTgaFile(file, image), ImgOk);
    EXPECT_EQ(PixelColour(image, 0, 0), (Rgb{3, 2, 1}));
    EXPECT_EQ(PixelColour(image, 1, 0), (Rgb{6, 5, 4}));
    EXPECT_EQ(PixelColour(image, 2, 0), (Rgb{0, 0, 0}));

    // Grey, run-length, one packet running across both lines as older writers do.
    file = TgaHeader(11, 2, 2, 8, 0, 0, 0x20);
    for (uint8_t b : {0x82, 77, 0x00, 99}) file.push_back(b);
    ASSERT_EQ(ReadTgaFile(file, image), ImgOk);
    EXPECT_EQ(PixelColour(image, 0, 1), (Rgb{77, 77, 77}));
    EXPECT_EQ(PixelColour(image, 1, 1), (Rgb{99, 99, 99}));
}

TEST(TgaCodec, DamagedFilesAreRefusedWithACode)
{
    Image image;
    ImageInfo info;
    // The colour map runs past the end of the file.
    std::vector<uint8_t> map = TgaHeader(1, 2, 2, 8, 200, 24);
    map.insert(map.end(), 30, 1);
    EXPECT_FALSE(ProbeTga(map.data(), map.size(), map.size(), info));
    ASSERT_EQ(AllocateImage(image, 2, 2, 8), ImgOk);
    EXPECT_EQ(ReadTga(map.data(), map.size(), image), ImgBadData);

    // A packet that runs past the picture, and pixel data cut short.
    std::vector<uint8_t> packet = TgaHeader(10, 2, 2, 24);
    for (uint8_t b : {0x84, 1, 2, 3}) packet.push_back(b);
    EXPECT_EQ(ReadTgaFile(packet, image), ImgBadData);
    std::vector<uint8_t> cut = TgaHeader(10, 4, 4, 24);
    for (uint8_t b : {0x05, 1, 2, 3}) cut.push_back(b);
    EXPECT_EQ(ReadTgaFile(cut, image), ImgBadData);
    std::vector<uint8_t> plain = TgaHeader(2, 4, 4, 24);
    plain.resize(plain.size() + 47);
    EXPECT_FALSE(ProbeTga(plain.data(), plain.size(), plain.size(), info)) << "one byte short of 4 x 4 x 3";
    ASSERT_EQ(AllocateImage(image, 4, 4, 24), ImgOk);
    EXPECT_EQ(ReadTga(plain.data(), plain.size(), image), ImgBadData);

    // Zero sizes, unknown types, a mapped picture without a map, a depth that cannot be.
    for (const auto& header : {TgaHeader(2, 0, 4, 24), TgaHeader(2, 4, 0, 24), TgaHeader(4, 4, 4, 24),
                               TgaHeader(1, 4, 4, 8), TgaHeader(2, 4, 4, 12), TgaHeader(3, 4, 4, 16)}) {
        std::vector<uint8_t> file = header;
        file.resize(file.size() + 4 * 4 * 4);
        EXPECT_FALSE(ProbeTga(file.data(), file.size(), file.size(), info));
    }
}

TEST(ImageMemory, AShortFileCannotAskForALargePicture)
{
    // 16384 x 16384 at 24 bits is 768 MiB: a header alone must not get it allocated.
    std::vector<uint8_t> pcx = PcxHeader(16384, 16384, 8, 3, 16384);
    ImageInfo info;
    ASSERT_TRUE(ProbePcx(pcx.data(), pcx.size(), info));
    EXPECT_FALSE(PcxFileHoldsLines(pcx.data(), pcx.size(), pcx.size()));
    // Every line as runs of 63: 16384 * 3 bytes take 781 * 2 bytes a line.
    EXPECT_FALSE(PcxFileHoldsLines(pcx.data(), pcx.size(), PcxHeaderSize + uint64_t(16384) * 1561));
    EXPECT_TRUE(PcxFileHoldsLines(pcx.data(), pcx.size(), PcxHeaderSize + uint64_t(16384) * 1562));
    Image small = Picture(9, 3, 8);
    std::vector<uint8_t> file;
    ASSERT_EQ(WritePcx(small, file), ImgOk);
    EXPECT_TRUE(PcxFileHoldsLines(file.data(), file.size(), file.size()));

    // A run-length TGA: a packet gives at most 128 pixels.
    std::vector<uint8_t> tga = TgaHeader(11, 16384, 16384, 8);
    tga.insert(tga.end(), {0xFF, 0});
    EXPECT_FALSE(ProbeTga(tga.data(), tga.size(), tga.size(), info));
    EXPECT_TRUE(ProbeTga(tga.data(), tga.size(), TgaHeaderSize + uint64_t(16384) * 16384 / 128 * 2, info));
}

TEST(CodecHostile, MutatedFilesNeverCrashAndAnswerWithACode)
{
    Image pcx8 = Picture(33, 9, 8), pcx24 = Picture(20, 5, 24), tga = Picture(40, 6, 24);
    std::vector<std::vector<uint8_t>> seeds(3);
    ASSERT_EQ(WritePcx(pcx8, seeds[0]), ImgOk);
    ASSERT_EQ(WritePcx(pcx24, seeds[1]), ImgOk);
    ASSERT_EQ(WriteTga(tga, true, seeds[2]), ImgOk);
    std::mt19937 random(20240611);
    int decoded = 0;
    for (int round = 0; round < 6000; ++round) {
        const bool isTga = round % 3 == 2;
        std::vector<uint8_t> data = seeds[round % 3];
        int changes = 1 + static_cast<int>(random() % 6);
        for (int c = 0; c < changes; ++c) {
            size_t at = random() % data.size();
            // Mostly the header and the first bytes of data, where the decisions are.
            if (random() % 2) at %= 48;
            data[at] = static_cast<uint8_t>(random());
        }
        if (random() % 4 == 0) data.resize(random() % data.size());
        ImageInfo info;
        bool probed = isTga ? ProbeTga(data.data(), data.size(), data.size(), info) : ProbePcx(data.data(), data.size(), info);
        if (!probed || static_cast<uint64_t>(info.width) * info.height > (1u << 20)) continue;
        Image image;
        ASSERT_EQ(AllocateImage(image, info.width, info.height, info.bitsPerPixel), ImgOk);
        int r = isTga ? ReadTga(data.data(), data.size(), image) : ReadPcx(data.data(), data.size(), image);
        EXPECT_TRUE(r == ImgOk || r == ImgBadData || r == ImgBadHeader) << r;
        decoded += r == ImgOk;
    }
    EXPECT_GT(decoded, 100) << "the mutations should leave many files readable";
}

TEST(EpsCodec, HeaderBoundingBoxAndSamples)
{
    Image image;
    ASSERT_EQ(AllocateImage(image, 3, 2, 24), ImgOk);
    uint8_t* top = image.Row(0);
    top[0] = 0x30, top[1] = 0x20, top[2] = 0x10; // blue, green, red
    top[5] = 0xFF;
    std::vector<uint8_t> out;
    ASSERT_EQ(WriteEps(image, out), ImgOk);
    std::string text(out.begin(), out.end());
    EXPECT_EQ(text.rfind("%!PS-Adobe-3.0 EPSF-3.0\n", 0), 0u);
    EXPECT_NE(text.find("\n%%BoundingBox: 0 0 3 2\n"), std::string::npos);
    EXPECT_NE(text.find("\n%%LanguageLevel: 2\n"), std::string::npos);
    EXPECT_NE(text.find("/DeviceRGB setcolorspace"), std::string::npos);
    EXPECT_NE(text.find("\n102030ff0000000000000000000000000000>"), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - 6), "%%EOF\n");
    Image none;
    EXPECT_EQ(WriteEps(none, out), ImgInvalidImage);
}

TEST(ImageMemory, SizesAreCheckedBeforeAnyAllocation)
{
    EXPECT_EQ(CheckImageSize(16384, 16384, 24), ImgOk) << "2^28 pixels is the limit, not beyond it";
    EXPECT_EQ(CheckImageSize(16384, 16385, 8), ImgNoMemory);
    EXPECT_EQ(CheckImageSize(65535, 65535, 1), ImgNoMemory);
    EXPECT_EQ(CheckImageSize(0, 10, 24), ImgInvalidImage);
    EXPECT_EQ(CheckImageSize(10, -1, 24), ImgInvalidImage);
    EXPECT_EQ(CheckImageSize(10, 10, 4), ImgBadDepth);
    Image image;
    EXPECT_EQ(AllocateImage(image, 70000, 70000, 24), ImgNoMemory);
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(RowStride(3, 24), 12u);
    EXPECT_EQ(RowStride(33, 1), 8u);
}

TEST(ImageMemory, PackedBitmapsAndExactReduction)
{
    Image image = Picture(5, 3, 8);
    std::vector<uint8_t> dib;
    ASSERT_EQ(PackDib(image, dib), ImgOk);
    ASSERT_EQ(dib.size(), 40u + 256 * 4 + 8 * 3);
    auto u32 = [&](size_t at) { return dib[at] | (dib[at + 1] << 8) | (dib[at + 2] << 16) | (uint32_t(dib[at + 3]) << 24); };
    EXPECT_EQ(u32(4), 5u);
    EXPECT_EQ(u32(8), 3u) << "bottom-up";
    EXPECT_EQ(dib[14], 8);
    EXPECT_EQ(u32(32), 256u);
    EXPECT_EQ(std::memcmp(dib.data() + 40 + 1024, image.Row(2), 8), 0) << "the last row comes first";

    Image colour = Picture(64, 4, 24), reduced;
    ASSERT_EQ(ReduceExactly(colour, reduced), ImgOk) << "256 colours at most here";
    EXPECT_TRUE(SameColours(colour, reduced));
    Image many;
    ASSERT_EQ(AllocateImage(many, 257, 1, 24), ImgOk);
    for (int x = 0; x < 257; ++x) many.Row(0)[x * 3] = static_cast<uint8_t>(x), many.Row(0)[x * 3 + 1] = static_cast<uint8_t>(x >> 8);
    EXPECT_EQ(ReduceExactly(many, reduced), ImgBadDepth);
}

TEST(ImageMemory, OnlyTheSystemsFormatsGoToItsDecoders)
{
    for (std::string s : {std::string("BM6"), std::string("\x89PNG\r\n\x1a\n", 8), std::string("GIF89a"),
                          std::string("\xFF\xD8\xFF\xE0"), std::string("II*\0", 4), std::string("MM\0*", 4),
                          std::string("\0\0\1\0", 4), std::string("DDS |")})
        EXPECT_TRUE(HasSystemSignature(reinterpret_cast<const uint8_t*>(s.data()), s.size())) << s;
    std::vector<uint8_t> pcx = PcxHeader(2, 2, 8, 1, 2), tga = TgaHeader(2, 2, 2, 24);
    EXPECT_FALSE(HasSystemSignature(pcx.data(), pcx.size()));
    EXPECT_FALSE(HasSystemSignature(tga.data(), tga.size()));
    std::string text = "Hello, world";
    EXPECT_FALSE(HasSystemSignature(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    EXPECT_FALSE(HasSystemSignature(reinterpret_cast<const uint8_t*>("B"), 1));
}
