// The codec on files made by ImageMagick and netpbm, and its saves read back by them and by
// Ghostscript.
#include "codec/ImageCodec.h"
#include "imageview/ImageSupport.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>

using test::Pixels;

namespace {
// A photograph of ImageMagick's own, cut to odd sides: thousands of colours.
const std::string Rose = "rose: -crop 61x37+3+2 +repage";

class CodecFiles : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(ImgInitialize(), ImgOk); }
    test::TempDir tmp;
};

double MeanDifference(const Pixels& a, const Pixels& b)
{
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 1000;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / a.rgb.size();
}

// netpbm reads every kind of PCX; ImageMagick 6.9.11 shows 1-bit ones inverted.
Pixels Reference(const std::wstring& path)
{
    bool pcx = path.size() > 4 && ::lstrcmpiW(path.c_str() + path.size() - 4, L".pcx") == 0;
    return pcx ? test::NetpbmPcxPixels(path) : test::MagickPixels(path);
}

Image Open(const std::wstring& path)
{
    Image image;
    EXPECT_EQ(ImgOpenFile(path, image), ImgOk) << test::Narrow(path);
    return image;
}
}

TEST_F(CodecFiles, PicturesOfEveryKindReadAsImageMagickReadsThem)
{
    struct Case {
        const wchar_t* name;
        std::string make;   // convert arguments, or a pipeline when pipe
        std::string format; // convert's output format prefix
        bool pipe;
        int depth;
        int tolerance;
    };
    const Case cases[] = {
        {L"bilevel.pcx", "convert " + Rose + " -threshold 50% -type bilevel ppm:- | ppmtopcx", "", true, 1, 0},
        {L"sixteen.pcx", "convert " + Rose + " -colors 16 +dither ppm:- | ppmtopcx -planes 4", "", true, 8, 0},
        {L"palette.pcx", Rose + " -colors 40 +dither", "", false, 8, 0},
        {L"colour.pcx", Rose + " -type TrueColor", "", false, 24, 0},
        {L"netpbm24.pcx", "convert " + Rose + " ppm:- | ppmtopcx", "", true, 24, 0},
        {L"plain.tga", Rose + " -compress None", "", false, 24, 0},
        {L"rle.tga", Rose + " -compress RLE", "", false, 24, 0},
        {L"palette.tga", Rose + " -colors 40 +dither -type Palette -compress RLE", "", false, 8, 0},
        {L"palette.gif", Rose + " -colors 40 +dither", "", false, 8, 0},
        {L"palette.png", Rose + " -colors 40 +dither", "PNG8:", false, 8, 0},
        {L"palette.bmp", Rose + " -colors 12 +dither -type Palette", "BMP3:", false, 8, 0},
        {L"colour.png", Rose, "PNG24:", false, 24, 0},
        {L"colour.bmp", Rose + " -type TrueColor", "BMP3:", false, 24, 0},
        {L"deep.png", Rose + " -depth 8 -depth 16", "PNG48:", false, 24, 0},
        {L"grey.png", Rose + " -colorspace Gray -depth 8", "", false, 8, 0},
        {L"photo.jpg", Rose + " -quality 92", "", false, 24, 2},
        {L"colour.tif", Rose + " -type TrueColor -compress None", "", false, 24, 0},
        // A TIFF colour map has 16 bits a channel, which two readers may round apart by one.
        {L"palette.tif", Rose + " -colors 40 +dither -type Palette", "", false, 8, 1},
        {L"alpha.png", "-size 61x37 gradient:red-none", "PNG32:", false, 24, 1},
        {L"icon.ico", "-size 32x32 gradient:yellow-navy", "", false, 24, 0},
        {L"texture.dds", "-size 32x32 gradient:yellow-navy -define dds:compression=none", "", false, 24, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(test::Narrow(c.name));
        std::wstring path = tmp / c.name;
        ASSERT_TRUE(c.pipe ? test::MakeByPipe(path, c.make) : test::MakePicture(path, c.make, c.format));
        Image image = Open(path);
        EXPECT_EQ(image.bitsPerPixel, c.depth);
        Pixels reference = Reference(path);
        ASSERT_FALSE(reference.rgb.empty());
        EXPECT_LE(test::MaxDifference(test::CodecPixels(image), reference), c.tolerance);
    }
}

TEST_F(CodecFiles, EverySaveFormatIsReadBackAsItWasWritten)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"colour.png", Rose, "PNG24:"));
    ASSERT_TRUE(test::MakePicture(tmp / L"palette.png", Rose + " -colors 40 +dither", "PNG8:"));
    ASSERT_TRUE(test::MakeByPipe(tmp / L"bilevel.pcx", "convert " + Rose + " -threshold 50% -type bilevel ppm:- | ppmtopcx"));
    const wchar_t* sources[] = {L"colour.png", L"palette.png", L"bilevel.pcx"};
    struct Format {
        SaveFormat format;
        const wchar_t* extension;
        const char* magick; // identify's name, empty: not read by ImageMagick (EPS: Ghostscript)
        int option;
        bool lossless;
    };
    const Format formats[] = {
        {SaveTiff, L".TIF", "TIFF", 0, true}, {SaveBmp, L".BMP", "BMP", 0, true},  {SaveJpeg, L".JPG", "JPEG", 75, false},
        {SavePcx, L".PCX", "PCX", 0, true},   {SaveGif, L".GIF", "GIF", 0, true},  {SavePng, L".PNG", "PNG", 0, true},
        {SaveEps, L".EPS", "", 0, true},      {SaveTga, L".TGA", "TGA", 1, true},
    };
    for (const wchar_t* sourceName : sources) {
        Image source = Open(tmp / sourceName);
        for (const Format& f : formats) {
            SCOPED_TRACE(test::Narrow(sourceName) + " as " + test::Narrow(f.extension));
            Image reduced;
            const Image* saved = &source;
            if ((f.format == SaveGif || f.format == SaveEps) && source.bitsPerPixel > 8) {
                ASSERT_EQ(ImgReduce(source, reduced), ImgOk);
                saved = &reduced;
            }
            std::wstring path = tmp / (std::wstring(L"out-") + sourceName + f.extension);
            ASSERT_EQ(ImgSave(path, *saved, f.format, f.option), ImgOk);
            Pixels expected = test::CodecPixels(*saved);
            if (f.format == SaveEps) {
                std::string text = test::FileBytes(path);
                EXPECT_EQ(text.rfind("%!PS-Adobe-3.0 EPSF-3.0\n", 0), 0u);
                EXPECT_NE(text.find("%%BoundingBox: 0 0 " + std::to_string(source.width) + " " + std::to_string(source.height) + "\n"),
                          std::string::npos);
                EXPECT_EQ(test::MaxDifference(test::GhostscriptPixels(path), expected), 0);
                continue;
            }
            // ImageMagick names a BMP of the Windows 3 layout "BMP3".
            std::string identified = test::Identify(path, "%m %w %h");
            EXPECT_EQ(identified.substr(0, identified.find(' ')).rfind(f.magick, 0), 0u) << identified;
            EXPECT_EQ(identified.substr(identified.find(' ') + 1), std::to_string(source.width) + " " + std::to_string(source.height));
            Image back = Open(path);
            Pixels ours = test::CodecPixels(back), theirs = Reference(path);
            if (f.lossless) {
                EXPECT_EQ(test::MaxDifference(ours, expected), 0);
                // WIC writes a TIFF colour map of 16 bits a channel that ImageMagick may round down.
                EXPECT_LE(test::MaxDifference(theirs, expected), f.format == SaveTiff && saved->bitsPerPixel <= 8 ? 1 : 0);
            } else {
                EXPECT_LT(MeanDifference(ours, expected), 12.0);
                EXPECT_LT(MeanDifference(theirs, expected), 12.0);
                // Quality 75 goes to the encoder; Wine 8's encoder ignores it and writes its default
                // (libjpeg's 75 too), so only a quality about there can be checked here.
                int quality = std::atoi(test::Identify(path, "%Q").c_str());
                EXPECT_GE(quality, 70);
                EXPECT_LE(quality, 80);
            }
        }
    }
}

