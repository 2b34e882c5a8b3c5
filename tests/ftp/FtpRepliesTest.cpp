// The engine's tables and reply parsing, without any connection.
#include "ftp/FtpReplies.h"
#include <gtest/gtest.h>
#include <cstring>
#include <winsock2.h>

TEST(FtpTables, ResultTextsInOrder)
{
    ASSERT_EQ(FtpResultTextCount, 49u);
    const std::pair<int, const char*> some[] = {
        {0, "FTP - Function successful"}, {1, "FTP - Enter password"}, {2, "FTP - Enter account"},
        {3, "FTP - Restart command successful"}, {-1, "FTP - File transfer aborted"},
        {4, "FTP - Server closed data connection"}, {1000, "FTP - Error in parameters"},
        {1006, "FTP - Not initialized"}, {1009, "FTP - Login rejected by server"},
        {1013, "FTP - Close failed - file transfer in progress"}, {1016, "FTP - Available only in synchronous mode"},
        {2002, "FTP - No answer from host"}, {2007, "FTP - Timeout"},
        {2008, "FTP - Error during connection with firewall "}, {3001, "FTP - Unexpected answer from host"},
        {3005, "FTP - Host does not support passive mode"}, {5006, "FTP - Unknown host type"},
    };
    for (const auto& [code, text] : some) EXPECT_STREQ(FtpErrorText(code), text) << code;
    EXPECT_STREQ(FtpErrorText(1234), "Unknown error code");
    EXPECT_STREQ(FtpErrorText(5001), "Unknown error code");
    // Every code is reached by the lookup; the doubled rows repeat the first text.
    for (size_t i = 0; i < FtpResultTextCount; ++i)
        EXPECT_STREQ(FtpErrorText(FtpResultTexts[i].code), FtpResultTexts[i].text);
}

TEST(FtpTables, CommandRowsMapReplies)
{
    const char* formats[FtpRowCount] = {nullptr, "USER %s", "PASS %s", "ACCT %s", "QUIT", "HELP", "HELP %s",
                                        "DELE %s", "CWD %s", "CDUP", "MKD %s", "RMD %s", "PWD", "TYPE %s",
                                        "RNFR %s", "RNTO %s", "SYST", "NOOP", "REST %s", nullptr};
    for (int row = 0; row < FtpRowCount; ++row) {
        if (formats[row]) EXPECT_STREQ(FtpCommandTable[row].format, formats[row]) << row;
        else EXPECT_EQ(FtpCommandTable[row].format, nullptr) << row;
        EXPECT_EQ(FtpMapReply(row, -1), 2002) << row;
        EXPECT_EQ(FtpMapReply(row, 0), 3001) << row;
        EXPECT_EQ(FtpMapReply(row, 999), 3001) << row;
        EXPECT_EQ(FtpMapReply(row, -11), 3001) << row;
        EXPECT_EQ(FtpMapReply(row, 2), 3001) << row;
        EXPECT_EQ(FtpMapReply(row, -2), 2007) << row;
    }
    struct { int row, reply, result; } cases[] = {
        {RowGreeting, 220, 0}, {RowGreeting, 120, 0}, {RowGreeting, 421, 1008}, {RowUser, 331, 1},
        {RowUser, 230, 0}, {RowPass, 332, 2}, {RowPass, 530, 1009}, {RowPass, 503, 3003}, {RowAcct, 202, 0},
        {RowQuit, 221, 0}, {RowHelp, 214, 0}, {RowDele, 450, 1014}, {RowDele, 550, 1008}, {RowCwd, 250, 0},
        {RowCdup, 200, 0}, {RowMkd, 257, 0}, {RowMkd, 227, 0}, {RowMkd, 521, 1008}, {RowRmd, 257, 0},
        {RowPwd, 257, 0}, {RowType, 530, 3002}, {RowType, 504, 3003}, {RowRnfr, 350, 0}, {RowRnfr, 550, 1010},
        {RowRnto, 553, 1008}, {RowSyst, 215, 0}, {RowNoop, 500, 3003}, {RowRest, 350, 3},
        {RowTransferEnd, 226, 0}, {RowTransferEnd, 250, 0}, {RowTransferEnd, 552, 1005},
        {RowTransferEnd, 421, 1008}, {RowTransferEnd, 452, 3001}, {RowCwd, 530, 3001},
    };
    for (auto c : cases) EXPECT_EQ(FtpMapReply(c.row, c.reply), c.result) << c.row << " " << c.reply;
}

