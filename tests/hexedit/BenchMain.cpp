// The hex editor benchmark's driver: loads a file as the window does and finds a text in it,
// with and without match case, printing the best of three runs in seconds.
#include "tools/hexedit/HexEditor.h"
#include "tools/hexedit/HexFile.h"
#include "tools/hexedit/ValueCodes.h"
#include <windows.h>
#include <cstdio>
#include <string>

namespace {
double Now()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: hexbench FILE TEXT\n");
        return 2;
    }
    std::string text;
    for (const wchar_t* c = argv[2]; *c; ++c) text += static_cast<char>(*c);
    std::vector<uint8_t> pattern = hex::DecodeValueCodes(text);
    double load = 1e9, find = 1e9, findFolded = 1e9;
    hex::Offset found = -1, foundFolded = -1;
    for (int run = 0; run < 3; ++run) {
        hex::CHexEditor ed;
        double start = Now();
        hex::FileResult result = hex::LoadDocument(argv[1], ed.doc);
        load = std::min(load, Now() - start);
        if (!result || ed.doc.IsPaged()) {
            std::fwprintf(stderr, L"hexbench: the file did not load into memory (message %d)\n", result.message);
            return 1;
        }
        for (bool matchCase : {true, false}) {
            hex::CPatternSearch search(pattern, matchCase);
            ed.cursor = 0;
            start = Now();
            bool hit = ed.Find(search, false, false);
            double took = Now() - start;
            (matchCase ? find : findFolded) = std::min(matchCase ? find : findFolded, took);
            (matchCase ? found : foundFolded) = hit ? ed.cursor : -1;
        }
    }
    std::printf("load %.4f\nfind %.4f %lld\nfind-i %.4f %lld\n", load, find, static_cast<long long>(found), findFolded,
                static_cast<long long>(foundFolded));
    return 0;
}
