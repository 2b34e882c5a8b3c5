// The search's walk over real trees: order, masks, attributes, sizes, dates, links and long paths.
#include "fileops/FileSystem.h"
#include "support/TestEnv.h"
#include "tools/search/FileSearch.h"
#include "tools/search/SearchDates.h"
#include <gtest/gtest.h>
#include <cstdlib>
#include <functional>

using namespace search;

namespace {
std::vector<std::wstring> Paths(const std::vector<CFoundFile>& found)
{
    std::vector<std::wstring> paths;
    for (const CFoundFile& f : found) paths.push_back(f.path);
    return paths;
}

std::vector<std::wstring> Find(SearchCriteria criteria, bool* completed = nullptr)
{
    std::vector<CFoundFile> found;
    bool done = FindFiles(criteria, nullptr, found);
    if (completed) *completed = done;
    return Paths(found);
}

void SetWriteTime(const std::wstring& path, uint64_t time)
{
    HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FILETIME ft = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    EXPECT_TRUE(::SetFileTime(h, nullptr, nullptr, &ft));
    ::CloseHandle(h);
}

uint64_t LocalTime(int year, int month, int day, int hour, int minute)
{
    SYSTEMTIME local = {static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day),
                        static_cast<WORD>(hour), static_cast<WORD>(minute), 0, 0};
    SYSTEMTIME utc;
    FILETIME ft;
    ::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    ::SystemTimeToFileTime(&utc, &ft);
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

// The files below directory in the order a recursive walk that follows the system's listing finds them.
void ListRecursively(const std::wstring& directory, std::vector<std::wstring>& out)
{
    std::vector<std::wstring> subdirectories;
    WIN32_FIND_DATAW data;
    HANDLE h = ::FindFirstFileW((directory + L"\\*").c_str(), &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) subdirectories.push_back(directory + L"\\" + name);
        else out.push_back(directory + L"\\" + name);
    } while (::FindNextFileW(h, &data));
    ::FindClose(h);
    for (const std::wstring& sub : subdirectories) ListRecursively(sub, out);
}
} // namespace

TEST(SearchMask, NamesAgainstMasks)
{
    EXPECT_TRUE(MatchesMask(L"Report.TXT", L"*.txt"));
    EXPECT_FALSE(MatchesMask(L"report.txtx", L"*.txt"));
    EXPECT_TRUE(MatchesMask(L"README", L"*.*"));
    EXPECT_TRUE(MatchesMask(L"README", L"read*.*"));
    EXPECT_FALSE(MatchesMask(L"README", L"*.txt"));
    EXPECT_TRUE(MatchesMask(L"a.c", L"*.h; *.c"));
    EXPECT_TRUE(MatchesMask(L"ab1.c", L"a?1.*"));
    EXPECT_FALSE(MatchesMask(L"ab12.c", L"a?1.*"));
    EXPECT_TRUE(MatchesMask(L"\u00c4rger.txt", L"\u00e4*"));
}

