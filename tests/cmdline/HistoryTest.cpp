// Recording command lines: de-duplication, the ten places and the stored keys.
#include "frame/CommandHistory.h"
#include "common/Settings.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {
CommandHistory Of(std::initializer_list<const wchar_t*> lines)
{
    CommandHistory h;
    int i = 0;
    for (const wchar_t* l : lines) h[i++] = l;
    return h;
}
}

TEST(CommandHistoryTest, TheSameLineTwiceStaysOnceAtTheTop)
{
    CommandHistory h = InsertCommandLine({}, L"dir");
    h = InsertCommandLine(h, L"dir");
    EXPECT_EQ(h, Of({L"dir"}));
    h = InsertCommandLine(Of({L"a", L"b", L"dir", L"c"}), L"dir");
    EXPECT_EQ(h, Of({L"dir", L"a", L"b", L"c"}));
}

TEST(CommandHistoryTest, TheComparisonHeedsCase)
{
    EXPECT_EQ(InsertCommandLine(Of({L"DIR"}), L"dir"), Of({L"dir", L"DIR"}));
}

TEST(CommandHistoryTest, ElevenLinesKeepTheLastTen)
{
    CommandHistory h;
    for (int i = 1; i <= 11; ++i) h = InsertCommandLine(h, L"line " + std::to_wstring(i));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(h[i], L"line " + std::to_wstring(11 - i));
    // A line equal to the tenth goes to the top and is not kept twice.
    h = InsertCommandLine(h, L"line 2");
    EXPECT_EQ(h[0], L"line 2");
    EXPECT_EQ(h[9], L"line 3");
    EXPECT_EQ(std::count(h.begin(), h.end(), L"line 2"), 1);
}

TEST(CommandHistoryTest, StoredKeysAreCommando1To10)
{
    test::ResetStore();
    WriteCommandHistory(Of({L"first", L"second"}));
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Commando1", L"?"), L"first");
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Commando2", L"?"), L"second");
    // Empty places are written as empty strings.
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Commando10", L"?"), L"");
    EXPECT_EQ(ReadCommandHistory(), Of({L"first", L"second"}));
    test::ResetStore();
}
