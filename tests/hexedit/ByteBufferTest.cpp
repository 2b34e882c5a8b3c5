// The byte buffer and the paged file: growth, insertion, removal and their failures.
#include "tools/hexedit/HexDocument.h"
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

using hex::CByteBuffer;
using hex::Offset;

namespace {
std::string Bytes(const CByteBuffer& b) { return std::string(reinterpret_cast<const char*>(b.Data()), b.Size()); }

void Fill(CByteBuffer& b, const std::string& text)
{
    ASSERT_TRUE(b.SetCapacity(static_cast<Offset>(text.size())));
    b.SetLast(static_cast<Offset>(text.size()) - 1);
    std::memcpy(b.Data(), text.data(), text.size());
}

struct AllocationFailure {
    explicit AllocationFailure(Offset above) { hex::SetAllocationFailureAbove(above); }
    ~AllocationFailure() { hex::SetAllocationFailureAbove(-1); }
};
}

TEST(ByteBuffer, CapacityCutsEmptiesAndRefusesNegatives)
{
    CByteBuffer b;
    EXPECT_EQ(b.Size(), 0);
    Fill(b, "abcdef");
    EXPECT_FALSE(b.SetCapacity(-1));
    EXPECT_EQ(Bytes(b), "abcdef");
    ASSERT_TRUE(b.SetCapacity(20));
    EXPECT_EQ(b.Capacity(), 20);
    EXPECT_EQ(Bytes(b), "abcdef");
    ASSERT_TRUE(b.SetCapacity(3));
    EXPECT_EQ(Bytes(b), "abc");
    ASSERT_TRUE(b.SetCapacity(0));
    EXPECT_EQ(b.Size(), 0);
    EXPECT_EQ(b.Last(), -1);
    b.SetLast(5); // beyond the capacity: ignored
    EXPECT_EQ(b.Last(), -1);
}

TEST(ByteBuffer, AFailedAllocationKeepsTheOldBuffer)
{
    CByteBuffer b;
    Fill(b, "keep me");
    {
        AllocationFailure fail(100);
        EXPECT_FALSE(b.SetCapacity(101));
        EXPECT_FALSE(b.InsertAt(0, 'x', 200));
        EXPECT_FALSE(b.SetAtGrow(500, 'x'));
    }
    EXPECT_EQ(Bytes(b), "keep me");
    EXPECT_EQ(b.Capacity(), 7);
}

TEST(ByteBuffer, GrowRoundsUpToTheStep)
{
    CByteBuffer b;
    ASSERT_TRUE(b.Grow(1));
    EXPECT_EQ(b.Capacity(), 100);
    ASSERT_TRUE(b.Grow(100));
    EXPECT_EQ(b.Capacity(), 200);
    ASSERT_TRUE(b.Grow(101));
    EXPECT_EQ(b.Capacity(), 400);
    b.SetGrowStep(16);
    ASSERT_TRUE(b.Grow(17));
    EXPECT_EQ(b.Capacity(), 432);
    EXPECT_FALSE(b.Grow(INT64_MAX)); // the sum would overflow
    EXPECT_EQ(b.Capacity(), 432);
}

TEST(ByteBuffer, SetAtGrowStoresAndFillsTheGapWithZeros)
{
    CByteBuffer b;
    ASSERT_TRUE(b.SetAtGrow(0, 'a'));
    ASSERT_TRUE(b.SetAtGrow(3, 'd'));
    EXPECT_EQ(Bytes(b), std::string("a\0\0d", 4));
    ASSERT_TRUE(b.SetAtGrow(1, 'b'));
    EXPECT_EQ(b.Size(), 4);
    EXPECT_FALSE(b.SetAtGrow(-1, 'x'));
}

TEST(ByteBuffer, InsertAtInsideAtTheEndAndBeyond)
{
    CByteBuffer b;
    Fill(b, "abef");
    ASSERT_TRUE(b.InsertAt(2, 'x', 2));
    EXPECT_EQ(Bytes(b), "abxxef");
    ASSERT_TRUE(b.InsertAt(0, '>', 1));
    EXPECT_EQ(Bytes(b), ">abxxef");
    ASSERT_TRUE(b.InsertAt(7, '<', 1));
    EXPECT_EQ(Bytes(b), ">abxxef<");
    ASSERT_TRUE(b.InsertAt(10, 'z', 2));
    EXPECT_EQ(Bytes(b), std::string(">abxxef<\0\0zz", 12));
    EXPECT_FALSE(b.InsertAt(-1, 'x', 1));
    EXPECT_FALSE(b.InsertAt(0, 'x', 0));
    EXPECT_FALSE(b.InsertAt(0, 'x', INT64_MAX));
    EXPECT_EQ(b.Size(), 12);
}

TEST(ByteBuffer, RemoveAtMovesDownOrCutsAndRefusesOutsideRanges)
{
    CByteBuffer b;
    Fill(b, "0123456789");
    ASSERT_TRUE(b.RemoveAt(2, 3));
    EXPECT_EQ(Bytes(b), "0156789");
    ASSERT_TRUE(b.RemoveAt(5, 10)); // fewer than 10 follow: cut there
    EXPECT_EQ(Bytes(b), "01567");
    EXPECT_FALSE(b.RemoveAt(-1, 1));
    EXPECT_FALSE(b.RemoveAt(5, 1));
    EXPECT_FALSE(b.RemoveAt(0, 0));
    ASSERT_TRUE(b.RemoveAt(4, 1));
    EXPECT_EQ(Bytes(b), "0156");
}

