// The hex window's messages, its key pre-translation and its stored position.
#include "tools/hexedit/HexEditDialog.h"
#include "common/Settings.h"
#include "framework/Resources.h"
#include "resource.h"
#include <windowsx.h>
#include <algorithm>

namespace hex {

namespace {
std::vector<CHexEditDialog*> openWindows;

// The keys whose messages go through the accelerator table first.
bool IsAcceleratorKey(WPARAM key)
{
    switch (key) {
    case 'A': case 'C': case 'F': case 'G': case 'V': case 'X':
    case VK_END: case VK_HOME: case VK_INSERT: case VK_ESCAPE: case VK_F3:
        return true;
    }
    return false;
}
}

CHexEditDialog* CHexEditDialog::Open(HWND parent, const std::wstring& path)
{
    auto* window = new CHexEditDialog(path);
    if (!window->CreateModeless(parent, false)) {
        delete window;
        return nullptr;
    }
    ::ShowWindow(window->Handle(), SW_SHOW);
    return window;
}

const std::vector<CHexEditDialog*>& CHexEditDialog::OpenWindows() { return openWindows; }

CHexEditDialog::CHexEditDialog(const std::wstring& path) : CDialog(L"HEXEDIT"), path(path)
{
    openWindows.push_back(this);
}

CHexEditDialog::~CHexEditDialog()
{
    openWindows.erase(std::remove(openWindows.begin(), openWindows.end(), this), openWindows.end());
    if (brush) ::DeleteObject(brush);
}

bool CHexEditDialog::OnInit()
{
    accelerators = ::LoadAcceleratorsW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDR_HEXEDIT));
    brush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    view = std::make_unique<CHexView>(hwnd);
    view->CreateChildren();
    view->ReadSettings();
    RECT client = {};
    ::GetClientRect(hwnd, &client);
    view->Layout(client.right, client.bottom);
    view->Load(path);
    firstShow = true;
    ::SetFocus(hwnd);
    return false;
}

bool CHexEditDialog::TryClose()
{
    if (!hwnd) return true;
    if (view && !view->MayClose()) return false;
    ::DestroyWindow(hwnd);
    return true;
}

void CHexEditDialog::OnDestroyed() { delete this; }

void CHexEditDialog::RestorePosition()
{
    int right = GetProfileInt(L"View", L"WindowWidth", 0);
    if (right == 0) return;
    int left = GetProfileInt(L"View", L"WindowX", 0), top = GetProfileInt(L"View", L"WindowY", 0);
    int bottom = GetProfileInt(L"View", L"WindowHeight", 0);
    ::MoveWindow(hwnd, left, top, right - left, bottom - top, TRUE);
}

void CHexEditDialog::StorePosition()
{
    WINDOWPLACEMENT placement = {sizeof(placement)};
    if (!::GetWindowPlacement(hwnd, &placement)) return;
    const RECT& r = placement.rcNormalPosition;
    WriteProfileInt(L"View", L"WindowX", r.left);
    WriteProfileInt(L"View", L"WindowY", r.top);
    WriteProfileInt(L"View", L"WindowWidth", r.right);
    WriteProfileInt(L"View", L"WindowHeight", r.bottom);
}

bool CHexEditDialog::PreTranslateMessage(MSG& msg)
{
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    // Tab switches the pane; arrows and Tab never reach the dialog manager's navigation.
    if (msg.wParam == VK_TAB && (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR)) {
        if (msg.message == WM_KEYDOWN) ::PostMessageW(hwnd, WM_TABKEY, 0, 0);
        return true;
    }
    bool keyMessage = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP;
    if (keyMessage && IsAcceleratorKey(msg.wParam) && accelerators && ::TranslateAcceleratorW(hwnd, accelerators, &msg))
        return true;
    // A key that is no accelerator is still typed: a, c, f ... are bytes in the text pane.
    DispatchDirectly(msg);
    return true;
}

INT_PTR CHexEditDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (!view && msg != WM_INITDIALOG) return CDialog::OnMessage(msg, wp, lp);
    switch (msg) {
    case WM_CTLCOLORDLG:
    case WM_SHOWWINDOW:
        // The view paints its own background, so the colour request may never come: the first
        // showing counts as well.
        if (firstShow && (msg == WM_CTLCOLORDLG || wp)) {
            firstShow = false;
            ::PostMessageW(hwnd, WM_RESTOREPOSITION, 0, 0);
        }
        if (msg == WM_CTLCOLORDLG) return reinterpret_cast<INT_PTR>(brush);
        break;
    case WM_RESTOREPOSITION: RestorePosition(); return TRUE;
    case WM_SIZE: view->Layout(LOWORD(lp), HIWORD(lp)); return TRUE;
    case WM_ERASEBKGND:
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        view->Paint(dc, ps.rcPaint);
        ::EndPaint(hwnd, &ps);
        return TRUE;
    }
    case WM_ACTIVATE:
        // The window itself keeps the focus: it has no control that could take it.
        if (LOWORD(wp) != WA_INACTIVE) ::SetFocus(hwnd);
        return TRUE;
    case WM_SETFOCUS: view->OnFocus(true); return TRUE;
    case WM_KILLFOCUS: view->OnFocus(false); return TRUE;
    case WM_KEYDOWN: view->OnKeyDown(static_cast<UINT>(wp)); return TRUE;
    case WM_CHAR: view->OnChar(static_cast<wchar_t>(wp)); return TRUE;
    case WM_LBUTTONDOWN: view->OnButtonDown(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return TRUE;
    case WM_MOUSEMOVE: view->OnMouseMove(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return TRUE;
    case WM_LBUTTONUP: view->OnButtonUp(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); return TRUE;
    case WM_CAPTURECHANGED: view->OnCaptureLost(); return TRUE;
    case WM_MOUSEWHEEL: view->OnWheel(GET_WHEEL_DELTA_WPARAM(wp)); return TRUE;
    case WM_VSCROLL: view->OnVerticalScroll(LOWORD(wp)); return TRUE;
    case WM_HSCROLL: view->OnHorizontalScroll(LOWORD(wp)); return TRUE;
    case WM_TABKEY: view->OnTab(); return TRUE;
    case WM_COMMAND: {
        UINT id = LOWORD(wp);
        if (id == IDM_HEX_CLOSE) {
            TryClose();
            return TRUE;
        }
        if (id >= 40000 && id <= 43000) {
            view->OnCommand(id);
            return TRUE;
        }
        break;
    }
    case WM_DESTROY:
        StorePosition();
        break;
    }
    return CDialog::OnMessage(msg, wp, lp);
}

} // namespace hex
