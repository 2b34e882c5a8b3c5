// The image codec behind the viewer: probes, loading, saving in eight formats, reduction to
// 256 colours, device-independent bitmaps and drawing. Every operation returns 0 or a CodecResult.
#pragma once
#include "codec/Image.h"
#include <windows.h>
#include <cstdint>
#include <string>

// Probed in this order: PCX and the system's signed formats first, TGA (no signature) last.
enum class ImageFormat { Pcx, System, Tga };
constexpr ImageFormat ProbeOrder[] = {ImageFormat::Pcx, ImageFormat::System, ImageFormat::Tga};

// The save formats, numbered as the save dialog lists them.
enum SaveFormat { SaveTiff = 1, SaveBmp, SaveJpeg, SavePcx, SaveGif, SavePng, SaveEps, SaveTga };

// Starts COM on this thread and the system's imaging component; cheap after the first call.
int ImgInitialize();
int ImgProbe(ImageFormat format, const std::wstring& path, ImageInfo& info);
int ImgAllocate(Image& image, int width, int height, int bitsPerPixel);
int ImgFree(Image& image);
// Loads into an image allocated with the size and depth the format's probe reported.
int ImgLoad(ImageFormat format, const std::wstring& path, Image& image);
// The viewer's way in: the formats probed in order, the first that takes the file decides; an
// image of its size and depth is allocated and the file loaded into it.
int ImgOpenFile(const std::wstring& path, Image& image);
// JPEG: option is the quality (1-100); TGA: option 1 is run-length encoding; others ignore it.
// GIF takes at most 8 bits per pixel. An existing file is replaced only once the new one is
// complete; a failed save leaves it as it was and no partial file behind.
int ImgSave(const std::wstring& path, const Image& image, SaveFormat format, int option);
// An 8-bit picture of at most 256 colours; exact when the source has no more than that.
int ImgReduce(const Image& source, Image& target);
// A packed device-independent bitmap in movable global memory; the caller owns it.
int ImgToDib(const Image& image, HGLOBAL& dib);
// Draws the part of the picture at (sourceX, sourceY) of the given size at (x, y), realising the
// picture's palette on palette devices.
int ImgDraw(const Image& image, HDC dc, int x, int y, int sourceX, int sourceY, int width, int height);

// For tests: every file write fails as on a full disk once this many bytes are written; -1: never.
void ImgFailWritesAfter(int64_t bytes);
