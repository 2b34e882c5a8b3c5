// The tar reader over streams handed over in pieces: header forms, long names, damage and bounds.
#include "archive/ArchiveBytes.h"
#include "archive/Tar.h"
#include <gtest/gtest.h>
#include <cstdio>

using namespace test;

namespace {
struct Seen {
    arc::TarEntry entry;
    std::string data;
    bool complete = false;
};

class Recorder : public arc::ITarListener {
public:
    bool OnEntry(const arc::TarEntry& entry) override
    {
        seen.push_back(Seen{entry});
        return true;
    }
    bool OnData(const uint8_t* data, size_t size) override
    {
        seen.back().data.append(reinterpret_cast<const char*>(data), size);
        return true;
    }
    void OnEntryEnd(bool complete) override { seen.back().complete = complete; }
    void OnDamage(uint64_t offset, arc::TarProblem problem) override { damage.emplace_back(offset, problem); }
    std::vector<Seen> seen;
    std::vector<std::pair<uint64_t, arc::TarProblem>> damage;
};

Recorder Read(const std::string& archive, size_t piece = 8192, bool finish = true)
{
    Recorder r;
    arc::CTarStream tar(r);
    for (size_t at = 0; at < archive.size(); at += piece)
        tar.Feed(reinterpret_cast<const uint8_t*>(archive.data()) + at, std::min(piece, archive.size() - at));
    if (finish) tar.Finish();
    return r;
}
}

TEST(Tar, NumbersInOctalAndBase256)
{
    int64_t v = 0;
    EXPECT_TRUE(arc::ParseTarNumber(reinterpret_cast<const uint8_t*>("00000000644\0"), 12, v));
    EXPECT_EQ(v, 0644);
    EXPECT_TRUE(arc::ParseTarNumber(reinterpret_cast<const uint8_t*>("     17 "), 8, v));
    EXPECT_EQ(v, 15);
    EXPECT_TRUE(arc::ParseTarNumber(reinterpret_cast<const uint8_t*>("\0\0\0\0"), 4, v));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(arc::ParseTarNumber(reinterpret_cast<const uint8_t*>("0009"), 4, v));
    EXPECT_FALSE(arc::ParseTarNumber(reinterpret_cast<const uint8_t*>("12 3"), 4, v)); // digits after the end
    const uint8_t big[12] = {0x80, 0, 0, 0, 0, 0, 0, 0x02, 0, 0, 0, 0}; // 8 GiB
    EXPECT_TRUE(arc::ParseTarNumber(big, 12, v));
    EXPECT_EQ(v, int64_t(1) << 33);
    const uint8_t negative[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE};
    EXPECT_TRUE(arc::ParseTarNumber(negative, 8, v));
    EXPECT_EQ(v, -2);
    const uint8_t tooBig[12] = {0x80, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(arc::ParseTarNumber(tooBig, 12, v));
}

TEST(Tar, PiecesOfAnySizeGiveTheSameMembers)
{
    std::string big(70000, 'b');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 26);
    std::string archive = TarMember("one.txt", "first") + TarMember("dir/", "", '5') + TarMember("dir/big.bin", big) +
                          TarMember("empty", "") + TarEnd();
    for (size_t piece : {size_t(1), size_t(7), size_t(511), size_t(512), size_t(513), size_t(8192), archive.size()}) {
        Recorder r = Read(archive, piece);
        ASSERT_EQ(r.seen.size(), 4u) << piece;
        EXPECT_EQ(r.seen[0].entry.name, "one.txt");
        EXPECT_EQ(r.seen[0].data, "first");
        EXPECT_EQ(r.seen[1].entry.kind, arc::MemberKind::Directory);
        EXPECT_EQ(r.seen[2].data, big);
        EXPECT_TRUE(r.seen[2].complete);
        EXPECT_EQ(r.seen[2].entry.mtime, 1614834367);
        EXPECT_EQ(r.seen[3].entry.size, 0u);
        EXPECT_TRUE(r.damage.empty());
    }
}

