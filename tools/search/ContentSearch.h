// The content test of the file search: does a file hold the words of a search text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace search {

// Terms longer than this are cut: the matcher keeps one bit per term byte in 16-bit masks.
constexpr size_t MaxTermLength = 16;
// Bytes read at a time; consecutive blocks overlap by the term's length so a term across a
// block boundary is found.
constexpr size_t ContentBlockSize = 1 << 20;

// The terms of a search text: one quoted term, or the blank-separated words. A text that ends in
// a blank gives an empty last term, which no file holds. Each term is cut to 16 characters.
std::vector<std::wstring> SplitSearchText(const std::wstring& text);

// One term as byte patterns: the ANSI code page form when every character has one, and the UTF-8
// form when that differs (so a term outside the code page never turns into "?" bytes). Each
// pattern is cut to 16 bytes. No pattern for an empty term.
std::vector<std::string> TermPatterns(const std::wstring& term);

// Shift-and matching of one pattern (at most 16 bytes) with optional A-Z folding, jumping from
// one candidate of the pattern's rarest byte to the next.
class CTermMatcher {
public:
    CTermMatcher(const std::string& pattern, bool ignoreCase);
    size_t Length() const { return length; }
    // True when the pattern occurs in data[0, size).
    bool Find(const unsigned char* data, size_t size) const;

private:
    bool MatchesAt(const unsigned char* start) const;
    uint16_t table[256] = {};
    size_t length = 0;
    size_t anchor = 0;               // the pattern position whose byte is rarest
    unsigned char anchorBytes[2] = {}; // that byte and its other case
};

enum class ContentResult { NoMatch, Match, Cancelled };

struct ContentOptions {
    bool ignoreCase = true;
    bool allWords = true; // false: any one of the terms is enough
    // Called before each block; false stops the whole search.
    std::function<bool()> beforeBlock;
};

// Tests one file. A file that cannot be opened or read holds nothing.
ContentResult FileContains(const std::wstring& path, const std::wstring& searchText, const ContentOptions& options);

} // namespace search
