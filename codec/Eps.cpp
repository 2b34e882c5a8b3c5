// EPS: a level-2 image operator over hexadecimal RGB samples, one point per pixel.
#include "codec/Eps.h"
#include <cstdio>
#include <new>
#include <string>

int WriteEps(const Image& image, std::vector<uint8_t>& out)
{
    if (image.Empty()) return ImgInvalidImage;
    const int w = image.width, h = image.height;
    char head[1024];
    int n = std::snprintf(head, sizeof head,
                          "%%!PS-Adobe-3.0 EPSF-3.0\n"
                          "%%%%Creator: Pandect Commander\n"
                          "%%%%BoundingBox: 0 0 %d %d\n"
                          "%%%%LanguageLevel: 2\n"
                          "%%%%Pages: 1\n"
                          "%%%%EndComments\n"
                          "%%%%Page: 1 1\n"
                          "gsave\n"
                          "%d %d scale\n"
                          "/DeviceRGB setcolorspace\n"
                          "<< /ImageType 1 /Width %d /Height %d /BitsPerComponent 8 /Decode [0 1 0 1 0 1]\n"
                          "   /ImageMatrix [%d 0 0 %d 0 %d] /DataSource currentfile /ASCIIHexDecode filter >>\n"
                          "image\n",
                          w, h, w, h, w, h, w, -h, h);
    static const char tail[] = ">\ngrestore\nshowpage\n%%EOF\n";
    static const char hex[] = "0123456789abcdef";
    try {
        out.assign(head, head + n);
        // Two digits per sample and a line end after every 32 samples.
        uint64_t samples = static_cast<uint64_t>(w) * h * 3;
        out.reserve(out.size() + static_cast<size_t>(samples * 2 + samples / 32 + sizeof tail));
        int column = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                Rgb c = PixelColour(image, x, y);
                for (uint8_t v : {c.red, c.green, c.blue}) {
                    out.push_back(static_cast<uint8_t>(hex[v >> 4]));
                    out.push_back(static_cast<uint8_t>(hex[v & 15]));
                    if (++column == 32) {
                        out.push_back('\n');
                        column = 0;
                    }
                }
            }
        out.insert(out.end(), tail, tail + sizeof tail - 1);
    } catch (const std::bad_alloc&) {
        out.clear();
        return ImgNoMemory;
    }
    return ImgOk;
}