TEST(SearchDate, MidnightsYearsAndBadDates)
{
    uint64_t t = 0;
    ASSERT_TRUE(ParseSearchDate(L"05-03-2024", L'1', L'-', t));
    EXPECT_EQ(t, LocalTime(2024, 3, 5, 0, 0));
    ASSERT_TRUE(ParseSearchDate(L"2024/03/05", L'2', L'/', t));
    EXPECT_EQ(t, LocalTime(2024, 3, 5, 0, 0));
    ASSERT_TRUE(ParseSearchDate(L"03.05.24", L'0', L'.', t));
    EXPECT_EQ(t, LocalTime(2024, 3, 5, 0, 0));
    // Two-digit years: up to 80 in this century, the rest in the last.
    ASSERT_TRUE(ParseSearchDate(L"01-01-80", L'1', L'-', t));
    EXPECT_EQ(t, LocalTime(2080, 1, 1, 0, 0));
    ASSERT_TRUE(ParseSearchDate(L"01-01-81", L'1', L'-', t));
    EXPECT_EQ(t, LocalTime(1981, 1, 1, 0, 0));
    // A summer day and a winter day each by their own rules.
    ASSERT_TRUE(ParseSearchDate(L"15-07-2023", L'1', L'-', t));
    EXPECT_EQ(t, LocalTime(2023, 7, 15, 0, 0));
    for (const wchar_t* bad : {L"31-02-2023", L"", L"1-2", L"aa-bb-cccc", L"32-01-2020", L"01-13-2020", L"1-2-3-4"})
        EXPECT_FALSE(ParseSearchDate(bad, L'1', L'-', t)) << bad;
    EXPECT_EQ(DefaultDateText(1980, 1, 1, L'1', L'.'), L"01.01.1980");
    EXPECT_EQ(DefaultDateText(2030, 12, 31, L'0', L'/'), L"12/31/2030");
    EXPECT_EQ(DefaultDateText(2030, 12, 31, L'2', L'-'), L"2030-12-31");
}

class Walk : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::MakeDir(tmp / L"a"));
        ASSERT_TRUE(test::MakeDir(tmp / L"a\\deep"));
        ASSERT_TRUE(test::MakeDir(tmp / L"b"));
        for (const wchar_t* f : {L"one.txt", L"two.log", L"a\\three.txt", L"a\\deep\\four.txt", L"b\\five.txt",
                                 L"b\\six.dat"})
            ASSERT_TRUE(test::MakeFile(tmp / f, "x"));
        criteria.directory = tmp.Path();
    }
    test::TempDir tmp;
    SearchCriteria criteria;
};

TEST_F(Walk, FilesBeforeSubdirectoriesDepthFirstInTheSystemsOrder)
{
    std::vector<std::wstring> expected;
    ListRecursively(tmp.Path(), expected);
    std::wstring cwd = CurrentDirectory();
    EXPECT_EQ(Find(criteria), expected);
    EXPECT_EQ(CurrentDirectory(), cwd);
    criteria.subdirectories = false;
    EXPECT_EQ(Find(criteria).size(), 2u);
    // A root with a trailing backslash gives the same paths.
    criteria.subdirectories = true;
    criteria.directory = tmp.Path() + L"\\";
    EXPECT_EQ(Find(criteria), expected);
}

