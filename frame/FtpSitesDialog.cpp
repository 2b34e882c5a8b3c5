// The sites dialog (edit, connect, disconnect) and the FTP options dialog.
#include "frame/FtpSitesDialog.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "framework/Controls.h"
#include "framework/Resources.h"
#include "common/FtpConnection.h"
#include "ftp/FtpEngine.h"
#include "resource.h"

namespace {

const int DetailEdits[] = {IDC_FTP_HOST, IDC_FTP_PORT, IDC_FTP_USER, IDC_FTP_PASSWORD, IDC_FTP_INITDIR};
const int FirewallControls[] = {IDC_FTP_FWHOST, IDC_FTP_FWPORT, IDC_FTP_FWUSER, IDC_FTP_FWPASSWORD,
                                IDC_FTP_FWKIND1, IDC_FTP_FWKIND2, IDC_FTP_FWKIND3, IDC_FTP_FWKIND4};

void InsertListString(HWND list, const std::wstring& text)
{
    ::SendMessageW(list, LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
}

int SelectedIndex(HWND list) { return static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0)); }

bool SameNoCase(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The record as the detail controls of either dialog show it.
FtpSiteRecord ReadDetails(const fw::CDialog& d, const std::wstring& storedUser, const std::wstring& storedPassword)
{
    FtpSiteRecord s;
    s.host = d.ItemText(IDC_FTP_HOST);
    s.port = d.ItemText(IDC_FTP_PORT);
    s.anonymous = d.IsChecked(IDC_FTP_ANONYMOUS);
    s.user = s.anonymous ? storedUser : d.ItemText(IDC_FTP_USER);
    s.password = s.anonymous ? storedPassword : d.ItemText(IDC_FTP_PASSWORD);
    s.initialDir = d.ItemText(IDC_FTP_INITDIR);
    s.keepAlive = d.IsChecked(IDC_FTP_KEEPALIVE);
    s.passive = d.IsChecked(IDC_FTP_PASSIVE);
    LRESULT security = ::SendMessageW(d.Item(IDC_FTP_SECURITY), CB_GETCURSEL, 0, 0);
    s.security = security >= 0 && security <= 2 ? static_cast<int>(security) : 0;
    s.firewall = d.IsChecked(IDC_FTP_FIREWALL);
    s.firewallHost = d.ItemText(IDC_FTP_FWHOST);
    s.firewallPort = d.ItemText(IDC_FTP_FWPORT);
    s.firewallUser = d.ItemText(IDC_FTP_FWUSER);
    s.firewallPassword = d.ItemText(IDC_FTP_FWPASSWORD);
    s.firewallKind = 1;
    for (int k = 0; k < 4; ++k)
        if (d.IsChecked(IDC_FTP_FWKIND1 + k)) s.firewallKind = k + 1;
    return s;
}

void ShowDetails(const fw::CDialog& d, const FtpSiteRecord& s)
{
    d.SetItemText(IDC_FTP_HOST, s.host);
    d.SetItemText(IDC_FTP_PORT, s.port);
    d.SetChecked(IDC_FTP_ANONYMOUS, s.anonymous);
    d.SetItemText(IDC_FTP_USER, s.anonymous ? L"anonymous" : s.user);
    d.SetItemText(IDC_FTP_PASSWORD, s.anonymous ? FtpEmailOption() : s.password);
    ::EnableWindow(d.Item(IDC_FTP_USER), !s.anonymous);
    ::EnableWindow(d.Item(IDC_FTP_PASSWORD), !s.anonymous);
    d.SetChecked(IDC_FTP_KEEPALIVE, s.keepAlive);
    d.SetChecked(IDC_FTP_PASSIVE, s.passive);
    HWND security = d.Item(IDC_FTP_SECURITY);
    if (::SendMessageW(security, CB_GETCOUNT, 0, 0) == 0)
        for (UINT id : {IDS_FTP_TLS_PLAIN, IDS_FTP_TLS_IFOFFERED, IDS_FTP_TLS_REQUIRED})
            ::SendMessageW(security, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fw::LoadStr(id).c_str()));
    ::SendMessageW(security, CB_SETCURSEL, s.security, 0);
    d.SetChecked(IDC_FTP_FIREWALL, s.firewall);
    d.SetItemText(IDC_FTP_FWHOST, s.firewallHost);
    d.SetItemText(IDC_FTP_FWPORT, s.firewallPort);
    d.SetItemText(IDC_FTP_FWUSER, s.firewallUser);
    d.SetItemText(IDC_FTP_FWPASSWORD, s.firewallPassword);
    for (int k = 0; k < 4; ++k) d.SetChecked(IDC_FTP_FWKIND1 + k, s.firewallKind == k + 1);
    for (int id : FirewallControls) ::EnableWindow(d.Item(id), s.firewall);
}

