// "ASSOCIATE": the extension, the description and the open command of a file type.
#pragma once
#include "framework/Dialog.h"
#include <string>

class CAssociateDialog : public fw::CDialog {
public:
    CAssociateDialog() : CDialog(L"ASSOCIATE") {}
    std::wstring extension, description, command;

protected:
    bool OnInit() override;
    void OnOK() override;
};
