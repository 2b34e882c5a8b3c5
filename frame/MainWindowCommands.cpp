// The command routing table: what the main window does for every command id.
#include "frame/MainWindow.h"
#include "common/Program.h"
#include "common/RecentDirectories.h"
#include "common/Settings.h"
#include "fileops/FileSystem.h"
#include "frame/CompareCommands.h"
#include "frame/DirHistDialog.h"
#include "framework/TextDialog.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include "tools/dircompare/DirCompareCommand.h"
#include "tools/sysinfo/SystemInfoDialog.h"
#include <shellapi.h>
#include <winnetwk.h>

namespace {
enum RouteKind {
    Own,          // the main window's handler
    PanelRequest, // post the request to the active panel
    PanelFocus,   // post the request and focus the panel
};

struct Route {
    UINT id;
    RouteKind kind;
    UINT request;       // for panel requests
    UINT ftpRefusal;    // 4480 or 4510 when the command makes no sense on FTP
    bool available;     // false: the part behind it is not built yet
};

// Panel requests whose handlers exist are marked available; the rest are greyed.
const Route Routes[] = {
    {IDM_PRINT, Own, 0, IDS_NOTONFTP_PRINT, true},
    {IDM_VIEW, PanelRequest, req::View, 0, true},
    {IDM_EDIT, PanelRequest, req::Edit, 0, true},
    {IDM_EDITNEW, PanelRequest, req::EditNew, 0, true},
    {IDM_HEXEDIT, PanelRequest, req::HexEdit, 0, true},
    {IDM_COPY, PanelFocus, req::Copy, 0, true},
    {IDM_RENMOVE, PanelFocus, req::RenMove, 0, true},
    {IDM_MKDIR, PanelFocus, req::MkDir, 0, true},
    {IDM_DELETE, PanelFocus, req::Delete, 0, true},
    {IDM_DELETENOW, PanelFocus, req::Delete, 0, true},
    {IDM_FILESEARCH, PanelRequest, req::FileSearch, 0, true},
    {IDM_ATTRIBUTES, Own, 0, IDS_NOTONFTP, true},
    {IDM_DATETIME, Own, 0, IDS_NOTONFTP, true},
    {IDM_ASSOCIATE, PanelRequest, req::Associate, IDS_NOTONFTP, true},
    {IDM_CALCSPACE, PanelRequest, req::CalcSpace, 0, true},
    {IDM_INVERT, PanelRequest, req::Invert, 0, true},
    {IDM_ZIP, PanelRequest, req::Zip, IDS_NOTONFTP, true},
    {IDM_ZIPSELF, PanelRequest, req::Zip, IDS_NOTONFTP, true},
    {IDM_OPENARCH, PanelRequest, req::OpenArchive, IDS_NOTONFTP, true},
    {IDM_CD, PanelRequest, req::ChangeDir, 0, true},
    {IDM_PRTDIR, PanelFocus, req::PrintDir, 0, true},
    {IDM_PRTTREE, PanelFocus, req::PrintTree, 0, true},
    {IDM_SAVEDIR, PanelFocus, req::SaveDir, 0, true},
    {IDM_SAVETREE, PanelFocus, req::SaveTree, 0, true},
    {IDM_EXTENDDOWN, PanelRequest, req::ExtendFirst + 0, 0, true},
    {IDM_EXTENDUP, PanelRequest, req::ExtendFirst + 1, 0, true},
    {IDM_EXTENDPAGEDOWN, PanelRequest, req::ExtendFirst + 2, 0, true},
    {IDM_EXTENDPAGEUP, PanelRequest, req::ExtendFirst + 3, 0, true},
    {IDM_EXTENDHOME, PanelRequest, req::ExtendFirst + 4, 0, true},
    {IDM_EXTENDEND, PanelRequest, req::ExtendFirst + 5, 0, true},
    {IDM_COLSIZES, PanelRequest, req::ColumnSizes, 0, true},
    {IDM_SHORTCUT, PanelRequest, req::Shortcut, IDS_NOTONFTP, true},
    {IDM_SORTNAME, PanelRequest, req::SortName, 0, true},
    {IDM_SORTEXT, PanelRequest, req::SortExtension, 0, true},
    {IDM_SORTSIZE, PanelRequest, req::SortSize, 0, true},
    {IDM_SORTDATE, PanelRequest, req::SortDate, 0, true},
    {IDM_FILECOMP, Own, 0, IDS_NOTONFTP_PRINT, true},
    {IDM_SYNCH, Own, 0, 0, true},
    {IDM_FILTER, Own, 0, IDS_NOTONFTP, true},
    {IDM_SELECT, Own, 0, 0, true},
    {IDM_DESELECT, Own, 0, 0, true},
    {IDM_SELECTALL, Own, 0, 0, true},
    {IDM_DESELECTALL, Own, 0, 0, true},
    {IDC_SELALLL, Own, 0, 0, true},
    {IDC_DESELALLL, Own, 0, 0, true},
    {IDC_SELALLR, Own, 0, 0, true},
    {IDC_DESELALLR, Own, 0, 0, true},
    {IDM_HELP, Own, 0, 0, true},
    {IDM_HELPCONTEXT, Own, 0, 0, true},
    {IDM_HELPSEARCH, Own, 0, 0, true},
    {IDM_HELPONHELP, Own, 0, 0, true},
    {IDM_ABOUT, Own, 0, 0, true},
    {IDM_ABOUTWINDOWS, Own, 0, 0, true},
    {IDM_EXIT, Own, 0, 0, true},
    {IDM_REFRESH, Own, 0, 0, true},
    {IDM_SWAP, Own, 0, 0, true},
    {IDM_DIRHIST, Own, 0, 0, true},
    {IDC_ROOTL, Own, 0, 0, true},
    {IDC_ROOTR, Own, 0, 0, true},
    {IDC_PARENTL, Own, 0, 0, true},
    {IDC_PARENTR, Own, 0, 0, true},
    {IDM_PARENT, Own, 0, 0, true},
    {IDC_BACKL, Own, 0, 0, true},
    {IDC_BACKR, Own, 0, 0, true},
    {IDM_DRIVEBOXL, Own, 0, 0, true},
    {IDM_DRIVEBOXR, Own, 0, 0, true},
    {IDM_TOGGLEPANEL, Own, 0, 0, true},
    {IDM_FOCUSCMDLINE, Own, 0, 0, true},
    {IDM_ESCAPE, Own, 0, 0, true},
    {IDM_SAVEPATHS, Own, 0, 0, true},
    {IDM_SAVESORT, Own, 0, 0, true},
    {IDM_PANELFONT, Own, 0, 0, true},
    {IDM_GENFONT, Own, 0, 0, true},
    {IDM_CONNECT, Own, 0, 0, true},
    {IDM_DISCON, Own, 0, 0, true},
    {IDM_DIRCOMP, Own, 0, 0, true},
    {IDM_EXITWIN, Own, 0, 0, true},
    {IDM_FTPSITES, Own, 0, 0, true},
    {IDM_DSKPROP, Own, 0, 0, true},
    {IDM_DSKFRMT, Own, 0, 0, true},
    {IDM_DSKCPY, Own, 0, 0, true},
    {IDM_EJECT, Own, 0, 0, true},
    {IDM_SYSINFO, Own, 0, 0, true},
    {IDM_CONFIG, Own, 0, 0, true},
    {IDM_COLORS, Own, 0, 0, true},
    {IDM_PATHS, Own, 0, 0, true},
    {IDM_PRINTSETTINGS, Own, 0, 0, true},
    {IDM_COMPSETTINGS, Own, 0, 0, true},
    {IDM_FTPSETTINGS, Own, 0, 0, true},
    {IDM_CONFIRMATIONS, Own, 0, 0, true},
    {IDM_FKEYS, Own, 0, 0, true},
    {IDM_PRSETUP, Own, 0, 0, true},
    {IDM_CMDBUTTON, Own, 0, 0, true},
};

const Route* FindRoute(UINT id)
{
    for (const Route& r : Routes)
        if (r.id == id) return &r;
    return nullptr;
}

std::wstring HelpFilePath(const wchar_t* name)
{
    wchar_t module[MAX_PATH * 4] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, module, MAX_PATH * 4);
    std::wstring path(module, n);
    return path.substr(0, path.find_last_of(L'\\')) + L"\\" + name;
}
}