TEST_F(Walk, MaskHiddenAndSystem)
{
    criteria.mask = L"*.TXT";
    EXPECT_EQ(Find(criteria).size(), 4u);
    criteria.mask = L"*.log;*.dat";
    EXPECT_EQ(Find(criteria), (std::vector<std::wstring>{tmp / L"two.log", tmp / L"b\\six.dat"}));
    ASSERT_TRUE(test::MakeFile(tmp / L"hidden.log", "h", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(test::MakeFile(tmp / L"system.log", "s", FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(Find(criteria).size(), 2u);
    criteria.showHidden = true;
    EXPECT_EQ(Find(criteria).size(), 3u);
    criteria.showSystem = true;
    EXPECT_EQ(Find(criteria).size(), 4u);
}

TEST_F(Walk, SizeBoundsAreInclusiveAndSixtyFourBit)
{
    const uint64_t big = 5000000000ull;
    ASSERT_TRUE(test::MakeSparseFile(tmp / L"big.bin", big));
    criteria.mask = L"*.bin";
    criteria.sizeRange = true;
    criteria.minSize = big;
    criteria.maxSize = big;
    std::vector<CFoundFile> found;
    ASSERT_TRUE(FindFiles(criteria, nullptr, found));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].size, big);
    criteria.minSize = big + 1;
    criteria.maxSize = ~uint64_t{0};
    EXPECT_TRUE(Find(criteria).empty());
    criteria.minSize = 0;
    criteria.maxSize = big - 1;
    EXPECT_TRUE(Find(criteria).empty()); // 5,000,000,000 is 705,032,704 in its low half
    criteria.mask = L"*.*";
    criteria.minSize = criteria.maxSize = 1;
    EXPECT_EQ(Find(criteria).size(), 6u);
}

TEST_F(Walk, DateRangeFromMidnightToMidnight)
{
    uint64_t first = 0, last = 0;
    ASSERT_TRUE(ParseSearchDate(L"10-03-2024", L'1', L'-', first));
    ASSERT_TRUE(ParseSearchDate(L"12-03-2024", L'1', L'-', last));
    SetWriteTime(tmp / L"one.txt", LocalTime(2024, 3, 10, 0, 0));   // the first midnight: in
    SetWriteTime(tmp / L"two.log", LocalTime(2024, 3, 12, 0, 0));   // the last midnight: in
    SetWriteTime(tmp / L"a\\three.txt", LocalTime(2024, 3, 12, 9, 30)); // later that last day: out
    SetWriteTime(tmp / L"b\\five.txt", LocalTime(2024, 3, 9, 23, 59));  // the evening before: out
    criteria.dateRange = true;
    criteria.firstTime = first;
    criteria.lastTime = last;
    EXPECT_EQ(Find(criteria), (std::vector<std::wstring>{tmp / L"one.txt", tmp / L"two.log"}));
}

TEST_F(Walk, ContentAndCancel)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"a\\deep\\needle.txt", "hay NEEDLE hay"));
    criteria.text = L"needle";
    EXPECT_EQ(Find(criteria), (std::vector<std::wstring>{tmp / L"a\\deep\\needle.txt"}));
    criteria.text.clear();
    std::vector<CFoundFile> found;
    int calls = 0;
    EXPECT_FALSE(FindFiles(criteria, [&](const std::wstring&) { return ++calls < 4; }, found));
    EXPECT_EQ(calls, 4);
    EXPECT_LT(found.size(), 6u);
}

TEST_F(Walk, ALinkToAnAncestorIsNotEntered)
{
    const char* fixture = std::getenv("PD_LINK_FIXTURE");
    ASSERT_NE(fixture, nullptr) << "run through scripts/test.sh, which makes the link fixture";
    // search/T/sub/up leads back to search/T.
    criteria.directory = test::Widen(fixture) + L"\\search\\T";
    bool completed = false;
    std::vector<std::wstring> found = Find(criteria, &completed);
    EXPECT_TRUE(completed);
    EXPECT_EQ(found, (std::vector<std::wstring>{criteria.directory + L"\\top.txt", criteria.directory + L"\\sub\\low.txt"}));
}

TEST_F(Walk, PathsLongerThan260)
{
    std::wstring deep = tmp.Path();
    for (int i = 0; i < 6; ++i) {
        deep += L"\\" + std::wstring(50, static_cast<wchar_t>(L'k' + i));
        ASSERT_TRUE(::CreateDirectoryW(LongPath(deep).c_str(), nullptr));
    }
    std::wstring file = deep + L"\\far away.txt";
    ASSERT_GT(file.size(), 300u);
    HANDLE h = ::CreateFileW(LongPath(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, "distant needle", 14, &written, nullptr);
    ::CloseHandle(h);
    criteria.text = L"needle";
    EXPECT_EQ(Find(criteria), (std::vector<std::wstring>{file}));
    std::wstring cwd = CurrentDirectory();
    criteria.directory = deep;
    criteria.text.clear();
    EXPECT_EQ(Find(criteria), (std::vector<std::wstring>{file}));
    EXPECT_EQ(CurrentDirectory(), cwd);
    for (int i = 6; i > 0; --i) {
        ::DeleteFileW(LongPath(file).c_str());
        ::RemoveDirectoryW(LongPath(deep).c_str());
        deep = deep.substr(0, deep.find_last_of(L'\\'));
    }
}
