// The compare benchmark's driver: reads and compares two files as "Compare files" does, up to the
// filled row lists, five times, and prints the median in seconds. With "window" it then starts the
// program on the files' directories and times "Compare files" to the first difference drawn.
#include "app/CommanderApp.h"
#include "common/Settings.h"
#include "frame/MainWindow.h"
#include "tools/compare/CompareEngine.h"
#include "tools/compare/CompareText.h"
#include "tools/compare/FileCompareDialog.h"
#include "resource.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
double Now()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double started = 0, drawn = 0;
int firstDifference = -1;

// Sees every WM_DRAWITEM the compare window gets; the first one of the first difference, once the
// window stands on it, ends the run.
LRESULT CALLBACK WatchDrawing(int code, WPARAM wp, LPARAM lp)
{
    auto* message = reinterpret_cast<CWPRETSTRUCT*>(lp);
    cmp::CFileCompareDialog* dialog = cmp::CFileCompareDialog::Current();
    if (code == HC_ACTION && dialog && message->message == WM_DRAWITEM && drawn == 0) {
        if (firstDifference < 0) firstDifference = cmp::FirstDifference(dialog->Comparison().Items(0));
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(message->lParam);
        if (static_cast<int>(item->itemID) == firstDifference && dialog->TopIndex() == firstDifference) {
            drawn = Now();
            ::PostMessageW(dialog->Handle(), WM_COMMAND, IDCANCEL, 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

std::wstring Directory(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }
std::wstring Name(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

bool PutCursor(CFileList& panel, const std::wstring& name)
{
    for (int row = 0; row < panel.RowCount(); ++row)
        if (panel.Entry(row)->name == name) {
            panel.List().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
            return true;
        }
    return false;
}

int TimeTheWindow(const std::wstring& left, const std::wstring& right)
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brennmark\\PD");
    SetProfileLocation(L"Brennmark", L"PD");
    WriteProfileString(L"Paden", L"Links", Directory(left));
    WriteProfileString(L"Paden", L"Rechts", Directory(right));
    CCommanderApp app;
    if (!app.InitInstance()) return 1;
    CMainWindow* main = app.MainWindow();
    MSG msg;
    auto read = [main] { return main->LeftPanel().updates > 0 && main->RightPanel().updates > 0; };
    while (!read() && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (!PutCursor(main->LeftPanel(), Name(left)) || !PutCursor(main->RightPanel(), Name(right))) return 1;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, WatchDrawing, nullptr, ::GetCurrentThreadId());
    started = Now();
    // The command runs the modal window; it returns when the hook has closed it.
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FILECOMP, 0);
    ::UnhookWindowsHookEx(hook);
    app.ExitInstance();
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brennmark\\PD");
    if (drawn == 0) return 1;
    std::printf("window %.4f %d\n", drawn - started, firstDifference);
    return 0;
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: comparebench LEFT RIGHT [window]\n");
        return 2;
    }
    std::vector<double> times;
    size_t rows = 0, differences = 0;
    for (int run = 0; run < 5; ++run) {
        double start = Now();
        cmp::CompareFile files[2];
        if (cmp::ReadCompareFile(argv[1], files[0]) || cmp::ReadCompareFile(argv[2], files[1])) {
            std::fwprintf(stderr, L"comparebench: a file could not be read\n");
            return 1;
        }
        cmp::CFileComparison comparison(cmp::CompareOptions{});
        comparison.SetText(0, std::move(files[0].bytes));
        comparison.SetText(1, std::move(files[1].bytes));
        comparison.Run();
        times.push_back(Now() - start);
        rows = comparison.Items(0).size();
        differences = static_cast<size_t>(std::count_if(comparison.Items(0).begin(), comparison.Items(0).end(),
                                                        [](const cmp::CompareItem& i) { return !i.same; }));
    }
    std::sort(times.begin(), times.end());
    std::printf("engine %.4f %zu %zu\n", times[2], rows, differences);
    if (argc > 3 && std::wstring(argv[3]) == L"window") return TimeTheWindow(argv[1], argv[2]);
    return 0;
}
