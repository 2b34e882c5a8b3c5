// The two password questions of the extraction.
#include "archive/PasswordDialogs.h"
#include "framework/Resources.h"
#include "resource.h"

bool CPasswordDialog::OnInit()
{
    SetItemText(IDC_PASSWORD_PROMPT, fw::LoadStr(IDS_ARC_PASSWORDPROMPT) + member);
    SetChecked(IDC_PASSWORD_FORALL, forAll);
    ::SetFocus(Item(IDC_PASSWORD_TEXT));
    return false;
}

void CPasswordDialog::OnOK()
{
    password = ItemText(IDC_PASSWORD_TEXT);
    forAll = IsChecked(IDC_PASSWORD_FORALL);
    End(IDOK);
}

bool CPasswordUseDialog::OnInit()
{
    SetItemText(IDC_PASSWORDUSE_PROMPT, fw::LoadStr(IDS_ARC_PASSWORDUSE) + member + L"?");
    return true;
}

bool CPasswordUseDialog::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED) return false;
    if (id == IDC_PASSWORDUSE_NEW || id == IDC_PASSWORDUSE_ONCE || id == IDC_PASSWORDUSE_ALL) {
        End(id);
        return true;
    }
    return false;
}

int CPasswordUseDialog::Ask(HWND parent)
{
    switch (DoModal(parent)) {
    case IDC_PASSWORDUSE_NEW: return 0;
    case IDC_PASSWORDUSE_ONCE:
    case IDOK: return 1;
    case IDC_PASSWORDUSE_ALL: return 2;
    default: return -1;
    }
}
