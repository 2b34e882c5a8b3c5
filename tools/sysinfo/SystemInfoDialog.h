// "THISCOMPUTER": the system-information page; no commands of its own.
#pragma once
#include "framework/Dialog.h"

class CSystemInfoDialog : public fw::CDialog {
public:
    CSystemInfoDialog() : fw::CDialog(L"THISCOMPUTER") {}

protected:
    bool OnInit() override;
};
