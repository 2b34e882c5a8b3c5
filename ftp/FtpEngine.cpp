// FTP engine session, sign-on and the single commands of the command table.
#include "ftp/FtpSession.h"
#include "ftp/TlsLayer.h"
#include "ftp/TcpText.h"
#include <cstdio>
#include <cstring>
#include <new>

FtpSession* ftpSession = nullptr;

namespace {

bool Given(const char* text) { return text && *text; }

// The control connection of the session, opened to host and port; the greeting mapped.
int Connect(const char* host, const char* portText)
{
    FtpSession& s = *ftpSession;
    // A new sign-on replaces a connection that is still open.
    LoseControl();
    FinishLocal(FtpAborted);
    int64_t value = portText ? TcpAtoi64(portText) : s.ctl.port;
    uint16_t port = value > 0 && value <= 65535 ? static_cast<uint16_t>(value) : 0;
    s.ctl.port = port;
    int r = TcpConnect(&s.ctl.control, host, port == 21 ? "ftp" : nullptr, &port);
    switch (r) {
    case TcpOk:
        s.ctl.type = 'A';
        s.ctl.owed = 1;
        s.ctl.noExtendedPassive = false;
        s.ctl.noExtendedActive = false;
        s.ctl.dataTls = false;
        s.ctl.reuseDemanded = false;
        return FtpMapReply(RowGreeting, ReadReply());
    case TcpConnectFailed: return FtpNoFtpServer;
    case TcpNoSockets: return FtpNoSocket;
    case TcpUnknownHost: return FtpResolveFailed;
    case TcpTimeout: return FtpTimedOut;
    case TcpCancelled: return FtpAborted;
    default: return FtpConnectError;
    }
}

void Verbose(const char* direction, const char* line)
{
    FtpSession& s = *ftpSession;
    if (!s.ctl.verbose) return;
    std::string text = std::string(direction) + line + "\r\n";
    OutputDebugStringA(text.c_str());
    if (s.verboseWindow && direction[0] == '<')
        SendMessageW(s.verboseWindow, s.verboseMessage, 1, reinterpret_cast<LPARAM>(line));
}

void Transcript(const std::string& text)
{
    FtpControl& c = ftpSession->ctl;
    if (c.logFile == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(c.logFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string Narrow(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

int Secure(const char* host);

} // namespace

int ReadReply()
{
    FtpControl& c = ftpSession->ctl;
    std::memset(c.reply, 0, sizeof c.reply);
    int r = TnReadMultiLine(c.control, c.reply, sizeof c.reply, c.timeout, c.logFile);
    Verbose("< ", c.reply);
    if (r != 1 && r != 2) {
        LoseControl();
        return r;
    }
    int code = TcpAtoi(c.reply);
    if (code == 522 && c.dataTls) c.reuseDemanded = true;
    bool preliminary = code >= 100 && code < 200;
    if (!preliminary && c.owed > 0) --c.owed;
    return r == 1 ? code : 2;
}

static int Settle()
{
    FtpControl& c = ftpSession->ctl;
    while (c.owed > 0 && c.control != NoSocket) {
        int r = ReadReply();
        if (c.control == NoSocket) return r == TcpTimeout ? FtpTimedOut : FtpNoAnswer;
    }
    return c.control == NoSocket ? FtpNotConnected : FtpOk;
}

static int SendText(const char* text, bool urgent)
{
    FtpControl& c = ftpSession->ctl;
    Verbose("> ", text);
    if (TnSend(c.control, text, urgent, c.logFile) != TcpOk) {
        LoseControl();
        return FtpSendFailed;
    }
    ++c.owed;
    return FtpOk;
}

int SendLine(const std::string& line)
{
    int r = Settle();
    return r == FtpOk ? SendText(line.c_str(), false) : r;
}

int SendAbort()
{
    return ftpSession->ctl.control == NoSocket ? FtpNotConnected : SendText("ABOR", true);
}

void LoseControl()
{
    FtpControl& c = ftpSession->ctl;
    CloseTransfer(false);
    if (TcpClose(&c.control) != TcpOk) c.control = NoSocket;
    c.owed = 0;
}

int TableCommand(int row, const char* argument)
{
    if (!ftpSession) return FtpNotStarted;
    if (ftpSession->ctl.control == NoSocket) return FtpNotConnected;
    const char* format = FtpCommandTable[row].format;
    if (format) {
        bool needsArgument = std::strstr(format, "%s") != nullptr;
        if ((needsArgument && !argument) || !FtpSafeArgument(argument)) return FtpBadParameters;
        int r = SendLine(needsArgument ? FtpFormat(format, argument) : std::string(format));
        if (r != FtpOk) return r;
    }
    return FtpMapReply(row, ReadReply());
}

int Report(int result)
{
    FtpSession& s = *ftpSession;
    if (!s.messageDriven || !s.notifyWindow) return result;
    PostMessageW(s.notifyWindow, s.notifyMessage, 1, result);
    return FtpOk;
}

int FtpEngineStart(HWND parent)
{
    if (ftpSession) return FtpSessionActive;
    if (TcpStartup() != TcpOk) return FtpNoWinsock;
    FtpSession* s = new (std::nothrow) FtpSession;
    if (!s) {
        TcpCleanup();
        return FtpNoMemory;
    }
    s->ownerThread = GetCurrentThreadId();
    s->parent = parent;
    s->instance = GetModuleHandleW(nullptr);
    if (!CreateEngineWindow(s)) {
        delete s;
        TcpCleanup();
        return FtpNoResources;
    }
    ftpSession = s;
    return FtpOk;
}

int FtpEngineStop()
{
    if (!ftpSession) return FtpStopNotStarted;
    if (TcpCleanup() != TcpOk) return FtpBadClose;
    FtpSession* s = ftpSession;
    // The clean-up closed every socket; what is left is the local side of a transfer.
    s->ctl.control = NoSocket;
    s->ctl.data = NoSocket;
    CloseTransfer(false);
    FinishLocal(FtpAborted);
    DestroyEngineWindow(s);
    ftpSession = nullptr;
    delete s;
    return FtpOk;
}

int FtpSetBlocking(bool blocking)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->messageDriven = !blocking;
    return FtpOk;
}

int FtpSetPassive(int passive)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->ctl.passive = passive != 0;
    return FtpOk;
}

int FtpSetLogFile(HANDLE logFile)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->ctl.logFile = logFile ? logFile : INVALID_HANDLE_VALUE;
    return FtpOk;
}

int FtpSetProgressCallback(FtpProgressCallback callback)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->progress = callback;
    return FtpOk;
}

