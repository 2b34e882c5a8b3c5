// The TLS layer: name matching, and TLS under the TCP layer's calls against pyftpdlib's TLS handler.
#include "ftp/TcpLayer.h"
#include "ftp/TlsLayer.h"
#include "ftp/FtpTestSupport.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>
#include <cstdint>
#include <cstring>
#include <vector>

using namespace ftptest;

TEST(TlsNames, HostMatching)
{
    EXPECT_TRUE(TlsHostMatches(L"ftp.example.org", L"FTP.Example.org"));
    EXPECT_TRUE(TlsHostMatches(L"ftp.example.org.", L"ftp.example.org"));
    EXPECT_FALSE(TlsHostMatches(L"ftp.example.org", L"www.example.org"));
    EXPECT_TRUE(TlsHostMatches(L"*.example.org", L"ftp.example.org"));
    EXPECT_FALSE(TlsHostMatches(L"*.example.org", L"a.ftp.example.org"));
    EXPECT_FALSE(TlsHostMatches(L"*.example.org", L"example.org"));
    EXPECT_FALSE(TlsHostMatches(L"*.org", L"example.org"));
    EXPECT_FALSE(TlsHostMatches(L"*.0.0.1", L"127.0.0.1"));
    EXPECT_FALSE(TlsHostMatches(L"", L"example.org"));
    EXPECT_FALSE(TlsHostMatches(L"example.org", L""));
    const unsigned char bytes[] = {0x00, 0xAB, 0x9F};
    EXPECT_EQ(TlsFingerprintText(bytes, 3), "00:AB:9F");
}

namespace {

class TlsServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        info = ServerInfo("pyftpd-tls");
        ASSERT_FALSE(info.empty()) << "no TLS server details: run scripts/ftp-servers.sh start";
        ASSERT_EQ(TcpStartup(), 1);
        uint16_t port = static_cast<uint16_t>(std::stoi(info["port"]));
        ASSERT_EQ(TcpConnect(&control, "127.0.0.1", nullptr, &port), 1);
        ASSERT_EQ(Reply(), 220);
    }
    void TearDown() override
    {
        TcpClose(&data);
        TcpClose(&control);
        TcpCleanup();
    }
    int Reply()
    {
        int code = TnReadAnswerCode(control, reply, sizeof reply, 10, nullptr);
        return code;
    }
    int Command(const char* text)
    {
        if (TnSend(control, text, false, nullptr) != 1) return -100;
        return Reply();
    }
    // AUTH TLS, the handshake and a sign-on over it.
    void Secure()
    {
        ASSERT_EQ(Command("AUTH TLS"), 234) << reply;
        ASSERT_EQ(TcpStartTls(control, L"127.0.0.1", 10), 1) << test::Narrow(TlsLastError());
        ASSERT_TRUE(TcpIsTls(control));
        ASSERT_EQ(Command(("USER " + info["user"]).c_str()), 331) << reply;
        ASSERT_EQ(Command(("PASS " + info["password"]).c_str()), 230) << reply;
    }
    // PROT P, EPSV, the command, the data connection's handshake, then the opening reply.
    void OpenProtectedData(const char* command)
    {
        ASSERT_EQ(Command("PBSZ 0"), 200) << reply;
        ASSERT_EQ(Command("PROT P"), 200) << reply;
        ASSERT_EQ(Command("EPSV"), 229) << reply;
        const char* open = std::strchr(reply, '(');
        ASSERT_NE(open, nullptr);
        uint16_t port = static_cast<uint16_t>(std::atoi(open + 4));
        ASSERT_EQ(TcpConnect(&data, "127.0.0.1", nullptr, &port), 1);
        // The command first, then the handshake, then the opening reply.
        ASSERT_EQ(TnSend(control, command, false, nullptr), 1);
        ASSERT_EQ(TcpStartTls(data, L"127.0.0.1", 10), 1) << test::Narrow(TlsLastError());
        int opening = Reply();
        ASSERT_TRUE(opening == 150 || opening == 125) << reply;
    }
    std::map<std::string, std::string> info;
    TcpSocket control = NoSocket;
    TcpSocket data = NoSocket;
    char reply[2048] = {};
};

} // namespace

