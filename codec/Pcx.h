// ZSoft PCX pictures: read at 1 to 8 bits in up to four planes, written at 1, 8 and 24 bits.
#pragma once
#include "codec/Image.h"
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t PcxHeaderSize = 128;

// Takes the 128-byte header; reports 1, 8 or 24 bits per pixel.
bool ProbePcx(const uint8_t* header, size_t size, ImageInfo& info);
// Whether a file of this size can hold the lines the header announces; checked before the picture is
// allocated, so a short file cannot make a large allocation only to be found truncated.
bool PcxFileHoldsLines(const uint8_t* header, size_t size, uint64_t fileSize);
// Decodes a whole file into an image allocated with the probed size and depth.
int ReadPcx(const uint8_t* data, size_t size, Image& image);
// Run-length encoded, each plane of each line on its own.
int WritePcx(const Image& image, std::vector<uint8_t>& out);
