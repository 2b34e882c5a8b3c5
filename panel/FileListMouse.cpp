// The mouse in a panel: clicks mark as the panel decides, a press on a row may become a drag of
// the marked rows, and the right button opens a menu for the entry.
#include "panel/FileList.h"
#include "panel/PanelRequests.h"
#include <cstdlib>

// A plain click marks one row, Ctrl toggles one, Shift marks the range from the last plain click;
// pressing on a marked row waits for the release, so that a marked group can be dragged whole.
void CFileList::OnMouseButton(UINT msg, LPARAM lp)
{
    int x = static_cast<short>(LOWORD(lp)), y = static_cast<short>(HIWORD(lp));
    mousePoint = {x, y};
    bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0, shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    int row = RowFromPoint(x, y);
    switch (msg) {
    case WM_LBUTTONDOWN:
        ::SetFocus(hwnd);
        dragArmed = pressedOnMarked = false;
        hitRow = row;
        if (row < 0) return;
        RememberPosition();
        if (IsMarked(row) && !control && !shift) {
            pressedOnMarked = true;
            list.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
        } else {
            ClickSelect(row, control, shift);
        }
        dragArmed = true;
        pressPoint = mousePoint;
        ::SetCapture(hwnd);
        return;
    case WM_LBUTTONUP:
        if (dragArmed && pressedOnMarked && row == hitRow) ClickSelect(row, false, false);
        dragArmed = pressedOnMarked = false;
        if (::GetCapture() == hwnd) ::ReleaseCapture();
        return;
    case WM_RBUTTONDOWN: {
        ::SetFocus(hwnd);
        hitRow = row;
        if (row < 0) return;
        if (!IsMarked(row)) {
            RememberPosition();
            ClickSelect(row, false, false);
        }
        // The menu opens once this click is done, so that the click's own messages are not held up.
        POINT screen = mousePoint;
        ::ClientToScreen(hwnd, &screen);
        ::PostMessageW(hwnd, req::RightButton, static_cast<WPARAM>(row), MAKELPARAM(screen.x, screen.y));
        return;
    }
    }
}

// A press becomes a drag once the mouse leaves the system's drag rectangle around it.
void CFileList::OnMouseMove(WPARAM wp, LPARAM lp)
{
    mousePoint = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    if (!dragArmed || !(wp & (MK_LBUTTON | MK_RBUTTON))) return;
    if (std::abs(mousePoint.x - pressPoint.x) <= ::GetSystemMetrics(SM_CXDRAG) / 2 &&
        std::abs(mousePoint.y - pressPoint.y) <= ::GetSystemMetrics(SM_CYDRAG) / 2)
        return;
    dragArmed = pressedOnMarked = false;
    if (::GetCapture() == hwnd) ::ReleaseCapture();
    ::PostMessageW(hwnd, req::StartDrag, 0, 0);
}