bool CMainWindow::IsCommandAvailable(UINT id) const
{
    if (id >= IDM_FKEY_F2 && id <= IDM_FKEY_F10) return IsCommandAvailable(CommandAt(functionKeyMap.position[id - IDM_FKEY_F2]));
    const Route* route = FindRoute(id);
    return route && route->available;
}

void CMainWindow::UpdateFunctionKeyStates()
{
    for (int k = 0; k < 9; ++k)
        if (functionKeys[k + 1]) ::EnableWindow(functionKeys[k + 1]->Handle(), IsCommandAvailable(IDM_FKEY_F2 + k));
}

void CMainWindow::UpdateMenuStates(HMENU menu)
{
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        UINT id = ::GetMenuItemID(menu, i);
        if (id == static_cast<UINT>(-1) || id == 0) continue;
        ::EnableMenuItem(menu, i, MF_BYPOSITION | (IsCommandAvailable(id) ? MF_ENABLED : MF_GRAYED));
    }
}

bool CMainWindow::OnCommand(UINT id, UINT code, HWND control)
{
    if (control && (id == IDC_DRIVEL || id == IDC_DRIVER || id == IDC_CMDLINE)) return false;
    return RunCommand(id);
}

bool CMainWindow::RunCommand(UINT id)
{
    if (id >= IDM_FKEY_F2 && id <= IDM_FKEY_F10) {
        int command = CommandAt(functionKeyMap.position[id - IDM_FKEY_F2]);
        if (command) ::PostMessageW(hwnd, WM_COMMAND, command, 0);
        return true;
    }
    // Application buttons (MainWindowLaunch.cpp).
    if (id >= IDC_APPBUTTON1 && id < IDC_APPBUTTON1 + 20) {
        LaunchAppButton(static_cast<int>(id - IDC_APPBUTTON1 + 1));
        return true;
    }
    const Route* route = FindRoute(id);
    if (!route) return false;
    if (route->ftpRefusal && ActivePanel().drive == L"FTP") {
        ShowWarning(route->ftpRefusal);
        return true;
    }
    if (route->ftpRefusal == IDS_NOTONFTP_PRINT && id == IDM_FILECOMP && InactivePanel().drive == L"FTP") {
        ShowWarning(route->ftpRefusal);
        return true;
    }
    if (!route->available) return true; // greyed in the menu; its key does nothing either
    // The delete mode is the one of the command used last; a directory move uses it too.
    if (id == IDM_DELETE) operation.recycleMode = true;
    if (id == IDM_DELETENOW) operation.recycleMode = false;
    if (route->kind != Own) {
        CFileList& panel = ActivePanel();
        ::PostMessageW(panel.Handle(), route->request, id == IDM_ZIPSELF ? 1 : 0, 0);
        if (route->kind == PanelFocus) ::SetFocus(panel.Handle());
        return true;
    }
    switch (id) {
    case IDM_HELP: OnHelp(Program().helpContext ? HELP_CONTEXT : HELP_FINDER, Program().helpContext); break;
    case IDM_HELPCONTEXT: OnHelp(HELP_CONTEXT, IDM_HELPCONTEXT); break;
    case IDM_HELPSEARCH: OnHelp(HELP_PARTIALKEY, 0); break;
    case IDM_HELPONHELP: OnHelp(HELP_CONTENTS, 0, L"WINHELP.HLP"); break;
    case IDM_ABOUT: {
        HelpContextScope help(IDM_ABOUT);
        fw::CDialog about(L"ABOUTDLG");
        about.DoModal(hwnd);
        break;
    }
    case IDM_ABOUTWINDOWS:
        ::ShellAboutW(hwnd, ProductName, L"", ::LoadIconW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDI_MAIN)));
        break;
    case IDM_EXIT: ::PostMessageW(hwnd, WM_CLOSE, 0, 0); break;
    case IDM_REFRESH:
        ActivePanel().keepMarks = false;
        ::PostMessageW(hwnd, pm::ScreenUpdate, reinterpret_cast<WPARAM>(ActivePanel().Handle()), 0);
        break;
    case IDM_SWAP: OnSwap(); break;
    case IDM_DIRHIST: OnDirHist(); break;
    case IDC_ROOTL: case IDC_ROOTR: GoRootOrParent(id == IDC_ROOTL, true); break;
    case IDC_PARENTL: case IDC_PARENTR: GoRootOrParent(id == IDC_PARENTL, false); break;
    case IDM_PARENT: GoRootOrParent(leftActive, false); break;
    case IDC_BACKL: case IDC_BACKR: GoBack(id == IDC_BACKL); break;
    case IDM_DRIVEBOXL: case IDM_DRIVEBOXR: {
        fw::CComboBox box = Side(id == IDM_DRIVEBOXL).driveBox.Box();
        ::SetFocus(box.Handle());
        box.ShowDropDown(true);
        break;
    }
    case IDM_TOGGLEPANEL: TogglePanel(); break;
    case IDM_FOCUSCMDLINE: {
        HWND focus = ::GetFocus();
        if (focus == left.panel.Handle() || focus == right.panel.Handle()) ::SetFocus(cmdLine.Handle());
        else ::SetFocus(ActivePanel().Handle());
        break;
    }
    case IDM_ESCAPE:
        if (GetProfileInt(L"Algemeen", L"EscActiveert", 0) == 1) ::DefWindowProcW(hwnd, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
        break;
    case IDM_SAVEPATHS:
        WriteProfileString(L"Paden", L"Links", left.panel.path);
        WriteProfileString(L"Paden", L"Rechts", right.panel.path);
        WriteProfileInt(L"WinPositie", L"LeftActive", leftActive ? 1 : 0);
        break;
    case IDM_SAVESORT:
        WriteProfileInt(L"Paden", L"LSort", left.panel.sortMode);
        WriteProfileInt(L"Paden", L"RSort", right.panel.sortMode);
        break;
    case IDM_FILTER: OnFilter(); break;
    case IDM_SELECT: case IDM_DESELECT: OnMarkDialog(id == IDM_SELECT); break;
    case IDM_SELECTALL: case IDM_DESELECTALL: SelectAll(leftActive, id == IDM_SELECTALL); break;
    case IDC_SELALLL: case IDC_DESELALLL: SelectAll(true, id == IDC_SELALLL); break;
    case IDC_SELALLR: case IDC_DESELALLR: SelectAll(false, id == IDC_SELALLR); break;
    case IDM_PANELFONT: {
        HelpContextScope help(IDM_PANELFONT);
        ChoosePanelFont();
        break;
    }
    case IDM_GENFONT: {
        HelpContextScope help(IDM_GENFONT);
        ChooseGeneralFont();
        break;
    }
    case IDM_CONNECT: case IDM_DISCON: OnNetworkDialog(id == IDM_CONNECT); break;
    // Command line and function keys (MainWindowLaunch.cpp).
    case IDM_CMDBUTTON: RunCommandLine(); break;
    case IDM_FKEYS: OnFunctionKeysDialog(); break;
    case IDM_ATTRIBUTES: {
        CFileList& panel = ActivePanel();
        if (panel.BusyCount() != 0) {
            ShowWarning(IDS_NOENTRY);
            break;
        }
        bool several = panel.List().GetSelectedCount() > 1;
        ::PostMessageW(panel.Handle(), several ? req::AttributesMany : req::AttributesOne, 0, 0);
        break;
    }
    case IDM_SYSINFO: {
        HelpContextScope help(IDM_SYSINFO);
        CSystemInfoDialog info;
        info.DoModal(hwnd);
        break;
    }
    // Printing, options and system commands (MainWindowSystem.cpp).
    case IDM_PRINT: case IDM_CONFIG: case IDM_PATHS: case IDM_COLORS: case IDM_CONFIRMATIONS:
    case IDM_PRINTSETTINGS: case IDM_PRSETUP: case IDM_EXITWIN: case IDM_DSKPROP: case IDM_DSKFRMT:
    case IDM_DSKCPY: case IDM_EJECT: OnSystemCommand(id); break;
    // File compare (CompareCommands.cpp).
    case IDM_FILECOMP: CompareCurrentFiles(*this); break;
    case IDM_FTPSITES: OnFtpSites(); break;
    case IDM_FTPSETTINGS: OnFtpSettings(); break;
    case IDM_COMPSETTINGS: EditCompareSettings(hwnd); break;
    // Directory compare and synchronise (tools/dircompare).
    case IDM_DIRCOMP: CompareDirectories(*this); break;
    // Either panel FTP or showing found files is refused inside, in that order.
    case IDM_SYNCH: SynchroniseDirectories(*this); break;
    case IDM_DATETIME: {
        CFileList& panel = ActivePanel();
        bool several = panel.List().GetSelectedCount() > 1;
        ::PostMessageW(panel.Handle(), several ? req::DateTimeMany : req::DateTimeOne, 0, 0);
        break;
    }
    }
    return true;
}

