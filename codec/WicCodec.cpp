// Decoding and encoding through WIC: every frame comes out as 8-bit indices or 24-bit colour,
// alpha laid over white; the encoder's own choice of pixel format is honoured.
#include "codec/WicCodec.h"
#include <wincodec.h>
#include <wrl/client.h>
#include <algorithm>
#include <climits>
#include <new>

using Microsoft::WRL::ComPtr;

namespace {
// Kept for the life of the process: releasing it from a static destructor would call into a
// library that may already be unloaded.
IWICImagingFactory* factory = nullptr;
thread_local bool comStarted = false;

int FromHresult(HRESULT hr, int fallback)
{
    if (hr == E_OUTOFMEMORY) return ImgNoMemory;
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))
        return ImgFileNotFound;
    if (hr == WINCODEC_ERR_COMPONENTNOTFOUND || hr == WINCODEC_ERR_UNKNOWNIMAGEFORMAT) return ImgUnknownFormat;
    return fallback;
}

enum class Kind { Indexed, Grey, Colour };
struct PixelKind {
    Kind kind;
    int bits;
};

PixelKind KindOf(const WICPixelFormatGUID& f)
{
    if (f == GUID_WICPixelFormat1bppIndexed) return {Kind::Indexed, 1};
    if (f == GUID_WICPixelFormat2bppIndexed) return {Kind::Indexed, 2};
    if (f == GUID_WICPixelFormat4bppIndexed) return {Kind::Indexed, 4};
    if (f == GUID_WICPixelFormat8bppIndexed) return {Kind::Indexed, 8};
    if (f == GUID_WICPixelFormatBlackWhite || f == GUID_WICPixelFormat2bppGray || f == GUID_WICPixelFormat4bppGray ||
        f == GUID_WICPixelFormat8bppGray || f == GUID_WICPixelFormat16bppGray)
        return {Kind::Grey, 8};
    return {Kind::Colour, 32};
}

struct Frame {
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    int width = 0;
    int height = 0;
    PixelKind kind{Kind::Colour, 32};
    int Depth() const { return kind.kind == Kind::Colour ? 24 : 8; }
};

int OpenFrame(const std::wstring& path, Frame& f)
{
    if (int r = WicInitialize()) return r;
    HRESULT hr = factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                    WICDecodeMetadataCacheOnDemand, &f.decoder);
    if (FAILED(hr)) return FromHresult(hr, ImgDecoderFailed);
    if (FAILED(hr = f.decoder->GetFrame(0, &f.frame))) return FromHresult(hr, ImgDecoderFailed);
    UINT w = 0, h = 0;
    WICPixelFormatGUID format;
    if (FAILED(f.frame->GetSize(&w, &h)) || FAILED(f.frame->GetPixelFormat(&format))) return ImgBadHeader;
    if (w == 0 || h == 0 || w > INT_MAX || h > INT_MAX) return ImgBadHeader;
    f.width = static_cast<int>(w);
    f.height = static_cast<int>(h);
    f.kind = KindOf(format);
    return ImgOk;
}

// Rows per CopyPixels call: a band of a few megabytes, never the whole picture at once.
int BandRows(size_t stride) { return static_cast<int>(std::max<size_t>(1, (4u << 20) / std::max<size_t>(stride, 1))); }

// Copies the source band by band and hands each row to the caller with its row number.
template <typename RowFn>
int CopyInBands(IWICBitmapSource* source, int width, int height, size_t stride, RowFn&& takeRow)
{
    const int band = BandRows(stride);
    std::vector<uint8_t> buffer;
    try {
        buffer.resize(stride * static_cast<size_t>(std::min(band, height)));
    } catch (const std::bad_alloc&) {
        return ImgNoMemory;
    }
    for (int y0 = 0; y0 < height; y0 += band) {
        int rows = std::min(band, height - y0);
        WICRect rect{0, y0, width, rows};
        HRESULT hr = source->CopyPixels(&rect, static_cast<UINT>(stride), static_cast<UINT>(stride * rows), buffer.data());
        if (FAILED(hr)) return FromHresult(hr, ImgBadData);
        for (int r = 0; r < rows; ++r) takeRow(buffer.data() + stride * r, y0 + r);
    }
    return ImgOk;
}

