// "PRSETUP" (the default printer) and "PRINTSETTINGS" (the print options).
#pragma once
#include "framework/Dialog.h"
#include <string>
#include <vector>

struct PrinterNames {
    std::wstring device, port;
};

// The default printer's device and port; empty names when there is none.
PrinterNames DefaultPrinterNames();
// The printers the system knows, local and connected.
std::vector<std::wstring> InstalledPrinters();
// Makes printer the default through "windows"/"device", from its "PrinterPorts" entry, and tells
// every top-level window. False when the entry has no driver and port.
bool MakeDefaultPrinter(const std::wstring& printer);

class CPrinterSetupDialog : public fw::CDialog {
public:
    CPrinterSetupDialog() : CDialog(L"PRSETUP") {}

protected:
    bool OnInit() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    void Refresh();
};

class CPrintSettingsDialog : public fw::CDialog {
public:
    CPrintSettingsDialog() : CDialog(L"PRINTSETTINGS") {}

protected:
    bool OnInit() override;
    void OnOK() override;
};
