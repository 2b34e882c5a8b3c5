// The TCP layer over loopback: connections, receiving up to a terminator, reply reading, cancelling.
#include "ftp/TcpLayer.h"
#include "ftp/FtpTestSupport.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>
#include <cstring>
#include <thread>

namespace {

// A connected loopback pair made with the layer's own calls.
struct Pair {
    TcpSocket listening = NoSocket, client = NoSocket, server = NoSocket;
    Pair()
    {
        uint16_t port = 0;
        EXPECT_EQ(TcpGetListenSocket(&listening, nullptr, &port, 1), 1);
        EXPECT_NE(port, 0);
        EXPECT_EQ(TcpConnect(&client, "127.0.0.1", nullptr, &port), 1);
        EXPECT_EQ(TcpAccept(&server, listening, 5), 1);
    }
    ~Pair()
    {
        TcpClose(&client);
        TcpClose(&server);
        TcpClose(&listening);
    }
    void Send(const std::string& text) { ASSERT_EQ(TcpSend(server, text.data(), (int)text.size(), false, nullptr), 1); }
};

class TcpLayer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(TcpStartup(), 1); }
    void TearDown() override { TcpCleanup(); }
};

// Sends the pieces one after another from a second thread, with a pause between them.
std::thread SendPieces(TcpSocket sock, std::vector<std::string> pieces)
{
    return std::thread([sock, pieces] {
        for (const auto& p : pieces) {
            Sleep(60);
            TcpSend(sock, p.data(), static_cast<int>(p.size()), false, nullptr);
        }
    });
}

} // namespace

TEST(TcpText, ErrorStringForEveryCode)
{
    const std::pair<int, const char*> expected[] = {
        {1, "Successful call"}, {-1, "Network error"}, {-2, "Timeout in recv or accept"},
        {-4, "Reference to Unknown host"}, {-5, "All sockets has been used up"},
        {-6, "Connect function has failed"}, {-7, "TcpPPRecv : Error in length"},
        {-8, "Bind failed (Task already started or attempt to open privileged socket )"},
        {-9, "Overflow during TcpPPRecv/TcpRecvUntilStr"}, {-10, "TcpPPRecv receives 0 byte"},
        {-11, "Call cancelled by signal or TcpAbort"}, {-12, "Not enough memory to perform function"},
        {-13, "Bad port number or alias"}, {0, "Host has closed connection"}, {-14, "A file operation has failed"},
    };
    for (const auto& [code, text] : expected) EXPECT_STREQ(TcpErrorString(code), text) << code;
    EXPECT_EQ(TcpCodeTextCount, 16u);
    EXPECT_STREQ(TcpCodeTexts[5].text, "No more free resource");
    EXPECT_STREQ(TcpErrorString(-3), "Not a Tcp return code");
    EXPECT_STREQ(TcpErrorString(42), "Not a Tcp return code");
}

TEST(TcpText, NumbersPasswordMaskAndDump)
{
    EXPECT_EQ(TcpAtoi("226 Transfer complete"), 226);
    EXPECT_EQ(TcpAtoi(" 230"), 0);
    EXPECT_EQ(TcpAtoi("-5"), 0);
    EXPECT_EQ(TcpAtoi(""), 0);
    EXPECT_EQ(TcpAtoi(nullptr), 0);
    EXPECT_EQ(TcpAtoi("99999999999999"), INT_MAX);
    EXPECT_EQ(TcpAtoi64("5000000000 bytes"), 5000000000LL);
    EXPECT_EQ(TcpAtol("12x"), 12);

    EXPECT_EQ(MaskForLog("PASS secret\r\n", 13), "PASS ******\r\n");
    EXPECT_EQ(MaskForLog("PASS \r\n", 7), "PASS \r\n");
    EXPECT_EQ(MaskForLog("USER secret\r\n", 13), "USER secret\r\n");

    const unsigned char bytes[] = {'A', 'B', 0x00, 0xFF, 'x', 'y', 'z', '1', '2'};
    std::string dump = FormatHexDump("a label longer than nineteen", bytes, sizeof bytes);
    EXPECT_EQ(dump, "a label longer than 41 42 00 FF 78 79 7A 31 - 32                      AB..xyz12\r\n");
    EXPECT_EQ(FormatHexDump("<", bytes, 0), "");
}

