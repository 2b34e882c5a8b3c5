// Recent directories in the settings store.
#include "common/RecentDirectories.h"
#include "common/Settings.h"
#include <windows.h>

namespace {
std::wstring Key(int i) { return L"Dir" + std::to_wstring(i); }
}

std::vector<std::wstring> ReadRecentDirectories()
{
    std::vector<std::wstring> list;
    for (int i = 1; i <= RecentDirectoryCount; ++i) list.push_back(GetProfileString(L"Algemeen", Key(i).c_str(), L""));
    return list;
}

void RecordRecentDirectory(const std::wstring& directory)
{
    if (directory.empty()) return;
    std::vector<std::wstring> list = ReadRecentDirectories();
    for (size_t i = 0; i + 1 < list.size(); ++i) {
        if (!list[i].empty() && ::lstrcmpiW(list[i].c_str(), directory.c_str()) == 0) {
            list.erase(list.begin() + static_cast<long>(i));
            list.push_back(L"");
            break;
        }
    }
    list.insert(list.begin(), directory);
    list.resize(RecentDirectoryCount);
    for (int i = 0; i < RecentDirectoryCount; ++i) WriteProfileString(L"Algemeen", Key(i + 1).c_str(), list[i]);
}
