// The few control wrapper methods that need more than one message.
#include "framework/Controls.h"
#include <vector>

namespace fw {

std::wstring CComboBox::GetItemText(int index) const
{
    LRESULT length = ::SendMessageW(wnd, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    ::SendMessageW(wnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

std::wstring CListBox::GetItemText(int index) const
{
    LRESULT length = ::SendMessageW(wnd, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    ::SendMessageW(wnd, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer.data()));
    return buffer.data();
}

bool CToolTip::Create(HWND owner)
{
    wnd = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                            ::GetModuleHandle(nullptr), nullptr);
    return wnd != nullptr;
}

void CToolTip::AddTool(HWND owner, HWND tool, const std::wstring& text) const
{
    if (!wnd || !tool) return;
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(wnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

} // namespace fw
