// Keys, typed characters, the mouse and the scroll bars of the hex view.
#include "tools/hexedit/HexView.h"
#include "tools/hexedit/HexCodePages.h"
#include "resource.h"
#include <windowsx.h>

namespace hex {

namespace {
bool Down(int key) { return ::GetKeyState(key) < 0; }

// Keys the window reads itself (the accelerator table only sees A, C, End, Home, Insert, F, G,
// V, X, Escape and F3).
struct KeyCommand {
    UINT key;
    bool shift, control;
    UINT command;
};
const KeyCommand KeyCommands[] = {
    {VK_RIGHT, true, false, IDM_HEX_SELRIGHT},     {VK_LEFT, true, false, IDM_HEX_SELLEFT},
    {VK_UP, true, false, IDM_HEX_SELUP},           {VK_DOWN, true, false, IDM_HEX_SELDOWN},
    {VK_NEXT, true, false, IDM_HEX_SELPAGEDOWN},   {VK_PRIOR, true, false, IDM_HEX_SELPAGEUP},
    {VK_LEFT, false, true, IDM_HEX_COLUMNLEFT},    {VK_RIGHT, false, true, IDM_HEX_COLUMNRIGHT},
    {VK_UP, false, true, IDM_HEX_LINEUP},          {VK_DOWN, false, true, IDM_HEX_LINEDOWN},
    {VK_BACK, false, false, IDM_HEX_BACKSPACE},    {VK_DELETE, false, false, IDM_HEX_DELETE},
    {'S', false, true, IDM_HEX_SAVE},
};

struct KeyMove {
    UINT key;
    Key move;
};
const KeyMove KeyMoves[] = {
    {VK_PRIOR, Key::PageUp}, {VK_NEXT, Key::PageDown}, {VK_END, Key::End},   {VK_HOME, Key::Home},
    {VK_LEFT, Key::Left},    {VK_RIGHT, Key::Right},   {VK_UP, Key::Up},     {VK_DOWN, Key::Down},
};
}

void CHexView::OnKeyDown(UINT key)
{
    bool shift = Down(VK_SHIFT), control = Down(VK_CONTROL);
    for (const KeyCommand& k : KeyCommands)
        if (k.key == key && k.shift == shift && k.control == control) {
            OnCommand(k.command);
            return;
        }
    if (shift || control) return;
    for (const KeyMove& k : KeyMoves)
        if (k.key == key) {
            ed.MoveKey(k.move);
            Refresh();
            return;
        }
}

void CHexView::OnChar(wchar_t ch)
{
    // Characters of control keys are commands (Ctrl+S) or handled as keys (Backspace, Tab, Escape).
    if ((Down(VK_CONTROL) && !Down(VK_MENU)) || ch == 8 || ch == 9 || ch == 27) return;
    Outcome outcome = Ignored;
    if (ed.pane == Pane::Hex) {
        outcome = ed.TypeHexDigit(ch);
    } else {
        uint8_t byte = 0;
        if (!CharacterByte(ch, ed.charset, byte)) return;
        outcome = ed.TypeByte(byte);
    }
    if (outcome == Ignored) return;
    Refresh();
    TellOutcome(outcome);
}

void CHexView::OnTab()
{
    ed.SwitchPane();
    Refresh();
}

Hit CHexView::HitAt(int x, int y) const
{
    if (x < 2 || y < 2) return Hit();
    int column = (x - 2) / charWidth + ed.firstColumn;
    Offset line = (y - 2) / lineHeight + ed.top;
    return ed.HitTest(column, line);
}

void CHexView::OnButtonDown(int x, int y)
{
    ::SetFocus(dialog);
    pressed = true;
    pressPoint = POINT{x, y};
    ed.sel.active = false;
    Hit hit = HitAt(x, y);
    dragging = hit.hit && hit.byte <= ed.Last();
    if (dragging) ed.sel.anchor = ed.sel.activeEnd = hit.byte;
    Refresh();
}

void CHexView::OnMouseMove(int x, int y)
{
    // A move to the press point itself (some systems send one with the press) starts nothing.
    if (!dragging || (x == pressPoint.x && y == pressPoint.y)) return;
    if (!ed.sel.active) {
        ed.sel.active = true;
        ::SetCapture(dialog);
    }
    if (y >= 2 && y < 2 + ed.visibleLines * lineHeight) {
        Hit hit = HitAt(x, y);
        if (hit.hit && hit.byte <= ed.Last()) ed.sel.activeEnd = hit.byte;
    }
    Refresh();
}

void CHexView::OnButtonUp(int x, int y)
{
    if (!pressed) return;
    pressed = false;
    if (dragging) {
        dragging = false;
        if (::GetCapture() == dialog) ::ReleaseCapture();
    }
    if (x == pressPoint.x && y == pressPoint.y) {
        ed.Place(HitAt(x, y));
        Refresh();
    }
}

void CHexView::OnVerticalScroll(int code)
{
    if (ed.Size() == 0) return;
    switch (code) {
    case SB_LINEUP: ed.ScrollLines(-1); break;
    case SB_LINEDOWN: ed.ScrollLines(1); break;
    case SB_PAGEUP: ed.ScrollLines(-ed.visibleLines); break;
    case SB_PAGEDOWN: ed.ScrollLines(ed.visibleLines); break;
    case SB_TOP: ed.SetTop(0); break;
    case SB_BOTTOM: ed.SetTop(ed.LastLine()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {sizeof(info), SIF_TRACKPOS};
        ::GetScrollInfo(vScroll, SB_CTL, &info);
        ed.SetTopFromScroll(info.nTrackPos);
        break;
    }
    default: return;
    }
    Refresh();
}

void CHexView::OnHorizontalScroll(int code)
{
    if (ed.Size() == 0) return;
    switch (code) {
    case SB_LINELEFT: ed.ScrollColumns(-1); break;
    case SB_LINERIGHT: ed.ScrollColumns(1); break;
    case SB_PAGELEFT: ed.ScrollColumns(-ed.visibleColumns); break;
    case SB_PAGERIGHT: ed.ScrollColumns(ed.visibleColumns); break;
    case SB_LEFT: ed.SetFirstColumn(0); break;
    case SB_RIGHT: ed.SetFirstColumn(ed.Layout().Width() - 1); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {sizeof(info), SIF_TRACKPOS};
        ::GetScrollInfo(hScroll, SB_CTL, &info);
        ed.SetFirstColumn(info.nTrackPos);
        break;
    }
    default: return;
    }
    Refresh();
}

void CHexView::OnWheel(int delta)
{
    ed.ScrollLines(-delta / WHEEL_DELTA * 3);
    Refresh();
}

} // namespace hex
