// The engine against a scripted server: sign-on paths, firewalls, odd replies, sizes and stopping.
#include "ftp/FtpTestSupport.h"
#include "ftp/FtpEngine.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <memory>

using ftptest::ScriptServer;

namespace {

using FtpScripted = ftptest::EngineTest;

using Script = std::vector<std::pair<std::string, std::string>>;

std::unique_ptr<ScriptServer> Serve(Script answers, std::string greeting = "220 Scripted server ready")
{
    return std::make_unique<ScriptServer>(greeting, ScriptServer::Answers(std::move(answers)));
}

// Passive RETR that sends the content after the given 150 reply.
ScriptServer::Handler Retrieve(std::string opening, std::string content, std::string claimed = "127,0,0,1")
{
    return [=](ScriptServer& s, const std::string& c) {
        if (c == "PASV") s.Reply(s.Passive(claimed));
        else if (c == "EPSV") s.Reply(s.ExtendedPassive());
        else if (c.rfind("EPRT ", 0) == 0) s.Reply(s.ExtendedActive(c.substr(5)) ? "200 EPRT ok" : "500 bad");
        else if (c.rfind("PORT ", 0) == 0) s.Reply(s.Active(c.substr(5)) ? "200 PORT ok" : "500 bad");
        else if (c.rfind("TYPE", 0) == 0 || c.rfind("USER", 0) == 0) s.Reply(c[0] == 'T' ? "200 Type set" : "230 ok");
        else if (c.rfind("REST", 0) == 0) s.Reply("350 Restarting");
        else if (c.rfind("RETR", 0) == 0) s.SendTransfer(content, "226 Transfer complete", opening);
        else if (c.rfind("STOR", 0) == 0) {
            s.Reply(opening);
            s.AcceptData();
            std::string got = s.ReceiveData();
            s.CloseData();
            s.Reply("226 Stored " + std::to_string(got.size()));
        } else if (c == "NOOP") s.Reply("200 NOOP ok");
        else s.Reply("500 Unknown");
    };
}

} // namespace

TEST(FtpEngineLife, StartStopAndNotStarted)
{
    EXPECT_EQ(FtpEngineStop(), 1006);
    EXPECT_EQ(FtpChangeDir("x"), 1002);
    EXPECT_EQ(FtpSignOn("127.0.0.1", "21", "u", "p", nullptr, 0), 1002);
    EXPECT_EQ(FtpStop(), 0);
    ASSERT_EQ(FtpEngineStart(nullptr), 0);
    EXPECT_EQ(FtpEngineStart(nullptr), 1001);
    EXPECT_NE(FindWindowExW(HWND_MESSAGE, nullptr, FtpEngineClassName, nullptr), nullptr);
    EXPECT_EQ(FtpChangeDir("x"), 1003);
    EXPECT_EQ(FtpStop(), 1);
    EXPECT_EQ(FtpEngineStop(), 0);
    EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, FtpEngineClassName, nullptr), nullptr);
    ASSERT_EQ(FtpEngineStart(nullptr), 0);
    EXPECT_EQ(FtpEngineStop(), 0);
}

