// The calls that act on Windows itself: ending the session, opening volumes, starting rundll32,
// notification-area icons. The tests put a recording set in place, so none of them runs there.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <shobjidl.h>
#include <string>

struct ApiResult {
    bool ok = false;
    DWORD error = 0; // the last error after the call, also when it succeeded
};

class ISystemActions {
public:
    virtual ~ISystemActions() = default;
    // The process token with the rights to adjust and query privileges.
    virtual bool OpenProcessToken(HANDLE& token) = 0;
    virtual ApiResult AdjustShutdownPrivilege(HANDLE token, bool enable) = 0;
    virtual void CloseToken(HANDLE token) = 0;
    // A shutdown of this machine with no message, no delay and no forced closing.
    virtual bool InitiateShutdown(bool restart) = 0;
    virtual bool RequestExitWindows(UINT flags) = 0;
    // rundll32.exe with these parameters, through the shell's "open", shown normally.
    virtual bool StartRundll(HWND owner, const std::wstring& parameters) = 0;
    virtual UINT DriveType(const std::wstring& root) = 0;
    // "\\.\X:", shared for reading and writing; INVALID_HANDLE_VALUE on failure.
    virtual HANDLE OpenVolume(wchar_t letter, DWORD access) = 0;
    virtual bool VolumeControl(HANDLE volume, DWORD code, void* in, DWORD inSize) = 0;
    virtual void CloseVolume(HANDLE volume) = 0;
    virtual void Sleep(DWORD ms) = 0;
    virtual bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) = 0;
    // Invokes a command of a shell context menu by its offset.
    virtual HRESULT InvokeMenuCommand(IContextMenu* menu, UINT offset, HWND owner) = 0;
};

// The set in use: the real one unless a test put another in place.
ISystemActions& SystemActions();
// Null puts the real one back.
void SetSystemActions(ISystemActions* actions);
