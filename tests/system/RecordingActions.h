// A system-actions set that records what would run and answers as told; notification icons go on
// to the real notification area.
#pragma once
#include "frame/SystemActions.h"
#include <winioctl.h>
#include <mutex>
#include <string>
#include <vector>

namespace test {

class RecordingActions : public ISystemActions {
public:
    RecordingActions() { SetSystemActions(this); }
    ~RecordingActions() override { SetSystemActions(nullptr); }

    // What the calls answer.
    bool openToken = true;
    ApiResult enableResult = {true, 0}, disableResult = {true, 0};
    bool shutdownResult = true, exitResult = true, rundllResult = true;
    UINT driveType = DRIVE_FIXED;
    bool openVolume = true;
    int lockFailures = 0; // the lock succeeds after this many failures
    bool dismountResult = true, removalResult = true, ejectResult = true;

    // What was called, in order, e.g. "InitiateShutdown restart=0".
    std::vector<std::wstring> Calls() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }
    void Clear()
    {
        std::lock_guard<std::mutex> lock(mutex);
        calls.clear();
    }
    std::vector<std::wstring> CallsStarting(const std::wstring& prefix) const
    {
        std::vector<std::wstring> found;
        for (const std::wstring& c : Calls())
            if (c.rfind(prefix, 0) == 0) found.push_back(c);
        return found;
    }
    UINT errorModeAtRundll = 0xFFFF;
    std::wstring lastInvokedVerb;

    bool OpenProcessToken(HANDLE& token) override
    {
        Record(L"OpenProcessToken");
        token = openToken ? reinterpret_cast<HANDLE>(0x1234) : nullptr;
        return openToken;
    }
    ApiResult AdjustShutdownPrivilege(HANDLE token, bool enable) override
    {
        Record(std::wstring(L"AdjustShutdownPrivilege ") + (enable ? L"enable" : L"disable") +
               (token ? L"" : L" null-token"));
        return enable ? enableResult : disableResult;
    }
    void CloseToken(HANDLE) override { Record(L"CloseToken"); }
    bool InitiateShutdown(bool restart) override
    {
        Record(std::wstring(L"InitiateShutdown restart=") + (restart ? L"1" : L"0"));
        return shutdownResult;
    }
    bool RequestExitWindows(UINT flags) override
    {
        Record(L"ExitWindows flags=" + std::to_wstring(flags));
        return exitResult;
    }
    bool StartRundll(HWND, const std::wstring& parameters) override
    {
        errorModeAtRundll = ::GetErrorMode();
        Record(L"rundll32 " + parameters);
        return rundllResult;
    }
    UINT DriveType(const std::wstring& root) override
    {
        Record(L"DriveType " + root);
        return driveType;
    }
    HANDLE OpenVolume(wchar_t letter, DWORD access) override
    {
        Record(std::wstring(L"OpenVolume ") + letter + (access & GENERIC_WRITE ? L" read-write" : L" read"));
        return openVolume ? reinterpret_cast<HANDLE>(0x5678) : INVALID_HANDLE_VALUE;
    }
    bool VolumeControl(HANDLE, DWORD code, void* in, DWORD) override
    {
        switch (code) {
        case FSCTL_LOCK_VOLUME:
            Record(L"Lock");
            return lockFailures-- <= 0;
        case FSCTL_DISMOUNT_VOLUME: Record(L"Dismount"); return dismountResult;
        case IOCTL_STORAGE_MEDIA_REMOVAL:
            Record(std::wstring(L"MediaRemoval prevent=") +
                   (static_cast<PREVENT_MEDIA_REMOVAL*>(in)->PreventMediaRemoval ? L"1" : L"0"));
            return removalResult;
        case IOCTL_STORAGE_EJECT_MEDIA: Record(L"Eject"); return ejectResult;
        }
        Record(L"VolumeControl " + std::to_wstring(code));
        return false;
    }
    void CloseVolume(HANDLE) override { Record(L"CloseVolume"); }
    void Sleep(DWORD ms) override { Record(L"Sleep " + std::to_wstring(ms)); }
    bool NotifyIcon(DWORD message, NOTIFYICONDATAW& data) override
    {
        Record(std::wstring(message == NIM_ADD ? L"NIM_ADD " : message == NIM_DELETE ? L"NIM_DELETE " : L"NIM ") +
               std::to_wstring(data.uID));
        return ::Shell_NotifyIconW(message, &data) != FALSE;
    }
    HRESULT InvokeMenuCommand(IContextMenu* menu, UINT offset, HWND) override
    {
        wchar_t verb[64] = {};
        menu->GetCommandString(offset, GCS_VERBW, nullptr, reinterpret_cast<char*>(verb), 64);
        lastInvokedVerb = verb;
        Record(L"InvokeMenuCommand " + lastInvokedVerb);
        return S_OK;
    }

private:
    void Record(const std::wstring& call)
    {
        std::lock_guard<std::mutex> lock(mutex);
        calls.push_back(call);
    }
    mutable std::mutex mutex;
    std::vector<std::wstring> calls;
};

} // namespace test