void ToggleAnonymous(const fw::CDialog& d, const std::wstring& user, const std::wstring& password)
{
    bool on = d.IsChecked(IDC_FTP_ANONYMOUS);
    d.SetItemText(IDC_FTP_USER, on ? L"anonymous" : user);
    d.SetItemText(IDC_FTP_PASSWORD, on ? FtpEmailOption() : password);
    ::EnableWindow(d.Item(IDC_FTP_USER), !on);
    ::EnableWindow(d.Item(IDC_FTP_PASSWORD), !on);
}

void ToggleFirewall(const fw::CDialog& d)
{
    bool on = d.IsChecked(IDC_FTP_FIREWALL);
    for (int id : FirewallControls) ::EnableWindow(d.Item(id), on);
    if (on)
        for (int k = 0; k < 4; ++k) d.SetChecked(IDC_FTP_FWKIND1 + k, k == 0);
}
}

bool CFtpSitesDialog::OnInit()
{
    ScrambleStoredPasswords();
    std::wstring select;
    const std::wstring& connected = FtpState().connectedSite;
    if (!connected.empty())
        for (const std::wstring& name : FtpSiteNames())
            if (name.rfind(connected, 0) == 0) {
                select = name;
                break;
            }
    FillList(select);
    if (GetProfileInt(L"FTP", L"Logging", 1) == 0) ::EnableWindow(Item(IDC_FTP_VIEWLOG), FALSE);
    UpdateButtons();
    return true;
}

void CFtpSitesDialog::FillList(const std::wstring& select)
{
    HWND list = Item(IDC_FTP_SITELIST);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    int chosen = 0, index = 0;
    for (const std::wstring& name : FtpSiteNames()) {
        InsertListString(list, name);
        if (name == select) chosen = index;
        ++index;
    }
    shown.clear();
    if (index == 0) {
        ShowDetails(*this, FtpSiteRecord{});
        UpdateButtons();
        return;
    }
    ::SendMessageW(list, LB_SETCURSEL, chosen, 0);
    ShowSite(chosen);
}

void CFtpSitesDialog::ShowSite(int index)
{
    SaveShown();
    fw::CListBox list(Item(IDC_FTP_SITELIST));
    std::wstring name = index >= 0 ? list.GetItemText(index) : std::wstring();
    FtpSiteRecord site;
    if (!name.empty()) ReadFtpSite(name, site);
    storedUser = site.user;
    storedPassword = site.password;
    ShowDetails(*this, site);
    shown = name;
    UpdateLoginDirs();
    // A site stored without a list of recent directories still shows its initial directory.
    if (ItemText(IDC_FTP_INITDIR).empty()) SetItemText(IDC_FTP_INITDIR, site.initialDir);
    UpdateButtons();
}

FtpSiteRecord CFtpSitesDialog::Details() const { return ReadDetails(*this, storedUser, storedPassword); }

void CFtpSitesDialog::SaveShown()
{
    if (shown.empty()) return;
    WriteFtpSite(shown, Details());
}

