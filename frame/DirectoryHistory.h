// The back history of one panel: 15 directories in memory, newest first.
#pragma once
#include <array>
#include <string>

struct HistoryEntry {
    std::wstring directory;
    std::wstring drive; // "C:", "FTP"...; empty: no entry
};

class DirectoryHistory {
public:
    static constexpr int Size = 15;
    void Push(const std::wstring& directory, const std::wstring& drive);
    // Entry 0, the others moving up; an empty entry when the history is empty.
    HistoryEntry Pop();
    const HistoryEntry& At(int i) const { return entries[i]; }

private:
    std::array<HistoryEntry, Size> entries;
};
