// Window-free parts of the FTP engine: the command table, result texts and reply parsing.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Engine results that the code names; the full list is FtpResultTexts.
constexpr int FtpOk = 0;
constexpr int FtpNeedPassword = 1;
constexpr int FtpNeedAccount = 2;
constexpr int FtpRestartOk = 3;
constexpr int FtpAborted = -1;
constexpr int FtpDataClosed = 4;
constexpr int FtpBadParameters = 1000;
constexpr int FtpSessionActive = 1001;
constexpr int FtpNotStarted = 1002;
constexpr int FtpNotConnected = 1003;
constexpr int FtpCannotOpenLocal = 1004;
constexpr int FtpCannotWrite = 1005;
constexpr int FtpStopNotStarted = 1006;
constexpr int FtpBadClose = 1007;
constexpr int FtpActionNotTaken = 1008;
constexpr int FtpLoginRejected = 1009;
constexpr int FtpServerCannotOpen = 1010;
constexpr int FtpTransferRefused = 1011;
constexpr int FtpNoWinsock = 1012;
constexpr int FtpCloseFailed = 1013;
constexpr int FtpFirewallRejected = 1015;
constexpr int FtpOnlySynchronous = 1016;
constexpr int FtpResolveFailed = 2001;
constexpr int FtpNoAnswer = 2002;
constexpr int FtpConnectError = 2003;
constexpr int FtpNoFtpServer = 2004;
constexpr int FtpSendFailed = 2005;
constexpr int FtpDataFailed = 2006;
constexpr int FtpTimedOut = 2007;
constexpr int FtpFirewallConnectError = 2008;
constexpr int FtpFirewallNoServer = 2009;
constexpr int FtpUnexpected = 3001;
constexpr int FtpNoDirectory = 3004;
constexpr int FtpNoPassive = 3005;
constexpr int FtpTlsNotOffered = 4001;
constexpr int FtpTlsFailed = 4002;
constexpr int FtpCertificateRejected = 4003;
constexpr int FtpTlsReuseRequired = 4004;
constexpr int FtpProtectionRefused = 4005;
constexpr int FtpNoResources = 5002;
constexpr int FtpNoMemory = 5003;
constexpr int FtpNoSocket = 5004;
constexpr int FtpUnknownSystem = 5006;

// Rows of the command table.
enum FtpRow {
    RowGreeting, RowUser, RowPass, RowAcct, RowQuit, RowHelp, RowHelpTopic, RowDele, RowCwd, RowCdup,
    RowMkd, RowRmd, RowPwd, RowType, RowRnfr, RowRnto, RowSyst, RowNoop, RowRest, RowTransferEnd,
    FtpRowCount
};

struct FtpReplyMap {
    int reply;
    int result;
};
struct FtpCommandRow {
    const char* format; // null: the row only reads a reply
    FtpReplyMap map[13]; // ends with {0, 0} after the first two pairs
};
extern const FtpCommandRow FtpCommandTable[FtpRowCount];

struct FtpResultText {
    int code;
    const char* text;
};
extern const FtpResultText FtpResultTexts[];
extern const size_t FtpResultTextCount;

const char* FtpErrorText(int code);
// Engine result of a reply read by ReadReply for a row (3001 for anything not listed).
int FtpMapReply(int row, int reply);

struct FtpFirewallKind {
    bool loginFirst;
    const char* hostCommand; // null: none
    const char* userCommand;
};
// Kinds 1 to 4; null for any other kind.
const FtpFirewallKind* FtpFirewall(int kind);

// Replaces each "%s" of the format by the next argument.
std::string FtpFormat(const char* format, const char* first = nullptr, const char* second = nullptr);
// Arguments go into one command line: CR, LF or NUL in them would start another command.
bool FtpSafeArgument(const char* text);

// "A", "I", "L 8" for the type characters, null for any other.
const char* FtpTypeArgument(char type);

// PORT with the address (network order) and the port.
std::string FtpPortCommand(uint32_t address, uint16_t port);
// EPRT for an IPv4 address (network order) and the port.
std::string FtpExtendedPortCommand(uint32_t address, uint16_t port);
// Port of a 229 reply "(|||port|)"; false when the text is malformed or the port is 0.
bool FtpParseExtendedPassiveReply(const char* reply, uint16_t* port);
// Address (network order) and port of a 227 reply; false when the text is malformed.
bool FtpParsePassiveReply(const char* reply, uint32_t* address, uint16_t* port);
// Size announced by a 150/125 reply as "... 1234 bytes"; 0 when there is none.
int64_t FtpParseExpectedSize(const char* reply);
// Directory of a 257 reply (reply text without the code); 0, or 3004 when it is not quoted.
int FtpParseCurrentDir(const char* replyText, std::string& dir);
// The name a reply quotes, empty when there is none.
std::string FtpQuotedName(const char* replyText);
// Index of the first name found (upper-cased) in the upper-cased reply, else 5006.
int FtpFindSystem(const char* reply, const char* const* names);
// "LIST"/"NLST" with the path when there is one.
std::string FtpListingCommand(const char* path, bool full);

// A device name (CON, NUL, COM1, LPT1...), also with an extension or trailing blanks.
bool FtpIsDeviceName(const std::wstring& name);
// A name a server's file may take in a local directory: no path, no device, nothing Windows alters.
bool FtpUsableLocalName(const std::wstring& name);
