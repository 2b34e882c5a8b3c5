// The first bytes of the formats the system decodes.
#include "codec/Signature.h"
#include <cstring>

bool HasSystemSignature(const uint8_t* h, size_t size)
{
    auto starts = [&](const char* text, size_t n) { return size >= n && std::memcmp(h, text, n) == 0; };
    return starts("BM", 2) ||
           starts("\x89PNG\r\n\x1a\n", 8) ||
           starts("GIF87a", 6) || starts("GIF89a", 6) ||
           starts("\xFF\xD8\xFF", 3) ||
           starts("II*\0", 4) || starts("MM\0*", 4) ||
           starts("\0\0\1\0", 4) ||
           starts("DDS ", 4);
}
