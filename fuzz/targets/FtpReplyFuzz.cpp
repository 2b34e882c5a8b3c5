// The FTP reply reader over a server's bytes, and the parsers of the reply texts.
#include "ftp/FtpReplies.h"
#include "ftp/TcpText.h"
#include "fuzz/FuzzTarget.h"
#include <cstring>
#include <vector>

namespace {

// Reads lines like the TCP layer: bytes arrive in pieces, the terminator is searched across them,
// a line longer than the buffer comes back cut with TcpOverflow.
class LineSource {
public:
    LineSource(const std::string& bytes, uint8_t pieceSeed) : bytes(bytes), seed(pieceSeed) {}
    int ReadLine(char* buffer, int size)
    {
        if (size <= 1) return TcpNetworkError;
        std::memset(buffer, 0, size);
        size_t room = static_cast<size_t>(size - 1), length = 0;
        std::string tail;
        for (;;) {
            if (position >= bytes.size()) {
                buffer[length] = '\0';
                return TcpClosed;
            }
            size_t piece = 1 + (seed = static_cast<uint8_t>(seed * 37 + 11)) % 23;
            piece = std::min({piece, bytes.size() - position, room - length});
            std::ptrdiff_t at = FindTerminator(tail.data(), tail.size(), bytes.data() + position, piece, "\n", 1, true);
            if (at >= 0) {
                FUZZ_CHECK(static_cast<size_t>(at) < tail.size() + piece);
                size_t take = static_cast<size_t>(at) - tail.size() + 1;
                std::memcpy(buffer + length, bytes.data() + position, take);
                length += take;
                position += take;
                buffer[length] = '\0';
                if (length > 0 && buffer[length - 1] == '\n') buffer[--length] = '\0';
                if (length > 0 && buffer[length - 1] == '\r') buffer[--length] = '\0';
                return TcpOk;
            }
            std::memcpy(buffer + length, bytes.data() + position, piece);
            length += piece;
            position += piece;
            tail.clear();
            if (length == room) {
                buffer[length] = '\0';
                return TcpOverflow;
            }
        }
    }

private:
    const std::string& bytes;
    size_t position = 0;
    uint8_t seed;
};

} // namespace

FUZZ_TARGET(ftp_reply)
{
    fuzz::Input in(data, size);
    int bufferSize = 2 + in.Byte() % 64 * 8;
    uint8_t seed = in.Byte();
    std::string bytes = in.Rest();

    LineSource source(bytes, seed);
    std::vector<char> buffer(static_cast<size_t>(bufferSize));
    for (int replies = 0; replies < 16; ++replies) {
        int r = ReadReplyLines([&](char* line, int lineSize) { return source.ReadLine(line, lineSize); }, buffer.data(),
                               bufferSize);
        FUZZ_CHECK(std::memchr(buffer.data(), '\0', buffer.size()) != nullptr);
        if (r != 1 && r != 2) break;
        const char* reply = buffer.data();
        uint32_t address = 0;
        uint16_t port = 0;
        FtpParsePassiveReply(reply, &address, &port);
        FtpParseExpectedSize(reply);
        TcpAtoi(reply);
        TcpAtol(reply);
        TcpAtoi64(reply);
        std::string dir;
        const char* text = std::strlen(reply) > 4 ? reply + 4 : reply;
        if (FtpParseCurrentDir(text, dir) == 0) FUZZ_CHECK(dir.find('\0') == std::string::npos);
        FtpQuotedName(text);
        static const char* const systems[] = {"UNIX", "WINDOWS_NT", "VMS", "MVS", nullptr};
        int system = FtpFindSystem(reply, systems);
        FUZZ_CHECK(system == 5006 || (system >= 0 && system < 4));
        FtpMapReply(in.Byte() % FtpRowCount, TcpAtoi(reply));
        MaskForLog(reply, std::strlen(reply));
        FormatHexDump(reply, reinterpret_cast<const unsigned char*>(reply), std::strlen(reply));
    }
    // The whole input as one reply text too, without the line reader's cut.
    std::string whole = bytes.substr(0, bytes.find('\0'));
    uint32_t address = 0;
    uint16_t port = 0;
    FtpParsePassiveReply(whole.c_str(), &address, &port);
    FtpParseExpectedSize(whole.c_str());
    std::string dir;
    FtpParseCurrentDir(whole.c_str(), dir);
    std::string command = FtpFormat("CWD %s", whole.c_str());
    if (FtpSafeArgument(whole.c_str())) FUZZ_CHECK(command.find_first_of("\r\n") == std::string::npos);
}
