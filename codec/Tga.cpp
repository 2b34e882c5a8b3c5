// TGA: header checks, bounded colour map and packets, orientation, and the writer.
#include "codec/Tga.h"
#include "codec/Bytes.h"
#include <algorithm>
#include <cstring>
#include <new>

namespace {
struct TgaHeader {
    int idLength = 0;
    int mapType = 0;
    int imageType = 0;
    int mapFirst = 0;
    int mapLength = 0;
    int mapEntryBits = 0;
    int width = 0;
    int height = 0;
    int pixelBits = 0;
    int descriptor = 0;
    bool RunLength() const { return imageType >= 9; }
    int Kind() const { return imageType & 7; } // 1 mapped, 2 true colour, 3 grey
    size_t MapBytes() const { return static_cast<size_t>(mapLength) * ((mapEntryBits + 7) / 8); }
};

bool ValidEntryBits(int bits) { return bits == 15 || bits == 16 || bits == 24 || bits == 32; }

bool ParseHeader(const uint8_t* data, size_t size, TgaHeader& h)
{
    if (size < TgaHeaderSize) return false;
    ByteReader in(data, size);
    h.idLength = in.U8();
    h.mapType = in.U8();
    h.imageType = in.U8();
    h.mapFirst = in.U16();
    h.mapLength = in.U16();
    h.mapEntryBits = in.U8();
    in.Skip(4); // origin
    h.width = in.U16();
    h.height = in.U16();
    h.pixelBits = in.U8();
    h.descriptor = in.U8();
    if (h.mapType > 1 || h.width == 0 || h.height == 0 || (h.descriptor & 0xC0)) return false;
    if (h.imageType != 1 && h.imageType != 2 && h.imageType != 3 && h.imageType != 9 && h.imageType != 10 && h.imageType != 11)
        return false;
    if (h.mapType == 1 && (!ValidEntryBits(h.mapEntryBits) || h.mapLength == 0)) return false;
    switch (h.Kind()) {
    case 1: return h.mapType == 1 && h.pixelBits == 8;
    case 2: return ValidEntryBits(h.pixelBits);
    default: return h.pixelBits == 8;
    }
}

int DepthOf(const TgaHeader& h) { return h.Kind() == 2 ? 24 : 8; }

// A 15-, 16-, 24- or 32-bit colour; alpha over white only when the descriptor names alpha bits.
PaletteEntry Colour(const uint8_t* p, int bits, bool alpha)
{
    if (bits <= 16) {
        unsigned v = p[0] | (p[1] << 8);
        auto five = [](unsigned c) { return static_cast<uint8_t>((c << 3) | (c >> 2)); };
        return PaletteEntry{five(v & 31), five((v >> 5) & 31), five((v >> 10) & 31), 0};
    }
    if (bits == 32 && alpha) return PaletteEntry{OnWhite(p[0], p[3]), OnWhite(p[1], p[3]), OnWhite(p[2], p[3]), 0};
    return PaletteEntry{p[0], p[1], p[2], 0};
}
}

bool ProbeTga(const uint8_t* header, size_t size, uint64_t fileSize, ImageInfo& info)
{
    TgaHeader h;
    if (!ParseHeader(header, size, h)) return false;
    uint64_t needed = TgaHeaderSize + static_cast<uint64_t>(h.idLength) + h.MapBytes();
    const uint64_t pixels = static_cast<uint64_t>(h.width) * h.height, pixelBytes = (h.pixelBits + 7) / 8;
    // A packet gives at most 128 pixels: a short file must not make a large picture be allocated.
    needed += h.RunLength() ? (pixels + 127) / 128 * (1 + pixelBytes) : pixels * pixelBytes;
    if (needed > fileSize) return false;
    info = ImageInfo{h.width, h.height, DepthOf(h)};
    return true;
}

