// Ending Windows, the disk utilities and the dialogs "EXITWIN" and "DISKSTATION".
#include "frame/SystemCommands.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "frame/SystemActions.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/DriveMedia.h"
#include "resource.h"
#include <shlobj.h>
#include <winioctl.h>
#include <cwctype>
#include <vector>

namespace {
void StepFailed(const wchar_t* text)
{
    ::MessageBoxW(nullptr, text, ProductName, MB_OK | MB_ICONSTOP);
}

DWORD WINAPI LogoffThread(void* parameter)
{
    HWND main = static_cast<HWND>(parameter);
    if (SystemActions().RequestExitWindows(EWX_LOGOFF)) ::PostMessageW(main, WM_QUIT, 0, 0);
    return 0;
}

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() { if (p) p->Release(); }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
    explicit operator bool() const { return p != nullptr; }
};

struct CoTaskPidl {
    LPITEMIDLIST p = nullptr;
    ~CoTaskPidl() { if (p) ::CoTaskMemFree(p); }
};
}

void ShutdownWindows(bool restart)
{
    ISystemActions& system = SystemActions();
    HANDLE token = nullptr;
    bool opened = system.OpenProcessToken(token);
    if (!opened) StepFailed(L"OpenProcessToken failed.");
    ApiResult enable = system.AdjustShutdownPrivilege(token, true);
    // The call succeeds when the privilege was not granted, and says so only in the last error.
    if (!enable.ok || enable.error == ERROR_NOT_ALL_ASSIGNED) StepFailed(L"AdjustTokenPrivileges enable failed.");
    if (!system.InitiateShutdown(restart)) StepFailed(L"InitiateSystemShutdown failed.");
    ApiResult disable = system.AdjustShutdownPrivilege(token, false);
    if (!disable.ok) StepFailed(L"AdjustTokenPrivileges disable failed.");
    if (opened) system.CloseToken(token);
}

void ShutdownFromIcon(HWND owner)
{
    if (GetProfileInt(L"Algemeen", L"BevestigingStopIcon", 0) != 0 &&
        ShowMessage(owner, L"Shutdown?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    ShutdownWindows(false);
}

HANDLE StartLogoff(HWND mainWindow)
{
    return ::CreateThread(nullptr, 0, LogoffThread, mainWindow, 0, nullptr);
}

void StartDiskTool(HWND owner, bool format)
{
    HelpContextScope help(format ? 6227 : 6229);
    bool started;
    {
        // The system's own error boxes are allowed while it starts; the normal mode comes back on every path.
        fw::ErrorModeScope errors(0);
        started = SystemActions().StartRundll(owner, format ? L"shell32.dll,SHFormatDrive"
                                                            : L"diskcopy.dll,DiskCopyRunDll");
    }
    if (!started) ShowMessage(owner, fw::LoadStr(IDS_STARTFAILED) + L"rundll32.exe", MB_OK | MB_ICONWARNING);
}

bool ShowDriveProperties(wchar_t letter, HWND owner)
{
    wchar_t root[] = L"?:\\";
    root[0] = letter;
    ComPtr<IShellFolder> desktop, drives;
    if (FAILED(::SHGetDesktopFolder(&desktop))) return false;
    CoTaskPidl drivesPidl, child;
    if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drivesPidl.p))) return false;
    if (FAILED(desktop->BindToObject(drivesPidl.p, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&drives))))
        return false;
    if (FAILED(drives->ParseDisplayName(owner, nullptr, root, nullptr, &child.p, nullptr))) return false;
    ComPtr<IContextMenu> menu;
    LPCITEMIDLIST items[1] = {child.p};
    if (FAILED(drives->GetUIObjectOf(owner, 1, items, IID_IContextMenu, nullptr, reinterpret_cast<void**>(&menu))))
        return false;
    HMENU popup = ::CreatePopupMenu();
    bool invoked = false;
    if (SUCCEEDED(menu->QueryContextMenu(popup, 0, 1, 0x7FFF, CMF_NORMAL))) {
        // The command is found by its verb: its number differs between shells.
        for (int i = 0, n = ::GetMenuItemCount(popup); i < n && !invoked; ++i) {
            UINT id = ::GetMenuItemID(popup, i);
            if (id == 0 || id == static_cast<UINT>(-1)) continue;
            wchar_t verb[64] = {};
            if (FAILED(menu->GetCommandString(id - 1, GCS_VERBW, nullptr, reinterpret_cast<char*>(verb), 64))) continue;
            if (lstrcmpiW(verb, L"properties") == 0)
                invoked = SUCCEEDED(SystemActions().InvokeMenuCommand(menu.p, id - 1, owner));
        }
    }
    ::DestroyMenu(popup);
    return invoked;
}

