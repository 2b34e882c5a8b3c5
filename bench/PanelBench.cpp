// Panel benchmark driver: times the refresh of a big directory, marking, sorting, clearing and the
// memory per row in a running program, each beside the floor measured in the same run.
// Prints one "name seconds-or-bytes" line per figure; bench/panel_bench.sh turns them into the report.
#include "common/Settings.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double Now()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename F>
double Time(F&& f)
{
    double start = Now();
    f();
    return Now() - start;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Print(const char* name, double value) { std::printf("%s %.6f\n", name, value); }

// One bare pass of the file system's own listing over the directory: the floor of a refresh.
double BareEnumeration(const std::wstring& dir, const wchar_t* mask = L"*.*", bool basic = false)
{
    return Time([&] {
        WIN32_FIND_DATAW data;
        std::wstring pattern = dir + L"\\" + mask;
        HANDLE find = basic ? ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                                 nullptr, FIND_FIRST_EX_LARGE_FETCH)
                            : ::FindFirstFileW(pattern.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return;
        int n = 0;
        while (::FindNextFileW(find, &data)) ++n;
        ::FindClose(find);
    });
}

// Bytes in use in every heap of the process.
double HeapBytes()
{
    HANDLE heaps[64];
    DWORD count = ::GetProcessHeaps(64, heaps);
    double total = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!::HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (::HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData + entry.cbOverhead;
        ::HeapUnlock(heaps[i]);
    }
    return total;
}

double lastPaint = 0;

// The refresh request as the watcher's timer gives it, up to the rows on screen.
double Refresh(CMainWindow* main, CFileList& panel)
{
    double start = Now();
    ::SendMessageW(main->Handle(), pm::FileChangeL, 0, 0);
    double requested = Now();
    ::UpdateWindow(panel.Handle());
    double painted = Now();
    lastPaint = painted - requested;
    return painted - start;
}

void PrintPhases(const char* prefix, const RefreshTimings& t)
{
    std::printf("%s.phases clear=%.4f enumerate=%.4f add=%.4f marks=%.4f sort=%.4f position=%.4f summary=%.4f total=%.4f\n",
                prefix, t.clear, t.enumerate, t.add, t.marks, t.sort, t.position, t.summary, t.total);
}

int Marked(CFileList& p)
{
    return p.List().GetSelectedCount();
}

// The wall clock in seconds since 1970, comparable with the shell's date +%s.%N.
double UnixNow()
{
    FILETIME ft;
    ::GetSystemTimePreciseAsFileTime(&ft);
    uint64_t t = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<double>(t - 116444736000000000ULL) / 1e7;
}

// Starts the program with both panels on work; null when it refuses to start.
CMainWindow* StartIn(CCommanderApp& app, const std::wstring& work)
{
    test::ResetStore();
    WriteProfileString(L"Paden", L"Links", work);
    WriteProfileString(L"Paden", L"Rechts", work);
    if (!app.InitInstance()) return nullptr;
    CMainWindow* main = app.MainWindow();
    main->postQuitOnDestroy = false;
    test::PumpUntil([&] { return main->LeftPanel().updates > 0 && main->RightPanel().updates > 0; });
    return main;
}

// Start-up: prints the wall clock when both panels show their first listing.
int Startup(const std::wstring& work)
{
    CCommanderApp app;
    CMainWindow* main = StartIn(app, work);
    if (!main) return 3;
    ::UpdateWindow(main->Handle());
    std::printf("startup.listed %.6f\n", UnixNow());
    std::fflush(stdout);
    app.ExitInstance();
    test::ResetStore();
    return 0;
}

}

