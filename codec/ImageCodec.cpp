// The codec's operations: files in and out, the probe order, bitmaps for the clipboard and drawing.
#include "codec/ImageCodec.h"
#include "codec/Eps.h"
#include "codec/Pcx.h"
#include "codec/Signature.h"
#include "codec/Tga.h"
#include "codec/WicCodec.h"
#include "framework/Handles.h"
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {
// A picture file larger than this is refused before it is read: no format needs more for the
// largest picture the codec takes.
constexpr uint64_t MaxFileBytes = uint64_t(1) << 30;
int64_t failWritesAfter = -1;

int OpenError()
{
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ImgFileNotFound : ImgReadFailed;
}

// Reads at most limit bytes from the start; fileSize gets the whole size.
int ReadFileStart(const std::wstring& path, size_t limit, std::vector<uint8_t>& data, uint64_t& fileSize)
{
    fw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return OpenError();
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.Get(), &size)) return ImgReadFailed;
    fileSize = static_cast<uint64_t>(size.QuadPart);
    if (std::min<uint64_t>(fileSize, limit) > MaxFileBytes) return ImgNoMemory;
    try {
        data.resize(static_cast<size_t>(std::min<uint64_t>(fileSize, limit)));
    } catch (const std::bad_alloc&) {
        return ImgNoMemory;
    }
    size_t done = 0;
    while (done < data.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 20)), got = 0;
        if (!::ReadFile(file.Get(), data.data() + done, chunk, &got, nullptr)) return ImgReadFailed;
        if (got == 0) break;
        done += got;
    }
    data.resize(done);
    return ImgOk;
}

int ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& data)
{
    uint64_t size = 0;
    return ReadFileStart(path, SIZE_MAX, data, size);
}

int WriteError()
{
    DWORD error = ::GetLastError();
    return error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL ? ImgDiskFull : ImgWriteFailed;
}

bool WriteAll(HANDLE file, const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        size_t chunk = std::min<size_t>(bytes.size() - done, 1u << 20);
        bool fail = false;
        if (failWritesAfter >= 0 && static_cast<int64_t>(done + chunk) > failWritesAfter) {
            chunk = static_cast<size_t>(std::max<int64_t>(0, failWritesAfter - static_cast<int64_t>(done)));
            fail = true;
        }
        DWORD written = 0;
        if (chunk && (!::WriteFile(file, bytes.data() + done, static_cast<DWORD>(chunk), &written, nullptr) || written != chunk))
            return false;
        done += chunk;
        if (fail) {
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
    }
    return true;
}

