// The main window's printing and options commands, its notification-area icons and the system commands.
#include "frame/MainWindow.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/Listing.h"
#include "fileops/PrinterDialogs.h"
#include "frame/OptionsDialogs.h"
#include "frame/ShellMenus.h"
#include "frame/SystemCommands.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include <cwctype>

bool CMainWindow::OnSystemCommand(UINT id)
{
    switch (id) {
    case IDM_PRINT: OnPrintFiles(); return true;
    case IDM_CONFIG: {
        HelpContextScope help(IDM_CONFIG);
        CConfigDialog dialog;
        if (dialog.DoModal(hwnd) != IDOK) return true;
        ::PostMessageW(hwnd, pm::ScreenUpdate, 0, 0);
        ::KillTimer(hwnd, TimerClock);
        if (GetProfileInt(L"Algemeen", L"DatumInTitel", 0)) ::SetTimer(hwnd, TimerClock, 1000, nullptr);
        std::wstring title = GetProfileString(L"Algemeen", L"Titel", L"");
        ::SetWindowTextW(hwnd, title.empty() ? ProductName : title.c_str());
        return true;
    }
    case IDM_PATHS: {
        HelpContextScope help(IDM_PATHS);
        CPathsDialog dialog;
        if (dialog.DoModal(hwnd) != IDOK) return true;
        ApplyPathsOptions();
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return true;
    }
    case IDM_CONFIRMATIONS: {
        HelpContextScope help(IDM_CONFIRMATIONS);
        CConfirmationsDialog dialog;
        dialog.DoModal(hwnd);
        return true;
    }
    case IDM_COLORS: {
        HelpContextScope help(IDM_COLORS);
        ColorSet current;
        current.rows = colors;
        current.frame = frameColor;
        current.frameIsSystem = frameColorIsSystem;
        CColorsDialog dialog(current);
        if (dialog.DoModal(hwnd) == IDOK) ApplyColors(dialog.Colors());
        return true;
    }
    case IDM_PRINTSETTINGS: {
        HelpContextScope help(IDM_PRINTSETTINGS);
        CPrintSettingsDialog dialog;
        dialog.DoModal(hwnd);
        return true;
    }
    case IDM_PRSETUP: {
        HelpContextScope help(IDM_PRSETUP);
        CPrinterSetupDialog dialog;
        dialog.DoModal(hwnd);
        return true;
    }
    case IDM_EXITWIN: {
        INT_PTR choice;
        {
            HelpContextScope help(5110);
            CExitWinDialog dialog;
            choice = dialog.DoModal(hwnd);
        }
        if (choice == IDC_EXITWIN_SHUTDOWN || choice == IDC_EXITWIN_RESTART) ShutdownWindows(choice == IDC_EXITWIN_RESTART);
        if (choice == IDC_EXITWIN_LOGOFF) {
            if (logoffThread) {
                ::WaitForSingleObject(logoffThread, INFINITE);
                ::CloseHandle(logoffThread);
            }
            logoffThread = StartLogoff(hwnd);
        }
        return true;
    }
    case IDM_DSKPROP: case IDM_DSKFRMT: case IDM_DSKCPY: case IDM_EJECT: OnDiskCommand(id); return true;
    }
    return false;
}

void CMainWindow::OnPrintFiles()
{
    CFileList& panel = ActivePanel();
    std::vector<std::wstring> chosen;
    fw::CListView& list = panel.List();
    for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED))
        if (const FileEntry* entry = panel.Entry(row); entry && entry->kind != EntryParent)
            chosen.push_back(panel.FullName(*entry));
    if (chosen.empty())
        if (const FileEntry* entry = panel.Entry(list.GetFocusedItem()); entry && entry->kind != EntryParent)
            chosen.push_back(panel.FullName(*entry));
    if (chosen.empty()) return;
    HGLOBAL dropList = MakeDropList(chosen);
    if (!dropList) return;
    if (!::PostMessageW(panel.Handle(), req::Print, reinterpret_cast<WPARAM>(dropList), 0)) ::GlobalFree(dropList);
    ::SetFocus(panel.Handle());
}

