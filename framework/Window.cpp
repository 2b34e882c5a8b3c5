// Message dispatch shared by every window and subclassed control of the program.
#include "framework/Window.h"
#include <commctrl.h>
#include <unordered_map>

namespace fw {

namespace {
// The object of each window. Every message looks its window up here: a window property would
// cost a round trip to the Wine server per message.
std::unordered_map<HWND, CWindow*> objects;
SRWLOCK objectsLock = SRWLOCK_INIT;

void Attach(HWND wnd, CWindow* self)
{
    ::AcquireSRWLockExclusive(&objectsLock);
    objects[wnd] = self;
    ::ReleaseSRWLockExclusive(&objectsLock);
}

void Detach(HWND wnd)
{
    ::AcquireSRWLockExclusive(&objectsLock);
    objects.erase(wnd);
    ::ReleaseSRWLockExclusive(&objectsLock);
}
}

CWindow::~CWindow()
{
    if (hwnd) {
        Unsubclass();
        Detach(hwnd);
    }
}

bool RegisterWindowClass(const wchar_t* name, UINT style, HICON icon, HCURSOR cursor, HBRUSH background)
{
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.style = style;
    wc.lpfnWndProc = CWindow::StaticProc;
    wc.hInstance = ::GetModuleHandle(nullptr);
    wc.hIcon = icon;
    wc.hIconSm = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return ::RegisterClassExW(&wc) != 0;
}

bool CWindow::Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                     int x, int y, int cx, int cy, HWND parent, HMENU menuOrId, HINSTANCE instance)
{
    HWND wnd = ::CreateWindowExW(exStyle, className, title, style, x, y, cx, cy, parent, menuOrId,
                                 instance ? instance : ::GetModuleHandle(nullptr), this);
    return wnd != nullptr;
}

CWindow* CWindow::FromHandle(HWND wnd)
{
    if (!wnd) return nullptr;
    ::AcquireSRWLockShared(&objectsLock);
    auto found = objects.find(wnd);
    CWindow* self = found == objects.end() ? nullptr : found->second;
    ::ReleaseSRWLockShared(&objectsLock);
    return self;
}

LRESULT CALLBACK CWindow::StaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CWindow* self = FromHandle(wnd);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<CWindow*>(reinterpret_cast<CREATESTRUCT*>(lp)->lpCreateParams);
        if (self) {
            self->hwnd = wnd;
            Attach(wnd, self);
        }
    }
    if (!self) return ::DefWindowProcW(wnd, msg, wp, lp);
    LRESULT result = self->OnMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        Detach(wnd);
        self->hwnd = nullptr;
        self->OnNcDestroy();
    }
    return result;
}

bool CWindow::Subclass(HWND wnd)
{
    if (!wnd || hwnd) return false;
    hwnd = wnd;
    Attach(wnd, this);
    previousProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    return previousProc != nullptr;
}

void CWindow::Unsubclass()
{
    if (hwnd && previousProc) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc));
        previousProc = nullptr;
    }
}

LRESULT CALLBACK CWindow::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CWindow* self = FromHandle(wnd);
    if (!self) return ::DefWindowProcW(wnd, msg, wp, lp);
    LRESULT result = self->OnMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        Detach(wnd);
        self->previousProc = nullptr;
        self->hwnd = nullptr;
        self->OnNcDestroy();
    }
    return result;
}

LRESULT CWindow::Default(UINT msg, WPARAM wp, LPARAM lp)
{
    if (previousProc) return ::CallWindowProcW(previousProc, hwnd, msg, wp, lp);
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

bool CWindow::ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    HWND child = nullptr;
    UINT reflected = 0;
    if (msg == WM_NOTIFY) {
        child = reinterpret_cast<NMHDR*>(lp)->hwndFrom;
        reflected = WM_REFLECT_NOTIFY;
    } else if (msg == WM_DRAWITEM) {
        child = reinterpret_cast<DRAWITEMSTRUCT*>(lp)->hwndItem;
        reflected = WM_REFLECT_DRAWITEM;
    } else if (msg == WM_COMMAND) {
        child = reinterpret_cast<HWND>(lp);
        reflected = WM_REFLECT_COMMAND;
    }
    if (!child || child == hwnd || !FromHandle(child)) return false;
    result = ::SendMessageW(child, reflected, wp, lp);
    return result != 0 || msg == WM_DRAWITEM;
}

LRESULT CWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCT*>(lp)) ? 0 : -1;
    case WM_DESTROY:
        OnDestroy();
        return Default(msg, wp, lp);
    case WM_SIZE:
        OnSize(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        return Default(msg, wp, lp);
    case WM_COMMAND:
        if (OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp))) return 0;
        if (lp) {
            LRESULT result = 0;
            if (ReflectToChild(msg, wp, lp, result)) return 0;
        }
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(reinterpret_cast<NMHDR*>(lp), result)) return result;
        if (ReflectToChild(msg, wp, lp, result)) return result;
        break;
    }
    case WM_DRAWITEM: {
        LRESULT result = 0;
        if (ReflectToChild(msg, wp, lp, result)) return TRUE;
        break;
    }
    case WM_TIMER:
        OnTimer(wp);
        return 0;
    case WM_PAINT:
        if (OnPaint()) return 0;
        break;
    case WM_CLOSE:
        if (OnClose()) return 0;
        break;
    }
    return Default(msg, wp, lp);
}

} // namespace fw
