// Encapsulated PostScript, level 2: the picture as RGB samples in its own bounding box.
#pragma once
#include "codec/Image.h"
#include <cstdint>
#include <vector>

int WriteEps(const Image& image, std::vector<uint8_t>& out);
