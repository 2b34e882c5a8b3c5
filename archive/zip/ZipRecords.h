// The records of the zip format, read and written by one set of functions so that the reader
// and the packer agree on every field.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace zip {

constexpr uint32_t LocalHeaderSignature = 0x04034B50;
constexpr uint32_t CentralHeaderSignature = 0x02014B50;
constexpr uint32_t EndSignature = 0x06054B50;
constexpr uint32_t Zip64EndSignature = 0x06064B50;
constexpr uint32_t Zip64LocatorSignature = 0x07064B50;
constexpr uint32_t DataDescriptorSignature = 0x08074B50;
constexpr size_t LocalHeaderSize = 30, CentralHeaderSize = 46, EndSize = 22;
constexpr size_t Zip64EndSize = 56, Zip64LocatorSize = 20, EncryptionHeaderSize = 12;
constexpr uint32_t Escape32 = 0xFFFFFFFF;
constexpr uint16_t Escape16 = 0xFFFF;

constexpr uint16_t FlagEncrypted = 0x0001, FlagDataDescriptor = 0x0008, FlagStrongEncryption = 0x0040,
                   FlagUtf8 = 0x0800;
constexpr uint16_t MethodStored = 0, MethodDeflated = 8, MethodAes = 99;
constexpr uint16_t ExtraZip64 = 0x0001, ExtraNtfs = 0x000A, ExtraUnixTime = 0x5455, ExtraUnicodePath = 0x7075,
                   ExtraAes = 0x9901;
// Hosts in the high byte of "version made by".
constexpr uint8_t HostDos = 0, HostUnix = 3, HostNtfs = 10, HostVfat = 14, HostOsx = 19;

// The fields a local header and its central directory record share.
struct ZipCommonFields {
    uint16_t versionNeeded = 20, flags = 0, method = 0, dosTime = 0, dosDate = 0;
    uint32_t crc = 0;
    uint64_t compressedSize = 0, uncompressedSize = 0;
    std::string name, extra;
};

// One central directory record; sizes and offset are the real ones, zip64 values applied.
struct ZipEntry : ZipCommonFields {
    uint16_t versionMadeBy = 0;
    uint32_t diskStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    uint64_t localHeaderOffset = 0;
    std::string comment;

    uint8_t Host() const { return static_cast<uint8_t>(versionMadeBy >> 8); }
    bool IsEncrypted() const { return (flags & FlagEncrypted) != 0; }
    bool IsDirectory() const;
    bool IsSymLink() const;
};

using LocalHeader = ZipCommonFields;

// The end of the central directory, the zip64 record's values taken when there is one.
struct EndRecord {
    uint32_t diskNumber = 0, directoryDisk = 0;
    uint64_t entriesOnDisk = 0, entries = 0, directorySize = 0, directoryOffset = 0;
    std::string comment;
};

// Each parser returns the bytes the record takes, or 0 when the bytes are too few or not that record.
size_t ParseCentralHeader(const uint8_t* p, size_t size, ZipEntry& entry);
size_t ParseLocalHeader(const uint8_t* p, size_t size, LocalHeader& header);
size_t ParseEndRecord(const uint8_t* p, size_t size, EndRecord& end);
// The zip64 locator gives the offset of the zip64 end record.
bool ParseZip64Locator(const uint8_t* p, size_t size, uint64_t& zip64EndOffset);
// Replaces the escaped fields of end with the zip64 record's values.
bool ParseZip64End(const uint8_t* p, size_t size, EndRecord& end);

void AppendLocalHeader(std::string& out, const LocalHeader& header);
// Sizes and offset that do not fit in 32 bits are escaped; their zip64 field must be in entry.extra.
void AppendCentralHeader(std::string& out, const ZipEntry& entry);
// The zip64 end record and locator (when needed or forced), then the classic end record.
void AppendEndRecords(std::string& out, const EndRecord& end, uint64_t endOffset, bool forceZip64 = false);
bool NeedsZip64(const EndRecord& end);

// The extra field of an entry as a series of (id, data) blocks; false when a block runs past the end.
template <typename F>
bool ForEachExtra(const std::string& extra, F&& visit)
{
    size_t pos = 0;
    const auto* p = reinterpret_cast<const uint8_t*>(extra.data());
    while (pos + 4 <= extra.size()) {
        uint16_t id = static_cast<uint16_t>(p[pos] | p[pos + 1] << 8);
        size_t length = static_cast<size_t>(p[pos + 2] | p[pos + 3] << 8);
        if (length > extra.size() - pos - 4) return false;
        visit(id, p + pos + 4, length);
        pos += 4 + length;
    }
    return true;
}
// The zip64 block for the escaped fields of an entry (original size, compressed size, offset, in that order).
std::string MakeZip64Extra(const ZipEntry& entry);
// The block of a given id, or empty.
std::string FindExtra(const std::string& extra, uint16_t id);

} // namespace zip
