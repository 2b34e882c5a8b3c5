// PCX: header checks, run-length lines bounded by their length, planes to pixels and back.
#include "codec/Pcx.h"
#include "codec/Bytes.h"
#include <algorithm>
#include <cstring>
#include <new>

namespace {
struct PcxHeader {
    int bitsPerPlane = 0;
    int planes = 0;
    int width = 0;
    int height = 0;
    size_t bytesPerLine = 0;
    bool runLength = false;
    PaletteEntry colours[16];
};

bool ParseHeader(const uint8_t* data, size_t size, PcxHeader& h)
{
    if (size < PcxHeaderSize || data[0] != 0x0A || data[1] > 5 || data[2] > 1) return false;
    ByteReader in(data + 4, 8);
    int xMin = in.U16(), yMin = in.U16(), xMax = in.U16(), yMax = in.U16();
    if (xMax < xMin || yMax < yMin) return false;
    h.width = xMax - xMin + 1;
    h.height = yMax - yMin + 1;
    h.bitsPerPlane = data[3];
    h.planes = data[65];
    h.bytesPerLine = static_cast<size_t>(data[66] | (data[67] << 8));
    h.runLength = data[2] == 1;
    bool packed = h.planes == 1 && (h.bitsPerPlane == 1 || h.bitsPerPlane == 2 || h.bitsPerPlane == 4 || h.bitsPerPlane == 8);
    bool planar = (h.bitsPerPlane == 1 && h.planes >= 2 && h.planes <= 4) || (h.bitsPerPlane == 8 && (h.planes == 3 || h.planes == 4));
    if (!packed && !planar) return false;
    if (h.bytesPerLine < (static_cast<size_t>(h.width) * h.bitsPerPlane + 7) / 8) return false;
    for (int i = 0; i < 16; ++i)
        h.colours[i] = PaletteEntry{data[16 + i * 3 + 2], data[16 + i * 3 + 1], data[16 + i * 3], 0};
    return true;
}

int DepthOf(const PcxHeader& h)
{
    if (h.bitsPerPlane == 8 && h.planes >= 3) return 24;
    if (h.bitsPerPlane == 1 && h.planes == 1) return 1;
    return 8;
}

// One line of all planes; a run that would cross the line's end is damage.
bool DecodeLine(ByteReader& in, bool runLength, uint8_t* line, size_t length)
{
    size_t filled = 0;
    while (filled < length) {
        uint8_t b = in.U8();
        if (in.Failed()) return false;
        if (runLength && (b & 0xC0) == 0xC0) {
            size_t count = b & 0x3F;
            uint8_t value = in.U8();
            if (in.Failed() || count > length - filled) return false;
            std::memset(line + filled, value, count);
            filled += count;
        } else {
            line[filled++] = b;
        }
    }
    return true;
}

void LineToRow(const PcxHeader& h, const uint8_t* line, uint8_t* row)
{
    const size_t bpl = h.bytesPerLine;
    if (h.bitsPerPlane == 8 && h.planes >= 3) {
        for (int x = 0; x < h.width; ++x) {
            uint8_t r = line[x], g = line[bpl + x], b = line[2 * bpl + x];
            if (h.planes == 4) {
                uint8_t a = line[3 * bpl + x];
                r = OnWhite(r, a);
                g = OnWhite(g, a);
                b = OnWhite(b, a);
            }
            row[x * 3] = b;
            row[x * 3 + 1] = g;
            row[x * 3 + 2] = r;
        }
    } else if (h.bitsPerPlane == 8 || (h.bitsPerPlane == 1 && h.planes == 1)) {
        std::memcpy(row, line, (static_cast<size_t>(h.width) * h.bitsPerPlane + 7) / 8);
    } else {
        const int bits = h.bitsPerPlane, mask = (1 << bits) - 1, perByte = 8 / bits;
        for (int x = 0; x < h.width; ++x) {
            int index = 0;
            int shift = (perByte - 1 - x % perByte) * bits;
            for (int p = 0; p < h.planes; ++p) index |= ((line[p * bpl + x / perByte] >> shift) & mask) << (p * bits);
            row[x] = static_cast<uint8_t>(index);
        }
    }
}

void EncodeRun(const uint8_t* p, size_t n, ByteWriter& out)
{
    size_t i = 0;
    while (i < n) {
        uint8_t v = p[i];
        size_t run = 1;
        while (i + run < n && p[i + run] == v && run < 63) ++run;
        if (run > 1 || (v & 0xC0) == 0xC0) out.U8(static_cast<uint8_t>(0xC0 | run));
        out.U8(v);
        i += run;
    }
}
}

bool ProbePcx(const uint8_t* header, size_t size, ImageInfo& info)
{
    PcxHeader h;
    if (!ParseHeader(header, size, h)) return false;
    info = ImageInfo{h.width, h.height, DepthOf(h)};
    return true;
}