TEST(Tar, LongNamesFromUstarPrefixGnuRecordsAndPax)
{
    std::string longName(300, 'n');
    std::string paxName = "\xD0\xB6\xD1\x83\xD0\xBA/" + std::string(400, 'p');
    TarFields prefixed;
    prefixed.name = "file.txt";
    prefixed.prefix = "a/b/c";
    prefixed.size = 2;
    std::string archive = TarHeader(prefixed) + std::string("ok") + std::string(510, '\0');
    archive += TarGnuLong(longName) + TarMember("cut-short-name", "gnu");
    archive += TarGnuLong("target/of/the/link", 'K') + TarMember("link", "", '2');
    archive += TarPax({{"path", paxName}, {"mtime", "1700000000.5"}}) + TarMember("cut", "pax");
    archive += TarMember("plain", "after") + TarEnd();
    Recorder r = Read(archive);
    ASSERT_EQ(r.seen.size(), 5u);
    EXPECT_EQ(r.seen[0].entry.name, "a/b/c/file.txt");
    EXPECT_EQ(r.seen[1].entry.name, longName);
    EXPECT_FALSE(r.seen[1].entry.nameIsUtf8);
    EXPECT_EQ(r.seen[2].entry.kind, arc::MemberKind::SymLink);
    EXPECT_EQ(r.seen[2].entry.linkName, "target/of/the/link");
    EXPECT_EQ(r.seen[3].entry.name, paxName);
    EXPECT_TRUE(r.seen[3].entry.nameIsUtf8);
    EXPECT_EQ(r.seen[3].entry.mtime, 1700000000);
    EXPECT_EQ(r.seen[3].data, "pax");
    // A pax record holds for the next member only.
    EXPECT_EQ(r.seen[4].entry.name, "plain");
    EXPECT_EQ(r.seen[4].entry.mtime, 1614834367);
}

TEST(Tar, SizesBeyondTheOctalFieldComeFromBase256AndPax)
{
    TarFields huge;
    huge.name = "huge.bin";
    huge.size = (uint64_t(1) << 33) + 5;
    huge.base256Size = true;
    huge.gnuMagic = true;
    Recorder r = Read(TarHeader(huge) + std::string(1024, 'z'));
    ASSERT_EQ(r.seen.size(), 1u);
    EXPECT_EQ(r.seen[0].entry.size, (uint64_t(1) << 33) + 5);
    EXPECT_FALSE(r.seen[0].complete); // the data ends long before
    ASSERT_EQ(r.damage.size(), 1u);
    EXPECT_EQ(r.damage[0].second, arc::TarProblem::Truncated);

    Recorder p = Read(TarPax({{"size", "9000000000"}}) + TarMember("pax-sized", "") + std::string(512, 'q'));
    ASSERT_EQ(p.seen.size(), 1u);
    EXPECT_EQ(p.seen[0].entry.size, 9000000000u);
    EXPECT_FALSE(p.seen[0].complete);
}

TEST(Tar, ABadChecksumInTheMiddleIsReportedAndTheNextMemberIsRead)
{
    TarFields bad;
    bad.name = "damaged.txt";
    bad.size = 1000;
    bad.checksumDelta = 1;
    std::string archive = TarMember("before.txt", "one") + TarHeader(bad) + std::string(1024, 'd') +
                          TarMember("after.txt", "two") + TarEnd();
    Recorder r = Read(archive, 100);
    ASSERT_EQ(r.seen.size(), 2u);
    EXPECT_EQ(r.seen[0].entry.name, "before.txt");
    EXPECT_EQ(r.seen[1].entry.name, "after.txt");
    EXPECT_EQ(r.seen[1].data, "two");
    ASSERT_EQ(r.damage.size(), 1u);
    EXPECT_EQ(r.damage[0].first, 1024u);
    EXPECT_EQ(r.damage[0].second, arc::TarProblem::BadChecksum);
}

