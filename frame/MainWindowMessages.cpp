// Reports from the panels, the refresh timers, the caption clock and the active-panel switch.
#include "frame/MainWindow.h"
#include "common/FtpConnection.h"
#include "framework/Dialog.h"
#include "common/Program.h"
#include "fileops/FileSystem.h"
#include "framework/Handles.h"
#include <shellapi.h>
#include <ctime>
#include <cwchar>
#include <cwctype>

void CMainWindow::ScheduleRefresh(bool isLeft)
{
    // Setting an armed timer again restarts it, so a burst of requests ends in one refresh.
    ::SetTimer(hwnd, isLeft ? TimerRefreshLeft : TimerRefreshRight, RefreshDelay, nullptr);
}

void CMainWindow::SetPathLine(bool isLeft)
{
    CFileList& p = Side(isLeft).panel;
    std::wstring text = p.path;
    if (text.empty() || text.back() != L'\\') text += L'\\';
    // A VMS server's names carry a version after ";": the mask says so.
    bool vms = p.drive == L"FTP" && FtpState().ftpConnected && FtpState().serverSystem == FtpSystemVms;
    text += vms ? std::wstring(L"*.*;*") : Program().fileMask;
    Side(isLeft).pathLine.SetText(text);
}

void CMainWindow::OnScreenUpdate(HWND reporter)
{
    bool makeLeft = reporter == left.panel.Handle() || reporter == left.driveBox.Handle() ||
                    (reporter == nullptr && leftActive);
    leftActive = makeLeft;
    CFileList& active = ActivePanel();
    UpdateDriveBox(true);
    UpdateDriveBox(false);
    InactivePanel().OnUpdate();
    active.OnUpdate();
    SetPathLine(true);
    SetPathLine(false);
    // A swap or a vanished directory changes what the panels show without a report of their own.
    FollowDirectory(true);
    FollowDirectory(false);
    RedrawDecorations();
}

void CMainWindow::OnPanelActivated(HWND reporter)
{
    bool isLeft = IsPanelHandle(reporter, true);
    if (!isLeft && !IsPanelHandle(reporter, false)) return;
    leftActive = isLeft;
    CFileList& p = ActivePanel();
    ::SetFocus(p.Handle());
    SetPathLine(isLeft);
    p.showsFoundFiles = false;
    RestartWatcher(isLeft);
    if (p.drive != L"FTP") MakeCurrentDirectory(p.path);
    ::DragAcceptFiles(InactivePanel().Handle(), TRUE);
    ::DragAcceptFiles(p.Handle(), FALSE);
    UpdateDriveBox(true);
    UpdateDriveBox(false);
    RedrawDecorations();
}

// The drive box follows its panel; when the panel's drive cannot be used it falls back to C:\.
void CMainWindow::UpdateDriveBox(bool isLeft)
{
    PanelSide& side = Side(isLeft);
    side.driveBox.drive = side.panel.drive.empty() ? L"C:\\" : side.panel.drive;
    side.driveBox.UpdateDriveInfo();
    const std::wstring& now = side.driveBox.drive;
    const std::wstring& was = side.panel.drive;
    bool fellBack = now != was && (was == L"FTP" || was.empty() || std::towupper(now[0]) != std::towupper(was[0]));
    if (fellBack)
        side.panel.SetDirectory(side.driveBox.drive, side.driveBox.drive);
}

void CMainWindow::OnDriveUpdate(HWND reporter)
{
    bool isLeft = IsPanelHandle(reporter, true);
    if (!isLeft && !IsPanelHandle(reporter, false)) return;
    CFileList& p = Side(isLeft).panel;
    if (reporter == Side(isLeft).driveBox.Handle()) {
        // A drive chosen in the box: the panel shows that drive's current directory.
        std::wstring chosen = Side(isLeft).driveBox.drive;
        std::wstring directory = chosen;
        if (chosen != L"FTP") {
            DWORD n = ::GetCurrentDirectoryW(0, nullptr);
            std::wstring current(n, L'\0');
            current.resize(::GetCurrentDirectoryW(n, current.data()));
            if (!current.empty() && std::towupper(current[0]) == std::towupper(chosen[0])) directory = current;
        }
        p.SetDirectory(chosen, directory);
        p.keepMarks = false;
        UpdateDriveBox(isLeft);
    }
    ScheduleRefresh(isLeft);
    ::SetFocus(p.Handle());
    SetPathLine(isLeft);
    RestartWatcher(isLeft);
    RedrawDecorations();
}

