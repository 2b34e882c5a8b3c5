// The system's imaging component (WIC): decoding its formats, encoding five, and the palette
// reduction of pictures with more than 256 colours.
#pragma once
#include "codec/ImageCodec.h"
#include <cstdint>
#include <string>
#include <vector>

int WicInitialize();
// Indexed and grey pictures report 8 bits, everything else 24.
int WicProbe(const std::wstring& path, ImageInfo& info);
int WicLoad(const std::wstring& path, Image& image);
// TIFF, BMP, JPEG, GIF and PNG into memory.
int WicEncode(const Image& image, SaveFormat format, int option, std::vector<uint8_t>& out);
int WicReduce(const Image& source, Image& target);
