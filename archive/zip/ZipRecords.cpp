// Field layouts of the local header, the central directory record and the end records.
#include "archive/zip/ZipRecords.h"
#include "archive/ByteSource.h"

namespace zip {

using arc::Get16;
using arc::Get32;
using arc::Get64;
using arc::Put16;
using arc::Put32;
using arc::Put64;

namespace {
uint32_t Clamp32(uint64_t v) { return v >= Escape32 ? Escape32 : static_cast<uint32_t>(v); }

// From "version needed" to the extra field's length, alike in both headers; the raw 32-bit sizes.
void ParseCommon(const uint8_t* p, ZipCommonFields& f, uint32_t& packed, uint32_t& unpacked)
{
    f.versionNeeded = Get16(p);
    f.flags = Get16(p + 2);
    f.method = Get16(p + 4);
    f.dosTime = Get16(p + 6);
    f.dosDate = Get16(p + 8);
    f.crc = Get32(p + 10);
    packed = Get32(p + 14);
    unpacked = Get32(p + 18);
    f.compressedSize = packed;
    f.uncompressedSize = unpacked;
}

void AppendCommon(std::string& out, const ZipCommonFields& f)
{
    Put16(out, f.versionNeeded);
    Put16(out, f.flags);
    Put16(out, f.method);
    Put16(out, f.dosTime);
    Put16(out, f.dosDate);
    Put32(out, f.crc);
    Put32(out, Clamp32(f.compressedSize));
    Put32(out, Clamp32(f.uncompressedSize));
    Put16(out, static_cast<uint16_t>(f.name.size()));
    Put16(out, static_cast<uint16_t>(f.extra.size()));
}

// Takes the zip64 values for the fields the fixed part escaped, in their fixed order.
void ApplyZip64(ZipEntry& entry, bool sizeEscaped, bool packedEscaped, bool offsetEscaped, bool diskEscaped)
{
    ForEachExtra(entry.extra, [&](uint16_t id, const uint8_t* data, size_t length) {
        if (id != ExtraZip64) return;
        size_t pos = 0;
        auto take = [&](uint64_t& field, bool escaped) {
            if (!escaped || pos + 8 > length) return;
            field = Get64(data + pos);
            pos += 8;
        };
        take(entry.uncompressedSize, sizeEscaped);
        take(entry.compressedSize, packedEscaped);
        take(entry.localHeaderOffset, offsetEscaped);
        if (diskEscaped && pos + 4 <= length) entry.diskStart = Get32(data + pos);
    });
}
}

bool ZipEntry::IsDirectory() const
{
    if (!name.empty() && (name.back() == '/' || name.back() == '\\')) return true;
    uint8_t host = Host();
    bool dosAttributes = host == HostDos || host == HostNtfs || host == HostVfat;
    return dosAttributes && (externalAttributes & 0x10);
}

bool ZipEntry::IsSymLink() const
{
    uint8_t host = Host();
    return (host == HostUnix || host == HostOsx) && ((externalAttributes >> 16) & 0xF000) == 0xA000;
}

size_t ParseCentralHeader(const uint8_t* p, size_t size, ZipEntry& entry)
{
    if (size < CentralHeaderSize || Get32(p) != CentralHeaderSignature) return 0;
    size_t nameLength = Get16(p + 28), extraLength = Get16(p + 30), commentLength = Get16(p + 32);
    size_t total = CentralHeaderSize + nameLength + extraLength + commentLength;
    if (size < total) return 0;
    entry.versionMadeBy = Get16(p + 4);
    uint32_t packed = 0, unpacked = 0;
    ParseCommon(p + 6, entry, packed, unpacked);
    uint32_t offset = Get32(p + 42);
    uint16_t disk = Get16(p + 34);
    entry.diskStart = disk;
    entry.internalAttributes = Get16(p + 36);
    entry.externalAttributes = Get32(p + 38);
    entry.localHeaderOffset = offset;
    const char* text = reinterpret_cast<const char*>(p + CentralHeaderSize);
    entry.name.assign(text, nameLength);
    entry.extra.assign(text + nameLength, extraLength);
    entry.comment.assign(text + nameLength + extraLength, commentLength);
    ApplyZip64(entry, unpacked == Escape32, packed == Escape32, offset == Escape32, disk == Escape16);
    return total;
}

size_t ParseLocalHeader(const uint8_t* p, size_t size, LocalHeader& header)
{
    if (size < LocalHeaderSize || Get32(p) != LocalHeaderSignature) return 0;
    size_t nameLength = Get16(p + 26), extraLength = Get16(p + 28);
    if (size < LocalHeaderSize + nameLength + extraLength) return 0;
    uint32_t packed = 0, unpacked = 0;
    ParseCommon(p + 4, header, packed, unpacked);
    const char* text = reinterpret_cast<const char*>(p + LocalHeaderSize);
    header.name.assign(text, nameLength);
    header.extra.assign(text + nameLength, extraLength);
    return LocalHeaderSize + nameLength + extraLength;
}

size_t ParseEndRecord(const uint8_t* p, size_t size, EndRecord& end)
{
    if (size < EndSize || Get32(p) != EndSignature) return 0;
    size_t commentLength = Get16(p + 20);
    if (size < EndSize + commentLength) return 0;
    end.diskNumber = Get16(p + 4);
    end.directoryDisk = Get16(p + 6);
    end.entriesOnDisk = Get16(p + 8);
    end.entries = Get16(p + 10);
    end.directorySize = Get32(p + 12);
    end.directoryOffset = Get32(p + 16);
    end.comment.assign(reinterpret_cast<const char*>(p + EndSize), commentLength);
    return EndSize + commentLength;
}

bool ParseZip64Locator(const uint8_t* p, size_t size, uint64_t& zip64EndOffset)
{
    if (size < Zip64LocatorSize || Get32(p) != Zip64LocatorSignature) return false;
    zip64EndOffset = Get64(p + 8);
    return true;
}

bool ParseZip64End(const uint8_t* p, size_t size, EndRecord& end)
{
    if (size < Zip64EndSize || Get32(p) != Zip64EndSignature) return false;
    end.diskNumber = Get32(p + 16);
    end.directoryDisk = Get32(p + 20);
    end.entriesOnDisk = Get64(p + 24);
    end.entries = Get64(p + 32);
    end.directorySize = Get64(p + 40);
    end.directoryOffset = Get64(p + 48);
    return true;
}

void AppendLocalHeader(std::string& out, const LocalHeader& header)
{
    Put32(out, LocalHeaderSignature);
    AppendCommon(out, header);
    out += header.name;
    out += header.extra;
}

void AppendCentralHeader(std::string& out, const ZipEntry& entry)
{
    Put32(out, CentralHeaderSignature);
    Put16(out, entry.versionMadeBy);
    AppendCommon(out, entry);
    Put16(out, static_cast<uint16_t>(entry.comment.size()));
    Put16(out, entry.diskStart >= Escape16 ? Escape16 : static_cast<uint16_t>(entry.diskStart));
    Put16(out, entry.internalAttributes);
    Put32(out, entry.externalAttributes);
    Put32(out, Clamp32(entry.localHeaderOffset));
    out += entry.name;
    out += entry.extra;
    out += entry.comment;
}

bool NeedsZip64(const EndRecord& end)
{
    return end.diskNumber >= Escape16 || end.directoryDisk >= Escape16 || end.entries >= Escape16 || end.entriesOnDisk >= Escape16 || end.directorySize >= Escape32 ||
           end.directoryOffset >= Escape32;
}

void AppendEndRecords(std::string& out, const EndRecord& end, uint64_t endOffset, bool forceZip64)
{
    bool zip64 = forceZip64 || NeedsZip64(end);
    if (zip64) {
        Put32(out, Zip64EndSignature);
        Put64(out, Zip64EndSize - 12);
        Put16(out, 45);
        Put16(out, 45);
        Put32(out, end.diskNumber);
        Put32(out, end.directoryDisk);
        Put64(out, end.entriesOnDisk);
        Put64(out, end.entries);
        Put64(out, end.directorySize);
        Put64(out, end.directoryOffset);
        // The zip64 end record sits on the last disk, beside this locator.
        Put32(out, Zip64LocatorSignature);
        Put32(out, end.diskNumber);
        Put64(out, endOffset);
        Put32(out, end.diskNumber + 1);
    }
    auto clamp16 = [&](uint64_t v) { return zip64 && v >= Escape16 ? Escape16 : static_cast<uint16_t>(v); };
    Put32(out, EndSignature);
    Put16(out, clamp16(end.diskNumber));
    Put16(out, clamp16(end.directoryDisk));
    Put16(out, clamp16(end.entriesOnDisk));
    Put16(out, clamp16(end.entries));
    Put32(out, Clamp32(end.directorySize));
    Put32(out, Clamp32(end.directoryOffset));
    Put16(out, static_cast<uint16_t>(end.comment.size()));
    out += end.comment;
}

std::string MakeZip64Extra(const ZipEntry& entry)
{
    std::string data;
    if (entry.uncompressedSize >= Escape32) Put64(data, entry.uncompressedSize);
    if (entry.compressedSize >= Escape32) Put64(data, entry.compressedSize);
    if (entry.localHeaderOffset >= Escape32) Put64(data, entry.localHeaderOffset);
    if (entry.diskStart >= Escape16) Put32(data, entry.diskStart);
    if (data.empty()) return data;
    std::string block;
    Put16(block, ExtraZip64);
    Put16(block, static_cast<uint16_t>(data.size()));
    return block + data;
}

std::string FindExtra(const std::string& extra, uint16_t id)
{
    std::string found;
    ForEachExtra(extra, [&](uint16_t blockId, const uint8_t* data, size_t length) {
        if (blockId == id && found.empty()) found.assign(reinterpret_cast<const char*>(data), length);
    });
    return found;
}

} // namespace zip
