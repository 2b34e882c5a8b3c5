// Ending Windows, the disk utilities and the dialogs "EXITWIN" and "DISKSTATION".
#pragma once
#include "framework/Dialog.h"
#include <windows.h>
#include <functional>
#include <string>

// Shuts down (or restarts) this machine with the shutdown privilege; each failing step is reported
// in a box of its own and the steps after it are still tried.
void ShutdownWindows(bool restart);
// The shutdown icon's click: asks first when "BevestigingStopIcon" is on.
void ShutdownFromIcon(HWND owner);
// Asks for a log-off on a thread of its own; when the request is accepted the main window's loop
// gets the quit message. Returns the thread, for the caller to wait on and close.
HANDLE StartLogoff(HWND mainWindow);
// Format (true) or copy a disk through rundll32; the error mode is back at its normal value after.
void StartDiskTool(HWND owner, bool format);
// The properties of a drive's root through the shell's "properties" command.
bool ShowDriveProperties(wchar_t letter, HWND owner);

enum class EjectOutcome { NotRemovable, OpenFailed, NotLocked, NotDismounted, NotEjected, Ejected };
// Ejects the medium of a removable or CD drive; leaveDrive first moves whatever this program
// holds off the drive.
EjectOutcome EjectMedium(wchar_t letter, const std::function<void()>& leaveDrive);

// "EXITWIN": returns 1390 (shut down), 1400 (restart), 1410 (log off) or IDCANCEL.
class CExitWinDialog : public fw::CDialog {
public:
    CExitWinDialog() : CDialog(L"EXITWIN") {}

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override;
};

// "DISKSTATION": a drive chosen from the list; its text is "[-X-] label", the letter third.
class CDiskStationDialog : public fw::CDialog {
public:
    CDiskStationDialog() : CDialog(L"DISKSTATION") {}
    const std::wstring& Chosen() const { return chosen; }
    // The drive letter of the chosen text, 0 when there is none.
    wchar_t Letter() const { return chosen.size() >= 3 ? chosen[2] : 0; }
    // The initial selection: the entry of this drive letter.
    wchar_t initial = 0;

protected:
    bool OnInit() override;
    void OnOK() override;

private:
    std::wstring chosen;
};
