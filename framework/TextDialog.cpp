// The one-field dialog: the text is selected so typing replaces it.
#include "framework/TextDialog.h"

namespace fw {

bool CTextDialog::OnInit()
{
    SetItemText(fieldId, text);
    HWND field = Item(fieldId);
    ::SetFocus(field);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    return false;
}

void CTextDialog::OnOK()
{
    text = ItemText(fieldId);
    End(IDOK);
}

} // namespace fw
