// The engine against the real local servers that scripts/ftp-servers.sh starts (pyftpdlib, vsftpd).
#include "ftp/FtpTestSupport.h"
#include "ftp/FtpEngine.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

using namespace ftptest;

namespace {

struct Server {
    std::string port, user, password;
    std::wstring home; // where the signed-on user lands, as Wine sees it
};

class RealServer : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        std::string name = GetParam();
        auto info = ServerInfo(name == "vsftpd" ? "vsftpd" : "pyftpd");
        ASSERT_FALSE(name == "vsftpd" && info.empty() && ServerUnavailable("vsftpd"))
            << "vsftpd did not start: see scripts/ftp-servers.sh";
        ASSERT_FALSE(info.empty()) << "no server details for " << name << ": run scripts/ftp-servers.sh start";
        server.port = info["port"];
        bool anonymous = name != "pyftpd-user";
        server.user = anonymous ? "anonymous" : info["user"];
        server.password = anonymous ? "pd@example.org" : info["password"];
        server.home = WinePath(name == "pyftpd-anon" ? info["anonhome"] : info["home"]);
        // vsftpd does not chroot when run as an ordinary user: the session starts in its home.
        writable = name != "pyftpd-anon";
        ASSERT_EQ(FtpEngineStart(nullptr), 0);
        FtpSetBlocking(true);
        ASSERT_EQ(FtpSignOn("127.0.0.1", server.port.c_str(), server.user.c_str(), server.password.c_str(),
                            nullptr, 0),
                  0)
            << FtpReplyText();
    }
    void TearDown() override
    {
        if (FtpQuit() != 0) FtpDropConnection();
        FtpEngineStop();
    }
    Server server;
    bool writable = true;
    test::TempDir local;
};

int64_t lastProgress = 0;
int stopAfter = 0;
void Progress(int kind, int64_t value)
{
    if (kind != 0) return;
    lastProgress = value;
    if (stopAfter && value >= stopAfter) FtpStop();
}

} // namespace

TEST(RealServerSignOn, WrongPasswordIsRejected)
{
    auto info = ServerInfo("pyftpd");
    ASSERT_FALSE(info.empty()) << "no pyftpdlib details: run scripts/ftp-servers.sh start";
    ASSERT_EQ(FtpEngineStart(nullptr), 0);
    FtpSetBlocking(true);
    EXPECT_EQ(FtpSignOn("127.0.0.1", info["port"].c_str(), info["user"].c_str(), "wrong", nullptr, 0), 1009);
    EXPECT_EQ(std::string(FtpReplyText()).substr(0, 3), "530");
    EXPECT_EQ(FtpSignOn("127.0.0.1", info["port"].c_str(), info["user"].c_str(), nullptr, nullptr, 0), 1);
    FtpDropConnection();
    EXPECT_EQ(FtpEngineStop(), 0);
}

