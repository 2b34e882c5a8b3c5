// Test helper: writes the system-information page's version text and what GetVersionEx says to
// the file named by its argument, so a test can run it under another Windows version of Wine.
#include "tools/sysinfo/SystemInfo.h"
#include "tools/sysinfo/SystemInfoText.h"
#include <windows.h>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    OsVersion real = RealOsVersion();
    OSVERSIONINFOW told = {sizeof(told)};
    ::GetVersionExW(&told);
    std::wstring text = OsText(real.platformId, real.major, real.minor, real.build, real.servicePack) + L"\n" +
                        std::to_wstring(told.dwMajorVersion) + L"." + std::to_wstring(told.dwMinorVersion) + L"." +
                        std::to_wstring(told.dwBuildNumber) + L"\n";
    HANDLE h = ::CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 3;
    DWORD n = 0;
    ::WriteFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &n, nullptr);
    ::CloseHandle(h);
    return 0;
}