void CMainWindow::OnHelp(UINT command, DWORD_PTR data, const wchar_t* file)
{
    std::wstring path = HelpFilePath(file ? file : L"PD.HLP");
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ::MessageBoxW(hwnd, (fw::LoadStr(IDS_NOHELPFILE) + path).c_str(), ProductName, MB_OK | MB_ICONWARNING);
        return;
    }
    fw::ErrorModeScope errors(0);
    ::WinHelpW(hwnd, path.c_str(), command, command == HELP_PARTIALKEY ? reinterpret_cast<DWORD_PTR>(L"") : data);
}

void CMainWindow::PushHistory(bool isLeft)
{
    CFileList& p = Side(isLeft).panel;
    std::wstring driveText = p.drive == L"FTP" ? p.drive : p.drive.substr(0, 2);
    history[isLeft ? 0 : 1].Push(p.path, driveText);
}

void CMainWindow::OnSwap()
{
    CFileList& l = left.panel;
    CFileList& r = right.panel;
    std::swap(l.drive, r.drive);
    std::swap(l.path, r.path);
    l.keepMarks = r.keepMarks = false;
    leftActive = !leftActive;
    OnScreenUpdate(nullptr);
    for (CFileList* p : {&l, &r}) p->SetSortArrow(p->sortColumn, p->sortAscending);
}