void CMainWindow::ApplyPathsOptions()
{
    trayIcons.ApplyStoredOptions(hwnd);
    ::KillTimer(hwnd, TimerClock);
    if (GetProfileInt(L"Algemeen", L"DatumInTitel", 1)) ::SetTimer(hwnd, TimerClock, 1000, nullptr);
    // The title exactly as typed, an empty one too, until the next start.
    ::SetWindowTextW(hwnd, GetProfileString(L"Algemeen", L"Titel", L"").c_str());
    UpdateLayout();
}

void CMainWindow::ApplyColors(const ColorSet& set)
{
    colors = set.rows;
    frameColor = set.frame;
    frameColorIsSystem = set.frameIsSystem;
    ::PostMessageW(hwnd, pm::ScreenUpdate, 0, 0);
    ::InvalidateRect(hwnd, nullptr, TRUE);
    ::InvalidateRect(left.panel.Handle(), nullptr, TRUE);
    ::InvalidateRect(right.panel.Handle(), nullptr, TRUE);
}

void CMainWindow::OnTrayIcon(UINT msg, LPARAM lp)
{
    if (static_cast<UINT>(lp) != WM_LBUTTONUP) return;
    switch (msg) {
    case pm::TrayStop: ShutdownFromIcon(hwnd); break;
    case pm::TrayMenu: {
        CDesktopMenu menu;
        {
            fw::WaitCursor wait;
            menu.Enumerate();
        }
        menu.Show(hwnd);
        break;
    }
    case pm::TrayControlPanel: ShowControlPanelMenu(hwnd); break;
    }
}

void CMainWindow::OnDiskCommand(UINT id)
{
    if (id == IDM_DSKFRMT || id == IDM_DSKCPY) {
        StartDiskTool(hwnd, id == IDM_DSKFRMT);
        return;
    }
    wchar_t letter;
    {
        HelpContextScope help(static_cast<int>(id));
        CDiskStationDialog dialog;
        const std::wstring& drive = ActivePanel().drive;
        dialog.initial = drive != L"FTP" && !drive.empty() ? drive[0] : 0;
        if (dialog.DoModal(hwnd) != IDOK) return;
        letter = dialog.Letter();
    }
    if (!letter) return;
    if (id == IDM_DSKPROP) ShowDriveProperties(letter, left.panel.Handle());
    else EjectMedium(letter, [this, letter] { LeaveDrive(letter); });
}

void CMainWindow::LeaveDrive(wchar_t letter)
{
    wchar_t upper = static_cast<wchar_t>(std::towupper(letter));
    // Another drive to go to: the start drive, else the first fixed one.
    std::wstring refuge = Program().defaultStartDirectory.substr(0, 3);
    if (refuge.size() < 3 || std::towupper(refuge[0]) == upper) {
        refuge.clear();
        DWORD drives = ::GetLogicalDrives();
        for (int i = 2; i < 26 && refuge.empty(); ++i) {
            wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
            if ((drives & (1u << i)) && root[0] != upper && ::GetDriveTypeW(root) == DRIVE_FIXED) refuge = root;
        }
    }
    if (refuge.empty()) return;
    for (bool isLeft : {true, false}) {
        CFileList& p = Side(isLeft).panel;
        if (p.drive == L"FTP" || p.path.empty() || std::towupper(p.path[0]) != upper) continue;
        p.SetDirectory(refuge, refuge);
        p.keepMarks = false;
        UpdateDriveBox(isLeft);
        SetPathLine(isLeft);
        ScheduleRefresh(isLeft);
    }
    DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring current(n, L'\0');
    current.resize(::GetCurrentDirectoryW(n, current.data()));
    if (!current.empty() && std::towupper(current[0]) == upper) ::SetCurrentDirectoryW(refuge.c_str());
}
