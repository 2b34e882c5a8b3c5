// The control connection stays in step after every kind of failure; downloads keep the local file
// until the server reports them complete; active mode takes its data connection only from the server.
#include "ftp/FtpTestSupport.h"
#include "ftp/FtpEngine.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>

using namespace ftptest;

namespace {

class FtpInStep : public EngineTest {
protected:
    void SignOn(const ScriptServer& server)
    {
        ASSERT_EQ(FtpSignOn("127.0.0.1", server.PortText().c_str(), "pd", nullptr, nullptr, 0), 0) << FtpReplyText();
    }
    // The command after a failure must read its own reply.
    void ExpectOwnReply()
    {
        EXPECT_EQ(FtpChangeDir("next"), 0);
        EXPECT_STREQ(FtpReplyText(), "250 CWD ok");
    }
    test::TempDir dir;
};

// Sign-on, TYPE, PASV, CWD and NOOP as every script needs them; false for anything else.
bool Common(ScriptServer& s, const std::string& c)
{
    if (c.rfind("USER", 0) == 0) s.Reply("230 ok");
    else if (c.rfind("TYPE", 0) == 0) s.Reply("200 Type set");
    else if (c == "PASV") s.Reply(s.Passive());
    else if (c.rfind("CWD", 0) == 0) s.Reply("250 CWD ok");
    else if (c == "NOOP") s.Reply("200 NOOP ok");
    else return false;
    return true;
}

bool Sent(ScriptServer& server, const std::string& command)
{
    auto sent = server.Commands();
    return std::find(sent.begin(), sent.end(), command) != sent.end();
}

} // namespace

TEST_F(FtpInStep, AFailedUploadReadsTheFinalReplyAndIsNoSuccess)
{
    // The server drops the data connection, then takes the broken upload for a finished one.
    ScriptServer server("220 ready", [](ScriptServer& s, const std::string& c) {
        if (Common(s, c)) return;
        if (c.rfind("STOR", 0) == 0) {
            s.AcceptData();
            s.ResetData();
            s.Reply("150 Opening data connection");
            s.Reply("226 Transfer complete");
        }
    });
    SignOn(server);
    ASSERT_TRUE(WriteAll(dir / L"up.bin", RandomBytes(1024 * 1024, 5)));
    EXPECT_EQ(FtpUpload((dir / L"up.bin").c_str(), "up.bin", 'I', false, nullptr, 0), 2005);
    EXPECT_STREQ(FtpReplyText(), "226 Transfer complete");
    ExpectOwnReply();

    // The same through a data connection the caller drives.
    ASSERT_EQ(FtpOpenDataConnection('W', "raw.bin", 'I'), 0);
    std::string block = RandomBytes(64 * 1024, 6);
    EXPECT_EQ(FtpWriteData(block.data(), static_cast<int>(block.size())), 2005);
    EXPECT_EQ(FtpCloseDataConnection(), 2005);
    EXPECT_STREQ(FtpReplyText(), "226 Transfer complete");
    ExpectOwnReply();
}

TEST_F(FtpInStep, MessageDrivenReceiveErrorAborts)
{
    // The data connection opens and stays silent past the time-out.
    ScriptServer server("220 ready", [](ScriptServer& s, const std::string& c) {
        if (Common(s, c)) return;
        if (c.rfind("RETR", 0) == 0) {
            s.Reply("150 Opening data connection");
            s.AcceptData();
        } else if (c == "ABOR") {
            s.CloseData();
            s.Reply("426 Transfer aborted");
            s.Reply("226 ABOR command successful");
        }
    });
    SignOn(server);
    ASSERT_TRUE(WriteAll(dir / L"f", "the local version"));
    FtpSetTimeout(1);
    FtpSetBlocking(false);
    Notices notices;
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'I', false, notices.Window(), Notices::Message), 0);
    EXPECT_EQ(notices.WaitForEnd(), 2006);
    FtpSetBlocking(true);
    EXPECT_STREQ(FtpReplyText(), "226 ABOR command successful");
    EXPECT_EQ(ReadAll(dir / L"f"), "the local version");
    ExpectOwnReply();
}

TEST_F(FtpInStep, MessageDrivenLineErrorAborts)
{
    ScriptServer server("220 ready", [](ScriptServer& s, const std::string& c) {
        if (Common(s, c)) return;
        if (c == "NLST") s.SendTransfer("ok.txt\r\n" + std::string(5000, 'x') + "\r\n", "226 Listing sent");
        else if (c == "ABOR") {
            s.Reply("225 No transfer to abort");
        }
    });
    SignOn(server);
    FtpSetBlocking(false);
    Notices notices;
    EXPECT_EQ(FtpListing(nullptr, nullptr, false, notices.Window(), Notices::Message), 0);
    EXPECT_EQ(notices.WaitForEnd(), 2006);
    EXPECT_EQ(notices.lines, std::vector<std::string>{"ok.txt"});
    FtpSetBlocking(true);
    EXPECT_STREQ(FtpReplyText(), "225 No transfer to abort");
    ExpectOwnReply();
}

