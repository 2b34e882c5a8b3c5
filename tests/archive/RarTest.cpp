// The rar reader on archives written here in both formats: stored members, names, refusals, damage.
#include "archive/ArchiveBytes.h"
#include "archive/rar/RarFormat.h"
#include <gtest/gtest.h>

using namespace test;
using rar::RarStatus;

namespace {
RarFields Stored(const std::string& name, const std::string& data)
{
    RarFields f;
    f.name = name;
    f.data = data;
    return f;
}

struct Listed {
    RarStatus open = RarStatus::NotRar, last = RarStatus::NotRar;
    std::vector<rar::RarEntry> entries;
    std::vector<std::string> data;
    std::vector<RarStatus> extracted;
};

Listed Read(const std::string& bytes)
{
    Listed l;
    arc::CMemorySource source(bytes);
    rar::CRarReader reader;
    l.open = reader.Open(source);
    if (l.open != RarStatus::Ok) return l;
    rar::RarEntry e;
    while ((l.last = reader.Next(e)) == RarStatus::Ok) {
        CCollectSink sink;
        l.extracted.push_back(reader.ExtractStored(e, sink));
        l.entries.push_back(e);
        l.data.push_back(sink.bytes);
    }
    return l;
}
}

TEST(Rar4, StoredMembersAreListedAndExtracted)
{
    RarFields dir;
    dir.name = "folder";
    dir.directory = true;
    std::string big(100000, 'r');
    Listed l = Read(Rar4({Stored("readme.txt", "read me"), dir, Stored("folder\\big.bin", big)}));
    ASSERT_EQ(l.open, RarStatus::Ok);
    EXPECT_EQ(l.last, RarStatus::End);
    ASSERT_EQ(l.entries.size(), 3u);
    EXPECT_EQ(l.entries[0].format, 4);
    EXPECT_EQ(l.entries[0].name, "readme.txt");
    EXPECT_EQ(l.entries[0].charset, rar::RarNameCharset::Oem);
    EXPECT_EQ(l.entries[0].dosTime, 0x526428C3u);
    EXPECT_EQ(l.extracted[0], RarStatus::Ok);
    EXPECT_EQ(l.data[0], "read me");
    EXPECT_TRUE(l.entries[1].directory);
    EXPECT_EQ(l.data[2], big);
    EXPECT_EQ(l.entries[2].unpackedSize, big.size());
}

TEST(Rar4, UnicodeNamesInTheirEncodedForm)
{
    const std::wstring names[] = {
        L"\u0436\u0443\u043a/\u03a9mega.txt",      // two high pages: full characters and one high byte
        L"plain ascii copied from the plain name", // one long run
        L"\u0416\u0417\u0418\u0419.txt",           // a run shifted by one correction
        L"\u4e2d\u6587\u6587\u4ef6",
    };
    for (const std::wstring& name : names) {
        std::string plain;
        for (wchar_t c : name) plain += c < 0x80 ? static_cast<char>(c) : static_cast<char>(0x80 | (c & 0x7F));
        std::string encoded = EncodeRarName(plain, name);
        EXPECT_EQ(rar::DecodeRarUnicodeName(reinterpret_cast<const uint8_t*>(plain.data()), plain.size(),
                                            reinterpret_cast<const uint8_t*>(encoded.data()), encoded.size()),
                  name);
    }
    RarFields unicode = Stored("?uk.txt", "u");
    unicode.unicodeName = L"\u0436uk.txt";
    Listed l = Read(Rar4({unicode}));
    ASSERT_EQ(l.entries.size(), 1u);
    EXPECT_EQ(l.entries[0].charset, rar::RarNameCharset::Wide);
    EXPECT_EQ(l.entries[0].wideName, L"\u0436uk.txt");
    EXPECT_EQ(l.entries[0].name, "?uk.txt");
    // Encoded data that ends early gives what it has, never a read past its end.
    std::string cut = EncodeRarName("abc", L"\u0436\u0437\u0438");
    EXPECT_LT(rar::DecodeRarUnicodeName(reinterpret_cast<const uint8_t*>("abc"), 3,
                                        reinterpret_cast<const uint8_t*>(cut.data()), cut.size() - 1).size(), 3u);
}

