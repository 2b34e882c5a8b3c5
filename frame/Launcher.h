// Starting one program the way the command line and the application buttons do.
#pragma once
#include "frame/Placeholders.h"
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

// What one run starts, before its placeholders are replaced.
struct RunRequest {
    std::wstring programWord;   // as typed or configured, leading blanks skipped
    std::wstring parameterText; // with placeholders
    std::wstring directory;     // where it starts
    PlaceholderValues active;   // short forms, as the placeholders give them
    PlaceholderValues other;
    // The long names behind the values, to tell the user which one cannot be passed.
    std::wstring activeEntryName, activeDirectoryName, otherEntryName, otherDirectoryName;
    bool closeWhenDone = false; // through the interpreter: "/c" rather than "/k"
};

// The command interpreter: "COMSPEC", else cmd.exe.
std::wstring CommandInterpreter();
// A bare program name found along the search path (".exe" assumed); else the name as it is.
std::wstring SearchProgram(const std::wstring& program);
// Fills run for the request: the program the shell finds for the word (a document gives its program,
// with the document as the only parameter), the parameters with their placeholders replaced and quoted
// for whoever reads them, and the interpreter for built-in commands, DOS programs, program information
// files and non-programs. Returns the name whose value cannot be passed safely; empty when run is ready.
std::wstring PrepareRun(const RunRequest& request, StartedRun& run);
// ShellExecuteEx with the process handle; waits until the process is idle for input.
// quiet: the shell shows no message of its own (the caller reports).
bool StartRun(HWND owner, int show, bool quiet, StartedRun& run);
// Waits until the process ends or keyboard or mouse-button input arrives for this thread.
void WaitForProcessOrInput(HANDLE process);
