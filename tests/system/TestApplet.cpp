// A control-panel applet for the tests: its behaviour follows its file name ("empty": no dialogs,
// "refuse": fails to start, else one dialog with a wide name); it logs every call when asked.
#include <windows.h>
#include <cpl.h>
#include <string>

namespace {
HMODULE self = nullptr;

std::wstring OwnName()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring name = path;
    return name.substr(name.find_last_of(L'\\') + 1);
}

void Log(UINT message)
{
    wchar_t file[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"PD_CPL_LOG", file, MAX_PATH)) return;
    HANDLE log = ::CreateFileW(file, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    std::wstring line = OwnName() + L" " + std::to_wstring(message) + L"\n";
    std::string narrow(line.begin(), line.end());
    DWORD written = 0;
    ::WriteFile(log, narrow.data(), static_cast<DWORD>(narrow.size()), &written, nullptr);
    ::CloseHandle(log);
}
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) self = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) LONG APIENTRY CPlApplet(HWND, UINT message, LPARAM, LPARAM data)
{
    Log(message);
    std::wstring name = OwnName();
    switch (message) {
    case CPL_INIT: return name.find(L"refuse") == std::wstring::npos;
    case CPL_GETCOUNT: return name.find(L"empty") == std::wstring::npos ? 1 : 0;
    case CPL_INQUIRE: {
        auto* info = reinterpret_cast<CPLINFO*>(data);
        info->idIcon = 0;
        info->idName = 0; // no string: the name comes from CPL_NEWINQUIRE
        info->idInfo = 0;
        return 0;
    }
    case CPL_NEWINQUIRE: {
        auto* info = reinterpret_cast<NEWCPLINFOW*>(data);
        info->dwSize = sizeof(NEWCPLINFOW);
        lstrcpynW(info->szName, L"\u03A4\u03B5\u03C3\u03C4 &Applet", 32);
        lstrcpynW(info->szInfo, L"test", 64);
        return 0;
    }
    }
    return 0;
}
