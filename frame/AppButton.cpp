// Drawing of the application and function-key buttons.
#include "frame/AppButton.h"
#include "framework/Handles.h"
#include "framework/Resources.h"

bool CAppButton::CreateButton(HWND parent, int id, int buttonIndex, bool functionKey, const std::wstring& caption,
                              HFONT buttonFont)
{
    index = buttonIndex;
    isFunctionKey = functionKey;
    font = buttonFont;
    HWND wnd = ::CreateWindowExW(0, L"BUTTON", caption.c_str(), WS_CHILD | BS_OWNERDRAW, 0, 0, 10, 10, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandle(nullptr),
                                 nullptr);
    if (!wnd) return false;
    ::SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return Subclass(wnd);
}

void CAppButton::SetCaption(const std::wstring& caption)
{
    ::SetWindowTextW(hwnd, caption.c_str());
    ::InvalidateRect(hwnd, nullptr, TRUE);
}

void CAppButton::Draw(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    RECT text = r;
    ::InflateRect(&text, -2, -2);
    fw::SelectScope useFont(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor((item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    std::wstring caption = fw::GetText(hwnd);
    const UINT single = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (isFunctionKey) {
        std::wstring key = L"F" + std::to_wstring(index);
        ::DrawTextW(dc, key.c_str(), -1, &text, single | DT_LEFT | DT_TOP);
        ::DrawTextW(dc, caption.c_str(), -1, &text, single | DT_RIGHT | DT_BOTTOM);
    } else {
        ::DrawTextW(dc, caption.c_str(), -1, &text, single | DT_CENTER | DT_VCENTER);
    }
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    fw::UniqueGdi black(::CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    fw::UniqueGdi light(::CreatePen(PS_SOLID, 1, RGB(0xE0, 0xE0, 0xE0)));
    fw::UniqueGdi dark(::CreatePen(PS_SOLID, 1, RGB(0x7F, 0x7F, 0x7F)));
    HGDIOBJ topLeft = pressed ? dark.Get() : light.Get();
    HGDIOBJ bottomRight = pressed ? light.Get() : dark.Get();
    {
        fw::SelectScope pen(dc, black.Get());
        ::MoveToEx(dc, r.left, r.bottom - 1, nullptr);
        ::LineTo(dc, r.left, r.top);
        ::LineTo(dc, r.right - 1, r.top);
        ::LineTo(dc, r.right - 1, r.bottom - 1);
        ::LineTo(dc, r.left, r.bottom - 1);
    }
    {
        fw::SelectScope pen(dc, topLeft);
        ::MoveToEx(dc, r.left + 1, r.bottom - 2, nullptr);
        ::LineTo(dc, r.left + 1, r.top + 1);
        ::LineTo(dc, r.right - 2, r.top + 1);
    }
    {
        fw::SelectScope pen(dc, bottomRight);
        ::LineTo(dc, r.right - 2, r.bottom - 2);
        ::LineTo(dc, r.left + 1, r.bottom - 2);
    }
}

LRESULT CAppButton::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_REFLECT_DRAWITEM) {
        Draw(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
        return TRUE;
    }
    // Owner-drawn buttons turn double-clicks into a second click.
    if (msg == WM_LBUTTONDBLCLK) msg = WM_LBUTTONDOWN;
    return CWindow::OnMessage(msg, wp, lp);
}
