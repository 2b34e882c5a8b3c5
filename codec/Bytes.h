// Little-endian reading from a bounded buffer and writing to a growing one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Every read is checked against the end; a read past it sets failed and yields zeros.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data(data), size(size) {}
    size_t Position() const { return position; }
    size_t Remaining() const { return size - position; }
    bool Failed() const { return failed; }
    bool Skip(size_t count)
    {
        if (count > Remaining()) {
            failed = true;
            position = size;
            return false;
        }
        position += count;
        return true;
    }
    uint8_t U8()
    {
        if (position >= size) {
            failed = true;
            return 0;
        }
        return data[position++];
    }
    uint16_t U16()
    {
        uint16_t low = U8();
        return static_cast<uint16_t>(low | (U8() << 8));
    }
    // A pointer to count bytes, or null (and failed) when fewer remain.
    const uint8_t* Take(size_t count)
    {
        if (count > Remaining()) {
            failed = true;
            position = size;
            return nullptr;
        }
        const uint8_t* p = data + position;
        position += count;
        return p;
    }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
    bool failed = false;
};

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out(out) {}
    void U8(uint8_t v) { out.push_back(v); }
    void U16(uint16_t v)
    {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v)
    {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void Fill(uint8_t v, size_t count) { out.insert(out.end(), count, v); }
    void Bytes(const uint8_t* p, size_t count) { out.insert(out.end(), p, p + count); }

private:
    std::vector<uint8_t>& out;
};
