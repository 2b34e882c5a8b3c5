// The hex editor's growable byte array; sizes and offsets are 64-bit throughout.
#pragma once
#include <cstddef>
#include <cstdint>

namespace hex {

using Offset = int64_t;

// Files up to this size are held whole in memory; larger ones are opened in pages.
constexpr Offset DefaultInMemoryLimit = sizeof(void*) >= 8 ? Offset(1) << 30 : Offset(256) << 20;
Offset InMemoryLimit();
// Tests lower the limit to reach the paged path with small files; a value <= 0 restores the default.
void SetInMemoryLimit(Offset bytes);
// Tests make every allocation above this many bytes fail; a negative value switches that off.
void SetAllocationFailureAbove(Offset bytes);

class CByteBuffer {
public:
    CByteBuffer() = default;
    ~CByteBuffer();
    CByteBuffer(const CByteBuffer&) = delete;
    CByteBuffer& operator=(const CByteBuffer&) = delete;

    // Allocates exactly n bytes and keeps the old content (cut when n is below the size);
    // n = 0 empties; n < 0 or a failed allocation fails and keeps the old buffer.
    bool SetCapacity(Offset n);
    // last = i when i < capacity.
    void SetLast(Offset i);
    // Capacity grows by n rounded up to a multiple of the grow step.
    bool Grow(Offset n);
    bool SetAtGrow(Offset i, uint8_t value);
    // Inserts count copies of value at i; beyond the end the gap is filled with zeros.
    bool InsertAt(Offset i, uint8_t value, Offset count);
    // Removes count bytes at i; when fewer follow, the buffer is cut to i bytes.
    bool RemoveAt(Offset i, Offset count);
    void SetGrowStep(Offset step) { growStep = step > 0 ? step : 1; }
    void Clear() { SetCapacity(0); }

    Offset Size() const { return last + 1; }
    Offset Last() const { return last; }
    Offset Capacity() const { return capacity; }
    uint8_t* Data() { return data; }
    const uint8_t* Data() const { return data; }
    uint8_t operator[](Offset i) const { return data[i]; }
    uint8_t& operator[](Offset i) { return data[i]; }

private:
    uint8_t* data = nullptr;
    Offset capacity = 0;
    Offset last = -1;
    Offset growStep = 100;
};

} // namespace hex
