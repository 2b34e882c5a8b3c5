// Page arithmetic of printed text, through a recording print target.
#include "fileops/PrintLayout.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {
struct Op {
    enum Kind { StartSheet, EndSheet, Text, Line } kind;
    int x = 0, y = 0, x2 = 0, y2 = 0;
    std::wstring text;
};

class CRecordingTarget : public IPrintTarget {
public:
    std::vector<Op> ops;
    bool StartSheet() override { ops.push_back({Op::StartSheet}); return true; }
    bool EndSheet() override { ops.push_back({Op::EndSheet}); return true; }
    void Text(int x, int y, const std::wstring& text) override { ops.push_back({Op::Text, x, y, 0, 0, text}); }
    void Line(int x1, int y1, int x2, int y2) override { ops.push_back({Op::Line, x1, y1, x2, y2}); }

    std::vector<std::wstring> Texts() const
    {
        std::vector<std::wstring> texts;
        for (const Op& op : ops)
            if (op.kind == Op::Text) texts.push_back(op.text);
        return texts;
    }
    int Count(Op::Kind kind) const
    {
        int n = 0;
        for (const Op& op : ops) n += op.kind == kind;
        return n;
    }
};

// 40 characters a line (400 / 8 - 7 ... see Metrics), line height 10.
PageMetrics Metrics(int lines = 20, int width = 376)
{
    PageMetrics m;
    m.charWidth = 8;
    m.lineHeight = 10;
    m.pageWidth = width;
    m.pageHeight = lines * 10;
    return m;
}

struct Printed {
    CRecordingTarget target;
    std::vector<int> pages;
    bool finished = false;
};

void Print(Printed& out, const std::string& bytes, const PrintOptions& options, const PageMetrics& metrics,
           std::function<bool()> keepGoing = {}, const std::wstring& title = L"T")
{
    size_t at = 0;
    CTextLineReader reader(
        [&](char* buffer, size_t n) {
            size_t take = std::min(n, bytes.size() - at);
            std::copy(bytes.begin() + at, bytes.begin() + at + take, buffer);
            at += take;
            return take;
        },
        1252);
    CPageComposer composer(out.target, metrics, options.layout, title, L"Page ");
    composer.onNewPage = [&](int page) { out.pages.push_back(page); };
    out.finished = PrintLines(reader, composer, options, keepGoing);
}

// The printed lines that are not headers.
std::vector<std::wstring> Body(const Printed& p)
{
    std::vector<std::wstring> body;
    for (const std::wstring& t : p.target.Texts())
        if (t.find(L"Page ") == std::wstring::npos) body.push_back(t);
    return body;
}
}

TEST(PrintLayout, OptionsOutsideTheirRangeCountAsDefaults)
{
    PrintOptions o = MakePrintOptions(1, 1, 3, 7, 0, 1);
    EXPECT_TRUE(o.cut);
    EXPECT_TRUE(o.lineNumbers);
    EXPECT_EQ(o.layout, 0); // PerA4 3 is 1, bA4 7 is -1: derived from PerA4
    EXPECT_EQ(o.tabWidth, 4);
    EXPECT_EQ(MakePrintOptions(0, 0, 2, -1, -3, 0).layout, 2);
    EXPECT_FALSE(MakePrintOptions(0, 0, 2, -1, 8, 0).ansiCharSet);
    EXPECT_EQ(MakePrintOptions(0, 0, 2, 1, 8, 0).layout, 1);
    EXPECT_EQ(MakePrintOptions(0, 0, 1, -2, 8, 0).layout, 0);
    EXPECT_EQ(CharsPerLine(Metrics(), 0), 40);
    EXPECT_EQ(CharsPerLine(Metrics(20, 1000), 2), 55);
}

TEST(PrintLayout, TheLastLineWithoutALineFeedIsPrintedWhole)
{
    Printed p;
    Print(p, "first\r\nsecond line", PrintOptions(), Metrics());
    EXPECT_TRUE(p.finished);
    EXPECT_EQ(Body(p), (std::vector<std::wstring>{L"first", L"second line"}));
}

TEST(PrintLayout, NumberedWrappedLinesIndentTheirContinuations)
{
    PrintOptions o;
    o.lineNumbers = true;
    Printed p;
    // 36 characters a line after "001 ": 80 characters give three pieces.
    Print(p, std::string(80, 'a') + "\nb\n", o, Metrics());
    std::vector<std::wstring> body = Body(p);
    ASSERT_EQ(body.size(), 4u);
    EXPECT_EQ(body[0], L"001 " + std::wstring(36, L'a'));
    EXPECT_EQ(body[1], L"    " + std::wstring(36, L'a'));
    EXPECT_EQ(body[2], L"    " + std::wstring(8, L'a'));
    EXPECT_EQ(body[3], L"002 b");
}

