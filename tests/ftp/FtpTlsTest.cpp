// The engine over TLS against pyftpdlib's TLS handler and vsftpd with ssl_enable; TLS choices against plain servers.
#include "ftp/FtpTestSupport.h"
#include "ftp/FtpEngine.h"
#include "ftp/TlsLayer.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>

using namespace ftptest;

namespace {

struct Seen {
    int asked = 0;
    bool answer = true;
    TlsCertificate last;
    std::string host;
};

bool Check(const TlsCertificate& certificate, const char* host, void* context)
{
    auto* seen = static_cast<Seen*>(context);
    ++seen->asked;
    seen->last = certificate;
    seen->host = host;
    return seen->answer;
}

class FtpTls : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(FtpEngineStart(nullptr), 0);
        FtpSetBlocking(true);
        FtpSetPassive(1);
        logPath = local / L"TLSLOG.TXT";
        log = CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(log, INVALID_HANDLE_VALUE);
        FtpSetLogFile(log);
        FtpSetCertificateCheck(Check, &seen);
    }
    void TearDown() override
    {
        if (FtpQuit() != 0) FtpDropConnection();
        FtpSetLogFile(INVALID_HANDLE_VALUE);
        CloseHandle(log);
        FtpEngineStop();
    }
    std::map<std::string, std::string> Info(const std::string& name)
    {
        auto info = ServerInfo(name);
        EXPECT_FALSE(info.empty()) << "no details for " << name << ": run scripts/ftp-servers.sh start";
        return info;
    }
    int SignOn(std::map<std::string, std::string>& info, int security)
    {
        FtpSetSecurity(security);
        std::string user = info.count("user") ? info["user"] : "anonymous";
        std::string password = info.count("password") ? info["password"] : "pd@example.org";
        return FtpSignOn("127.0.0.1", info["port"].c_str(), user.c_str(), password.c_str(), nullptr, 0);
    }
    std::string Transcript()
    {
        FlushFileBuffers(log);
        return ReadAll(logPath);
    }
    // Listing, download and upload in both modes, byte for byte.
    void TransfersBothWays(const std::wstring& home, bool upload)
    {
        std::string content = RandomBytes(700 * 1024 + 17, 5);
        ASSERT_TRUE(WriteAll(home + L"\\tls-down.bin", content));
        for (int passive : {1, 0}) {
            FtpSetPassive(passive);
            EXPECT_EQ(FtpListing(nullptr, (local / L"list.txt").c_str(), false, nullptr, 0), 0) << FtpReplyText();
            EXPECT_NE(ReadAll(local / L"list.txt").find("tls-down.bin\r\n"), std::string::npos) << passive;
            ASSERT_EQ(FtpDownload("tls-down.bin", (local / L"down.bin").c_str(), 'I', false, nullptr, 0), 0)
                << passive << " " << FtpReplyText();
            EXPECT_TRUE(ReadAll(local / L"down.bin") == content) << passive;
            if (!upload) continue;
            ASSERT_TRUE(WriteAll(local / L"up.bin", content));
            ASSERT_EQ(FtpUpload((local / L"up.bin").c_str(), "tls-up.bin", 'I', false, nullptr, 0), 0)
                << passive << " " << FtpReplyText();
            EXPECT_TRUE(ReadAll(home + L"\\tls-up.bin") == content) << passive;
            DeleteFileW((home + L"\\tls-up.bin").c_str());
        }
        DeleteFileW((home + L"\\tls-down.bin").c_str());
    }
    test::TempDir local;
    std::wstring logPath;
    HANDLE log = INVALID_HANDLE_VALUE;
    Seen seen;
};

int64_t progressSeen = 0;
void StopAfterSome(int kind, int64_t value)
{
    if (kind != 0) return;
    progressSeen = value;
    if (value >= 300 * 1024) FtpStop();
}

} // namespace