void CMainWindow::OnDriveStatistics(HWND reporter)
{
    bool isLeft = IsPanelHandle(reporter, true);
    if (!isLeft && !IsPanelHandle(reporter, false)) return;
    ScheduleRefresh(isLeft);
    left.driveBox.ShowDriveStatistics();
    right.driveBox.ShowDriveStatistics();
}

void CMainWindow::TogglePanel()
{
    leftActive = !leftActive;
    CFileList& p = ActivePanel();
    if (p.drive != L"FTP") MakeCurrentDirectory(p.path);
    RedrawDecorations();
    ::DragAcceptFiles(InactivePanel().Handle(), TRUE);
    ::DragAcceptFiles(p.Handle(), FALSE);
    ::SetFocus(p.Handle());
}

void CMainWindow::OnTimer(UINT_PTR id)
{
    switch (id) {
    case TimerClock:
        DrawCaptionClock();
        break;
    case 4: // FtpKeepAliveTimer
        OnFtpKeepAlive();
        break;
    case TimerRefreshLeft:
    case TimerRefreshRight: OnRefreshTimer(id == TimerRefreshLeft); break;
    }
}

std::wstring CMainWindow::ClockText(const SYSTEMTIME& now, wchar_t order, wchar_t separator)
{
    int a = now.wMonth, b = now.wDay, c = now.wYear % 100;
    if (order == L'1') { a = now.wDay; b = now.wMonth; }
    else if (order == L'2') { a = now.wYear % 100; b = now.wMonth; c = now.wDay; }
    wchar_t buffer[40];
    std::swprintf(buffer, 40, L"%02d/%02d/%02d   %02d:%02d:%02d", a, b, c, now.wHour, now.wMinute, now.wSecond);
    std::wstring text = buffer;
    if (separator) text[2] = text[5] = separator;
    return text;
}

void CMainWindow::DrawCaptionClock()
{
    HWND target = ::GetForegroundWindow();
    if (!target || ::GetWindow(target, GW_OWNER) || ::IsIconic(target)) return;
    LONG style = ::GetWindowLongW(target, GWL_STYLE);
    if ((style & WS_CAPTION) != WS_CAPTION || (style & WS_POPUP)) return;

    bool sizing = (style & WS_THICKFRAME) != 0;
    int frameX = ::GetSystemMetrics(sizing ? SM_CXSIZEFRAME : SM_CXFIXEDFRAME);
    int frameY = ::GetSystemMetrics(sizing ? SM_CYSIZEFRAME : SM_CYFIXEDFRAME);
    int buttonW = ::GetSystemMetrics(SM_CXSIZE), buttonH = ::GetSystemMetrics(SM_CYSIZE);
    RECT wr;
    ::GetWindowRect(target, &wr);
    int leftEdge = ::GetSystemMetrics(SM_CXBORDER) + 2 + frameX + ((style & WS_SYSMENU) ? buttonW : 0);
    int top = ::GetSystemMetrics(SM_CYBORDER) + frameY - (sizing ? 0 : 2);
    {
        fw::WindowDC screen(nullptr);
        if (::GetDeviceCaps(screen, LOGPIXELSY) <= 96) top += 1;
    }
    int rightEdge = (wr.right - wr.left) - 5 - (sizing ? frameX : 0) - 3 * buttonW;

    SYSTEMTIME now;
    ::GetLocalTime(&now);
    std::wstring text = ClockText(now, Program().dateOrder[0], Program().dateSeparator[0]);

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    fw::UniqueGdi captionFont(::CreateFontIndirectW(&metrics.lfCaptionFont));
    fw::WindowDC dc(target, true);
    fw::SelectScope useFont(dc, captionFont.Get());
    std::wstring caption(256, L'\0');
    caption.resize(::GetWindowTextW(target, caption.data(), 256));
    SIZE clockSize = {}, captionSize = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &clockSize);
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &captionSize);
    if (rightEdge - leftEdge < clockSize.cx + captionSize.cx) return;

    BOOL gradient = FALSE;
    ::SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0);
    ::SetTextColor(dc, ::GetSysColor(COLOR_CAPTIONTEXT));
    ::SetBkColor(dc, ::GetSysColor(gradient ? COLOR_GRADIENTACTIVECAPTION : COLOR_ACTIVECAPTION));
    RECT area = {leftEdge, top, rightEdge, top + buttonH};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
}

