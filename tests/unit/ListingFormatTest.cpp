// Row texts, sizes, dates and the sort order of panel entries.
#include "frame/MainWindow.h"
#include "panel/EntryCompare.h"
#include "panel/ListingFormat.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {
FileEntry File(const std::wstring& name, uint64_t size = 0, uint64_t time = 0)
{
    FileEntry e;
    e.kind = EntryFile;
    e.name = name;
    e.sizeHigh = static_cast<uint32_t>(size >> 32);
    e.sizeLow = static_cast<uint32_t>(size);
    e.lastWrite = time;
    return e;
}
FileEntry Dir(const std::wstring& name)
{
    FileEntry e;
    e.kind = EntryDirectory;
    e.name = name;
    return e;
}
FileEntry Parent()
{
    FileEntry e;
    e.kind = EntryParent;
    e.name = L"..";
    return e;
}
}

TEST(FormatSize, GroupsDigitsFromTheRight)
{
    EXPECT_EQ(FormatSize(uint64_t{0}, L','), L"0");
    EXPECT_EQ(FormatSize(uint64_t{999}, L','), L"999");
    EXPECT_EQ(FormatSize(uint64_t{1000}, L'.'), L"1.000");
    EXPECT_EQ(FormatSize(uint64_t{1234567}, L','), L"1,234,567");
    EXPECT_EQ(FormatSize(uint64_t{5000000000ULL}, L','), L"5,000,000,000");
    EXPECT_EQ(FormatSize(5000000000.0, L','), L"5,000,000,000");
    EXPECT_EQ(FormatSize(18446744073709551615ULL, L','), L"18,446,744,073,709,551,615");
}

TEST(FormatDate, FollowsRegionalOrderAndSeparator)
{
    EXPECT_EQ(FormatDateParts(2026, 12, 7, 8, 52, L'1', L'-'), L"  07-12-26  08:52");
    EXPECT_EQ(FormatDateParts(2005, 1, 31, 13, 5, L'0', L'/'), L"  01/31/05  13:05");
    EXPECT_EQ(FormatDateParts(2005, 1, 31, 13, 5, L'2', L'.'), L"  05.01.31  13:05");
    EXPECT_EQ(FormatDateParts(2000, 3, 4, 0, 0, L'1', L'-'), L"  04-03-00  00:00");
}

TEST(RowTexts, BracketsCaseRuleAndAttributes)
{
    FileEntry readme = File(L"ReadMe.TXT", 10);
    FileEntry docs = Dir(L"Docs");
    EXPECT_EQ(NameColumnText(readme, 2463), L"README.TXT");
    EXPECT_EQ(NameColumnText(docs, 2463), L"[docs]");
    EXPECT_EQ(NameColumnText(readme, 2460), L"readme.txt");
    EXPECT_EQ(NameColumnText(docs, 2450), L"[DOCS]");
    EXPECT_EQ(NameColumnText(readme, 2467), L"readme.txt");
    EXPECT_EQ(NameColumnText(docs, 2467), L"[DOCS]");
    EXPECT_EQ(NameColumnText(readme, 2470), L"ReadMe.TXT");
    EXPECT_EQ(NameColumnText(Parent(), 2460), L"[..]");
    EXPECT_EQ(SizeColumnText(docs, L','), L"<DIR>   ");
    EXPECT_EQ(SizeColumnText(File(L"a", 1234), L','), L"1,234");
    EXPECT_EQ(FormatAttributes(AttrArchive), L"-a--");
    EXPECT_EQ(FormatAttributes(AttrReadOnly | AttrHidden | AttrSystem | AttrArchive), L"rahs");
}

TEST(EntryPath, JoinsUnlessTheNameHasADrive)
{
    EXPECT_EQ(EntryPath(L"C:\\", L"a.txt"), L"C:\\a.txt");
    EXPECT_EQ(EntryPath(L"C:\\X", L"a.txt"), L"C:\\X\\a.txt");
    EXPECT_EQ(EntryPath(L"C:\\X", L"D:\\Y\\b.txt"), L"D:\\Y\\b.txt");
}

TEST(CompareEntries, ParentThenDirectoriesThenFilesInEveryMode)
{
    for (int mode : {16, 17, 32, 33, 64, 65, 128, 129}) {
        std::vector<FileEntry> rows = {File(L"b.txt", 5, 1), Dir(L"zeta"), File(L"a.txt", 9, 2), Parent(),
                                       Dir(L"alpha")};
        std::sort(rows.begin(), rows.end(),
                  [mode](const FileEntry& a, const FileEntry& b) { return CompareEntries(a, b, mode) < 0; });
        EXPECT_EQ(rows[0].kind, EntryParent) << mode;
        EXPECT_EQ(rows[1].kind, EntryDirectory) << mode;
        EXPECT_EQ(rows[2].kind, EntryDirectory) << mode;
        EXPECT_EQ(rows[3].kind, EntryFile) << mode;
        EXPECT_EQ(rows[4].kind, EntryFile) << mode;
    }
}

TEST(CompareEntries, KeysAndDirections)
{
    EXPECT_LT(CompareEntries(File(L"Apple"), File(L"banana"), 128), 0);
    EXPECT_GT(CompareEntries(File(L"Apple"), File(L"banana"), 129), 0);
    EXPECT_EQ(CompareEntries(File(L"ABC"), File(L"abc"), 128), 0);
    // 2^32 + 1 bytes must sort after 2 bytes: the full 64-bit size counts.
    EXPECT_GT(CompareEntries(File(L"big", (1ULL << 32) + 1), File(L"small", 2), 32), 0);
    EXPECT_LT(CompareEntries(File(L"big", (1ULL << 32) + 1), File(L"small", 2), 33), 0);
    EXPECT_LT(CompareEntries(File(L"old", 0, 100), File(L"new", 0, 200), 16), 0);
    EXPECT_GT(CompareEntries(File(L"old", 0, 100), File(L"new", 0, 200), 17), 0);
    EXPECT_LT(CompareEntries(File(L"README"), File(L"a.c"), 64), 0);
    EXPECT_EQ(ExtensionSortKey(L"x.tar.gz"), L"gzx.tar");
    EXPECT_EQ(ExtensionSortKey(L"README"), L" README");
    EXPECT_LT(CompareEntries(File(L"x.tar.gz"), File(L"a.txt"), 64), 0);
}

TEST(SortCommands, RepeatReversesOtherKeyStartsAscending)
{
    EXPECT_EQ(NextSortMode(128, 128), 129);
    EXPECT_EQ(NextSortMode(129, 128), 128);
    EXPECT_EQ(NextSortMode(129, 32), 32);
    EXPECT_EQ(NextSortMode(32, 32), 33);
}

TEST(CaptionClock, TextFollowsDateOrder)
{
    SYSTEMTIME t = {};
    t.wYear = 2026; t.wMonth = 12; t.wDay = 8; t.wHour = 9; t.wMinute = 5; t.wSecond = 7;
    EXPECT_EQ(CMainWindow::ClockText(t, L'0', L'/'), L"12/08/26   09:05:07");
    EXPECT_EQ(CMainWindow::ClockText(t, L'1', L'-'), L"08-12-26   09:05:07");
    EXPECT_EQ(CMainWindow::ClockText(t, L'2', L'.'), L"26.12.08   09:05:07");
}
