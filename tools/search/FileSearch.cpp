// The directory walk of the file search, by full paths and without following directory links.
#include "tools/search/FileSearch.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include <windows.h>
#include <cstdint>

namespace search {

namespace {
wchar_t Fold(wchar_t c)
{
    if (c < 128) return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 32) : c;
    // The system's own case mapping, as it compares names.
    return static_cast<wchar_t>(reinterpret_cast<uintptr_t>(::CharLowerW(reinterpret_cast<LPWSTR>(static_cast<uintptr_t>(c)))));
}

bool Wildcard(const wchar_t* name, size_t nameLength, const wchar_t* mask, size_t maskLength)
{
    size_t n = 0, m = 0, starMask = std::wstring::npos, starName = 0;
    while (n < nameLength) {
        if (m < maskLength && (mask[m] == L'?' || Fold(mask[m]) == Fold(name[n]))) {
            ++n;
            ++m;
        } else if (m < maskLength && mask[m] == L'*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::wstring::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < maskLength && mask[m] == L'*') ++m;
    return m == maskLength;
}

bool MatchesOne(const std::wstring& name, const wchar_t* mask, size_t length)
{
    while (length && mask[0] == L' ') ++mask, --length;
    while (length && mask[length - 1] == L' ') --length;
    if (length == 0) return false;
    if (Wildcard(name.data(), name.size(), mask, length)) return true;
    // "name.*" also stands for "name" without an extension.
    return length >= 2 && mask[length - 2] == L'.' && mask[length - 1] == L'*' &&
           name.find(L'.') == std::wstring::npos && Wildcard(name.data(), name.size(), mask, length - 2);
}

struct FindHandle {
    HANDLE h;
    ~FindHandle()
    {
        if (h != INVALID_HANDLE_VALUE) ::FindClose(h);
    }
};

bool IsDotName(const wchar_t* name) { return name[0] == L'.' && (!name[1] || (name[1] == L'.' && !name[2])); }

std::wstring WithBackslash(std::wstring path)
{
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}
} // namespace

bool MatchesMask(const std::wstring& name, const std::wstring& masks)
{
    size_t start = 0;
    while (true) {
        size_t end = masks.find(L';', start);
        if (end == std::wstring::npos) end = masks.size();
        if (MatchesOne(name, masks.data() + start, end - start)) return true;
        if (end == masks.size()) return false;
        start = end + 1;
    }
}

bool FindFiles(const SearchCriteria& criteria, const SearchProgress& progress, std::vector<CFoundFile>& found)
{
    const bool everyName = criteria.mask == L"*.*" || criteria.mask == L"*" || criteria.mask.empty();
    ContentOptions content;
    content.ignoreCase = criteria.ignoreCase;
    content.allWords = criteria.allWords;
    bool cancelled = false;
    std::wstring current;
    content.beforeBlock = [&] {
        if (!cancelled && progress && !progress(current)) cancelled = true;
        return !cancelled;
    };

    // Directories still to search, the next one last: a stack keeps the order of a recursive
    // walk without its depth limit.
    std::vector<std::wstring> pending{WithBackslash(PlainPath(criteria.directory))};
    std::vector<std::wstring> subdirectories;
    while (!pending.empty()) {
        std::wstring directory = std::move(pending.back());
        pending.pop_back();
        if (progress && !progress(directory)) return false;
        subdirectories.clear();
        WIN32_FIND_DATAW data;
        FindHandle find{::FindFirstFileExW(LongPath(directory + L"*").c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH)};
        if (find.h == INVALID_HANDLE_VALUE) continue; // vanished or unreadable: nothing to find there
        do {
            DWORD a = data.dwFileAttributes;
            if (a & FILE_ATTRIBUTE_DIRECTORY) {
                // A link or junction may lead back up the tree or out of it.
                if (criteria.subdirectories && !IsDotName(data.cFileName) && !(a & FILE_ATTRIBUTE_REPARSE_POINT))
                    subdirectories.push_back(directory + data.cFileName + L'\\');
                continue;
            }
            if ((a & FILE_ATTRIBUTE_SYSTEM) && !criteria.showSystem) continue;
            if ((a & FILE_ATTRIBUTE_HIDDEN) && !criteria.showHidden) continue;
            uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            if (criteria.sizeRange && (size < criteria.minSize || size > criteria.maxSize)) continue;
            uint64_t time = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                            data.ftLastWriteTime.dwLowDateTime;
            if (criteria.dateRange && (time < criteria.firstTime || time > criteria.lastTime)) continue;
            if (!everyName && !MatchesMask(data.cFileName, criteria.mask)) continue;
            current = directory + data.cFileName;
            if (progress && !progress(current)) return false;
            if (!criteria.text.empty()) {
                ContentResult r = FileContains(current, criteria.text, content);
                if (r == ContentResult::Cancelled) return false;
                if (r == ContentResult::NoMatch) continue;
            }
            found.push_back({current, data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime, size, a});
        } while (::FindNextFileW(find.h, &data));
        for (auto it = subdirectories.rbegin(); it != subdirectories.rend(); ++it) pending.push_back(std::move(*it));
    }
    return true;
}

} // namespace search
