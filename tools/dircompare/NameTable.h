// The sorted name tables of the directory compare and synchronise, and their merge.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

// One entry of a directory as the compare sees it.
struct SideEntry {
    std::wstring name;
    uint64_t lastWrite = 0; // file time, UTC
    DWORD attributes = 0;
    // The name folded to upper case, split at its first dot; filled by PrepareKey.
    std::wstring foldBase, foldRest;
    bool hasDot = false;

    bool IsDirectory() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsReparse() const { return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
};

SideEntry MakeSideEntry(const std::wstring& name, uint64_t lastWrite, DWORD attributes);
void PrepareKey(SideEntry& entry);
// One order for sorting and merging: the name without regard to case, the part before the
// first dot first. Zero means the same name.
int CompareKeys(const SideEntry& a, const SideEntry& b);
void SortTable(std::vector<SideEntry>& table);
// Whether the entry takes part with the "Hidden" and "System" settings as given.
bool IsShown(const SideEntry& entry, bool showSystem, bool showHidden);

// Which side holds the newer version; times count to the minute.
enum class Newer { Same, Left, Right };
Newer CompareTimes(uint64_t left, uint64_t right);

// One name of the merge: the entry of each side (-1 when that side lacks it). A side that holds
// the name more than once (names that differ only in case) has a count above 1; such a name is
// left alone.
struct NamePair {
    int left = -1, right = -1;
    int leftCount = 0, rightCount = 0;
    bool Twins() const { return leftCount > 1 || rightCount > 1; }
};
// Both tables sorted by SortTable.
std::vector<NamePair> MergeTables(const std::vector<SideEntry>& left, const std::vector<SideEntry>& right);

// The files that each side lacks on the other or holds in a newer version: indices into the tables.
// Directories take no part.
void FindNewerFiles(const std::vector<SideEntry>& left, const std::vector<SideEntry>& right,
                    std::vector<int>& markLeft, std::vector<int>& markRight);

// Every entry of directory but "." and ".."; false (GetLastError says why) when it cannot be listed.
bool ReadSide(const std::wstring& directory, std::vector<SideEntry>& out);
