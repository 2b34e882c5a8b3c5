// Window-free parts of the FTP engine: the command table, result texts and reply parsing.
#include "ftp/FtpReplies.h"
#include <cstdio>
#include <cstring>
#include <cwchar>

#define FTP_ROW_START {-1, 2002}, {0, 3001}

const FtpCommandRow FtpCommandTable[FtpRowCount] = {
    {nullptr, {FTP_ROW_START, {110, 0}, {120, 0}, {220, 0}, {421, 1008}}},
    {"USER %s", {FTP_ROW_START, {220, 0}, {230, 0}, {331, 1}, {421, 1008}}},
    {"PASS %s", {FTP_ROW_START, {220, 0}, {230, 0}, {332, 2}, {501, 3003}, {503, 3003}, {504, 3003}, {530, 1009}}},
    {"ACCT %s", {FTP_ROW_START, {200, 0}, {202, 0}, {220, 0}, {230, 0}, {500, 3003}, {503, 3003}, {530, 1009}}},
    {"QUIT", {FTP_ROW_START, {200, 0}, {220, 0}, {221, 0}}},
    {"HELP", {FTP_ROW_START, {211, 0}, {214, 0}, {220, 0}, {504, 3003}}},
    {"HELP %s", {FTP_ROW_START, {211, 0}, {214, 0}, {220, 0}, {504, 3003}}},
    {"DELE %s", {FTP_ROW_START, {200, 0}, {250, 0}, {450, 1014}, {502, 3003}, {504, 3003}, {550, 1008}}},
    {"CWD %s", {FTP_ROW_START, {200, 0}, {250, 0}, {450, 1014}, {502, 3003}, {504, 3003}, {550, 1008}}},
    {"CDUP", {FTP_ROW_START, {200, 0}, {250, 0}, {450, 1014}, {502, 3003}, {504, 3003}, {550, 1008}}},
    {"MKD %s",
     {FTP_ROW_START, {200, 0}, {250, 0}, {227, 0}, {257, 0}, {502, 3003}, {504, 3003}, {521, 1008}, {550, 1008}}},
    {"RMD %s", {FTP_ROW_START, {200, 0}, {250, 0}, {257, 0}, {450, 1014}, {502, 3003}, {504, 3003}, {550, 1008}}},
    {"PWD", {FTP_ROW_START, {200, 0}, {257, 0}, {502, 3003}, {504, 3003}, {550, 1008}}},
    {"TYPE %s", {FTP_ROW_START, {200, 0}, {502, 3003}, {504, 3003}, {530, 3002}, {550, 3002}}},
    {"RNFR %s", {FTP_ROW_START, {350, 0}, {450, 1014}, {502, 3003}, {504, 3003}, {550, 1010}}},
    {"RNTO %s", {FTP_ROW_START, {250, 0}, {502, 3003}, {504, 3003}, {550, 1008}, {553, 1008}}},
    {"SYST", {FTP_ROW_START, {200, 0}, {215, 0}, {220, 0}, {502, 3003}, {504, 3003}}},
    {"NOOP", {FTP_ROW_START, {200, 0}, {500, 3003}}},
    {"REST %s", {FTP_ROW_START, {350, 3}, {500, 3003}, {502, 3003}, {504, 3003}}},
    {nullptr, {FTP_ROW_START, {226, 0}, {250, 0}, {421, 1008}, {552, 1005}}},
};

