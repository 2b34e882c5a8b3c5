// Benchmark driver: lists or extracts an archive through the real archive dialog and times it.
#include "archive/ArchiveDialog.h"
#include "fileops/Answers.h"
#include "framework/Resources.h"
#include "resource.h"
#include "support/TestEnv.h"
#include <commctrl.h>
#include <cstdio>
#include <string>

namespace {
double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}
}

// The platform's own cost of small files: create, write 4 KB, set the time, close; 100 to a directory.
int Floor(const std::wstring& directory, int count)
{
    static char data[4096];
    FILETIME time = {0x12345678, 0x01D70000};
    double start = Now();
    for (int i = 0; i < count; ++i) {
        std::wstring folder = directory + L"\\d" + std::to_wstring(i / 100);
        if (i % 100 == 0) ::CreateDirectoryW(folder.c_str(), nullptr);
        HANDLE file = ::CreateFileW((folder + L"\\f" + std::to_wstring(i)).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return 3;
        DWORD written = 0;
        ::WriteFile(file, data, sizeof(data), &written, nullptr);
        ::SetFileTime(file, &time, &time, &time);
        ::CloseHandle(file);
    }
    std::printf("%.3f %d\n", Now() - start, count);
    return 0;
}

int wmain(int argc, wchar_t** argv)
{
    std::wstring mode = argc >= 3 ? argv[1] : L"";
    if (mode == L"floor" && argc == 4) return Floor(argv[2], std::stoi(argv[3]));
    if (!((mode == L"list" && argc == 3) || (mode == L"extract" && argc == 4))) {
        std::fwprintf(stderr, L"usage: archbench list <archive> | archbench extract <archive> <target directory> | "
                              L"archbench floor <directory> <files>\n");
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
