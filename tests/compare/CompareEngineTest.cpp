// The file comparison without a window: linking, sections, the result layout, the two lists,
// their texts and the block navigation.
#include "tools/compare/CompareEngine.h"
#include "tools/compare/CompareText.h"
#include <gtest/gtest.h>
#include <random>

using cmp::CFileComparison;
using cmp::CompareItem;
using cmp::CompareOptions;

namespace {
// Each row as its mark and its line without the line end; a filler is the mark alone.
std::vector<std::string> Render(const std::vector<CompareItem>& items)
{
    std::vector<std::string> rows;
    for (const CompareItem& item : items) {
        std::string row(1, item.same ? '0' : '1');
        if (item.line) row.append(item.line->text, item.line->content);
        rows.push_back(row);
    }
    return rows;
}

struct Outcome {
    std::vector<std::string> left, right;
    std::vector<int> states;
};

Outcome Compare(const std::string& a, const std::string& b, CompareOptions options = {})
{
    CFileComparison comparison(options);
    comparison.SetText(0, a);
    comparison.SetText(1, b);
    comparison.Run();
    Outcome out{Render(comparison.Items(0)), Render(comparison.Items(1)), {}};
    for (const cmp::CCompareSection& s : comparison.Result()) out.states.push_back(s.state);
    EXPECT_EQ(out.left.size(), out.right.size());
    return out;
}

using Rows = std::vector<std::string>;
}

TEST(CompareEngine, EqualFilesAreOneBlackBlock)
{
    Outcome o = Compare("one\ntwo\nthree\n", "one\ntwo\nthree\n");
    EXPECT_EQ(o.states, std::vector<int>{cmp::StateSame});
    EXPECT_EQ(o.left, (Rows{"0one", "0two", "0three"}));
    EXPECT_EQ(o.right, o.left);
    Outcome empty = Compare("", "");
    EXPECT_TRUE(empty.left.empty());
}

TEST(CompareEngine, ALineMovedFromTopToBottomIsRedOnBothSides)
{
    Outcome o = Compare("m\n1\n2\n3\n4\n", "1\n2\n3\n4\nm\n");
    EXPECT_EQ(o.states, (std::vector<int>{cmp::StateMovedLeft, cmp::StateSame, cmp::StateMovedRight}));
    EXPECT_EQ(o.left, (Rows{"1m", "01", "02", "03", "04", "1"}));
    EXPECT_EQ(o.right, (Rows{"1", "01", "02", "03", "04", "1m"}));
}

TEST(CompareEngine, ChangedInsertedAndDeletedLines)
{
    Outcome o = Compare("a\nb\nold\nc\nd\ngone\ne\n", "a\nb\nnew\nc\nd\ne\nadded\n");
    EXPECT_EQ(o.left, (Rows{"0a", "0b", "1old", "1", "0c", "0d", "1gone", "0e", "1"}));
    EXPECT_EQ(o.right, (Rows{"0a", "0b", "1", "1new", "0c", "0d", "1", "0e", "1added"}));
}

TEST(CompareEngine, TheOptionsDecideWhatIsEqual)
{
    CompareOptions blanks;
    blanks.ignoreBlanks = true;
    CompareOptions anyCase;
    anyCase.ignoreCase = true;
    EXPECT_EQ(Compare("a b\nx\n", "ab\nx\n").left, (Rows{"1a b", "1", "0x"}));
    // Equal blocks show the right file's lines on both sides.
    EXPECT_EQ(Compare("a b\nx\n", "a\t\tb \nx\n", blanks).left, (Rows{"0a\t\tb ", "0x"}));
    EXPECT_EQ(Compare("Hello\n", "hELLO\n").left, (Rows{"1Hello", "1"}));
    EXPECT_EQ(Compare("Hello\n", "hELLO\n", anyCase).left, (Rows{"0hELLO"}));
    // A code page's own capitals when a table is given.
    uint8_t upper[256];
    for (int i = 0; i < 256; ++i) upper[i] = static_cast<uint8_t>(i >= 'a' && i <= 'z' ? i - 32 : i);
    upper[0xE9] = 0xC9;
    anyCase.upper = upper;
    EXPECT_EQ(Compare("caf\xE9\n", "CAF\xC9\n", anyCase).left, (Rows{"0CAF\xC9"}));
}