// usage: panelbench <work directory> <big directory name> <repeats> <marks>
//        panelbench <work directory> --startup
int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wstring(argv[2]) == L"--startup") return Startup(argv[1]);
    if (argc != 5) {
        std::fwprintf(stderr, L"usage: panelbench <work directory> <big directory> <repeats> <marks>\n");
        return 2;
    }
    std::wstring work = argv[1], big = work + L"\\" + argv[2];
    int repeats = std::max(1, _wtoi(argv[3]));
    int marks = _wtoi(argv[4]);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    CCommanderApp app;
    CMainWindow* main = StartIn(app, work);
    if (!main) return 3;
    test::Pump(200);
    CFileList& p = main->LeftPanel();

    double heapBefore = HeapBytes();
    BareEnumeration(big); // the first pass warms the file system's caches for both
    std::vector<double> bare, listing;
    for (int i = 0; i < repeats; ++i) {
        bare.push_back(BareEnumeration(big));
        p.SetDirectory(big.substr(0, 3), big);
        p.keepMarks = false;
        listing.push_back(Refresh(main, p));
        if (i == 0) PrintPhases("list", p.timings), Print("list.paint", lastPaint);
    }
    int rows = p.RowCount();
    std::printf("rows %d\n", rows);
    Print("list.bare", Median(bare));
    Print("list.panel", Median(listing));
    Print("list.bare.basic", BareEnumeration(big, L"*.*", true));
    Print("paint.page", Time([&] { ::InvalidateRect(p.Handle(), nullptr, TRUE); ::UpdateWindow(p.Handle()); }));
    Print("clock.cost", Time([] { for (int i = 0; i < 100000; ++i) Now(); }) / 100000);

    double names = 0;
    for (int row = 0; row < rows; ++row) names += (p.Entry(row)->name.size() + 1) * sizeof(wchar_t);
    Print("memory.perrow", (HeapBytes() - heapBefore - names) / std::max(1, rows));

    // A refresh after an operation: marks carried by name.
    {
        fw::RedrawOff quiet(p.Handle());
        p.summaryBusy = true;
        for (int row = 1, n = 0; row < rows && n < marks; row += std::max(1, rows / std::max(1, marks)), ++n)
            p.List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
        p.summaryBusy = false;
    }
    int markedBefore = Marked(p);
    std::vector<double> kept;
    bare.clear();
    for (int i = 0; i < repeats; ++i) {
        bare.push_back(BareEnumeration(big));
        kept.push_back(Refresh(main, p));
        if (i == 0) PrintPhases("marked", p.timings), Print("marked.paint", lastPaint);
    }
    std::printf("marked.count %d %d\n", markedBefore, Marked(p));
    Print("marked.bare", Median(bare));
    Print("marked.panel", Median(kept));

    Print("select.all", Time([&] { ::SendMessageW(main->Handle(), WM_COMMAND, IDM_SELECTALL, 0); }));
    Print("select.invert", Time([&] { ::SendMessageW(p.Handle(), req::Invert, 0, 0); }));
    Print("select.none", Time([&] { ::SendMessageW(main->Handle(), WM_COMMAND, IDM_DESELECTALL, 0); }));
    Print("select.mask.floor", BareEnumeration(big, L"*1.txt"));
    Print("select.mask", Time([&] { p.MarkByMask(L"*1.txt", true, false); }));
    std::printf("select.mask.count %d\n", Marked(p));
    Print("select.line", Time([&] { p.UpdateSelectionSummary(); }));
    Print("keys.search", Time([&] { ::SendMessageW(p.Handle(), WM_CHAR, L'f', 0); ::UpdateWindow(p.Handle()); }));
    Print("keys.end", Time([&] { ::SendMessageW(p.Handle(), WM_KEYDOWN, VK_END, 0); ::UpdateWindow(p.Handle()); }));
    Print("keys.up", Time([&] { ::SendMessageW(p.Handle(), WM_KEYDOWN, VK_UP, 0); ::UpdateWindow(p.Handle()); }));
    Print("keys.home", Time([&] { ::SendMessageW(p.Handle(), WM_KEYDOWN, VK_HOME, 0); ::UpdateWindow(p.Handle()); }));
    Print("keys.pagedown", Time([&] { ::SendMessageW(p.Handle(), WM_KEYDOWN, VK_NEXT, 0); ::UpdateWindow(p.Handle()); }));
    Print("keys.space", Time([&] { ::SendMessageW(p.Handle(), WM_KEYDOWN, VK_SPACE, 0); ::UpdateWindow(p.Handle()); }));

    static const struct { const char* name; UINT request; } sorts[] = {
        {"sort.name", req::SortName}, {"sort.extension", req::SortExtension},
        {"sort.size", req::SortSize}, {"sort.date", req::SortDate}};
    for (const auto& sort : sorts) {
        for (const char* direction : {"asc", "desc"}) {
            double t = Time([&] { ::SendMessageW(p.Handle(), sort.request, 0, 0); ::UpdateWindow(p.Handle()); });
            std::printf("%s.%s %.6f\n", sort.name, direction, t);
        }
    }

    Print("clear.entries", Time([&] { p.ClearEntries(); }));
    Refresh(main, p);
    p.SetDirectory(work.substr(0, 3), work);
    Print("clear.leave", Time([&] { Refresh(main, p); }));
    p.SetDirectory(big.substr(0, 3), big);
    Refresh(main, p);
    Print("clear.close", Time([&] { app.ExitInstance(); }));
    test::ResetStore();
    std::fflush(stdout);
    return 0;
}
