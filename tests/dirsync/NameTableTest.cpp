// The name tables of the directory compare: one order for sort and merge, names by case, times by minute.
#include "frame/MainWindow.h"
#include "tools/dircompare/NameTable.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <random>

namespace {
constexpr uint64_t Minute = 600000000ULL;
constexpr uint64_t Base = Minute * 221666666ULL; // some time in 2022, on a whole minute

std::vector<SideEntry> Table(const std::vector<std::pair<std::wstring, uint64_t>>& items)
{
    std::vector<SideEntry> t;
    for (const auto& [name, time] : items) t.push_back(MakeSideEntry(name, time, FILE_ATTRIBUTE_ARCHIVE));
    SortTable(t);
    return t;
}

std::vector<std::wstring> Names(const std::vector<SideEntry>& t, const std::vector<int>& indices)
{
    std::vector<std::wstring> out;
    for (int i : indices) out.push_back(t[static_cast<size_t>(i)].name);
    std::sort(out.begin(), out.end());
    return out;
}
}

TEST(NameTable, SameFilesEqualToTheMinuteMarkNothing)
{
    auto l = Table({{L"a.txt", Base}, {L"b.txt", Base + 10}, {L"c", Base + 5 * Minute}});
    auto r = Table({{L"c", Base + 5 * Minute + 59 * 10000000ULL}, {L"a.txt", Base}, {L"b.txt", Base + 30 * 10000000ULL}});
    std::vector<int> ml, mr;
    FindNewerFiles(l, r, ml, mr);
    EXPECT_TRUE(ml.empty());
    EXPECT_TRUE(mr.empty());
}

TEST(NameTable, MissingAndNewerFilesAreMarkedOnTheSideThatHasThem)
{
    auto l = Table({{L"only-left.txt", Base}, {L"newer-left.txt", Base + 2 * Minute}, {L"older-left.txt", Base}});
    auto r = Table({{L"only-right.txt", Base}, {L"newer-left.txt", Base}, {L"older-left.txt", Base + Minute}});
    std::vector<int> ml, mr;
    FindNewerFiles(l, r, ml, mr);
    EXPECT_EQ(Names(l, ml), (std::vector<std::wstring>{L"newer-left.txt", L"only-left.txt"}));
    EXPECT_EQ(Names(r, mr), (std::vector<std::wstring>{L"older-left.txt", L"only-right.txt"}));
}

TEST(NameTable, CaseNeverDecidesOnlyTheTimeDoes)
{
    // The old whole-string comparison took "Report.txt" < "report.txt" for an older file.
    for (bool upperNewer : {true, false}) {
        auto l = Table({{L"Report.txt", upperNewer ? Base + Minute : Base}});
        auto r = Table({{L"report.txt", upperNewer ? Base : Base + Minute}});
        std::vector<int> ml, mr;
        FindNewerFiles(l, r, ml, mr);
        EXPECT_EQ(ml.size(), upperNewer ? 1u : 0u);
        EXPECT_EQ(mr.size(), upperNewer ? 0u : 1u);
    }
    auto same_l = Table({{L"\u00c4.txt", Base}});
    auto same_r = Table({{L"\u00e4.TXT", Base}});
    std::vector<int> ml, mr;
    FindNewerFiles(same_l, same_r, ml, mr);
    EXPECT_TRUE(ml.empty() && mr.empty());
}

TEST(NameTable, PunctuationNamesMergeInStepWithOneOrder)
{
    // A locale collation sorts "a-b" next to "ab"; a merge in another order would find them missing.
    std::vector<std::wstring> names = {L"a-b.txt", L"ab.txt", L"a_b.txt", L"\u00c4.txt", L"a.b.c", L"a", L"ab",
                                       L"A.txt", L"b-.txt", L".hidden", L"z\u65e5.txt", L"ab."};
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::vector<std::pair<std::wstring, uint64_t>> li, ri;
        for (const auto& n : names) li.push_back({n, Base});
        for (const auto& n : names) ri.push_back({n, Base});
        std::shuffle(li.begin(), li.end(), random);
        std::shuffle(ri.begin(), ri.end(), random);
        auto l = Table(li), r = Table(ri);
        auto pairs = MergeTables(l, r);
        ASSERT_EQ(pairs.size(), names.size());
        for (const NamePair& p : pairs) {
            ASSERT_GE(p.left, 0);
            ASSERT_GE(p.right, 0);
            EXPECT_EQ(l[static_cast<size_t>(p.left)].name, r[static_cast<size_t>(p.right)].name);
        }
    }
}

TEST(NameTable, NamesDifferingOnlyInCaseOnOneSideAreTwins)
{
    auto l = Table({{L"Report.txt", Base}, {L"report.txt", Base + Minute}, {L"x", Base}});
    auto r = Table({{L"REPORT.TXT", Base + 5 * Minute}, {L"x", Base}});
    auto pairs = MergeTables(l, r);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_TRUE(pairs[0].Twins());
    EXPECT_EQ(pairs[0].leftCount, 2);
    EXPECT_EQ(pairs[0].rightCount, 1);
    EXPECT_FALSE(pairs[1].Twins());
    std::vector<int> ml, mr;
    FindNewerFiles(l, r, ml, mr);
    EXPECT_TRUE(ml.empty() && mr.empty());
}

TEST(NameTable, TheNamePartBeforeTheFirstDotSortsFirst)
{
    auto t = Table({{L"ab.txt", Base}, {L"a.zzz", Base}, {L"a.b.c", Base}, {L"ab", Base}, {L"AB.a", Base}});
    std::vector<std::wstring> order;
    for (const auto& e : t) order.push_back(e.name);
    EXPECT_EQ(order, (std::vector<std::wstring>{L"a.b.c", L"a.zzz", L"ab", L"AB.a", L"ab.txt"}));
}

TEST(NameTable, DirectoriesTakeNoPartInTheCompare)
{
    std::vector<SideEntry> l = {MakeSideEntry(L"sub", Base + Minute, FILE_ATTRIBUTE_DIRECTORY)};
    std::vector<SideEntry> r;
    std::vector<int> ml, mr;
    FindNewerFiles(l, r, ml, mr);
    EXPECT_TRUE(ml.empty());
}

TEST(NameTable, TimesCountInWholeMinutesOfUniversalTime)
{
    EXPECT_EQ(CompareTimes(Base, Base + Minute - 1), Newer::Same);
    EXPECT_EQ(CompareTimes(Base + Minute, Base + Minute - 1), Newer::Left);
    EXPECT_EQ(CompareTimes(Base - 1, Base), Newer::Right);
}

TEST(RefreshPacing, EachChangeMovesTheDeadlineButNotPastOneSecond)
{
    // A change alone: 300 ms.
    EXPECT_EQ(CMainWindow::WatchedRefreshDelay(5000, 5000, false, 0, 0), 300u);
    // 800 ms into a stream: only 200 ms are left to the cap.
    EXPECT_EQ(CMainWindow::WatchedRefreshDelay(5800, 5000, false, 0, 0), 200u);
    // Past the cap: at once.
    EXPECT_EQ(CMainWindow::WatchedRefreshDelay(6200, 5000, false, 0, 0), 0u);
    // A re-read that took 700 ms keeps the next one 700 ms away from its end.
    EXPECT_EQ(CMainWindow::WatchedRefreshDelay(6000, 6000, true, 5900, 700), 600u);
    // Across the wrap of the tick counter.
    EXPECT_EQ(CMainWindow::WatchedRefreshDelay(100, 0xFFFFFF00u, false, 0, 0), 300u);
}
