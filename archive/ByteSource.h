// Where the archive readers take their bytes from and where member data goes: files in the
// program, memory in the tests and the fuzzers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace arc {

// Random access, for formats whose directory sits at the end (zip) or that skip data (rar).
class IByteSource {
public:
    virtual ~IByteSource() = default;
    virtual uint64_t Size() const = 0;
    // Up to size bytes at offset; the count read (0 at or past the end), or -1 on a read error.
    virtual int64_t ReadAt(uint64_t offset, void* buffer, size_t size) = 0;
};

// Exactly size bytes at offset; false when the source has fewer or cannot be read.
bool ReadExact(IByteSource& source, uint64_t offset, void* buffer, size_t size);

class CMemorySource : public IByteSource {
public:
    CMemorySource(const void* data, size_t size) : data(static_cast<const uint8_t*>(data)), size(size) {}
    explicit CMemorySource(const std::string& bytes) : CMemorySource(bytes.data(), bytes.size()) {}
    uint64_t Size() const override { return size; }
    int64_t ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    const uint8_t* data;
    size_t size;
};

// Receives a member's data; false stops the member (a write error, or the user cancelled).
class IDataSink {
public:
    virtual ~IDataSink() = default;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
};

// Collects everything in memory (tests, headers of tar inside gzip).
class CStringSink : public IDataSink {
public:
    bool Write(const uint8_t* data, size_t size) override
    {
        bytes.append(reinterpret_cast<const char*>(data), size);
        return true;
    }
    std::string bytes;
};

// Little-endian fields of the archive headers.
inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t Get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}
inline uint64_t Get64(const uint8_t* p) { return Get32(p) | static_cast<uint64_t>(Get32(p + 4)) << 32; }
inline void Put16(std::string& out, uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}
inline void Put32(std::string& out, uint32_t v)
{
    Put16(out, static_cast<uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<uint16_t>(v >> 16));
}
inline void Put64(std::string& out, uint64_t v)
{
    Put32(out, static_cast<uint32_t>(v));
    Put32(out, static_cast<uint32_t>(v >> 32));
}

// Whether bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const std::string& bytes);

// CRC-32 as zip, gzip, rar and cabinets use it.
uint32_t Crc32(uint32_t crc, const void* data, size_t size);

} // namespace arc