TEST(PrintLayout, CuttingKeepsTheBeginningOnly)
{
    PrintOptions o;
    o.cut = true;
    Printed p;
    Print(p, std::string(50, 'x') + "\nshort\n", o, Metrics());
    EXPECT_EQ(Body(p), (std::vector<std::wstring>{std::wstring(40, L'x'), L"short"}));
}

TEST(PrintLayout, TabsReachTheNextMultipleOfTheTabWidthWithoutTheNumber)
{
    EXPECT_EQ(ExpandTabs(L"a\tb\t\tc", 4), L"a   b       c");
    EXPECT_EQ(ExpandTabs(L"\tx", 3), L"   x");
    PrintOptions o;
    o.lineNumbers = true;
    o.tabWidth = 8;
    Printed p;
    Print(p, "ab\tc\n", o, Metrics());
    EXPECT_EQ(Body(p), (std::vector<std::wstring>{L"001 ab      c"}));
}

TEST(PrintLayout, AFormFeedStartsANewPageAndIsNotPrinted)
{
    Printed p;
    Print(p, "one\n\ftwo\n\f\nthree\n", PrintOptions(), Metrics());
    EXPECT_EQ(p.pages, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Body(p), (std::vector<std::wstring>{L"one", L"two", L"three"}));
    EXPECT_EQ(p.target.Count(Op::StartSheet), 3);
    EXPECT_EQ(p.target.Count(Op::EndSheet), 3);
}

TEST(PrintLayout, AFullPageBreaksBeforeTheFooterRoom)
{
    // 20 lines of 10: the header takes 4 line heights; y may go up to 175 (200 - 25).
    Printed p;
    std::string text;
    for (int i = 0; i < 30; ++i) text += "l" + std::to_string(i) + "\n";
    Print(p, text, PrintOptions(), Metrics());
    ASSERT_EQ(p.pages, (std::vector<int>{1, 2, 3})); // 14, 14 and 2 lines
    int onFirst = 0;
    for (const Op& op : p.target.ops) {
        if (op.kind == Op::EndSheet) break;
        if (op.kind == Op::Text && op.text.find(L"Page") == std::wstring::npos) {
            ++onFirst;
            EXPECT_LE(op.y, 175);
        }
    }
    EXPECT_EQ(onFirst, 14); // y = 40, 50, ... 170
}

TEST(PrintLayout, TwoPagesASheetPairPagesOnTheLeftAndRightHalves)
{
    PrintOptions o;
    o.layout = 2;
    PageMetrics m = Metrics(20, 1000); // 55 characters a page
    Printed p;
    Print(p, "a\n\fb\n\fc\n\fd\n\fe\n", o, m);
    EXPECT_EQ(p.pages, (std::vector<int>{1, 2, 3, 4, 5}));
    // Sheet 1: pages 1 and 2; sheet 2: pages 3 and 4; sheet 3: page 5.
    std::vector<std::pair<int, std::wstring>> placed; // sheet, header
    int sheet = 0;
    std::vector<int> dividers;
    for (const Op& op : p.target.ops) {
        if (op.kind == Op::StartSheet) ++sheet;
        if (op.kind == Op::Text && op.text.find(L"Page ") != std::wstring::npos) {
            placed.push_back({sheet, op.text.substr(op.text.find(L"Page "))});
            EXPECT_EQ(op.x, placed.size() % 2 == 1 ? 5 * 8 : (55 + 12) * 8);
        }
        if (op.kind == Op::Line && op.x == op.x2) dividers.push_back(op.x);
    }
    ASSERT_EQ(placed.size(), 5u);
    EXPECT_EQ(placed[0], std::make_pair(1, std::wstring(L"Page 1")));
    EXPECT_EQ(placed[1], std::make_pair(1, std::wstring(L"Page 2")));
    EXPECT_EQ(placed[2], std::make_pair(2, std::wstring(L"Page 3")));
    EXPECT_EQ(placed[3], std::make_pair(2, std::wstring(L"Page 4")));
    EXPECT_EQ(placed[4], std::make_pair(3, std::wstring(L"Page 5")));
    EXPECT_EQ(dividers, (std::vector<int>{(55 + 7) * 8, (55 + 7) * 8}));
    EXPECT_EQ(p.target.Count(Op::StartSheet), 3);
}

