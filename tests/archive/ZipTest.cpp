// The zip reader on archives written here: records, checks, zip64 beyond 4 GB, encryption and
// the hostile forms (bombs, directories pointing outside, overlapping members).
#include "archive/ArchiveBytes.h"
#include "archive/zip/ZipCrypto.h"
#include "archive/zip/ZipReader.h"
#include <gtest/gtest.h>

using namespace test;
using zip::ZipStatus;

namespace {
std::string Text(size_t n)
{
    std::string s;
    for (size_t i = 0; s.size() < n; ++i) s += "zip line " + std::to_string(i) + "\n";
    return s.substr(0, n);
}

ZipFields Member(const std::string& name, const std::string& data, uint16_t method = 8)
{
    ZipFields f;
    f.name = name;
    f.data = data;
    f.method = method;
    return f;
}

struct Opened {
    std::string bytes;
    arc::CMemorySource source;
    zip::CZipArchive archive;
    ZipStatus status;
    explicit Opened(std::string archiveBytes)
        : bytes(std::move(archiveBytes)), source(bytes), status(archive.Open(source)) {}
    ZipStatus Extract(size_t i, std::string& out, const std::string& password = "")
    {
        CCollectSink sink;
        ZipStatus s = archive.Extract(i, sink, password);
        out = sink.bytes;
        return s;
    }
};
}

TEST(ZipRecords, WrittenAndReadAlike)
{
    zip::ZipEntry e;
    e.versionMadeBy = 0x0314;
    e.flags = zip::FlagUtf8;
    e.method = 8;
    e.dosTime = 0x1234;
    e.dosDate = 0x5678;
    e.crc = 0xDEADBEEF;
    e.compressedSize = 5000000000ull;
    e.uncompressedSize = 7000000000ull;
    e.localHeaderOffset = 6000000000ull;
    e.externalAttributes = 0x81A40000;
    e.name = "dir/\xC3\xA9t\xC3\xA9.txt";
    e.extra = zip::MakeZip64Extra(e);
    e.comment = "note";
    std::string bytes;
    zip::AppendCentralHeader(bytes, e);
    zip::ZipEntry back;
    ASSERT_EQ(zip::ParseCentralHeader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), back), bytes.size());
    EXPECT_EQ(back.compressedSize, e.compressedSize);
    EXPECT_EQ(back.uncompressedSize, e.uncompressedSize);
    EXPECT_EQ(back.localHeaderOffset, e.localHeaderOffset);
    EXPECT_EQ(back.name, e.name);
    EXPECT_EQ(back.comment, "note");
    EXPECT_EQ(back.crc, e.crc);
    EXPECT_EQ(back.Host(), zip::HostUnix);
    EXPECT_EQ(zip::ParseCentralHeader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size() - 1, back), 0u);

    zip::EndRecord end;
    end.entries = end.entriesOnDisk = 70000;
    end.directorySize = 123;
    end.directoryOffset = 5000000000ull;
    end.comment = "c";
    std::string tail;
    zip::AppendEndRecords(tail, end, 42);
    ASSERT_EQ(tail.size(), zip::Zip64EndSize + zip::Zip64LocatorSize + zip::EndSize + 1);
    zip::EndRecord classic, full;
    const auto* p = reinterpret_cast<const uint8_t*>(tail.data());
    uint64_t zip64At = 0;
    ASSERT_TRUE(zip::ParseZip64Locator(p + zip::Zip64EndSize, zip::Zip64LocatorSize, zip64At));
    EXPECT_EQ(zip64At, 42u);
    ASSERT_TRUE(zip::ParseEndRecord(p + zip::Zip64EndSize + zip::Zip64LocatorSize, zip::EndSize + 1, classic));
    EXPECT_EQ(classic.entries, 0xFFFFu);
    EXPECT_EQ(classic.comment, "c");
    ASSERT_TRUE(zip::ParseZip64End(p, zip::Zip64EndSize, full));
    EXPECT_EQ(full.entries, 70000u);
    EXPECT_EQ(full.directoryOffset, 5000000000ull);

    zip::LocalHeader local, localBack;
    local.name = "a";
    local.extra = "xy";
    local.compressedSize = 3;
    std::string lh;
    zip::AppendLocalHeader(lh, local);
    EXPECT_EQ(zip::ParseLocalHeader(reinterpret_cast<const uint8_t*>(lh.data()), lh.size(), localBack), lh.size());
    EXPECT_EQ(localBack.extra, "xy");
}

