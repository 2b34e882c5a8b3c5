// Filling and reading the hex editor's dialogs.
#include "tools/hexedit/HexDialogs.h"
#include "resource.h"

namespace hex {

namespace {
// The dialog manager would select the whole text of the first field otherwise.
void FocusField(HWND dialog, int id)
{
    HWND field = ::GetDlgItem(dialog, id);
    ::SetFocus(field);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
}
}

bool CHexFindDialog::OnInit()
{
    SetItemText(IDC_HEX_FIELD, text);
    SetItemText(IDC_HEX_FIELD2, hexText);
    SetChecked(IDC_HEX_OPTION1, matchCase);
    SetChecked(IDC_HEX_OPTION2, backwards);
    SetChecked(IDC_HEX_OPTION3, !backwards);
    FocusField(hwnd, !hexText.empty() && text.empty() ? IDC_HEX_FIELD2 : IDC_HEX_FIELD);
    return false;
}

void CHexFindDialog::OnOK()
{
    text = ItemText(IDC_HEX_FIELD);
    hexText = ItemText(IDC_HEX_FIELD2);
    matchCase = IsChecked(IDC_HEX_OPTION1);
    backwards = IsChecked(IDC_HEX_OPTION2);
    End(IDOK);
}

bool CHexRangeDialog::OnInit()
{
    SetItemText(IDC_HEX_FIELD, start);
    SetItemText(IDC_HEX_FIELD2, end);
    SetItemText(IDC_HEX_FIELD3, count);
    SetChecked(IDC_HEX_OPTION2, useEnd);
    if (cut) SetChecked(IDC_HEX_OPTION1, toClipboard);
    FocusField(hwnd, IDC_HEX_FIELD);
    return false;
}

void CHexRangeDialog::OnOK()
{
    start = ItemText(IDC_HEX_FIELD);
    end = ItemText(IDC_HEX_FIELD2);
    count = ItemText(IDC_HEX_FIELD3);
    useEnd = IsChecked(IDC_HEX_OPTION2);
    if (cut) toClipboard = IsChecked(IDC_HEX_OPTION1);
    End(IDOK);
}

bool CHexPasteDialog::OnInit()
{
    SetItemText(IDC_HEX_FIELD2, count);
    SetChecked(IDC_HEX_OPTION2, overwrite);
    SetChecked(IDC_HEX_INSERTMODE, !overwrite);
    SetChecked(IDC_HEX_OPTION1, literal);
    FocusField(hwnd, IDC_HEX_FIELD2);
    return false;
}

void CHexPasteDialog::OnOK()
{
    count = ItemText(IDC_HEX_FIELD2);
    overwrite = IsChecked(IDC_HEX_OPTION2);
    literal = IsChecked(IDC_HEX_OPTION1);
    End(IDOK);
}

bool CHexFieldDialog::OnInit()
{
    SetItemText(IDC_HEX_FIELD, field);
    if (Item(IDC_HEX_OPTION2)) {
        SetChecked(IDC_HEX_OPTION2, ansi);
        SetChecked(IDC_HEX_OPTION3, !ansi);
    }
    FocusField(hwnd, IDC_HEX_FIELD);
    return false;
}

void CHexFieldDialog::OnOK()
{
    field = ItemText(IDC_HEX_FIELD);
    if (Item(IDC_HEX_OPTION2)) ansi = IsChecked(IDC_HEX_OPTION2);
    End(IDOK);
}

} // namespace hex