int LoadIndexed(Frame& f, Image& image)
{
    ComPtr<IWICPalette> palette;
    if (FAILED(factory->CreatePalette(&palette))) return ImgNoMemory;
    if (FAILED(f.frame->CopyPalette(palette.Get())) && FAILED(f.decoder->CopyPalette(palette.Get())))
        return ImgDecoderFailed;
    WICColor colours[256] = {};
    UINT count = 0;
    palette->GetColors(256, colours, &count);
    std::fill(image.palette.begin(), image.palette.end(), PaletteEntry{});
    for (UINT i = 0; i < count && i < 256; ++i) {
        WICColor c = colours[i];
        uint8_t a = static_cast<uint8_t>(c >> 24);
        image.palette[i] = PaletteEntry{OnWhite(static_cast<uint8_t>(c), a), OnWhite(static_cast<uint8_t>(c >> 8), a),
                                        OnWhite(static_cast<uint8_t>(c >> 16), a), 0};
    }
    const int bits = f.kind.bits, mask = (1 << bits) - 1, perByte = 8 / bits;
    return CopyInBands(f.frame.Get(), f.width, f.height, RowStride(f.width, bits), [&](const uint8_t* in, int y) {
        uint8_t* out = image.Row(y);
        for (int x = 0; x < f.width; ++x)
            out[x] = static_cast<uint8_t>((in[x / perByte] >> ((perByte - 1 - x % perByte) * bits)) & mask);
    });
}

int LoadConverted(Frame& f, Image& image)
{
    ComPtr<IWICBitmapSource> bgra;
    HRESULT hr = WICConvertBitmapSource(GUID_WICPixelFormat32bppBGRA, f.frame.Get(), &bgra);
    if (FAILED(hr)) return FromHresult(hr, ImgDecoderFailed);
    const bool grey = f.kind.kind == Kind::Grey;
    return CopyInBands(bgra.Get(), f.width, f.height, static_cast<size_t>(f.width) * 4, [&](const uint8_t* in, int y) {
        uint8_t* out = image.Row(y);
        for (int x = 0; x < f.width; ++x, in += 4) {
            if (grey) {
                out[x] = OnWhite(in[0], in[3]);
                continue;
            }
            out[x * 3] = OnWhite(in[0], in[3]);
            out[x * 3 + 1] = OnWhite(in[1], in[3]);
            out[x * 3 + 2] = OnWhite(in[2], in[3]);
        }
    });
}

const GUID* ContainerOf(SaveFormat format)
{
    switch (format) {
    case SaveTiff: return &GUID_ContainerFormatTiff;
    case SaveBmp: return &GUID_ContainerFormatBmp;
    case SaveJpeg: return &GUID_ContainerFormatJpeg;
    case SaveGif: return &GUID_ContainerFormatGif;
    case SavePng: return &GUID_ContainerFormatPng;
    default: return nullptr;
    }
}

WICPixelFormatGUID PixelFormatOf(const Image& image)
{
    if (image.bitsPerPixel == 1) return GUID_WICPixelFormat1bppIndexed;
    if (image.bitsPerPixel == 8) return GUID_WICPixelFormat8bppIndexed;
    return GUID_WICPixelFormat24bppBGR;
}

int SetFramePalette(IWICBitmapEncoder* encoder, IWICBitmapFrameEncode* frame, const Image& image)
{
    ComPtr<IWICPalette> palette;
    if (FAILED(factory->CreatePalette(&palette))) return ImgNoMemory;
    std::vector<WICColor> colours;
    for (const PaletteEntry& p : image.palette)
        colours.push_back(0xFF000000u | (WICColor(p.red) << 16) | (WICColor(p.green) << 8) | p.blue);
    if (FAILED(palette->InitializeCustom(colours.data(), static_cast<UINT>(colours.size())))) return ImgEncoderFailed;
    if (FAILED(frame->SetPalette(palette.Get())) && FAILED(encoder->SetPalette(palette.Get()))) return ImgEncoderFailed;
    return ImgOk;
}