TEST_F(FtpScripted, SignOnPaths)
{
    auto direct = Serve({{"USER", "230 No password needed"}});
    EXPECT_EQ(FtpSignOn("127.0.0.1", direct->PortText().c_str(), "pd", "secret", nullptr, 0), 0);
    EXPECT_EQ(direct->Commands(), std::vector<std::string>{"USER pd"});

    auto wantsPassword = Serve({{"USER", "331 Password required"}});
    EXPECT_EQ(FtpSignOn("127.0.0.1", wantsPassword->PortText().c_str(), "pd", nullptr, nullptr, 0), 1);
    EXPECT_EQ(wantsPassword->Commands(), std::vector<std::string>{"USER pd"});

    auto account = Serve({{"USER", "331 Password required"}, {"PASS", "332 Need account"}, {"ACCT", "230 ok"}});
    EXPECT_EQ(FtpSignOn("127.0.0.1", account->PortText().c_str(), "pd", "pw", nullptr, 0), 2);
    EXPECT_EQ(FtpAccount("acc"), 0);
    EXPECT_EQ(account->Commands().back(), "ACCT acc");

    auto rejected = Serve({{"USER", "331 Password required"}, {"PASS", "530 Login incorrect"}});
    EXPECT_EQ(FtpSignOn("127.0.0.1", rejected->PortText().c_str(), "pd", "bad", nullptr, 0), 1009);
    EXPECT_STREQ(FtpReplyText(), "530 Login incorrect");

    auto busy = Serve({}, "421 Too many users");
    EXPECT_EQ(FtpSignOn("127.0.0.1", busy->PortText().c_str(), "pd", "pw", nullptr, 0), 1008);

    auto multi = std::make_unique<ScriptServer>("220-Welcome\r\n220-to the\r\n  test server\r\n220 server",
                                                ScriptServer::Answers({{"USER", "230 ok"}}));
    EXPECT_EQ(FtpSignOn("127.0.0.1", multi->PortText().c_str(), "pd", "pw", nullptr, 0), 0);
    EXPECT_STREQ(FtpReplyText(), "230 ok");

    EXPECT_EQ(FtpSignOn(nullptr, "21", "pd", "pw", nullptr, 0), 1000);
    EXPECT_EQ(FtpSignOn("127.0.0.1", "abc", "pd", "pw", nullptr, 0), 2003);
    EXPECT_EQ(FtpSignOn("no.such.host.invalid", "2121", "pd", "pw", nullptr, 0), 2001);
    EXPECT_EQ(FtpSignOn("127.0.0.1", direct->PortText().c_str(), "pd\r\nDELE x", "pw", nullptr, 0), 1000);
}

TEST_F(FtpScripted, ClosedPortIsNoFtpServer)
{
    uint16_t port;
    {
        ScriptServer gone("", nullptr);
        port = gone.Port();
    }
    EXPECT_EQ(FtpSignOn("127.0.0.1", std::to_string(port).c_str(), "pd", "pw", nullptr, 0), 2004);
}

TEST_F(FtpScripted, SilentServerTimesOut)
{
    ScriptServer silent("", nullptr);
    FtpSetTimeout(1);
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(FtpSignOn("127.0.0.1", silent.PortText().c_str(), "pd", "pw", nullptr, 0), 2007);
    EXPECT_LT(GetTickCount64() - start, 10000u);
}

TEST_F(FtpScripted, FirewallKindsSendTheirSequences)
{
    Script answers = {{"USER fwu", "331 fw password"}, {"PASS fwp", "230 fw ok"}, {"SITE", "200 Connected"},
                      {"OPEN", "220 Connected"}, {"USER", "331 Password please"}, {"PASS pw", "230 Logged in"}};
    struct { int kind; std::vector<std::string> sent; } kinds[] = {
        {1, {"USER fwu", "PASS fwp", "SITE target.example", "USER pd", "PASS pw"}},
        {2, {"OPEN target.example", "USER pd", "PASS pw"}},
        {3, {"USER fwu", "PASS fwp", "USER pd@target.example", "PASS pw"}},
        {4, {"USER pd@target.example", "PASS pw"}},
    };
    for (const auto& k : kinds) {
        auto fw = Serve(answers);
        EXPECT_EQ(FtpSignOnViaFirewall("127.0.0.1", fw->PortText().c_str(), "fwu", "fwp", "target.example", "pd",
                                       "pw", k.kind, nullptr, 0),
                  0)
            << k.kind;
        EXPECT_EQ(fw->Commands(), k.sent) << k.kind;
    }
    auto none = Serve(answers);
    EXPECT_EQ(FtpSignOnViaFirewall("127.0.0.1", none->PortText().c_str(), "fwu", "fwp", "t", "pd", "pw", 5,
                                   nullptr, 0),
              1000);
    EXPECT_EQ(FtpSignOnViaFirewall("127.0.0.1", none->PortText().c_str(), "fwu", "fwp", "t", "pd", "pw", 0,
                                   nullptr, 0),
              1000);
    EXPECT_EQ(FtpSignOnViaFirewall(nullptr, "21", "fwu", "fwp", "t", "pd", "pw", 1, nullptr, 0), 1000);
    // The server takes connections one after another: when a sign-on of our own has been answered,
    // any connection the refused calls had made would have been counted before it.
    EXPECT_EQ(FtpSignOn("127.0.0.1", none->PortText().c_str(), "pd", "pw", nullptr, 0), 0);
    EXPECT_EQ(none->Connections(), 1);
    EXPECT_EQ(none->Commands(), (std::vector<std::string>{"USER pd", "PASS pw"}));

    auto refuses = Serve({{"USER fwu", "331 fw password"}, {"PASS", "530 No"}});
    EXPECT_EQ(FtpSignOnViaFirewall("127.0.0.1", refuses->PortText().c_str(), "fwu", "bad", "t", "pd", "pw", 1,
                                   nullptr, 0),
              1015);
    auto noSite = Serve({{"SITE", "550 Unknown host"}});
    EXPECT_EQ(FtpSignOnViaFirewall("127.0.0.1", noSite->PortText().c_str(), nullptr, nullptr, "t", "pd", "pw", 1,
                                   nullptr, 0),
              2003);
    EXPECT_EQ(FtpSignOnViaFirewall("127.0.0.1", "abc", nullptr, nullptr, "t", "pd", "pw", 2, nullptr, 0), 2008);
}