int ReadTga(const uint8_t* data, size_t size, Image& image)
{
    TgaHeader h;
    if (!ParseHeader(data, size, h)) return ImgBadHeader;
    if (image.Empty() || image.width != h.width || image.height != h.height || image.bitsPerPixel != DepthOf(h))
        return ImgInvalidImage;
    ByteReader in(data, size);
    in.Skip(TgaHeaderSize + h.idLength);
    const bool alpha = (h.descriptor & 15) != 0;
    const uint8_t* map = in.Take(h.MapBytes());
    if (in.Failed()) return ImgBadData;
    if (h.Kind() == 1) {
        // Indices outside the map stay black.
        std::fill(image.palette.begin(), image.palette.end(), PaletteEntry{});
        const int entryBytes = (h.mapEntryBits + 7) / 8;
        for (int i = 0; i < h.mapLength && h.mapFirst + i < 256; ++i)
            image.palette[h.mapFirst + i] = Colour(map + static_cast<size_t>(i) * entryBytes, h.mapEntryBits, alpha);
    }
    const int pixelBytes = (h.pixelBits + 7) / 8;
    const uint64_t total = static_cast<uint64_t>(h.width) * h.height;
    const bool topDown = (h.descriptor & 0x20) != 0, rightToLeft = (h.descriptor & 0x10) != 0;
    auto put = [&](uint64_t n, const uint8_t* p) {
        int x = static_cast<int>(n % h.width), y = static_cast<int>(n / h.width);
        if (rightToLeft) x = h.width - 1 - x;
        uint8_t* row = image.Row(topDown ? y : h.height - 1 - y);
        if (h.Kind() == 2) {
            PaletteEntry c = Colour(p, h.pixelBits, alpha);
            row[x * 3] = c.blue;
            row[x * 3 + 1] = c.green;
            row[x * 3 + 2] = c.red;
        } else {
            row[x] = p[0];
        }
    };
    uint64_t n = 0;
    while (n < total) {
        uint64_t count = 1;
        bool repeat = false;
        if (h.RunLength()) {
            uint8_t packet = in.U8();
            count = (packet & 0x7F) + 1u;
            repeat = (packet & 0x80) != 0;
            // Packets may cross lines (older writers do), never the end of the picture.
            if (count > total - n) return ImgBadData;
        }
        const uint8_t* p = in.Take(repeat ? pixelBytes : pixelBytes * count);
        if (!p) return ImgBadData;
        for (uint64_t i = 0; i < count; ++i, ++n) put(n, repeat ? p : p + i * pixelBytes);
    }
    return ImgOk;
}

int WriteTga(const Image& image, bool runLength, std::vector<uint8_t>& out)
{
    if (image.Empty()) return ImgInvalidImage;
    if (image.width > 65535 || image.height > 65535) return ImgInvalidImage;
    Image expanded;
    const Image* source = &image;
    if (image.bitsPerPixel == 1) {
        if (int r = ExpandToEight(image, expanded)) return r;
        source = &expanded;
    }
    const bool mapped = source->bitsPerPixel == 8;
    const int pixelBytes = mapped ? 1 : 3;
    try {
        out.clear();
        ByteWriter w(out);
        w.U8(0);
        w.U8(mapped ? 1 : 0);
        w.U8(static_cast<uint8_t>((mapped ? 1 : 2) + (runLength ? 8 : 0)));
        w.U16(0);
        w.U16(mapped ? 256 : 0);
        w.U8(mapped ? 24 : 0);
        w.U16(0);
        w.U16(0);
        w.U16(static_cast<uint16_t>(source->width));
        w.U16(static_cast<uint16_t>(source->height));
        w.U8(mapped ? 8 : 24);
        w.U8(0); // bottom-up, no alpha
        if (mapped)
            for (int i = 0; i < 256; ++i) {
                PaletteEntry p = i < static_cast<int>(source->palette.size()) ? source->palette[i] : PaletteEntry{};
                w.U8(p.blue);
                w.U8(p.green);
                w.U8(p.red);
            }
        for (int y = source->height - 1; y >= 0; --y) {
            const uint8_t* row = source->Row(y);
            if (!runLength) {
                w.Bytes(row, static_cast<size_t>(source->width) * pixelBytes);
                continue;
            }
            auto same = [&](int a, int b) { return std::memcmp(row + a * pixelBytes, row + b * pixelBytes, pixelBytes) == 0; };
            int x = 0;
            while (x < source->width) {
                int run = 1;
                while (x + run < source->width && run < 128 && same(x, x + run)) ++run;
                if (run > 1) {
                    w.U8(static_cast<uint8_t>(0x80 | (run - 1)));
                    w.Bytes(row + x * pixelBytes, pixelBytes);
                    x += run;
                    continue;
                }
                int raw = 1;
                while (x + raw < source->width && raw < 128 && !(x + raw + 1 < source->width && same(x + raw, x + raw + 1))) ++raw;
                w.U8(static_cast<uint8_t>(raw - 1));
                w.Bytes(row + x * pixelBytes, static_cast<size_t>(raw) * pixelBytes);
                x += raw;
            }
        }
    } catch (const std::bad_alloc&) {
        out.clear();
        return ImgNoMemory;
    }
    return ImgOk;
}
