// Allocation, growth, insertion and removal of the hex editor's bytes.
#include "tools/hexedit/ByteBuffer.h"
#include <cstdlib>
#include <cstring>
#include <limits>

namespace hex {

namespace {
Offset inMemoryLimit = DefaultInMemoryLimit;
Offset failAbove = -1;

bool Fits(Offset n) { return n >= 0 && static_cast<uint64_t>(n) <= std::numeric_limits<size_t>::max(); }
}

Offset InMemoryLimit() { return inMemoryLimit; }
void SetInMemoryLimit(Offset bytes) { inMemoryLimit = bytes > 0 ? bytes : DefaultInMemoryLimit; }
void SetAllocationFailureAbove(Offset bytes) { failAbove = bytes; }

CByteBuffer::~CByteBuffer() { std::free(data); }

bool CByteBuffer::SetCapacity(Offset n)
{
    if (n < 0) return false;
    if (n == 0) {
        std::free(data);
        data = nullptr;
        capacity = 0;
        last = -1;
        return true;
    }
    if (!Fits(n) || (failAbove >= 0 && n > failAbove)) return false;
    void* grown = std::realloc(data, static_cast<size_t>(n));
    if (!grown) return false;
    data = static_cast<uint8_t*>(grown);
    capacity = n;
    if (last >= n) last = n - 1;
    return true;
}

void CByteBuffer::SetLast(Offset i)
{
    if (i < capacity) last = i;
}

bool CByteBuffer::Grow(Offset n)
{
    if (n <= 0) return true;
    Offset steps = (n - 1) / growStep + 1;
    if (steps > (std::numeric_limits<Offset>::max() - capacity) / growStep) return false;
    return SetCapacity(capacity + steps * growStep);
}

bool CByteBuffer::SetAtGrow(Offset i, uint8_t value)
{
    if (i < 0) return false;
    if (i >= capacity && !Grow(i - capacity + 1)) return false;
    if (i > last + 1) std::memset(data + last + 1, 0, static_cast<size_t>(i - last - 1));
    data[i] = value;
    if (i > last) last = i;
    return true;
}

bool CByteBuffer::InsertAt(Offset i, uint8_t value, Offset count)
{
    if (i < 0 || count <= 0 || count > std::numeric_limits<Offset>::max() - i) return false;
    if (i > last) {
        Offset end = i + count; // one past the new last byte
        if (end > capacity && !Grow(end - capacity)) return false;
        std::memset(data + last + 1, 0, static_cast<size_t>(i - last - 1));
        std::memset(data + i, value, static_cast<size_t>(count));
        last = end - 1;
        return true;
    }
    if (count > std::numeric_limits<Offset>::max() - last - 1) return false;
    if (capacity < last + count + 1 && !Grow(last + count + 1 - capacity)) return false;
    std::memmove(data + i + count, data + i, static_cast<size_t>(last - i + 1));
    std::memset(data + i, value, static_cast<size_t>(count));
    last += count;
    return true;
}

bool CByteBuffer::RemoveAt(Offset i, Offset count)
{
    if (i < 0 || i > last || count < 1) return false;
    if (count > last - i + 1) {
        last = i - 1;
        return true;
    }
    std::memmove(data + i, data + i + count, static_cast<size_t>(last - i - count + 1));
    last -= count;
    return true;
}

} // namespace hex
