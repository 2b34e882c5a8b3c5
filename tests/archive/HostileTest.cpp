// Hostile and damaged archives written here: nothing leaves the target, nothing damaged replaces
// a file, every refusal names its member, and the readable rest is still listed and written.
#include "archive/ArchiveBytes.h"
#include "archive/ArchiveSupport.h"
#include "framework/Resources.h"
#include "fileops/PathRules.h"
#include "resource.h"

using namespace test;

class ArchiveHostile : public ArchiveTest {
protected:
    std::wstring Out(const std::wstring& name) const { return target / name; }
    bool Said(const std::wstring& member, UINT reason) const
    {
        std::wstring text = L"Skipping " + member + L": " + fw::LoadStr(reason);
        for (const std::wstring& box : boxes)
            if (box.find(text) != std::wstring::npos) return true;
        return false;
    }
    static ZipFields Member(const std::string& name, const std::string& data)
    {
        ZipFields f;
        f.name = name;
        f.data = data;
        return f;
    }
};

TEST_F(ArchiveHostile, ZipNamesThatLeadOutOfTheTargetAreRefusedByName)
{
    ZipFields link = Member("link", "/etc/passwd");
    link.externalAttributes = 0xA1FF0000; // a Unix symbolic link
    std::string deep;
    for (int i = 0; i < 170; ++i) deep += std::string(200, 'a') + "/";
    std::string archive = Zip({Member("../evil.txt", "e"), Member("/abs.txt", "a"), Member("C:\\drive.txt", "d"),
                               Member("dir/../../up.txt", "u"), Member("CON", "c"), Member("sub/nul.txt", "n"), link,
                               Member(std::string(300, 'p'), "p"), Member(deep + "f.txt", "f"), Member("good.txt", "good")});
    EXPECT_EQ(Extract(Write(L"evil.zip", archive), Extraction()), IDOK);
    EXPECT_EQ(Tree(target.Path()), (std::map<std::wstring, std::string>{{L"good.txt", "good"}}));
    std::wstring parent = DirectoryPart(target.Path());
    EXPECT_FALSE(Exists(parent + L"\\evil.txt"));
    EXPECT_FALSE(Exists(parent + L"\\up.txt"));
    EXPECT_FALSE(Exists(L"Z:\\abs.txt"));
    EXPECT_FALSE(Exists(L"C:\\drive.txt"));
    EXPECT_TRUE(Said(L"../evil.txt", IDS_ARC_OUTSIDETARGET));
    EXPECT_TRUE(Said(L"/abs.txt", IDS_ARC_OUTSIDETARGET));
    EXPECT_TRUE(Said(L"C:\\drive.txt", IDS_ARC_OUTSIDETARGET));
    EXPECT_TRUE(Said(L"dir/../../up.txt", IDS_ARC_OUTSIDETARGET));
    EXPECT_TRUE(Said(L"CON", IDS_ARC_DEVICENAME));
    EXPECT_TRUE(Said(L"sub/nul.txt", IDS_ARC_DEVICENAME));
    EXPECT_TRUE(Said(L"link", IDS_ARC_LINK));
    EXPECT_TRUE(Said(std::wstring(300, L'p'), IDS_ARC_TOOLONG));
    // A path too long for the platform is refused whole, not cut to fit.
    int tooLong = 0;
    for (const std::wstring& box : boxes) tooLong += box.find(fw::LoadStr(IDS_ARC_TOOLONG)) != std::wstring::npos;
    EXPECT_EQ(tooLong, 2);
    EXPECT_EQ(boxes.size(), 10u); // the folders question and nine refusals
}

TEST_F(ArchiveHostile, TarLinksDevicesAndEscapesAreRefusedTheRestIsWritten)
{
    TarFields link;
    link.name = "escape";
    link.type = '2';
    link.linkName = "/etc";
    std::string archive = TarMember("../evil", "e") + TarHeader(link) + TarMember("hard", "", '1') +
                          TarMember("fifo", "", '6') + TarMember("dir/good.txt", "good") + TarEnd();
    EXPECT_EQ(Extract(Write(L"evil.tar", archive), Extraction()), IDOK);
    EXPECT_EQ(Tree(target.Path()), (std::map<std::wstring, std::string>{{L"dir", "<dir>"}, {L"dir\\good.txt", "good"}}));
    EXPECT_TRUE(Said(L"../evil", IDS_ARC_OUTSIDETARGET));
    EXPECT_TRUE(Said(L"escape", IDS_ARC_LINK));
    EXPECT_TRUE(Said(L"hard", IDS_ARC_LINK));
    EXPECT_TRUE(Said(L"fifo", IDS_ARC_OTHERKIND));
    EXPECT_FALSE(Exists(DirectoryPart(target.Path()) + L"\\evil"));
}

TEST_F(ArchiveHostile, AWrongTarChecksumInTheMiddleIsReportedAndReadingGoesOn)
{
    TarFields bad;
    bad.name = "lost.txt";
    bad.size = 600;
    bad.checksumDelta = 3;
    std::wstring archive = Write(L"damaged.tar", TarMember("first.txt", "1") + TarHeader(bad) + std::string(1024, 'x') +
                                                     TarMember("last.txt", "2") + TarEnd());
    EXPECT_EQ(List(archive), IDCANCEL);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"first.txt", L"last.txt"}));
    EXPECT_TRUE(damaged);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(fw::LoadStr(IDS_ARC_DAMAGED).substr(0, 20)), std::wstring::npos);

    EXPECT_EQ(Extract(archive, Extraction()), IDOK);
    EXPECT_EQ(ReadAll(Out(L"first.txt")), "1");
    EXPECT_EQ(ReadAll(Out(L"last.txt")), "2");
    bool headerReported = false;
    for (const std::wstring& box : boxes) headerReported |= box.find(L"1024") != std::wstring::npos;
    EXPECT_TRUE(headerReported);

    // A damaged first header: this is no tar archive at all.
    std::string first = TarMember("a", "a");
    first[0] = 'b';
    EXPECT_EQ(List(Write(L"notar.tar", first + TarEnd())), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(fw::LoadStr(IDS_ARC_UNREADABLE)), std::wstring::npos);
}

