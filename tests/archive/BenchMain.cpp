// Benchmark driver: lists or extracts an archive through the real archive dialog and times it.
#include "archive/ArchiveDialog.h"
#include "fileops/Answers.h"
#include "framework/Resources.h"
#include "resource.h"
#include "support/TestEnv.h"
#include <commctrl.h>
#include <cstdio>

namespace {
double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}
}

int wmain(int argc, wchar_t** argv)
{
    std::wstring mode = argc >= 3 ? argv[1] : L"";
    if (!((mode == L"list" && argc == 3) || (mode == L"extract" && argc == 4))) {
        std::fwprintf(stderr, L"usage: archbench list <archive> | archbench extract <archive> <target directory>\n");
        return 2;
    }
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    test::ResetStore();
    fw::SetResourceInstance(::LoadLibraryW((test::BinDirectory() + L"\\PDDLL.DLL").c_str()));
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    std::wstring archive = argv[2], target = argc == 4 ? argv[3] : L"C:\\";
    OperationState operation;
    size_t rows = 0;
    double start = Now(), listed = 0;
    // The listing is over when the dialog first activates; the extraction when the dialog ends.
    test::Rule filecont{{mode == L"list" ? IDCANCEL : IDC_ARC_ALL}, [&](HWND w) {
                            listed = Now();
                            if (auto* d = dynamic_cast<CArchiveDialog*>(fw::CDialog::FromHandle(w))) rows = d->Rows().size();
                        }};
    test::Answers answers({{L"FILECONT", filecont},
                           {L"UNZIP", test::Rule{{IDOK}, [&](HWND w) { ::SetDlgItemTextW(w, IDC_UNZIP_TARGET, target.c_str()); }}},
                           {L"#32770", test::Rule{{IDYES}}}});
    CArchiveDialog dialog(archive, target, operation);
    INT_PTR result = dialog.DoModal(nullptr);
    double end = Now();
    if (listed == 0) return 3;
    std::printf("%.3f %zu\n", mode == L"list" ? listed - start : end - listed, rows);
    test::ResetStore();
    // Every message box past the folders question is a problem.
    return result == (mode == L"list" ? IDCANCEL : IDOK) && answers.Boxes().size() <= 1 ? 0 : 4;
}