TEST_P(RealServer, DirectoriesAndRemoteFiles)
{
    std::string start;
    ASSERT_EQ(FtpCurrentDir(&start), 0);
    EXPECT_FALSE(start.empty());
    const char* names[] = {"Dos", "Windows", "WIN32", "Unix", "VMS", "CMS", "OS2", nullptr};
    EXPECT_EQ(FtpServerSystem(names), 3);
    EXPECT_EQ(FtpChangeDir("no-such-dir"), 1008);
    if (!writable) {
        EXPECT_NE(FtpMakeDir("denied", nullptr), 0);
        return;
    }
    std::string created;
    ASSERT_EQ(FtpMakeDir("sub", &created), 0);
    EXPECT_NE(created.find("sub"), std::string::npos);
    EXPECT_EQ(GetFileAttributesW((server.home + L"\\sub").c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              (DWORD)FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(FtpChangeDir("sub"), 0);
    std::string inside;
    EXPECT_EQ(FtpCurrentDir(&inside), 0);
    EXPECT_EQ(inside, (start == "/" ? "" : start) + "/sub");
    EXPECT_EQ(FtpParentDir(), 0);
    ASSERT_TRUE(WriteAll(server.home + L"\\old.txt", "x"));
    EXPECT_EQ(FtpRenameRemote("old.txt", "new.txt"), 0);
    EXPECT_EQ(ReadAll(server.home + L"\\new.txt"), "x");
    EXPECT_EQ(FtpRenameRemote("missing.txt", "other.txt"), 1010);
    EXPECT_EQ(FtpRemoveFile("new.txt"), 0);
    EXPECT_EQ(FtpRemoveFile("new.txt"), 1008);
    EXPECT_EQ(FtpRemoveDir("sub"), 0);
    EXPECT_EQ(FtpRemoveDir("sub"), 1008);
}

TEST_P(RealServer, ListingsIntoALocalFile)
{
    ASSERT_TRUE(WriteAll(server.home + L"\\listed.txt", "content")) << "home not writable from here";
    for (int passive : {1, 0}) {
        FtpSetPassive(passive);
        EXPECT_EQ(FtpListing(nullptr, (local / L"list.txt").c_str(), true, nullptr, 0), 0) << FtpReplyText();
        std::string list = ReadAll(local / L"list.txt");
        EXPECT_NE(list.find("listed.txt"), std::string::npos) << list;
        EXPECT_NE(list.find("\r\n"), std::string::npos);
        EXPECT_EQ(FtpListing("", (local / L"names.txt").c_str(), false, nullptr, 0), 0);
        EXPECT_NE(ReadAll(local / L"names.txt").find("listed.txt\r\n"), std::string::npos);
    }
    DeleteFileW((server.home + L"\\listed.txt").c_str());
}

TEST_P(RealServer, BinaryTransfersAreByteIdenticalInBothModes)
{
    std::string content = RandomBytes(600 * 1024 + 123, 7);
    ASSERT_TRUE(WriteAll(server.home + L"\\down.bin", content));
    FtpSetProgressCallback(Progress);
    for (int passive : {1, 0}) {
        FtpSetPassive(passive);
        lastProgress = 0;
        ASSERT_EQ(FtpDownload("down.bin", (local / L"down.bin").c_str(), 'I', true, nullptr, 0), 0)
            << passive << FtpReplyText();
        EXPECT_TRUE(ReadAll(local / L"down.bin") == content) << passive;
        EXPECT_EQ(FtpBytesTransferred(), (int64_t)content.size());
        EXPECT_EQ(lastProgress, (int64_t)content.size());
        if (!writable) continue;
        std::wstring up = passive ? L"up-passive.bin" : L"up-active.bin";
        ASSERT_TRUE(WriteAll(local / up, content));
        std::string remote = passive ? "up-passive.bin" : "up-active.bin";
        ASSERT_EQ(FtpUpload((local / up).c_str(), remote.c_str(), 'I', true, nullptr, 0), 0) << FtpReplyText();
        EXPECT_EQ(FtpBytesExpected(), (int64_t)content.size());
        EXPECT_TRUE(ReadAll(server.home + L"\\" + up) == content);
        DeleteFileW((server.home + L"\\" + up).c_str());
    }
    DeleteFileW((server.home + L"\\down.bin").c_str());
    EXPECT_EQ(FtpDownload("absent.bin", (local / L"absent.bin").c_str(), 'I', false, nullptr, 0), 1010);
}

TEST_P(RealServer, AsciiTransfersConvertLineEnds)
{
    ASSERT_TRUE(WriteAll(server.home + L"\\unix.txt", "one\ntwo\n"));
    EXPECT_EQ(FtpDownload("unix.txt", (local / L"unix.txt").c_str(), 'A', false, nullptr, 0), 0);
    EXPECT_EQ(ReadAll(local / L"unix.txt"), "one\r\ntwo\r\n");
    DeleteFileW((server.home + L"\\unix.txt").c_str());
    if (!writable) return;
    ASSERT_TRUE(WriteAll(local / L"dos.txt", "three\r\nfour\r\n"));
    EXPECT_EQ(FtpUpload((local / L"dos.txt").c_str(), "dos.txt", 'A', false, nullptr, 0), 0);
    EXPECT_EQ(ReadAll(server.home + L"\\dos.txt"), "three\nfour\n");
    DeleteFileW((server.home + L"\\dos.txt").c_str());
}

TEST_P(RealServer, StopDuringALargeDownloadKeepsTheConnection)
{
    std::string content = RandomBytes(3 * 1024 * 1024, 11);
    ASSERT_TRUE(WriteAll(server.home + L"\\large.bin", content));
    // The local file a stopped download would have replaced stays as it was, and nothing is left beside it.
    ASSERT_TRUE(WriteAll(local / L"large.bin", "the local version"));
    for (int passive : {1, 0}) {
        FtpSetPassive(passive);
        FtpSetProgressCallback(Progress);
        stopAfter = 200 * 1024;
        EXPECT_EQ(FtpDownload("large.bin", (local / L"large.bin").c_str(), 'I', true, nullptr, 0), -1) << passive;
        stopAfter = 0;
        EXPECT_GE(lastProgress, 200 * 1024);
        EXPECT_EQ(ReadAll(local / L"large.bin"), "the local version");
        EXPECT_EQ(FileNames(local.Path()), std::vector<std::wstring>{L"large.bin"});
        std::string dir;
        EXPECT_EQ(FtpCurrentDir(&dir), 0) << FtpReplyText();
        EXPECT_EQ(std::string(FtpReplyText()).substr(0, 4), "257 ");
        EXPECT_EQ(FtpNoop(), 0);
        EXPECT_EQ(std::string(FtpReplyText()).substr(0, 4), "200 ");
    }
    // Still good for a whole transfer.
    ASSERT_TRUE(WriteAll(server.home + L"\\small.bin", "small"));
    EXPECT_EQ(FtpDownload("small.bin", (local / L"small.bin").c_str(), 'I', false, nullptr, 0), 0);
    EXPECT_EQ(ReadAll(local / L"small.bin"), "small");
    DeleteFileW((server.home + L"\\large.bin").c_str());
    DeleteFileW((server.home + L"\\small.bin").c_str());
}

std::vector<int64_t> progressSeen;
void RecordProgress(int kind, int64_t value)
{
    if (kind != 0) return;
    progressSeen.push_back(value);
    if (stopAfter && value >= stopAfter) FtpStop();
}

// The largest step between two progress reports, from 0 to the last one.
int64_t LargestStep(const std::vector<int64_t>& seen)
{
    int64_t largest = 0, before = 0;
    for (int64_t v : seen) {
        largest = std::max(largest, v - before);
        before = v;
    }
    return largest;
}

TEST_P(RealServer, UnpacedTransfersInLargeBlocksStillReportEvery64KiB)
{
    std::string content = RandomBytes(5 * 1024 * 1024 + 321, 13);
    ASSERT_TRUE(WriteAll(server.home + L"\\big.bin", content));
    ASSERT_EQ(FtpSetPauseLength(0), 0);
    FtpSetProgressCallback(RecordProgress);
    for (int passive : {1, 0}) {
        FtpSetPassive(passive);
        progressSeen.clear();
        ASSERT_EQ(FtpDownload("big.bin", (local / L"big.bin").c_str(), 'I', true, nullptr, 0), 0) << FtpReplyText();
        EXPECT_TRUE(ReadAll(local / L"big.bin") == content) << passive;
        ASSERT_FALSE(progressSeen.empty());
        EXPECT_EQ(progressSeen.back(), (int64_t)content.size());
        EXPECT_LE(LargestStep(progressSeen), 65536) << passive;
        EXPECT_TRUE(std::is_sorted(progressSeen.begin(), progressSeen.end()));
        if (!writable) continue;
        progressSeen.clear();
        ASSERT_EQ(FtpUpload((local / L"big.bin").c_str(), "big-up.bin", 'I', true, nullptr, 0), 0) << FtpReplyText();
        EXPECT_TRUE(ReadAll(server.home + L"\\big-up.bin") == content) << passive;
        ASSERT_FALSE(progressSeen.empty());
        EXPECT_EQ(progressSeen.back(), (int64_t)content.size());
        EXPECT_LE(LargestStep(progressSeen), 65536) << passive;
        DeleteFileW((server.home + L"\\big-up.bin").c_str());
    }
    // Stop still ends an unpaced download at once, leaves nothing behind and keeps the connection.
    ASSERT_TRUE(WriteAll(local / L"kept.bin", "the local version"));
    stopAfter = 300 * 1024;
    progressSeen.clear();
    EXPECT_EQ(FtpDownload("big.bin", (local / L"kept.bin").c_str(), 'I', true, nullptr, 0), -1);
    stopAfter = 0;
    EXPECT_EQ(ReadAll(local / L"kept.bin"), "the local version");
    EXPECT_LT(progressSeen.back(), (int64_t)content.size());
    EXPECT_EQ(FtpNoop(), 0) << FtpReplyText();
    FtpSetPauseLength(100);
    DeleteFileW((server.home + L"\\big.bin").c_str());
}

// With the engine's pacing the bytes between two pauses move in one call, and progress still comes per block.
TEST_P(RealServer, PacedDownloadsReportEveryBlock)
{
    std::string content = RandomBytes(400 * 1024 + 77, 17);
    ASSERT_TRUE(WriteAll(server.home + L"\\paced.bin", content));
    FtpSetProgressCallback(RecordProgress);
    progressSeen.clear();
    ASSERT_EQ(FtpDownload("paced.bin", (local / L"paced.bin").c_str(), 'I', true, nullptr, 0), 0) << FtpReplyText();
    EXPECT_TRUE(ReadAll(local / L"paced.bin") == content);
    ASSERT_FALSE(progressSeen.empty());
    EXPECT_EQ(progressSeen.back(), (int64_t)content.size());
    EXPECT_LE(LargestStep(progressSeen), 4096);
    EXPECT_TRUE(std::is_sorted(progressSeen.begin(), progressSeen.end()));
    DeleteFileW((server.home + L"\\paced.bin").c_str());
}

TEST_P(RealServer, MessageDrivenTransfersReportByMessage)
{
    std::string content = RandomBytes(200 * 1024 + 5, 3);
    ASSERT_TRUE(WriteAll(server.home + L"\\md.bin", content));
    ASSERT_TRUE(WriteAll(server.home + L"\\md.txt", "a\nb\n"));
    FtpSetPassive(1);
    FtpSetBlocking(false);
    Notices notices;
    HWND w = notices.Window();
    EXPECT_EQ(FtpDownload("md.bin", (local / L"md.bin").c_str(), 'I', false, w, Notices::Message), 0);
    EXPECT_EQ(notices.WaitForEnd(), 0);
    EXPECT_EQ(notices.seen.size(), 1u);
    EXPECT_TRUE(ReadAll(local / L"md.bin") == content);

    notices.seen.clear();
    EXPECT_EQ(FtpListing(nullptr, nullptr, false, w, Notices::Message), 0);
    EXPECT_EQ(notices.WaitForEnd(), 0);
    EXPECT_NE(std::find(notices.lines.begin(), notices.lines.end(), "md.txt"), notices.lines.end());

    notices.seen.clear();
    EXPECT_EQ(FtpDownload("absent", (local / L"absent").c_str(), 'I', false, w, Notices::Message), 0);
    EXPECT_EQ(notices.WaitForEnd(), 1010);
    EXPECT_EQ(FtpFetchMatching("*", local.Path().c_str(), 'I', nullptr), 1016);
    FtpSetBlocking(true);
    // Every reply was read where it belonged.
    std::string dir;
    EXPECT_EQ(FtpCurrentDir(&dir), 0) << FtpReplyText();
    DeleteFileW((server.home + L"\\md.bin").c_str());
    DeleteFileW((server.home + L"\\md.txt").c_str());
}

TEST_P(RealServer, FetchMatchingAndTranscript)
{
    ASSERT_TRUE(WriteAll(server.home + L"\\fa.dat", "A"));
    ASSERT_TRUE(WriteAll(server.home + L"\\fb.dat", "B"));
    ASSERT_TRUE(WriteAll(server.home + L"\\skip.dat", "S"));
    // Not every server globs NLST arguments: list everything and let the filter choose.
    EXPECT_EQ(FtpFetchMatching(nullptr, local.Path().c_str(), 'I', [](const char* name, bool) {
                  return std::string(name) == "fa.dat";
              }),
              0)
        << FtpReplyText();
    EXPECT_EQ(ReadAll(local / L"fa.dat"), "A");
    EXPECT_EQ(GetFileAttributesW((local / L"fb.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW((local / L"skip.dat").c_str()), INVALID_FILE_ATTRIBUTES);
    for (auto n : {L"\\fa.dat", L"\\fb.dat", L"\\skip.dat"}) DeleteFileW((server.home + n).c_str());

    // A new sign-on with a transcript: the password shows as stars.
    std::wstring logPath = local / L"PDFTPLOG.TXT";
    HANDLE log = CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(log, INVALID_HANDLE_VALUE);
    FtpSetLogFile(log);
    ASSERT_EQ(FtpSignOn("127.0.0.1", server.port.c_str(), server.user.c_str(), server.password.c_str(), nullptr,
                        0),
              0);
    FtpSetLogFile(INVALID_HANDLE_VALUE);
    CloseHandle(log);
    std::string transcript = ReadAll(logPath);
    EXPECT_NE(transcript.find("USER " + server.user + "\r\n"), std::string::npos) << transcript;
    // vsftpd lets anonymous in without a password.
    if (transcript.find("331") != std::string::npos) {
        EXPECT_NE(transcript.find("PASS " + std::string(server.password.size(), '*') + "\r\n"), std::string::npos)
            << transcript;
    }
    EXPECT_EQ(transcript.find(server.password), std::string::npos);
    EXPECT_NE(transcript.find("230"), std::string::npos);
}

TEST_P(RealServer, ExtendedPassiveAndActiveAreUsed)
{
    ASSERT_TRUE(WriteAll(server.home + L"\\ext.bin", "extended"));
    std::wstring logPath = local / L"EXTLOG.TXT";
    HANDLE log = CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(log, INVALID_HANDLE_VALUE);
    FtpSetLogFile(log);
    for (int passive : {1, 0}) {
        FtpSetPassive(passive);
        EXPECT_EQ(FtpDownload("ext.bin", (local / L"ext.bin").c_str(), 'I', false, nullptr, 0), 0) << FtpReplyText();
        EXPECT_EQ(ReadAll(local / L"ext.bin"), "extended");
    }
    FtpSetLogFile(INVALID_HANDLE_VALUE);
    CloseHandle(log);
    std::string transcript = ReadAll(logPath);
    EXPECT_NE(transcript.find("EPSV\r\n"), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("229 "), std::string::npos) << transcript;
    EXPECT_NE(transcript.find("EPRT |1|127.0.0.1|"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("PASV"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("PORT "), std::string::npos) << transcript;
    DeleteFileW((server.home + L"\\ext.bin").c_str());
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServer, ::testing::Values("pyftpd-user", "pyftpd-anon", "vsftpd"),
                         [](const auto& info) {
                             std::string n = info.param;
                             for (auto& c : n)
                                 if (c == '-') c = '_';
                             return n;
                         });