TEST_F(ArchiveHostile, ADamagedMemberNeverReplacesAFileAndLeavesNothingBehind)
{
    ASSERT_TRUE(MakeFile(Out(L"big.bin"), "original big"));
    ASSERT_TRUE(MakeFile(Out(L"bad.txt"), "original bad"));
    std::string tar = TarMember("big.bin", std::string(100000, 'b'));
    EXPECT_EQ(Extract(Write(L"cut.tar", tar.substr(0, 60000)), Extraction(), {{L"OVERWRITE", Rule{{IDOK}}}}), IDOK);
    EXPECT_EQ(ReadAll(Out(L"big.bin")), "original big");
    EXPECT_TRUE(Said(L"big.bin", IDS_ARC_TRUNCATED));
    EXPECT_TRUE(TemporaryFiles(target.Path()).empty());

    ZipFields bad = Member("bad.txt", std::string(50000, 'z'));
    bad.method = 8;
    bad.crcDelta = 1;
    EXPECT_EQ(Extract(Write(L"crc.zip", Zip({bad, Member("fine.txt", "fine")})), Extraction(),
                      {{L"OVERWRITE", Rule{{IDOK}}}}),
              IDOK);
    EXPECT_EQ(ReadAll(Out(L"bad.txt")), "original bad");
    EXPECT_EQ(ReadAll(Out(L"fine.txt")), "fine");
    EXPECT_TRUE(Said(L"bad.txt", IDS_ARC_CRC));
    EXPECT_TRUE(TemporaryFiles(target.Path()).empty());
}

TEST_F(ArchiveHostile, SizeClaimsBombsAndOverlapsAreStoppedAtTheClaim)
{
    ZipFields claim = Member("claim.bin", "ten bytes!");
    claim.claimedSize = 4000000000ll; // far beyond the file
    ZipFields bomb = Member("bomb.bin", std::string(4 << 20, '\0'));
    bomb.method = 8;
    bomb.claimedSize = 4096;
    EXPECT_EQ(Extract(Write(L"claims.zip", Zip({claim, bomb, Member("fine.txt", "fine")})), Extraction()), IDOK);
    EXPECT_EQ(Tree(target.Path()), (std::map<std::wstring, std::string>{{L"fine.txt", "fine"}}));
    EXPECT_TRUE(Said(L"claim.bin", IDS_ARC_SIZE));
    EXPECT_TRUE(Said(L"bomb.bin", IDS_ARC_SIZE));

    // Two directory records for one member's data.
    std::string single = Zip({Member("kernel.bin", std::string(1000, 'k'))});
    size_t cd = single.find(std::string("PK\x01\x02", 4));
    std::string record = single.substr(cd, single.size() - 22 - cd);
    std::string end = single.substr(single.size() - 22);
    end[8] = end[10] = 2;
    end[12] = static_cast<char>((record.size() * 2) & 0xFF);
    end[13] = static_cast<char>((record.size() * 2) >> 8);
    TempDir other;
    Extraction how;
    how.target = other.Path();
    EXPECT_EQ(Extract(Write(L"overlap.zip", single.substr(0, cd) + record + record + end), how), IDOK);
    EXPECT_TRUE(Tree(other.Path()).empty());
    EXPECT_TRUE(Said(L"kernel.bin", IDS_ARC_OVERLAP));

    // A directory that claims to lie outside the file: nothing can be listed.
    std::string beyond = Zip({Member("a.txt", "a")});
    beyond[beyond.size() - 22 + 19] = 0x7F;
    EXPECT_EQ(List(Write(L"far.zip", beyond)), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(fw::LoadStr(IDS_ARC_UNREADABLE)), std::wstring::npos);
}

TEST_F(ArchiveHostile, GzipOptionsThatAreNotReadRefuseTheArchive)
{
    for (uint8_t flag : {0x02, 0x04, 0x20}) {
        SCOPED_TRACE(flag);
        EXPECT_EQ(List(Write(L"option.gz", Gzip("some data", flag))), 0);
        EXPECT_TRUE(rows.empty());
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find(fw::LoadStr(IDS_ARC_UNREADABLE)), std::wstring::npos);
    }
    // A damaged trailer: the file is listed, its extraction refused and nothing is left.
    std::string gz = Gzip("text of the file", 0x08, "inner.txt");
    gz[gz.size() - 6] ^= 0x55;
    std::wstring archive = Write(L"crc.gz", gz);
    EXPECT_EQ(List(archive), IDCANCEL);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"inner.txt"}));
    EXPECT_EQ(Extract(archive, Extraction()), IDOK);
    EXPECT_FALSE(Exists(Out(L"inner.txt")));
    EXPECT_TRUE(Said(L"inner.txt", IDS_ARC_CRC));
    EXPECT_TRUE(TemporaryFiles(target.Path()).empty());
}
