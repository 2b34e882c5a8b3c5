// Listing lines of every server family, and the calendar the parser keeps.
#include "ftp/ListingParser.h"
#include <gtest/gtest.h>
#include <string>

namespace {

// 2026-12-08 10:00 UTC, fixed so that year guesses are reproducible.
const int64_t Now = ListingDayNumber(2026, 11, 8) * 86400 + 10 * 3600;

struct Parsed {
    int recognised = 0;
    std::string name;
    ListingEntry e;
};

Parsed Parse(const std::string& line, int64_t now = Now)
{
    Parsed p;
    p.recognised = ParseListingLine(line.data(), line.size(), p.e, now);
    if (p.recognised) p.name.assign(p.e.name, p.e.nameLength);
    return p;
}

int64_t At(int64_t year, int month, int day, int hours = 0, int minutes = 0)
{
    return ListingDayNumber(year, month, day) * 86400 + hours * 3600 + minutes * 60;
}
}

TEST(ListingCalendar, DayNumbersAndYearGuess)
{
    EXPECT_EQ(ListingDayNumber(1970, 0, 1), 0);
    EXPECT_EQ(ListingDayNumber(2000, 2, 1), 11017); // past a leap day of a century year
    EXPECT_EQ(ListingDayNumber(2004, 0, 5), 12422);
    // 3 March lies 280 days before the fixed now: this year.
    EXPECT_EQ(ListingGuessYearTime(2, 3, Now), At(2026, 2, 3));
    // Last year's 20 December lies 353 days back, too far: this year's, 12 days ahead, is taken.
    EXPECT_EQ(ListingGuessYearTime(11, 20, Now), At(2026, 11, 20));
    // Early in a year, December is last year's.
    int64_t january = At(2027, 0, 10, 12);
    EXPECT_EQ(ListingGuessYearTime(11, 20, january), At(2026, 11, 20));
    EXPECT_EQ(ListingGuessYearTime(0, 9, january), At(2027, 0, 9));
}

TEST(ListingUnix, FormsOfTheLongListing)
{
    Parsed dir = Parse("drwxr-xr-x   2 owner    group        4096 Mar  3 09:45 docs");
    ASSERT_EQ(dir.recognised, 1);
    EXPECT_EQ(dir.name, "docs");
    EXPECT_TRUE(dir.e.mayBeDirectory);
    EXPECT_FALSE(dir.e.mayBeFile);
    EXPECT_EQ(dir.e.size, 4096);
    EXPECT_EQ(dir.e.timeKind, 2);
    EXPECT_EQ(dir.e.time, At(2026, 2, 3, 9, 45));

    Parsed old = Parse("-rw-r--r--   1 owner    group         123 Jan  5  2004 old file.txt");
    ASSERT_EQ(old.recognised, 1);
    EXPECT_EQ(old.name, "old file.txt");
    EXPECT_TRUE(old.e.mayBeFile);
    EXPECT_EQ(old.e.size, 123);
    EXPECT_EQ(old.e.timeKind, 3);
    EXPECT_EQ(old.e.time, At(2004, 0, 5));

    // No group: the size comes straight after the owner.
    Parsed groupless = Parse("-rw-r--r--   1 owner          77 JAN 15 2020 a");
    ASSERT_EQ(groupless.recognised, 1);
    EXPECT_EQ(groupless.e.size, 77);
    EXPECT_EQ(groupless.name, "a");

    // "folder" in place of a link count (some servers).
    Parsed folder = Parse("drwxrwxrwx   folder        0 Feb 29 2004 Stuff");
    ASSERT_EQ(folder.recognised, 1);
    EXPECT_EQ(folder.name, "Stuff");
    EXPECT_EQ(folder.e.time, At(2004, 1, 29));

    Parsed link = Parse("lrwxrwxrwx   1 owner    group          11 Dec  1 08:00 link -> target/dir");
    ASSERT_EQ(link.recognised, 1);
    EXPECT_EQ(link.name, "link");
    EXPECT_TRUE(link.e.mayBeDirectory);
    EXPECT_TRUE(link.e.mayBeFile);

    // H:MM as well as HH:MM.
    Parsed shortTime = Parse("-rw-r--r--   1 o g 5 Jun 30 9:05 early");
    ASSERT_EQ(shortTime.recognised, 1);
    EXPECT_EQ(shortTime.e.time, At(2026, 5, 30, 9, 5));

    // Names keep their inner and trailing blanks and UTF-8 bytes.
    Parsed utf8 = Parse("-rw-r--r--   1 o g 5 Jun 30 2021 na\xc3\xafve  name ");
    EXPECT_EQ(utf8.name, "na\xc3\xafve  name ");
}

TEST(ListingUnix, SizesOverFourGigabytesAndLongLines)
{
    Parsed big = Parse("-rw-r--r--   1 o g 6442450944 Jan  5  2024 big.iso");
    ASSERT_EQ(big.recognised, 1);
    EXPECT_EQ(big.e.size, 6442450944LL);

    std::string longName(1000 - 45, 'n');
    std::string line = "-rw-r--r--   1 o g 1 Jan  5  2024 " + longName;
    Parsed longLine = Parse(line);
    ASSERT_EQ(longLine.recognised, 1);
    EXPECT_EQ(longLine.name, longName);
}

TEST(ListingUnix, LinesThatAreNoEntries)
{
    EXPECT_EQ(Parse("total 12").recognised, 0);
    EXPECT_EQ(Parse("").recognised, 0);
    EXPECT_EQ(Parse("d").recognised, 0);
    // The field after the day is neither a time nor a year.
    EXPECT_EQ(Parse("-rw-r--r--   1 o g 5 Jan 5 12 name").recognised, 0);
    // Ends before the name.
    EXPECT_EQ(Parse("-rw-r--r--   1 o g 5 Jan 5").recognised, 0);
    EXPECT_EQ(Parse("-rw-r--r--").recognised, 0);
}

