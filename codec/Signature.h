// Which files go to the system's decoders: those that start like one of the formats it reads.
#pragma once
#include <cstddef>
#include <cstdint>

// BMP, PNG, GIF, JPEG, TIFF, ICO and DDS, by their first bytes. TGA (no signature) and PCX are
// read by the codec's own code, so a damaged one never reaches a system decoder.
bool HasSystemSignature(const uint8_t* header, size_t size);
