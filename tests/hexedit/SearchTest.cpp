// The skipping search in both directions, the hexadecimal search field and the number fields.
#include "tools/hexedit/HexSearch.h"
#include "tools/hexedit/NumberField.h"
#include <gtest/gtest.h>
#include <cstring>
#include <random>

using hex::CPatternSearch;
using hex::Offset;

namespace {
std::vector<uint8_t> V(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
const uint8_t* D(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }
Offset N(const std::string& s) { return static_cast<Offset>(s.size()); }

// Every start position tried in order: what the skipping search must agree with.
bool MatchesAt(const std::vector<uint8_t>& data, const std::vector<uint8_t>& p, size_t i, bool matchCase)
{
    auto f = [&](uint8_t c) { return !matchCase && c >= 'A' && c <= 'Z' ? c + 32 : c; };
    for (size_t k = 0; k < p.size(); ++k)
        if (f(data[i + k]) != f(p[k])) return false;
    return true;
}
Offset NaiveForward(const std::vector<uint8_t>& data, const std::vector<uint8_t>& p, size_t from, bool matchCase)
{
    for (size_t i = from; i + p.size() <= data.size(); ++i)
        if (MatchesAt(data, p, i, matchCase)) return static_cast<Offset>(i);
    return -1;
}
Offset NaiveBackward(const std::vector<uint8_t>& data, const std::vector<uint8_t>& p, size_t end, bool matchCase)
{
    for (size_t i = end + 1; i-- > 0;)
        if (i + p.size() <= end && MatchesAt(data, p, i, matchCase)) return static_cast<Offset>(i);
    return -1;
}
}

TEST(Search, FindsForwardsFromAndBackwardsUpToAPosition)
{
    std::string data = "abcXYZabcXYZabc";
    CPatternSearch s(V("abc"), true);
    EXPECT_EQ(s.Forward(D(data), N(data), 0), 0);
    EXPECT_EQ(s.Forward(D(data), N(data), 1), 6);
    EXPECT_EQ(s.Forward(D(data), N(data), 12), 12);
    EXPECT_EQ(s.Forward(D(data), N(data), 13), -1);
    EXPECT_EQ(s.Backward(D(data), N(data), 15), 12);
    EXPECT_EQ(s.Backward(D(data), N(data), 14), 6); // the cursor inside the last match: not that one
    EXPECT_EQ(s.Backward(D(data), N(data), 9), 6);
    EXPECT_EQ(s.Backward(D(data), N(data), 2), -1);
    EXPECT_EQ(s.Forward(D(data), 2, 0), -1); // shorter than the pattern
}

TEST(Search, WithoutMatchCaseOnlyAToZFold)
{
    std::string data = "xx[HeLLo]\xC9t\xE9{";
    CPatternSearch s(V("hello"), false);
    EXPECT_EQ(s.Forward(D(data), N(data), 0), 3);
    EXPECT_EQ(s.Backward(D(data), N(data), N(data)), 3);
    EXPECT_EQ(CPatternSearch(V("HELLO"), true).Forward(D(data), N(data), 0), -1);
    EXPECT_EQ(CPatternSearch(V("{"), false).Forward(D(data), N(data), 0), 12); // '[' is not '{'
    EXPECT_EQ(CPatternSearch(V("\xE9t"), false).Forward(D(data), N(data), 0), -1); // no folding of accents
    EXPECT_EQ(CPatternSearch(V("\xC9t"), false).Forward(D(data), N(data), 0), 9);
}

TEST(Search, AgreesWithTryingEveryPositionOnRandomData)
{
    std::mt19937 random(7);
    std::vector<uint8_t> data(4000);
    for (auto& b : data) b = "aAbB\x00\xff"[random() % 6];
    for (int round = 0; round < 200; ++round) {
        std::vector<uint8_t> pattern(1 + random() % 6);
        for (auto& b : pattern) b = "aAbB\x00\xff"[random() % 6];
        bool matchCase = round % 2;
        CPatternSearch s(pattern, matchCase);
        size_t at = random() % data.size();
        Offset size = static_cast<Offset>(data.size());
        ASSERT_EQ(s.Forward(data.data(), size, static_cast<Offset>(at)), NaiveForward(data, pattern, at, matchCase));
        ASSERT_EQ(s.Backward(data.data(), size, static_cast<Offset>(at)), NaiveBackward(data, pattern, at, matchCase));
    }
}

TEST(Search, HexFieldKeepsZeroBytesAndEveryByteAsTyped)
{
    EXPECT_EQ(hex::ParseHexBytes("5C5C"), (std::vector<uint8_t>{0x5C, 0x5C}));
    EXPECT_EQ(hex::ParseHexBytes("41 00 42"), (std::vector<uint8_t>{0x41, 0x00, 0x42}));
    EXPECT_EQ(hex::ParseHexBytes("3c62683a66663e"), V("<bh:ff>"));
    EXPECT_EQ(hex::ParseHexBytes("fF0"), (std::vector<uint8_t>{0xFF})); // the single digit is dropped
    EXPECT_EQ(hex::HexBytesText({0x41, 0x00, 0xab}), "4100AB");
    // 5C 5C finds two backslashes, not one; 41 00 42 finds all three bytes.
    std::string data("a\\b\\\\cA\0BA\0B", 12);
    EXPECT_EQ(CPatternSearch(hex::ParseHexBytes("5C5C"), true).Forward(D(data), N(data), 0), 3);
    EXPECT_EQ(CPatternSearch(hex::ParseHexBytes("410042"), true).Forward(D(data), N(data), 0), 6);
    EXPECT_EQ(CPatternSearch(hex::ParseHexBytes("410042"), true).Forward(D(data), N(data), 7), 9);
}

namespace {
class MemoryFile : public hex::IFileAccess {
public:
    explicit MemoryFile(const std::vector<uint8_t>& bytes) : bytes(bytes) {}
    bool ReadAt(Offset offset, uint8_t* out, size_t n) override
    {
        std::memcpy(out, bytes.data() + offset, n);
        return true;
    }
    bool WriteAt(Offset, const uint8_t*, size_t) override { return false; }
    const std::vector<uint8_t>& bytes;
};
}

TEST(Search, PagedDocumentsFindMatchesAcrossBlockBorders)
{
    const size_t size = 9 << 20;
    std::vector<uint8_t> bytes(size, 'x');
    hex::CHexDocument paged, whole;
    paged.OpenPaged(std::make_unique<MemoryFile>(bytes), static_cast<Offset>(size));
    // Matches straddling the 4 MiB blocks of the search and the 64 KiB pages, and at both ends.
    std::vector<Offset> places = {0, (4 << 20) - 3, (8 << 20) - 1, hex::CPagedFile::PageSize * 5 - 2, Offset(size) - 6};
    for (Offset p : places) std::memcpy(bytes.data() + p, "needle", 6);
    CPatternSearch s(V("NEEDLE"), false);
    std::sort(places.begin(), places.end());
    Offset at = 0;
    for (Offset p : places) {
        ASSERT_EQ(hex::FindInDocument(paged, s, false, at), p);
        at = p + 1;
    }
    EXPECT_EQ(hex::FindInDocument(paged, s, false, at), -1);
    Offset end = static_cast<Offset>(size);
    for (auto it = places.rbegin(); it != places.rend(); ++it) {
        ASSERT_EQ(hex::FindInDocument(paged, s, true, end), *it);
        end = *it + 5;
    }
    EXPECT_EQ(hex::FindInDocument(paged, s, true, end), -1);
}

TEST(NumberField, WholeFieldsInRangeOnly)
{
    Offset v = 0;
    EXPECT_TRUE(hex::ParseNumber(L"12", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(hex::ParseNumber(L" x1F ", v));
    EXPECT_EQ(v, 31);
    EXPECT_TRUE(hex::ParseNumber(L"-5", v));
    EXPECT_EQ(v, -5);
    EXPECT_TRUE(hex::ParseNumber(L"x7fffffffffffffff", v));
    EXPECT_EQ(v, INT64_MAX);
    v = 99;
    for (const wchar_t* bad : {L"", L"12abc", L"x", L"xg", L"1 2", L"99999999999999999999", L"x8000000000000000",
                               L"--1", L"+5", L"1.5"}) {
        EXPECT_FALSE(hex::ParseNumber(bad, v)) << bad;
        EXPECT_EQ(v, 99);
    }
}

TEST(NumberField, GoToTargetsAbsoluteAndRelative)
{
    Offset t = -1;
    EXPECT_TRUE(hex::ParseGoToTarget(L"x10", 0, 100, t));
    EXPECT_EQ(t, 16);
    EXPECT_TRUE(hex::ParseGoToTarget(L"-x10", 40, 100, t));
    EXPECT_EQ(t, 24);
    EXPECT_TRUE(hex::ParseGoToTarget(L"+20", 40, 100, t));
    EXPECT_EQ(t, 60);
    EXPECT_TRUE(hex::ParseGoToTarget(L"100", 0, 100, t));
    EXPECT_EQ(t, 100);
    t = 7;
    EXPECT_FALSE(hex::ParseGoToTarget(L"101", 0, 100, t)); // one past the last byte
    EXPECT_FALSE(hex::ParseGoToTarget(L"-41", 40, 100, t));
    EXPECT_FALSE(hex::ParseGoToTarget(L"+x7fffffffffffffff", 40, 100, t));
    EXPECT_FALSE(hex::ParseGoToTarget(L"0", 0, -1, t)); // nothing to go to in an empty file
    EXPECT_FALSE(hex::ParseGoToTarget(L"12abc", 0, 100, t));
    EXPECT_EQ(t, 7);
}