TEST(TcpText, TerminatorAcrossPiecesAndCase)
{
    EXPECT_EQ(FindTerminator("", 0, "abc\r\nd", 6, "\r\n", 2, true), 3);
    EXPECT_EQ(FindTerminator("\r", 1, "\nrest", 5, "\r\n", 2, true), 0);
    EXPECT_EQ(FindTerminator("\r", 1, "x\r\n", 3, "\r\n", 2, true), 2);
    EXPECT_EQ(FindTerminator("", 0, "abcEnD", 6, "end", 3, false), 3);
    EXPECT_EQ(FindTerminator("", 0, "abcEnD", 6, "end", 3, true), -1);
    EXPECT_EQ(FindTerminator("EN", 2, "d", 1, "end", 3, false), 0);
    EXPECT_EQ(FindTerminator("", 0, "ab", 2, "abc", 3, true), -1);
}

namespace {
// Feeds ReadReplyLines the lines as TnReadLine would return them from a buffer of the given size.
struct Lines {
    std::vector<std::string> lines;
    size_t next = 0;
    size_t offset = 0; // into a line longer than the buffer
    int end = 0;       // what comes when the lines run out: closed, time-out...
    bool endInsideLongLine = false;
    int Read(char* buffer, int size)
    {
        std::memset(buffer, 0, size);
        if (next >= lines.size() || (offset > 0 && endInsideLongLine)) return end;
        const std::string& line = lines[next];
        size_t fits = static_cast<size_t>(size - 1);
        std::string piece = line.substr(offset, fits);
        std::memcpy(buffer, piece.data(), piece.size());
        if (line.size() - offset > fits) {
            offset += fits;
            return -9;
        }
        ++next;
        offset = 0;
        return 1;
    }
    int Reply(char* buffer, int size)
    {
        return ReadReplyLines([this](char* b, int n) { return Read(b, n); }, buffer, size);
    }
};
} // namespace

