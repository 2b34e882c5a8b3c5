// Horspool's skipping search in both directions, with optional folding of A-Z.
#include "tools/hexedit/HexSearch.h"
#include <algorithm>

namespace hex {

namespace {
int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr size_t SearchBlock = 4 << 20;
}

std::vector<uint8_t> ParseHexBytes(std::string_view text)
{
    std::vector<uint8_t> bytes;
    int high = -1;
    for (char c : text) {
        int v = HexValue(c);
        if (v < 0) continue;
        if (high < 0) {
            high = v;
        } else {
            bytes.push_back(static_cast<uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    return bytes;
}

std::string HexBytesText(const std::vector<uint8_t>& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

CPatternSearch::CPatternSearch(std::vector<uint8_t> bytes, bool matchCase) : pattern(std::move(bytes))
{
    for (int c = 0; c < 256; ++c) fold[c] = static_cast<uint8_t>(!matchCase && c >= 'A' && c <= 'Z' ? c + 32 : c);
    for (uint8_t& b : pattern) b = fold[b];
    size_t n = pattern.size();
    std::fill(std::begin(forwardShift), std::end(forwardShift), n ? n : 1);
    std::fill(std::begin(backwardShift), std::end(backwardShift), n ? n : 1);
    // Shifts are indexed by the raw byte of the data, so both cases of a folded letter get one.
    for (int c = 0; c < 256; ++c) {
        uint8_t f = fold[c];
        for (size_t i = 0; i + 1 < n; ++i)
            if (pattern[i] == f) forwardShift[c] = n - 1 - i;
        for (size_t i = n; i-- > 1;)
            if (pattern[i] == f) backwardShift[c] = i;
    }
}

bool CPatternSearch::Equal(const uint8_t* at) const
{
    for (size_t i = 0; i < pattern.size(); ++i)
        if (fold[at[i]] != pattern[i]) return false;
    return true;
}

Offset CPatternSearch::Forward(const uint8_t* data, Offset size, Offset from) const
{
    Offset n = static_cast<Offset>(pattern.size());
    if (n == 0 || from < 0 || size - from < n) return -1;
    uint8_t lastByte = pattern[n - 1];
    for (Offset p = from; p <= size - n;) {
        uint8_t tail = data[p + n - 1];
        if (fold[tail] == lastByte && Equal(data + p)) return p;
        p += static_cast<Offset>(forwardShift[tail]);
    }
    return -1;
}

Offset CPatternSearch::Backward(const uint8_t* data, Offset size, Offset end) const
{
    Offset n = static_cast<Offset>(pattern.size());
    end = std::min(end, size);
    if (n == 0 || end < n) return -1;
    uint8_t firstByte = pattern[0];
    for (Offset p = end - n; p >= 0;) {
        uint8_t head = data[p];
        if (fold[head] == firstByte && Equal(data + p)) return p;
        p -= static_cast<Offset>(backwardShift[head]);
    }
    return -1;
}

Offset FindInDocument(const CHexDocument& doc, const CPatternSearch& search, bool backwards, Offset position)
{
    Offset size = doc.Size();
    if (const uint8_t* data = doc.Contiguous(); data || size == 0)
        return backwards ? search.Backward(data, size, position) : search.Forward(data, size, position);
    // Paged: blocks that overlap by the pattern's length less one, so no match falls between two.
    Offset n = static_cast<Offset>(search.Length());
    if (n == 0) return -1;
    std::vector<uint8_t> block(SearchBlock + static_cast<size_t>(n));
    if (!backwards) {
        for (Offset start = std::max<Offset>(position, 0); start <= size - n; start += SearchBlock) {
            Offset length = std::min<Offset>(SearchBlock + n - 1, size - start);
            if (!doc.Read(start, block.data(), static_cast<size_t>(length))) return -1;
            Offset found = search.Forward(block.data(), length, 0);
            if (found >= 0) return start + found;
        }
        return -1;
    }
    for (Offset end = std::min(position, size); end >= n; end -= SearchBlock) {
        Offset start = std::max<Offset>(0, end - SearchBlock - n + 1);
        Offset length = end - start;
        if (!doc.Read(start, block.data(), static_cast<size_t>(length))) return -1;
        Offset found = search.Backward(block.data(), length, length);
        if (found >= 0) return start + found;
    }
    return -1;
}

} // namespace hex