int FtpSetTimeout(int seconds)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->ctl.timeout = seconds;
    return FtpOk;
}

int FtpSetDefaultPort(uint16_t port)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->ctl.port = port;
    return FtpOk;
}

int FtpSetPauseLength(int milliseconds)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->pauseLength = milliseconds < 0 ? 0 : milliseconds;
    return FtpOk;
}

int FtpSetBlocksBetweenPauses(int blocks)
{
    if (!ftpSession) return FtpNotStarted;
    if (blocks < 1) return FtpBadParameters;
    ftpSession->blocksBetweenPauses = blocks;
    return FtpOk;
}

int FtpSetVerbose(bool on, HWND window, UINT message)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->ctl.verbose = on;
    ftpSession->verboseWindow = window;
    ftpSession->verboseMessage = message;
    return FtpOk;
}

int FtpSetSecurity(int mode)
{
    if (!ftpSession) return FtpNotStarted;
    if (mode < FtpTlsOff || mode > FtpTlsRequired) return FtpBadParameters;
    ftpSession->ctl.security = mode;
    return FtpOk;
}

int FtpSetCertificateCheck(FtpCertificateCheck check, void* context)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->certificateCheck = check;
    ftpSession->certificateContext = context;
    return FtpOk;
}

std::wstring FtpSecurityText()
{
    return ftpSession ? TcpTlsDescription(ftpSession->ctl.control) : std::wstring();
}

namespace {

// AUTH TLS (or AUTH SSL), the handshake, the certificate and PBSZ/PROT, before anything else is sent.
int Secure(const char* host)
{
    FtpSession& s = *ftpSession;
    FtpControl& c = s.ctl;
    if (c.security == FtpTlsOff) return FtpOk;
    int reply = 0;
    for (const char* command : {"AUTH TLS", "AUTH SSL"}) {
        int r = SendLine(command);
        if (r != FtpOk) return r;
        reply = ReadReply();
        if (c.control == NoSocket) return reply == TcpTimeout ? FtpTimedOut : FtpNoAnswer;
        if (reply == 234 || reply == 334) break;
    }
    if (reply != 234 && reply != 334) {
        if (c.security == FtpTlsIfOffered) return FtpOk;
        // Nothing more goes over a connection that would carry the user name in clear.
        LoseControl();
        return FtpTlsNotOffered;
    }
    int size = MultiByteToWideChar(CP_UTF8, 0, host, -1, nullptr, 0);
    c.tlsHost.assign(size > 0 ? size - 1 : 0, L'\0');
    if (size > 1) MultiByteToWideChar(CP_UTF8, 0, host, -1, c.tlsHost.data(), size);
    int t = TcpStartTls(c.control, c.tlsHost.c_str(), c.timeout);
    if (t != TcpOk) {
        Transcript("TLS handshake failed: " + Narrow(TlsLastError()) + "\r\n");
        LoseControl();
        return t == TcpCancelled ? FtpAborted : t == TcpTimeout ? FtpTimedOut : FtpTlsFailed;
    }
    TlsCertificate certificate;
    bool accepted = false;
    if (TcpTlsCertificate(c.control, &certificate)) {
        accepted = certificate.chainTrusted && certificate.nameMatches;
        if (!accepted && s.certificateCheck) accepted = s.certificateCheck(certificate, host, s.certificateContext);
    }
    if (!accepted) {
        LoseControl();
        return FtpCertificateRejected;
    }
    Transcript("Encrypted: " + Narrow(TcpTlsDescription(c.control)) + "\r\n");
    int r = SendLine("PBSZ 0");
    if (r != FtpOk) return r;
    reply = ReadReply();
    if (reply == 200) {
        r = SendLine("PROT P");
        if (r != FtpOk) return r;
        reply = ReadReply();
    }
    if (c.control == NoSocket) return FtpNoAnswer;
    if (reply != 200) {
        if (c.security == FtpTlsIfOffered) return FtpOk;
        LoseControl();
        return FtpProtectionRefused;
    }
    c.dataTls = true;
    return FtpOk;
}

} // namespace

