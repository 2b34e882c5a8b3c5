// "BUTTONPARMS" and "FKEYS": reading and writing their settings.
#include "frame/ButtonDialogs.h"
#include "common/Settings.h"
#include "frame/CommandTable.h"
#include "framework/Controls.h"
#include "resource.h"

namespace {
struct Field {
    int id;
    const wchar_t* key;
};
const Field Fields[4] = {
    {IDC_BP_NAME, L"Naam"},
    {IDC_BP_PROGRAM, L"Programma"},
    {IDC_BP_PARMS, L"Parms"},
    {IDC_BP_WORKDIR, L"WerkDir"},
};
const int WindowButtons[3] = {IDC_BP_NORMAL, IDC_BP_MAXIMISED, IDC_BP_MINIMISED};
}

bool CButtonParmsDialog::OnInit()
{
    std::wstring section = Section();
    for (const Field& f : Fields) {
        ::SendDlgItemMessageW(hwnd, f.id, EM_LIMITTEXT, MAX_PATH - 1, 0);
        SetItemText(f.id, GetProfileString(section.c_str(), f.key, L""));
    }
    int window = GetProfileInt(section.c_str(), L"Window", 0);
    if (window < 0 || window > 2) window = 0;
    for (int i = 0; i < 3; ++i) SetChecked(WindowButtons[i], i == window);
    return true;
}

void CButtonParmsDialog::OnOK()
{
    std::wstring section = Section();
    for (const Field& f : Fields) WriteProfileString(section.c_str(), f.key, ItemText(f.id));
    int window = 0;
    for (int i = 0; i < 3; ++i)
        if (IsChecked(WindowButtons[i])) window = i;
    WriteProfileInt(section.c_str(), L"Window", window);
    name = ItemText(IDC_BP_NAME);
    End(IDOK);
}

int CommandPosition(const std::wstring& name)
{
    const auto& table = CommandTable();
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].name == name) return static_cast<int>(i);
    return static_cast<int>(table.size());
}

bool CFunctionKeysDialog::OnInit()
{
    FunctionKeyMap map = ReadFunctionKeyMap();
    for (int k = 0; k < 9; ++k) {
        fw::CComboBox list(Item(IDC_FKEYS_F2 + k));
        for (const NamedCommand& command : CommandTable()) list.AddString(command.name);
        int position = map.position[k];
        list.SetCurSel(position >= 0 && position < list.GetCount() ? position : -1);
    }
    return true;
}

void CFunctionKeysDialog::OnOK()
{
    for (int k = 0; k < 9; ++k) {
        fw::CComboBox list(Item(IDC_FKEYS_F2 + k));
        int selected = list.GetCurSel();
        std::wstring name = selected >= 0 ? list.GetItemText(selected) : std::wstring();
        WriteProfileInt(L"FKeys", (L"FK" + std::to_wstring(k + 2)).c_str(), CommandPosition(name));
    }
    End(IDOK);
}
