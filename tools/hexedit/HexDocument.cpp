// In-memory and paged access to the hex editor's bytes.
#include "tools/hexedit/HexDocument.h"
#include <algorithm>
#include <cstring>

namespace hex {

size_t CPagedFile::PageLength(Offset index) const
{
    Offset start = index * static_cast<Offset>(PageSize);
    return static_cast<size_t>(std::min<Offset>(PageSize, size - start));
}

std::vector<uint8_t>* CPagedFile::Load(Offset index, bool forWriting)
{
    if (auto c = changed.find(index); c != changed.end()) return &c->second;
    auto cached = std::find_if(cache.begin(), cache.end(), [&](const Page& p) { return p.index == index; });
    std::vector<uint8_t> bytes;
    if (cached != cache.end()) {
        if (!forWriting) {
            cached->used = ++clock;
            return &cached->bytes;
        }
        bytes = std::move(cached->bytes);
        cache.erase(cached);
    } else {
        bytes.resize(PageLength(index));
        if (!file->ReadAt(index * static_cast<Offset>(PageSize), bytes.data(), bytes.size())) return nullptr;
    }
    if (forWriting) return &(changed[index] = std::move(bytes));
    if (cache.size() >= CachedPages) {
        auto oldest = std::min_element(cache.begin(), cache.end(),
                                       [](const Page& a, const Page& b) { return a.used < b.used; });
        cache.erase(oldest);
    }
    cache.push_back(Page{index, ++clock, std::move(bytes)});
    return &cache.back().bytes;
}

bool CPagedFile::Read(Offset offset, uint8_t* out, size_t n)
{
    if (offset < 0 || offset > size || static_cast<Offset>(n) > size - offset) return false;
    while (n > 0) {
        Offset index = offset / static_cast<Offset>(PageSize);
        size_t within = static_cast<size_t>(offset % static_cast<Offset>(PageSize));
        const std::vector<uint8_t>* page = Load(index, false);
        if (!page) return false;
        size_t take = std::min(n, page->size() - within);
        std::memcpy(out, page->data() + within, take);
        out += take;
        offset += static_cast<Offset>(take);
        n -= take;
    }
    return true;
}

bool CPagedFile::Write(Offset offset, const uint8_t* bytes, size_t n)
{
    if (offset < 0 || offset > size || static_cast<Offset>(n) > size - offset) return false;
    while (n > 0) {
        Offset index = offset / static_cast<Offset>(PageSize);
        size_t within = static_cast<size_t>(offset % static_cast<Offset>(PageSize));
        std::vector<uint8_t>* page = Load(index, true);
        if (!page) return false;
        size_t take = std::min(n, page->size() - within);
        std::memcpy(page->data() + within, bytes, take);
        bytes += take;
        offset += static_cast<Offset>(take);
        n -= take;
    }
    return true;
}

bool CPagedFile::WriteChanges(IFileAccess& target)
{
    for (auto it = changed.begin(); it != changed.end();) {
        if (!target.WriteAt(it->first * static_cast<Offset>(PageSize), it->second.data(), it->second.size()))
            return false;
        it = changed.erase(it);
    }
    return true;
}

bool CHexDocument::Read(Offset offset, uint8_t* out, size_t n) const
{
    if (paged) return paged->Read(offset, out, n);
    if (offset < 0 || offset > buffer.Size() || static_cast<Offset>(n) > buffer.Size() - offset) return false;
    if (n) std::memcpy(out, buffer.Data() + offset, n);
    return true;
}

uint8_t CHexDocument::At(Offset i) const
{
    uint8_t value = 0;
    Read(i, &value, 1);
    return value;
}

bool CHexDocument::Write(Offset offset, const uint8_t* bytes, size_t n)
{
    if (paged) return paged->Write(offset, bytes, n);
    if (offset < 0 || offset > buffer.Size() || static_cast<Offset>(n) > buffer.Size() - offset) return false;
    if (n) std::memcpy(buffer.Data() + offset, bytes, n);
    return true;
}

void CHexDocument::OpenPaged(std::unique_ptr<IFileAccess> file, Offset size)
{
    buffer.Clear();
    paged = std::make_unique<CPagedFile>(std::move(file), size);
}

void CHexDocument::Clear()
{
    paged.reset();
    buffer.Clear();
}

} // namespace hex
