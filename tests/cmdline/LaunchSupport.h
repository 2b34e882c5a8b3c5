// What the launching tests share: the recorder program, its records, processes left running.
#pragma once
#include "support/Harness.h"
#include "support/TestEnv.h"
#include <string>
#include <vector>

namespace test {

std::wstring Recorder(); // recordargs.exe next to the tests
bool Exists(const std::wstring& path);
std::wstring ReadText(const std::wstring& path); // an ANSI file as text, CR removed

// A started program test with PD_RECORD pointing into a temporary directory.
class LaunchTest : public AppTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Both panels in these directories, the left one active.
    void StartIn(const std::wstring& left, const std::wstring& right);
    CFileList& P() { return main->LeftPanel(); }
    void Mark(const std::vector<std::wstring>& names);
    void Cursor(const std::wstring& name);
    // Each recorded start: its arguments as a C runtime splits them, and its directory.
    struct Record {
        std::vector<std::wstring> args;
        std::wstring directory;
    };
    std::vector<Record> Records();
    std::vector<Record> WaitForRecords(size_t count, int timeoutMs = 10000);
    // Ends what the last command left running (consoles kept open with "/k").
    void EndStartedProcesses();

    TempDir tmp;
    std::wstring record;
};

bool SameName(const std::wstring& a, const std::wstring& b); // long forms, ignoring case

} // namespace test