TEST(CompareEngine, IgnoringBlanksInsertedBlankLinesDoNotBreakABlock)
{
    CompareOptions blanks;
    blanks.ignoreBlanks = true;
    Outcome o = Compare("1\n2\n3\n4\n", "1\n2\n\n  \n3\n4\n", blanks);
    EXPECT_EQ(o.states, std::vector<int>{cmp::StateSame});
    EXPECT_EQ(o.left, (Rows{"01", "02", "0", "0  ", "03", "04"}));
    // Without the option they are lines of the right file only.
    Outcome strict = Compare("1\n2\n3\n4\n", "1\n2\n\n  \n3\n4\n");
    EXPECT_EQ(strict.right, (Rows{"01", "02", "1", "1  ", "03", "04"}));
    EXPECT_EQ(strict.left, (Rows{"01", "02", "1", "1", "03", "04"}));
}

TEST(CompareEngine, AFirstLineThatDiffersIsWhereTheWindowOpens)
{
    Outcome o = Compare("x\n1\n2\n", "y\n1\n2\n");
    EXPECT_EQ(o.left, (Rows{"1x", "1", "01", "02"}));
    EXPECT_EQ(o.right, (Rows{"1", "1y", "01", "02"}));
    CFileComparison comparison({});
    comparison.SetText(0, "x\n1\n2\n");
    comparison.SetText(1, "y\n1\n2\n");
    comparison.Run();
    EXPECT_EQ(cmp::FirstDifference(comparison.Items(0)), 0);
    // Stepping to the next difference from there would pass it by.
    EXPECT_TRUE(cmp::NextBlock(comparison.Items(0), 0, false).outside);
    CFileComparison same({});
    same.SetText(0, "s\n");
    same.SetText(1, "s\n");
    same.Run();
    EXPECT_EQ(cmp::FirstDifference(same.Items(0)), -1);
}

TEST(CompareEngine, AnUnreadableFileLeavesTheOtherOneSided)
{
    Outcome o = Compare("", "a\nb\n");
    EXPECT_EQ(o.states, std::vector<int>{cmp::StateRightOnly});
    EXPECT_EQ(o.left, (Rows{"1", "1"}));
    EXPECT_EQ(o.right, (Rows{"1a", "1b"}));
}

TEST(CompareEngine, LinesWithTheSameHashAreComparedByTheirText)
{
    // Two different lines whose 32-bit hashes are equal.
    const std::string first = "HrYDRhQ57T", second = "usIRzcWNHN";
    CompareOptions plain;
    ASSERT_EQ(cmp::LineHash(first.data(), 10, plain), cmp::LineHash(second.data(), 10, plain));
    Outcome o = Compare("same\n" + first + "\nsame too\n", "same\n" + second + "\nsame too\n");
    EXPECT_EQ(o.left, (Rows{"0same", "1" + first, "1", "0same too"}));
    EXPECT_EQ(o.right, (Rows{"0same", "1", "1" + second, "0same too"}));
}

TEST(CompareEngine, LongLinesNulBytesAndLineEnds)
{
    std::string longLine(2000, 'x');
    std::string changed = longLine;
    changed[1500] = 'y';
    Outcome o = Compare(longLine + "\nend\n", changed + "\nend\n");
    ASSERT_EQ(o.left.size(), 3u); // a line is one row, however long
    EXPECT_EQ(o.left[0], "1" + longLine);
    EXPECT_EQ(o.left[2], "0end");
    EXPECT_EQ(Compare(longLine + "\n", longLine + "\n").states, std::vector<int>{cmp::StateSame});
    // Bytes after a NUL count.
    EXPECT_EQ(Compare(std::string("a\0b\n", 4), std::string("a\0c\n", 4)).states.size(), 2u);
    // CR LF, LF and a missing last line end look alike in the lists, and are equal.
    EXPECT_EQ(Compare("a\r\nb\r\nc", "a\nb\nc\n").states, std::vector<int>{cmp::StateSame});
}

