// Pictures for the codec and viewer tests: made and read back by ImageMagick and Ghostscript.
#pragma once
#include "codec/Image.h"
#include <cstdint>
#include <string>
#include <vector>

namespace test {

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb; // top-down rows of red, green, blue
};

// Writes path with "convert <arguments> <format:><path>"; false when it failed.
bool MakePicture(const std::wstring& path, const std::string& arguments, const std::string& format = "");
// Writes path from the standard output of a shell pipeline ("convert ... ppm:- | ppmtopcx").
bool MakeByPipe(const std::wstring& path, const std::string& pipeline);
// ImageMagick's reading of the file: alpha laid over white, rows turned as the file's
// orientation says (ImageMagick writes TGA rows top first yet marks them bottom first).

Pixels MagickPixels(const std::wstring& path);
// netpbm's reading of a PCX file (ImageMagick 6.9.11 shows 1-bit PCX files inverted).
Pixels NetpbmPcxPixels(const std::wstring& path);
// Ghostscript's rendering of an EPS file at one pixel a point.
Pixels GhostscriptPixels(const std::wstring& path);
// "identify -format <format>" of the file's first frame; empty when identify failed.
std::string Identify(const std::wstring& path, const std::string& format);
Pixels CodecPixels(const Image& image);
// The largest difference of one channel; 1000 when the sizes differ.
int MaxDifference(const Pixels& a, const Pixels& b);

} // namespace test
