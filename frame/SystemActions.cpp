// The real system actions.
#include "frame/SystemActions.h"

namespace {
class CRealSystemActions : public ISystemActions {
public:
    bool OpenProcessToken(HANDLE& token) override
    {
        return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token) != FALSE;
    }

    ApiResult AdjustShutdownPrivilege(HANDLE token, bool enable) override
    {
        ApiResult result;
        TOKEN_PRIVILEGES privileges = {};
        privileges.PrivilegeCount = 1;
        if (!::LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) {
            result.error = ::GetLastError();
            return result;
        }
        privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
        ::SetLastError(0);
        result.ok = ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) != FALSE;
        result.error = ::GetLastError();
        return result;
    }

    void CloseToken(HANDLE token) override
    {
        if (token) ::CloseHandle(token);
    }

    bool InitiateShutdown(bool restart) override
    {
        return ::InitiateSystemShutdownExW(nullptr, nullptr, 0, FALSE, restart ? TRUE : FALSE,
                                           SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_FLAG_PLANNED) != FALSE;
    }

    bool RequestExitWindows(UINT flags) override { return ::ExitWindowsEx(flags, SHTDN_REASON_MAJOR_OTHER) != FALSE; }

    bool StartRundll(HWND owner, const std::wstring& parameters) override
    {
        SHELLEXECUTEINFOW info = {};
        info.cbSize = sizeof(info);
        info.hwnd = owner;
        info.lpVerb = L"open";
        info.lpFile = L"rundll32.exe";
        info.lpParameters = parameters.c_str();
        info.nShow = SW_SHOWNORMAL;
        return ::ShellExecuteExW(&info) != FALSE;
    }

    UINT DriveType(const std::wstring& root) override { return ::GetDriveTypeW(root.c_str()); }

    HANDLE OpenVolume(wchar_t letter, DWORD access) override
    {
        wchar_t name[] = L"\\\\.\\?:";
        name[4] = letter;
        return ::CreateFileW(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    bool VolumeControl(HANDLE volume, DWORD code, void* in, DWORD inSize) override
    {
        DWORD returned = 0;
        return ::DeviceIoControl(volume, code, in, inSize, nullptr, 0, &returned, nullptr) != FALSE;
    }

    void CloseVolume(HANDLE volume) override
    {
        if (volume != INVALID_HANDLE_VALUE) ::CloseHandle(volume);
    }

    void Sleep(DWORD ms) override { ::Sleep(ms); }

    bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override { return ::Shell_NotifyIconW(message, &data) != FALSE; }

    HRESULT InvokeMenuCommand(IContextMenu* menu, UINT offset, HWND owner) override
    {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof(info);
        info.hwnd = owner;
        info.lpVerb = MAKEINTRESOURCEA(offset);
        info.nShow = SW_SHOWNORMAL;
        return menu->InvokeCommand(&info);
    }
};

CRealSystemActions realActions;
ISystemActions* current = nullptr;
}

ISystemActions& SystemActions() { return current ? *current : realActions; }

void SetSystemActions(ISystemActions* actions) { current = actions; }
