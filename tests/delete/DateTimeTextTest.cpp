// Typed dates and times of the attribute dialogs: the three orders, the century rule, refusals.
#include "fileops/DateTimeText.h"
#include "fileops/DeleteDialogs.h"
#include <gtest/gtest.h>

namespace {
LocalDateTime Parse(const wchar_t* date, const wchar_t* time, wchar_t order, wchar_t separator = L'-')
{
    LocalDateTime v;
    EXPECT_TRUE(ParseDateTime(date, time, order, separator, v)) << static_cast<char>(order);
    return v;
}

bool Refused(const wchar_t* date, const wchar_t* time, wchar_t order = L'1')
{
    LocalDateTime v;
    v.year = 77;
    bool ok = ParseDateTime(date, time, order, L'-', v);
    return !ok && v.year == 77;
}

void ExpectDate(const LocalDateTime& v, int y, int mo, int d, int h, int mi)
{
    EXPECT_EQ(v.year, y);
    EXPECT_EQ(v.month, mo);
    EXPECT_EQ(v.day, d);
    EXPECT_EQ(v.hour, h);
    EXPECT_EQ(v.minute, mi);
}
}

TEST(ParseDateTime, DayMonthYear)
{
    ExpectDate(Parse(L"31-12-04", L"23:59", L'1'), 2004, 12, 31, 23, 59);
    ExpectDate(Parse(L"15-06-85", L"00:00", L'1'), 1985, 6, 15, 0, 0);
}

TEST(ParseDateTime, MonthDayYear)
{
    ExpectDate(Parse(L"12/31/04", L"7:05", L'0', L'/'), 2004, 12, 31, 7, 5);
}

TEST(ParseDateTime, YearMonthDay)
{
    ExpectDate(Parse(L"04-12-31", L"12:00", L'2'), 2004, 12, 31, 12, 0);
}

TEST(ParseDateTime, TheCenturyRule)
{
    EXPECT_EQ(Parse(L"01-01-80", L"0:0", L'1').year, 2080);
    EXPECT_EQ(Parse(L"01-01-81", L"0:0", L'1').year, 1981);
    EXPECT_EQ(Parse(L"01-01-99", L"0:0", L'1').year, 1999);
    EXPECT_EQ(Parse(L"01-01-00", L"0:0", L'1').year, 2000);
    EXPECT_EQ(Parse(L"01-01-2010", L"0:0", L'1').year, 2010);
}

TEST(ParseDateTime, ABlankSeparatorAndAnyCommonSeparatorAreRead)
{
    ExpectDate(Parse(L"31 12 04", L"23:59", L'1', L' '), 2004, 12, 31, 23, 59);
    ExpectDate(Parse(L"31.12.04", L"23.59", L'1', L'.'), 2004, 12, 31, 23, 59);
}

TEST(ParseDateTime, LeapDays)
{
    ExpectDate(Parse(L"29-02-04", L"10:00", L'1'), 2004, 2, 29, 10, 0);
    EXPECT_TRUE(Refused(L"29-02-05", L"10:00"));
    EXPECT_TRUE(Refused(L"29-02-2100", L"10:00"));
    ExpectDate(Parse(L"29-02-2000", L"10:00", L'1'), 2000, 2, 29, 10, 0);
}

TEST(ParseDateTime, OutOfRangeValuesAreRefused)
{
    EXPECT_TRUE(Refused(L"31-13-04", L"10:00"));
    EXPECT_TRUE(Refused(L"00-12-04", L"10:00"));
    EXPECT_TRUE(Refused(L"31-04-04", L"10:00"));
    EXPECT_TRUE(Refused(L"31-12-04", L"25:00"));
    EXPECT_TRUE(Refused(L"31-12-04", L"24:00"));
    EXPECT_TRUE(Refused(L"31-12-04", L"23:60"));
    EXPECT_TRUE(Refused(L"31-12-1600", L"10:00"));
    EXPECT_TRUE(Refused(L"12-31-04", L"10:00", L'1'));
}

TEST(ParseDateTime, TextWithoutThreeAndTwoNumbersIsRefused)
{
    EXPECT_TRUE(Refused(L"", L""));
    EXPECT_TRUE(Refused(L"31-12", L"10:00"));
    EXPECT_TRUE(Refused(L"31-12-04-05", L"10:00"));
    EXPECT_TRUE(Refused(L"31-12-04", L"10"));
    EXPECT_TRUE(Refused(L"31-12-04", L"10:00:00"));
    EXPECT_TRUE(Refused(L"3a-12-04", L"10:00"));
    EXPECT_TRUE(Refused(L"31-12-04", L"ten"));
    EXPECT_TRUE(Refused(L"-1-12-04", L"10:00x"));
    EXPECT_TRUE(Refused(L"99999-12-04", L"10:00"));
}

TEST(FormatDialogDate, FollowsTheOrderAndTheSeparator)
{
    LocalDateTime v;
    v.year = 2005;
    v.month = 1;
    v.day = 31;
    v.hour = 13;
    v.minute = 5;
    EXPECT_EQ(FormatDialogDate(v, L'0', L'/'), L"01/31/05");
    EXPECT_EQ(FormatDialogDate(v, L'1', L'-'), L"31-01-05");
    EXPECT_EQ(FormatDialogDate(v, L'2', L'.'), L"05.01.31");
    EXPECT_EQ(FormatDialogTime(v), L"13:05");
    // What is shown can be read back.
    LocalDateTime back;
    ASSERT_TRUE(ParseDateTime(FormatDialogDate(v, L'2', L'.'), FormatDialogTime(v), L'2', L'.', back));
    ExpectDate(back, 2005, 1, 31, 13, 5);
}

// Wine gives every file the archive bit, so the bare read-only value is checked here.
TEST(ProtectedFileQuestion, ShowsTheNameInUpperCaseAndTheAttributeValue)
{
    EXPECT_EQ(ProtectedFileQuestion(L"ro.txt", 0x01), L"RO.TXT (attributes: 0001) ");
    EXPECT_EQ(ProtectedFileQuestion(L"ra.txt", 0x21), L"RA.TXT (attributes: 0021) ");
    EXPECT_EQ(ProtectedFileQuestion(L"s\u00e9.sys", 0x2024), L"S\u00c9.SYS (attributes: 2024) ");
}
