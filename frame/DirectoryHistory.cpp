// Push and pop of a panel's back history.
#include "frame/DirectoryHistory.h"

void DirectoryHistory::Push(const std::wstring& directory, const std::wstring& drive)
{
    for (int i = Size - 1; i > 0; --i) entries[i] = entries[i - 1];
    entries[0] = {directory, drive.substr(0, 16)};
}

HistoryEntry DirectoryHistory::Pop()
{
    HistoryEntry top = entries[0];
    for (int i = 0; i < Size - 1; ++i) entries[i] = entries[i + 1];
    entries[Size - 1] = {};
    return top;
}
