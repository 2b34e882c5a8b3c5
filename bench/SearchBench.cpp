// The file search benchmark's driver: the real walk and content test, and the bare Win32 passes
// they are measured against. Prints "<seconds> <files found>".
#include "tools/search/FileSearch.h"
#include <windows.h>
#include <cstdio>
#include <cstring>
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

// As the dialog pumps: a look at the clock per file, the status at most every 50 ms.
search::SearchProgress DialogLikeProgress()
{
    return [last = DWORD(0)](const std::wstring&) mutable {
        DWORD now = ::GetTickCount();
        if (now - last >= 50) last = now;
        return true;
    };
}

// Bare walk: every directory listed once with FindFirstFile/FindNextFile; names ending in ".txt" counted.
void BareWalk(const std::wstring& dir, long& count, const std::string* term)
{
    WIN32_FIND_DATAW data;
    HANDLE h = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> subs;
    static std::vector<char> buffer(1 << 20);
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (wcscmp(data.cFileName, L".") && wcscmp(data.cFileName, L"..")) subs.push_back(dir + L"\\" + data.cFileName);
            continue;
        }
        size_t n = wcslen(data.cFileName);
        if (n < 4 || _wcsicmp(data.cFileName + n - 4, L".txt")) continue;
        if (!term) {
            ++count;
            continue;
        }
        // Bare open, read and match: a plain byte loop over the whole file.
        HANDLE f = ::CreateFileW((dir + L"\\" + data.cFileName).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) continue;
        DWORD got = 0;
        bool found = false;
        while (!found && ::ReadFile(f, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got) {
            for (DWORD i = 0; i + term->size() <= got && !found; ++i)
                found = std::memcmp(buffer.data() + i, term->data(), term->size()) == 0;
        }
        ::CloseHandle(f);
        if (found) ++count;
    } while (::FindNextFileW(h, &data));
    ::FindClose(h);
    for (const std::wstring& s : subs) BareWalk(s, count, term);
}

// A byte-at-a-time shift-and loop over one file, 16 KB blocks.
bool ByteLoop(const std::wstring& path, const std::string& term)
{
    HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    uint16_t table[256] = {};
    for (size_t k = 0; k < term.size(); ++k) table[static_cast<unsigned char>(term[k])] |= static_cast<uint16_t>(0x8000u >> k);
    uint16_t accept = static_cast<uint16_t>(0x8000u >> (term.size() - 1)), state = 0;
    std::vector<unsigned char> buffer(16384);
    DWORD got = 0;
    bool found = false;
    while (!found && ::ReadFile(f, buffer.data(), 16384, &got, nullptr) && got)
        for (DWORD i = 0; i < got && !found; ++i) {
            state = static_cast<uint16_t>(((state >> 1) | 0x8000u) & table[buffer[i]]);
            found = (state & accept) != 0;
        }
    ::CloseHandle(f);
    return found;
}
} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: searchbench walk|barewalk|text|bareread|file|byteloop PATH [MASK|TERM] [TERM]\n");
        return 2;
    }
    std::wstring mode = argv[1], path = argv[2];
    double start = Now();
    long count = 0;
    if (mode == L"walk" || mode == L"text") {
        search::SearchCriteria criteria;
        criteria.directory = path;
        criteria.mask = argc > 3 ? argv[3] : L"*.*";
        if (mode == L"text" && argc > 4) criteria.text = argv[4];
        std::vector<search::CFoundFile> found;
        search::FindFiles(criteria, DialogLikeProgress(), found);
        count = static_cast<long>(found.size());
    } else if (mode == L"barewalk" || mode == L"bareread") {
        std::string term;
        if (argc > 3)
            for (const wchar_t* c = argv[3]; *c; ++c) term += static_cast<char>(*c);
        BareWalk(path, count, mode == L"bareread" ? &term : nullptr);
    } else if (mode == L"file" && argc > 3) {
        search::ContentOptions options;
        options.beforeBlock = [] { return true; };
        count = search::FileContains(path, argv[3], options) == search::ContentResult::Match;
    } else if (mode == L"byteloop" && argc > 3) {
        std::string term;
        for (const wchar_t* c = argv[3]; *c; ++c) term += static_cast<char>(*c);
        count = ByteLoop(path, term);
    } else {
        return 2;
    }
    std::printf("%.3f %ld\n", Now() - start, count);
    return 0;
}
