// FTP over TLS through the real sites dialogs against pyftpdlib's TLS handler: the security choice, the
// certificate question (connect once, trust always, cancel), a changed certificate, the status and the transcript.
#include <winsock2.h>
#include "common/Settings.h"
#include "fileops/FileCheck.h"
#include "common/FtpConnection.h"
#include "ftp/FtpEngine.h"
#include "ftp/FtpTestSupport.h"
#include "panel/DriveCombo.h"
#include "resource.h"

using namespace test;

namespace {

class FtpTlsPanel : public CopyFixture {
protected:
    void Prepare() override
    {
        info = ftptest::ServerInfo("pyftpd-tls");
        ASSERT_FALSE(info.empty()) << "no TLS server details: run scripts/ftp-servers.sh start";
        WriteProfileInt(L"FTP", L"Encrypted", 1);
        WriteProfileString(L"FTP", L"LogFile", log.Path() + L"\\PDFTPLOG.TXT");
        FtpSiteRecord site;
        site.host = L"127.0.0.1";
        site.port = ftptest::Widen(info["port"]);
        site.user = ftptest::Widen(info["user"]);
        site.password = ftptest::Widen(info["password"]);
        site.passive = true;
        site.security = FtpTlsRequired;
        WriteFtpSite(L"Secure", site);
    }
    // Opens "FTPSITES" with the site selected, presses Connect and answers the boxes in order; the sites
    // dialog, which stays open after a failed connection, is closed with the last box.
    std::vector<std::wstring> Connect(std::vector<int> boxAnswers, std::function<void(HWND)> onShow = nullptr)
    {
        HWND sites = nullptr;
        size_t seen = 0;
        size_t expected = boxAnswers.size();
        Answers answers({{L"FTPSITES", Rule{{IDC_FTP_CONNECT}, [onShow, &sites](HWND wnd) {
                              sites = wnd;
                              HWND list = ::GetDlgItem(wnd, IDC_FTP_SITELIST);
                              int i = static_cast<int>(::SendMessageW(list, LB_FINDSTRINGEXACT,
                                                                      static_cast<WPARAM>(-1),
                                                                      reinterpret_cast<LPARAM>(L"Secure")));
                              ::SendMessageW(list, LB_SETCURSEL, i, 0);
                              ::SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(IDC_FTP_SITELIST, LBN_SELCHANGE),
                                             reinterpret_cast<LPARAM>(list));
                              if (onShow) onShow(wnd);
                          }}},
                         {L"#32770", Rule{boxAnswers, [&](HWND) {
                              if (++seen == expected && sites) ::PostMessageW(sites, WM_COMMAND, IDOK, 0);
                          }}}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSITES, 0);
        return answers.Boxes();
    }
    void Disconnect()
    {
        Answers answers({{L"FTPSITES", Rule{{IDC_FTP_DISCONNECT}}}, {L"#32770", Rule{{IDOK}}}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSITES, 0);
    }
    static bool Contains(const std::wstring& text, const std::wstring& part)
    {
        return text.find(part) != std::wstring::npos;
    }
    std::map<std::string, std::string> info;
    TempDir log;
};

} // namespace

TEST_F(FtpTlsPanel, CertificateQuestionConnectOnceTrustAlwaysAndCancel)
{
    std::wstring fingerprint = ftptest::Widen(info["sha256"]);
    // Cancel: not connected, nothing trusted.
    auto boxes = Connect({IDCANCEL, IDOK});
    EXPECT_FALSE(FtpState().ftpConnected);
    ASSERT_GE(boxes.size(), 1u);
    EXPECT_TRUE(Contains(boxes[0], fingerprint)) << Narrow(boxes[0]);
    EXPECT_TRUE(Contains(boxes[0], L"CN=localhost")) << Narrow(boxes[0]);
    EXPECT_TRUE(Contains(boxes[0], L"Valid from")) << Narrow(boxes[0]);
    EXPECT_TRUE(TrustedCertificate(L"Secure").empty());

    // No: connected this once, still nothing trusted; the status names the encryption.
    boxes = Connect({IDNO, IDOK});
    ASSERT_TRUE(FtpState().ftpConnected);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(Contains(boxes[1], L"encrypted (TLS 1.2")) << Narrow(boxes[1]);
    // The status line of an FTP panel says so too.
    EXPECT_TRUE(Contains(CDriveCombo::ftp.statusText(), L"127.0.0.1, TLS 1.2")) << Narrow(CDriveCombo::ftp.statusText());
    EXPECT_TRUE(TrustedCertificate(L"Secure").empty());
    Disconnect();

    // Yes: trusted always, and the next connection asks nothing.
    boxes = Connect({IDYES, IDOK});
    ASSERT_TRUE(FtpState().ftpConnected);
    EXPECT_EQ(TrustedCertificate(L"Secure"), fingerprint);
    Disconnect();
    boxes = Connect({IDOK});
    ASSERT_TRUE(FtpState().ftpConnected);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Contains(boxes[0], L"encrypted")) << Narrow(boxes[0]);
    Disconnect();

