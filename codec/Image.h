// Pictures as the codec holds them, and the pixel work that needs no window system.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// What every codec operation returns: 0, or one of these negative codes.
enum CodecResult : int {
    ImgOk = 0,
    ImgInvalidImage = -1,  // no pixels, or a picture this operation cannot take
    ImgDiskFull = -3,
    ImgFileNotFound = -4,
    ImgWriteFailed = -5,   // a write failed for another reason than a full disk
    ImgUnknownFormat = -6, // no probe took the file
    ImgBadHeader = -8,
    ImgBadData = -9,       // damaged or truncated picture data
    ImgCannotCreate = -10,
    ImgReadFailed = -11,
    ImgNoMemory = -14,     // too large for this program, or the allocation failed
    ImgBadDepth = -26,
    ImgDecoderFailed = -43,
    ImgEncoderFailed = -62,
    ImgNoSystemCodec = -63,
};

// The largest picture the codec takes: 2^28 pixels (768 MiB at 24 bits).
constexpr uint64_t MaxImagePixels = uint64_t(1) << 28;

// RGBQUAD layout, so that a palette can go into a device-independent bitmap as it is.
struct PaletteEntry {
    uint8_t blue = 0, green = 0, red = 0, unused = 0;
    bool operator==(const PaletteEntry& o) const { return blue == o.blue && green == o.green && red == o.red; }
};

// Width, height and depth as a probe reports them.
struct ImageInfo {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// Top-down rows, each a multiple of 4 bytes. 1 and 8 bits index the palette; 24 bits are blue,
// green, red. The palette has 2 entries at 1 bit and 256 at 8 bits.
struct Image {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    size_t stride = 0;
    std::vector<uint8_t> pixels;
    std::vector<PaletteEntry> palette;

    bool Empty() const { return pixels.empty(); }
    uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * stride; }
    const uint8_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * stride; }
};

// Bytes of one row of the given width and depth, rounded up to 4; 0 when it does not fit.
size_t RowStride(int width, int bitsPerPixel);
// Checks the size in 64 bits before anything is allocated: 0, ImgNoMemory or ImgBadDepth.
int CheckImageSize(int width, int height, int bitsPerPixel);
// Pixels zeroed, palette black (grey ramp at 8 bits, black and white at 1 bit).
int AllocateImage(Image& image, int width, int height, int bitsPerPixel);
void FreeImage(Image& image);

struct Rgb {
    uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
};
Rgb PixelColour(const Image& image, int x, int y);
// Same size and the same colour at every pixel, whatever the depths.
bool SameColours(const Image& a, const Image& b);
// A channel with alpha laid over white.
inline uint8_t OnWhite(uint8_t channel, uint8_t alpha)
{
    return static_cast<uint8_t>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

// A 1-bit picture as an 8-bit one with the same colours.
int ExpandToEight(const Image& source, Image& target);
// A 1- or 8-bit picture as a 24-bit one.
int ExpandToTrueColour(const Image& source, Image& target);
// An 8-bit picture holding exactly the source's colours; ImgBadDepth when it has more than 256.
int ReduceExactly(const Image& source, Image& target);

// The picture as a packed device-independent bitmap: header, palette, bottom-up rows.
int PackDib(const Image& image, std::vector<uint8_t>& dib);
