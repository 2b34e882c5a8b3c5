// Placing every child of the main window, the minimum size and the frame round the active panel.
#include "frame/MainWindow.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include <algorithm>

LayoutOptions CMainWindow::ReadLayoutOptions()
{
    LayoutOptions o;
    o.applButtons = GetProfileInt(L"Algemeen", L"ApplButtons", 1) != 0;
    o.secondRow = o.applButtons && GetProfileInt(L"Algemeen", L"SecondRow", 0) != 0;
    o.cmdPrompt = GetProfileInt(L"Algemeen", L"CmdPrompt", 1) != 0;
    o.functionKeys = GetProfileInt(L"Algemeen", L"FunctionKeys", 1) != 0;
    return o;
}

void CMainWindow::OnSize(UINT type, int, int)
{
    if (!hwnd || destroying || type == SIZE_MINIMIZED) return;
    RECT r;
    ::GetWindowRect(hwnd, &r);
    int width = r.right - r.left;
    int height = (r.bottom - r.top) - ::GetSystemMetrics(SM_CYCAPTION) / 2;
    if (type != SIZE_MAXIMIZED && (width < 640 || height < 400)) {
        int minOuterHeight = 400 + ::GetSystemMetrics(SM_CYCAPTION) / 2;
        ::SetWindowPos(hwnd, nullptr, 0, 0, std::max(width, 640), std::max<int>(r.bottom - r.top, minOuterHeight),
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    windowW = width;
    windowH = height;
    UpdateLayout();
}

void CMainWindow::UpdateLayout()
{
    if (!left.panel.Handle() || !right.panel.Handle()) return;
    LayoutOptions o = ReadLayoutOptions();
    MainLayout L = ComputeLayout(windowW, windowH, o);
    for (int i = 1; i <= 20; ++i) {
        CAppButton& b = *appButtons[i];
        bool show = o.applButtons && (i <= 10 || o.secondRow);
        ::MoveWindow(b.Handle(), L.appButton[i - 1].left, L.appButton[i - 1].top,
                     L.appButton[i - 1].right - L.appButton[i - 1].left,
                     L.appButton[i - 1].bottom - L.appButton[i - 1].top, TRUE);
        ::ShowWindow(b.Handle(), show ? SW_SHOW : SW_HIDE);
    }
    for (bool isLeft : {true, false}) {
        PanelSide& side = Side(isLeft);
        const PanelSideLayout& s = isLeft ? L.left : L.right;
        side.totalLine.Move(s.total);
        side.driveBox.Move(s.driveBox);
        for (int k = 0; k < 4; ++k) side.nav[k].Move(s.nav[k]);
        side.back.Move(s.back);
        side.pathLine.Move(s.pathLine);
        fw::CControl(side.panel.Handle()).Move(s.panel);
        side.selectionLine.Move(s.selectionLine);
        side.visibleRows = side.panel.VisibleRows();
    }
    prompt.Move(L.prompt);
    cmdLine.Move(L.cmdLine);
    cmdButton.Move(L.cmdButton);
    for (HWND w : {prompt.Handle(), cmdLine.Handle(), cmdButton.Handle()}) ::ShowWindow(w, o.cmdPrompt ? SW_SHOW : SW_HIDE);
    fw::CControl(functionKeys[0]->Handle()).Move(L.help);
    for (int k = 0; k < 9; ++k) fw::CControl(functionKeys[k + 1]->Handle()).Move(L.functionKey[k]);
    for (auto& key : functionKeys) ::ShowWindow(key->Handle(), o.functionKeys ? SW_SHOW : SW_HIDE);
    ::InvalidateRect(hwnd, nullptr, TRUE);
}

void CMainWindow::PaintDecorations(HDC dc)
{
    UpdatePrompt(); // the prompt follows the active panel (MainWindowLaunch.cpp)
    LayoutOptions o = ReadLayoutOptions();
    int T = !o.applButtons ? -35 : (o.secondRow ? 26 : 0);
    int W = windowW;
    int h = (W - 40) / 2;
    int y = T + 40;
    COLORREF active = frameColorIsSystem ? ::GetSysColor(COLOR_ACTIVECAPTION) : frameColor;
    fw::UniqueGdi activePen(::CreatePen(PS_SOLID, 3, active));
    fw::UniqueGdi erasePen(::CreatePen(PS_SOLID, 3, ::GetSysColor(COLOR_BTNFACE)));
    auto frame = [&](int x1, int x2, HGDIOBJ pen) {
        fw::SelectScope use(dc, pen);
        // An open frame with cut corners over the panel's drive box and buttons.
        POINT points[4] = {{x1, y + 30}, {x1, y + 4}, {x1 + 4, y}, {x2 - 4, y}};
        ::Polyline(dc, points, 4);
        POINT rightSide[2] = {{x2 - 4, y}, {x2, y + 4}};
        ::Polyline(dc, rightSide, 2);
        POINT down[2] = {{x2, y + 4}, {x2, y + 30}};
        ::Polyline(dc, down, 2);
    };
    frame(2, h + 4, leftActive ? activePen.Get() : erasePen.Get());
    frame(h + 19, W - 18, leftActive ? erasePen.Get() : activePen.Get());
}

void CMainWindow::RedrawDecorations()
{
    fw::WindowDC dc(hwnd);
    PaintDecorations(dc);
}

bool CMainWindow::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    PaintDecorations(dc);
    ::EndPaint(hwnd, &ps);
    return true;
}
