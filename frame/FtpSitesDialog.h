// CFtpSitesDialog ("FTPSITES"), CNewSiteDialog ("NEWSITE") and CFtpSettingsDialog ("FTPSETTINGS").
#pragma once
#include "framework/Dialog.h"
#include "common/FtpSites.h"
#include <functional>
#include <string>

// What the sites dialog needs of the main window.
struct FtpSitesHost {
    std::function<bool()> panelShowsFtp;
    // Each panel on the FTP entry is told that its drive changed.
    std::function<void()> ftpPanelsChanged;
    // Opens the transcript file for reading.
    std::function<void(const std::wstring&)> viewTranscript;
};

class CFtpSitesDialog : public fw::CDialog {
public:
    explicit CFtpSitesDialog(FtpSitesHost host) : CDialog(L"FTPSITES"), host(std::move(host)) {}

protected:
    bool OnInit() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    void FillList(const std::wstring& select);
    void ShowSite(int index);
    void SaveShown();
    FtpSiteRecord Details() const;
    void UpdateButtons();
    void UpdateLoginDirs();
    void OnAnonymous();
    void OnFirewall();
    void EnableFirewall(bool on);
    void OnNew();
    void OnDelete();
    void OnConnect();
    void OnDisconnect();
    FtpSitesHost host;
    std::wstring shown; // the site whose details the controls hold
    std::wstring storedUser;
    std::wstring storedPassword;
};

class CNewSiteDialog : public fw::CDialog {
public:
    CNewSiteDialog() : CDialog(L"NEWSITE") {}
    std::wstring name;
    FtpSiteRecord site;

protected:
    bool OnInit() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
};

class CFtpSettingsDialog : public fw::CDialog {
public:
    CFtpSettingsDialog() : CDialog(L"FTPSETTINGS") {}

protected:
    bool OnInit() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    void FillExtensions(const std::wstring& select);
};

// The engine's pause between blocks from "FTP"/"Pacing": the engine's own pacing, or none.
void ApplyFtpPacing();
