// What kind of program a file is, and the command interpreter's own commands.
#pragma once
#include <string>

// 4 a program information file (".pif"), 3 a 32-bit Windows program, 2 another new-format program
// (16-bit Windows, OS/2), 1 a DOS program, -1 not a program or unreadable.
int GetProgramKind(const std::wstring& file);

// True for the command interpreter's built-in commands ("dir", "copy", ...), ignoring case.
bool IsBuiltinCommand(const std::wstring& word);
