// The last ten command lines, kept in "Algemeen" under "Commando1" ... "Commando10" (1 the most recent).
#pragma once
#include <array>
#include <string>

constexpr int CommandHistorySize = 10;
using CommandHistory = std::array<std::wstring, CommandHistorySize>;

// The history with line put first; an equal line among the first nine is taken out (exact comparison).
CommandHistory InsertCommandLine(CommandHistory entries, const std::wstring& line);

CommandHistory ReadCommandHistory();
void WriteCommandHistory(const CommandHistory& entries);
