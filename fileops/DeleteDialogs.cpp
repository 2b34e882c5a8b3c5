// The directory question of a delete.
#include "fileops/DeleteDialogs.h"
#include "resource.h"
#include <cwchar>

std::wstring ProtectedFileQuestion(const std::wstring& name, unsigned long attributes)
{
    std::wstring upper = name;
    if (!upper.empty()) ::CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    wchar_t value[40];
    std::swprintf(value, 40, L" (attributes: %04lX) ", attributes);
    return upper + value;
}

DirectoryAnswer CDeleteDirDialog::Ask(HWND parent)
{
    switch (DoModal(parent)) {
    case IDYES: return DirectoryAnswer::Yes;
    case IDC_DELDIR_ALL: return DirectoryAnswer::YesToAll;
    case IDNO: return DirectoryAnswer::No;
    default: return DirectoryAnswer::Cancel;
    }
}

bool CDeleteDirDialog::OnInit()
{
    SetItemText(IDC_DELDIR_TEXT, text);
    ::EnableWindow(Item(IDC_DELDIR_ALL), offerAll);
    return true;
}

bool CDeleteDirDialog::OnCommand(UINT id, UINT code, HWND)
{
    if ((id == IDYES || id == IDNO || (id == IDC_DELDIR_ALL && offerAll)) && code == BN_CLICKED) {
        End(id);
        return true;
    }
    return false;
}