int WriteRows(IWICBitmapFrameEncode* frame, const Image& image)
{
    const int band = BandRows(image.stride);
    for (int y0 = 0; y0 < image.height; y0 += band) {
        int rows = std::min(band, image.height - y0);
        HRESULT hr = frame->WritePixels(static_cast<UINT>(rows), static_cast<UINT>(image.stride),
                                        static_cast<UINT>(image.stride * rows), const_cast<uint8_t*>(image.Row(y0)));
        if (FAILED(hr)) return FromHresult(hr, ImgEncoderFailed);
    }
    return ImgOk;
}

// An encoder that asks for a format this code does not write itself gets a converted source.
int WriteConverted(IWICBitmapFrameEncode* frame, const Image& image, const WICPixelFormatGUID& wanted)
{
    Image colour;
    const Image* source = &image;
    if (image.bitsPerPixel != 24) {
        if (int r = ExpandToTrueColour(image, colour)) return r;
        source = &colour;
    }
    ComPtr<IWICBitmap> bitmap;
    HRESULT hr = factory->CreateBitmapFromMemory(source->width, source->height, GUID_WICPixelFormat24bppBGR,
                                                 static_cast<UINT>(source->stride),
                                                 static_cast<UINT>(source->pixels.size()),
                                                 const_cast<uint8_t*>(source->pixels.data()), &bitmap);
    if (FAILED(hr)) return FromHresult(hr, ImgEncoderFailed);
    ComPtr<IWICBitmapSource> converted;
    if (FAILED(hr = WICConvertBitmapSource(wanted, bitmap.Get(), &converted))) return FromHresult(hr, ImgBadDepth);
    if (FAILED(hr = frame->WriteSource(converted.Get(), nullptr))) return FromHresult(hr, ImgEncoderFailed);
    return ImgOk;
}

int StreamBytes(IStream* stream, std::vector<uint8_t>& out)
{
    STATSTG stat = {};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || FAILED(GetHGlobalFromStream(stream, &memory)))
        return ImgEncoderFailed;
    if (stat.cbSize.QuadPart > SIZE_MAX) return ImgNoMemory;
    const uint8_t* p = static_cast<const uint8_t*>(::GlobalLock(memory));
    if (!p) return ImgNoMemory;
    int result = ImgOk;
    try {
        out.assign(p, p + static_cast<size_t>(stat.cbSize.QuadPart));
    } catch (const std::bad_alloc&) {
        result = ImgNoMemory;
    }
    ::GlobalUnlock(memory);
    return result;
}
}

int WicInitialize()
{
    if (!comStarted) {
        HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // Already started in the other model is as good: the imaging factory is free-threaded.
        if (FAILED(hr) && hr != RPC_E_CHANGED_MODE) return ImgNoSystemCodec;
        comStarted = true;
    }
    if (!factory && FAILED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_PPV_ARGS(&factory))))
        return ImgNoSystemCodec;
    return ImgOk;
}

int WicProbe(const std::wstring& path, ImageInfo& info)
{
    Frame f;
    if (int r = OpenFrame(path, f)) return r;
    info = ImageInfo{f.width, f.height, f.Depth()};
    return ImgOk;
}

int WicLoad(const std::wstring& path, Image& image)
{
    Frame f;
    if (int r = OpenFrame(path, f)) return r;
    if (image.Empty() || image.width != f.width || image.height != f.height || image.bitsPerPixel != f.Depth())
        return ImgInvalidImage;
    return f.kind.kind == Kind::Indexed ? LoadIndexed(f, image) : LoadConverted(f, image);
}