LRESULT CMainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    HWND reporter = reinterpret_cast<HWND>(wp);
    switch (msg) {
    case pm::ScreenUpdate: OnScreenUpdate(reporter); return 0;
    case pm::PanelActivated: OnPanelActivated(reporter); return 0;
    case pm::DriveUpdate: OnDriveUpdate(reporter); return 0;
    case pm::DriveStatistics: OnDriveStatistics(reporter); return 0;
    case pm::SelectionChanged:
        if (IsPanelHandle(reporter, true)) left.panel.UpdateSelectionSummary();
        else if (IsPanelHandle(reporter, false)) right.panel.UpdateSelectionSummary();
        return 0;
    case pm::NameActive:
    case pm::NameInactive:
        // lParam: a std::wstring that receives the name of the cursor row.
        if (lp) *reinterpret_cast<std::wstring*>(lp) =
                    (msg == pm::NameActive ? ActivePanel() : InactivePanel()).CurrentName();
        return 0;
    case pm::OpenRequest: {
        CFileList& p = IsPanelHandle(reporter, true) ? left.panel
                       : IsPanelHandle(reporter, false) ? right.panel : ActivePanel();
        p.OpenCurrentEntry();
        return 0;
    }
    case pm::TrayStop:
    case pm::TrayMenu:
    case pm::TrayControlPanel: OnTrayIcon(msg, lp); return 0;
    case pm::PushHistory:
        if (IsPanelHandle(reporter, true)) PushHistory(true);
        else if (IsPanelHandle(reporter, false)) PushHistory(false);
        return 0;
    case WM_INITMENUPOPUP:
        UpdateMenuStates(reinterpret_cast<HMENU>(wp));
        return 0;
    case pm::FileChangeL: OnFileChange(true); return 0;
    case pm::FileChangeR: OnFileChange(false); return 0;
    case WM_DIRECTORY_CHANGED: OnDirectoryChanged(wp); return 0;
    case pm::DirActive:
    case pm::DirInactive:
        if (lp) *reinterpret_cast<std::wstring*>(lp) = (msg == pm::DirActive ? ActivePanel() : InactivePanel()).path;
        return 0;
    case pm::Forward: {
        bool isLeft = IsPanelHandle(reporter, true);
        if (isLeft != leftActive) TogglePanel();
        ::PostMessageW(ActivePanel().Handle(), pm::Forward, wp, lp);
        return 0;
    }
    case WM_MEASUREITEM: {
        auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (measure->CtlType == ODT_LISTVIEW) {
            measure->itemHeight = rowHeight;
            return TRUE;
        }
        break;
    }
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && ActivePanel().Handle()) ::SetFocus(ActivePanel().Handle());
        return 0;
    case WM_RBUTTONDOWN:
        ::ShowWindow(hwnd, SW_MINIMIZE);
        return 0;
    case WM_MENUSELECT:
        Program().helpContext = 0;
        break;
    case WM_QUERYENDSESSION:
        // Tool windows with unsaved work ask first, as at the program's own close.
        return fw::CDialog::CloseModelessForExit() ? TRUE : FALSE;
    case WM_ENDSESSION:
        if (wp) SavePlacement();
        return 0;
    }
    return CWindow::OnMessage(msg, wp, lp);
}
