// "CALCSPACE": the directories, files and bytes counted below a directory.
#pragma once
#include "framework/Dialog.h"
#include <string>

class CSpaceDialog : public fw::CDialog {
public:
    CSpaceDialog() : CDialog(L"CALCSPACE") {}
    std::wstring prompt, directories, files, bytes;

protected:
    bool OnInit() override;
};
