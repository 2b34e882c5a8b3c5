// Recording of the recent directories that file operations and viewers leave behind.
#include "fileops/RecentDirectories.h"
#include "app/Settings.h"
#include <vector>

namespace {
constexpr int RecentCount = 15;
std::wstring KeyOf(int n) { return L"Dir" + std::to_wstring(n); }
}

void RecordRecentDirectory(const std::wstring& directory)
{
    std::vector<std::wstring> entries;
    for (int n = 1; n <= RecentCount; ++n) entries.push_back(GetProfileString(L"Algemeen", KeyOf(n).c_str(), L""));
    for (int i = 0; i < RecentCount - 1; ++i) {
        if (lstrcmpiW(entries[i].c_str(), directory.c_str()) == 0) {
            entries.erase(entries.begin() + i);
            entries.emplace_back();
            break;
        }
    }
    entries.insert(entries.begin(), directory);
    entries.resize(RecentCount);
    for (int n = 1; n <= RecentCount; ++n) WriteProfileString(L"Algemeen", KeyOf(n).c_str(), entries[n - 1]);
}