TEST(Tar, ACutMemberIsIncompleteAndTheEndMarkerStopsReading)
{
    std::string archive = TarMember("whole.txt", "abc") + TarMember("cut.bin", std::string(3000, 'c'));
    Recorder r = Read(archive.substr(0, archive.size() - 1500));
    ASSERT_EQ(r.seen.size(), 2u);
    EXPECT_TRUE(r.seen[0].complete);
    EXPECT_FALSE(r.seen[1].complete);
    EXPECT_EQ(r.damage.size(), 1u);

    Recorder ended = Read(TarMember("a", "1") + TarEnd() + TarMember("ignored", "2"));
    EXPECT_EQ(ended.seen.size(), 1u);
    EXPECT_TRUE(ended.damage.empty());
}

TEST(Tar, RecordsBeyondTheirBoundAreDroppedNotCollected)
{
    // A header claiming a 4 GB long name: the reader skips it instead of holding it.
    TarFields claim;
    claim.name = "././@LongLink";
    claim.type = 'L';
    claim.size = uint64_t(4) << 30;
    Recorder r = Read(TarHeader(claim) + std::string(arc::CTarStream::MaxRecordSize + 4096, 'L'));
    EXPECT_TRUE(r.seen.empty());
    ASSERT_FALSE(r.damage.empty());
    EXPECT_EQ(r.damage.back().second, arc::TarProblem::Truncated);

    std::string over(arc::CTarStream::MaxRecordSize + 1, 'x');
    Recorder o = Read(TarGnuLong(over) + TarMember("short", "s") + TarEnd());
    ASSERT_EQ(o.seen.size(), 1u);
    EXPECT_EQ(o.seen[0].entry.name, "short");
    ASSERT_EQ(o.damage.size(), 1u);
    EXPECT_EQ(o.damage[0].second, arc::TarProblem::OversizedHeader);
}

TEST(Tar, KindsOfMembers)
{
    std::string archive = TarMember("hard", "", '1') + TarMember("fifo", "", '6') + TarMember("old-dir/", "", '\0') +
                          TarMember("contiguous", "c", '7') + TarMember("vendor", "v", 'A') + TarEnd();
    Recorder r = Read(archive);
    ASSERT_EQ(r.seen.size(), 5u);
    EXPECT_EQ(r.seen[0].entry.kind, arc::MemberKind::HardLink);
    EXPECT_EQ(r.seen[1].entry.kind, arc::MemberKind::Other);
    EXPECT_EQ(r.seen[2].entry.kind, arc::MemberKind::Directory);
    EXPECT_EQ(r.seen[3].entry.kind, arc::MemberKind::File);
    EXPECT_EQ(r.seen[4].data, "v");
}

TEST(Tar, ChecksumsAsUnsignedOrSignedSums)
{
    std::string header = TarMember("\xE9t\xE9.txt", "").substr(0, 512);
    EXPECT_TRUE(arc::TarChecksumMatches(reinterpret_cast<const uint8_t*>(header.data())));
    EXPECT_TRUE(arc::IsTarHeader(reinterpret_cast<const uint8_t*>(header.data())));
    header[0] = 'X';
    EXPECT_FALSE(arc::TarChecksumMatches(reinterpret_cast<const uint8_t*>(header.data())));
    // Old writers summed the bytes as signed chars; both sums are accepted.
    std::string high = TarMember("\xE9t\xE9.txt", "").substr(0, 512);
    int sum = 0;
    for (int i = 0; i < 512; ++i) sum += (i >= 148 && i < 156) ? ' ' : static_cast<signed char>(high[i]);
    char field[8];
    std::snprintf(field, sizeof(field), "%06o", sum);
    high.replace(148, 6, field, 6);
    EXPECT_TRUE(arc::TarChecksumMatches(reinterpret_cast<const uint8_t*>(high.data())));
    std::string zeros(512, '\0');
    EXPECT_FALSE(arc::IsTarHeader(reinterpret_cast<const uint8_t*>(zeros.data())));
}
