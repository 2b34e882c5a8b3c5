// "PASSWORD" asks for a member's password; "PASSWORDUSE" asks whether to reuse the one given.
#pragma once
#include "framework/Dialog.h"
#include <string>

class CPasswordDialog : public fw::CDialog {
public:
    explicit CPasswordDialog(const std::wstring& member) : CDialog(L"PASSWORD"), member(member) {}
    std::wstring password;
    bool forAll = false;

protected:
    bool OnInit() override;
    void OnOK() override;

private:
    std::wstring member;
};

class CPasswordUseDialog : public fw::CDialog {
public:
    explicit CPasswordUseDialog(const std::wstring& member) : CDialog(L"PASSWORDUSE"), member(member) {}
    // -1 cancel, 0 ask for a new password, 1 use it once, 2 use it for every further member.
    int Ask(HWND parent);

protected:
    bool OnInit() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    std::wstring member;
};
