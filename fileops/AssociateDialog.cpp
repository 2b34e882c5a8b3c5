// "ASSOCIATE": fields of any length, read back only on OK.
#include "fileops/AssociateDialog.h"
#include "resource.h"

bool CAssociateDialog::OnInit()
{
    for (int id : {IDC_ASSOC_DESCRIPTION, IDC_ASSOC_COMMAND}) ::SendMessageW(Item(id), EM_SETLIMITTEXT, 0, 0);
    SetItemText(IDC_ASSOC_EXTENSION, extension);
    SetItemText(IDC_ASSOC_DESCRIPTION, description);
    SetItemText(IDC_ASSOC_COMMAND, command);
    HWND field = Item(IDC_ASSOC_COMMAND);
    ::SetFocus(field);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    return false;
}

void CAssociateDialog::OnOK()
{
    description = ItemText(IDC_ASSOC_DESCRIPTION);
    command = ItemText(IDC_ASSOC_COMMAND);
    End(IDOK);
}