const FtpResultText FtpResultTexts[] = {
    {0, "FTP - Function successful"},
    {1, "FTP - Enter password"},
    {2, "FTP - Enter account"},
    {2, "FTP - Enter account"},
    {3, "FTP - Restart command successful"},
    {-1, "FTP - File transfer aborted"},
    {4, "FTP - Server closed data connection"},
    {1000, "FTP - Error in parameters"},
    {1001, "FTP - Session already active"},
    {1002, "FTP - Not initialized"},
    {1003, "FTP - User not connected to a server"},
    {1004, "FTP - Cannot open local file"},
    {1004, "FTP - Cannot open local file"},
    {1005, "FTP - Cannot write file"},
    {1006, "FTP - Not initialized"},
    {1007, "FTP - Incorrectly closed"},
    {1008, "FTP - File action not taken"},
    {1009, "FTP - Login rejected by server"},
    {1010, "FTP - Server cannot open file"},
    {1011, "FTP - Host refused file transfer"},
    {1012, "FTP - WINSOCK.DLL required"},
    {1013, "FTP - Close failed - file transfer in progress"},
    {1014, "FTP - Error during file delete"},
    {1015, "FTP - Firewall rejects userid/passwd"},
    {1016, "FTP - Available only in synchronous mode"},
    {2001, "FTP - Failed to resolve host address"},
    {2002, "FTP - No answer from host"},
    {2003, "FTP - Error during connection"},
    {2004, "FTP - Host does not support FTP"},
    {2005, "FTP - Data send failed"},
    {2006, "FTP - Data connection failed"},
    {2007, "FTP - Timeout"},
    {2008, "FTP - Error during connection with firewall "},
    {2009, "FTP - Firewall has no FTP server"},
    {3001, "FTP - Unexpected answer from host"},
    {3002, "FTP - Host rejects TYPE command"},
    {3003, "FTP - Command not implemented on host"},
    {3004, "FTP - Host does not report directory"},
    {3005, "FTP - Host does not support passive mode"},
    {4001, "FTP - Host does not offer TLS: the sign-on was stopped before the user name was sent"},
    {4002, "FTP - TLS handshake failed"},
    {4003, "FTP - Server certificate not accepted"},
    {4004, "FTP - Host requires TLS session reuse on data connections, which this system cannot do"},
    {4005, "FTP - Host refused to encrypt data connections (PBSZ/PROT)"},
    {5002, "FTP - Insufficient free resources"},
    {5003, "FTP - Insufficient memory"},
    {5004, "FTP - Socket unavailable"},
    {5005, "FTP - Bind unsuccessful"},
    {5006, "FTP - Unknown host type"},
};
const size_t FtpResultTextCount = sizeof(FtpResultTexts) / sizeof(FtpResultTexts[0]);

const char* FtpErrorText(int code)
{
    for (size_t i = 0; i < FtpResultTextCount; ++i)
        if (FtpResultTexts[i].code == code) return FtpResultTexts[i].text;
    return "Unknown error code";
}

int FtpMapReply(int row, int reply)
{
    if (row < 0 || row >= FtpRowCount) return FtpUnexpected;
    // A reply that did not come in time is a time-out, not an unexpected answer.
    if (reply == -2) return FtpTimedOut;
    const FtpReplyMap* map = FtpCommandTable[row].map;
    for (int i = 0; i < 13; ++i) {
        if (i >= 2 && map[i].reply == 0 && map[i].result == 0) break;
        if (map[i].reply == reply) return map[i].result;
    }
    return FtpUnexpected;
}

static const FtpFirewallKind firewallKinds[4] = {
    {true, "SITE %s", "USER %s"},
    {false, "OPEN %s", "USER %s"},
    {true, nullptr, "USER %s@%s"},
    {false, nullptr, "USER %s@%s"},
};

const FtpFirewallKind* FtpFirewall(int kind)
{
    return kind >= 1 && kind <= 4 ? &firewallKinds[kind - 1] : nullptr;
}

std::string FtpFormat(const char* format, const char* first, const char* second)
{
    std::string out;
    const char* args[2] = {first, second};
    int next = 0;
    for (const char* p = format; p && *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            if (next < 2 && args[next]) out += args[next];
            ++next;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

bool FtpSafeArgument(const char* text)
{
    return !text || std::strpbrk(text, "\r\n") == nullptr;
}

const char* FtpTypeArgument(char type)
{
    switch (type) {
    case 'A': return "A";
    case 'I': return "I";
    case 'L': return "L 8";
    default: return nullptr;
    }
}

std::string FtpPortCommand(uint32_t address, uint16_t port)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&address);
    char line[64];
    std::snprintf(line, sizeof line, "PORT %d,%d,%d,%d,%d,%d", b[0], b[1], b[2], b[3], port >> 8, port & 0xFF);
    return line;
}

std::string FtpExtendedPortCommand(uint32_t address, uint16_t port)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&address);
    char line[64];
    std::snprintf(line, sizeof line, "EPRT |1|%d.%d.%d.%d|%d|", b[0], b[1], b[2], b[3], port);
    return line;
}

bool FtpParseExtendedPassiveReply(const char* reply, uint16_t* port)
{
    const char* p = reply ? std::strchr(reply, '(') : nullptr;
    if (!p) return false;
    // Any printable character may delimit; the network and address fields stay empty.
    char d = p[1];
    if (d < 33 || d > 126 || (d >= '0' && d <= '9') || p[2] != d || p[3] != d) return false;
    p += 4;
    long value = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (++digits > 5 || value > 65535) return false;
    }
    if (digits == 0 || value == 0 || p[0] != d || p[1] != ')') return false;
    *port = static_cast<uint16_t>(value);
    return true;
}

