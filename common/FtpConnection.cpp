// Connecting to a site and the rules every FTP operation of the file manager shares.
#include "common/FtpConnection.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "ftp/TlsLayer.h"
#include "ftp/FtpEngine.h"
#include "resource.h"

FtpConnectionState& FtpState()
{
    static FtpConnectionState state;
    return state;
}

void StartKeepAliveTimer()
{
    FtpConnectionState& s = FtpState();
    if (s.timerWindow && s.keepAlive && s.ftpConnected)
        ::SetTimer(s.timerWindow, FtpKeepAliveTimer, FtpKeepAliveDelay, nullptr);
}

void StopKeepAliveTimer()
{
    if (FtpState().timerWindow) ::KillTimer(FtpState().timerWindow, FtpKeepAliveTimer);
}

FtpTimerPause::FtpTimerPause() { StopKeepAliveTimer(); }
FtpTimerPause::~FtpTimerPause() { StartKeepAliveTimer(); }

std::string ToServerText(const std::wstring& text)
{
    if (text.empty()) return {};
    UINT page = FtpState().utf8 ? CP_UTF8 : CP_ACP;
    int n = ::WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(page, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromServerText(const std::string& text)
{
    if (text.empty()) return {};
    UINT page = CP_ACP;
    int n = 0;
    // A server that announced UTF-8 may still send a name in another encoding: read that one as ANSI.
    if (FtpState().utf8) {
        n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
        if (n > 0) page = CP_UTF8;
    }
    if (page == CP_ACP) n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(page, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string ServerPath(const std::wstring& panelPath)
{
    std::wstring p = panelPath;
    if (FtpState().slashPaths)
        for (wchar_t& c : p)
            if (c == L'\\') c = L'/';
    return ToServerText(p);
}

std::vector<std::wstring> FtpPathLevels(const std::wstring& directory)
{
    std::vector<std::wstring> levels;
    std::wstring prefix;
    size_t start = 0;
    if (!directory.empty() && directory[0] == L'\\') {
        prefix = L"\\";
        start = 1;
    }
    while (start < directory.size()) {
        size_t end = directory.find(L'\\', start);
        if (end == std::wstring::npos) end = directory.size();
        if (end > start) {
            if (!prefix.empty() && prefix.back() != L'\\') prefix += L'\\';
            prefix += directory.substr(start, end - start);
            levels.push_back(prefix);
        }
        start = end + 1;
    }
    return levels;
}

int MakeFtpDirectoryPath(const std::wstring& directory)
{
    std::string remembered;
    bool back = FtpCurrentDir(&remembered) == 0;
    int result = 0;
    // A server without slash paths names a directory its own way: only the whole of it can be tried.
    std::vector<std::wstring> levels = FtpState().slashPaths ? FtpPathLevels(directory)
                                                             : std::vector<std::wstring>{directory};
    // Each level of a relative path is named from where the server was.
    bool relative = directory.empty() || directory[0] != L'\\';
    for (const std::wstring& level : levels) {
        std::string remote = ServerPath(level);
        if (FtpChangeDir(remote.c_str()) == 0) {
            result = 0;
            if (relative && back) FtpChangeDir(remembered.c_str());
        } else {
            result = FtpMakeDir(remote.c_str(), nullptr);
        }
        if (!FtpIsConnected()) break;
    }
    if (back && FtpIsConnected()) FtpChangeDir(remembered.c_str());
    return result;
}

int FtpPanelCurrentDir(std::wstring& panelPath)
{
    std::string dir;
    int r = FtpCurrentDir(&dir);
    if (r != 0) return r;
    std::wstring wide = FromServerText(dir);
    FtpState().slashPaths = wide.find(L'/') != std::wstring::npos;
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    panelPath = wide;
    return 0;
}

std::wstring FtpFailureText(int result, bool engineTextOnly)
{
    const char* reply = engineTextOnly ? nullptr : FtpReplyText();
    if (reply && *reply) return FromServerText(reply);
    const char* text = FtpErrorText(result);
    std::wstring wide;
    for (const char* p = text ? text : ""; *p; ++p) wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    if (wide.empty()) wide = fw::Format(L"FTP error %d", result);
    return wide;
}

void ShowFtpFailure(HWND owner, int result, bool engineTextOnly)
{
    ShowMessage(owner, FtpFailureText(result, engineTextOnly), MB_OK | MB_ICONSTOP);
}

HANDLE OpenFtpLogFile()
{
    return ::CreateFileW(FtpLogFilePath().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void CloseFtpLogFile()
{
    FtpConnectionState& s = FtpState();
    if (s.ftpLogFile == INVALID_HANDLE_VALUE) return;
    if (s.engineStarted) FtpSetLogFile(INVALID_HANDLE_VALUE);
    ::CloseHandle(s.ftpLogFile);
    s.ftpLogFile = INVALID_HANDLE_VALUE;
}

std::wstring FtpLogFilePath()
{
    std::wstring name = GetProfileString(L"FTP", L"LogFile", L"PDFTPLOG.TXT");
    wchar_t full[MAX_PATH * 4];
    DWORD n = ::GetFullPathNameW(name.c_str(), MAX_PATH * 4, full, nullptr);
    return n > 0 && n < MAX_PATH * 4 ? std::wstring(full, n) : name;
}

namespace {
void ForgetConnection()
{
    FtpConnectionState& s = FtpState();
    s.ftpConnected = false;
    s.connectedSite.clear();
    s.host.clear();
    s.encryption.clear();
    s.utf8 = false;
    s.keepAlive = false;
    CloseFtpLogFile();
    StopKeepAliveTimer();
}

std::string Narrow(const std::wstring& text)
{
    // Host, port and credentials go as the server's sign-on expects them: the ANSI code page.
    int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 1), '\0');
    if (n > 0) ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    out.resize(std::char_traits<char>::length(out.c_str()));
    return out;
}
}

namespace {

struct CertificateQuestion {
    HWND owner;
    std::wstring site;
};

std::wstring DateText(const FILETIME& time)
{
    SYSTEMTIME t{};
    ::FileTimeToSystemTime(&time, &t);
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
    return text;
}

// Asked by the engine, before the user name goes out, about a certificate the system does not trust.
bool AskAboutCertificate(const TlsCertificate& certificate, const char* host, void* context)
{
    auto* question = static_cast<CertificateQuestion*>(context);
    std::wstring fingerprint(certificate.sha256.begin(), certificate.sha256.end());
    std::wstring trusted = TrustedCertificate(question->site);
    CertificateVerdict verdict = JudgeCertificate(fingerprint, trusted);
    if (verdict == CertificateVerdict::Accept) return true;
    std::wstring text;
    if (verdict == CertificateVerdict::AskChanged) text = FillArguments(fw::LoadStr(IDS_FTP_CERT_CHANGED), {trusted});
    std::wstring hostText(host, host + std::char_traits<char>::length(host));
    text += FillArguments(fw::LoadStr(IDS_FTP_CERT_QUESTION),
                          {hostText, certificate.problem, certificate.subject, certificate.issuer,
                           DateText(certificate.notBefore), DateText(certificate.notAfter), fingerprint});
    int answer = ShowMessage(question->owner, text, MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON3);
    if (answer == IDYES) TrustCertificate(question->site, fingerprint);
    return answer == IDYES || answer == IDNO;
}

} // namespace

CertificateVerdict JudgeCertificate(const std::wstring& fingerprint, const std::wstring& trusted)
{
    if (trusted.empty()) return CertificateVerdict::Ask;
    return fingerprint == trusted ? CertificateVerdict::Accept : CertificateVerdict::AskChanged;
}

std::wstring FillArguments(const std::wstring& pattern, const std::vector<std::wstring>& arguments)
{
    std::wstring out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == L'%' && i + 1 < pattern.size() && pattern[i + 1] >= L'1' && pattern[i + 1] <= L'9') {
            size_t index = static_cast<size_t>(pattern[i + 1] - L'1');
            if (index < arguments.size()) out += arguments[index];
            ++i;
            continue;
        }
        out += pattern[i];
    }
    return out;
}

bool NoteLostConnection()
{
    FtpConnectionState& s = FtpState();
    if (!s.ftpConnected || FtpIsConnected()) return false;
    ForgetConnection();
    return true;
}

bool ReportFtpFailure(HWND owner, int result, bool engineTextOnly)
{
    bool lost = NoteLostConnection();
    ShowFtpFailure(owner, result, engineTextOnly);
    if (lost) ShowMessage(owner, fw::LoadStr(IDS_FTP_LOST), MB_OK | MB_ICONSTOP);
    return lost;
}

int FtpConnectSite(HWND owner, const std::wstring& name, const FtpSiteRecord& site)
{
    FtpConnectionState& s = FtpState();
    fw::WaitCursor wait;
    int started = FtpEngineStart(nullptr);
    if (started == 0 || started == 1001) s.engineStarted = true;
    FtpSetBlocking(true);
    CloseFtpLogFile();
    if (GetProfileInt(L"FTP", L"Logging", 1) != 0) s.ftpLogFile = OpenFtpLogFile();
    FtpSetLogFile(s.ftpLogFile);
    FtpDiscardInput();

    std::string user = Narrow(site.anonymous ? L"anonymous" : site.user);
    std::string password = Narrow(site.anonymous ? FtpEmailOption() : site.password);
    std::string host = Narrow(site.host);
    if (site.firewall && site.security == FtpTlsRequired) {
        ShowMessage(owner, fw::LoadStr(IDS_FTP_TLS_FIREWALL), MB_OK | MB_ICONSTOP);
        CloseFtpLogFile();
        return FtpTlsNotOffered;
    }
    CertificateQuestion question{owner, name};
    FtpSetSecurity(site.firewall ? FtpTlsOff : site.security);
    FtpSetCertificateCheck(AskAboutCertificate, &question);
    int r;
    if (!site.firewall) {
        r = FtpSignOn(host.c_str(), Narrow(site.port.empty() ? L"21" : site.port).c_str(), user.c_str(),
                      password.c_str(), nullptr, 0);
    } else {
        r = FtpSignOnViaFirewall(Narrow(site.firewallHost).c_str(), Narrow(site.firewallPort).c_str(),
                                 Narrow(site.firewallUser).c_str(), Narrow(site.firewallPassword).c_str(),
                                 host.c_str(), user.c_str(), password.c_str(), site.firewallKind, nullptr, 0);
    }
    FtpSetCertificateCheck(nullptr, nullptr);
    if (r != 0) {
        ShowFtpFailure(owner, r);
        FtpQuit();
        CloseFtpLogFile();
        return r;
    }
    static const char* const Systems[] = {"Dos", "Windows", "WIN32", "Unix", "VMS", "CMS", "OS2", nullptr};
    int system = FtpServerSystem(Systems);
    s.serverSystem = system >= 0 && system <= 6 ? system : 0;
    std::string features;
    s.utf8 = false;
    if (FtpFeatures(&features) / 100 == 2) {
        for (size_t at = features.find("UTF8"); at != std::string::npos; at = features.find("UTF8", at + 1))
            if (at == 0 || features[at - 1] == ' ' || features[at - 1] == '\n') s.utf8 = true;
        if (s.utf8) FtpSendCommand("OPTS UTF8 ON", nullptr);
    }
    s.ftpConnected = true;
    s.connectedSite = name;
    s.host = site.host;
    s.keepAlive = site.keepAlive;
    std::wstring security = FtpSecurityText();
    s.encryption = security;
    if (security.empty()) ShowWarning(IDS_FTP_CONNECTED);
    else ShowMessage(nullptr, FillArguments(fw::LoadStr(IDS_FTP_CONNECTED_TLS), {security}), MB_OK | MB_ICONWARNING);
    if (!site.initialDir.empty()) {
        int cd = FtpChangeDir(ServerPath(site.initialDir).c_str());
        if (cd != 0) ShowFtpFailure(owner, cd);
    }
    std::wstring ignored;
    FtpPanelCurrentDir(ignored);
    StartKeepAliveTimer();
    FtpSetPassive(site.passive ? 1 : 0);
    return 0;
}

bool FtpDisconnectSite()
{
    FtpConnectionState& s = FtpState();
    bool was = !s.connectedSite.empty();
    if (was) {
        if (s.ftpConnected && FtpQuit() != 0) FtpDropConnection();
        ForgetConnection();
        ShowWarning(IDS_FTP_DISCONNECTED);
    }
    if (s.engineStarted) {
        FtpEngineStop();
        s.engineStarted = false;
    }
    StopKeepAliveTimer();
    return was;
}

std::wstring FtpListingFile()
{
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
    std::wstring dir = n > 0 && n <= MAX_PATH ? std::wstring(temp, n) : L".\\";
    if (dir.back() != L'\\') dir += L'\\';
    return dir + L"$$$DIR.TXT";
}

void FtpKeepAliveTick()
{
    FtpConnectionState& s = FtpState();
    StopKeepAliveTimer();
    if (!s.ftpConnected) return;
    std::string dir;
    FtpCurrentDir(&dir);
    std::wstring file = FtpListingFile();
    FtpListing(nullptr, file.c_str(), true, nullptr, 0);
    ::DeleteFileW(file.c_str());
    if (NoteLostConnection()) return;
    StartKeepAliveTimer();
}