TEST_F(TlsServer, SignOnListingAndCertificate)
{
    Secure();
    EXPECT_EQ(TcpTlsDescription(control).rfind(L"TLS 1.2", 0), 0u) << test::Narrow(TcpTlsDescription(control));
    TlsCertificate cert;
    ASSERT_TRUE(TcpTlsCertificate(control, &cert));
    EXPECT_NE(cert.subject.find(L"CN=localhost"), std::wstring::npos) << test::Narrow(cert.subject);
    EXPECT_EQ(cert.subject, cert.issuer);
    EXPECT_EQ(cert.sha256, info["sha256"]);
    // Self-signed: not trusted by the system, but it names 127.0.0.1.
    EXPECT_FALSE(cert.chainTrusted);
    EXPECT_TRUE(cert.nameMatches);
    EXPECT_FALSE(cert.problem.empty());

    ASSERT_TRUE(WriteAll(WinePath(info["home"]) + L"\\tls-listed.txt", "x"));
    OpenProtectedData("NLST");
    std::string listing;
    char buffer[4096];
    int n;
    while ((n = TcpRecv(data, buffer, sizeof buffer, 10, nullptr)) > 0) listing.append(buffer, n);
    // The server's close_notify ends the listing cleanly.
    EXPECT_EQ(n, 0);
    EXPECT_NE(listing.find("tls-listed.txt\r\n"), std::string::npos) << listing;
    TcpClose(&data);
    EXPECT_EQ(Reply(), 226) << reply;
    EXPECT_EQ(Command("NOOP"), 200) << reply;
    DeleteFileW((WinePath(info["home"]) + L"\\tls-listed.txt").c_str());
}

// Receives of every size against records of 16 KiB and socket reads of many records: bytes that straddle
// records, reads and receives all arrive once and in order, and close_notify still ends the stream.
TEST_F(TlsServer, ALargeDownloadArrivesIntactInPiecesOfAnySize)
{
    Secure();
    std::string content(3 * 1024 * 1024 + 12345, '\0');
    uint32_t state = 2463534242u;
    for (char& ch : content) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        ch = static_cast<char>(state >> 24);
    }
    const std::wstring file = WinePath(info["home"]) + L"\\tls-large.bin";
    ASSERT_TRUE(WriteAll(file, content));
    ASSERT_EQ(Command("TYPE I"), 200) << reply;
    OpenProtectedData("RETR tls-large.bin");
    const int sizes[] = {1, 777, 16384, 16385, 70000, 300000, 5};
    std::vector<char> buffer(300000);
    std::string got;
    int n = 0;
    for (size_t i = 0; (n = TcpRecv(data, buffer.data(), sizes[i % 7], 10, nullptr)) > 0; ++i) {
        ASSERT_LE(n, sizes[i % 7]);
        got.append(buffer.data(), static_cast<size_t>(n));
    }
    EXPECT_EQ(n, 0);
    ASSERT_EQ(got.size(), content.size());
    EXPECT_TRUE(got == content) << "the bytes differ from the file";
    TcpClose(&data);
    EXPECT_EQ(Reply(), 226) << reply;
    EXPECT_EQ(Command("NOOP"), 200) << reply;
    DeleteFileW(file.c_str());
}

TEST_F(TlsServer, AbortEndsABlockedTlsReceive)
{
    Secure();
    RunAtNextPump([] { TcpAbort(); });
    char buffer[16];
    EXPECT_EQ(TcpRecv(control, buffer, sizeof buffer, 20, nullptr), -11);
    // The connection still works afterwards.
    EXPECT_EQ(Command("NOOP"), 200) << reply;
}

TEST_F(TlsServer, ATimeOutOnTlsIsATimeOut)
{
    Secure();
    char buffer[16];
    EXPECT_EQ(TcpRecv(control, buffer, sizeof buffer, 1, nullptr), -2);
    EXPECT_EQ(Command("NOOP"), 200) << reply;
}

TEST_F(TlsServer, HandshakeWithAPlainPeerFails)
{
    // Without AUTH TLS the server answers the hello as a bad command and the handshake cannot finish.
    int r = TcpStartTls(control, L"127.0.0.1", 2);
    EXPECT_NE(r, 1);
    EXPECT_FALSE(TcpIsTls(control));
    EXPECT_FALSE(TlsLastError().empty());
}

TEST(TlsCut, AStreamEndingWithoutCloseNotifyIsAnError)
{
    auto info = ServerInfo("tls-cut");
    ASSERT_FALSE(info.empty()) << "no TLS cut server: run scripts/ftp-servers.sh start";
    ASSERT_EQ(TcpStartup(), 1);
    TcpSocket sock = NoSocket;
    uint16_t port = static_cast<uint16_t>(std::stoi(info["port"]));
    ASSERT_EQ(TcpConnect(&sock, "127.0.0.1", nullptr, &port), 1);
    ASSERT_EQ(TcpStartTls(sock, L"127.0.0.1", 10), 1) << test::Narrow(TlsLastError());
    size_t got = 0;
    char buffer[8192];
    int n;
    while ((n = TcpRecv(sock, buffer, sizeof buffer, 10, nullptr)) > 0) got += static_cast<size_t>(n);
    EXPECT_EQ(got, 100000u);
    // Not the clean end (0) that close_notify gives: the data may have been cut.
    EXPECT_EQ(n, -1);
    EXPECT_NE(TlsLastError().find(L"close_notify"), std::wstring::npos) << test::Narrow(TlsLastError());
    TcpClose(&sock);
    TcpCleanup();
}
