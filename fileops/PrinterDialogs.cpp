// "PRSETUP" (the default printer) and "PRINTSETTINGS" (the print options).
#include "fileops/PrinterDialogs.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/TextPrinter.h"
#include "framework/Resources.h"
#include "resource.h"
#include <winspool.h>

PrinterNames DefaultPrinterNames()
{
    PrinterNames names;
    names.device = DefaultPrinterName();
    if (names.device.empty()) return names;
    HANDLE printer = nullptr;
    if (!::OpenPrinterW(names.device.data(), &printer, nullptr)) return names;
    DWORD needed = 0;
    ::GetPrinterW(printer, 2, nullptr, 0, &needed);
    std::vector<BYTE> info(needed ? needed : 1);
    if (needed && ::GetPrinterW(printer, 2, info.data(), needed, &needed)) {
        auto* p2 = reinterpret_cast<PRINTER_INFO_2W*>(info.data());
        if (p2->pPortName) names.port = p2->pPortName;
    }
    ::ClosePrinter(printer);
    return names;
}

std::vector<std::wstring> InstalledPrinters()
{
    std::vector<std::wstring> names;
    DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    DWORD needed = 0, count = 0;
    ::EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
    if (needed == 0) return names;
    std::vector<BYTE> buffer(needed);
    if (!::EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &count)) return names;
    auto* info = reinterpret_cast<PRINTER_INFO_4W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i)
        if (info[i].pPrinterName) names.push_back(info[i].pPrinterName);
    return names;
}

bool MakeDefaultPrinter(const std::wstring& printer)
{
    // "PrinterPorts" holds "driver,port,timeout,timeout".
    std::vector<wchar_t> entry(1024);
    for (;;) {
        DWORD n = ::GetProfileStringW(L"PrinterPorts", printer.c_str(), L"", entry.data(),
                                      static_cast<DWORD>(entry.size()));
        if (n + 2 < entry.size()) break;
        entry.resize(entry.size() * 4);
    }
    std::wstring ports = entry.data();
    size_t comma = ports.find(L',');
    if (comma == std::wstring::npos || comma == 0) return false;
    std::wstring driver = ports.substr(0, comma);
    std::wstring port = ports.substr(comma + 1);
    port = port.substr(0, port.find(L','));
    if (port.empty()) return false;
    std::wstring device = printer + L"," + driver + L"," + port;
    if (!::WriteProfileStringW(L"windows", L"device", device.c_str())) return false;
    // Hung windows must not hold the dialog up.
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"windows"),
                          SMTO_ABORTIFHUNG | SMTO_NORMAL, 2000, nullptr);
    return true;
}

bool CPrinterSetupDialog::OnInit()
{
    Refresh();
    return true;
}

void CPrinterSetupDialog::Refresh()
{
    PrinterNames names = DefaultPrinterNames();
    SetItemText(IDC_PRSETUP_DEFAULT, names.device.empty() ? fw::LoadStr(IDS_PRSETUP_NONE)
                                                          : names.device + fw::LoadStr(IDS_ON) + names.port);
    HWND list = Item(IDC_PRSETUP_LIST);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::wstring& name : InstalledPrinters()) {
        LRESULT index = ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        if (!names.device.empty() && lstrcmpiW(name.c_str(), names.device.c_str()) == 0)
            ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

bool CPrinterSetupDialog::OnCommand(UINT id, UINT code, HWND)
{
    if (id != IDC_PRSETUP_SETDEFAULT && !(id == IDC_PRSETUP_LIST && code == LBN_DBLCLK)) return false;
    HWND list = Item(IDC_PRSETUP_LIST);
    LRESULT index = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return true;
    LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    std::wstring name(static_cast<size_t>(length) + 1, L'\0');
    name.resize(static_cast<size_t>(::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                                   reinterpret_cast<LPARAM>(name.data()))));
    if (!MakeDefaultPrinter(name)) ShowMessage(hwnd, fw::LoadStr(IDS_PRSETUP_FAILED) + name, MB_OK | MB_ICONWARNING);
    Refresh();
    return true;
}

bool CPrintSettingsDialog::OnInit()
{
    PrintOptions o = ReadPrintOptions();
    SetChecked(IDC_PS_CUT, o.cut);
    SetChecked(IDC_PS_NUMBERS, o.lineNumbers);
    int layoutButton = o.layout == 0 ? IDC_PS_PORTRAIT : o.layout == 1 ? IDC_PS_LANDSCAPE : IDC_PS_TWOPAGES;
    ::CheckRadioButton(hwnd, IDC_PS_PORTRAIT, IDC_PS_TWOPAGES, layoutButton);
    ::SetDlgItemInt(hwnd, IDC_PS_TAB, static_cast<UINT>(o.tabWidth), FALSE);
    ::CheckRadioButton(hwnd, IDC_PS_ANSI, IDC_PS_OEM, o.ansiCharSet ? IDC_PS_ANSI : IDC_PS_OEM);
    return true;
}

void CPrintSettingsDialog::OnOK()
{
    BOOL valid = FALSE;
    UINT tab = ::GetDlgItemInt(hwnd, IDC_PS_TAB, &valid, FALSE);
    if (!valid || tab < 1 || tab > 64) {
        ::SendMessageW(Item(IDC_PS_TAB), EM_SETSEL, 0, -1);
        ::SetFocus(Item(IDC_PS_TAB));
        ::MessageBeep(MB_ICONWARNING);
        return;
    }
    int layout = IsChecked(IDC_PS_TWOPAGES) ? 2 : IsChecked(IDC_PS_LANDSCAPE) ? 1 : 0;
    WriteProfileInt(L"Algemeen", L"Afkappen", IsChecked(IDC_PS_CUT) ? 1 : 0);
    WriteProfileInt(L"Algemeen", L"RegelNummers", IsChecked(IDC_PS_NUMBERS) ? 1 : 0);
    WriteProfileInt(L"Algemeen", L"bA4", layout);
    WriteProfileInt(L"Algemeen", L"PerA4", layout == 2 ? 2 : 1);
    WriteProfileInt(L"Algemeen", L"PerTab", static_cast<int>(tab));
    WriteProfileInt(L"Algemeen", L"bCharSet", IsChecked(IDC_PS_OEM) ? 0 : 1);
    End(IDOK);
}
