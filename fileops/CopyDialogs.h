// The dialogs of copy and move: "COPY"/"RENMOVE", the progress "STATUSCOPY" and "OVERWRITE".
#pragma once
#include "fileops/OperationUi.h"
#include "framework/Dialog.h"
#include <string>

// "COPY" for a copy, "RENMOVE" for a move or rename; both use the same control ids.
class CCopyDialog : public fw::CDialog {
public:
    explicit CCopyDialog(bool move) : CDialog(move ? L"RENMOVE" : L"COPY") {}
    std::wstring prompt, target;
    bool onlyNewer = false;
    // Offered only when an FTP panel takes part: "XferType" 1 Binary, 2 ASCII, 3 L8, 4 automatic.
    bool offerTransferType = false;
    int transferType = 4;

protected:
    bool OnInit() override;
    void OnOK() override;
};

// Modeless; its Cancel only raises the cancel flag, the running loop closes it.
// Also "STATUSREMOVE" and "STATUSCALC", which show only the name in 1260.
class CStatusCopyDialog : public fw::CDialog {
public:
    explicit CStatusCopyDialog(OperationState& state, const wchar_t* templateName = L"STATUSCOPY")
        : CDialog(templateName), state(state) {}
    std::wstring title;

protected:
    bool OnInit() override;
    void OnCancel() override { state.cancelRequested = true; }

private:
    OperationState& state;
};

class COverwriteDialog : public fw::CDialog {
public:
    explicit COverwriteDialog(const OverwriteQuestion& question) : CDialog(L"OVERWRITE"), question(question) {}
    OverwriteAnswer Ask(HWND parent);
    // "1,234 bytes, dd-mm-yy   hh:mm" for one file.
    static std::wstring FileLine(uint64_t size, uint64_t fileTime);

protected:
    bool OnInit() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    OverwriteQuestion question;
};
