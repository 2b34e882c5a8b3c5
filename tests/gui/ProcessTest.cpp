// PD.EXE as a process: one instance per session, and no start without its resource library.
#include "support/Harness.h"
#include "support/TestEnv.h"
#include <vector>

namespace {
struct Process {
    PROCESS_INFORMATION pi = {};
    bool Start(const std::wstring& exe, const std::wstring& args = L"")
    {
        STARTUPINFOW si = {sizeof(si)};
        std::wstring cmd = L"\"" + exe + L"\"" + (args.empty() ? L"" : L" " + args);
        std::wstring dir = exe.substr(0, exe.find_last_of(L'\\'));
        return ::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi);
    }
    bool WaitExit(DWORD ms, DWORD* code = nullptr)
    {
        if (::WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return false;
        if (code) ::GetExitCodeProcess(pi.hProcess, code);
        return true;
    }
    ~Process()
    {
        if (pi.hProcess) {
            if (::WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(pi.hProcess, 1);
            ::CloseHandle(pi.hProcess);
            ::CloseHandle(pi.hThread);
        }
    }
};

struct FindState {
    DWORD pid;
    const wchar_t* cls;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND wnd, LPARAM lp)
{
    auto* s = reinterpret_cast<FindState*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(wnd, &pid);
    wchar_t cls[64] = {};
    ::GetClassNameW(wnd, cls, 64);
    if ((s->pid == 0 || pid == s->pid) && !lstrcmpW(cls, s->cls)) s->found.push_back(wnd);
    return TRUE;
}

std::vector<HWND> TopWindows(const wchar_t* cls, DWORD pid = 0)
{
    FindState s{pid, cls, {}};
    ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

BOOL CALLBACK StaticText(HWND child, LPARAM lp)
{
    wchar_t cls[32] = {};
    ::GetClassNameW(child, cls, 32);
    if (!lstrcmpiW(cls, L"Static") && !fw::GetText(child).empty()) *reinterpret_cast<std::wstring*>(lp) += fw::GetText(child);
    return TRUE;
}
}

class ProgramProcess : public testing::Test {
protected:
    void SetUp() override { test::ResetStore(); }
    void TearDown() override { test::ResetStore(); }
};

TEST_F(ProgramProcess, ASecondStartActivatesTheFirstAndEnds)
{
    Process first;
    ASSERT_TRUE(first.Start(test::BinDirectory() + L"\\PD.EXE"));
    HWND wnd = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] {
        auto found = TopWindows(L"PDClass", first.pi.dwProcessId);
        wnd = found.empty() ? nullptr : found[0];
        return wnd && ::IsWindowVisible(wnd);
    }, 20000));
    ::ShowWindow(wnd, SW_MINIMIZE);
    ASSERT_TRUE(test::PumpUntil([&] { return ::IsIconic(wnd) != FALSE; }));

    Process second;
    ASSERT_TRUE(second.Start(test::BinDirectory() + L"\\PD.EXE"));
    DWORD code = 99;
    ASSERT_TRUE(second.WaitExit(20000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(TopWindows(L"PDClass").size(), 1u);
    EXPECT_TRUE(test::PumpUntil([&] { return !::IsIconic(wnd); }, 5000));

    ::PostMessageW(wnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitExit(20000));
}

TEST_F(ProgramProcess, WithoutTheResourceLibraryItSaysSoAndEnds)
{
    test::TempDir dir;
    std::wstring exe = dir / L"PD.EXE";
    ASSERT_TRUE(::CopyFileW((test::BinDirectory() + L"\\PD.EXE").c_str(), exe.c_str(), FALSE));
    Process p;
    ASSERT_TRUE(p.Start(exe));
    HWND box = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] {
        auto found = TopWindows(L"#32770", p.pi.dwProcessId);
        box = found.empty() ? nullptr : found[0];
        return box && ::IsWindowVisible(box);
    }, 20000));
    EXPECT_EQ(fw::GetText(box), L"Pandect Commander");
    std::wstring text;
    ::EnumChildWindows(box, StaticText, reinterpret_cast<LPARAM>(&text));
    EXPECT_EQ(text, L"Can't open resource DLL");
    EXPECT_TRUE(TopWindows(L"PDClass", p.pi.dwProcessId).empty());
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    DWORD code = 99;
    ASSERT_TRUE(p.WaitExit(20000, &code));
    EXPECT_EQ(code, 0u);
}
