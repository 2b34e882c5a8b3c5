// The placeholder table, the per-entry switch and the command-line length limit.
#include "frame/Placeholders.h"
#include <gtest/gtest.h>

namespace {
const PlaceholderValues Active = MakePlaceholderValues(L"C:\\WORK\\DIR", L"C:\\WORK\\DIR\\REPORT.TXT");
const PlaceholderValues Other = MakePlaceholderValues(L"D:\\OTHER", L"D:\\OTHER\\README");

std::wstring Expand(const std::wstring& text, const PlaceholderValues& a = Active, const PlaceholderValues& b = Other)
{
    return ExpandPlaceholders(text, a, b, Quoting::Blanks);
}
}

TEST(Placeholders, EveryPlaceholderOfBothPanels)
{
    struct Row {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"&as", L"C:\\WORK\\DIR\\REPORT.TXT"}, {L"&ap", L"C:\\WORK\\DIR"}, {L"&ad", L"C:"},
        {L"&an", L"REPORT"},                    {L"&ae", L"TXT"},           {L"&af", L"REPORT.TXT"},
        {L"&bs", L"D:\\OTHER\\README"},         {L"&bp", L"D:\\OTHER"},     {L"&bd", L"D:"},
        {L"&bn", L"README"},                    {L"&be", L""},              {L"&bf", L"README"},
    };
    for (const Row& r : rows) EXPECT_EQ(Expand(r.text), r.expected) << r.text;
}

TEST(Placeholders, ReplacedWhereverTheyStandAndOnlyInLowerCase)
{
    EXPECT_EQ(Expand(L"copy &as &bp\\&an.bak"), L"copy C:\\WORK\\DIR\\REPORT.TXT D:\\OTHER\\REPORT.bak");
    EXPECT_EQ(Expand(L"&AS &aS &cs & &a"), L"&AS &aS &cs & &a");
    EXPECT_EQ(Expand(L"&as&as"), L"C:\\WORK\\DIR\\REPORT.TXTC:\\WORK\\DIR\\REPORT.TXT");
}

TEST(Placeholders, NamesWithSeveralDotsSplitAtTheFirst)
{
    PlaceholderValues v = MakePlaceholderValues(L"C:\\X", L"C:\\X\\ARCHIVE.TAR.GZ");
    EXPECT_EQ(v.name, L"ARCHIVE");
    EXPECT_EQ(v.extension, L"TAR.GZ");
    EXPECT_EQ(v.fileName, L"ARCHIVE.TAR.GZ");
}

TEST(Placeholders, ADirectoryAtADriveRoot)
{
    PlaceholderValues root = MakePlaceholderValues(L"C:\\", L"C:\\AUTOEXEC.BAT");
    EXPECT_EQ(Expand(L"&ap|&ad|&as|&af", root), L"C:\\|C:|C:\\AUTOEXEC.BAT|AUTOEXEC.BAT");
}

TEST(Placeholders, NoEntryGivesEmptyText)
{
    PlaceholderValues none = MakePlaceholderValues(L"C:\\WORK", L"");
    EXPECT_EQ(Expand(L"[&as][&an][&ae][&af]&ap", none, none), L"[][][][]C:\\WORK");
}

TEST(Placeholders, ANameWithBlanksAndNoShortFormIsQuotedOnce)
{
    PlaceholderValues blanks = MakePlaceholderValues(L"C:\\my dir", L"C:\\my dir\\my file.txt");
    EXPECT_EQ(Expand(L"/x &as", blanks), L"/x \"C:\\my dir\\my file.txt\"");
    EXPECT_EQ(Expand(L"&an.bak", blanks), L"\"my file\".bak");
    // Already between quotes in the text: left as it is.
    EXPECT_EQ(Expand(L"\"&ap\\new\"", blanks), L"\"C:\\my dir\\new\"");
    EXPECT_EQ(ExpandPlaceholders(L"&ap", blanks, blanks, Quoting::None), L"C:\\my dir");
}

TEST(Placeholders, WhichPlaceholdersSwitchPerEntryMode)
{
    for (const wchar_t* t : {L"&as", L"&ap", L"&ad", L"&an", L"&ae", L"x &af &as"})
        EXPECT_TRUE(UsesPerEntryPlaceholders(t)) << t;
    for (const wchar_t* t : {L"&af", L"&bs &bp &bd &bn &be &bf", L"&AS", L"", L"plain"})
        EXPECT_FALSE(UsesPerEntryPlaceholders(t)) << t;
}

TEST(Placeholders, ACommandLongerThanACommandLineIsRefusedNotCut)
{
    std::wstring program(10, L'p');
    EXPECT_TRUE(FitsCommandLine(program, std::wstring(MaxCommandLineLength - 11, L'x')));
    EXPECT_FALSE(FitsCommandLine(program, std::wstring(MaxCommandLineLength - 10, L'x')));
}
