// Block headers of both rar formats, checked by their CRCs, and stored members' data.
#include "archive/rar/RarFormat.h"
#include <algorithm>
#include <cstring>
#include <vector>

namespace rar {

using arc::Get16;
using arc::Get32;
using arc::Get64;

namespace {
const uint8_t Marker4[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
const uint8_t Marker5[8] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
constexpr uint8_t Main4 = 0x73, File4 = 0x74, Service4 = 0x7A, End4 = 0x7B;
constexpr uint64_t Main5 = 1, File5 = 2, Service5 = 3, Crypt5 = 4, End5 = 5;
constexpr uint16_t Long4 = 0x8000, Large4 = 0x0100, Unicode4 = 0x0200, Password4 = 0x0004, Solid4 = 0x0010;
constexpr uint16_t HeadersEncrypted4 = 0x0080, Volume4 = 0x0001;
constexpr size_t FileFixed4 = 32, Chunk = 256 * 1024;

bool ReadVint(const uint8_t* p, size_t size, size_t& pos, uint64_t& value)
{
    value = 0;
    for (int shift = 0; shift < 70 && pos < size; shift += 7) {
        uint8_t b = p[pos++];
        if (shift == 63 && (b & 0x7E)) return false;
        value |= static_cast<uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) return true;
    }
    return false;
}

bool IsUnixLink(uint8_t host, uint32_t attributes, int format)
{
    bool unix = format == 5 ? host == 1 : host == 3;
    return unix && (attributes & 0xF000) == 0xA000;
}
}

std::wstring DecodeRarUnicodeName(const uint8_t* plain, size_t plainSize, const uint8_t* encoded, size_t encodedSize)
{
    std::wstring out;
    if (encodedSize == 0) return out;
    unsigned high = encoded[0];
    size_t pos = 1;
    unsigned flags = 0;
    int flagBits = 0;
    while (pos < encodedSize) {
        if (flagBits == 0) {
            flags = encoded[pos++];
            flagBits = 8;
            if (pos >= encodedSize) break;
        }
        switch (flags >> 6 & 3) {
        case 0: out += static_cast<wchar_t>(encoded[pos++]); break;
        case 1: out += static_cast<wchar_t>(encoded[pos++] | high << 8); break;
        case 2:
            if (pos + 1 >= encodedSize) return out;
            out += static_cast<wchar_t>(encoded[pos] | encoded[pos + 1] << 8);
            pos += 2;
            break;
        case 3: {
            // A run taken from the plain name, optionally shifted by a correction into the high page.
            unsigned length = encoded[pos++];
            if (length & 0x80) {
                if (pos >= encodedSize) return out;
                unsigned correction = encoded[pos++];
                for (length = (length & 0x7F) + 2; length > 0 && out.size() < plainSize; --length)
                    out += static_cast<wchar_t>(((plain[out.size()] + correction) & 0xFF) | high << 8);
            } else {
                for (length += 2; length > 0 && out.size() < plainSize; --length)
                    out += static_cast<wchar_t>(plain[out.size()]);
            }
            break;
        }
        }
        flags = (flags << 2) & 0xFF;
        flagBits -= 2;
    }
    return out;
}

RarStatus CRarReader::Open(arc::IByteSource& archive)
{
    source = &archive;
    uint8_t marker[8] = {};
    size_t got = static_cast<size_t>(std::min<uint64_t>(archive.Size(), sizeof(marker)));
    if (!arc::ReadExact(archive, 0, marker, got)) return RarStatus::NotRar;
    if (got >= 8 && std::memcmp(marker, Marker5, 8) == 0) {
        format = 5;
        position = 8;
        // The main header, or the encryption header that hides every other one.
        RarEntry unused;
        RarStatus status = Next5(unused);
        if (status == RarStatus::Ok) return RarStatus::Damaged; // a member before the main header
        return status == RarStatus::End ? RarStatus::Ok : status;
    }
    if (got < 7 || std::memcmp(marker, Marker4, 7) != 0) return RarStatus::NotRar;
    format = 4;
    uint8_t base[7];
    if (!arc::ReadExact(archive, 7, base, sizeof(base)) || base[2] != Main4) return RarStatus::Damaged;
    uint16_t flags = Get16(base + 3), size = Get16(base + 5);
    std::vector<uint8_t> header(size);
    if (size < 7 || !arc::ReadExact(archive, 7, header.data(), size)) return RarStatus::Damaged;
    if ((arc::Crc32(0, header.data() + 2, size - 2) & 0xFFFF) != Get16(header.data())) return RarStatus::Damaged;
    if (flags & HeadersEncrypted4) return RarStatus::EncryptedHeaders;
    volume = (flags & Volume4) != 0;
    position = 7 + size;
    return RarStatus::Ok;
}

RarStatus CRarReader::Next(RarEntry& entry)
{
    entry = RarEntry();
    entry.format = format;
    if (format == 4) return Next4(entry);
    if (format == 5) return Next5(entry);
    return RarStatus::NotRar;
}

RarStatus CRarReader::Next4(RarEntry& entry)
{
    for (;;) {
        uint64_t fileSize = source->Size();
        if (position >= fileSize) return position == fileSize ? RarStatus::End : RarStatus::Damaged;
        uint8_t base[7];
        if (!arc::ReadExact(*source, position, base, sizeof(base))) return RarStatus::Damaged;
        uint8_t type = base[2];
        uint16_t flags = Get16(base + 3), size = Get16(base + 5);
        if (size < 7) return RarStatus::Damaged;
        std::vector<uint8_t> h(size);
        if (!arc::ReadExact(*source, position, h.data(), size)) return RarStatus::Damaged;
        if ((arc::Crc32(0, h.data() + 2, size - 2) & 0xFFFF) != Get16(h.data())) return RarStatus::Damaged;
        uint64_t added = 0;
        if (flags & Long4) {
            if (size < 11) return RarStatus::Damaged;
            added = Get32(&h[7]);
            if ((type == File4 || type == Service4) && (flags & Large4) && size >= FileFixed4 + 8)
                added |= static_cast<uint64_t>(Get32(&h[FileFixed4])) << 32;
        }
        if (type == File4) {
            RarStatus status = ParseFile4(h.data(), size, flags, entry);
            if (status != RarStatus::Ok) return status;
            entry.dataOffset = position + size;
            position = entry.dataOffset + entry.packedSize;
            return RarStatus::Ok;
        }
        if (type == End4) return RarStatus::End;
        position += size + added;
    }
}

RarStatus CRarReader::ParseFile4(const uint8_t* h, size_t size, uint16_t flags, RarEntry& entry)
{
    size_t nameAt = FileFixed4 + ((flags & Large4) ? 8 : 0);
    if (size < nameAt) return RarStatus::Damaged;
    entry.packedSize = Get32(h + 7);
    entry.unpackedSize = Get32(h + 11);
    if (flags & Large4) {
        entry.packedSize |= static_cast<uint64_t>(Get32(h + 32)) << 32;
        entry.unpackedSize |= static_cast<uint64_t>(Get32(h + 36)) << 32;
    }
    entry.hostOs = h[15];
    entry.crc = Get32(h + 16);
    entry.hasCrc = true;
    entry.dosTime = Get32(h + 20);
    entry.version = h[24];
    entry.method = h[25] >= 0x30 ? h[25] - 0x30u : h[25];
    size_t nameSize = Get16(h + 26);
    entry.attributes = Get32(h + 28);
    if (nameSize > size - nameAt) return RarStatus::Damaged;
    const uint8_t* name = h + nameAt;
    const uint8_t* zero = static_cast<const uint8_t*>(std::memchr(name, 0, nameSize));
    if ((flags & Unicode4) && zero) {
        size_t plain = static_cast<size_t>(zero - name);
        entry.name.assign(reinterpret_cast<const char*>(name), plain);
        entry.wideName = DecodeRarUnicodeName(name, plain, zero + 1, nameSize - plain - 1);
        entry.charset = RarNameCharset::Wide;
    } else {
        entry.name.assign(reinterpret_cast<const char*>(name), zero ? static_cast<size_t>(zero - name) : nameSize);
        entry.charset = (flags & Unicode4) ? RarNameCharset::Utf8 : RarNameCharset::Oem;
    }
    entry.directory = (flags & 0x00E0) == 0x00E0 || (entry.hostOs != 3 && (entry.attributes & 0x10));
    entry.encrypted = (flags & Password4) != 0;
    entry.solid = (flags & Solid4) != 0;
    entry.splitBefore = (flags & 0x01) != 0;
    entry.splitAfter = (flags & 0x02) != 0;
    entry.link = IsUnixLink(entry.hostOs, entry.attributes, 4);
    return RarStatus::Ok;
}

RarStatus CRarReader::Next5(RarEntry& entry)
{
    for (;;) {
        uint64_t fileSize = source->Size();
        if (position >= fileSize) return position == fileSize ? RarStatus::End : RarStatus::Damaged;
        uint8_t head[14];
        size_t got = static_cast<size_t>(std::min<uint64_t>(sizeof(head), fileSize - position));
        if (got < 6 || !arc::ReadExact(*source, position, head, got)) return RarStatus::Damaged;
        size_t sizeEnd = 4;
        uint64_t headerSize = 0;
        if (!ReadVint(head, got, sizeEnd, headerSize) || headerSize == 0 || headerSize > MaxHeaderSize)
            return RarStatus::Damaged;
        size_t blockSize = sizeEnd - 4 + static_cast<size_t>(headerSize);
        std::vector<uint8_t> block(blockSize);
        if (!arc::ReadExact(*source, position + 4, block.data(), blockSize)) return RarStatus::Damaged;
        if (arc::Crc32(0, block.data(), blockSize) != Get32(head)) return RarStatus::Damaged;
        size_t pos = sizeEnd - 4;
        uint64_t type = 0, flags = 0, extraSize = 0, dataSize = 0;
        if (!ReadVint(block.data(), blockSize, pos, type) || !ReadVint(block.data(), blockSize, pos, flags))
            return RarStatus::Damaged;
        if ((flags & 1) && !ReadVint(block.data(), blockSize, pos, extraSize)) return RarStatus::Damaged;
        if ((flags & 2) && !ReadVint(block.data(), blockSize, pos, dataSize)) return RarStatus::Damaged;
        if (extraSize > blockSize - pos) return RarStatus::Damaged;
        uint64_t dataOffset = position + 4 + blockSize;
        if (dataSize > UINT64_MAX - dataOffset) return RarStatus::Damaged;
        position = dataOffset + dataSize;
        switch (type) {
        case Main5: {
            uint64_t archiveFlags = 0;
            if (!ReadVint(block.data(), blockSize, pos, archiveFlags)) return RarStatus::Damaged;
            volume = (archiveFlags & 1) != 0;
            if (entry.format == 0) return RarStatus::End; // Open's probe stops at the main header
            break;
        }
        case File5: {
            RarStatus status = ParseFile5(block.data(), blockSize, pos, flags, extraSize, entry);
            if (status != RarStatus::Ok) return status;
            entry.dataOffset = dataOffset;
            entry.packedSize = dataSize;
            return RarStatus::Ok;
        }
        case Crypt5: return RarStatus::EncryptedHeaders;
        case End5: return RarStatus::End;
        case Service5:
        default: break;
        }
    }
}

RarStatus CRarReader::ParseFile5(const uint8_t* h, size_t size, size_t pos, uint64_t headerFlags, uint64_t extraSize,
                                 RarEntry& entry)
{
    size_t extraAt = size - static_cast<size_t>(extraSize);
    uint64_t fileFlags = 0, unpacked = 0, attributes = 0, compression = 0, host = 0, nameLength = 0;
    if (!ReadVint(h, extraAt, pos, fileFlags) || !ReadVint(h, extraAt, pos, unpacked) ||
        !ReadVint(h, extraAt, pos, attributes))
        return RarStatus::Damaged;
    if (fileFlags & 2) {
        if (extraAt - pos < 4) return RarStatus::Damaged;
        entry.unixTime = Get32(h + pos);
        entry.hasUnixTime = true;
        pos += 4;
    }
    if (fileFlags & 4) {
        if (extraAt - pos < 4) return RarStatus::Damaged;
        entry.crc = Get32(h + pos);
        entry.hasCrc = true;
        pos += 4;
    }
    if (!ReadVint(h, extraAt, pos, compression) || !ReadVint(h, extraAt, pos, host) ||
        !ReadVint(h, extraAt, pos, nameLength) || nameLength > extraAt - pos)
        return RarStatus::Damaged;
    entry.name.assign(reinterpret_cast<const char*>(h + pos), static_cast<size_t>(nameLength));
    entry.charset = RarNameCharset::Utf8;
    entry.unpackedSize = unpacked;
    entry.attributes = static_cast<uint32_t>(attributes);
    entry.hostOs = static_cast<uint8_t>(host);
    entry.directory = (fileFlags & 1) != 0;
    entry.version = static_cast<unsigned>(compression & 0x3F);
    entry.solid = (compression & 0x40) != 0;
    entry.method = static_cast<unsigned>((compression >> 7) & 7);
    entry.splitBefore = (headerFlags & 0x08) != 0;
    entry.splitAfter = (headerFlags & 0x10) != 0;
    entry.link = IsUnixLink(entry.hostOs, entry.attributes, 5);
    // Extra records: size, type, data.
    for (size_t at = extraAt; at < size;) {
        uint64_t recordSize = 0, recordType = 0;
        if (!ReadVint(h, size, at, recordSize) || recordSize == 0 || recordSize > size - at) return RarStatus::Damaged;
        size_t recordEnd = at + static_cast<size_t>(recordSize);
        if (!ReadVint(h, recordEnd, at, recordType)) return RarStatus::Damaged;
        if (recordType == 1) entry.encrypted = true;
        if (recordType == 5) entry.link = true;
        if (recordType == 3) {
            uint64_t timeFlags = 0;
            if (ReadVint(h, recordEnd, at, timeFlags) && (timeFlags & 2)) {
                if ((timeFlags & 1) && recordEnd - at >= 4) {
                    entry.unixTime = Get32(h + at);
                    entry.hasUnixTime = true;
                } else if (!(timeFlags & 1) && recordEnd - at >= 8) {
                    constexpr uint64_t Epoch = 116444736000000000ull;
                    uint64_t ft = Get64(h + at);
                    entry.unixTime = static_cast<int64_t>(ft / 10000000) - static_cast<int64_t>(Epoch / 10000000);
                    entry.hasUnixTime = true;
                }
            }
        }
        at = recordEnd;
    }
    return RarStatus::Ok;
}

RarStatus CRarReader::ExtractStored(const RarEntry& entry, arc::IDataSink& sink)
{
    if (entry.encrypted || entry.method != 0 || entry.splitBefore || entry.splitAfter || entry.directory || entry.link)
        return RarStatus::Unsupported;
    if (entry.packedSize != entry.unpackedSize) return RarStatus::Damaged;
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(Chunk, std::max<uint64_t>(entry.packedSize, 1))));
    uint64_t at = entry.dataOffset, remaining = entry.packedSize;
    uint32_t crc = 0;
    while (remaining > 0) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), remaining));
        if (!arc::ReadExact(*source, at, buffer.data(), n)) return RarStatus::Truncated;
        crc = arc::Crc32(crc, buffer.data(), n);
        if (!sink.Write(buffer.data(), n)) return RarStatus::Stopped;
        at += n;
        remaining -= n;
    }
    if (entry.hasCrc && crc != entry.crc) return RarStatus::CrcMismatch;
    return RarStatus::Ok;
}

} // namespace rar