TEST(ZipReader, StoredAndDeflatedMembersWithTheirCrcs)
{
    std::string text = Text(200000);
    Opened z(Zip({Member("stored.txt", "plain", 0), Member("dir/", "", 0), Member("dir/text.txt", text)}));
    ASSERT_EQ(z.status, ZipStatus::Ok);
    ASSERT_EQ(z.archive.Entries().size(), 3u);
    EXPECT_TRUE(z.archive.Entries()[1].IsDirectory());
    std::string out;
    EXPECT_EQ(z.Extract(0, out), ZipStatus::Ok);
    EXPECT_EQ(out, "plain");
    EXPECT_EQ(z.Extract(2, out), ZipStatus::Ok);
    EXPECT_EQ(out, text);

    ZipFields bad = Member("bad.txt", text);
    bad.crcDelta = 1;
    Opened damaged(Zip({bad}));
    EXPECT_EQ(damaged.Extract(0, out), ZipStatus::CrcMismatch);
}

TEST(ZipReader, ABombStopsAtItsClaimedSize)
{
    // A megabyte of zeros that claims to be 1000 bytes: no more than the claim is handed on.
    ZipFields bomb = Member("bomb.bin", std::string(1 << 20, '\0'));
    bomb.claimedSize = 1000;
    Opened z(Zip({bomb}));
    ASSERT_EQ(z.status, ZipStatus::Ok);
    std::string out;
    EXPECT_EQ(z.Extract(0, out), ZipStatus::SizeMismatch);
    EXPECT_LE(out.size(), 1000u);

    ZipFields shorter = Member("short.bin", "12345", 0);
    shorter.claimedSize = 6;
    Opened s(Zip({shorter}));
    EXPECT_EQ(s.Extract(0, out), ZipStatus::SizeMismatch);
}