bool FtpParsePassiveReply(const char* reply, uint32_t* address, uint16_t* port)
{
    const char* p = reply ? std::strchr(reply, '(') : nullptr;
    if (!p) return false;
    ++p;
    int numbers[6];
    for (int i = 0; i < 6; ++i) {
        while (*p == ' ') ++p;
        if (*p < '0' || *p > '9') return false;
        int value = 0;
        while (*p >= '0' && *p <= '9') {
            value = value * 10 + (*p - '0');
            if (value > 255) return false;
            ++p;
        }
        numbers[i] = value;
        while (*p == ' ') ++p;
        if (i < 5) {
            if (*p != ',') return false;
            ++p;
        }
    }
    unsigned char bytes[4] = {static_cast<unsigned char>(numbers[0]), static_cast<unsigned char>(numbers[1]),
                              static_cast<unsigned char>(numbers[2]), static_cast<unsigned char>(numbers[3])};
    std::memcpy(address, bytes, 4);
    *port = static_cast<uint16_t>(numbers[4] * 256 + numbers[5]);
    return *port != 0;
}

int64_t FtpParseExpectedSize(const char* reply)
{
    if (!reply || (std::strncmp(reply, "150", 3) != 0 && std::strncmp(reply, "125", 3) != 0)) return 0;
    std::string lower(reply);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    size_t at = lower.find(" bytes");
    if (at == std::string::npos || at == 0) return 0;
    size_t start = at;
    while (start > 0 && lower[start - 1] >= '0' && lower[start - 1] <= '9') --start;
    if (start == at) return 0;
    int64_t value = 0;
    for (size_t i = start; i < at; ++i) {
        if (value > (INT64_MAX - 9) / 10) return 0;
        value = value * 10 + (lower[i] - '0');
    }
    return value;
}

int FtpParseCurrentDir(const char* replyText, std::string& dir)
{
    std::string text = replyText ? replyText : "";
    size_t cut = text.find(" is current directory");
    if (cut != std::string::npos) text.resize(cut);
    if (!text.empty() && text[0] == '"') {
        size_t close = text.find('"', 1);
        if (close != std::string::npos) {
            dir = text.substr(1, close - 1);
            return FtpOk;
        }
    }
    dir = text;
    return FtpNoDirectory;
}

std::string FtpQuotedName(const char* replyText)
{
    const char* open = replyText ? std::strchr(replyText, '"') : nullptr;
    const char* close = open ? std::strchr(open + 1, '"') : nullptr;
    return close ? std::string(open + 1, close) : std::string();
}

static std::string Upper(const char* text, size_t limit)
{
    std::string out;
    for (; text && *text && out.size() < limit; ++text)
        out += (*text >= 'a' && *text <= 'z') ? static_cast<char>(*text - 'a' + 'A') : *text;
    return out;
}

int FtpFindSystem(const char* reply, const char* const* names)
{
    std::string line = Upper(reply, SIZE_MAX);
    for (int i = 0; names && names[i]; ++i) {
        std::string name = Upper(names[i], 128);
        if (!name.empty() && line.find(name) != std::string::npos) return i;
    }
    return FtpUnknownSystem;
}

std::string FtpListingCommand(const char* path, bool full)
{
    std::string command = full ? "LIST" : "NLST";
    if (path && *path) {
        command += ' ';
        command += path;
    }
    return command;
}

bool FtpIsDeviceName(const std::wstring& name)
{
    std::wstring base = name.substr(0, name.find(L'.'));
    while (!base.empty() && (base.back() == L' ' || base.back() == L'\t')) base.pop_back();
    for (wchar_t& c : base)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"})
        if (base == device) return true;
    if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0)) return false;
    // COM0 to COM9 and the superscript digits one to three, likewise LPT.
    wchar_t digit = base[3];
    return (digit >= L'0' && digit <= L'9') || digit == 0x00B9 || digit == 0x00B2 || digit == 0x00B3;
}

bool FtpUsableLocalName(const std::wstring& name)
{
    if (name.empty() || name == L"." || name == L"..") return false;
    for (wchar_t c : name)
        if (c < 32 || std::wcschr(L"<>:\"/\\|?*", c)) return false;
    // Windows drops trailing dots and blanks, so "a." would land on "a".
    if (name.back() == L'.' || name.back() == L' ') return false;
    return !FtpIsDeviceName(name);
}
