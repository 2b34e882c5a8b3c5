// Starting one program the way the command line and the application buttons do.
#pragma once
#include "framework/Handles.h"
#include <string>

// What one run started (or tried to), kept until the next command line or button.
struct StartedRun {
    std::wstring program;
    std::wstring parameters;
    std::wstring directory;
    bool interpreted = false; // through the command interpreter
    bool started = false;
    fw::UniqueHandle process;
};

// The command interpreter: "COMSPEC", else cmd.exe.
std::wstring CommandInterpreter();
// A bare program name found along the search path (".exe" assumed); else the name as it is.
std::wstring SearchProgram(const std::wstring& program);
// Built-in commands, DOS programs, program information files and non-programs go through the
// interpreter: the run's program becomes the interpreter and its parameters "/c " or "/k ",
// the program, a blank and the parameters.
void RouteThroughInterpreter(const std::wstring& programWord, StartedRun& run, bool closeWhenDone);
// ShellExecuteEx with the process handle; waits until the process is idle for input.
// quiet: the shell shows no message of its own (the caller reports).
bool StartRun(HWND owner, int show, bool quiet, StartedRun& run);
// Waits until the process ends or keyboard or mouse-button input arrives for this thread.
void WaitForProcessOrInput(HANDLE process);
// Asks the shell which program the run's program stands for and takes it. A document gives its
// associated program, with the document as the only parameter, passed whole.
void ResolveProgram(StartedRun& run);