void CFtpSitesDialog::UpdateLoginDirs()
{
    fw::CComboBox box(Item(IDC_FTP_INITDIR));
    box.ResetContent();
    std::vector<std::wstring> dirs = shown.empty() ? std::vector<std::wstring>() : ReadLoginDirs(shown);
    for (const std::wstring& d : dirs)
        ::SendMessageW(box.Handle(), CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(d.c_str()));
    if (!dirs.empty()) box.SetCurSel(0);
}

void CFtpSitesDialog::UpdateButtons()
{
    bool isConnected = !shown.empty() && !FtpState().connectedSite.empty() && shown == FtpState().connectedSite;
    ::EnableWindow(Item(IDC_FTP_CONNECT), !isConnected && !shown.empty());
    ::EnableWindow(Item(IDC_FTP_DISCONNECT), isConnected);
    ::SetWindowTextW(hwnd, fw::LoadStr(isConnected ? IDS_FTP_TITLECONNECTED : IDS_FTP_TITLE).c_str());
}

bool CFtpSitesDialog::OnCommand(UINT id, UINT code, HWND)
{
    switch (id) {
    case IDC_FTP_SITELIST:
        if (code == LBN_SELCHANGE) ShowSite(SelectedIndex(Item(IDC_FTP_SITELIST)));
        return true;
    case IDC_FTP_NEW: OnNew(); return true;
    case IDC_FTP_DELETE: OnDelete(); return true;
    case IDC_FTP_ANONYMOUS:
        if (code == BN_CLICKED) OnAnonymous();
        return true;
    case IDC_FTP_FIREWALL:
        if (code == BN_CLICKED) OnFirewall();
        return true;
    case IDC_FTP_CONNECT: OnConnect(); return true;
    case IDC_FTP_DISCONNECT: OnDisconnect(); return true;
    case IDC_FTP_VIEWLOG:
        if (GetProfileInt(L"FTP", L"Logging", 1) != 0 && host.viewTranscript) host.viewTranscript(FtpLogFilePath());
        return true;
    }
    return false;
}

void CFtpSitesDialog::OnAnonymous()
{
    if (!IsChecked(IDC_FTP_ANONYMOUS)) {
        ToggleAnonymous(*this, storedUser, storedPassword);
    } else {
        // What was typed is the stored user once anonymous is turned off again.
        storedUser = ItemText(IDC_FTP_USER);
        storedPassword = ItemText(IDC_FTP_PASSWORD);
        ToggleAnonymous(*this, storedUser, storedPassword);
    }
    SaveShown();
}

void CFtpSitesDialog::OnFirewall()
{
    ToggleFirewall(*this);
    SaveShown();
}

void CFtpSitesDialog::OnNew()
{
    SaveShown();
    CNewSiteDialog dialog;
    if (dialog.DoModal(hwnd) != IDOK) return;
    if (dialog.name.empty() || dialog.site.host.empty()) return;
    for (const std::wstring& existing : FtpSiteNames())
        if (SameNoCase(existing, dialog.name)) {
            ShowWarning(IDS_FTP_EXISTS);
            return;
        }
    WriteFtpSite(dialog.name, dialog.site);
    if (!dialog.site.initialDir.empty()) WriteProfileString(dialog.name.c_str(), L"LoginDir1", dialog.site.initialDir);
    shown.clear();
    FillList(dialog.name);
}

void CFtpSitesDialog::OnDelete()
{
    int index = SelectedIndex(Item(IDC_FTP_SITELIST));
    if (index < 0) return;
    std::wstring name = fw::CListBox(Item(IDC_FTP_SITELIST)).GetItemText(index);
    shown.clear();
    DeleteFtpSite(name);
    FillList(L"");
}

void CFtpSitesDialog::OnOK()
{
    SaveShown();
    if (!shown.empty()) RememberLoginDir(shown, ItemText(IDC_FTP_INITDIR));
    End(IDOK);
}