int SecureData(TcpSocket& data)
{
    FtpControl& c = ftpSession->ctl;
    if (!c.dataTls) return FtpOk;
    int t = TcpStartTls(data, c.tlsHost.c_str(), c.timeout);
    if (t == TcpOk) return FtpOk;
    TcpClose(&data);
    if (t == TcpCancelled) return FtpAborted;
    // The server says why (a demand for session reuse comes as 522, which the transfer's end reports).
    int reply = ReadReply();
    while (reply >= 100 && reply < 200) reply = ReadReply();
    return FtpTlsFailed;
}

int FtpSetTrace(bool on)
{
    TcpSetTrace(on ? 0xFFFF : 0);
    return FtpOk;
}

int64_t FtpBytesTransferred() { return ftpSession ? ftpSession->bytesTransferred : 0; }
int64_t FtpBytesExpected() { return ftpSession ? ftpSession->bytesExpected : 0; }
const char* FtpReplyText() { return ftpSession ? ftpSession->ctl.reply : ""; }

int FtpSignOn(const char* host, const char* port, const char* user, const char* password, HWND notify,
              UINT message)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->notifyWindow = notify;
    ftpSession->notifyMessage = message;
    if (!Given(host) || !FtpSafeArgument(user) || !FtpSafeArgument(password)) return FtpBadParameters;
    int r = Connect(host, port);
    if (r == FtpOk) r = Secure(host);
    if (r == FtpOk && Given(user)) {
        FtpDiscardInput();
        r = TableCommand(RowUser, user);
    }
    if (r == FtpNeedPassword && Given(password)) r = TableCommand(RowPass, password);
    return Report(r);
}

int FtpSignOnViaFirewall(const char* firewallHost, const char* firewallPort, const char* firewallUser,
                         const char* firewallPassword, const char* host, const char* user, const char* password,
                         int kind, HWND notify, UINT message)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->notifyWindow = notify;
    ftpSession->notifyMessage = message;
    const FtpFirewallKind* how = FtpFirewall(kind);
    if (!Given(firewallHost) || !Given(host) || !how) return FtpBadParameters;
    // TLS is not spoken through a firewall: a site that requires it is not signed on in clear.
    if (ftpSession->ctl.security == FtpTlsRequired) return FtpTlsNotOffered;
    for (const char* text : {firewallUser, firewallPassword, host, user, password})
        if (!FtpSafeArgument(text)) return FtpBadParameters;
    int r = Connect(firewallHost, firewallPort);
    if (r == FtpConnectError) r = FtpFirewallConnectError;
    if (r == FtpNoFtpServer) r = FtpFirewallNoServer;
    if (r == FtpOk && how->loginFirst && Given(firewallUser)) {
        r = TableCommand(RowUser, firewallUser);
        if (r == FtpNeedPassword && Given(firewallPassword)) {
            r = TableCommand(RowPass, firewallPassword);
            if (r == FtpLoginRejected) r = FtpFirewallRejected;
        }
    }
    if (r != FtpOk) return Report(r);
    if (how->hostCommand) {
        r = SendLine(FtpFormat(how->hostCommand, host));
        if (r != FtpOk) return Report(r);
        if (ReadReply() / 100 != 2) return Report(FtpConnectError);
    }
    r = SendLine(FtpFormat(how->userCommand, user ? user : "", host));
    if (r != FtpOk) return Report(r);
    int reply = ReadReply();
    if (reply == 230) r = FtpOk;
    else if (reply == 331) r = TableCommand(RowPass, password ? password : "");
    else r = FtpConnectError;
    return Report(r);
}

