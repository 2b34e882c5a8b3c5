// The hex editor's small dialogs; they only carry texts and choices, the view checks them.
#pragma once
#include "framework/Dialog.h"
#include <string>

namespace hex {

// "IDD_FINDDIALOG": text or hexadecimal bytes, match case, direction.
class CHexFindDialog : public fw::CDialog {
public:
    CHexFindDialog() : CDialog(L"IDD_FINDDIALOG") {}
    std::wstring text, hexText;
    bool matchCase = false, backwards = false;

protected:
    bool OnInit() override;
    void OnOK() override;
};

// "IDD_COPYDIALOG" and "IDD_CUTDIALOG": start, end or count, and for a cut the clipboard choice.
class CHexRangeDialog : public fw::CDialog {
public:
    explicit CHexRangeDialog(bool cut) : CDialog(cut ? L"IDD_CUTDIALOG" : L"IDD_COPYDIALOG"), cut(cut) {}
    std::wstring start, end, count;
    bool useEnd = true, toClipboard = false;

protected:
    bool OnInit() override;
    void OnOK() override;

private:
    bool cut;
};

// "IDD_FASTPASTE_DIALOG": repeat count, overwrite or insert, literal text.
class CHexPasteDialog : public fw::CDialog {
public:
    CHexPasteDialog() : CDialog(L"IDD_FASTPASTE_DIALOG") {}
    std::wstring count = L"1";
    bool overwrite = true, literal = false;

protected:
    bool OnInit() override;
    void OnOK() override;
};

// "IDD_GOTODIALOG" (one field) and "IDD_CHARACTERSETDIALOG" (font size and character set).
class CHexFieldDialog : public fw::CDialog {
public:
    explicit CHexFieldDialog(const wchar_t* templateName) : CDialog(templateName) {}
    std::wstring field;
    bool ansi = true;

protected:
    bool OnInit() override;
    void OnOK() override;
};

} // namespace hex