TEST_F(CodecFiles, DepthsAreKeptOrReducedAsEachFormatNeeds)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"colour.png", Rose, "PNG24:"));
    ASSERT_TRUE(test::MakePicture(tmp / L"few.png", Rose + " -colors 200 +dither", "PNG24:"));
    Image colour = Open(tmp / L"colour.png"), few = Open(tmp / L"few.png");
    ASSERT_EQ(colour.bitsPerPixel, 24);
    ASSERT_EQ(few.bitsPerPixel, 24);

    // A 24-bit BMP stays 24-bit.
    ASSERT_EQ(ImgSave(tmp / L"keep.bmp", colour, SaveBmp, 0), ImgOk);
    EXPECT_EQ(static_cast<uint8_t>(test::FileBytes(tmp / L"keep.bmp")[28]), 24);

    // GIF takes 8 bits: 200 colours come through exactly, thousands become at most 256.
    EXPECT_EQ(ImgSave(tmp / L"deep.gif", colour, SaveGif, 0), ImgBadDepth);
    EXPECT_EQ(ImgSave(tmp / L"deep.eps", colour, SaveEps, 0), ImgBadDepth);
    Image reduced;
    ASSERT_EQ(ImgReduce(few, reduced), ImgOk);
    ASSERT_EQ(reduced.bitsPerPixel, 8);
    ASSERT_EQ(ImgSave(tmp / L"few.gif", reduced, SaveGif, 0), ImgOk);
    EXPECT_EQ(test::MaxDifference(test::MagickPixels(tmp / L"few.gif"), test::CodecPixels(few)), 0);
    ASSERT_EQ(ImgReduce(colour, reduced), ImgOk);
    ASSERT_EQ(ImgSave(tmp / L"many.gif", reduced, SaveGif, 0), ImgOk);
    EXPECT_LE(std::stoi(test::Identify(tmp / L"many.gif", "%k")), 256);
    EXPECT_LT(MeanDifference(test::MagickPixels(tmp / L"many.gif"), test::CodecPixels(colour)), 12.0);

    // Run-length TGA, and the 1-bit PCX header of a 1-bit picture.
    ASSERT_EQ(ImgSave(tmp / L"rle.tga", colour, SaveTga, 1), ImgOk);
    EXPECT_EQ(test::FileBytes(tmp / L"rle.tga")[2], 10);
    ASSERT_EQ(ImgSave(tmp / L"raw.tga", colour, SaveTga, 0), ImgOk);
    EXPECT_EQ(test::FileBytes(tmp / L"raw.tga")[2], 2);
    ASSERT_TRUE(test::MakeByPipe(tmp / L"bilevel.pcx", "convert " + Rose + " -threshold 50% -type bilevel ppm:- | ppmtopcx"));
    Image bilevel = Open(tmp / L"bilevel.pcx");
    ASSERT_EQ(ImgSave(tmp / L"again.pcx", bilevel, SavePcx, 0), ImgOk);
    std::string pcx = test::FileBytes(tmp / L"again.pcx");
    EXPECT_EQ(pcx[3], 1);
    EXPECT_EQ(pcx[65], 1);
}

