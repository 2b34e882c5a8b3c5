// Window-free parts of the TCP layer: the code table, number reading, log masking, dumps, matching.
#include "ftp/TcpText.h"
#include <climits>
#include <cstdio>
#include <cstring>

const TcpCodeText TcpCodeTexts[] = {
    {1, "Successful call"},
    {-1, "Network error"},
    {-2, "Timeout in recv or accept"},
    {-4, "Reference to Unknown host"},
    {-5, "All sockets has been used up"},
    {-5, "No more free resource"},
    {-6, "Connect function has failed"},
    {-7, "TcpPPRecv : Error in length"},
    {-8, "Bind failed (Task already started or attempt to open privileged socket )"},
    {-9, "Overflow during TcpPPRecv/TcpRecvUntilStr"},
    {-10, "TcpPPRecv receives 0 byte"},
    {-11, "Call cancelled by signal or TcpAbort"},
    {-12, "Not enough memory to perform function"},
    {-13, "Bad port number or alias"},
    {0, "Host has closed connection"},
    {-14, "A file operation has failed"},
};
const size_t TcpCodeTextCount = sizeof(TcpCodeTexts) / sizeof(TcpCodeTexts[0]);

const char* TcpErrorString(int code)
{
    for (size_t i = 0; i < TcpCodeTextCount; ++i)
        if (TcpCodeTexts[i].code == code) return TcpCodeTexts[i].text;
    return "Not a Tcp return code";
}

int64_t TcpAtoi64(const char* text)
{
    int64_t value = 0;
    if (!text) return 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        int digit = *text - '0';
        if (value > (INT64_MAX - digit) / 10) return INT64_MAX;
        value = value * 10 + digit;
    }
    return value;
}

int TcpAtoi(const char* text)
{
    int64_t v = TcpAtoi64(text);
    return v > INT_MAX ? INT_MAX : static_cast<int>(v);
}

long TcpAtol(const char* text)
{
    int64_t v = TcpAtoi64(text);
    return v > LONG_MAX ? LONG_MAX : static_cast<long>(v);
}

std::string MaskForLog(const char* data, size_t count)
{
    std::string out(data, count);
    if (count >= 4 && out.compare(0, 4, "PASS") == 0) {
        for (size_t i = 5; i < count; ++i) {
            char c = out[i];
            if (c == '\0' || c == '\n' || c == '\r') break;
            out[i] = '*';
        }
    }
    return out;
}

std::string FormatHexDump(const char* label, const unsigned char* data, size_t count)
{
    std::string out;
    char prefix[21];
    std::snprintf(prefix, sizeof prefix, "%-19.19s ", label ? label : "");
    for (size_t line = 0; line < count; line += 16) {
        out += prefix;
        std::string chars;
        for (size_t i = 0; i < 16; ++i) {
            if (i == 8) out += "- ";
            if (line + i < count) {
                unsigned char b = data[line + i];
                char hex[4];
                std::snprintf(hex, sizeof hex, "%02X ", b);
                out += hex;
                chars += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '.';
            } else {
                out += "   ";
            }
        }
        out += chars;
        out += "\r\n";
    }
    return out;
}

static char Fold(char c, bool caseSensitive)
{
    return (!caseSensitive && c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::ptrdiff_t FindTerminator(const char* tail, size_t tailLength, const char* piece, size_t pieceLength,
                              const char* terminator, size_t terminatorLength, bool caseSensitive)
{
    size_t total = tailLength + pieceLength;
    if (terminatorLength == 0 || total < terminatorLength) return -1;
    auto at = [&](size_t i) { return i < tailLength ? tail[i] : piece[i - tailLength]; };
    for (size_t start = 0; start + terminatorLength <= total; ++start) {
        size_t k = 0;
        while (k < terminatorLength && Fold(at(start + k), caseSensitive) == Fold(terminator[k], caseSensitive))
            ++k;
        if (k == terminatorLength) return static_cast<std::ptrdiff_t>(start);
    }
    return -1;
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool ReplyLines::Ends(const char* line)
{
    if (!line) return false;
    if (Open()) return std::strncmp(line, code, 3) == 0 && line[3] == ' ';
    while (*line == ' ' || *line == '\t') ++line;
    if (!IsDigit(line[0])) return false;
    if (line[1] == '\0' || line[2] == '\0' || line[3] != '-') return true;
    if (IsDigit(line[1]) && IsDigit(line[2])) std::memcpy(code, line, 3);
    return false;
}

static int ReplyFailure(int lineResult)
{
    switch (lineResult) {
    case TcpClosed: return 0;
    case TcpTimeout: return TcpTimeout;
    case TcpCancelled: return TcpCancelled;
    default: return TcpNetworkError;
    }
}

int ReadReplyLines(const std::function<int(char* buffer, int size)>& readLine, char* buffer, int size)
{
    if (!buffer || size <= 0) return TcpNetworkError;
    std::memset(buffer, 0, size);
    ReplyLines reply;
    for (;;) {
        int r = readLine(buffer, size);
        bool tooLong = r == TcpOverflow;
        if (tooLong) {
            char rest[256];
            int skipped;
            do skipped = readLine(rest, sizeof rest);
            while (skipped == TcpOverflow);
            if (skipped != TcpOk) return ReplyFailure(skipped);
        } else if (r != TcpOk) {
            return ReplyFailure(r);
        }
        // A buffer this small holds no code to follow: one line is the reply.
        if (size <= 5 || reply.Ends(buffer)) {
            size_t n = std::strlen(buffer);
            if (n > 0 && buffer[n - 1] == '\r') buffer[n - 1] = '\0';
            return tooLong ? 2 : 1;
        }
    }
}
