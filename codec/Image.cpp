// Allocation with sizes checked in 64 bits, colour access, depth changes and the packed bitmap.
#include "codec/Image.h"
#include "codec/Bytes.h"
#include <algorithm>
#include <new>
#include <unordered_map>

size_t RowStride(int width, int bitsPerPixel)
{
    if (width <= 0 || bitsPerPixel <= 0) return 0;
    uint64_t bytes = (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel) + 31) / 32 * 4;
    return bytes > SIZE_MAX ? 0 : static_cast<size_t>(bytes);
}

int CheckImageSize(int width, int height, int bitsPerPixel)
{
    if (bitsPerPixel != 1 && bitsPerPixel != 8 && bitsPerPixel != 24) return ImgBadDepth;
    if (width <= 0 || height <= 0) return ImgInvalidImage;
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > MaxImagePixels) return ImgNoMemory;
    uint64_t bytes = static_cast<uint64_t>(RowStride(width, bitsPerPixel)) * static_cast<uint64_t>(height);
    if (bytes == 0 || bytes > SIZE_MAX / 2) return ImgNoMemory;
    return ImgOk;
}

int AllocateImage(Image& image, int width, int height, int bitsPerPixel)
{
    FreeImage(image);
    if (int check = CheckImageSize(width, height, bitsPerPixel)) return check;
    size_t stride = RowStride(width, bitsPerPixel);
    try {
        image.pixels.assign(stride * static_cast<size_t>(height), 0);
        if (bitsPerPixel == 1) {
            image.palette.assign(2, PaletteEntry{});
            image.palette[1] = PaletteEntry{255, 255, 255, 0};
        } else if (bitsPerPixel == 8) {
            image.palette.resize(256);
            for (int i = 0; i < 256; ++i) {
                uint8_t v = static_cast<uint8_t>(i);
                image.palette[i] = PaletteEntry{v, v, v, 0};
            }
        }
    } catch (const std::bad_alloc&) {
        FreeImage(image);
        return ImgNoMemory;
    }
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bitsPerPixel;
    image.stride = stride;
    return ImgOk;
}

void FreeImage(Image& image)
{
    std::vector<uint8_t>().swap(image.pixels);
    std::vector<PaletteEntry>().swap(image.palette);
    image.width = image.height = image.bitsPerPixel = 0;
    image.stride = 0;
}

Rgb PixelColour(const Image& image, int x, int y)
{
    const uint8_t* row = image.Row(y);
    if (image.bitsPerPixel == 24) return Rgb{row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
    unsigned index = image.bitsPerPixel == 1 ? (row[x >> 3] >> (7 - (x & 7))) & 1 : row[x];
    if (index >= image.palette.size()) return Rgb{};
    const PaletteEntry& p = image.palette[index];
    return Rgb{p.red, p.green, p.blue};
}

bool SameColours(const Image& a, const Image& b)
{
    if (a.width != b.width || a.height != b.height) return false;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (!(PixelColour(a, x, y) == PixelColour(b, x, y))) return false;
    return true;
}

int ExpandToEight(const Image& source, Image& target)
{
    if (source.Empty() || source.bitsPerPixel != 1) return ImgInvalidImage;
    if (int r = AllocateImage(target, source.width, source.height, 8)) return r;
    for (size_t i = 0; i < source.palette.size() && i < 256; ++i) target.palette[i] = source.palette[i];
    for (int y = 0; y < source.height; ++y) {
        const uint8_t* in = source.Row(y);
        uint8_t* out = target.Row(y);
        for (int x = 0; x < source.width; ++x) out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
    }
    return ImgOk;
}

int ExpandToTrueColour(const Image& source, Image& target)
{
    if (source.Empty() || source.bitsPerPixel > 8) return ImgInvalidImage;
    if (int r = AllocateImage(target, source.width, source.height, 24)) return r;
    for (int y = 0; y < source.height; ++y) {
        uint8_t* out = target.Row(y);
        for (int x = 0; x < source.width; ++x) {
            Rgb c = PixelColour(source, x, y);
            out[x * 3] = c.blue;
            out[x * 3 + 1] = c.green;
            out[x * 3 + 2] = c.red;
        }
    }
    return ImgOk;
}

int ReduceExactly(const Image& source, Image& target)
{
    if (source.Empty()) return ImgInvalidImage;
    if (source.bitsPerPixel == 1) return ExpandToEight(source, target);
    Image result;
    if (int r = AllocateImage(result, source.width, source.height, 8)) return r;
    std::unordered_map<uint32_t, uint8_t> indices;
    std::fill(result.palette.begin(), result.palette.end(), PaletteEntry{});
    for (int y = 0; y < source.height; ++y) {
        uint8_t* out = result.Row(y);
        for (int x = 0; x < source.width; ++x) {
            Rgb c = PixelColour(source, x, y);
            uint32_t key = (uint32_t(c.red) << 16) | (uint32_t(c.green) << 8) | c.blue;
            auto found = indices.find(key);
            if (found == indices.end()) {
                if (indices.size() == 256) return ImgBadDepth;
                uint8_t index = static_cast<uint8_t>(indices.size());
                result.palette[index] = PaletteEntry{c.blue, c.green, c.red, 0};
                found = indices.emplace(key, index).first;
            }
            out[x] = found->second;
        }
    }
    target = std::move(result);
    return ImgOk;
}

int PackDib(const Image& image, std::vector<uint8_t>& dib)
{
    if (image.Empty()) return ImgInvalidImage;
    uint64_t bits = static_cast<uint64_t>(image.stride) * static_cast<uint64_t>(image.height);
    uint64_t total = 40 + image.palette.size() * 4 + bits;
    if (total > 0x7FFFFFFF) return ImgNoMemory;
    try {
        dib.clear();
        dib.reserve(static_cast<size_t>(total));
        ByteWriter out(dib);
        out.U32(40);
        out.U32(static_cast<uint32_t>(image.width));
        out.U32(static_cast<uint32_t>(image.height)); // positive: bottom-up rows
        out.U16(1);
        out.U16(static_cast<uint16_t>(image.bitsPerPixel));
        out.U32(0); // BI_RGB
        out.U32(static_cast<uint32_t>(bits));
        out.U32(3780); // 96 dots per inch
        out.U32(3780);
        out.U32(static_cast<uint32_t>(image.palette.size()));
        out.U32(0);
        for (const PaletteEntry& p : image.palette) {
            out.U8(p.blue);
            out.U8(p.green);
            out.U8(p.red);
            out.U8(0);
        }
        for (int y = image.height - 1; y >= 0; --y) out.Bytes(image.Row(y), image.stride);
    } catch (const std::bad_alloc&) {
        dib.clear();
        return ImgNoMemory;
    }
    return ImgOk;
}