TEST(Rar4, CompressedEncryptedAndDamagedMembers)
{
    RarFields packed = Stored("packed.txt", "not really packed");
    packed.compressed = true;
    RarFields secret = Stored("secret.txt", "s");
    secret.encrypted = true;
    RarFields bad = Stored("bad.txt", "crc");
    bad.crcDelta = 1;
    Listed l = Read(Rar4({packed, secret, bad, Stored("fine.txt", "fine")}));
    ASSERT_EQ(l.entries.size(), 4u);
    EXPECT_EQ(l.entries[0].method, 3u);
    EXPECT_EQ(l.extracted[0], RarStatus::Unsupported);
    EXPECT_TRUE(l.data[0].empty());
    EXPECT_TRUE(l.entries[1].encrypted);
    EXPECT_EQ(l.extracted[1], RarStatus::Unsupported);
    EXPECT_EQ(l.extracted[2], RarStatus::CrcMismatch);
    EXPECT_EQ(l.extracted[3], RarStatus::Ok);

    // A header whose CRC no longer matches ends the listing after what was read.
    std::string bytes = Rar4({Stored("one.txt", "1"), Stored("two.txt", "2")});
    size_t second = bytes.find("two.txt");
    bytes[second] = 'T';
    Listed damaged = Read(bytes);
    EXPECT_EQ(damaged.entries.size(), 1u);
    EXPECT_EQ(damaged.last, RarStatus::Damaged);

    // A member whose data runs past the end of the file.
    std::string whole = Rar4({Stored("cut.bin", std::string(5000, 'c'))});
    Listed cut = Read(whole.substr(0, whole.size() - 3000));
    ASSERT_EQ(cut.entries.size(), 1u);
    EXPECT_EQ(cut.extracted[0], RarStatus::Truncated);
    EXPECT_EQ(cut.last, RarStatus::Damaged);

    EXPECT_EQ(Read(Rar4({Stored("x", "x")}, true)).open, RarStatus::EncryptedHeaders);
    EXPECT_EQ(Read("Rar!\x1A\x07").open, RarStatus::NotRar);
}

TEST(Rar5, StoredMembersAreListedAndExtracted)
{
    RarFields dir;
    dir.name = "\xD0\xB6\xD1\x83\xD0\xBA";
    dir.directory = true;
    Listed l = Read(Rar5({Stored("\xD0\xB6\xD1\x83\xD0\xBA/\xCE\xA9mega.txt", "omega"), dir, Stored("empty", "")}));
    ASSERT_EQ(l.open, RarStatus::Ok);
    EXPECT_EQ(l.last, RarStatus::End);
    ASSERT_EQ(l.entries.size(), 3u);
    EXPECT_EQ(l.entries[0].format, 5);
    EXPECT_EQ(l.entries[0].charset, rar::RarNameCharset::Utf8);
    EXPECT_EQ(l.entries[0].name, "\xD0\xB6\xD1\x83\xD0\xBA/\xCE\xA9mega.txt");
    EXPECT_TRUE(l.entries[0].hasUnixTime);
    EXPECT_EQ(l.entries[0].unixTime, 1614834367);
    EXPECT_EQ(l.data[0], "omega");
    EXPECT_EQ(l.extracted[0], RarStatus::Ok);
    EXPECT_TRUE(l.entries[1].directory);
    EXPECT_EQ(l.extracted[2], RarStatus::Ok);
}

TEST(Rar5, CompressedEncryptedAndDamagedMembers)
{
    RarFields packed = Stored("packed", "p");
    packed.compressed = true;
    RarFields secret = Stored("secret", "s");
    secret.encrypted = true;
    RarFields bad = Stored("bad", "b");
    bad.crcDelta = 5;
    Listed l = Read(Rar5({packed, secret, bad}));
    ASSERT_EQ(l.entries.size(), 3u);
    EXPECT_EQ(l.extracted[0], RarStatus::Unsupported);
    EXPECT_TRUE(l.entries[1].encrypted);
    EXPECT_EQ(l.extracted[1], RarStatus::Unsupported);
    EXPECT_EQ(l.extracted[2], RarStatus::CrcMismatch);

    std::string bytes = Rar5({Stored("one", "1"), Stored("two", "2")});
    bytes[bytes.find("two")] = 'T';
    Listed damaged = Read(bytes);
    EXPECT_EQ(damaged.entries.size(), 1u);
    EXPECT_EQ(damaged.last, RarStatus::Damaged);

    // A header size beyond the bound is refused before anything is allocated for it.
    std::string huge("Rar!\x1A\x07\x01\x00", 8);
    huge += std::string("\0\0\0\0\xFF\xFF\xFF\xFF\x0F", 9);
    EXPECT_EQ(Read(huge).open, RarStatus::Damaged);
}
