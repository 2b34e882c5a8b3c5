// Drawing of the application and function-key buttons, their icons and their right-click.
#include "frame/AppButton.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "frame/ButtonDialogs.h"
#include "frame/Launcher.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include <shellapi.h>

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

void CAppButton::LookUpIcon()
{
    iconLooked = true;
    icon.Reset();
    std::wstring program = GetProfileString((L"Knop" + std::to_wstring(index)).c_str(), L"Programma", L"");
    if (program.empty()) return;
    wchar_t found[MAX_PATH + 1] = {};
    if (reinterpret_cast<INT_PTR>(::FindExecutableW(program.c_str(), nullptr, found)) <= 31) return;
    std::wstring name = found;
    if (name.size() < 4 || ::lstrcmpiW(name.c_str() + name.size() - 4, L".exe") != 0) {
        // An association's text may carry switches after the program.
        name += L' ';
        ::CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
        size_t exe = name.find(L"exe");
        if (exe != std::wstring::npos) name = name.substr(0, exe + 3);
    }
    name = SearchProgram(name);
    SHFILEINFOW info = {};
    if (::SHGetFileInfoW(name.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon)
        icon.Reset(info.hIcon);
}

void CAppButton::EditParameters()
{
    HelpContextScope help(6230);
    CButtonParmsDialog dialog(index);
    if (dialog.DoModal(::GetParent(hwnd)) != IDOK) return;
    iconLooked = false;
    SetCaption(dialog.Name());
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
    if (!isFunctionKey && GetProfileInt(L"Algemeen", L"ShowIcon", 1)) {
        if (!iconLooked) LookUpIcon();
        if (icon) {
            ::DrawIconEx(dc, 1, r.top + (r.bottom - r.top - 16) / 2, icon.Get(), 16, 16, 0, nullptr, DI_NORMAL);
            text.left += 16;
        }
    }
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
    if (msg == WM_RBUTTONUP) {
        if (isFunctionKey) ::PostMessageW(::GetParent(hwnd), WM_COMMAND, MAKEWPARAM(IDM_FKEYS, 0), 0);
        else EditParameters();
        return 0;
    }
    return CWindow::OnMessage(msg, wp, lp);
}
