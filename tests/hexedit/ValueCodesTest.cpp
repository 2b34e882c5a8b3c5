// Value codes, escapes and the clipboard form of bytes.
#include "tools/hexedit/ValueCodes.h"
#include <gtest/gtest.h>

using hex::ClipboardForm;
using hex::DecodeValueCodes;

namespace {
std::vector<uint8_t> B(std::initializer_list<int> values)
{
    std::vector<uint8_t> v;
    for (int x : values) v.push_back(static_cast<uint8_t>(x));
    return v;
}
std::vector<uint8_t> Text(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
}

TEST(ValueCodes, IntegersAreStoredLowByteFirstInTheirWidth)
{
    EXPECT_EQ(DecodeValueCodes("<wd:258>"), B({0x02, 0x01}));
    EXPECT_EQ(DecodeValueCodes("<bh:ff>"), B({0xFF}));
    EXPECT_EQ(DecodeValueCodes("<ld:-1>"), B({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(DecodeValueCodes("<bd:300>"), B({0x2C}));
    EXPECT_EQ(DecodeValueCodes("<lh:12345678>"), B({0x78, 0x56, 0x34, 0x12}));
    EXPECT_EQ(DecodeValueCodes("<wh:0>"), B({0, 0}));
}

TEST(ValueCodes, FloatsAreSingleAndDoublePrecision)
{
    EXPECT_EQ(DecodeValueCodes("<fl:1.5>"), B({0x00, 0x00, 0xC0, 0x3F}));
    EXPECT_EQ(DecodeValueCodes("<do:-2.5e3>"), B({0, 0, 0, 0, 0, 0x88, 0xA3, 0xC0}));
    EXPECT_EQ(DecodeValueCodes("<fl:2E0>"), B({0, 0, 0, 0x40}));
}

TEST(ValueCodes, WhatIsNoCodeIsOrdinaryText)
{
    EXPECT_EQ(DecodeValueCodes("<bh:FF>"), Text("<bh:FF>")); // upper-case digits are no code
    EXPECT_EQ(DecodeValueCodes("<bh:ff"), Text("<bh:ff"));
    EXPECT_EQ(DecodeValueCodes("<"), Text("<"));
    EXPECT_EQ(DecodeValueCodes("a<b"), Text("a<b"));
    EXPECT_EQ(DecodeValueCodes("<bh:>"), Text("<bh:>"));
    EXPECT_EQ(DecodeValueCodes("<xh:10>"), Text("<xh:10>"));
    EXPECT_EQ(DecodeValueCodes("<fd:10>"), Text("<fd:10>")); // a float takes only format l
    EXPECT_EQ(DecodeValueCodes("<bd:1-2>"), Text("<bd:1-2>"));
    EXPECT_EQ(DecodeValueCodes("<ld:99999999999999999999>"), Text("<ld:99999999999999999999>"));
    // A failed code does not swallow a good one right behind it.
    EXPECT_EQ(DecodeValueCodes("<<bh:41>"), B({'<', 0x41}));
    EXPECT_EQ(DecodeValueCodes("x<bh:0a>y<wd:1>"), B({'x', 0x0A, 'y', 1, 0}));
}

TEST(ValueCodes, EscapesGiveTheirCharacterAndOtherBackslashesStay)
{
    EXPECT_EQ(DecodeValueCodes("\\<bh:ff>"), Text("<bh:ff>"));
    EXPECT_EQ(DecodeValueCodes("\\\\"), Text("\\"));
    EXPECT_EQ(DecodeValueCodes("\\n\\"), Text("\\n\\"));
    EXPECT_EQ(DecodeValueCodes("\\\\<bh:ff>"), B({'\\', 0xFF}));
}

TEST(ValueCodes, OemModeConvertsOrdinaryCharactersButNotCodes)
{
    hex::CodePageTable table{};
    for (int i = 0; i < 256; ++i) table[i] = static_cast<uint8_t>(i);
    table[0xE9] = 0x82; // e acute, ANSI 1252 to OEM 437
    table['<'] = '!';   // only to tell an ordinary '<' from an escaped one
    EXPECT_EQ(DecodeValueCodes("\xE9<bh:e9>", &table), B({0x82, 0xE9}));
    EXPECT_EQ(DecodeValueCodes("\\<", &table), B({'<'}));
    EXPECT_EQ(DecodeValueCodes("<", &table), B({'!'}));
}

TEST(ClipboardForm, EscapesAndCodesAsTheExampleShows)
{
    auto bytes = B({0x3C, 0x41, 0x00, 0x0D});
    EXPECT_EQ(ClipboardForm(bytes.data(), bytes.size()), "\\<A<bh:00>\r");
    EXPECT_EQ(DecodeValueCodes("\\<A<bh:00>\r"), bytes);
    auto more = B({'\\', '\n', 0x7F, 0xFF, ' ', '~'});
    EXPECT_EQ(ClipboardForm(more.data(), more.size()), "\\\\\n<bh:7f><bh:ff> ~");
}

TEST(ClipboardForm, EveryByteValueSurvivesTheRoundTripAndTheLengthIsExact)
{
    std::vector<uint8_t> all;
    for (int i = 0; i < 256; ++i) all.push_back(static_cast<uint8_t>(i));
    for (int i = 255; i >= 0; --i) all.push_back(static_cast<uint8_t>(i));
    std::string text = ClipboardForm(all.data(), all.size());
    EXPECT_EQ(hex::ClipboardFormLength(all.data(), all.size()), text.size());
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(DecodeValueCodes(text), all);
    // 2 per '<' or '\', 7 per byte outside 32-126 other than CR and LF, 1 for the rest.
    uint64_t expected = 2 * (2 + 2) + 7 * 2 * (256 - 95 - 2) + 1 * 2 * (95 - 2 + 2);
    EXPECT_EQ(text.size(), expected);
}
