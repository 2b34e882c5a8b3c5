// Test printers whose PostScript lands in a file, the text read back from it, and answers to a
// sequence of system dialogs and message boxes.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace test {


// PostScript printers on ports of their own, each port a file. Removed again by RemoveAll.
class TestPrinters {
public:
    // Adds (or keeps) printer name on port ("LPT1:", "LPT2:" ...) writing into output.
    static bool Install(const std::wstring& name, const std::wstring& port, const std::wstring& output);
    static bool MakeDefault(const std::wstring& name);
    // Deletes every printer the tests added and forgets the default printer.
    static void RemoveAll();
};

// Waits until the spooler has written a whole document into file.
bool WaitForPostScript(const std::wstring& file, int timeoutMs = 20000);
// The text of a PostScript file as ghostscript reads it; "<gs failed>" when it could not.
std::wstring PostScriptText(const std::wstring& file);

// Answers the system dialogs and message boxes ("#32770") that open one after the other, one step
// each: onShow runs first (it may fill fields), then the command is posted.
class AnswerSequence {
public:
    struct Step {
        std::function<void(HWND)> onShow;
        int command;
        // The window answered before comes back (a dialog after its message box) and is answered again.
        bool again = false;
    };
    explicit AnswerSequence(std::vector<Step> steps);
    ~AnswerSequence();
    int Answered() const;
    // The static texts of each answered window, in order.
    std::vector<std::wstring> Texts() const;
};

} // namespace test
