// The memory source and the helpers shared by every reader.
#include "archive/ByteSource.h"
#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace arc {

bool ReadExact(IByteSource& source, uint64_t offset, void* buffer, size_t size)
{
    auto* out = static_cast<uint8_t*>(buffer);
    while (size > 0) {
        int64_t got = source.ReadAt(offset, out, size);
        if (got <= 0) return false;
        out += got;
        offset += static_cast<uint64_t>(got);
        size -= static_cast<size_t>(got);
    }
    return true;
}

int64_t CMemorySource::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (offset >= size) return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, size - offset));
    std::memcpy(buffer, data + offset, n);
    return static_cast<int64_t>(n);
}

uint32_t Crc32(uint32_t crc, const void* data, size_t size)
{
    const auto* p = static_cast<const Bytef*>(data);
    // zlib takes 32-bit lengths on every platform.
    while (size > 0) {
        uInt n = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
        crc = static_cast<uint32_t>(::crc32(crc, p, n));
        p += n;
        size -= n;
    }
    return crc;
}

bool IsValidUtf8(const std::string& bytes)
{
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    size_t n = bytes.size();
    static const uint32_t least[] = {0, 0x80, 0x800, 0x10000};
    for (size_t i = 0; i < n;) {
        uint8_t c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t extra = 0;
        uint32_t cp = 0;
        if ((c & 0xE0) == 0xC0) extra = 1, cp = c & 0x1F;
        else if ((c & 0xF0) == 0xE0) extra = 2, cp = c & 0x0F;
        else if ((c & 0xF8) == 0xF0) extra = 3, cp = c & 0x07;
        else return false;
        if (n - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            cp = cp << 6 | (p[i + k] & 0x3F);
        }
        if (cp < least[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

} // namespace arc