TEST_F(FtpInStep, AReplyThatTimesOutClosesTheConnection)
{
    HANDLE late = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ScriptServer server("220 ready", [late](ScriptServer& s, const std::string& c) {
        if (c == "CWD slow") {
            s.Reply("250-Changing, slowly");
            WaitForSingleObject(late, 10000);
            s.Reply("250 Changed at last");
        } else if (c == "CWD missing") {
            s.Reply("550 No such directory");
        } else {
            Common(s, c);
        }
    });
    SignOn(server);
    FtpSetTimeout(1);
    EXPECT_EQ(FtpChangeDir("slow"), 2007);
    SetEvent(late);
    // The rest of the late reply must not answer this one.
    EXPECT_EQ(FtpChangeDir("missing"), 1003);
    FtpSetTimeout(30);
    SignOn(server);
    EXPECT_EQ(FtpChangeDir("missing"), 1008);
    EXPECT_STREQ(FtpReplyText(), "550 No such directory");
    CloseHandle(late);
}

TEST_F(FtpInStep, TheRestOfALineTooLongIsPassedOver)
{
    // What follows the buffer's worth of the line looks like a reply of its own.
    std::string cut = "250 " + std::string(2043, 'x');
    ScriptServer server("220 ready", [cut](ScriptServer& s, const std::string& c) {
        if (c == "CWD long") s.Reply(cut + "553 the rest of the line");
        else if (c == "PWD") s.Reply("257-" + std::string(3000, 'y') + "\r\n257 \"/pub\" is current directory");
        else Common(s, c);
    });
    SignOn(server);
    EXPECT_EQ(FtpChangeDir("long"), 3001);
    EXPECT_EQ(FtpReplyText(), cut);
    ExpectOwnReply();
    // A long line inside a multi-line reply is only text.
    std::string current;
    EXPECT_EQ(FtpCurrentDir(&current), 0);
    EXPECT_EQ(current, "/pub");
    ExpectOwnReply();
}

TEST_F(FtpInStep, AMultiLineReplyEndsOnlyAtItsOwnCode)
{
    ScriptServer server("220 ready", [](ScriptServer& s, const std::string& c) {
        if (c == "CWD pub")
            s.Reply("250-Directory changed\r\n123 files are here\r\n  250 padded text\r\n251 other code\r\n"
                    "250-still going\r\n250 Done");
        else Common(s, c);
    });
    SignOn(server);
    EXPECT_EQ(FtpChangeDir("pub"), 0);
    EXPECT_STREQ(FtpReplyText(), "250 Done");
    EXPECT_EQ(FtpNoop(), 0);
    EXPECT_STREQ(FtpReplyText(), "200 NOOP ok");
}

TEST_F(FtpInStep, APreliminaryReplyIsFollowedToItsEnd)
{
    // "Ready in a minute" first, then the greeting proper; a raw RETR whose transfer never starts.
    ScriptServer server("120 Ready in a minute\r\n220 Ready now", [](ScriptServer& s, const std::string& c) {
        if (c == "RETR raw") {
            s.Reply("150 Opening data connection");
            s.Reply("425 Cannot open data connection");
        } else {
            Common(s, c);
        }
    });
    SignOn(server);
    EXPECT_STREQ(FtpReplyText(), "230 ok");
    std::string reply;
    EXPECT_EQ(FtpSendCommand("RETR raw", &reply), 150);
    // The 425 that ends it is read before the next command is sent.
    ExpectOwnReply();
    EXPECT_EQ(server.Commands(), (std::vector<std::string>{"USER pd", "RETR raw", "CWD next"}));
}

