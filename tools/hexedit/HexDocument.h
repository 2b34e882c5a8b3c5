// The bytes a hex window edits: the whole file in memory, or a file too big for that read in pages.
#pragma once
#include "tools/hexedit/ByteBuffer.h"
#include <map>
#include <memory>
#include <vector>

namespace hex {

// Reads and writes a file by offset; the window side implements it over a file handle.
class IFileAccess {
public:
    virtual ~IFileAccess() = default;
    // Exactly n bytes at offset; a short read is a failure.
    virtual bool ReadAt(Offset offset, uint8_t* out, size_t n) = 0;
    virtual bool WriteAt(Offset offset, const uint8_t* data, size_t n) = 0;
};

// A file read on demand through a small cache; changed pages stay in memory until written back.
class CPagedFile {
public:
    static constexpr size_t PageSize = 64 * 1024;
    static constexpr size_t CachedPages = 32;

    CPagedFile(std::unique_ptr<IFileAccess> file, Offset size) : file(std::move(file)), size(size) {}
    Offset Size() const { return size; }
    bool Read(Offset offset, uint8_t* out, size_t n);
    bool Write(Offset offset, const uint8_t* bytes, size_t n);
    bool HasChanges() const { return !changed.empty(); }
    // Writes every changed page in place; the changes stay when a write fails.
    bool WriteChanges(IFileAccess& target);
    // Pages held in memory now (cached and changed), for the tests of memory use.
    size_t PagesHeld() const { return cache.size() + changed.size(); }

private:
    struct Page {
        Offset index = 0;
        uint64_t used = 0;
        std::vector<uint8_t> bytes;
    };
    std::vector<uint8_t>* Load(Offset index, bool forWriting);
    size_t PageLength(Offset index) const;

    std::unique_ptr<IFileAccess> file;
    Offset size;
    std::vector<Page> cache;
    std::map<Offset, std::vector<uint8_t>> changed;
    uint64_t clock = 0;
};

class CHexDocument {
public:
    Offset Size() const { return paged ? paged->Size() : buffer.Size(); }
    Offset Last() const { return Size() - 1; }
    bool IsPaged() const { return paged != nullptr; }
    // The bytes [offset, offset + n) must lie within the data; false when they cannot be read.
    bool Read(Offset offset, uint8_t* out, size_t n) const;
    // The byte at i, 0 when it cannot be read.
    uint8_t At(Offset i) const;
    bool Write(Offset offset, const uint8_t* bytes, size_t n);
    bool Write(Offset offset, uint8_t value) { return Write(offset, &value, 1); }
    // The data in one piece, or null when it is paged.
    const uint8_t* Contiguous() const { return paged ? nullptr : buffer.Data(); }
    CByteBuffer& Buffer() { return buffer; }
    const CByteBuffer& Buffer() const { return buffer; }
    CPagedFile* Paged() const { return paged.get(); }
    void OpenPaged(std::unique_ptr<IFileAccess> file, Offset size);
    void Clear();

private:
    CByteBuffer buffer;
    std::unique_ptr<CPagedFile> paged;
};

} // namespace hex
