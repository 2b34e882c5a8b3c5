// The text window's plain parts: encodings, line ends, whole-file reads, the first find text and
// where the find dialog goes.
#include "support/TestEnv.h"
#include "tools/textedit/TextCodec.h"
#include "tools/textedit/TextFind.h"
#include <gtest/gtest.h>

using te::TextEncoding;

class TextCodec : public testing::Test {
protected:
    void SetUp() override { te::SetAnsiCodePage(1252); }
    void TearDown() override { te::SetAnsiCodePage(0); }
};

TEST_F(TextCodec, EveryEncodingComesBackByteForByte)
{
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        std::wstring text;
    };
    const Case cases[] = {
        {"plain\r\n", TextEncoding::Ansi, L"plain\r\n"},
        {"", TextEncoding::Ansi, L""},
        {"caf\xE9", TextEncoding::Ansi, L"caf\x00E9"},
        {"caf\xC3\xA9", TextEncoding::Utf8, L"caf\x00E9"},
        {"\xEF\xBB\xBFx", TextEncoding::Utf8Bom, L"x"},
        {"\xEF\xBB\xBF", TextEncoding::Utf8Bom, L""},
        {std::string("\xFF\xFEx\0", 4), TextEncoding::Utf16Le, L"x"},
        {std::string("\xFE\xFF\0x\x20\xAC", 6), TextEncoding::Utf16Be, L"x\x20AC"},
        {"\xF0\x9F\x98\x80", TextEncoding::Utf8, L"\xD83D\xDE00"},
        {std::string("a\0b", 3), TextEncoding::Ansi, std::wstring(L"a\0b", 3)},
    };
    for (const Case& c : cases) {
        te::DecodedText decoded = te::DecodeText(c.bytes);
        EXPECT_EQ(decoded.encoding, c.encoding) << c.bytes;
        EXPECT_EQ(decoded.text, c.text) << c.bytes;
        std::string back;
        EXPECT_TRUE(te::EncodeText(decoded.text, decoded.encoding, back)) << c.bytes;
        EXPECT_EQ(back, c.bytes);
    }
}

TEST_F(TextCodec, BrokenUtf8AndOddUtf16AreReadAsTheCodePage)
{
    // An overlong form, a lone continuation byte, a cut sequence, an encoded surrogate.
    for (const char* bytes : {"\xC0\xAF", "a\x80" "b", "abc\xE2\x82", "\xED\xA0\x80"}) {
        EXPECT_FALSE(te::IsValidUtf8(bytes, strlen(bytes))) << bytes;
        EXPECT_EQ(te::DecodeText(bytes).encoding, TextEncoding::Ansi) << bytes;
    }
    EXPECT_EQ(te::DecodeText(std::string("\xFF\xFE" "a", 3)).encoding, TextEncoding::Ansi);
    EXPECT_TRUE(te::IsValidUtf8("\xF4\x8F\xBF\xBF", 4));
    EXPECT_FALSE(te::IsValidUtf8("\xF4\x90\x80\x80", 4));
}

TEST_F(TextCodec, ACharacterTheCodePageLacksIsReported)
{
    std::string out;
    // Every byte of a single-byte code page comes back; a broken double-byte text does not.
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_TRUE(te::EncodeText(te::DecodeText(all).text, TextEncoding::Ansi, out));
    EXPECT_EQ(out, all);
    te::SetAnsiCodePage(932);
    te::DecodedText broken = te::DecodeText("abc\x81");
    EXPECT_FALSE(te::EncodeText(broken.text, broken.encoding, out) && out == "abc\x81");
    te::SetAnsiCodePage(1252);
    EXPECT_FALSE(te::EncodeText(L"\x4E2D", TextEncoding::Ansi, out));
    EXPECT_TRUE(te::EncodeText(L"\x4E2D", TextEncoding::Utf8, out));
    EXPECT_EQ(out, "\xE4\xB8\xAD");
}