TEST(FtpTables, FirewallKindsAndFormats)
{
    EXPECT_EQ(FtpFirewall(0), nullptr);
    EXPECT_EQ(FtpFirewall(5), nullptr);
    EXPECT_TRUE(FtpFirewall(1)->loginFirst);
    EXPECT_STREQ(FtpFirewall(1)->hostCommand, "SITE %s");
    EXPECT_FALSE(FtpFirewall(2)->loginFirst);
    EXPECT_STREQ(FtpFirewall(2)->hostCommand, "OPEN %s");
    EXPECT_EQ(FtpFirewall(3)->hostCommand, nullptr);
    EXPECT_STREQ(FtpFirewall(4)->userCommand, "USER %s@%s");
    EXPECT_EQ(FtpFormat("USER %s@%s", "pd", "ftp.example.org"), "USER pd@ftp.example.org");
    EXPECT_EQ(FtpFormat("CWD %s", "/a %d b"), "CWD /a %d b");
    EXPECT_EQ(FtpListingCommand("-al", true), "LIST -al");
    EXPECT_EQ(FtpListingCommand("", true), "LIST");
    EXPECT_EQ(FtpListingCommand(nullptr, false), "NLST");
    EXPECT_STREQ(FtpTypeArgument('L'), "L 8");
    EXPECT_STREQ(FtpTypeArgument('I'), "I");
    EXPECT_EQ(FtpTypeArgument('E'), nullptr);
    EXPECT_TRUE(FtpSafeArgument("name with blanks"));
    EXPECT_FALSE(FtpSafeArgument("x\r\nDELE y"));
    EXPECT_FALSE(FtpSafeArgument("x\n"));
}

TEST(FtpReplies, PassiveReplyAndPortCommand)
{
    uint32_t address = 0;
    uint16_t port = 0;
    ASSERT_TRUE(FtpParsePassiveReply("227 Entering Passive Mode (10,0,0,5,4,1).", &address, &port));
    EXPECT_EQ(address, inet_addr("10.0.0.5"));
    EXPECT_EQ(port, 1025);
    ASSERT_TRUE(FtpParsePassiveReply("227 ok (127, 0, 0, 1, 195, 80)", &address, &port));
    EXPECT_EQ(port, 195 * 256 + 80);
    EXPECT_FALSE(FtpParsePassiveReply("227 Entering Passive Mode 10,0,0,5,4,1", &address, &port));
    EXPECT_FALSE(FtpParsePassiveReply("227 (10,0,0,5,4)", &address, &port));
    EXPECT_FALSE(FtpParsePassiveReply("227 (10,0,0,300,4,1)", &address, &port));
    EXPECT_FALSE(FtpParsePassiveReply("227 (a,b,c,d,e,f)", &address, &port));
    EXPECT_FALSE(FtpParsePassiveReply("227 (", &address, &port));
    EXPECT_EQ(FtpPortCommand(inet_addr("127.0.0.1"), 1025), "PORT 127,0,0,1,4,1");
    EXPECT_EQ(FtpPortCommand(inet_addr("192.168.10.200"), 65535), "PORT 192,168,10,200,255,255");
}

TEST(FtpReplies, ExtendedPassiveReplyAndPortCommand)
{
    uint16_t port = 0;
    ASSERT_TRUE(FtpParseExtendedPassiveReply("229 Entering Extended Passive Mode (|||6446|)", &port));
    EXPECT_EQ(port, 6446);
    ASSERT_TRUE(FtpParseExtendedPassiveReply("229 ok (!!!65535!)", &port));
    EXPECT_EQ(port, 65535);
    port = 7;
    EXPECT_FALSE(FtpParseExtendedPassiveReply("229 Entering Extended Passive Mode |||6446|", &port));
    EXPECT_FALSE(FtpParseExtendedPassiveReply("229 (|||65536|)", &port));
    EXPECT_FALSE(FtpParseExtendedPassiveReply("229 (|||0|)", &port));
    EXPECT_FALSE(FtpParseExtendedPassiveReply("229 (|||6446!)", &port));
    EXPECT_FALSE(FtpParseExtendedPassiveReply("229 (|1|127.0.0.1|6446|)", &port));
    EXPECT_FALSE(FtpParseExtendedPassiveReply("229 (||||)", &port));
    EXPECT_FALSE(FtpParseExtendedPassiveReply("229 (|||6446|", &port));
    EXPECT_FALSE(FtpParseExtendedPassiveReply("229 (", &port));
    EXPECT_FALSE(FtpParseExtendedPassiveReply(nullptr, &port));
    EXPECT_EQ(port, 7);
    EXPECT_EQ(FtpExtendedPortCommand(inet_addr("127.0.0.1"), 1025), "EPRT |1|127.0.0.1|1025|");
    EXPECT_EQ(FtpExtendedPortCommand(inet_addr("192.168.10.200"), 65535), "EPRT |1|192.168.10.200|65535|");
}

