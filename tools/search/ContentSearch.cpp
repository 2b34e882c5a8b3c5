// Shift-and matching of search terms over a file's blocks, skipping from one candidate of the
// term's rarest byte to the next.
#include "tools/search/ContentSearch.h"
#include "fileops/FileSystem.h"
#include <windows.h>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstring>

namespace search {

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// How common a byte is in ordinary files, roughly: the anchor is the term byte least likely to
// come up, so the scan stops at as few candidates as possible.
int Commonness(unsigned char b)
{
    static const char order[] = " etaoinshrdlcumwfgypbvkjxqz"; // English letters, most common first
    if (b >= 'a' && b <= 'z') return 200 - static_cast<int>(std::strchr(order, b) - order) * 6;
    if (b >= 'A' && b <= 'Z') return 60 - static_cast<int>(std::strchr(order, b - 'A' + 'a') - order);
    if (b == ' ') return 220;
    if (b == '\n' || b == '\r' || b == 0) return 120;
    if (b >= '0' && b <= '9') return 90;
    if (b < 32 || b >= 128) return 10;
    return 40;
}

unsigned char OtherCase(unsigned char b)
{
    if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
    if (b >= 'a' && b <= 'z') return static_cast<unsigned char>(b - 32);
    return b;
}

// Closes the file when the test is done with it.
struct FileHandle {
    HANDLE h;
    ~FileHandle()
    {
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
};

} // namespace

std::vector<std::wstring> SplitSearchText(const std::wstring& text)
{
    std::vector<std::wstring> terms;
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size()) return terms;
    if (text[i] == L'"') {
        size_t close = text.find(L'"', i + 1);
        terms.push_back(text.substr(i + 1, close == std::wstring::npos ? std::wstring::npos : close - i - 1));
    } else {
        while (true) {
            size_t end = i;
            while (end < text.size() && !IsBlank(text[end])) ++end;
            terms.push_back(text.substr(i, end - i));
            if (end == text.size()) break;
            i = end;
            while (i < text.size() && IsBlank(text[i])) ++i;
            if (i == text.size()) {
                terms.emplace_back(); // a blank at the end leaves an empty last term
                break;
            }
        }
    }
    for (std::wstring& term : terms)
        if (term.size() > MaxTermLength) term.resize(MaxTermLength);
    return terms;
}

std::vector<std::string> TermPatterns(const std::wstring& term)
{
    std::vector<std::string> patterns;
    if (term.empty()) return patterns;
    auto convert = [&](UINT codePage, DWORD flags, BOOL* usedDefault) {
        int n = ::WideCharToMultiByte(codePage, flags, term.data(), static_cast<int>(term.size()), nullptr, 0,
                                      nullptr, usedDefault);
        std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
        if (n > 0)
            ::WideCharToMultiByte(codePage, flags, term.data(), static_cast<int>(term.size()), bytes.data(), n,
                                  nullptr, usedDefault);
        if (bytes.size() > MaxTermLength) bytes.resize(MaxTermLength);
        return bytes;
    };
    BOOL usedDefault = FALSE;
    std::string ansi = convert(CP_ACP, WC_NO_BEST_FIT_CHARS, &usedDefault);
    if (!usedDefault && !ansi.empty()) patterns.push_back(ansi);
    std::string utf8 = convert(CP_UTF8, 0, nullptr);
    if (!utf8.empty() && (patterns.empty() || utf8 != patterns[0])) patterns.push_back(utf8);
    return patterns;
}

CTermMatcher::CTermMatcher(const std::string& pattern, bool ignoreCase)
{
    length = pattern.size() < MaxTermLength ? pattern.size() : MaxTermLength;
    int best = 1 << 30;
    for (size_t k = 0; k < length; ++k) {
        unsigned char b = static_cast<unsigned char>(pattern[k]);
        uint16_t bit = static_cast<uint16_t>(0x8000u >> k);
        table[b] |= bit;
        unsigned char other = ignoreCase ? OtherCase(b) : b;
        table[other] |= bit;
        int score = Commonness(b) + (other != b ? Commonness(other) : 0);
        if (score < best) {
            best = score;
            anchor = k;
            anchorBytes[0] = b;
            anchorBytes[1] = other;
        }
    }
}