namespace {
// A file in memory that counts what was read and written, and can fail reads.
class MemoryFile : public hex::IFileAccess {
public:
    explicit MemoryFile(std::vector<uint8_t>* bytes) : bytes(bytes) {}
    bool ReadAt(Offset offset, uint8_t* out, size_t n) override
    {
        ++reads;
        if (failReads || offset + static_cast<Offset>(n) > static_cast<Offset>(bytes->size())) return false;
        std::memcpy(out, bytes->data() + offset, n);
        return true;
    }
    bool WriteAt(Offset offset, const uint8_t* data, size_t n) override
    {
        if (failWrites) return false;
        std::memcpy(bytes->data() + offset, data, n);
        writes.push_back(offset);
        return true;
    }
    std::vector<uint8_t>* bytes;
    int reads = 0;
    bool failReads = false, failWrites = false;
    std::vector<Offset> writes;
};

std::vector<uint8_t> Pattern(size_t n)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return v;
}
}

TEST(PagedFile, ReadsAcrossPagesThroughABoundedCache)
{
    constexpr size_t Page = hex::CPagedFile::PageSize;
    std::vector<uint8_t> disk = Pattern(Page * 40 + 123);
    auto file = std::make_unique<MemoryFile>(&disk);
    MemoryFile* raw = file.get();
    hex::CPagedFile paged(std::move(file), static_cast<Offset>(disk.size()));
    std::vector<uint8_t> out(300);
    ASSERT_TRUE(paged.Read(Page - 150, out.data(), out.size()));
    EXPECT_TRUE(std::equal(out.begin(), out.end(), disk.begin() + (Page - 150)));
    EXPECT_EQ(raw->reads, 2);
    ASSERT_TRUE(paged.Read(Page - 150, out.data(), out.size()));
    EXPECT_EQ(raw->reads, 2); // both pages were cached
    for (size_t p = 0; p < 40; ++p) ASSERT_TRUE(paged.Read(static_cast<Offset>(p * Page), out.data(), 10));
    EXPECT_LE(paged.PagesHeld(), hex::CPagedFile::CachedPages);
    ASSERT_TRUE(paged.Read(static_cast<Offset>(disk.size()) - 123, out.data(), 123)); // the short last page
    EXPECT_FALSE(paged.Read(static_cast<Offset>(disk.size()) - 10, out.data(), 11));
    EXPECT_FALSE(paged.Read(-1, out.data(), 1));
}

TEST(PagedFile, ChangesStayUntilWrittenInPlaceAndSurviveAFailedWrite)
{
    constexpr size_t Page = hex::CPagedFile::PageSize;
    std::vector<uint8_t> disk = Pattern(Page * 3);
    const std::vector<uint8_t> original = disk;
    hex::CPagedFile paged(std::make_unique<MemoryFile>(&disk), static_cast<Offset>(disk.size()));
    const uint8_t change[] = {0xAA, 0xBB, 0xCC, 0xDD};
    ASSERT_TRUE(paged.Write(Page * 2 - 2, change, 4)); // across pages 1 and 2
    // Many reads later the changed pages are still held.
    std::vector<uint8_t> out(4);
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(paged.Read(static_cast<Offset>(i % 3) * Page, out.data(), 4));
    ASSERT_TRUE(paged.Read(Page * 2 - 2, out.data(), 4));
    EXPECT_EQ(out, std::vector<uint8_t>(change, change + 4));
    EXPECT_EQ(disk, original);
    EXPECT_TRUE(paged.HasChanges());

    std::vector<uint8_t> copy = original;
    MemoryFile broken(&copy);
    broken.failWrites = true;
    EXPECT_FALSE(paged.WriteChanges(broken));
    EXPECT_TRUE(paged.HasChanges());

    MemoryFile target(&disk);
    ASSERT_TRUE(paged.WriteChanges(target));
    EXPECT_EQ(target.writes, (std::vector<Offset>{static_cast<Offset>(Page), static_cast<Offset>(Page * 2)}));
    EXPECT_FALSE(paged.HasChanges());
    EXPECT_EQ(disk[Page * 2 - 2], 0xAA);
    EXPECT_EQ(disk[Page * 2 + 1], 0xDD);
    EXPECT_EQ(disk[0], original[0]);
}

TEST(PagedFile, AFailedReadIsReportedNotInvented)
{
    std::vector<uint8_t> disk = Pattern(1000);
    auto file = std::make_unique<MemoryFile>(&disk);
    file->failReads = true;
    hex::CHexDocument doc;
    doc.OpenPaged(std::move(file), 1000);
    uint8_t byte = 0x55;
    EXPECT_FALSE(doc.Read(10, &byte, 1));
    EXPECT_FALSE(doc.Write(10, 1));
    EXPECT_EQ(doc.At(10), 0);
    EXPECT_EQ(doc.Size(), 1000);
    EXPECT_TRUE(doc.IsPaged());
    EXPECT_EQ(doc.Contiguous(), nullptr);
}
