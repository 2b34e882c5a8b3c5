// Site records, password scrambling, the first-open conversion and the transfer-type rule.
#include "common/Settings.h"
#include "common/FtpSites.h"
#include "common/FtpConnection.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>

class FtpSitesStore : public testing::Test {
protected:
    void SetUp() override { test::ResetStore(); }
    void TearDown() override { test::ResetStore(); }
};

TEST(FtpPasswords, ScrambleIsHexOfTwiceTheLengthAndRoundTrips)
{
    EXPECT_EQ(ScramblePassword(L""), L"");
    EXPECT_EQ(ScramblePassword(L"a"), L"0A"); // 0x61 ^ 0x6B
    for (const std::wstring& p : {std::wstring(L"secret"), std::wstring(L"P@ss w0rd!~"), std::wstring(L"\x0B")}) {
        std::wstring s = ScramblePassword(p);
        EXPECT_EQ(s.size(), p.size() * 2);
        EXPECT_EQ(s.find_first_not_of(L"0123456789ABCDEF"), std::wstring::npos);
        EXPECT_EQ(UnscramblePassword(s), p);
    }
    // Characters outside ASCII survive too.
    EXPECT_EQ(UnscramblePassword(ScramblePassword(L"p\u00e4\u03b2\u4e2d")), L"p\u00e4\u03b2\u4e2d");
    // An odd last digit is ignored.
    EXPECT_EQ(UnscramblePassword(L"0A0"), L"a");
}

TEST(FtpSiteRecords, FourteenFieldsRoundTrip)
{
    FtpSiteRecord s;
    s.host = L"ftp.example.org";
    s.anonymous = true;
    s.user = L"me";
    s.password = L"pw\u00e9";
    s.firewall = true;
    s.firewallHost = L"proxy";
    s.firewallPort = L"2121";
    s.firewallUser = L"fu";
    s.firewallPassword = L"fp";
    s.firewallKind = 3;
    s.initialDir = L"/pub/x";
    s.keepAlive = true;
    s.port = L"10021";
    s.passive = true;
    std::wstring text = FormatSiteRecord(s);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\t'), 13);
    EXPECT_EQ(text.find(L"pw"), std::wstring::npos);
    FtpSiteRecord r = ParseSiteRecord(text);
    EXPECT_EQ(FormatSiteRecord(r), text);
    EXPECT_EQ(r.password, s.password);
    EXPECT_EQ(r.firewallKind, 3);
    EXPECT_EQ(r.port, L"10021");
    EXPECT_TRUE(r.passive && r.keepAlive && r.firewall && r.anonymous);
}

TEST(FtpSiteRecords, OldShortRecordsAndRemarks)
{
    FtpSiteRecord r = ParseSiteRecord(L"host.example (my old box)\t0\tuser\t" + ScramblePassword(L"pw") + L"\t0");
    EXPECT_EQ(r.host, L"host.example");
    EXPECT_EQ(r.user, L"user");
    EXPECT_EQ(r.password, L"pw");
    EXPECT_EQ(r.port, L"21");
    EXPECT_EQ(r.firewallKind, 1);
    EXPECT_FALSE(r.passive);
    EXPECT_FALSE(r.firewall);
    EXPECT_TRUE(r.firewallHost.empty());
    // Any first character but "0" sets a flag.
    EXPECT_TRUE(ParseSiteRecord(L"h\tx").anonymous);
    EXPECT_FALSE(ParseSiteRecord(L"h\t0").anonymous);
}

TEST_F(FtpSitesStore, FirstOpenScramblesOnceAndLoginDirsKeepTen)
{
    WriteProfileString(L"FTPSites", L"Old", L"old.host\t0\tu\tplainpw\t1\tfw\t21\tfwu\tfwpw\t2");
    ScrambleStoredPasswords();
    EXPECT_EQ(GetProfileInt(L"FTP", L"Encrypted", 0), 1);
    std::wstring stored = GetProfileString(L"FTPSites", L"Old", L"");
    EXPECT_EQ(stored.find(L"plainpw"), std::wstring::npos);
    FtpSiteRecord r;
    ASSERT_TRUE(ReadFtpSite(L"Old", r));
    EXPECT_EQ(r.password, L"plainpw");
    EXPECT_EQ(r.firewallPassword, L"fwpw");
    EXPECT_EQ(r.firewallKind, 2);
    // A second open leaves the scrambled record alone.
    ScrambleStoredPasswords();
    EXPECT_EQ(GetProfileString(L"FTPSites", L"Old", L""), stored);

    for (int i = 0; i < 12; ++i) RememberLoginDir(L"Old", L"/d" + std::to_wstring(i));
    RememberLoginDir(L"Old", L"/d5");
    std::vector<std::wstring> dirs = ReadLoginDirs(L"Old");
    ASSERT_EQ(dirs.size(), 10u);
    EXPECT_EQ(dirs[0], L"/d5");
    EXPECT_EQ(dirs[1], L"/d11");
    DeleteFtpSite(L"Old");
    EXPECT_TRUE(FtpSiteNames().empty());
    EXPECT_TRUE(ReadLoginDirs(L"Old").empty());
}

