// Truevision TGA pictures: colour-mapped, true-colour and grey, plain or run-length encoded.
#pragma once
#include "codec/Image.h"
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr size_t TgaHeaderSize = 18;

// TGA has no signature: the header must make sense and its colour map must fit in the file.
bool ProbeTga(const uint8_t* header, size_t size, uint64_t fileSize, ImageInfo& info);
// Decodes a whole file into an image allocated with the probed size and depth.
int ReadTga(const uint8_t* data, size_t size, Image& image);
// runLength: packets never cross a line. 1 and 8 bits go out colour-mapped, 24 bits as they are.
int WriteTga(const Image& image, bool runLength, std::vector<uint8_t>& out);