TEST(ZipReader, DirectoriesAndMembersOutsideTheFile)
{
    std::string good = Zip({Member("a.txt", "aaa"), Member("b.txt", "bbb")});
    // The end record's directory offset moved past its own end record.
    std::string beyond = good;
    size_t end = beyond.size() - 22;
    beyond[end + 16] = static_cast<char>(0xF0);
    beyond[end + 19] = 0x7F;
    Opened a(beyond);
    EXPECT_EQ(a.status, ZipStatus::Damaged);
    EXPECT_TRUE(a.archive.Entries().empty());

    ZipFields outside = Member("outside.txt", "x");
    outside.claimedOffset = 0x7FFFFFF0;
    Opened b(Zip({Member("fine.txt", "fine"), outside}));
    ASSERT_EQ(b.status, ZipStatus::Ok);
    std::string out;
    EXPECT_EQ(b.Extract(0, out), ZipStatus::Ok);
    EXPECT_EQ(b.archive.Check(1), ZipStatus::OutsideFile);
    EXPECT_EQ(b.Extract(1, out), ZipStatus::OutsideFile);

    // A directory cut short: the entries before the cut are kept, the archive is damaged.
    std::string cut = good;
    size_t second = cut.rfind(std::string("PK\x01\x02", 4));
    cut[second + 1] = 'X';
    Opened c(cut);
    EXPECT_EQ(c.status, ZipStatus::Damaged);
    EXPECT_EQ(c.archive.Entries().size(), 1u);

    Opened d(std::string("no end record here"));
    EXPECT_EQ(d.status, ZipStatus::NotZip);
    Opened empty(std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    EXPECT_EQ(empty.status, ZipStatus::Ok);
    EXPECT_TRUE(empty.archive.Entries().empty());
}

TEST(ZipReader, OverlappingMembersAreRefused)
{
    std::string kernel = Text(10000);
    std::string bytes = Zip({Member("kernel.txt", kernel)});
    // A second directory record pointing at the same local header and data.
    size_t cd = bytes.find(std::string("PK\x01\x02", 4));
    std::string record = bytes.substr(cd, bytes.size() - 22 - cd);
    std::string twice = bytes.substr(0, cd) + record + record;
    std::string end = bytes.substr(bytes.size() - 22);
    end[8] = end[10] = 2;
    end[12] = static_cast<char>(record.size() * 2 & 0xFF);
    end[13] = static_cast<char>(record.size() * 2 >> 8);
    Opened z(twice + end);
    ASSERT_EQ(z.status, ZipStatus::Ok);
    ASSERT_EQ(z.archive.Entries().size(), 2u);
    std::string out;
    EXPECT_EQ(z.Extract(0, out), ZipStatus::Overlapping);
    EXPECT_EQ(z.Extract(1, out), ZipStatus::Overlapping);
    EXPECT_TRUE(out.empty());
}

TEST(ZipReader, Zip64OffsetsAndSizesBeyondFourGigabytes)
{
    // A first member of 4.5 GB of zeros (a hole in the source) and a small member after it.
    const uint64_t hugeSize = 4500000000ull;
    std::string second = "after the hole";
    std::string local1, local2, central, tail;
    auto local = [](std::string& out, const std::string& name, uint32_t crc, uint64_t size) {
        Le32(out, 0x04034B50);
        Le16(out, 45);
        Le16(out, 0);
        Le16(out, 0);
        Le32(out, 0);
        Le32(out, crc);
        Le32(out, 0xFFFFFFFF);
        Le32(out, 0xFFFFFFFF);
        Le16(out, static_cast<uint32_t>(name.size()));
        Le16(out, 20);
        out += name;
        Le16(out, 1);
        Le16(out, 16);
        Le64(out, size);
        Le64(out, size);
    };
    auto centralRecord = [&](const std::string& name, uint32_t crc, uint64_t size, uint64_t offset) {
        Le32(central, 0x02014B50);
        Le16(central, 0x032D);
        Le16(central, 45);
        Le16(central, 0);
        Le16(central, 0);
        Le32(central, 0);
        Le32(central, crc);
        Le32(central, 0xFFFFFFFF);
        Le32(central, 0xFFFFFFFF);
        Le16(central, static_cast<uint32_t>(name.size()));
        Le16(central, 28);
        Le16(central, 0);
        Le16(central, 0);
        Le16(central, 0);
        Le32(central, 0);
        Le32(central, 0xFFFFFFFF);
        central += name;
        Le16(central, 1);
        Le16(central, 24);
        Le64(central, size);
        Le64(central, size);
        Le64(central, offset);
    };
    local(local1, "zeros.bin", 0, hugeSize);
    uint64_t secondAt = local1.size() + hugeSize;
    local(local2, "after.txt", CrcOf(second), second.size());
    uint64_t directoryAt = secondAt + local2.size() + second.size();
    centralRecord("zeros.bin", 0, hugeSize, 0);
    centralRecord("after.txt", CrcOf(second), second.size(), secondAt);
    zip::EndRecord end;
    end.entries = end.entriesOnDisk = 2;
    end.directorySize = central.size();
    end.directoryOffset = directoryAt;
    zip::AppendEndRecords(tail, end, directoryAt + central.size(), true);

    CSparseSource source;
    source.Put(0, local1);
    source.Put(secondAt, local2 + second + central + tail);
    zip::CZipArchive archive;
    ASSERT_EQ(archive.Open(source), ZipStatus::Ok);
    ASSERT_EQ(archive.Entries().size(), 2u);
    EXPECT_EQ(archive.Entries()[0].uncompressedSize, hugeSize);
    EXPECT_EQ(archive.Entries()[1].localHeaderOffset, secondAt);
    CCollectSink sink;
    EXPECT_EQ(archive.Extract(1, sink), ZipStatus::Ok);
    EXPECT_EQ(sink.bytes, second);
    // The huge member is read as far as anyone wants it, not held.
    CCollectSink first;
    first.refuseAfter = 1 << 20;
    EXPECT_EQ(archive.Extract(0, first), ZipStatus::Stopped);
}

TEST(ZipReader, DataBeforeTheArchiveMovesEveryOffset)
{
    std::string archive = Zip({Member("a.txt", "after a program")});
    Opened z(std::string(5000, 'M') + archive);
    ASSERT_EQ(z.status, ZipStatus::Ok);
    std::string out;
    EXPECT_EQ(z.Extract(0, out), ZipStatus::Ok);
    EXPECT_EQ(out, "after a program");
}

TEST(ZipReader, TraditionalEncryptionWithTheRightAndAWrongPassword)
{
    std::string text = Text(30000);
    ZipFields plain = Member("secret.txt", text);
    plain.password = "open sesame";
    ZipFields described = Member("described.txt", "by a descriptor", 0);
    described.password = "open sesame";
    described.flags = zip::FlagDataDescriptor;
    Opened z(Zip({plain, described}));
    ASSERT_EQ(z.status, ZipStatus::Ok);
    std::string out;
    EXPECT_EQ(z.Extract(0, out), ZipStatus::NeedPassword);
    EXPECT_EQ(z.archive.TestPassword(0, "wrong"), ZipStatus::WrongPassword);
    EXPECT_EQ(z.Extract(0, out, "wrong"), ZipStatus::WrongPassword);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(z.Extract(0, out, "open sesame"), ZipStatus::Ok);
    EXPECT_EQ(out, text);
    EXPECT_EQ(z.Extract(1, out, "open sesame"), ZipStatus::Ok);
    EXPECT_EQ(out, "by a descriptor");

    uint8_t data[] = "round trip";
    zip::CZipCrypto a("pw"), b("pw");
    a.Encrypt(data, sizeof(data));
    EXPECT_NE(std::string(reinterpret_cast<char*>(data)), "round trip");
    b.Decrypt(data, sizeof(data));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data)), "round trip");
}

