// Window base: one static procedure, then typed handlers that subclasses override.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

class CWindow {
public:
    CWindow() = default;
    virtual ~CWindow();
    CWindow(const CWindow&) = delete;
    CWindow& operator=(const CWindow&) = delete;

    HWND Handle() const { return hwnd; }
    operator HWND() const { return hwnd; }

    // Creates a window of a class whose procedure is StaticProc (see RegisterClass).
    bool Create(const wchar_t* className, const wchar_t* title, DWORD style, DWORD exStyle,
                int x, int y, int cx, int cy, HWND parent, HMENU menuOrId, HINSTANCE instance);
    // Takes over an existing window (a control): its messages go through OnMessage first.
    bool Subclass(HWND wnd);
    void Unsubclass();

    static CWindow* FromHandle(HWND wnd);
    static LRESULT CALLBACK StaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);

    // Messages reflected back from the parent to the control that sent them.
    static constexpr UINT WM_REFLECT_NOTIFY = WM_APP + 0x300;
    static constexpr UINT WM_REFLECT_DRAWITEM = WM_APP + 0x301;
    // Notifications of controls (WM_COMMAND with a control) that the parent did not handle.
    static constexpr UINT WM_REFLECT_COMMAND = WM_APP + 0x302;

protected:
    virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

    virtual bool OnCreate(CREATESTRUCT*) { return true; }
    virtual void OnDestroy() {}
    virtual void OnNcDestroy() {}
    virtual void OnSize(UINT, int, int) {}
    virtual bool OnCommand(UINT id, UINT code, HWND control) { return false; }
    virtual bool OnNotify(NMHDR*, LRESULT&) { return false; }
    virtual void OnTimer(UINT_PTR) {}
    virtual bool OnPaint() { return false; }
    virtual bool OnClose() { return false; }

    // Sends WM_NOTIFY, WM_DRAWITEM and control WM_COMMAND of child controls back to their own objects.
    bool ReflectToChild(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

    HWND hwnd = nullptr;

private:
    WNDPROC previousProc = nullptr;
    static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
};

// Registers a class whose windows are handled by CWindow::StaticProc.
bool RegisterWindowClass(const wchar_t* name, UINT style, HICON icon, HCURSOR cursor, HBRUSH background);

} // namespace fw
