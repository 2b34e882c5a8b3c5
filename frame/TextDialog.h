// A dialog with one text field: "FILTER", "MARK", "UNMARK", "CD", "EDITNEW".
#pragma once
#include "framework/Dialog.h"
#include <string>

class CTextDialog : public fw::CDialog {
public:
    CTextDialog(const wchar_t* templateName, int fieldId, const std::wstring& initial)
        : CDialog(templateName), fieldId(fieldId), text(initial) {}
    const std::wstring& Text() const { return text; }

protected:
    bool OnInit() override;
    void OnOK() override;

private:
    int fieldId;
    std::wstring text;
};

// "DIRHIST": the recent directories, the first one selected.
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
