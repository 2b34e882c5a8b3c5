// Test helper: appends its command line and working directory to the file named by PD_RECORD.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    wchar_t target[MAX_PATH * 2] = {};
    if (!::GetEnvironmentVariableW(L"PD_RECORD", target, MAX_PATH * 2)) return 2;
    wchar_t dir[MAX_PATH * 2] = {};
    ::GetCurrentDirectoryW(MAX_PATH * 2, dir);
    HANDLE h = ::CreateFileW(target, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 3;
    const wchar_t* line = ::GetCommandLineW();
    DWORD n;
    ::WriteFile(h, line, lstrlenW(line) * sizeof(wchar_t), &n, nullptr);
    ::WriteFile(h, L"\n", sizeof(wchar_t), &n, nullptr);
    ::WriteFile(h, dir, lstrlenW(dir) * sizeof(wchar_t), &n, nullptr);
    ::WriteFile(h, L"\n", sizeof(wchar_t), &n, nullptr);
    ::CloseHandle(h);
    return 0;
}
