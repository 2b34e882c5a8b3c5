// "DIRHIST": the recent directories, the first one selected.
#pragma once
#include "framework/Dialog.h"
#include <string>

class CDirHistDialog : public fw::CDialog {
public:
    CDirHistDialog() : CDialog(L"DIRHIST") {}
    const std::wstring& Chosen() const { return chosen; }

protected:
    bool OnInit() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    std::wstring chosen;
};
