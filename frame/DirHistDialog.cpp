// The recent-directories list dialog.
#include "frame/DirHistDialog.h"
#include "common/RecentDirectories.h"
#include "framework/Controls.h"
#include "resource.h"

bool CDirHistDialog::OnInit()
{
    fw::CListBox list(Item(IDC_DIRHIST_LIST));
    for (const std::wstring& dir : ReadRecentDirectories())
        if (!dir.empty()) list.AddString(dir);
    ::SendMessageW(list, LB_SETCURSEL, 0, 0);
    ::SetFocus(list);
    return false;
}

void CDirHistDialog::OnOK()
{
    fw::CListBox list(Item(IDC_DIRHIST_LIST));
    int index = static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0));
    chosen = index >= 0 ? list.GetItemText(index) : std::wstring();
    End(chosen.empty() ? IDCANCEL : IDOK);
}

bool CDirHistDialog::OnCommand(UINT id, UINT code, HWND)
{
    if (id == IDC_DIRHIST_LIST && code == LBN_DBLCLK) {
        OnOK();
        return true;
    }
    return false;
}
