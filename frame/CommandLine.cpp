// The command line's edit field and its history list.
#include "frame/CommandLine.h"
#include "framework/Resources.h"
#include "resource.h"

bool CCommandEdit::Attach(HWND editWnd, HWND comboWnd, HWND ownerWnd)
{
    combo = comboWnd;
    owner = ownerWnd;
    return Subclass(editWnd);
}

LRESULT CCommandEdit::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_KEYDOWN && wp == VK_RETURN) {
        if (::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
        ::PostMessageW(owner, WM_COMMAND, MAKEWPARAM(IDM_CMDBUTTON, 0), 0);
        return 0;
    }
    // A single-line edit beeps at the character of Enter.
    if (msg == WM_CHAR && (wp == L'\r' || wp == L'\n')) return 0;
    return CWindow::OnMessage(msg, wp, lp);
}

void CCommandLine::Init(HWND owner)
{
    COMBOBOXINFO info = {sizeof(info)};
    if (::GetComboBoxInfo(wnd, &info) && info.hwndItem) edit.Attach(info.hwndItem, wnd, owner);
    ::SendMessageW(wnd, CB_LIMITTEXT, MaxLength, 0);
    ShowHistory(ReadCommandHistory());
}

std::wstring CCommandLine::Text() const { return fw::GetText(wnd).substr(0, MaxLength); }

void CCommandLine::SetLine(const std::wstring& text) const { ::SetWindowTextW(wnd, text.c_str()); }

void CCommandLine::ShowHistory(const CommandHistory& entries) const
{
    ResetContent();
    for (const std::wstring& line : entries) AddString(line);
    SetCurSel(0);
}

void CCommandLine::AddToCommandHistory(const std::wstring& line)
{
    CommandHistory entries = InsertCommandLine(ReadCommandHistory(), line);
    WriteCommandHistory(entries);
    ShowHistory(entries);
}