TEST_F(FtpScripted, DirectoryRepliesTypeAndSystem)
{
    auto server = Serve({{"USER", "230 ok"},
                         {"PWD", "257 \"/home/pd\" is current directory."},
                         {"XPWD", "257 /pub is current directory"},
                         {"TYPE", "200 Type set"},
                         {"SYST", "215 UNIX Type: L8"},
                         {"MKD", "257 \"/home/pd/new\" created"},
                         {"HELP", "214 Help is here"},
                         {"NOOP", "200 ok"}});
    ASSERT_EQ(FtpSignOn("127.0.0.1", server->PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    std::string dir;
    EXPECT_EQ(FtpCurrentDir(&dir), 0);
    EXPECT_EQ(dir, "/home/pd");
    std::string created;
    EXPECT_EQ(FtpMakeDir("new", &created), 0);
    EXPECT_EQ(created, "/home/pd/new");
    EXPECT_EQ(FtpTransferType('A'), 0);
    EXPECT_EQ(FtpTransferType('I'), 0);
    EXPECT_EQ(FtpTransferType('I'), 0);
    EXPECT_EQ(FtpTransferType('L'), 0);
    EXPECT_EQ(FtpTransferType('?'), 0);
    const char* names[] = {"Dos", "Windows", "WIN32", "Unix", "VMS", "CMS", "OS2", nullptr};
    EXPECT_EQ(FtpServerSystem(names), 3);
    std::string help;
    EXPECT_EQ(FtpHelp(nullptr, &help), 0);
    EXPECT_EQ(help, "Help is here");
    EXPECT_EQ(FtpNoop(), 0);
    std::string reply;
    EXPECT_EQ(FtpSendCommand("XPWD", &reply), 257);
    EXPECT_EQ(reply, "257 /pub is current directory");
    EXPECT_EQ(FtpChangeDir("a\r\nDELE b"), 1000);
    EXPECT_EQ(FtpChangeDir(nullptr), 1000);
    std::vector<std::string> expected = {"USER pd", "PWD", "MKD new", "TYPE I", "TYPE L 8", "SYST", "HELP", "NOOP",
                                         "XPWD"};
    EXPECT_EQ(server->Commands(), expected);
}

TEST_F(FtpScripted, UnquotedCurrentDirAndOtherSystems)
{
    auto server = Serve({{"USER", "230 ok"}, {"PWD", "257 /pub is current directory"}, {"SYST", "215 VMS V5.5"}});
    ASSERT_EQ(FtpSignOn("127.0.0.1", server->PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    std::string dir;
    EXPECT_EQ(FtpCurrentDir(&dir), 3004);
    EXPECT_EQ(dir, "/pub");
    const char* names[] = {"Dos", "Windows", "WIN32", "Unix", "VMS", "CMS", "OS2", nullptr};
    EXPECT_EQ(FtpServerSystem(names), 4);
    const char* other[] = {"Dos", nullptr};
    EXPECT_EQ(FtpServerSystem(other), 5006);
}

TEST_F(FtpScripted, BrokenRepliesAndClosedConnection)
{
    auto server = std::make_unique<ScriptServer>("220 ready", [](ScriptServer& s, const std::string& c) {
        if (c.rfind("USER", 0) == 0) s.Reply("230 ok");
        else if (c == "CWD long") s.Reply("250" + std::string(3000, 'x'));
        else if (c.rfind("CWD", 0) == 0) s.Reply("250 CWD ok");
        else if (c == "PWD") s.Reply("garbage without a code");
        else if (c == "QUIT") s.CloseControl();
    });
    ASSERT_EQ(FtpSignOn("127.0.0.1", server->PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    EXPECT_EQ(FtpChangeDir("long"), 3001);
    EXPECT_EQ(std::strlen(FtpReplyText()), 2047u);
    EXPECT_EQ(FtpChangeDir("next"), 0);
    EXPECT_STREQ(FtpReplyText(), "250 CWD ok");
    // A reply without a code never ends: the time-out says so, and a connection that may still
    // answer is not used again.
    FtpSetTimeout(1);
    std::string dir;
    EXPECT_EQ(FtpCurrentDir(&dir), 2007);
    EXPECT_EQ(FtpChangeDir("next"), 1003);
    // The server closes the connection instead of answering.
    ASSERT_EQ(FtpSignOn("127.0.0.1", server->PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    EXPECT_EQ(FtpQuit(), 3001);
    EXPECT_EQ(FtpChangeDir("x"), 1003);
}

TEST_F(FtpScripted, PassiveAddressOfTheReplyIsNotTrusted)
{
    ScriptServer server("220 ready", Retrieve("150 Opening (1234 bytes)", "hello from the peer\n", "10,0,0,5"));
    ASSERT_EQ(FtpSignOn("127.0.0.1", server.PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    test::TempDir dir;
    EXPECT_EQ(FtpDownload("file.txt", (dir / L"file.txt").c_str(), 'I', false, nullptr, 0), 0);
    EXPECT_EQ(ftptest::ReadAll(dir / L"file.txt"), "hello from the peer\n");
    EXPECT_EQ(FtpBytesExpected(), 1234);
    EXPECT_EQ(FtpBytesTransferred(), 20);
}

TEST_F(FtpScripted, ExpectedSizesFrom150)
{
    test::TempDir dir;
    struct { const char* opening; int64_t expected; } cases[] = {
        {"150 Opening BINARY mode (5000000000 bytes)", 5000000000LL},
        {"150 Opening data connection", 0},
        {"150 1234 files (bytes)", 0},
        {"125 Transfer starting (77 bytes)", 77},
    };
    for (const auto& c : cases) {
        ScriptServer server("220 ready", Retrieve(c.opening, "abc"));
        ASSERT_EQ(FtpSignOn("127.0.0.1", server.PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
        EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'I', false, nullptr, 0), 0) << c.opening;
        EXPECT_EQ(FtpBytesExpected(), c.expected) << c.opening;
        FtpDropConnection();
    }
}

namespace {
std::vector<int64_t> progressSeen;
void RecordProgress(int kind, int64_t value)
{
    if (kind == 0) progressSeen.push_back(value);
}
} // namespace

TEST_F(FtpScripted, RestartOffsetsAndFileLengthsBeyond4GB)
{
    ScriptServer server("220 ready", Retrieve("150 Opening (5000000000 bytes)", "0123456789"));
    ASSERT_EQ(FtpSignOn("127.0.0.1", server.PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    test::TempDir dir;
    std::wstring path = dir / L"part.bin";
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FtpDownloadToHandle("big.iso", h, 4000000000LL, 'I', false, nullptr, 0), 0);
    EXPECT_EQ(FtpBytesExpected(), 1000000000LL);
    // The caller's handle stays open.
    LARGE_INTEGER size{};
    EXPECT_TRUE(GetFileSizeEx(h, &size));
    EXPECT_EQ(size.QuadPart, 10);
    CloseHandle(h);
    auto sent = server.Commands();
    EXPECT_NE(std::find(sent.begin(), sent.end(), "REST 4000000000"), sent.end());

    std::wstring sparse = dir / L"sparse.bin";
    const int64_t fiveGB = 5000000000LL;
    ASSERT_TRUE(test::MakeSparseFile(sparse, fiveGB));
    h = CreateFileW(sparse.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = fiveGB - 5000;
    SetFilePointerEx(h, at, nullptr, FILE_BEGIN);
    progressSeen.clear();
    FtpSetProgressCallback(RecordProgress);
    EXPECT_EQ(FtpUploadFromHandle(h, "tail.bin", fiveGB - 5000, 'I', true, nullptr, 0), 0);
    CloseHandle(h);
    EXPECT_EQ(FtpBytesExpected(), 5000);
    EXPECT_EQ(FtpBytesTransferred(), 5000);
    EXPECT_EQ(progressSeen, (std::vector<int64_t>{4096, 5000}));
    EXPECT_EQ(server.Commands().back(), "STOR tail.bin");
    EXPECT_STREQ(FtpReplyText(), "226 Stored 5000");
}

namespace {
bool stopArmed = false;
// After the first block the receive waits for more; the stop arrives inside that wait.
void StopInTheNextWait(int kind, int64_t)
{
    if (kind != 0 || stopArmed) return;
    stopArmed = true;
    ftptest::RunAtNextPump([] { FtpStop(); });
}
} // namespace

TEST_F(FtpScripted, StopDuringABlockedReceiveAborts)
{
    ScriptServer server("220 ready", [](ScriptServer& s, const std::string& c) {
        if (c.rfind("USER", 0) == 0) s.Reply("230 ok");
        else if (c.rfind("TYPE", 0) == 0) s.Reply("200 ok");
        else if (c == "PASV") s.Reply(s.Passive());
        else if (c.rfind("RETR", 0) == 0) {
            s.Reply("150 Opening (100000 bytes)");
            s.AcceptData();
            s.SendData("first part only");
        } else if (c == "ABOR") {
            s.CloseData();
            s.Reply("426 Transfer aborted");
            s.Reply("226 ABOR command successful");
        } else if (c == "NOOP") s.Reply("200 ok");
    });
    ASSERT_EQ(FtpSignOn("127.0.0.1", server.PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    test::TempDir dir;
    ASSERT_TRUE(ftptest::WriteAll(dir / L"f", "the local version"));
    stopArmed = false;
    FtpSetProgressCallback(StopInTheNextWait);
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'I', true, nullptr, 0), -1);
    EXPECT_TRUE(stopArmed);
    EXPECT_EQ(FtpBytesTransferred(), 15);
    EXPECT_EQ(ftptest::ReadAll(dir / L"f"), "the local version");
    EXPECT_EQ(ftptest::FileNames(dir.Path()), std::vector<std::wstring>{L"f"});
    EXPECT_EQ(FtpNoop(), 0);
    EXPECT_STREQ(FtpReplyText(), "200 ok");
    EXPECT_EQ(server.Commands().at(server.Commands().size() - 2), "ABOR");
}

TEST_F(FtpScripted, ActiveModeAndRefusedTransfers)
{
    FtpSetPassive(0);
    ScriptServer server("220 ready", [](ScriptServer& s, const std::string& c) {
        if (c.rfind("USER", 0) == 0) s.Reply("230 ok");
        else if (c.rfind("TYPE", 0) == 0) s.Reply("200 ok");
        else if (c.rfind("PORT ", 0) == 0) s.Reply(s.Active(c.substr(5)) ? "200 PORT ok" : "500 bad port");
        else if (c == "RETR missing") { s.CloseData(); s.Reply("550 No such file"); }
        else if (c == "RETR denied") { s.CloseData(); s.Reply("553 Not allowed"); }
        else if (c.rfind("RETR", 0) == 0) {
            s.Reply("150 Opening");
            s.SendData("active data");
            s.CloseData();
            s.Reply("226 done");
        }
    });
    ASSERT_EQ(FtpSignOn("127.0.0.1", server.PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    test::TempDir dir;
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'I', false, nullptr, 0), 0);
    EXPECT_EQ(ftptest::ReadAll(dir / L"f"), "active data");
    EXPECT_EQ(FtpDownload("missing", (dir / L"m").c_str(), 'I', false, nullptr, 0), 1010);
    EXPECT_EQ(FtpDownload("denied", (dir / L"d").c_str(), 'I', false, nullptr, 0), 1011);
    EXPECT_EQ(FtpDownload("f", (dir / L"no\\such\\dir\\f").c_str(), 'I', false, nullptr, 0), 1004);
    EXPECT_EQ(FtpUpload((dir / L"absent").c_str(), "x", 'I', false, nullptr, 0), 1004);
    EXPECT_EQ(FtpListing(nullptr, nullptr, true, nullptr, 0), 1000);
}

TEST_F(FtpScripted, PassiveRefused)
{
    auto server = Serve({{"USER", "230 ok"}, {"PASV", "502 Not implemented"}, {"TYPE", "200 ok"}});
    ASSERT_EQ(FtpSignOn("127.0.0.1", server->PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    test::TempDir dir;
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'A', false, nullptr, 0), 3005);
    auto broken = Serve({{"USER", "230 ok"}, {"PASV", "227 Entering Passive Mode"}});
    ASSERT_EQ(FtpSignOn("127.0.0.1", broken->PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'A', false, nullptr, 0), 3001);
}

namespace {
size_t Count(const std::vector<std::string>& commands, const std::string& prefix)
{
    return std::count_if(commands.begin(), commands.end(),
                         [&](const std::string& c) { return c.compare(0, prefix.size(), prefix) == 0; });
}
} // namespace

TEST_F(FtpScripted, ExtendedPassiveGoesToTheControlPeer)
{
    ScriptServer server("220 ready", Retrieve("150 Opening", "by EPSV"));
    server.extended = true;
    ASSERT_EQ(FtpSignOn("127.0.0.1", server.PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    test::TempDir dir;
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'I', false, nullptr, 0), 0) << FtpReplyText();
    EXPECT_EQ(ftptest::ReadAll(dir / L"f"), "by EPSV");
    EXPECT_EQ(Count(server.Commands(), "EPSV"), 1u);
    EXPECT_EQ(Count(server.Commands(), "PASV"), 0u);
}

TEST_F(FtpScripted, RefusedExtendedPassiveFallsBackToPassiveForTheSession)
{
    ScriptServer server("220 ready", Retrieve("150 Opening", "by PASV"));
    ASSERT_EQ(FtpSignOn("127.0.0.1", server.PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    test::TempDir dir;
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'I', false, nullptr, 0), 0) << FtpReplyText();
        EXPECT_EQ(ftptest::ReadAll(dir / L"f"), "by PASV");
    }
    EXPECT_EQ(Count(server.Commands(), "EPSV"), 1u);
    EXPECT_EQ(Count(server.Commands(), "PASV"), 2u);
    // A new session asks again.
    ASSERT_EQ(FtpSignOn("127.0.0.1", server.PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'I', false, nullptr, 0), 0) << FtpReplyText();
    EXPECT_EQ(Count(server.Commands(), "EPSV"), 2u);
}

TEST_F(FtpScripted, ExtendedPassiveOtherRefusalsAndBadRepliesFail)
{
    auto answered500 = Serve({{"USER", "230 ok"}, {"PASV", "502 Not implemented"}, {"TYPE", "200 ok"}});
    answered500->extended = true;
    ASSERT_EQ(FtpSignOn("127.0.0.1", answered500->PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    test::TempDir dir;
    // EPSV gets "500 Unknown command", PASV "502": no passive mode at all.
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'A', false, nullptr, 0), 3005);
    EXPECT_EQ(Count(answered500->Commands(), "EPSV"), 1u);
    auto broken = Serve({{"USER", "230 ok"}, {"EPSV", "229 Entering Extended Passive Mode (|||x|)"}});
    broken->extended = true;
    ASSERT_EQ(FtpSignOn("127.0.0.1", broken->PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'A', false, nullptr, 0), 3001);
    EXPECT_EQ(Count(broken->Commands(), "PASV"), 0u);
    EXPECT_EQ(ftptest::FileNames(dir.Path()), std::vector<std::wstring>{});
}

TEST_F(FtpScripted, ExtendedActiveAndItsFallBack)
{
    FtpSetPassive(0);
    test::TempDir dir;
    ScriptServer extended("220 ready", Retrieve("150 Opening", "by EPRT"));
    extended.extended = true;
    ASSERT_EQ(FtpSignOn("127.0.0.1", extended.PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'I', false, nullptr, 0), 0) << FtpReplyText();
    EXPECT_EQ(ftptest::ReadAll(dir / L"f"), "by EPRT");
    EXPECT_EQ(Count(extended.Commands(), "EPRT |1|127.0.0.1|"), 1u);
    EXPECT_EQ(Count(extended.Commands(), "PORT"), 0u);

    ScriptServer plain("220 ready", Retrieve("150 Opening", "by PORT"));
    ASSERT_EQ(FtpSignOn("127.0.0.1", plain.PortText().c_str(), "pd", nullptr, nullptr, 0), 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'I', false, nullptr, 0), 0) << FtpReplyText();
        EXPECT_EQ(ftptest::ReadAll(dir / L"f"), "by PORT");
    }
    EXPECT_EQ(Count(plain.Commands(), "EPRT"), 1u);
    EXPECT_EQ(Count(plain.Commands(), "PORT "), 2u);
}
