// The dialogs "BUTTONPARMS" (one application button's settings) and "FKEYS" (the function-key map).
#pragma once
#include "framework/Dialog.h"
#include <string>

class CButtonParmsDialog : public fw::CDialog {
public:
    // index: the button's number 1 ... 20, section "Knop%d".
    explicit CButtonParmsDialog(int index) : CDialog(L"BUTTONPARMS"), index(index) {}
    const std::wstring& Name() const { return name; }

protected:
    bool OnInit() override;
    void OnOK() override;

private:
    std::wstring Section() const { return L"Knop" + std::to_wstring(index); }
    int index;
    std::wstring name;
};

class CFunctionKeysDialog : public fw::CDialog {
public:
    CFunctionKeysDialog() : CDialog(L"FKEYS") {}

protected:
    bool OnInit() override;
    void OnOK() override;
};

// The position of the first command of that name in the command table; the position after the
// last entry when there is none.
int CommandPosition(const std::wstring& name);
