// The content test on real files: terms, word choices, case folding and the block boundaries.
#include "support/TestEnv.h"
#include "tools/search/ContentSearch.h"
#include <gtest/gtest.h>
#include <cctype>
#include <random>

using namespace search;

namespace {
std::string Ansi(const std::wstring& text)
{
    int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, s.data(), n, nullptr, nullptr);
    s.pop_back();
    return s;
}

class Content : public testing::Test {
protected:
    bool Holds(const std::string& content, const std::wstring& text, bool ignoreCase = true, bool allWords = true)
    {
        std::wstring file = tmp / (L"f" + std::to_wstring(++files) + L".bin");
        EXPECT_TRUE(test::MakeFile(file, content));
        ContentOptions options;
        options.ignoreCase = ignoreCase;
        options.allWords = allWords;
        return FileContains(file, text, options) == ContentResult::Match;
    }
    test::TempDir tmp;
    int files = 0;
};

// The plain shift-and over the whole data, byte by byte: what the skipping matcher must agree with.
bool ShiftAnd(const std::string& term, const std::string& data, bool ignoreCase)
{
    uint16_t table[256] = {};
    for (size_t k = 0; k < term.size(); ++k) {
        unsigned char b = static_cast<unsigned char>(term[k]);
        table[b] |= static_cast<uint16_t>(0x8000u >> k);
        if (ignoreCase && std::isalpha(b)) table[b ^ 0x20] |= static_cast<uint16_t>(0x8000u >> k);
    }
    uint16_t accept = static_cast<uint16_t>(0x8000u >> (term.size() - 1)), state = 0;
    for (unsigned char b : data) {
        state = static_cast<uint16_t>(((state >> 1) | 0x8000u) & table[b]);
        if (state & accept) return true;
    }
    return false;
}
} // namespace

TEST(SearchText, TermsAreSplitQuotedAndCut)
{
    EXPECT_EQ(SplitSearchText(L"  alpha   beta"), (std::vector<std::wstring>{L"alpha", L"beta"}));
    EXPECT_EQ(SplitSearchText(L" \"two words\" more"), (std::vector<std::wstring>{L"two words"}));
    EXPECT_EQ(SplitSearchText(L"\"open ended"), (std::vector<std::wstring>{L"open ended"}));
    EXPECT_EQ(SplitSearchText(L"\"0123456789abcdefXYZ\""), (std::vector<std::wstring>{L"0123456789abcdef"}));
    // A blank at the end and an empty quote give an empty term.
    EXPECT_EQ(SplitSearchText(L"alpha "), (std::vector<std::wstring>{L"alpha", L""}));
    EXPECT_EQ(SplitSearchText(L"\"\""), (std::vector<std::wstring>{L""}));
    EXPECT_TRUE(SplitSearchText(L"   ").empty());
    EXPECT_TRUE(TermPatterns(L"").empty());
}

TEST_F(Content, TermsWordChoicesAndCase)
{
    // Only the first 16 characters of a long quoted term count.
    EXPECT_TRUE(Holds("xx 0123456789abcdef yy", L"\"0123456789abcdefMORE\""));
    EXPECT_TRUE(Holds("second then first", L"first second"));
    EXPECT_FALSE(Holds("only second here", L"first second"));
    // The other choice: any one word is enough.
    EXPECT_TRUE(Holds("only second here", L"first second", true, false));
    EXPECT_FALSE(Holds("neither here", L"first second", true, false));
    EXPECT_TRUE(Holds("MiXeD CaSe", L"mixed case"));
    EXPECT_FALSE(Holds("MiXeD CaSe", L"\"mixed case\"", false));
    EXPECT_TRUE(Holds("MiXeD CaSe", L"\"MiXeD CaSe\"", false));
    // Accented letters match only themselves, in the code page and in UTF-8.
    EXPECT_TRUE(Holds(Ansi(L"caf\u00e9"), L"CAF\u00e9"));
    EXPECT_FALSE(Holds(Ansi(L"caf\u00c9"), L"caf\u00e9"));
    EXPECT_TRUE(Holds("caf\xc3\xa9 au lait", L"caf\u00e9"));
    // A character outside the code page never matches a "?" in the file.
    EXPECT_FALSE(Holds("a ? b", L"\u4e2d"));
    EXPECT_TRUE(Holds("x \xe4\xb8\xad y", L"\u4e2d"));
}