TEST(PrintLayout, TheHeaderEndsAtTheLineWidthAndALongTitleMakesRoomForThePage)
{
    EXPECT_EQ(HeaderLine(L"Title", L"Page ", 3, 20), L"Title         Page 3");
    std::wstring longTitle(100, L'T');
    std::wstring header = HeaderLine(longTitle, L"Page ", 12, 40);
    EXPECT_EQ(header.size(), 40u);
    EXPECT_EQ(header.substr(header.size() - 7), L"Page 12");
    Printed p;
    Print(p, "x\n", PrintOptions(), Metrics(), {}, longTitle);
    ASSERT_FALSE(p.target.Texts().empty());
    EXPECT_EQ(p.target.Texts()[0], std::wstring(34, L'T') + L"Page 1");
    // The line under the header spans the line's width.
    const Op& under = p.target.ops[2];
    ASSERT_EQ(under.kind, Op::Line);
    EXPECT_EQ(under.x, 40);
    EXPECT_EQ(under.x2, 40 + 40 * 8);
    EXPECT_EQ(under.y, 25);
}

TEST(PrintLayout, CancellingStopsAfterTheCurrentLineAndEndsThePages)
{
    Printed p;
    int asked = 0;
    Print(p, "1\n2\n3\n4\n5\n", PrintOptions(), Metrics(), [&] { return ++asked <= 2; });
    EXPECT_EQ(Body(p), (std::vector<std::wstring>{L"1", L"2"}));
    EXPECT_EQ(p.target.Count(Op::StartSheet), p.target.Count(Op::EndSheet));
}

TEST(PrintLayout, AnEmptyFilePrintsOnePageWithItsHeader)
{
    Printed p;
    Print(p, "", PrintOptions(), Metrics());
    EXPECT_TRUE(p.finished);
    EXPECT_EQ(p.pages, (std::vector<int>{1}));
    EXPECT_EQ(p.target.Texts(), (std::vector<std::wstring>{L"T" + std::wstring(33, L' ') + L"Page 1"}));
    EXPECT_EQ(p.target.Count(Op::EndSheet), 1);
}

TEST(PrintLayout, LongLinesAreReadWholeAndKeepOneNumber)
{
    PrintOptions o;
    o.lineNumbers = true;
    o.cut = true;
    Printed p;
    // 300 characters, then a line longer than the reader's blocks.
    Print(p, std::string(300, 'q') + "\n" + std::string(40000, 'r') + "\nend", o, Metrics());
    EXPECT_EQ(Body(p), (std::vector<std::wstring>{L"001 " + std::wstring(36, L'q'), L"002 " + std::wstring(36, L'r'),
                                                  L"003 end"}));
}

TEST(PrintLayout, ATinyPageStillMovesOnOneCharacterAPiece)
{
    PrintOptions o;
    o.lineNumbers = true;
    Printed p;
    // Room for 1 character a line: "001 " is longer than the line.
    Print(p, "abc\n", o, Metrics(200, 8 * 8));
    EXPECT_TRUE(p.finished);
    EXPECT_EQ(Body(p), (std::vector<std::wstring>{L"001 a", L"    b", L"    c"}));
}

TEST(PrintLayout, TheReaderFollowsTheByteOrderMark)
{
    auto read = [](const std::string& bytes, bool force) {
        size_t at = 0;
        CTextLineReader reader(
            [&](char* buffer, size_t n) {
                size_t take = std::min<size_t>(std::min<size_t>(n, 3), bytes.size() - at); // tiny reads
                std::copy(bytes.begin() + at, bytes.begin() + at + take, buffer);
                at += take;
                return take;
            },
            1252, force);
        std::vector<std::wstring> lines;
        std::wstring line;
        while (reader.Next(line)) lines.push_back(line);
        return lines;
    };
    std::string utf16("\xFF\xFE\x92\x03\xAE\x03\r\0\n\0x\0", 12);
    EXPECT_EQ(read(utf16, false), (std::vector<std::wstring>{L"\u0392\u03AE", L"x"}));
    EXPECT_EQ(read(std::string("a\0\n\0\n\0b\0", 8), true), (std::vector<std::wstring>{L"a", L"", L"b"}));
    EXPECT_EQ(read("\xEF\xBB\xBF\xCE\x92\n\xD0\xB9", false), (std::vector<std::wstring>{L"\u0392", L"\u0439"}));
    EXPECT_EQ(read("caf\xE9\r\n", false), (std::vector<std::wstring>{L"caf\u00E9"}));
}
