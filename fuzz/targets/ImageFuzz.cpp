// The PCX and TGA readers the way the viewer calls them (probe, allocate, read), and a decoded
// picture written back by each writer, read again and compared.
#include "codec/Eps.h"
#include "codec/Pcx.h"
#include "codec/Tga.h"
#include "fuzz/FuzzTarget.h"
#include <cstring>

namespace {

void RoundTrips(const Image& image)
{
    std::vector<uint8_t> file;
    if (WritePcx(image, file) == ImgOk) {
        ImageInfo info;
        FUZZ_CHECK(ProbePcx(file.data(), file.size(), info) && PcxFileHoldsLines(file.data(), file.size(), file.size()));
        Image back;
        FUZZ_CHECK(AllocateImage(back, info.width, info.height, info.bitsPerPixel) == ImgOk);
        FUZZ_CHECK(ReadPcx(file.data(), file.size(), back) == ImgOk);
        // Two equal colours at 1 bit are how many writers leave the palette out: read as black and white.
        bool blackAndWhite = image.bitsPerPixel == 1 && image.palette[0] == image.palette[1];
        FUZZ_CHECK(blackAndWhite || SameColours(image, back));
    }
    for (bool runLength : {false, true}) {
        if (WriteTga(image, runLength, file) != ImgOk) continue;
        ImageInfo info;
        FUZZ_CHECK(ProbeTga(file.data(), file.size(), file.size(), info));
        Image back;
        FUZZ_CHECK(AllocateImage(back, info.width, info.height, info.bitsPerPixel) == ImgOk);
        FUZZ_CHECK(ReadTga(file.data(), file.size(), back) == ImgOk);
        FUZZ_CHECK(SameColours(image, back));
    }
    std::vector<uint8_t> eps;
    if (WriteEps(image, eps) == ImgOk) FUZZ_CHECK(eps.size() >= static_cast<size_t>(image.width) * image.height * 6);
}

} // namespace

FUZZ_TARGET(pcx)
{
    ImageInfo info;
    if (!ProbePcx(data, size, info) || !PcxFileHoldsLines(data, size, size)) return;
    Image image;
    if (AllocateImage(image, info.width, info.height, info.bitsPerPixel) != ImgOk) return;
    if (ReadPcx(data, size, image) == ImgOk) RoundTrips(image);
}

FUZZ_TARGET(tga)
{
    ImageInfo info;
    if (!ProbeTga(data, size, size, info)) return;
    Image image;
    if (AllocateImage(image, info.width, info.height, info.bitsPerPixel) != ImgOk) return;
    if (ReadTga(data, size, image) == ImgOk) RoundTrips(image);
}

// Pictures as the viewer hands them to the writers: any size up to a bound, depth 1, 8 or 24,
// a palette of any colours, any pixels (padding bytes included).
FUZZ_TARGET(image_write)
{
    fuzz::Input in(data, size);
    static const int depths[] = {1, 8, 24};
    int depth = depths[in.Byte() % 3];
    // Small pictures: the round trips are the point, and each costs a pass over every pixel.
    int width = 1 + in.Word() % 80, height = 1 + in.Byte() % 16;
    Image image;
    if (AllocateImage(image, width, height, depth) != ImgOk) return;
    for (PaletteEntry& p : image.palette) {
        p.red = in.Byte();
        p.green = in.Byte();
        p.blue = in.Byte();
    }
    std::string pixels = in.Rest();
    for (size_t i = 0; i < image.pixels.size() && !pixels.empty(); ++i) image.pixels[i] = pixels[i % pixels.size()];
    RoundTrips(image);
    Image eight, deep, reduced;
    if (depth == 1) ExpandToEight(image, eight);
    if (depth != 24 && ExpandToTrueColour(image, deep) == ImgOk) {
        FUZZ_CHECK(SameColours(image, deep));
        if (ReduceExactly(deep, reduced) == ImgOk) FUZZ_CHECK(SameColours(deep, reduced));
    }
    std::vector<uint8_t> dib;
    PackDib(image, dib);
}