bool CTermMatcher::MatchesAt(const unsigned char* start) const
{
    // The same test as running the shift-and state over these bytes: byte k must carry bit k.
    for (size_t k = 0; k < length; ++k)
        if (!(table[start[k]] & (0x8000u >> k))) return false;
    return true;
}

bool CTermMatcher::Find(const unsigned char* data, size_t size) const
{
    if (length == 0 || size < length) return false;
    const unsigned char* p = data + anchor;
    const unsigned char* end = data + (size - length) + anchor + 1; // past the last anchor position
#ifdef __SSE2__
    // Sixteen bytes at a time to the next byte that can be the anchor.
    const __m128i first = _mm_set1_epi8(static_cast<char>(anchorBytes[0]));
    const __m128i second = _mm_set1_epi8(static_cast<char>(anchorBytes[1]));
    while (end - p >= 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        unsigned hits = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, first), _mm_cmpeq_epi8(bytes, second))));
        while (hits) {
            unsigned bit = static_cast<unsigned>(__builtin_ctz(hits));
            if (MatchesAt(p + bit - anchor)) return true;
            hits &= hits - 1;
        }
        p += 16;
    }
#endif
    for (; p < end; ++p)
        if ((*p == anchorBytes[0] || *p == anchorBytes[1]) && MatchesAt(p - anchor)) return true;
    return false;
}

namespace {
ContentResult PatternInFile(HANDLE file, const CTermMatcher& matcher, unsigned char* buffer, const ContentOptions& options)
{
    LARGE_INTEGER zero = {};
    if (!::SetFilePointerEx(file, zero, nullptr, FILE_BEGIN)) return ContentResult::NoMatch;
    size_t carried = 0;
    const size_t overlap = matcher.Length() - 1;
    while (true) {
        if (options.beforeBlock && !options.beforeBlock()) return ContentResult::Cancelled;
        DWORD got = 0;
        if (!::ReadFile(file, buffer + carried, static_cast<DWORD>(ContentBlockSize), &got, nullptr))
            return ContentResult::NoMatch; // a read error (a locked range) is no match
        if (got == 0) return ContentResult::NoMatch;
        size_t filled = carried + got;
        if (matcher.Find(buffer, filled)) return ContentResult::Match;
        carried = filled < overlap ? filled : overlap;
        std::memmove(buffer, buffer + filled - carried, carried);
    }
}
} // namespace

ContentResult FileContains(const std::wstring& path, const std::wstring& searchText, const ContentOptions& options)
{
    std::vector<std::wstring> terms = SplitSearchText(searchText);
    if (terms.empty()) return ContentResult::NoMatch;
    if (options.beforeBlock && !options.beforeBlock()) return ContentResult::Cancelled;
    // Other programs may go on writing, renaming or deleting while the file is read.
    FileHandle file{::CreateFileW(LongPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr)};
    if (file.h == INVALID_HANDLE_VALUE) return ContentResult::NoMatch;
    // One buffer for every file of a search: a block-sized allocation per file costs more than
    // reading a small file.
    thread_local std::vector<unsigned char> buffer(ContentBlockSize + MaxTermLength);
    for (size_t t = 0; t < terms.size(); ++t) {
        bool found = false;
        for (const std::string& pattern : TermPatterns(terms[t])) {
            CTermMatcher matcher(pattern, options.ignoreCase);
            ContentResult r = PatternInFile(file.h, matcher, buffer.data(), options);
            if (r == ContentResult::Cancelled) return r;
            if (r == ContentResult::Match) {
                found = true;
                break;
            }
        }
        if (options.allWords && !found) return ContentResult::NoMatch;
        if (!options.allWords && found) return ContentResult::Match;
    }
    return options.allWords ? ContentResult::Match : ContentResult::NoMatch;
}

} // namespace search
