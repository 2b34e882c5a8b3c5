// The floor of a copy under this platform: each file of a tree copied with bare CreateFile,
// ReadFile, WriteFile and SetFileTime, no checks, no window. Prints the seconds it took.
#include <windows.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {
std::vector<char> buffer(65535);

bool CopyOne(const std::wstring& from, const std::wstring& to)
{
    HANDLE in = ::CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE) return false;
    HANDLE out = ::CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        ::CloseHandle(in);
        return false;
    }
    bool ok = true;
    DWORD got = 0, put = 0;
    while (ok && ::ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got > 0)
        ok = ::WriteFile(out, buffer.data(), got, &put, nullptr) && put == got;
    FILETIME created, accessed, written;
    if (ok && ::GetFileTime(in, &created, &accessed, &written)) ok = ::SetFileTime(out, &created, &accessed, &written);
    ::CloseHandle(out);
    ::CloseHandle(in);
    return ok;
}

bool CopyTree(const std::wstring& from, const std::wstring& to)
{
    if (!::CreateDirectoryW(to.c_str(), nullptr)) return false;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((from + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ok = CopyTree(from + L"\\" + name, to + L"\\" + name) && ok;
        else ok = CopyOne(from + L"\\" + name, to + L"\\" + name) && ok;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return ok;
}
}

// usage: copyloop <source file or directory> <target>
int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: copyloop <source> <target>\n");
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    DWORD attributes = ::GetFileAttributesW(argv[1]);
    bool ok = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                  ? CopyTree(argv[1], argv[2])
                  : CopyOne(argv[1], argv[2]);
    ::QueryPerformanceCounter(&end);
    std::printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
    return ok ? 0 : 1;
}