bool PcxFileHoldsLines(const uint8_t* header, size_t size, uint64_t fileSize)
{
    PcxHeader h;
    if (!ParseHeader(header, size, h)) return false;
    // A run gives at most 63 bytes and stays in its line.
    uint64_t line = h.bytesPerLine * static_cast<uint64_t>(h.planes);
    uint64_t lineBytes = h.runLength ? (line + 62) / 63 * 2 : line;
    return fileSize >= PcxHeaderSize && (fileSize - PcxHeaderSize) / h.height >= lineBytes;
}

int ReadPcx(const uint8_t* data, size_t size, Image& image)
{
    PcxHeader h;
    if (!ParseHeader(data, size, h)) return ImgBadHeader;
    if (image.Empty() || image.width != h.width || image.height != h.height || image.bitsPerPixel != DepthOf(h))
        return ImgInvalidImage;
    size_t dataEnd = size;
    if (h.bitsPerPlane == 8 && h.planes == 1) {
        // The 256 colours follow a 12 at the very end; without them the picture is grey.
        if (size >= PcxHeaderSize + 769 && data[size - 769] == 0x0C) {
            dataEnd = size - 769;
            const uint8_t* p = data + dataEnd + 1;
            for (int i = 0; i < 256; ++i) image.palette[i] = PaletteEntry{p[i * 3 + 2], p[i * 3 + 1], p[i * 3], 0};
        }
    } else if (h.bitsPerPlane * h.planes <= 4) {
        int colours = 1 << (h.bitsPerPlane * h.planes);
        bool blackAndWhite = colours == 2 && h.colours[0] == h.colours[1];
        for (int i = 0; i < colours && !blackAndWhite; ++i) image.palette[i] = h.colours[i];
    }
    std::vector<uint8_t> line;
    try {
        line.assign(h.bytesPerLine * static_cast<size_t>(h.planes), 0);
    } catch (const std::bad_alloc&) {
        return ImgNoMemory;
    }
    ByteReader in(data + PcxHeaderSize, dataEnd - PcxHeaderSize);
    for (int y = 0; y < h.height; ++y) {
        if (!DecodeLine(in, h.runLength, line.data(), line.size())) return ImgBadData;
        LineToRow(h, line.data(), image.Row(y));
    }
    return ImgOk;
}

int WritePcx(const Image& image, std::vector<uint8_t>& out)
{
    if (image.Empty()) return ImgInvalidImage;
    if (image.width > 65535 || image.height > 65535) return ImgInvalidImage;
    const int planes = image.bitsPerPixel == 24 ? 3 : 1;
    const int bitsPerPlane = image.bitsPerPixel == 1 ? 1 : 8;
    size_t bytesPerLine = (static_cast<size_t>(image.width) * bitsPerPlane + 7) / 8;
    bytesPerLine += bytesPerLine & 1;
    if (bytesPerLine > 65535) return ImgInvalidImage;
    try {
        out.clear();
        ByteWriter w(out);
        w.U8(0x0A);
        w.U8(5);
        w.U8(1);
        w.U8(static_cast<uint8_t>(bitsPerPlane));
        w.U16(0);
        w.U16(0);
        w.U16(static_cast<uint16_t>(image.width - 1));
        w.U16(static_cast<uint16_t>(image.height - 1));
        w.U16(72);
        w.U16(72);
        for (int i = 0; i < 16; ++i) {
            PaletteEntry p = i < static_cast<int>(image.palette.size()) ? image.palette[i] : PaletteEntry{};
            w.U8(p.red);
            w.U8(p.green);
            w.U8(p.blue);
        }
        w.U8(0);
        w.U8(static_cast<uint8_t>(planes));
        w.U16(static_cast<uint16_t>(bytesPerLine));
        w.U16(1);
        w.Fill(0, PcxHeaderSize - out.size());
        std::vector<uint8_t> plane(bytesPerLine);
        for (int y = 0; y < image.height; ++y) {
            const uint8_t* row = image.Row(y);
            for (int p = 0; p < planes; ++p) {
                std::fill(plane.begin(), plane.end(), 0);
                if (planes == 3)
                    for (int x = 0; x < image.width; ++x) plane[x] = row[x * 3 + 2 - p];
                else
                    std::memcpy(plane.data(), row, std::min(bytesPerLine, image.stride));
                if (image.bitsPerPixel == 1 && image.width % 8) {
                    size_t last = (static_cast<size_t>(image.width) - 1) / 8;
                    plane[last] &= static_cast<uint8_t>(0xFF << (8 - image.width % 8));
                    std::fill(plane.begin() + last + 1, plane.end(), 0);
                } else if (image.bitsPerPixel == 8) {
                    std::fill(plane.begin() + image.width, plane.end(), 0);
                }
                EncodeRun(plane.data(), plane.size(), w);
            }
        }
        if (image.bitsPerPixel == 8) {
            w.U8(0x0C);
            for (int i = 0; i < 256; ++i) {
                PaletteEntry p = i < static_cast<int>(image.palette.size()) ? image.palette[i] : PaletteEntry{};
                w.U8(p.red);
                w.U8(p.green);
                w.U8(p.blue);
            }
        }
    } catch (const std::bad_alloc&) {
        out.clear();
        return ImgNoMemory;
    }
    return ImgOk;
}