TEST_F(FtpTls, RequiredTlsWithPyftpdlib)
{
    auto info = Info("pyftpd-tls");
    ASSERT_EQ(SignOn(info, FtpTlsRequired), 0) << FtpReplyText();
    // Self-signed: the check decides, and sees what the dialog shows.
    EXPECT_EQ(seen.asked, 1);
    EXPECT_EQ(seen.host, "127.0.0.1");
    EXPECT_EQ(seen.last.sha256, info["sha256"]);
    EXPECT_NE(seen.last.subject.find(L"CN=localhost"), std::wstring::npos);
    EXPECT_FALSE(seen.last.chainTrusted);
    EXPECT_EQ(FtpSecurityText().rfind(L"TLS 1.2", 0), 0u) << test::Narrow(FtpSecurityText());
    TransfersBothWays(WinePath(info["home"]), true);
    std::string transcript = Transcript();
    EXPECT_NE(transcript.find("AUTH TLS\r\n"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("Encrypted: TLS 1.2"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("PROT P\r\n"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("EPSV\r\n"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("EPRT |1|127.0.0.1|"), std::string::npos) << transcript;
    // AUTH comes before USER, and the password never appears.
    EXPECT_LT(transcript.find("AUTH TLS"), transcript.find("USER "));
    EXPECT_EQ(transcript.find(info["password"]), std::string::npos) << transcript;
}

TEST_F(FtpTls, CertificateRefusedStopsBeforeTheUserName)
{
    auto info = Info("pyftpd-tls");
    seen.answer = false;
    EXPECT_EQ(SignOn(info, FtpTlsRequired), 4003);
    EXPECT_EQ(seen.asked, 1);
    EXPECT_FALSE(FtpIsConnected());
    // Without any check only a certificate the system trusts would pass.
    FtpSetCertificateCheck(nullptr, nullptr);
    EXPECT_EQ(SignOn(info, FtpTlsIfOffered), 4003);
    EXPECT_EQ(Transcript().find("USER"), std::string::npos) << Transcript();
}

TEST_F(FtpTls, RequiredTlsAgainstAPlainServerSendsNoUser)
{
    auto info = Info("pyftpd");
    EXPECT_EQ(SignOn(info, FtpTlsRequired), 4001);
    EXPECT_FALSE(FtpIsConnected());
    std::string transcript = Transcript();
    EXPECT_NE(transcript.find("AUTH TLS\r\n"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("AUTH SSL\r\n"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("USER"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("PASS"), std::string::npos) << transcript;
    EXPECT_EQ(seen.asked, 0);
}

TEST_F(FtpTls, IfOfferedFallsBackToPlain)
{
    auto info = Info("pyftpd");
    ASSERT_EQ(SignOn(info, FtpTlsIfOffered), 0) << FtpReplyText();
    EXPECT_EQ(FtpSecurityText(), L"");
    TransfersBothWays(WinePath(info["home"]), false);
    EXPECT_EQ(Transcript().find("PROT"), std::string::npos);
    // And with a server that offers TLS, it is used.
    auto tls = Info("pyftpd-tls");
    ASSERT_EQ(SignOn(tls, FtpTlsIfOffered), 0) << FtpReplyText();
    EXPECT_FALSE(FtpSecurityText().empty());
}

TEST_F(FtpTls, StopDuringATlsDownloadKeepsTheConnection)
{
    auto info = Info("pyftpd-tls");
    ASSERT_EQ(SignOn(info, FtpTlsRequired), 0) << FtpReplyText();
    std::wstring home = WinePath(info["home"]);
    ASSERT_TRUE(WriteAll(home + L"\\tls-large.bin", RandomBytes(4 * 1024 * 1024, 9)));
    ASSERT_TRUE(WriteAll(local / L"large.bin", "the local version"));
    FtpSetProgressCallback(StopAfterSome);
    for (int passive : {1, 0}) {
        FtpSetPassive(passive);
        progressSeen = 0;
        EXPECT_EQ(FtpDownload("tls-large.bin", (local / L"large.bin").c_str(), 'I', true, nullptr, 0), -1)
            << passive;
        EXPECT_GE(progressSeen, 300 * 1024);
        EXPECT_EQ(ReadAll(local / L"large.bin"), "the local version");
        EXPECT_EQ(FtpNoop(), 0) << passive << " " << FtpReplyText();
    }
    FtpSetProgressCallback(nullptr);
    ASSERT_TRUE(WriteAll(home + L"\\tls-small.bin", "small"));
    EXPECT_EQ(FtpDownload("tls-small.bin", (local / L"small.bin").c_str(), 'I', false, nullptr, 0), 0);
    EXPECT_EQ(ReadAll(local / L"small.bin"), "small");
    DeleteFileW((home + L"\\tls-large.bin").c_str());
    DeleteFileW((home + L"\\tls-small.bin").c_str());
}

TEST_F(FtpTls, VsftpdWithoutSessionReuse)
{
    auto info = Info("vsftpd-tls");
    ASSERT_FALSE(info.empty());
    ASSERT_EQ(SignOn(info, FtpTlsRequired), 0) << FtpReplyText();
    EXPECT_FALSE(FtpSecurityText().empty());
    TransfersBothWays(WinePath(info["home"]), true);
    EXPECT_EQ(Transcript().find("pd@example.org"), std::string::npos);
}

TEST_F(FtpTls, VsftpdDemandingSessionReuseGetsAClearMessage)
{
    auto info = Info("vsftpd-tls-reuse");
    ASSERT_FALSE(info.empty());
    EXPECT_NE(std::string(FtpErrorText(4004)).find("session reuse"), std::string::npos);
    for (int passive : {1, 0}) {
        ASSERT_EQ(SignOn(info, FtpTlsRequired), 0) << FtpReplyText();
        FtpSetPassive(passive);
        EXPECT_EQ(FtpDownload("welcome.txt", (local / L"w.txt").c_str(), 'I', false, nullptr, 0), 4004)
            << passive << " " << FtpReplyText();
        EXPECT_EQ(GetFileAttributesW((local / L"w.txt").c_str()), INVALID_FILE_ATTRIBUTES);
        // vsftpd ends the whole session after its 522; the engine sees that at the next command and a new
        // sign-on works.
        int noop = FtpNoop();
        EXPECT_TRUE(noop == 0 || (noop == 2002 && !FtpIsConnected())) << noop;
    }
    std::string transcript = Transcript();
    EXPECT_NE(transcript.find("522 "), std::string::npos) << transcript;
}