TEST_F(FtpSitesStore, TransferTypeByModeAndExtension)
{
    std::vector<std::wstring> defaults = FtpAsciiExtensions(true);
    EXPECT_EQ(defaults, (std::vector<std::wstring>{L".TXT", L".ASC", L".HTM", L".HTML"}));
    EXPECT_EQ(ChooseTransferType(L"readme.txt", false), 'A');
    EXPECT_EQ(ChooseTransferType(L"README.TXT;3", true), 'A');
    EXPECT_EQ(ChooseTransferType(L"README.TXT;3", false), 'I');
    EXPECT_EQ(ChooseTransferType(L"Makefile", false), 'I');
    EXPECT_EQ(ChooseTransferType(L"a.tar.gz", false), 'I');
    EXPECT_FALSE(AddFtpExtension(L".txt"));
    EXPECT_TRUE(AddFtpExtension(L".c"));
    EXPECT_EQ(ChooseTransferType(L"x.C", false), 'A');
    RemoveFtpExtension(L".TXT");
    EXPECT_EQ(ChooseTransferType(L"readme.txt", false), 'I');
    WriteProfileInt(L"FTP", L"XferType", 2);
    EXPECT_EQ(ChooseTransferType(L"x.bin", false), 'A');
    WriteProfileInt(L"FTP", L"XferType", 3);
    EXPECT_EQ(ChooseTransferType(L"x.bin", false), 'L');
}

TEST(FtpPaths, LevelsFromTheTop)
{
    using Levels = std::vector<std::wstring>;
    EXPECT_EQ(FtpPathLevels(L"\\a\\b\\c"), (Levels{L"\\a", L"\\a\\b", L"\\a\\b\\c"}));
    EXPECT_EQ(FtpPathLevels(L"\\a\\\\b\\"), (Levels{L"\\a", L"\\a\\b"}));
    EXPECT_EQ(FtpPathLevels(L"new\\deeper"), (Levels{L"new", L"new\\deeper"}));
    EXPECT_EQ(FtpPathLevels(L"\\\u0392\u03ae\u03c4\u03b1"), (Levels{L"\\\u0392\u03ae\u03c4\u03b1"}));
    EXPECT_TRUE(FtpPathLevels(L"\\").empty());
    EXPECT_TRUE(FtpPathLevels(L"").empty());
}

TEST_F(FtpSitesStore, SecurityChoiceAndTrustedCertificateLiveInTheSiteKey)
{
    // A record of fourteen fields without the choice reads as plain FTP.
    WriteProfileString(L"FTPSites", L"Old", L"old.host\t0\tu\tpw\t0\t\t\t\t\t1\t\t0\t21\t0");
    FtpSiteRecord site;
    ASSERT_TRUE(ReadFtpSite(L"Old", site));
    EXPECT_EQ(site.security, 0);
    EXPECT_TRUE(TrustedCertificate(L"Old").empty());
    site.security = 2;
    ASSERT_TRUE(WriteFtpSite(L"Old", site));
    std::wstring record = GetProfileString(L"FTPSites", L"Old", L"");
    EXPECT_EQ(std::count(record.begin(), record.end(), L'\t'), 13);
    EXPECT_EQ(GetProfileInt(L"Old", L"Security", -1), 2);
    FtpSiteRecord again;
    ASSERT_TRUE(ReadFtpSite(L"Old", again));
    EXPECT_EQ(again.security, 2);
    // A value out of range is plain, never something stronger or weaker made up.
    WriteProfileInt(L"Old", L"Security", 7);
    ASSERT_TRUE(ReadFtpSite(L"Old", again));
    EXPECT_EQ(again.security, 0);
    TrustCertificate(L"Old", L"AB:CD");
    EXPECT_EQ(TrustedCertificate(L"Old"), L"AB:CD");
    DeleteFtpSite(L"Old");
    EXPECT_TRUE(TrustedCertificate(L"Old").empty());
}

TEST(FtpCertificates, JudgementAndMessageArguments)
{
    EXPECT_EQ(JudgeCertificate(L"AB:CD", L""), CertificateVerdict::Ask);
    EXPECT_EQ(JudgeCertificate(L"AB:CD", L"AB:CD"), CertificateVerdict::Accept);
    EXPECT_EQ(JudgeCertificate(L"AB:CD", L"AB:CE"), CertificateVerdict::AskChanged);
    EXPECT_EQ(FillArguments(L"%1 and %2, %3%%", {L"a", L"b"}), L"a and b, %%");
    EXPECT_EQ(FillArguments(L"100%", {L"x"}), L"100%");
}