TEST_F(TextCodec, LineEndsAreFoundAndTypedOnesFollowTheFile)
{
    using te::LineEnds;
    EXPECT_EQ(te::DetectLineEnds(L"a\r\nb\r\n"), LineEnds::CrLf);
    EXPECT_EQ(te::DetectLineEnds(L"a\nb"), LineEnds::Lf);
    EXPECT_EQ(te::DetectLineEnds(L"a\rb\r"), LineEnds::Cr);
    EXPECT_EQ(te::DetectLineEnds(L"a\r\nb\n"), LineEnds::Mixed);
    EXPECT_EQ(te::DetectLineEnds(L"single"), LineEnds::CrLf);
    EXPECT_EQ(te::ToFileLineEnds(L"a\nb\r\nc\r\n", LineEnds::Lf), L"a\nb\nc\n");
    EXPECT_EQ(te::ToFileLineEnds(L"a\rb\r\n", LineEnds::Cr), L"a\rb\r");
    EXPECT_EQ(te::ToFileLineEnds(L"a\nb\r\n", LineEnds::Mixed), L"a\nb\r\n");
    EXPECT_EQ(te::ToFileLineEnds(L"a\r", LineEnds::Lf), L"a\r");
}

TEST_F(TextCodec, WholeReadsReportWhatStoppedThem)
{
    test::TempDir tmp;
    std::wstring path = tmp / L"data.txt";
    ASSERT_TRUE(test::MakeFile(path, std::string(5000, 'd')));
    std::string bytes;
    bool opened = false;
    EXPECT_EQ(te::ReadFileBytes(path, bytes, &opened), 0u);
    EXPECT_TRUE(opened);
    EXPECT_EQ(bytes.size(), 5000u);
    te::SetReadFailureAfter(1234);
    EXPECT_NE(te::ReadFileBytes(path, bytes, &opened), 0u);
    te::SetReadFailureAfter(-1);
    EXPECT_TRUE(opened);
    EXPECT_EQ(bytes, std::string(1234, 'd'));
    EXPECT_EQ(te::ReadFileBytes(tmp / L"missing.txt", bytes, &opened), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(opened);
    EXPECT_TRUE(bytes.empty());
}

TEST(TextFind, TheStoredSearchSeedsTheFindText)
{
    // A quoted text of 20 characters, a blank among them: the first 16.
    EXPECT_EQ(te::SeedFindText(L"   \"abcdefgh jklmnopqrst\" more"), L"abcdefgh jklmnop");
    EXPECT_EQ(te::SeedFindText(L"\"short\""), L"short");
    EXPECT_EQ(te::SeedFindText(L"\"unclosed text"), L"unclosed text");
    EXPECT_EQ(te::SeedFindText(L"two words"), L"two");
    EXPECT_EQ(te::SeedFindText(L"  lead"), L"lead");
    EXPECT_EQ(te::SeedFindText(L""), L"");
    EXPECT_EQ(te::SeedFindText(L"   "), L"");
    // A 300-character word fits the dialog's buffer only in part.
    std::wstring seeded = te::SeedFindText(std::wstring(300, L'w'));
    EXPECT_EQ(seeded, std::wstring(te::FindTextLimit, L'w'));
}

TEST(TextFind, TheFindDialogMovesOffTheMatch)
{
    te::Box dialog = {100, 300, 400, 450};
    // Not covered: it stays.
    te::Point same = te::FindDialogCorner(dialog, {50, 320}, 1000);
    EXPECT_EQ(same.x, 100);
    EXPECT_EQ(same.y, 300);
    // Room above: its bottom 20 pixels above the match.
    te::Point up = te::FindDialogCorner(dialog, {150, 320}, 1000);
    EXPECT_EQ(up.y, 320 - 20 - 150);
    EXPECT_EQ(up.x, 100);
    // No room above: its top 40 pixels below.
    te::Box high = {100, 0, 400, 200};
    te::Point down = te::FindDialogCorner(high, {150, 120}, 1000);
    EXPECT_EQ(down.y, 160);
    // No room anywhere: it stays.
    te::Point stays = te::FindDialogCorner(high, {150, 120}, 300);
    EXPECT_EQ(stays.y, 0);
}
