// The drop list of a dragged tree (from the release until the list is built) beside one bare
// FindFirstFile/FindNextFile walk of the same tree, each the median of several runs.
// Usage: dropbench.exe <tree> [repeats]
#include "fileops/DropList.h"
#include "fileops/Listing.h"
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {
double Now()
{
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// The floor: every entry visited once, nothing kept.
size_t BareWalk(const std::wstring& directory)
{
    size_t files = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((directory + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (data.cFileName[0] == L'.' && (!data.cFileName[1] || (data.cFileName[1] == L'.' && !data.cFileName[2])))
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) files += BareWalk(directory + L"\\" + data.cFileName);
        else ++files;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return files;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    std::wstring tree = argv[1];
    int repeats = argc > 2 ? _wtoi(argv[2]) : 3;
    std::vector<double> bare, drop;
    size_t bareFiles = 0, dropFiles = 0;
    BareWalk(tree); // warms the directory cache for both
    for (int i = 0; i < repeats; ++i) {
        double t0 = Now();
        bareFiles = BareWalk(tree);
        double t1 = Now();
        std::vector<std::wstring> files;
        uint64_t bytes = 0;
        int unreadable = 0;
        CollectDropFiles({{tree, true}}, files, bytes, unreadable);
        HGLOBAL list = MakeDropList(files);
        double t2 = Now();
        dropFiles = files.size();
        ::GlobalFree(list);
        bare.push_back(t1 - t0);
        drop.push_back(t2 - t1);
    }
    std::printf("files %zu %zu\nbare %.3f\ndroplist %.3f\n", bareFiles, dropFiles, Median(bare), Median(drop));
    return bareFiles == dropFiles ? 0 : 1;
}
