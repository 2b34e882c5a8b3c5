// Window-free parts of the TCP layer: the code table, number reading, log masking, dumps, matching.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Result codes of the TCP layer.
constexpr int TcpOk = 1;
constexpr int TcpClosed = 0;
constexpr int TcpNetworkError = -1;
constexpr int TcpTimeout = -2;
constexpr int TcpBadPointer = -3;
constexpr int TcpUnknownHost = -4;
constexpr int TcpNoSockets = -5;
constexpr int TcpConnectFailed = -6;
constexpr int TcpLengthError = -7;
constexpr int TcpBindFailed = -8;
constexpr int TcpOverflow = -9;
constexpr int TcpZeroBytes = -10;
constexpr int TcpCancelled = -11;
constexpr int TcpNoMemory = -12;
constexpr int TcpBadPort = -13;
constexpr int TcpFileError = -14;

struct TcpCodeText {
    int code;
    const char* text;
};
extern const TcpCodeText TcpCodeTexts[];
extern const size_t TcpCodeTextCount;

const char* TcpErrorString(int code);
// Value of the leading decimal digits; no sign, no blanks; saturates instead of overflowing.
int TcpAtoi(const char* text);
long TcpAtol(const char* text);
int64_t TcpAtoi64(const char* text);

// The bytes as they go to the transcript: a PASS command shows stars instead of the password.
std::string MaskForLog(const char* data, size_t count);

// Hex dump lines of the trace: label cut to 19 characters, 16 bytes a line, CR LF ends.
std::string FormatHexDump(const char* label, const unsigned char* data, size_t count);

// Where the terminator starts in tail+piece, where tail is the last bytes already taken
// (tailLength < terminator length). -1 when it does not occur.
std::ptrdiff_t FindTerminator(const char* tail, size_t tailLength, const char* piece, size_t pieceLength,
                              const char* terminator, size_t terminatorLength, bool caseSensitive);

// Follows the lines of one reply of an FTP-like protocol. Outside a reply, text lines are passed
// over; a line that starts (after blanks) with a digit and has no hyphen in its fourth place is a
// whole reply; three digits and a hyphen open a multi-line reply, which only a line starting with
// the same three digits and a blank ends (lines padded with blanks are text).
class ReplyLines {
public:
    // True when this line ends the reply.
    bool Ends(const char* line);
    // Inside a multi-line reply.
    bool Open() const { return code[0] != '\0'; }

private:
    char code[4] = {};
};

// Reads one reply through readLine, which fills a buffer of the given size like TnReadLine and
// returns its codes. The buffer ends holding the reply's last line without CR. The rest of a line
// too long for the buffer is read and passed over, so the next reply starts in its place.
// 1; 2 when the last line was too long; 0 closed; -2 time-out; -11 cancelled; -1 any other failure.
int ReadReplyLines(const std::function<int(char* buffer, int size)>& readLine, char* buffer, int size);
