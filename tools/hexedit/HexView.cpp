// The view's children, settings, layout, status bar, title, scroll bars and caret.
#include "tools/hexedit/HexView.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "common/ToolColors.h"
#include "framework/Resources.h"
#include "tools/hexedit/HexCodePages.h"
#include "resource.h"
#include <commctrl.h>
#include <algorithm>

namespace hex {

namespace {
constexpr int StatusBarId = 2;
constexpr int HorizontalBarId = 1;
constexpr int VerticalBarId = 2;
}

CHexView::CHexView(HWND dialog) : dialog(dialog)
{
    BuildCellCharacters(ed.charset, cells);
}

CHexView::~CHexView()
{
    if (font) ::DeleteObject(font);
}

void CHexView::CreateChildren()
{
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    statusBar = ::CreateWindowExW(0, STATUSCLASSNAMEW, L"Ready", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, dialog,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(StatusBarId)), instance, nullptr);
    hScroll = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_HORZ, 0, 0, 0, 0, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(HorizontalBarId)), instance, nullptr);
    vScroll = ::CreateWindowExW(0, L"SCROLLBAR", nullptr, WS_CHILD | WS_VISIBLE | SBS_VERT, 0, 0, 0, 0, dialog,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(VerticalBarId)), instance, nullptr);
}

void CHexView::ReadSettings()
{
    textColor = ReadToolColor(L"TextColor", RGB(0, 0, 0));
    bkColor = ReadToolColor(L"BkColor", RGB(255, 255, 255));
    separatorColor = ReadToolColor(L"SeparatorColor", RGB(192, 192, 192));
    int charset = GetProfileInt(L"View", L"CharacterSet", CharsetAnsi);
    ed.charset = charset == CharsetOem ? CharsetOem : CharsetAnsi;
    fontSize = GetProfileInt(L"View", L"FontSize", 10);
    fontWeight = GetProfileInt(L"View", L"FontWeight", 400);
    fontFace = GetProfileString(L"View", L"FontFace", L"Fixedsys");
    BuildCellCharacters(ed.charset, cells);
}

void CHexView::WriteSettings() const
{
    // The text and background colours are the text window's too: only the colour command writes them.
    WriteToolColor(L"SeparatorColor", separatorColor);
    WriteProfileInt(L"View", L"CharacterSet", ed.charset);
    WriteProfileInt(L"View", L"FontSize", fontSize);
    WriteProfileInt(L"View", L"FontWeight", fontWeight);
    WriteProfileString(L"View", L"FontFace", fontFace);
}

void CHexView::CreateFontNow()
{
    if (font) ::DeleteObject(font);
    TEXTMETRICW metrics = {};
    auto measure = [&] {
        HDC dc = ::GetDC(dialog);
        HGDIOBJ old = ::SelectObject(dc, font ? font : ::GetStockObject(SYSTEM_FIXED_FONT));
        ::GetTextMetricsW(dc, &metrics);
        ::SelectObject(dc, old);
        ::ReleaseDC(dialog, dc);
    };
    font = ::CreateFontW(fontSize, 0, 0, 0, fontWeight, 0, 0, 0, 0, 0, 0, 0, 0, fontFace.c_str());
    measure();
    // A system without the face may substitute a proportional font; the columns need a fixed one.
    if (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) {
        ::DeleteObject(font);
        font = ::CreateFontW(fontSize, 0, 0, 0, fontWeight, 0, 0, 0, 0, 0, 0, 0, FIXED_PITCH | FF_MODERN,
                             fontFace.c_str());
        measure();
    }
    charWidth = std::max<int>(1, metrics.tmAveCharWidth);
    lineHeight = std::max<int>(1, metrics.tmHeight + metrics.tmExternalLeading);
}

void CHexView::Layout(int width, int height)
{
    clientWidth = width;
    clientHeight = height;
    if (!font) CreateFontNow();
    ::SendMessageW(statusBar, WM_SIZE, 0, 0);
    RECT status = {};
    ::GetWindowRect(statusBar, &status);
    int statusHeight = status.bottom - status.top;
    int barHeight = ::GetSystemMetrics(SM_CYHSCROLL), barWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    areaWidth = std::max(0, width - barWidth);
    areaHeight = std::max(0, height - statusHeight - barHeight);
    ::MoveWindow(hScroll, 0, height - statusHeight - barHeight, areaWidth, barHeight, TRUE);
    ::MoveWindow(vScroll, areaWidth, 0, barWidth, std::max(0, height - statusHeight), TRUE);
    int base = ::IsZoomed(dialog) ? width : areaWidth;
    int parts[3] = {base * 4 / 6, base * 5 / 6, base};
    ::SendMessageW(statusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    ed.visibleColumns = std::max(1, areaWidth / charWidth);
    ed.visibleLines = std::max(1, areaHeight / lineHeight);
    ed.SetFirstColumn(0);
    ed.FollowCaretColumn();
    ed.SetTop(ed.top);
    Refresh();
}

void CHexView::UpdateScrollBars()
{
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_POS};
    info.nMax = ed.ScrollRange();
    info.nPos = ed.ScrollPosition();
    ::SetScrollInfo(vScroll, SB_CTL, &info, TRUE);
    info.nMax = ed.Layout().Width() - 1;
    info.nPos = ed.firstColumn;
    ::SetScrollInfo(hScroll, SB_CTL, &info, TRUE);
}

void CHexView::UpdateStatus()
{
    for (int part = 0; part < 3; ++part)
        ::SendMessageW(statusBar, SB_SETTEXTW, part, reinterpret_cast<LPARAM>(ed.StatusText(part).c_str()));
    if (ed.titleStale) {
        ::SetWindowTextW(dialog, ed.Title().c_str());
        ed.titleStale = false;
    }
}

void CHexView::Refresh()
{
    UpdateScrollBars();
    UpdateStatus();
    PlaceCaret();
    RECT area = {0, 0, areaWidth, areaHeight};
    ::InvalidateRect(dialog, &area, FALSE);
}

POINT CHexView::CellPoint(int column, Offset line) const
{
    return POINT{(column - ed.firstColumn) * charWidth + 2, static_cast<int>(line - ed.top) * lineHeight + 2};
}

void CHexView::PlaceCaret()
{
    if (!hasFocus) return;
    Offset line = ed.CursorLine();
    bool visible = !ed.sel.active && line >= ed.top && line < ed.top + ed.visibleLines;
    POINT at = visible ? CellPoint(ed.CaretColumn(), line) : POINT{-4 * charWidth, -4 * lineHeight};
    ::SetCaretPos(at.x, at.y);
}

void CHexView::OnFocus(bool gained)
{
    hasFocus = gained;
    if (gained) {
        ::CreateCaret(dialog, nullptr, charWidth, lineHeight);
        PlaceCaret();
        ::ShowCaret(dialog);
    } else {
        ::HideCaret(dialog);
        ::DestroyCaret();
    }
}

void CHexView::Tell(UINT stringId, UINT icon) const { ShowMessage(dialog, fw::LoadStr(stringId), MB_OK | icon); }

void CHexView::TellOutcome(Outcome outcome) const
{
    if (outcome == NotWhenPaged) Tell(IDS_HEX_NOTPAGED, MB_ICONINFORMATION);
    else if (outcome > 0) Tell(outcome);
}

void CHexView::ShowSystemError(int stringId, DWORD error) const
{
    ::SetLastError(error);
    ShowLastError(stringId);
}

} // namespace hex
