// The panel's sort order: ".." first, then directories, then files, each by the sort mode.
#pragma once
#include "panel/FileEntry.h"
#include <string>
#include <vector>

enum SortMode : int {
    SortDateAsc = 16, SortDateDesc = 17,
    SortSizeAsc = 32, SortSizeDesc = 33,
    SortExtAsc = 64, SortExtDesc = 65,
    SortNameAsc = 128, SortNameDesc = 129,
};

// The extension-first key: "gz" + "x.tar" for x.tar.gz; " " + name when there is no dot.
std::wstring ExtensionSortKey(const std::wstring& name);

int CompareEntries(const FileEntry& a, const FileEntry& b, int sortMode);

// The positions of entries in the order of sortMode, as CompareEntries orders them; entries
// that compare equal keep their relative order.
std::vector<size_t> SortOrder(const std::vector<const FileEntry*>& entries, int sortMode);

// The mode after a sort command for key (16, 32, 64 or 128): ascending, or descending on repeat.
int NextSortMode(int currentMode, int key);