int WicEncode(const Image& image, SaveFormat format, int option, std::vector<uint8_t>& out)
{
    const GUID* container = ContainerOf(format);
    if (!container || image.Empty()) return ImgInvalidImage;
    if (format == SaveGif && image.bitsPerPixel > 8) return ImgBadDepth;
    if (int r = WicInitialize()) return r;
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> properties;
    HRESULT hr = ::CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(*container, nullptr, &encoder);
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(&frame, &properties);
    if (FAILED(hr)) return FromHresult(hr, ImgEncoderFailed);
    if (format == SaveJpeg && properties) {
        PROPBAG2 name = {};
        name.pstrName = const_cast<wchar_t*>(L"ImageQuality");
        VARIANT value;
        ::VariantInit(&value);
        value.vt = VT_R4;
        value.fltVal = static_cast<float>(std::clamp(option, 1, 100)) / 100.0f;
        properties->Write(1, &name, &value);
    }
    if (SUCCEEDED(hr)) hr = frame->Initialize(properties.Get());
    if (SUCCEEDED(hr)) hr = frame->SetSize(static_cast<UINT>(image.width), static_cast<UINT>(image.height));
    if (SUCCEEDED(hr)) hr = frame->SetResolution(96.0, 96.0);
    WICPixelFormatGUID wanted = PixelFormatOf(image);
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&wanted);
    if (FAILED(hr)) return FromHresult(hr, ImgEncoderFailed);

    Image changed;
    const Image* source = &image;
    if (wanted == GUID_WICPixelFormat8bppIndexed && image.bitsPerPixel == 1) {
        if (int r = ExpandToEight(image, changed)) return r;
        source = &changed;
    } else if (wanted == GUID_WICPixelFormat24bppBGR && image.bitsPerPixel != 24) {
        if (int r = ExpandToTrueColour(image, changed)) return r;
        source = &changed;
    }
    int result;
    if (wanted == PixelFormatOf(*source)) {
        result = source->bitsPerPixel <= 8 ? SetFramePalette(encoder.Get(), frame.Get(), *source) : ImgOk;
        if (result == ImgOk) result = WriteRows(frame.Get(), *source);
    } else {
        result = WriteConverted(frame.Get(), *source, wanted);
    }
    if (result != ImgOk) return result;
    if (FAILED(hr = frame->Commit()) || FAILED(hr = encoder->Commit())) return FromHresult(hr, ImgEncoderFailed);
    if (int r = StreamBytes(stream.Get(), out)) return r;
    // Some encoders (Wine's) leave the palette out of a BMP's file size, which readers check.
    if (format == SaveBmp && out.size() >= 14 && out.size() <= 0xFFFFFFFFu && out[0] == 'B' && out[1] == 'M')
        for (int i = 0; i < 4; ++i) out[2 + i] = static_cast<uint8_t>(out.size() >> (8 * i));
    return ImgOk;
}

int WicReduce(const Image& source, Image& target)
{
    if (source.Empty() || source.bitsPerPixel != 24) return ImgInvalidImage;
    if (int r = WicInitialize()) return r;
    ComPtr<IWICBitmap> bitmap;
    ComPtr<IWICPalette> palette;
    ComPtr<IWICFormatConverter> converter;
    HRESULT hr = factory->CreateBitmapFromMemory(source.width, source.height, GUID_WICPixelFormat24bppBGR,
                                                 static_cast<UINT>(source.stride), static_cast<UINT>(source.pixels.size()),
                                                 const_cast<uint8_t*>(source.pixels.data()), &bitmap);
    if (SUCCEEDED(hr)) hr = factory->CreatePalette(&palette);
    if (SUCCEEDED(hr)) hr = palette->InitializeFromBitmap(bitmap.Get(), 256, FALSE);
    if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr))
        hr = converter->Initialize(bitmap.Get(), GUID_WICPixelFormat8bppIndexed, WICBitmapDitherTypeNone, palette.Get(),
                                   0.0, WICBitmapPaletteTypeCustom);
    if (FAILED(hr)) return FromHresult(hr, ImgEncoderFailed);
    Image result;
    if (int r = AllocateImage(result, source.width, source.height, 8)) return r;
    WICColor colours[256] = {};
    UINT count = 0;
    palette->GetColors(256, colours, &count);
    for (UINT i = 0; i < 256; ++i) {
        WICColor c = i < count ? colours[i] : 0;
        result.palette[i] = PaletteEntry{static_cast<uint8_t>(c), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c >> 16), 0};
    }
    int copied = CopyInBands(converter.Get(), result.width, result.height, result.stride, [&](const uint8_t* in, int y) {
        std::copy(in, in + result.stride, result.Row(y));
    });
    if (copied != ImgOk) return copied;
    target = std::move(result);
    return ImgOk;
}
