// "DELETEDIR": the question before a directory that is not empty is deleted.
#pragma once
#include "framework/Dialog.h"
#include <string>

// The start of the question before a read-only or system file goes: "NAME (attributes: 0021) ".
std::wstring ProtectedFileQuestion(const std::wstring& name, unsigned long attributes);

enum class DirectoryAnswer { Yes, YesToAll, No, Cancel };

class CDeleteDirDialog : public fw::CDialog {
public:
    CDeleteDirDialog(const std::wstring& text, bool offerAll)
        : CDialog(L"DELETEDIR"), text(text), offerAll(offerAll) {}
    DirectoryAnswer Ask(HWND parent);

protected:
    bool OnInit() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    std::wstring text;
    bool offerAll;
};