TEST(CompareEngine, ListsSpellBothFilesInOrderAndEqualRowsFaceEqualLines)
{
    std::mt19937 random(20240611);
    const char* words[] = {"alpha", "beta", "gamma", "delta", "x", "", "  ", "beta "};
    for (int round = 0; round < 300; ++round) {
        std::string a, b;
        std::vector<std::string> linesA, linesB;
        int n = static_cast<int>(random() % 25);
        for (int i = 0; i < n; ++i) linesA.push_back(words[random() % 8] + std::to_string(random() % 6));
        linesB = linesA;
        for (int edit = static_cast<int>(random() % 6); edit > 0; --edit) {
            auto at = linesB.begin() + static_cast<std::ptrdiff_t>(linesB.empty() ? 0 : random() % linesB.size());
            switch (random() % 3) {
            case 0: linesB.insert(at, "new" + std::to_string(random() % 3)); break;
            case 1: if (!linesB.empty()) linesB.erase(at); break;
            case 2: if (!linesB.empty()) std::rotate(linesB.begin(), at, linesB.end()); break;
            }
        }
        for (const std::string& l : linesA) a += l + "\n";
        for (const std::string& l : linesB) b += l + "\n";
        Outcome o = Compare(a, b);
        std::vector<std::string> spelledA, spelledB;
        for (size_t i = 0; i < o.left.size(); ++i) {
            if (o.left[i][0] == '0') {
                EXPECT_EQ(o.left[i], o.right[i]) << a << "--\n" << b;
            }
            if (o.left[i].size() > 1 || (o.left[i] == "0")) spelledA.push_back(o.left[i].substr(1));
            if (o.right[i].size() > 1 || (o.right[i] == "0")) spelledB.push_back(o.right[i].substr(1));
        }
        // Empty lines are filler-like rows; compare the files without them.
        auto nonEmpty = [](std::vector<std::string> v) {
            v.erase(std::remove(v.begin(), v.end(), std::string()), v.end());
            return v;
        };
        EXPECT_EQ(nonEmpty(spelledA), nonEmpty(linesA)) << a << "--\n" << b;
        EXPECT_EQ(nonEmpty(spelledB), nonEmpty(linesB)) << a << "--\n" << b;
    }
}

TEST(CompareText, RowsExpandTabsAndStopAtTheirLimit)
{
    CFileComparison comparison({});
    comparison.SetText(0, "\tx\r\nab\tc\nabcd\te\n" + std::string(1500, 'z') + "\n\x01\n");
    comparison.SetText(1, "");
    comparison.Run();
    const std::vector<CompareItem>& items = comparison.Items(0);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(cmp::ItemMark(items[0]), L'1');
    EXPECT_EQ(cmp::ItemText(items[0], 4, false), L"    x");
    EXPECT_EQ(cmp::ItemText(items[1], 4, false), L"ab  c");
    EXPECT_EQ(cmp::ItemText(items[2], 4, false), L"abcd    e");
    EXPECT_EQ(cmp::ItemText(items[1], 8, false), L"ab      c");
    EXPECT_EQ(cmp::ItemText(items[3], 4, false), std::wstring(cmp::ItemTextLimit, L'z'));
    EXPECT_EQ(cmp::ItemText(items[4], 4, false), L" ");
    EXPECT_EQ(cmp::ItemText(comparison.Items(1)[0], 4, false), L""); // a filler
    EXPECT_EQ(cmp::ItemMark(comparison.Items(1)[0]), L'1');
    CFileComparison utf8({});
    utf8.SetText(0, "caf\xC3\xA9\n");
    utf8.SetText(1, "caf\xC3\xA9\n");
    utf8.Run();
    EXPECT_EQ(cmp::ItemText(utf8.Items(0)[0], 4, true), L"caf\x00E9");
    EXPECT_EQ(cmp::ItemMark(utf8.Items(0)[0]), L'0');
}

TEST(CompareNavigation, BlocksOfDifferencesAndOfEqualLines)
{
    // 0 0 1 1 0 0 1 0 (1: a difference)
    std::vector<CompareItem> items;
    for (int same : {1, 1, 0, 0, 1, 1, 0, 1}) items.push_back({nullptr, same == 1});
    auto next = [&](int top, bool equal) { return cmp::NextBlock(items, top, equal); };
    auto previous = [&](int top, bool equal) { return cmp::PreviousBlock(items, top, equal); };
    EXPECT_EQ(next(0, false).top, 2);
    EXPECT_EQ(next(2, false).top, 6);
    EXPECT_TRUE(next(6, false).outside);
    EXPECT_EQ(next(6, false).top, 7);
    EXPECT_EQ(previous(6, false).top, 2);
    EXPECT_FALSE(previous(6, false).outside);
    EXPECT_TRUE(previous(2, false).outside);
    EXPECT_EQ(previous(2, false).top, 0);
    EXPECT_EQ(next(0, true).top, 4);
    EXPECT_EQ(next(4, true).top, 7);
    EXPECT_TRUE(next(7, true).outside);
    EXPECT_EQ(previous(4, true).top, 0);
    EXPECT_FALSE(previous(4, true).outside);
    EXPECT_TRUE(previous(0, true).outside);
    EXPECT_TRUE(cmp::NextBlock({}, 0, false).outside);
}
