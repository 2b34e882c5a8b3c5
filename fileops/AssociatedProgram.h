// Handing a file to the shell or to the program associated with it.
#pragma once
#include <windows.h>
#include <string>

// Runs the shell verb on the file, shown normally. quiet: the shell shows no message of its own
// (the caller reports the failure).
bool ShellOpenFile(HWND owner, const wchar_t* verb, const std::wstring& file, const std::wstring& parameters, bool quiet);

// When the shell cannot open a file: the program FindExecutable names for it, started on the
// file as one parameter (an "explorer" association goes back to the shell's "OPEN"). Shows
// 4177, 4178 or 4171 when nothing could be started; true when something was.
bool StartAssociatedProgram(HWND owner, const std::wstring& file);

// Enter on a file, and Run in the file search: the shell's "open", else the associated program.
// The system's own error boxes may show meanwhile. True when something was started.
bool OpenWithAssociation(HWND owner, const std::wstring& file);
