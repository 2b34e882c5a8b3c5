// RAII owners for kernel, GDI and registry handles and for temporary UI states.
#pragma once
#include <windows.h>
#include <utility>

namespace fw {

// Owns a handle and closes it with Close; null and, when InvalidIsMinusOne, -1 mean "none".
template <typename H, BOOL(WINAPI* Close)(H), bool InvalidIsMinusOne = false>
class UniqueOwner {
    static H Invalid() { return InvalidIsMinusOne ? reinterpret_cast<H>(INVALID_HANDLE_VALUE) : H(); }

public:
    UniqueOwner() = default;
    explicit UniqueOwner(H h) : handle(h) {}
    ~UniqueOwner() { Reset(); }
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    UniqueOwner(UniqueOwner&& o) noexcept : handle(std::exchange(o.handle, Invalid())) {}
    UniqueOwner& operator=(UniqueOwner&& o) noexcept
    {
        if (this != &o) { Reset(); handle = std::exchange(o.handle, Invalid()); }
        return *this;
    }
    void Reset(H h = Invalid())
    {
        if (handle != Invalid() && handle != nullptr) Close(handle);
        handle = h;
    }
    H Get() const { return handle; }
    H Release() { return std::exchange(handle, Invalid()); }
    explicit operator bool() const { return handle != Invalid() && handle != nullptr; }

private:
    H handle = Invalid();
};

inline BOOL WINAPI CloseKernelHandle(HANDLE h) { return ::CloseHandle(h); }
inline BOOL WINAPI CloseFind(HANDLE h) { return ::FindClose(h); }
inline BOOL WINAPI CloseRegKey(HKEY h) { return ::RegCloseKey(h) == ERROR_SUCCESS; }
inline BOOL WINAPI CloseGdiObject(HGDIOBJ h) { return ::DeleteObject(h); }
inline BOOL WINAPI CloseIcon(HICON h) { return ::DestroyIcon(h); }
inline BOOL WINAPI CloseModule(HMODULE h) { return ::FreeLibrary(h); }

using UniqueHandle = UniqueOwner<HANDLE, CloseKernelHandle>;
// CreateFile reports failure as INVALID_HANDLE_VALUE, not null.
using UniqueFile = UniqueOwner<HANDLE, CloseKernelHandle, true>;
using UniqueFind = UniqueOwner<HANDLE, CloseFind, true>;
using UniqueKey = UniqueOwner<HKEY, CloseRegKey>;
using UniqueGdi = UniqueOwner<HGDIOBJ, CloseGdiObject>;
using UniqueIcon = UniqueOwner<HICON, CloseIcon>;
using UniqueModule = UniqueOwner<HMODULE, CloseModule>;

// Selects a GDI object into a DC for the lifetime of the scope.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ obj) : dc(dc), old(obj ? ::SelectObject(dc, obj) : nullptr) {}
    ~SelectScope() { if (old) ::SelectObject(dc, old); }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    HDC dc;
    HGDIOBJ old;
};

// A window DC released at the end of the scope.
class WindowDC {
public:
    explicit WindowDC(HWND w, bool whole = false) : wnd(w), dc(whole ? ::GetWindowDC(w) : ::GetDC(w)) {}
    ~WindowDC() { if (dc) ::ReleaseDC(wnd, dc); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    operator HDC() const { return dc; }

private:
    HWND wnd;
    HDC dc;
};

// The hourglass while a long step runs; the previous cursor comes back afterwards.
class WaitCursor {
public:
    WaitCursor() : previous(::SetCursor(::LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { ::SetCursor(previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    HCURSOR previous;
};

// Redrawing of a control switched off while it is refilled.
class RedrawOff {
public:
    explicit RedrawOff(HWND w) : wnd(w) { ::SendMessage(wnd, WM_SETREDRAW, FALSE, 0); }
    ~RedrawOff()
    {
        ::SendMessage(wnd, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(wnd, nullptr, TRUE);
    }
    RedrawOff(const RedrawOff&) = delete;
    RedrawOff& operator=(const RedrawOff&) = delete;

private:
    HWND wnd;
};

// The process error mode switched for the length of a scope (0 around starting programs).
class ErrorModeScope {
public:
    explicit ErrorModeScope(UINT mode, UINT restore = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)
        : restore(restore) { ::SetErrorMode(mode); }
    ~ErrorModeScope() { ::SetErrorMode(restore); }
    ErrorModeScope(const ErrorModeScope&) = delete;
    ErrorModeScope& operator=(const ErrorModeScope&) = delete;

private:
    UINT restore;
};

} // namespace fw