TEST(ListingEplf, FactsAndName)
{
    // The identifier points into the line, which must outlive it.
    const std::string line = "+i8388621.48594,m825718503,r,s280,\tdjb.html";
    Parsed file = Parse(line);
    ASSERT_EQ(file.recognised, 1);
    EXPECT_EQ(file.name, "djb.html");
    EXPECT_TRUE(file.e.mayBeFile);
    EXPECT_EQ(file.e.size, 280);
    EXPECT_EQ(file.e.timeKind, 1);
    EXPECT_EQ(file.e.time, 825718503);
    EXPECT_EQ(std::string(file.e.id, file.e.idLength), "8388621.48594");

    Parsed dir = Parse("+i8388621.50690,m824255907,/,\t514");
    ASSERT_EQ(dir.recognised, 1);
    EXPECT_TRUE(dir.e.mayBeDirectory);
    EXPECT_EQ(dir.name, "514");
    EXPECT_EQ(Parse("+r,s280,no tab").recognised, 0);
}

TEST(ListingVms, FilesDirectoriesAndBlocks)
{
    Parsed file = Parse("README.TXT;3         2   5-JAN-2004 09:45:12  [GROUP,OWNER]    (RWED,RWED,RE,)");
    ASSERT_EQ(file.recognised, 1);
    EXPECT_EQ(file.name, "README.TXT;3");
    EXPECT_TRUE(file.e.mayBeFile);
    EXPECT_EQ(file.e.size, 1024);
    EXPECT_EQ(file.e.timeKind, 2);
    EXPECT_EQ(file.e.time, At(2004, 0, 5, 9, 45));

    Parsed dir = Parse("SUBDIR.DIR;1        1/3  12-Mar-1999 18:01  [SYSTEM]  (RWE,RWE,RE,RE)");
    ASSERT_EQ(dir.recognised, 1);
    EXPECT_EQ(dir.name, "SUBDIR.DIR;1");
    EXPECT_TRUE(dir.e.mayBeDirectory);
    EXPECT_FALSE(dir.e.mayBeFile);
    EXPECT_EQ(dir.e.size, 512);

    // Cut before the date is complete.
    EXPECT_EQ(Parse("README.TXT;3   2  5-JAN").recognised, 0);
}

TEST(ListingDos, DatesHoursAndMarkers)
{
    Parsed dir = Parse("01-05-04  09:45PM       <DIR>          Sub");
    ASSERT_EQ(dir.recognised, 1);
    EXPECT_EQ(dir.name, "Sub");
    EXPECT_TRUE(dir.e.mayBeDirectory);
    EXPECT_EQ(dir.e.time, At(2004, 0, 5, 21, 45));

    Parsed file = Parse("12-31-99  12:10AM             1234567 report 1.doc");
    ASSERT_EQ(file.recognised, 1);
    EXPECT_EQ(file.name, "report 1.doc");
    EXPECT_TRUE(file.e.mayBeFile);
    EXPECT_EQ(file.e.size, 1234567);
    EXPECT_EQ(file.e.time, At(1999, 11, 31, 0, 10));

    EXPECT_EQ(Parse("01-01-49  12:00PM  1 a").e.time, At(2049, 0, 1, 12, 0));
    EXPECT_EQ(Parse("01-01-50  01:00AM  1 a").e.time, At(1950, 0, 1, 1, 0));
    EXPECT_EQ(Parse("01-01-2010  01:00AM  7000000000 big").e.size, 7000000000LL);
    EXPECT_EQ(Parse("01-05-04  09:45PM       <DIR>").recognised, 0);
    EXPECT_EQ(Parse("01-05-04").recognised, 0);
}

TEST(ListingHostile, HugeNumbersNeitherOverflowNorGiveImpossibleTimes)
{
    // VMS block counts are multiplied by 512: a count near the 64-bit limit saturates.
    Parsed vms = Parse("F.TXT;1 88888888888888888888/9 1-JAN-2020 10:00 [A,B] (RWED)");
    ASSERT_EQ(vms.recognised, 1);
    EXPECT_EQ(vms.e.size, INT64_MAX);
    // A year far beyond any calendar: recognised, but with no time.
    Parsed dos = Parse("12-31-99999999999999999999 11:59PM <DIR> x");
    ASSERT_EQ(dos.recognised, 1);
    EXPECT_EQ(dos.name, "x");
    EXPECT_EQ(dos.e.timeKind, 0);
    // Sizes are not date fields: only the 64-bit limit holds them.
    EXPECT_EQ(Parse("01-01-2010  01:00AM  99999999999999999999 big").e.size, 999999999999999999);
    // A day number past its month counts on from it, capped at five digits.
    Parsed unix = Parse("-rw-r--r-- 1 o g 5 Mar 99999999999999999999 2020 f");
    ASSERT_EQ(unix.recognised, 1);
    EXPECT_EQ(unix.e.time, ListingDayNumber(2020, 2, 99999) * 86400);
    Parsed eplf = Parse("+m9223372036854775807,r,\tf");
    ASSERT_EQ(eplf.recognised, 1);
    EXPECT_EQ(eplf.name, "f");
    EXPECT_EQ(eplf.e.timeKind, 0);
    // The last second of year 9999 is still a time.
    Parsed last = Parse("+m253402300799,r,\tg");
    EXPECT_EQ(last.e.timeKind, 1);
    EXPECT_EQ(last.e.time, 253402300799);
}