TEST(ZipReader, MethodsAndEncryptionsThatAreNotReadSaySo)
{
    ZipFields bzip2 = Member("b.bz2", "x", 12);
    ZipFields aes = Member("aes.txt", "x", 99);
    aes.flags = zip::FlagEncrypted;
    ZipFields strong = Member("strong.txt", "x", 0);
    strong.flags = zip::FlagEncrypted | zip::FlagStrongEncryption;
    Opened z(Zip({bzip2, aes, strong}));
    std::string out;
    EXPECT_EQ(z.Extract(0, out), ZipStatus::UnsupportedMethod);
    EXPECT_STREQ(zip::MethodName(12), "bzip2");
    EXPECT_EQ(z.Extract(1, out, "pw"), ZipStatus::UnsupportedEncryption);
    EXPECT_EQ(z.Extract(2, out, "pw"), ZipStatus::UnsupportedEncryption);
}

TEST(ZipReader, NamesInUtf8OrTheOemCodePage)
{
    std::string utf8 = "\xD0\xB6\xD1\x83\xD0\xBA.txt";
    ZipFields flagged = Member(utf8, "1");
    flagged.flags = zip::FlagUtf8;
    flagged.versionMadeBy = 0x0014; // DOS
    ZipFields unixHost = Member(utf8, "2");
    ZipFields dosHost = Member("\x8E\x84.txt", "3");
    dosHost.versionMadeBy = 0x0014;
    ZipFields unicodePath = Member("??.txt", "4");
    unicodePath.versionMadeBy = 0x0014;
    std::string field;
    Le16(field, 0x7075);
    Le16(field, static_cast<uint32_t>(5 + utf8.size()));
    field += '\x01';
    Le32(field, CrcOf("??.txt"));
    field += utf8;
    unicodePath.centralExtra = field;
    ZipFields staleUnicode = unicodePath;
    staleUnicode.name = "xx.txt"; // the field's CRC no longer matches the name
    Opened z(Zip({flagged, unixHost, dosHost, unicodePath, staleUnicode}));
    ASSERT_EQ(z.archive.Entries().size(), 5u);
    zip::NameCharset charset;
    EXPECT_EQ(z.archive.NameBytes(0, charset), utf8);
    EXPECT_EQ(charset, zip::NameCharset::Utf8);
    EXPECT_EQ(z.archive.NameBytes(1, charset), utf8);
    EXPECT_EQ(charset, zip::NameCharset::Utf8);
    EXPECT_EQ(z.archive.NameBytes(2, charset), "\x8E\x84.txt");
    EXPECT_EQ(charset, zip::NameCharset::Oem);
    EXPECT_EQ(z.archive.NameBytes(3, charset), utf8);
    EXPECT_EQ(charset, zip::NameCharset::Utf8);
    EXPECT_EQ(z.archive.NameBytes(4, charset), "xx.txt");
    EXPECT_EQ(charset, zip::NameCharset::Oem);
}

TEST(ZipReader, ExtraFieldsThatRunPastTheirEndAreIgnored)
{
    ZipFields odd = Member("odd.txt", "odd");
    std::string field;
    Le16(field, 0x5455);
    Le16(field, 200); // claims more than there is
    field += "\x01\x02";
    odd.centralExtra = field;
    Opened z(Zip({odd}));
    ASSERT_EQ(z.status, ZipStatus::Ok);
    int64_t t = 0;
    uint32_t f = 0;
    EXPECT_FALSE(z.archive.PreciseTime(0, t, f));
    std::string out;
    EXPECT_EQ(z.Extract(0, out), ZipStatus::Ok);
}