TEST_F(CodecFiles, AFailedSaveLeavesTheOldFileAndNoTemporary)
{
    Image image;
    ASSERT_EQ(ImgAllocate(image, 300, 200, 24), ImgOk);
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = static_cast<uint8_t>(i * 7);
    std::wstring old = tmp / L"old.bmp";
    ASSERT_TRUE(test::MakeFile(old, "the old picture"));
    ImgFailWritesAfter(1000);
    EXPECT_EQ(ImgSave(old, image, SaveBmp, 0), ImgDiskFull);
    ImgFailWritesAfter(-1);
    EXPECT_EQ(test::FileBytes(old), "the old picture");
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((tmp / L"*").c_str(), &data);
    std::vector<std::wstring> names;
    do {
        if (data.cFileName[0] != L'.') names.push_back(data.cFileName);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    EXPECT_EQ(names, std::vector<std::wstring>{L"old.bmp"});

    ASSERT_TRUE(test::MakeDir(tmp / L"taken.png"));
    EXPECT_EQ(ImgSave(tmp / L"taken.png", image, SavePng, 0), ImgCannotCreate);
    EXPECT_EQ(ImgSave(tmp / L"no\\such\\dir.png", image, SavePng, 0), ImgCannotCreate);
    ASSERT_EQ(ImgSave(old, image, SaveBmp, 0), ImgOk);
    EXPECT_EQ(Open(old).width, 300) << "replaced once the new file was complete";
    Image empty;
    EXPECT_EQ(ImgSave(tmp / L"empty.png", empty, SavePng, 0), ImgInvalidImage);
}

TEST_F(CodecFiles, WhatIsNoPictureIsDeclinedWithACode)
{
    Image image;
    ASSERT_TRUE(test::MakeFile(tmp / L"notes.txt", "Dear reader,\r\nthis is text.\r\n"));
    EXPECT_EQ(ImgOpenFile(tmp / L"notes.txt", image), ImgUnknownFormat);
    EXPECT_EQ(ImgOpenFile(tmp / L"missing.png", image), ImgFileNotFound);
    ASSERT_TRUE(test::MakeFile(tmp / L"empty.png", ""));
    EXPECT_EQ(ImgOpenFile(tmp / L"empty.png", image), ImgUnknownFormat);

    // A PCX header claiming 65535 x 65535 pixels, and a TGA whose colour map passes the end.
    std::string pcx(128, '\0');
    pcx[0] = 0x0A, pcx[1] = 5, pcx[2] = 1, pcx[3] = 8, pcx[65] = 1;
    pcx[8] = pcx[10] = '\xFE';
    pcx[9] = pcx[11] = pcx[66] = pcx[67] = '\xFF';
    pcx += std::string(64, '\xC1');
    ASSERT_TRUE(test::MakeFile(tmp / L"huge.pcx", pcx));
    EXPECT_EQ(ImgOpenFile(tmp / L"huge.pcx", image), ImgNoMemory);
    // Within the limit (16384 x 16384 at 24 bits, 768 MiB) but far too short: damaged, nothing allocated.
    std::string big(128, '\0');
    big[0] = 0x0A, big[1] = 5, big[2] = 1, big[3] = 8, big[65] = 3;
    big[8] = big[10] = '\xFF', big[9] = big[11] = 0x3F, big[67] = 0x40;
    big += std::string(64, '\xC1');
    ASSERT_TRUE(test::MakeFile(tmp / L"big.pcx", big));
    EXPECT_EQ(ImgOpenFile(tmp / L"big.pcx", image), ImgBadData);
    EXPECT_TRUE(image.Empty());
    std::string tga(18, '\0');
    tga[1] = 1, tga[2] = 1, tga[5] = '\xFF', tga[7] = 24, tga[12] = 2, tga[14] = 2, tga[16] = 8;
    tga += std::string(100, '\1');
    ASSERT_TRUE(test::MakeFile(tmp / L"map.tga", tga));
    EXPECT_EQ(ImgOpenFile(tmp / L"map.tga", image), ImgUnknownFormat);
    // A PNG cut after its header reaches the system's decoder, which refuses it.
    ASSERT_TRUE(test::MakePicture(tmp / L"whole.png", Rose, "PNG24:"));
    ASSERT_TRUE(test::MakeFile(tmp / L"cut.png", test::FileBytes(tmp / L"whole.png").substr(0, 200)));
    int r = ImgOpenFile(tmp / L"cut.png", image);
    EXPECT_LT(r, 0);
    EXPECT_TRUE(image.Empty());
}
