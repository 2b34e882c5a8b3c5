// The FTP commands of the main window: sites, options, the keep-alive timer and the drive boxes' FTP entry.
#include "frame/MainWindow.h"
#include "common/Program.h"
#include "frame/FtpSitesDialog.h"
#include "framework/Resources.h"
#include "ftp/FtpEngine.h"
#include "common/FtpConnection.h"
#include "resource.h"
#include "tools/textedit/TextEditDialog.h"

void CMainWindow::InitFtp()
{
    FtpState().timerWindow = hwnd;
    CDriveCombo::ftp.connected = [] { return FtpState().ftpConnected; };
    CDriveCombo::ftp.siteName = [] { return FtpState().connectedSite; };
    CDriveCombo::ftp.statusText = [] {
        const FtpConnectionState& s = FtpState();
        std::wstring encrypted = s.encryption.empty() ? L"" : L", " + s.encryption;
        return fw::LoadStr(IDS_FTP_STATUS) + s.connectedSite + L" (" + s.host + encrypted + L")";
    };
}

bool CMainWindow::PanelShowsFtp() const { return left.panel.drive == L"FTP" || right.panel.drive == L"FTP"; }

void CMainWindow::OnFtpSites()
{
    HelpContextScope help(IDM_FTPSITES);
    FtpSitesHost host;
    host.panelShowsFtp = [this] { return PanelShowsFtp(); };
    host.ftpPanelsChanged = [this] {
        for (bool isLeft : {true, false})
            if (Side(isLeft).panel.drive == L"FTP")
                ::SendMessageW(hwnd, pm::DriveUpdate, reinterpret_cast<WPARAM>(Side(isLeft).panel.Handle()), 0);
    };
    host.viewTranscript = [this](const std::wstring& file) {
        if (::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
            ShowMessage(hwnd, fw::LoadStr(IDS_FTP_NOLOG) + file, MB_OK | MB_ICONEXCLAMATION);
            return;
        }
        te::CTextEditDialog::Open(hwnd, file, true, false);
    };
    CFtpSitesDialog dialog(host);
    dialog.DoModal(hwnd);
    UpdateDriveBox(true);
    UpdateDriveBox(false);
}

void CMainWindow::OnFtpSettings()
{
    HelpContextScope help(IDM_FTPSETTINGS);
    CFtpSettingsDialog dialog;
    dialog.DoModal(hwnd);
}

void CMainWindow::OnFtpKeepAlive()
{
    // An operation that runs the engine stops the timer; one that fires in between waits for the next round.
    if (CFileList::FtpEngineBusy()) return StartKeepAliveTimer();
    FtpKeepAliveTick();
    if (!FtpState().ftpConnected) {
        UpdateDriveBox(true);
        UpdateDriveBox(false);
    }
}

void CMainWindow::ShutdownFtp()
{
    FtpConnectionState& s = FtpState();
    if (s.ftpConnected || s.engineStarted) {
        if (s.ftpConnected && FtpQuit() != 0) FtpDropConnection();
        s.ftpConnected = false;
        s.connectedSite.clear();
        CloseFtpLogFile();
        if (s.engineStarted) FtpEngineStop();
        s.engineStarted = false;
    }
    StopKeepAliveTimer();
    s.timerWindow = nullptr;
}
