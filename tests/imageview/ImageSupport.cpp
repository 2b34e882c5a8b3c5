// ImageMagick and Ghostscript run as Unix programs through Wine; pixels compared as RGB bytes.
#include "imageview/ImageSupport.h"
#include "support/TestEnv.h"
#include <windows.h>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace test {

namespace {
// "P6", width, height and 255 (with "#" comments between), one blank, then the samples.
Pixels ParsePpm(const std::string& bytes)
{
    size_t at = 0;
    auto token = [&]() {
        for (;;) {
            while (at < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[at]))) ++at;
            if (at < bytes.size() && bytes[at] == '#') {
                while (at < bytes.size() && bytes[at] != '\n') ++at;
                continue;
            }
            size_t start = at;
            while (at < bytes.size() && !std::isspace(static_cast<unsigned char>(bytes[at]))) ++at;
            return bytes.substr(start, at - start);
        }
    };
    if (token() != "P6") return Pixels{};
    Pixels p;
    p.width = std::atoi(token().c_str());
    p.height = std::atoi(token().c_str());
    if (token() != "255") return Pixels{};
    size_t start = at + 1, size = static_cast<size_t>(p.width) * p.height * 3;
    if (p.width <= 0 || p.height <= 0 || bytes.size() < start + size) return Pixels{};
    p.rgb.assign(bytes.begin() + start, bytes.begin() + start + size);
    return p;
}

// Runs a command that writes a PPM file to the given name and reads that file.
Pixels PpmFrom(const std::wstring& path, const std::string& command)
{
    std::wstring ppm = path + L".ppm";
    Pixels p = RunUnix(command + " " + ShellQuote(UnixPath(path)) + " > " + ShellQuote(UnixPath(ppm))) == 0
                   ? ParsePpm(FileBytes(ppm)) : Pixels{};
    ::DeleteFileW(ppm.c_str());
    return p;
}

Pixels ReadRaw(const std::wstring& raw, const std::string& size)
{
    Pixels p;
    if (std::sscanf(size.c_str(), "%d %d", &p.width, &p.height) != 2) return Pixels{};
    std::string bytes = FileBytes(raw);
    if (bytes.size() != static_cast<size_t>(p.width) * p.height * 3) return Pixels{};
    p.rgb.assign(bytes.begin(), bytes.end());
    return p;
}
}

bool MakePicture(const std::wstring& path, const std::string& arguments, const std::string& format)
{
    std::string output;
    int status = RunUnix("convert " + arguments + " " + ShellQuote(format + UnixPath(path)), &output);
    if (status != 0) std::fprintf(stderr, "convert %s: %s\n", arguments.c_str(), output.c_str());
    return status == 0 && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MakeByPipe(const std::wstring& path, const std::string& pipeline)
{
    std::string output;
    int status = RunUnix(pipeline + " > " + ShellQuote(UnixPath(path)), &output);
    if (status != 0) std::fprintf(stderr, "%s: %s\n", pipeline.c_str(), output.c_str());
    return status == 0 && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Pixels MagickPixels(const std::wstring& path)
{
    std::wstring raw = path + L".raw";
    std::string size;
    std::string file = ShellQuote(UnixPath(path) + "[0]");
    if (RunUnix("identify -format '%w %h' " + file, &size) != 0) return Pixels{};
    if (RunUnix("convert " + file + " -auto-orient -background white -alpha remove -alpha off -depth 8 rgb:" +
                ShellQuote(UnixPath(path) + ".raw")) != 0)
        return Pixels{};
    Pixels p = ReadRaw(raw, size);
    ::DeleteFileW(raw.c_str());
    return p;
}

Pixels GhostscriptPixels(const std::wstring& path)
{
    return PpmFrom(path, "gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=ppmraw -r72 -dEPSCrop -sOutputFile=-");
}

Pixels NetpbmPcxPixels(const std::wstring& path) { return PpmFrom(path, "pcxtoppm"); }

std::string Identify(const std::wstring& path, const std::string& format)
{
    std::string output;
    if (RunUnix("identify -format " + ShellQuote(format) + " " + ShellQuote(UnixPath(path) + "[0]"), &output) != 0)
        return std::string();
    return output;
}

Pixels CodecPixels(const Image& image)
{
    Pixels p{image.width, image.height, {}};
    p.rgb.reserve(static_cast<size_t>(image.width) * image.height * 3);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            Rgb c = PixelColour(image, x, y);
            p.rgb.push_back(c.red);
            p.rgb.push_back(c.green);
            p.rgb.push_back(c.blue);
        }
    return p;
}

int MaxDifference(const Pixels& a, const Pixels& b)
{
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 1000;
    int most = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) most = std::max(most, std::abs(int(a.rgb[i]) - int(b.rgb[i])));
    return most;
}

} // namespace test