TEST_F(Content, EmptyTermsMatchNothing)
{
    EXPECT_FALSE(Holds("alpha beta", L"alpha "));
    EXPECT_FALSE(Holds("anything \"\"", L"\"\""));
    EXPECT_FALSE(Holds("alpha", L"   "));
    // With any word, the empty term does not spoil the others.
    EXPECT_TRUE(Holds("alpha beta", L"alpha ", true, false));
}

TEST_F(Content, BlockBoundariesShortFilesAndTheEnd)
{
    const std::string term = "needle-in-hay";
    for (size_t boundary : {size_t{16384}, ContentBlockSize, 2 * ContentBlockSize}) {
        for (size_t before : {size_t{1}, size_t{6}, term.size() - 1}) {
            std::string data(boundary - before, 'h');
            data += term;
            data += std::string(100, 'h');
            EXPECT_TRUE(Holds(data, L"Needle-In-Hay")) << boundary << " " << before;
        }
        std::string atEnd(boundary - 3, 'h');
        atEnd += term;
        EXPECT_TRUE(Holds(atEnd, L"needle-in-hay")) << boundary;
        // Almost the term on both sides of the boundary.
        std::string almost(boundary - 6, 'h');
        almost += "needle-in-ha";
        almost += std::string(50, 'x');
        EXPECT_FALSE(Holds(almost, L"needle-in-hay")) << boundary;
    }
    EXPECT_FALSE(Holds("needle", L"needle-in-hay"));
    EXPECT_FALSE(Holds("", L"x"));
    EXPECT_TRUE(Holds("needle-in-hay", L"needle-in-hay"));
}

TEST_F(Content, LockedAndUnopenableFilesAndSharedReads)
{
    std::wstring file = tmp / L"locked.txt";
    ASSERT_TRUE(test::MakeFile(file, "the secret word"));
    ContentOptions options;
    // Another program writing the file with sharing allowed: still read.
    HANDLE writer = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FileContains(file, L"secret", options), ContentResult::Match);
    ::CloseHandle(writer);
    // Locked: opened by another program without sharing.
    HANDLE exclusive = ::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_EQ(FileContains(file, L"secret", options), ContentResult::NoMatch);
    ::CloseHandle(exclusive);
    EXPECT_EQ(FileContains(tmp / L"missing.txt", L"secret", options), ContentResult::NoMatch);
}

TEST_F(Content, CancelStopsBeforeTheNextBlock)
{
    std::wstring file = tmp / L"big.txt";
    ASSERT_TRUE(test::MakeFile(file, std::string(3 * ContentBlockSize, 'a') + "end"));
    int blocks = 0;
    ContentOptions options;
    options.beforeBlock = [&] { return ++blocks < 3; };
    EXPECT_EQ(FileContains(file, L"end", options), ContentResult::Cancelled);
    EXPECT_EQ(blocks, 3);
}

TEST(TermMatcher, AgreesWithPlainShiftAnd)
{
    std::mt19937 random(7);
    const std::string alphabet = "abAB \n";
    for (int round = 0; round < 3000; ++round) {
        std::string term, data;
        size_t termLength = 1 + random() % 16, dataLength = random() % 80;
        for (size_t i = 0; i < termLength; ++i) term += alphabet[random() % 4];
        for (size_t i = 0; i < dataLength; ++i) data += alphabet[random() % alphabet.size()];
        if (random() % 3 == 0 && dataLength >= termLength) data.replace(random() % (dataLength - termLength + 1), termLength, term);
        for (bool ignoreCase : {false, true}) {
            CTermMatcher matcher(term, ignoreCase);
            EXPECT_EQ(matcher.Find(reinterpret_cast<const unsigned char*>(data.data()), data.size()),
                      ShiftAnd(term, data, ignoreCase))
                << term << " in " << data << " case " << ignoreCase;
        }
    }
}