    // The transcript shows the encryption and never the password.
    std::string transcript = ReadAll(log.Path() + L"\\PDFTPLOG.TXT");
    EXPECT_NE(transcript.find("Encrypted: TLS 1.2"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find(info["password"]), std::string::npos) << transcript;
}

TEST_F(FtpTlsPanel, AChangedCertificateIsWarnedBeforeAnythingIsSent)
{
    TrustCertificate(L"Secure", L"00:11:22");
    auto boxes = Connect({IDCANCEL, IDOK});
    EXPECT_FALSE(FtpState().ftpConnected);
    ASSERT_GE(boxes.size(), 1u);
    EXPECT_TRUE(Contains(boxes[0], L"has changed")) << Narrow(boxes[0]);
    EXPECT_TRUE(Contains(boxes[0], L"00:11:22")) << Narrow(boxes[0]);
    EXPECT_EQ(TrustedCertificate(L"Secure"), L"00:11:22");
    std::string transcript = ReadAll(log.Path() + L"\\PDFTPLOG.TXT");
    EXPECT_EQ(transcript.find("USER"), std::string::npos) << transcript;
}

TEST_F(FtpTlsPanel, TheSitesDialogsOfferTheChoice)
{
    // The stored choice shows and a change is kept.
    Answers answers({{L"FTPSITES", Rule{{IDOK}, [](HWND wnd) {
                          HWND combo = ::GetDlgItem(wnd, IDC_FTP_SECURITY);
                          EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
                          EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), FtpTlsRequired);
                          ::SendMessageW(combo, CB_SETCURSEL, FtpTlsIfOffered, 0);
                      }}},
                     {L"#32770", Rule{{IDOK}}}});
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSITES, 0);
    FtpSiteRecord site;
    ASSERT_TRUE(ReadFtpSite(L"Secure", site));
    EXPECT_EQ(site.security, FtpTlsIfOffered);

    // A new site requires TLS unless the user chooses otherwise.
    std::wstring shownText;
    HWND sites = nullptr;
    Answers fresh({{L"FTPSITES", Rule{{IDC_FTP_NEW}, [&](HWND wnd) { sites = wnd; }}},
                   {L"NEWSITE", Rule{{IDOK}, [&](HWND wnd) {
                        // The sites dialog closes once the new site is in.
                        ::PostMessageW(sites, WM_COMMAND, IDOK, 0);
                        HWND combo = ::GetDlgItem(wnd, IDC_FTP_SECURITY);
                        EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), FtpTlsRequired);
                        wchar_t text[64] = {};
                        ::GetWindowTextW(combo, text, 64);
                        shownText = text;
                        ::SetDlgItemTextW(wnd, IDC_FTP_SITENAME, L"Fresh");
                        ::SetDlgItemTextW(wnd, IDC_FTP_HOST, L"ftp.example.org");
                    }}},
                   {L"#32770", Rule{{IDOK}}}});
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSITES, 0);
    EXPECT_EQ(shownText, L"Require TLS");
    ASSERT_TRUE(ReadFtpSite(L"Fresh", site));
    EXPECT_EQ(site.security, FtpTlsRequired);
}

TEST_F(FtpTlsPanel, RequiredTlsThroughAFirewallIsRefusedUnsent)
{
    FtpSiteRecord site;
    ASSERT_TRUE(ReadFtpSite(L"Secure", site));
    site.firewall = true;
    site.firewallHost = L"127.0.0.1";
    site.firewallPort = ftptest::Widen(info["port"]);
    WriteFtpSite(L"Secure", site);
    auto boxes = Connect({IDOK});
    EXPECT_FALSE(FtpState().ftpConnected);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Contains(boxes[0], L"firewall")) << Narrow(boxes[0]);
}
