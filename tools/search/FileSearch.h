// The file search's walk: files below a directory by mask, attributes, size, date and content.
#pragma once
#include "tools/search/ContentSearch.h"
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace search {

// One result; the list owns them.
struct CFoundFile {
    static constexpr uint64_t UnknownSize = ~uint64_t{0};
    std::wstring path; // full path
    uint32_t timeLow = 0, timeHigh = 0; // last write, UTC file time
    uint64_t size = 0;
    uint32_t attributes = 0; // not stored with the results
    uint64_t Time() const { return (static_cast<uint64_t>(timeHigh) << 32) | timeLow; }
};

struct SearchCriteria {
    std::wstring directory; // a full path
    std::wstring mask = L"*.*"; // several masks may be separated by ";"
    bool subdirectories = true;
    bool showHidden = false, showSystem = false;
    bool sizeRange = false;
    uint64_t minSize = 0, maxSize = 0; // both inclusive
    bool dateRange = false;
    uint64_t firstTime = 0, lastTime = 0; // UTC file times, both inclusive
    std::wstring text; // empty: no content test
    bool ignoreCase = true;
    bool allWords = true;
};

// Called with the file or directory about to be examined; false stops the search.
using SearchProgress = std::function<bool(const std::wstring& path)>;

// Appends what it finds to found: the files of a directory before those of its subdirectories,
// each directory's in the order the system lists them. Directory links and junctions are not
// entered; the current directory is left alone. False when progress stopped it.
bool FindFiles(const SearchCriteria& criteria, const SearchProgress& progress, std::vector<CFoundFile>& found);

// Case-insensitive "*" and "?" matching; "*.*" and "*" match every name, and a mask ending in
// ".*" also matches names without a dot.
bool MatchesMask(const std::wstring& name, const std::wstring& masks);

} // namespace search
