// Name keys, the merge of two sorted tables and the listing of one side.
#include "tools/dircompare/NameTable.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"
#include <algorithm>

namespace {
std::wstring Fold(std::wstring text)
{
    if (!text.empty()) ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}
}

SideEntry MakeSideEntry(const std::wstring& name, uint64_t lastWrite, DWORD attributes)
{
    SideEntry e;
    e.name = name;
    e.lastWrite = lastWrite;
    e.attributes = attributes;
    PrepareKey(e);
    return e;
}

void PrepareKey(SideEntry& entry)
{
    size_t dot = entry.name.find(L'.');
    entry.hasDot = dot != std::wstring::npos;
    entry.foldBase = Fold(entry.name.substr(0, dot));
    entry.foldRest = entry.hasDot ? Fold(entry.name.substr(dot + 1)) : std::wstring();
}

int CompareKeys(const SideEntry& a, const SideEntry& b)
{
    if (int c = a.foldBase.compare(b.foldBase)) return c;
    if (a.hasDot != b.hasDot) return a.hasDot ? 1 : -1;
    return a.foldRest.compare(b.foldRest);
}

void SortTable(std::vector<SideEntry>& table)
{
    std::stable_sort(table.begin(), table.end(),
                     [](const SideEntry& a, const SideEntry& b) { return CompareKeys(a, b) < 0; });
}

bool IsShown(const SideEntry& entry, bool showSystem, bool showHidden)
{
    if ((entry.attributes & FILE_ATTRIBUTE_SYSTEM) && !showSystem) return false;
    if ((entry.attributes & FILE_ATTRIBUTE_HIDDEN) && !showHidden) return false;
    return true;
}

Newer CompareTimes(uint64_t left, uint64_t right)
{
    // Whole minutes of UTC: local time would let a clock change decide.
    constexpr uint64_t Minute = 600000000ULL;
    uint64_t l = left / Minute, r = right / Minute;
    return l == r ? Newer::Same : (l > r ? Newer::Left : Newer::Right);
}

std::vector<NamePair> MergeTables(const std::vector<SideEntry>& left, const std::vector<SideEntry>& right)
{
    std::vector<NamePair> pairs;
    size_t i = 0, j = 0;
    auto run = [](const std::vector<SideEntry>& t, size_t from) {
        size_t to = from + 1;
        while (to < t.size() && CompareKeys(t[from], t[to]) == 0) ++to;
        return static_cast<int>(to - from);
    };
    while (i < left.size() || j < right.size()) {
        int c = i >= left.size() ? 1 : j >= right.size() ? -1 : CompareKeys(left[i], right[j]);
        NamePair p;
        if (c <= 0) {
            p.left = static_cast<int>(i);
            p.leftCount = run(left, i);
        }
        if (c >= 0) {
            p.right = static_cast<int>(j);
            p.rightCount = run(right, j);
        }
        i += static_cast<size_t>(p.leftCount);
        j += static_cast<size_t>(p.rightCount);
        pairs.push_back(p);
    }
    return pairs;
}

void FindNewerFiles(const std::vector<SideEntry>& left, const std::vector<SideEntry>& right,
                    std::vector<int>& markLeft, std::vector<int>& markRight)
{
    for (const NamePair& p : MergeTables(left, right)) {
        if (p.Twins()) continue;
        const SideEntry* l = p.left >= 0 ? &left[static_cast<size_t>(p.left)] : nullptr;
        const SideEntry* r = p.right >= 0 ? &right[static_cast<size_t>(p.right)] : nullptr;
        if ((l && l->IsDirectory()) || (r && r->IsDirectory())) continue;
        Newer newer = !l ? Newer::Right : !r ? Newer::Left : CompareTimes(l->lastWrite, r->lastWrite);
        if (newer == Newer::Left) markLeft.push_back(p.left);
        if (newer == Newer::Right) markRight.push_back(p.right);
    }
}

bool ReadSide(const std::wstring& directory, std::vector<SideEntry>& out)
{
    WIN32_FIND_DATAW data;
    fw::UniqueFind find(::FindFirstFileExW(LongPath(JoinPath(directory, L"*")).c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, 0));
    if (!find) return false; // even an empty directory lists "." and ".."
    do {
        if (!lstrcmpW(data.cFileName, L".") || !lstrcmpW(data.cFileName, L"..")) continue;
        uint64_t t = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
        out.push_back(MakeSideEntry(data.cFileName, t, data.dwFileAttributes));
    } while (::FindNextFileW(find.Get(), &data));
    return ::GetLastError() == ERROR_NO_MORE_FILES;
}