TEST_F(FtpInStep, ADownloadReplacesTheLocalFileOnlyWhenComplete)
{
    ScriptServer server("220 ready", [](ScriptServer& s, const std::string& c) {
        if (Common(s, c)) return;
        if (c == "RETR missing") {
            s.Reply("550 No such file");
        } else if (c == "RETR broken") {
            s.SendTransfer("the first half", "426 Connection closed; transfer aborted");
        } else if (c.rfind("RETR", 0) == 0) {
            s.SendTransfer("from the server");
        }
    });
    SignOn(server);
    std::wstring target = dir / L"kept.txt";
    ASSERT_TRUE(WriteAll(target, "the local version"));
    EXPECT_EQ(FtpDownload("missing", target.c_str(), 'I', false, nullptr, 0), 1010);
    EXPECT_EQ(ReadAll(target), "the local version");
    EXPECT_EQ(FtpDownload("broken", target.c_str(), 'I', false, nullptr, 0), 3001);
    EXPECT_EQ(ReadAll(target), "the local version");
    EXPECT_EQ(FileNames(dir.Path()), std::vector<std::wstring>{L"kept.txt"});
    ExpectOwnReply();

    EXPECT_EQ(FtpDownload("good", target.c_str(), 'I', false, nullptr, 0), 0);
    EXPECT_EQ(ReadAll(target), "from the server");
    EXPECT_EQ(FileNames(dir.Path()), std::vector<std::wstring>{L"kept.txt"});

    // A target that cannot be written is refused before the server is asked.
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(FtpDownload("readonly", target.c_str(), 'I', false, nullptr, 0), 1004);
    EXPECT_FALSE(Sent(server, "RETR readonly"));
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(FtpDownload("device", (dir / L"nul.txt").c_str(), 'I', false, nullptr, 0), 1004);
    EXPECT_FALSE(Sent(server, "RETR device"));
    EXPECT_EQ(ReadAll(target), "from the server");
}

namespace {
std::vector<std::pair<std::string, bool>> offered;
bool ReplaceOnlyKeep(const char* name, bool exists)
{
    offered.emplace_back(name, exists);
    return std::string(name) == "keep.txt";
}
} // namespace

TEST_F(FtpInStep, FetchByPatternNeverOverwritesSilentlyNorWritesDevices)
{
    ScriptServer server("220 ready", [](ScriptServer& s, const std::string& c) {
        if (Common(s, c)) return;
        if (c == "NLST")
            s.SendTransfer("CON\r\nnul.txt\r\nCOM1\r\nLpt9.log\r\nsub/ok.txt\r\nkeep.txt\r\na.\r\nq?.txt\r\n");
        else if (c.rfind("RETR ", 0) == 0)
            s.SendTransfer("server " + c.substr(5));
    });
    SignOn(server);
    ASSERT_TRUE(WriteAll(dir / L"keep.txt", "local"));
    // Without a caller to ask, the existing file and every unusable name are left out, and said so.
    EXPECT_EQ(FtpFetchMatching(nullptr, dir.Path().c_str(), 'I', nullptr), 1004);
    EXPECT_EQ(ReadAll(dir / L"ok.txt"), "server sub/ok.txt");
    EXPECT_EQ(ReadAll(dir / L"keep.txt"), "local");
    for (const char* name : {"CON", "nul.txt", "COM1", "Lpt9.log", "keep.txt", "a.", "q?.txt"})
        EXPECT_FALSE(Sent(server, std::string("RETR ") + name)) << name;
    EXPECT_EQ(FileNames(dir.Path()), (std::vector<std::wstring>{L"keep.txt", L"ok.txt"}));

    // A caller told that the file exists may have it replaced.
    offered.clear();
    EXPECT_EQ(FtpFetchMatching(nullptr, dir.Path().c_str(), 'I', ReplaceOnlyKeep), 0);
    EXPECT_EQ(ReadAll(dir / L"keep.txt"), "server keep.txt");
    EXPECT_NE(std::find(offered.begin(), offered.end(), std::make_pair(std::string("keep.txt"), true)),
              offered.end());
    EXPECT_NE(std::find(offered.begin(), offered.end(), std::make_pair(std::string("CON"), false)), offered.end());
    ExpectOwnReply();
}

TEST_F(FtpInStep, ActiveModeTakesTheDataConnectionOnlyFromTheServer)
{
    FtpSetPassive(0);
    std::string portArgument;
    bool intruded = false;
    ScriptServer server("220 ready", [&](ScriptServer& s, const std::string& c) {
        if (c.rfind("PORT ", 0) == 0) {
            portArgument = c.substr(5);
            s.Reply("200 PORT ok");
        } else if (c.rfind("RETR", 0) == 0) {
            s.Reply("150 Opening data connection");
            // Another local program races the server to the port.
            intruded = s.Intrude(portArgument, "127.0.0.2", "from an intruder");
            if (!s.Active(portArgument)) return s.Reply("425 No data connection");
            s.SendData("from the server");
            s.CloseData();
            s.Reply("226 Transfer complete");
        } else {
            Common(s, c);
        }
    });
    SignOn(server);
    EXPECT_EQ(FtpDownload("f", (dir / L"f").c_str(), 'I', false, nullptr, 0), 0) << FtpReplyText();
    EXPECT_TRUE(intruded);
    EXPECT_EQ(ReadAll(dir / L"f"), "from the server");
    ExpectOwnReply();
}