void CFtpSitesDialog::OnConnect()
{
    if (shown.empty()) return;
    SaveShown();
    RememberLoginDir(shown, ItemText(IDC_FTP_INITDIR));
    std::wstring name = shown;
    FtpSiteRecord site = Details();
    UpdateLoginDirs();
    FtpConnectionState& state = FtpState();
    if (!state.connectedSite.empty()) {
        if (host.panelShowsFtp && host.panelShowsFtp()) {
            ShowWarning(IDS_FTP_PANELSHOWS);
            return;
        }
        if (state.ftpConnected) FtpQuit();
        state.ftpConnected = false;
        state.connectedSite.clear();
        CloseFtpLogFile();
        UpdateButtons();
        if (host.ftpPanelsChanged) host.ftpPanelsChanged();
    }
    if (FtpConnectSite(hwnd, name, site) != 0) return;
    ApplyFtpPacing();
    UpdateButtons();
    End(IDOK);
}

void CFtpSitesDialog::OnDisconnect()
{
    SaveShown();
    bool was = FtpDisconnectSite();
    UpdateButtons();
    if (was && host.ftpPanelsChanged) host.ftpPanelsChanged();
    End(IDOK);
}

bool CNewSiteDialog::OnInit()
{
    FtpSiteRecord s;
    s.password = FtpEmailOption();
    // A new site keeps its password off the wire unless the user says otherwise.
    s.security = 2;
    ShowDetails(*this, s);
    return true;
}

bool CNewSiteDialog::OnCommand(UINT id, UINT code, HWND)
{
    if (id == IDC_FTP_ANONYMOUS && code == BN_CLICKED) {
        ToggleAnonymous(*this, L"", FtpEmailOption());
        return true;
    }
    if (id == IDC_FTP_FIREWALL && code == BN_CLICKED) {
        ToggleFirewall(*this);
        return true;
    }
    return false;
}

void CNewSiteDialog::OnOK()
{
    name = ItemText(IDC_FTP_SITENAME);
    site = ReadDetails(*this, L"", FtpEmailOption());
    if (site.port.empty()) site.port = L"21";
    End(IDOK);
}

bool CFtpSettingsDialog::OnInit()
{
    SetChecked(IDC_FTPS_LOGGING, GetProfileInt(L"FTP", L"Logging", 1) != 0);
    SetItemText(IDC_FTPS_LOGFILE, GetProfileString(L"FTP", L"LogFile", L"PDFTPLOG.TXT"));
    ::EnableWindow(Item(IDC_FTPS_LOGFILE), IsChecked(IDC_FTPS_LOGGING));
    int type = GetProfileInt(L"FTP", L"XferType", 4);
    for (int k = 0; k < 4; ++k) SetChecked(IDC_FTPS_XFER1 + k, type == k + 1);
    SetChecked(IDC_FTPS_DIRUPD, GetProfileInt(L"FTP", L"DirUpd", 0) != 0);
    SetItemText(IDC_FTPS_EMAIL, FtpEmailOption());
    SetChecked(IDC_FTPS_CONFIRM, GetProfileInt(L"FTP", L"Confirm", 1) != 0);
    SetChecked(IDC_FTPS_PACING, GetProfileInt(L"FTP", L"Pacing", 1) != 0);
    SetChecked(IDC_FTPS_ALWAYSASCII, GetProfileInt(L"FTP", L"AlwaysAscii", 0) != 0);
    SetChecked(IDC_FTPS_ALWAYSBINARY, GetProfileInt(L"FTP", L"AlwaysBinary", 0) != 0);
    FillExtensions(L"");
    return true;
}