TEST(TcpText, AReplyEndsOnlyWhereItsCodeAndABlankStand)
{
    char buf[32];
    Lines single{{"220 ready"}};
    EXPECT_EQ(single.Reply(buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "220 ready");
    // Text and padded lines inside a multi-line reply, whatever digits they start with.
    Lines multi{{"250-first", "123 text", "  250 padded", "251 other", "250-again", "250", "250 end", "200 next"}};
    EXPECT_EQ(multi.Reply(buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "250 end");
    EXPECT_EQ(multi.Reply(buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "200 next");
    // Text before a reply is passed over; a reply with blanks before its code is one line.
    Lines before{{"", "no code here", "  226 done"}};
    EXPECT_EQ(before.Reply(buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "  226 done");
    // A reply the connection ends half-way, or that stops coming.
    Lines cut{{"230-welcome"}, 0, 0, 0};
    EXPECT_EQ(cut.Reply(buf, sizeof buf), 0);
    Lines late{{"230-welcome"}, 0, 0, -2};
    EXPECT_EQ(late.Reply(buf, sizeof buf), -2);
    Lines cancelled{{}, 0, 0, -11};
    EXPECT_EQ(cancelled.Reply(buf, sizeof buf), -11);
    Lines failed{{}, 0, 0, -12};
    EXPECT_EQ(failed.Reply(buf, sizeof buf), -1);
}

TEST(TcpText, TheRestOfALongLineIsPassedOver)
{
    char buf[8];
    // Too long as the last line: 2, the buffer holds its start, and the next reply is whole.
    Lines last{{"257 \"/a/very/long/path\"", "200 ok"}};
    EXPECT_EQ(last.Reply(buf, sizeof buf), 2);
    EXPECT_STREQ(buf, "257 \"/a");
    EXPECT_EQ(last.Reply(buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "200 ok");
    // Too long inside a multi-line reply: only text, the reply goes on.
    Lines inside{{"211-" + std::string(40, 'y') + "211 not the end", "211 end"}};
    EXPECT_EQ(inside.Reply(buf, sizeof buf), 1);
    EXPECT_STREQ(buf, "211 end");
    // The connection closes inside the long line.
    Lines closed{{"226 " + std::string(40, 'z')}, 0, 0, 0, true};
    EXPECT_EQ(closed.Reply(buf, sizeof buf), 0);
    // A buffer of five bytes or less takes one line, whatever it is.
    char tiny[5];
    Lines small{{"230-", "1"}};
    EXPECT_EQ(small.Reply(tiny, sizeof tiny), 1);
    EXPECT_STREQ(tiny, "230-");
    EXPECT_EQ(small.Reply(tiny, sizeof tiny), 1);
    EXPECT_STREQ(tiny, "1");
}

TEST_F(TcpLayer, ListenConnectAcceptAndRegistry)
{
    int before = TcpRegisteredCount();
    {
        Pair p;
        EXPECT_EQ(TcpSocketKind(p.listening), SocketListening);
        EXPECT_EQ(TcpSocketKind(p.client), SocketOutgoing);
        EXPECT_EQ(TcpSocketKind(p.server), SocketAccepted);
        EXPECT_EQ(TcpRegisteredCount(), before + 3);
        EXPECT_EQ(TcpLocalAddress(p.client), htonl(INADDR_LOOPBACK));
        EXPECT_EQ(TcpPeerAddress(p.client), htonl(INADDR_LOOPBACK));
        TcpSocket copy = p.client;
        EXPECT_EQ(TcpClose(&p.client), 1);
        EXPECT_EQ(p.client, NoSocket);
        EXPECT_EQ(TcpSocketKind(copy), 0);
        // The far end sees the close.
        char buf[8];
        EXPECT_EQ(TcpRecv(p.server, buf, sizeof buf, 5, nullptr), 0);
    }
    EXPECT_EQ(TcpRegisteredCount(), before);
    TcpSocket none = NoSocket;
    EXPECT_EQ(TcpClose(&none), 1);
}

namespace {
SOCKET ConnectFrom(const char* from, uint16_t port)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = inet_addr(from);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}
} // namespace

TEST_F(TcpLayer, AListenerIsExclusiveAndAcceptsOnlyThePeer)
{
    TcpSocket listening = NoSocket;
    uint16_t port = 0;
    ASSERT_EQ(TcpGetListenSocket(&listening, nullptr, &port, 2, htonl(INADDR_LOOPBACK)), 1);
    // No other socket takes the port, whether it asks for address re-use or not.
    for (uint32_t address : {htonl(INADDR_LOOPBACK), htonl(INADDR_ANY)}) {
        for (BOOL reuse : {TRUE, FALSE}) {
            SOCKET other = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            setsockopt(other, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<char*>(&reuse), sizeof reuse);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(port);
            a.sin_addr.s_addr = address;
            EXPECT_NE(bind(other, reinterpret_cast<sockaddr*>(&a), sizeof a), 0) << address << " " << reuse;
            closesocket(other);
        }
    }
    // A stranger that comes first is turned away; the peer that follows is taken.
    SOCKET stranger = ConnectFrom("127.0.0.2", port);
    ASSERT_NE(stranger, INVALID_SOCKET);
    SOCKET peer = ConnectFrom("127.0.0.1", port);
    ASSERT_NE(peer, INVALID_SOCKET);
    TcpSocket accepted = NoSocket;
    EXPECT_EQ(TcpAccept(&accepted, listening, 5, htonl(INADDR_LOOPBACK)), 1);
    EXPECT_EQ(TcpPeerAddress(accepted), htonl(INADDR_LOOPBACK));
    char byte;
    EXPECT_LE(recv(stranger, &byte, 1, 0), 0);
    TcpClose(&accepted);
    closesocket(stranger);
    closesocket(peer);
    // Strangers alone: the wait ends with the time-out.
    stranger = ConnectFrom("127.0.0.2", port);
    ASSERT_NE(stranger, INVALID_SOCKET);
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(TcpAccept(&accepted, listening, 1, htonl(INADDR_LOOPBACK)), -2);
    EXPECT_GE(GetTickCount64() - start, 900u);
    EXPECT_EQ(accepted, NoSocket);
    closesocket(stranger);
    TcpClose(&listening);
}

TEST_F(TcpLayer, ConnectPortRules)
{
    TcpSocket s = 123;
    uint16_t port = 0;
    // No service and port 0 fails before any name lookup.
    EXPECT_EQ(TcpConnect(&s, "no.such.host.invalid", nullptr, &port), -13);
    EXPECT_EQ(s, NoSocket);
    EXPECT_EQ(TcpConnect(&s, "127.0.0.1", nullptr, nullptr), -13);
    // The service decides the port and it is reported back.
    port = 5555;
    int r = TcpConnect(&s, "127.0.0.1", "ftp", &port);
    EXPECT_TRUE(r == 1 || r == -6) << r;
    EXPECT_EQ(port, 21);
    TcpClose(&s);
    port = 1;
    EXPECT_EQ(TcpConnect(&s, "no.such.host.invalid", nullptr, &port), -4);
    EXPECT_EQ(TcpConnect(nullptr, "127.0.0.1", nullptr, &port), -3);
    EXPECT_EQ(TcpGetIPAddr("10.0.0.5"), inet_addr("10.0.0.5"));
    EXPECT_EQ(TcpGetIPAddr("no.such.host.invalid"), INADDR_NONE);

    // A closed port: -6 and no socket left behind.
    TcpSocket l = NoSocket;
    uint16_t closedPort = 0;
    ASSERT_EQ(TcpGetListenSocket(&l, nullptr, &closedPort, 1), 1);
    TcpClose(&l);
    EXPECT_EQ(TcpConnect(&s, "127.0.0.1", nullptr, &closedPort), -6);
    EXPECT_EQ(s, NoSocket);
}

TEST_F(TcpLayer, AcceptAndReceiveTimeOuts)
{
    Pair p;
    TcpSocket none = NoSocket;
    char buf[16];
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(TcpRecv(p.client, buf, sizeof buf, -1, nullptr), -2);
    EXPECT_LT(GetTickCount64() - start, 200u);
    start = GetTickCount64();
    EXPECT_EQ(TcpRecv(p.client, buf, sizeof buf, 1, nullptr), -2);
    EXPECT_GE(GetTickCount64() - start, 900u);
    EXPECT_EQ(TcpAccept(&none, p.listening, -1), -2);
    EXPECT_EQ(TcpRecv(NoSocket, buf, sizeof buf, 1, nullptr), -1);
    p.Send("x");
    EXPECT_EQ(TcpRecv(p.client, nullptr, 0, 5, nullptr), 1);
    EXPECT_EQ(TcpRecv(p.client, buf, sizeof buf, 5, nullptr), 1);
    EXPECT_EQ(buf[0], 'x');
}

TEST_F(TcpLayer, RecvUntilStrAcrossPiecesKeepsWhatFollows)
{
    Pair p;
    std::thread sender = SendPieces(p.server, {"hel", "lo\r", "\nnext\r\n", "abcE", "nDtail\n"});
    char buf[32] = {};
    int len = sizeof buf;
    EXPECT_EQ(TcpRecvUntilStr(p.client, buf, &len, "\r\n", 2, true, 5, nullptr), 1);
    EXPECT_EQ(std::string(buf, len), "hello");
    len = sizeof buf;
    EXPECT_EQ(TcpRecvUntilStr(p.client, buf, &len, "\r\n", 2, true, 5, nullptr), 1);
    EXPECT_EQ(std::string(buf, len), "next");
    len = sizeof buf;
    EXPECT_EQ(TcpRecvUntilStr(p.client, buf, &len, "END", 3, false, 5, nullptr), 1);
    EXPECT_EQ(std::string(buf, len), "abc");
    sender.join();
    char line[32];
    EXPECT_EQ(TnReadLine(p.client, line, sizeof line, 5, nullptr), 1);
    EXPECT_STREQ(line, "tail");
}

TEST_F(TcpLayer, OverflowKeepsTheBytes)
{
    Pair p;
    p.Send("0123456789\nshort\n");
    char buf[8] = {};
    int len = 4;
    EXPECT_EQ(TcpRecvUntilStr(p.client, buf, &len, "\n", 1, true, 5, nullptr), -9);
    EXPECT_EQ(len, 4);
    EXPECT_EQ(std::string(buf, 4), "0123");
    char line[8];
    // A line that does not fit: the buffer stays terminated, the rest stays on the socket.
    EXPECT_EQ(TnReadLine(p.client, line, 4, 5, nullptr), -9);
    EXPECT_STREQ(line, "456");
    EXPECT_EQ(TnReadLine(p.client, line, sizeof line, 5, nullptr), 1);
    EXPECT_STREQ(line, "789");
    EXPECT_EQ(TnReadLine(p.client, line, sizeof line, 5, nullptr), 1);
    EXPECT_STREQ(line, "short");
    int zero = 0;
    EXPECT_EQ(TcpRecvUntilStr(p.client, buf, &zero, "\n", 1, true, 5, nullptr), -1);
    EXPECT_EQ(TcpRecvUntilStr(p.client, buf, nullptr, "\n", 1, true, 5, nullptr), -3);
}

TEST_F(TcpLayer, MultiLineRepliesAndAnswerCodes)
{
    Pair p;
    p.Send("230-Welcome\r\n230-second line\r\n free text\r\n\r\nno digits here\r\n230 Logged in\r\n");
    char buf[128];
    EXPECT_EQ(TnReadMultiLine(p.client, buf, sizeof buf, 5, nullptr), 1);
    EXPECT_STREQ(buf, "230 Logged in");
    p.Send("230-a\r\n230-b\r\n230 c\r\n");
    EXPECT_EQ(TnReadAnswerCode(p.client, buf, sizeof buf, 5, nullptr), 230);
    EXPECT_STREQ(buf, "230 c");
    // Blanks before the code end the reply, but the number is read from the first character.
    p.Send("  226 done\r\n");
    EXPECT_EQ(TnReadAnswerCode(p.client, buf, sizeof buf, 5, nullptr), 0);
    // A last line longer than the buffer is the overflow result; the rest of it is read and dropped.
    p.Send("226 " + std::string(200, 'x') + "\r\n200 next\r\n");
    EXPECT_EQ(TnReadMultiLine(p.client, buf, sizeof buf, 5, nullptr), 2);
    EXPECT_EQ(std::strlen(buf), sizeof buf - 1);
    EXPECT_EQ(std::string(buf, 4), "226 ");
    EXPECT_EQ(TnReadAnswerCode(p.client, buf, sizeof buf, 5, nullptr), 200);
    EXPECT_EQ(TnReadMultiLine(p.client, buf, sizeof buf, -1, nullptr), -2);
    TcpClose(&p.server);
    EXPECT_EQ(TnReadMultiLine(p.client, buf, sizeof buf, 5, nullptr), 0);
    EXPECT_EQ(TnReadAnswerCode(p.client, buf, sizeof buf, 5, nullptr), 0);
    EXPECT_EQ(TnReadMultiLine(p.client, nullptr, 10, 5, nullptr), -1);
}

TEST_F(TcpLayer, TranscriptMasksThePassword)
{
    test::TempDir dir;
    std::wstring path = dir / L"log.txt";
    HANDLE log = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(log, INVALID_HANDLE_VALUE);
    {
        Pair p;
        EXPECT_EQ(TnSend(p.client, "USER pd", false, log), 1);
        EXPECT_EQ(TnSend(p.client, "PASS secret", false, log), 1);
        p.Send("230 ok\r\n");
        char buf[64];
        EXPECT_EQ(TnReadAnswerCode(p.client, buf, sizeof buf, 5, log), 230);
        char got[64] = {};
        int len = sizeof got;
        EXPECT_EQ(TcpRecvUntilStr(p.server, got, &len, "\r\n", 2, true, 5, nullptr), 1);
        len = sizeof got;
        EXPECT_EQ(TcpRecvUntilStr(p.server, got, &len, "\r\n", 2, true, 5, nullptr), 1);
        EXPECT_EQ(std::string(got, len), "PASS secret");
    }
    CloseHandle(log);
    EXPECT_EQ(ftptest::ReadAll(path), "USER pd\r\nPASS ******\r\n230 ok\r\n");
}

namespace {
int timerCalls = 0;
int cleanupResult = 0;
void CALLBACK AbortFromTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    ++timerCalls;
    TcpAbort();
}
void CALLBACK CleanupFromTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    ++timerCalls;
    cleanupResult = TcpCleanup();
}
} // namespace

TEST_F(TcpLayer, CancelledReceiveReturnsMinus11AndMessagesRunMeanwhile)
{
    Pair p;
    timerCalls = 0;
    SetTimer(nullptr, 0, 150, AbortFromTimer);
    char buf[16];
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(TcpRecv(p.client, buf, sizeof buf, 0, nullptr), -11);
    EXPECT_EQ(timerCalls, 1);
    EXPECT_LT(GetTickCount64() - start, 5000u);
    // The cancel does not outlive the call it ended.
    EXPECT_EQ(TcpRecv(p.client, buf, sizeof buf, -1, nullptr), -2);
    TcpAbort();
    EXPECT_EQ(TcpRecv(p.client, buf, sizeof buf, -1, nullptr), -2);
    p.Send("ok");
    EXPECT_EQ(TcpRecv(p.client, buf, sizeof buf, 5, nullptr), 2);

    SetTimer(nullptr, 0, 100, AbortFromTimer);
    int len = sizeof buf;
    EXPECT_EQ(TcpRecvUntilStr(p.client, buf, &len, "\n", 1, true, 0, nullptr), -11);
    SetTimer(nullptr, 0, 100, AbortFromTimer);
    EXPECT_EQ(TcpPause(10000), -11);
    EXPECT_EQ(TcpPause(50), 1);
    TcpSocket none = NoSocket;
    SetTimer(nullptr, 0, 100, AbortFromTimer);
    EXPECT_EQ(TcpAccept(&none, p.listening, 0), -11);
}

TEST_F(TcpLayer, CleanupDuringACallCancelsItAndClosesNothing)
{
    Pair p;
    timerCalls = 0;
    cleanupResult = 0;
    SetTimer(nullptr, 0, 100, CleanupFromTimer);
    char buf[4];
    EXPECT_EQ(TcpRecv(p.client, buf, sizeof buf, 0, nullptr), -11);
    EXPECT_EQ(cleanupResult, -1);
    EXPECT_EQ(TcpSocketKind(p.client), SocketOutgoing);
    p.Send("z");
    EXPECT_EQ(TcpRecv(p.client, buf, sizeof buf, 5, nullptr), 1);
}

TEST(TcpLayerStartup, CleanupWithoutStartupAndSocketsClosedByCleanup)
{
    EXPECT_EQ(TcpCleanup(), 1);
    ASSERT_EQ(TcpStartup(), 1);
    TcpSocket l = NoSocket;
    uint16_t port = 0;
    ASSERT_EQ(TcpGetListenSocket(&l, nullptr, &port, 1), 1);
    EXPECT_EQ(TcpSocketKind(l), SocketListening);
    EXPECT_EQ(TcpCleanup(), 1);
    EXPECT_EQ(TcpSocketKind(l), 0);
}