TEST(FtpReplies, ExpectedSizeIs64Bit)
{
    EXPECT_EQ(FtpParseExpectedSize("150 Opening BINARY mode data connection for a.bin (1234 bytes)."), 1234);
    EXPECT_EQ(FtpParseExpectedSize("125 Data connection open (1234 Bytes)"), 1234);
    EXPECT_EQ(FtpParseExpectedSize("150 Opening data connection for big.iso (5000000000 bytes)"), 5000000000LL);
    EXPECT_EQ(FtpParseExpectedSize("150 Opening data connection."), 0);
    EXPECT_EQ(FtpParseExpectedSize("150 File 1234 is (bytes)"), 0);
    EXPECT_EQ(FtpParseExpectedSize("150 (1234  bytes)"), 0);
    EXPECT_EQ(FtpParseExpectedSize("226 Done (1234 bytes)"), 0);
    EXPECT_EQ(FtpParseExpectedSize("150 (99999999999999999999999 bytes)"), 0);
}

TEST(FtpReplies, CurrentDirQuotedNameAndSystem)
{
    std::string dir;
    EXPECT_EQ(FtpParseCurrentDir("\"/home/pd\" is current directory.", dir), 0);
    EXPECT_EQ(dir, "/home/pd");
    EXPECT_EQ(FtpParseCurrentDir("\"/with \"\"quote\" is the cwd", dir), 0);
    EXPECT_EQ(dir, "/with ");
    EXPECT_EQ(FtpParseCurrentDir("/pub is current directory", dir), 3004);
    EXPECT_EQ(dir, "/pub");
    EXPECT_EQ(FtpParseCurrentDir("\"unclosed", dir), 3004);
    EXPECT_EQ(dir, "\"unclosed");
    EXPECT_EQ(FtpQuotedName("\"/sub\" directory created."), "/sub");
    EXPECT_EQ(FtpQuotedName("Directory created."), "");

    const char* names[] = {"Dos", "Windows", "WIN32", "Unix", "VMS", "CMS", "OS2", nullptr};
    EXPECT_EQ(FtpFindSystem("215 UNIX Type: L8", names), 3);
    EXPECT_EQ(FtpFindSystem("215 VMS V5.5", names), 4);
    EXPECT_EQ(FtpFindSystem("215 Windows_NT", names), 1);
    EXPECT_EQ(FtpFindSystem("215 Plan 9", names), 5006);
    EXPECT_EQ(FtpFindSystem("215 UNIX", nullptr), 5006);
}

TEST(FtpReplies, LocalNamesAServerMayGive)
{
    for (const wchar_t* device : {L"CON", L"con", L"nul.txt", L"NUL .tar.gz", L"Com1", L"LPT9.log", L"COM0", L"aux",
                                  L"PRN", L"CONIN$", L"conout$.x", L"CLOCK$", L"COM\u00B9", L"lpt\u00B3.txt"}) {
        EXPECT_TRUE(FtpIsDeviceName(device)) << testing::PrintToString(std::wstring(device));
        EXPECT_FALSE(FtpUsableLocalName(device));
    }
    for (const wchar_t* plain : {L"CONSOLE", L"con1", L"COM10", L"LPT", L"nul_", L"xCON", L"readme.con", L"COMA"})
        EXPECT_FALSE(FtpIsDeviceName(plain)) << testing::PrintToString(std::wstring(plain));
    for (const wchar_t* usable : {L"report.txt", L"a b", L".profile", L"\u00E9t\u00E9 \u4E2D.doc", L"COM10"})
        EXPECT_TRUE(FtpUsableLocalName(usable)) << testing::PrintToString(std::wstring(usable));
    // Windows would strip, reject or reinterpret these.
    for (const wchar_t* unusable : {L"", L".", L"..", L"a.", L"a ", L"a:b", L"a*", L"a?", L"a\"b", L"a<b", L"a>b",
                                    L"a|b", L"a/b", L"a\\b", L"tab\there"})
        EXPECT_FALSE(FtpUsableLocalName(unusable)) << testing::PrintToString(std::wstring(unusable));
}