int FtpQuit()
{
    int r = TableCommand(RowQuit, nullptr);
    if (r == FtpOk) FtpDropConnection();
    return r;
}

int FtpDropConnection()
{
    if (!ftpSession) return FtpNotStarted;
    FtpControl& c = ftpSession->ctl;
    CloseTransfer(false);
    FinishLocal(FtpAborted);
    TcpClose(&c.control);
    c.owed = 0;
    return c.control == NoSocket && c.data == NoSocket ? FtpOk : FtpCloseFailed;
}

int FtpDiscardInput()
{
    if (!ftpSession) return FtpNotStarted;
    // Replies still owed are read, not flushed: one flushed half-way would answer the next command.
    Settle();
    if (ftpSession->ctl.control != NoSocket) TcpFlush(ftpSession->ctl.control);
    ftpSession->ctl.reply[0] = '\0';
    return FtpOk;
}

int FtpAccount(const char* account) { return TableCommand(RowAcct, account); }
int FtpNoop() { return TableCommand(RowNoop, nullptr); }
int FtpRemoveFile(const char* name) { return TableCommand(RowDele, name); }
int FtpChangeDir(const char* dir) { return TableCommand(RowCwd, dir); }
int FtpParentDir() { return TableCommand(RowCdup, nullptr); }
int FtpRemoveDir(const char* dir) { return TableCommand(RowRmd, dir); }

static const char* ReplyTextProper()
{
    const char* reply = ftpSession->ctl.reply;
    return std::strlen(reply) >= 4 ? reply + 4 : "";
}

int FtpHelp(const char* topic, std::string* text)
{
    int r = topic ? TableCommand(RowHelpTopic, topic) : TableCommand(RowHelp, nullptr);
    if (text && ftpSession) *text = ReplyTextProper();
    return r;
}

int FtpSendCommand(const char* line, std::string* reply)
{
    if (!ftpSession) return FtpNotStarted;
    if (ftpSession->ctl.control == NoSocket) return FtpNotConnected;
    if (!line || !FtpSafeArgument(line)) return FtpBadParameters;
    int r = SendLine(line);
    if (r != FtpOk) return r;
    int code = ReadReply();
    if (reply) *reply = ftpSession->ctl.reply;
    return code == -1 ? FtpNoAnswer : code;
}

int FtpMakeDir(const char* dir, std::string* created)
{
    int r = TableCommand(RowMkd, dir);
    if (created) *created = ftpSession ? FtpQuotedName(ReplyTextProper()) : std::string();
    return r;
}

int FtpCurrentDir(std::string* dir)
{
    int r = TableCommand(RowPwd, nullptr);
    if (r != FtpOk) return r;
    std::string found;
    r = FtpParseCurrentDir(ReplyTextProper(), found);
    if (dir) *dir = found;
    return r;
}

int FtpRenameRemote(const char* oldName, const char* newName)
{
    int r = TableCommand(RowRnfr, oldName);
    return r == FtpOk ? TableCommand(RowRnto, newName) : r;
}

int FtpServerSystem(const char* const* names)
{
    int r = TableCommand(RowSyst, nullptr);
    return r == FtpOk ? FtpFindSystem(ftpSession->ctl.reply, names) : r;
}

int FtpTransferType(char type)
{
    if (!ftpSession) return FtpNotStarted;
    const char* argument = FtpTypeArgument(type);
    if (!argument || ftpSession->ctl.type == type) return FtpOk;
    int r = TableCommand(RowType, argument);
    if (r == FtpOk) ftpSession->ctl.type = type;
    return r;
}

int FtpRestartAt(int64_t offset)
{
    char text[24];
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(offset));
    return TableCommand(RowRest, text);
}

bool FtpIsConnected() { return ftpSession && ftpSession->ctl.control != NoSocket; }

int FtpFeatures(std::string* lines)
{
    if (!ftpSession) return FtpNotStarted;
    FtpControl& c = ftpSession->ctl;
    if (c.control == NoSocket) return FtpNotConnected;
    int r = SendLine("FEAT");
    if (r != FtpOk) return r;
    std::string all;
    std::memset(c.reply, 0, sizeof c.reply);
    r = ReadReplyLines(
        [&](char* line, int size) {
            int got = TnReadLine(c.control, line, size, c.timeout, c.logFile);
            if (got == TcpOk) all += std::string(line) + "\n";
            return got;
        },
        c.reply, sizeof c.reply);
    if (r != 1 && r != 2) {
        LoseControl();
        return FtpNoAnswer;
    }
    if (c.owed > 0) --c.owed;
    if (lines) *lines = all;
    return TcpAtoi(c.reply);
}