void CMainWindow::OnDirHist()
{
    HelpContextScope help(IDM_DIRHIST);
    CDirHistDialog dialog;
    if (dialog.DoModal(hwnd) != IDOK || dialog.Chosen().size() < 2) return;
    CFileList& p = ActivePanel();
    std::wstring dir = dialog.Chosen();
    PushHistory(leftActive);
    p.SetDirectory(std::wstring(1, dir[0]) + L":\\", dir);
    p.keepMarks = false;
    MakeCurrentDirectory(dir);
    OnDriveUpdate(p.Handle());
}

void CMainWindow::GoRootOrParent(bool isLeft, bool root)
{
    CFileList& p = Side(isLeft).panel;
    if (p.drive == L"FTP") {
        if (root) p.FtpRoot();
        else p.FtpEnter(L"..", true);
        OnPanelActivated(p.Handle());
        return;
    }
    PushHistory(isLeft);
    std::wstring target = p.path;
    if (root) target = target.substr(0, std::min<size_t>(3, target.size()));
    else if (target.size() > 3) {
        size_t slash = target.find_last_of(L'\\', target.size() - (target.back() == L'\\' ? 2 : 1));
        target = slash == std::wstring::npos || slash < 3 ? target.substr(0, 3) : target.substr(0, slash);
    }
    if (::GetFileAttributesW(LongPath(target).c_str()) != INVALID_FILE_ATTRIBUTES) p.path = target;
    MakeCurrentDirectory(p.path);
    p.keepMarks = false;
    int d = 0;
    if (!p.path.empty() && p.path.back() != L'\\')
        for (wchar_t c : p.path) d += c == L'\\';
    if (d < PanelDepths) p.topIndex[d] = p.focusIndex[d] = 0;
    ScheduleRefresh(isLeft);
    OnPanelActivated(p.Handle());
}