void CFtpSettingsDialog::FillExtensions(const std::wstring& select)
{
    HWND list = Item(IDC_FTPS_EXTLIST);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    int chosen = 0, index = 0;
    for (const std::wstring& e : FtpAsciiExtensions(true)) {
        InsertListString(list, e);
        if (e == select) chosen = index;
        ++index;
    }
    if (index == 0) return;
    ::SendMessageW(list, LB_SETCURSEL, chosen, 0);
    SetItemText(IDC_FTPS_EXTEDIT, fw::CListBox(list).GetItemText(chosen));
}

bool CFtpSettingsDialog::OnCommand(UINT id, UINT code, HWND)
{
    switch (id) {
    case IDC_FTPS_EXTLIST:
        if (code == LBN_SELCHANGE) {
            int index = SelectedIndex(Item(IDC_FTPS_EXTLIST));
            if (index >= 0) SetItemText(IDC_FTPS_EXTEDIT, fw::CListBox(Item(IDC_FTPS_EXTLIST)).GetItemText(index));
        }
        return true;
    case IDC_FTPS_ADD: {
        std::wstring text = ItemText(IDC_FTPS_EXTEDIT);
        if (text.empty()) return true;
        if (!AddFtpExtension(text)) {
            ShowWarning(IDS_FTP_EXISTS);
            return true;
        }
        FillExtensions(text);
        return true;
    }
    case IDC_FTPS_REMOVE: {
        int index = SelectedIndex(Item(IDC_FTPS_EXTLIST));
        if (index < 0) return true;
        RemoveFtpExtension(fw::CListBox(Item(IDC_FTPS_EXTLIST)).GetItemText(index));
        FillExtensions(L"");
        return true;
    }
    case IDC_FTPS_LOGGING: {
        if (code != BN_CLICKED) return true;
        bool on = IsChecked(IDC_FTPS_LOGGING);
        ::EnableWindow(Item(IDC_FTPS_LOGFILE), on);
        FtpConnectionState& s = FtpState();
        if (on && s.ftpConnected && s.ftpLogFile == INVALID_HANDLE_VALUE) {
            WriteProfileString(L"FTP", L"LogFile", ItemText(IDC_FTPS_LOGFILE));
            s.ftpLogFile = OpenFtpLogFile();
            FtpSetLogFile(s.ftpLogFile);
        } else if (!on) {
            CloseFtpLogFile();
        }
        return true;
    }
    }
    return false;
}

void CFtpSettingsDialog::OnOK()
{
    WriteProfileInt(L"FTP", L"Logging", IsChecked(IDC_FTPS_LOGGING) ? 1 : 0);
    WriteProfileString(L"FTP", L"LogFile", ItemText(IDC_FTPS_LOGFILE));
    int type = 4;
    for (int k = 0; k < 4; ++k)
        if (IsChecked(IDC_FTPS_XFER1 + k)) type = k + 1;
    WriteProfileInt(L"FTP", L"XferType", type);
    WriteProfileInt(L"FTP", L"DirUpd", IsChecked(IDC_FTPS_DIRUPD) ? 1 : 0);
    WriteProfileString(L"FTP", L"Email", ItemText(IDC_FTPS_EMAIL));
    WriteProfileInt(L"FTP", L"Confirm", IsChecked(IDC_FTPS_CONFIRM) ? 1 : 0);
    WriteProfileInt(L"FTP", L"Pacing", IsChecked(IDC_FTPS_PACING) ? 1 : 0);
    WriteProfileInt(L"FTP", L"AlwaysAscii", IsChecked(IDC_FTPS_ALWAYSASCII) ? 1 : 0);
    WriteProfileInt(L"FTP", L"AlwaysBinary", IsChecked(IDC_FTPS_ALWAYSBINARY) ? 1 : 0);
    ApplyFtpPacing();
    End(IDOK);
}

void ApplyFtpPacing()
{
    if (!FtpState().engineStarted) return;
    FtpSetPauseLength(GetProfileInt(L"FTP", L"Pacing", 1) != 0 ? 100 : 0);
}
