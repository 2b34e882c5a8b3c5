// Recording a started command line in the history and the history's keys in the store.
#include "frame/CommandHistory.h"
#include "common/Settings.h"

CommandHistory InsertCommandLine(CommandHistory entries, const std::wstring& line)
{
    for (int i = 0; i < CommandHistorySize - 1; ++i) {
        if (entries[i] != line) continue;
        for (int j = i; j < CommandHistorySize - 1; ++j) entries[j] = entries[j + 1];
        entries[CommandHistorySize - 1].clear();
        break;
    }
    for (int i = CommandHistorySize - 1; i > 0; --i) entries[i] = entries[i - 1];
    entries[0] = line;
    return entries;
}

namespace {
std::wstring Key(int i) { return L"Commando" + std::to_wstring(i + 1); }
}

CommandHistory ReadCommandHistory()
{
    CommandHistory entries;
    for (int i = 0; i < CommandHistorySize; ++i) entries[i] = GetProfileString(L"Algemeen", Key(i).c_str(), L"");
    return entries;
}

void WriteCommandHistory(const CommandHistory& entries)
{
    for (int i = 0; i < CommandHistorySize; ++i) WriteProfileString(L"Algemeen", Key(i).c_str(), entries[i]);
}