void CMainWindow::GoBack(bool isLeft)
{
    HistoryEntry entry = history[isLeft ? 0 : 1].Pop();
    if (entry.drive.empty()) return;
    CFileList& p = Side(isLeft).panel;
    p.SetDirectory(entry.drive == L"FTP" ? entry.drive : entry.drive + L"\\", entry.directory);
    p.keepMarks = false;
    OnDriveUpdate(p.Handle());
}

void CMainWindow::OnFilter()
{
    HelpContextScope help(IDM_FILTER);
    fw::CTextDialog dialog(L"FILTER", IDC_TEXT_FIELD, Program().fileMask);
    if (dialog.DoModal(hwnd) != IDOK) return;
    Program().fileMask = dialog.Text().empty() ? L"*.*" : dialog.Text();
    ActivePanel().keepMarks = false;
    ::PostMessageW(hwnd, pm::ScreenUpdate, reinterpret_cast<WPARAM>(ActivePanel().Handle()), 0);
}

void CMainWindow::SelectAll(bool isLeft, bool mark)
{
    CFileList& p = Side(isLeft).panel;
    if (p.drive != L"FTP") MakeCurrentDirectory(p.path);
    p.MarkByMask(L"*.*", mark, true);
    p.UpdateSelectionSummary();
}

void CMainWindow::OnNetworkDialog(bool connect)
{
    DWORD result = connect ? ::WNetConnectionDialog(hwnd, RESOURCETYPE_DISK) : ::WNetDisconnectDialog(hwnd, RESOURCETYPE_DISK);
    if (result == NO_ERROR) {
        ::PostMessageW(hwnd, pm::DriveStatistics, reinterpret_cast<WPARAM>(ActivePanel().Handle()), 0);
        return;
    }
    if (result == static_cast<DWORD>(-1)) return; // cancelled
    DWORD providerError = 0;
    wchar_t text[512] = {}, provider[128] = {};
    if (result == ERROR_EXTENDED_ERROR) ::WNetGetLastErrorW(&providerError, text, 512, provider, 128);
    else ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, result, 0, text, 512, nullptr);
    ::MessageBoxW(hwnd, (fw::LoadStr(IDS_NETERROR) + text).c_str(), ProductName, MB_OK | MB_ICONWARNING);
}

void CMainWindow::OnMarkDialog(bool mark)
{
    HelpContextScope help(mark ? IDM_SELECT : IDM_DESELECT);
    fw::CTextDialog dialog(mark ? L"MARK" : L"UNMARK", IDC_TEXT_FIELD, L"*.*");
    if (dialog.DoModal(hwnd) != IDOK || dialog.Text().empty()) return;
    CFileList& p = ActivePanel();
    if (p.drive != L"FTP") MakeCurrentDirectory(p.path);
    p.MarkByMask(dialog.Text(), mark, false);
}
