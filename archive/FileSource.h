// An archive file as a byte source, read through a window so that many small reads stay cheap.
#pragma once
#include "archive/ByteSource.h"
#include "framework/Handles.h"
#include <string>
#include <vector>

namespace arc {

class CFileSource : public IByteSource {
public:
    // Opens for reading, shared with writers; false with the system's error set.
    bool Open(const std::wstring& path);
    uint64_t Size() const override { return size; }
    int64_t ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    bool Fill(uint64_t offset);
    fw::UniqueFile file;
    uint64_t size = 0;
    std::vector<uint8_t> window;
    uint64_t windowStart = 0;
    size_t windowFill = 0;
    static constexpr size_t WindowSize = 256 * 1024;
};

} // namespace arc