// The new file is written under a temporary name beside the target and takes the target's name
// only when it is complete; an old file of that name survives every failure.
int WriteReplacing(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return ImgCannotCreate;
    size_t slash = path.find_last_of(L"\\/");
    std::wstring directory = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    static unsigned counter = 0;
    std::wstring temporary;
    fw::UniqueFile file;
    for (int attempt = 0; attempt < 100 && !file; ++attempt) {
        temporary = directory + L"~pd" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L".tmp";
        file.Reset(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!file) return ::GetLastError() == ERROR_DISK_FULL ? ImgDiskFull : ImgCannotCreate;
    int result = ImgOk;
    if (!WriteAll(file.Get(), bytes)) result = WriteError();
    if (!::CloseHandle(file.Release()) && result == ImgOk) result = WriteError();
    if (result == ImgOk && !::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        result = ImgCannotCreate;
    if (result != ImgOk) ::DeleteFileW(temporary.c_str());
    return result;
}
}

int ImgInitialize() { return WicInitialize(); }

int ImgProbe(ImageFormat format, const std::wstring& path, ImageInfo& info)
{
    std::vector<uint8_t> header;
    uint64_t size = 0;
    if (int r = ReadFileStart(path, PcxHeaderSize, header, size)) return r;
    switch (format) {
    case ImageFormat::Pcx:
        if (!ProbePcx(header.data(), header.size(), info)) return ImgUnknownFormat;
        // A picture beyond the codec's limit is refused by the allocation with its own code; within it,
        // a file too short for its lines is damaged, and found so before anything is allocated.
        if (CheckImageSize(info.width, info.height, info.bitsPerPixel) != ImgOk) return ImgOk;
        return PcxFileHoldsLines(header.data(), header.size(), size) ? ImgOk : ImgBadData;
    case ImageFormat::Tga: return ProbeTga(header.data(), header.size(), size, info) ? ImgOk : ImgUnknownFormat;
    case ImageFormat::System:
        return HasSystemSignature(header.data(), header.size()) ? WicProbe(path, info) : ImgUnknownFormat;
    }
    return ImgUnknownFormat;
}

int ImgAllocate(Image& image, int width, int height, int bitsPerPixel)
{
    return AllocateImage(image, width, height, bitsPerPixel);
}

int ImgFree(Image& image)
{
    FreeImage(image);
    return ImgOk;
}

int ImgLoad(ImageFormat format, const std::wstring& path, Image& image)
{
    if (image.Empty()) return ImgInvalidImage;
    if (format == ImageFormat::System) return WicLoad(path, image);
    std::vector<uint8_t> data;
    if (int r = ReadWholeFile(path, data)) return r;
    return format == ImageFormat::Pcx ? ReadPcx(data.data(), data.size(), image) : ReadTga(data.data(), data.size(), image);
}

int ImgOpenFile(const std::wstring& path, Image& image)
{
    for (ImageFormat format : ProbeOrder) {
        ImageInfo info;
        int probe = ImgProbe(format, path, info);
        if (probe == ImgFileNotFound || probe == ImgReadFailed || probe == ImgBadData) return probe;
        if (probe != ImgOk) continue;
        if (int r = ImgAllocate(image, info.width, info.height, info.bitsPerPixel)) return r;
        int r = ImgLoad(format, path, image);
        if (r != ImgOk) ImgFree(image);
        return r;
    }
    return ImgUnknownFormat;
}

int ImgSave(const std::wstring& path, const Image& image, SaveFormat format, int option)
{
    if (image.Empty()) return ImgInvalidImage;
    std::vector<uint8_t> bytes;
    int result;
    switch (format) {
    case SavePcx: result = WritePcx(image, bytes); break;
    case SaveTga: result = WriteTga(image, option == 1, bytes); break;
    case SaveEps: result = image.bitsPerPixel > 8 ? ImgBadDepth : WriteEps(image, bytes); break;
    case SaveTiff: case SaveBmp: case SaveJpeg: case SaveGif: case SavePng:
        result = WicEncode(image, format, option, bytes);
        break;
    default: return ImgInvalidImage;
    }
    return result != ImgOk ? result : WriteReplacing(path, bytes);
}

int ImgReduce(const Image& source, Image& target)
{
    if (source.Empty()) return ImgInvalidImage;
    if (source.bitsPerPixel == 8) {
        try {
            target = source;
        } catch (const std::bad_alloc&) {
            return ImgNoMemory;
        }
        return ImgOk;
    }
    int result = ReduceExactly(source, target);
    return result == ImgBadDepth ? WicReduce(source, target) : result;
}

int ImgToDib(const Image& image, HGLOBAL& dib)
{
    dib = nullptr;
    std::vector<uint8_t> bytes;
    if (int r = PackDib(image, bytes)) return r;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return ImgNoMemory;
    void* p = ::GlobalLock(memory);
    if (!p) {
        ::GlobalFree(memory);
        return ImgNoMemory;
    }
    std::memcpy(p, bytes.data(), bytes.size());
    ::GlobalUnlock(memory);
    dib = memory;
    return ImgOk;
}

int ImgDraw(const Image& image, HDC dc, int x, int y, int sourceX, int sourceY, int width, int height)
{
    if (image.Empty()) return ImgInvalidImage;
    sourceX = std::clamp(sourceX, 0, image.width);
    sourceY = std::clamp(sourceY, 0, image.height);
    width = std::min(width, image.width - sourceX);
    height = std::min(height, image.height - sourceY);
    if (width <= 0 || height <= 0) return ImgOk;
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = image.width;
    info.header.biHeight = -height; // top-down: the rows from sourceY on
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(image.bitsPerPixel);
    info.header.biCompression = BI_RGB;
    info.header.biClrUsed = static_cast<DWORD>(image.palette.size());
    static_assert(sizeof(PaletteEntry) == sizeof(RGBQUAD));
    if (!image.palette.empty()) std::memcpy(info.colours, image.palette.data(), image.palette.size() * sizeof(RGBQUAD));

    // On a palette device the picture's colours must be realised first (or a halftone palette).
    fw::UniqueGdi palette;
    HPALETTE previous = nullptr;
    if (::GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) {
        if (image.bitsPerPixel <= 8) {
            std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + image.palette.size() * sizeof(PALETTEENTRY));
            auto* logical = reinterpret_cast<LOGPALETTE*>(buffer.data());
            logical->palVersion = 0x300;
            logical->palNumEntries = static_cast<WORD>(image.palette.size());
            for (size_t i = 0; i < image.palette.size(); ++i)
                logical->palPalEntry[i] = PALETTEENTRY{image.palette[i].red, image.palette[i].green, image.palette[i].blue, 0};
            palette.Reset(::CreatePalette(logical));
        } else {
            palette.Reset(::CreateHalftonePalette(dc));
            ::SetStretchBltMode(dc, HALFTONE);
            ::SetBrushOrgEx(dc, 0, 0, nullptr);
        }
        if (palette) {
            previous = ::SelectPalette(dc, static_cast<HPALETTE>(palette.Get()), FALSE);
            ::RealizePalette(dc);
        }
    }
    int lines = ::StretchDIBits(dc, x, y, width, height, sourceX, 0, width, height, image.Row(sourceY),
                                reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
    if (previous) ::SelectPalette(dc, previous, FALSE);
    return lines == 0 || lines == static_cast<int>(GDI_ERROR) ? ImgInvalidImage : ImgOk;
}

void ImgFailWritesAfter(int64_t bytes) { failWritesAfter = bytes; }
