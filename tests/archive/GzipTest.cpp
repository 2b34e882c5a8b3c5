// The gzip decoder: header options, trailers, concatenated members and the tar-or-file decision.
#include "archive/ArchiveBytes.h"
#include "archive/Gzip.h"
#include <gtest/gtest.h>

using namespace test;

namespace {
struct Result {
    arc::GzipStatus status;
    std::string out;
};

Result Decode(const std::string& gz, size_t piece = 4096)
{
    arc::CGzipDecoder decoder;
    CCollectSink sink;
    arc::GzipStatus status = arc::GzipStatus::Ok;
    for (size_t at = 0; at < gz.size() && status == arc::GzipStatus::Ok; at += piece)
        status = decoder.Feed(reinterpret_cast<const uint8_t*>(gz.data()) + at, std::min(piece, gz.size() - at), sink);
    if (status == arc::GzipStatus::Ok) status = decoder.Finish();
    return {status, sink.bytes};
}

std::string Text(size_t n)
{
    std::string s;
    for (size_t i = 0; s.size() < n; ++i) s += "row " + std::to_string(i) + "\n";
    return s.substr(0, n);
}
}

TEST(Gzip, HeaderFieldsAndRefusedOptions)
{
    std::string gz = Gzip("data", 0x08 | 0x10, "name.txt", 1614834367);
    arc::GzipHeader h;
    ASSERT_EQ(arc::ParseGzipHeader(reinterpret_cast<const uint8_t*>(gz.data()), gz.size(), h), arc::GzipStatus::Ok);
    EXPECT_TRUE(h.hasName);
    EXPECT_EQ(h.name, "name.txt");
    EXPECT_EQ(h.mtime, 1614834367u);
    EXPECT_EQ(h.size, 10u + 9 + 10);
    EXPECT_EQ(arc::ParseGzipHeader(reinterpret_cast<const uint8_t*>(gz.data()), 12, h), arc::GzipStatus::Truncated);
    for (uint8_t flag : {0x02, 0x04, 0x20, 0x40, 0x80}) {
        std::string refused = Gzip("data", flag);
        EXPECT_EQ(arc::ParseGzipHeader(reinterpret_cast<const uint8_t*>(refused.data()), refused.size(), h),
                  arc::GzipStatus::RefusedFlags) << int(flag);
        EXPECT_EQ(Decode(refused).status, arc::GzipStatus::RefusedFlags);
    }
    std::string stored = Gzip("data");
    stored[2] = 7;
    EXPECT_EQ(Decode(stored).status, arc::GzipStatus::BadMethod);
    EXPECT_EQ(Decode("PK\x03\x04").status, arc::GzipStatus::NotGzip);
    // A name that never ends is refused at its bound, not collected for ever.
    std::string endless = std::string("\x1F\x8B\x08\x08\0\0\0\0\0\x03", 10) + std::string(200000, 'n');
    EXPECT_EQ(Decode(endless).status, arc::GzipStatus::BadData);
}

TEST(Gzip, DataInAnyPiecesAndConcatenatedMembers)
{
    std::string a = Text(100000), b = Text(5000);
    for (size_t piece : {size_t(1), size_t(9), size_t(4096), size_t(1) << 20}) {
        Result r = Decode(Gzip(a, 0x08, "a") + Gzip(b), piece);
        EXPECT_EQ(r.status, arc::GzipStatus::Ok) << piece;
        EXPECT_EQ(r.out, a + b);
    }
    EXPECT_EQ(Decode(Gzip(a) + std::string(100, '\0')).status, arc::GzipStatus::Ok); // padding after the stream
}

TEST(Gzip, TrailersAreChecked)
{
    std::string gz = Gzip(Text(50000));
    std::string badCrc = gz;
    badCrc[badCrc.size() - 8] ^= 1;
    EXPECT_EQ(Decode(badCrc).status, arc::GzipStatus::CrcMismatch);
    std::string badSize = gz;
    badSize[badSize.size() - 4] ^= 1;
    EXPECT_EQ(Decode(badSize).status, arc::GzipStatus::SizeMismatch);
    EXPECT_EQ(Decode(gz.substr(0, gz.size() - 3)).status, arc::GzipStatus::Truncated);
    EXPECT_EQ(Decode(gz.substr(0, gz.size() / 2)).status, arc::GzipStatus::Truncated);
    std::string broken = gz;
    broken[12] = static_cast<char>(0xFF); // an invalid block type
    broken[11] = static_cast<char>(0xFF);
    broken[10] = static_cast<char>(0xFF);
    EXPECT_EQ(Decode(broken).status, arc::GzipStatus::BadData);
}

TEST(Gzip, ContentIsTarOrOneFile)
{
    class Content : public arc::IGzipContent {
    public:
        bool OnEntry(const arc::TarEntry& e) override
        {
            names.push_back(e.name);
            return false;
        }
        bool OnData(const uint8_t*, size_t) override { return true; }
        void OnEntryEnd(bool) override {}
        void OnDamage(uint64_t, arc::TarProblem) override {}
        arc::IDataSink* OnSingleFile() override
        {
            ++singles;
            return &file;
        }
        std::vector<std::string> names;
        int singles = 0;
        CCollectSink file;
    };
    std::string tar = TarMember("a.txt", "a") + TarMember("b.txt", "b") + TarEnd();
    Content t;
    arc::CGzipContentSink sink(t);
    sink.Write(reinterpret_cast<const uint8_t*>(tar.data()), tar.size());
    sink.Finish();
    EXPECT_TRUE(sink.IsTar());
    EXPECT_EQ(t.names, (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(t.singles, 0);

    for (const std::string& plain : {std::string("short"), Text(3000)}) {
        Content f;
        arc::CGzipContentSink single(f);
        for (char c : plain) single.Write(reinterpret_cast<const uint8_t*>(&c), 1);
        single.Finish();
        EXPECT_FALSE(single.IsTar());
        EXPECT_EQ(f.singles, 1);
        EXPECT_EQ(f.file.bytes, plain);
    }
}
