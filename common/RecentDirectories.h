// The 15 recent directories kept in "Algemeen"/"Dir1" ... "Dir15", newest first.
#pragma once
#include <string>
#include <vector>

constexpr int RecentDirectoryCount = 15;

// All 15 entries, empty ones included.
std::vector<std::wstring> ReadRecentDirectories();
// Puts directory first; an equal entry (ignoring case) further down is removed.
void RecordRecentDirectory(const std::wstring& directory);