EjectOutcome EjectMedium(wchar_t letter, const std::function<void()>& leaveDrive)
{
    ISystemActions& system = SystemActions();
    wchar_t root[] = L"?:\\";
    root[0] = static_cast<wchar_t>(std::towupper(letter));
    UINT type = system.DriveType(root);
    if (type != DRIVE_REMOVABLE && type != DRIVE_CDROM) return EjectOutcome::NotRemovable;
    // The panels' directories would keep the volume from being locked.
    if (leaveDrive) leaveDrive();
    DWORD access = type == DRIVE_REMOVABLE ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    HANDLE volume = system.OpenVolume(root[0], access);
    if (volume == INVALID_HANDLE_VALUE || volume == nullptr) {
        ShowLastError(0);
        return EjectOutcome::OpenFailed;
    }
    EjectOutcome outcome = EjectOutcome::NotLocked;
    bool locked = false;
    for (int attempt = 0; attempt < 20 && !locked; ++attempt) {
        if (attempt > 0) system.Sleep(500);
        locked = system.VolumeControl(volume, FSCTL_LOCK_VOLUME, nullptr, 0);
    }
    if (locked) {
        outcome = EjectOutcome::NotDismounted;
        if (system.VolumeControl(volume, FSCTL_DISMOUNT_VOLUME, nullptr, 0)) {
            PREVENT_MEDIA_REMOVAL removal = {};
            removal.PreventMediaRemoval = FALSE;
            outcome = EjectOutcome::NotEjected;
            if (system.VolumeControl(volume, IOCTL_STORAGE_MEDIA_REMOVAL, &removal, sizeof(removal)) &&
                system.VolumeControl(volume, IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0))
                outcome = EjectOutcome::Ejected;
        }
    }
    system.CloseVolume(volume);
    if (outcome == EjectOutcome::NotLocked)
        ShowMessage(nullptr, fw::LoadStr(IDS_EJECT_LOCKFAILED) + root[0] + L":", MB_OK | MB_ICONWARNING);
    return outcome;
}

bool CExitWinDialog::OnCommand(UINT id, UINT code, HWND)
{
    if (id == IDC_EXITWIN_SHUTDOWN || id == IDC_EXITWIN_RESTART || id == IDC_EXITWIN_LOGOFF) {
        End(id);
        return true;
    }
    return false;
}

bool CDiskStationDialog::OnInit()
{
    HWND box = Item(IDC_DISK_DRIVES);
    DWORD length = ::GetLogicalDriveStringsW(0, nullptr);
    std::vector<wchar_t> strings(length + 1, L'\0');
    ::GetLogicalDriveStringsW(length, strings.data());
    int select = 0;
    for (const wchar_t* p = strings.data(); *p; p += lstrlenW(p) + 1) {
        wchar_t letter = static_cast<wchar_t>(std::towupper(p[0]));
        wchar_t label[MAX_PATH + 1] = {};
        UINT type = ::GetDriveTypeW(p);
        // Removable media are not touched here: an empty drive would only answer slowly.
        if (type == DRIVE_FIXED || type == DRIVE_REMOTE || type == DRIVE_RAMDISK)
            ::GetVolumeInformationW(p, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
        std::wstring text = DriveEntryText(letter, label[0] ? std::wstring(L" ") + label : std::wstring());
        LRESULT index = ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (initial && std::towupper(initial) == letter) select = static_cast<int>(index);
    }
    ::SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(select), 0);
    return true;
}

void CDiskStationDialog::OnOK()
{
    HWND box = Item(IDC_DISK_DRIVES);
    LRESULT index = ::SendMessageW(box, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    LRESULT length = ::SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(
        ::SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()))));
    chosen = text;
    End(IDOK);
}
