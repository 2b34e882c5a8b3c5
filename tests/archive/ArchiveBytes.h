// Archives written byte by byte in the tests: tar, gzip, zip and both rar formats, including
// the damaged and hostile kinds no tool writes. Independent of the readers under test.
#pragma once
#include "archive/ByteSource.h"
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace test {

void Le16(std::string& out, uint32_t v);
void Le32(std::string& out, uint32_t v);
void Le64(std::string& out, uint64_t v);
uint32_t CrcOf(const std::string& data);
std::string Deflate(const std::string& data);

// ---- tar
struct TarFields {
    std::string name;
    uint64_t size = 0;
    char type = '0';
    std::string linkName;
    std::string prefix;       // ustar prefix
    bool ustar = true;
    bool gnuMagic = false;
    bool base256Size = false; // the size field in GNU's base-256 form
    int64_t mtime = 1614834367;
    int checksumDelta = 0;    // added to the stored checksum: a damaged header
};
std::string TarHeader(const TarFields& fields);
// A header, the data and the padding to the next block.
std::string TarMember(const std::string& name, const std::string& data, char type = '0');
std::string TarPax(const std::map<std::string, std::string>& records, char type = 'x');
std::string TarGnuLong(const std::string& value, char type = 'L');
std::string TarEnd();

// ---- gzip
std::string Gzip(const std::string& data, uint8_t flags = 0, const std::string& name = "", uint32_t mtime = 0);

// ---- zip
struct ZipFields {
    std::string name;
    std::string data;            // what the member holds
    uint16_t method = 0;         // 0 stored, 8 deflated, or anything to claim
    uint16_t flags = 0;
    uint16_t versionMadeBy = 0x031E; // Unix
    uint32_t externalAttributes = 0;
    uint16_t dosTime = 0x28C3, dosDate = 0x5264;
    std::string centralExtra;
    int64_t claimedSize = -1;    // the uncompressed size the directory claims, -1 the true one
    int64_t claimedOffset = -1;  // the local header offset the directory claims
    uint32_t crcDelta = 0;       // added to the true CRC
    std::string password;        // traditional encryption when not empty
};
// Members, then the central directory and the end record (zip64 records when forced).
std::string Zip(const std::vector<ZipFields>& members, bool zip64 = false);

// ---- rar
struct RarFields {
    std::string name;            // UTF-8 for RAR 5, bytes for RAR 4
    std::wstring unicodeName;    // RAR 4: stored in the encoded Unicode form when not empty
    std::string data;
    bool directory = false;
    bool compressed = false;     // claims a compression method (the data is left as it is)
    bool encrypted = false;
    uint32_t dosTime = 0x526428C3; // 2021-03-04 05:06:06
    uint32_t unixTime = 1614834367;
    int crcDelta = 0;
};
std::string Rar4(const std::vector<RarFields>& members, bool encryptedHeaders = false);
std::string Rar5(const std::vector<RarFields>& members);
// The encoded Unicode name of a RAR 4 header, using every one of the four ways of writing a character.
std::string EncodeRarName(const std::string& plain, const std::wstring& name);

// A source with a few stretches of bytes far apart and zeros between them (archives of many GB).
class CSparseSource : public arc::IByteSource {
public:
    void Put(uint64_t offset, const std::string& bytes) { pieces[offset] = bytes; size = std::max(size, offset + bytes.size()); }
    void SetSize(uint64_t total) { size = total; }
    uint64_t Size() const override { return size; }
    int64_t ReadAt(uint64_t offset, void* buffer, size_t count) override;

private:
    std::map<uint64_t, std::string> pieces;
    uint64_t size = 0;
};

// Collects what a reader hands over, optionally refusing after a number of bytes.
class CCollectSink : public arc::IDataSink {
public:
    bool Write(const uint8_t* data, size_t size) override;
    std::string bytes;
    size_t refuseAfter = SIZE_MAX;
};

} // namespace test
