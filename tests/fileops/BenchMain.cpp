// Benchmark driver: copies one entry through the real copy request of a running program and times it.
#include "fileops/Answers.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include "panel/PanelRequests.h"
#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: pdbench <source directory> <entry name> <target directory>\n");
        return 2;
    }
    std::wstring sourceDir = argv[1], name = argv[2], targetDir = argv[3];
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    test::ResetStore();
    CCommanderApp app;
    if (!app.InitInstance()) return 3;
    CMainWindow* main = app.MainWindow();
    main->postQuitOnDestroy = false;
    test::PumpUntil([&] { return main->LeftPanel().updates > 0 && main->RightPanel().updates > 0; });
    for (auto [panel, dir] : {std::pair{&main->LeftPanel(), sourceDir}, std::pair{&main->RightPanel(), targetDir}}) {
        panel->SetDirectory(dir.substr(0, 3), dir);
        panel->keepMarks = false;
        panel->OnUpdate();
    }
    CFileList& left = main->LeftPanel();
    int row = test::RowOf(left, name);
    if (row < 0) return 4;
    left.List().SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    test::Answers answers({{L"COPY", test::Rule{{IDOK}}}, {L"#32770", test::Rule{{IDOK}}}});
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    ::SendMessageW(left.Handle(), req::Copy, 0, 0);
    ::QueryPerformanceCounter(&end);
    double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("%.3f\n", seconds);
    int errors = static_cast<int>(answers.Boxes().size());
    app.ExitInstance();
    test::ResetStore();
    return errors ? 5 : 0;
}
