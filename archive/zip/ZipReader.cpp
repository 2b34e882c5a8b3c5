// Central directory reading with zip64 and prepended data, and member extraction with checks.
#include "archive/zip/ZipReader.h"
#include "archive/zip/ZipCrypto.h"
#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <zlib.h>

namespace zip {

struct CZipArchive::Inflater {
    z_stream z = {};
    ~Inflater() { inflateEnd(&z); }
};

CZipArchive::CZipArchive() = default;
CZipArchive::~CZipArchive() = default;

using arc::Get16;
using arc::Get32;
using arc::Get64;

namespace {
constexpr size_t Chunk = 256 * 1024;
constexpr size_t MaxCentralRecord = CentralHeaderSize + 3 * 0xFFFF;
}

const char* MethodName(uint16_t method)
{
    switch (method) {
    case 0: return "stored";
    case 1: return "shrunk";
    case 6: return "imploded";
    case 8: return "deflated";
    case 9: return "Deflate64";
    case 12: return "bzip2";
    case 14: return "LZMA";
    case 93: return "Zstandard";
    case 95: return "xz";
    case 96: return "JPEG";
    case 97: return "WavPack";
    case 98: return "PPMd";
    case 99: return "AES-encrypted";
    default: return nullptr;
    }
}

ZipStatus CZipArchive::FindEnd(uint64_t& endOffset)
{
    uint64_t fileSize = source->Size();
    size_t tail = static_cast<size_t>(std::min<uint64_t>(fileSize, EndSize + 0xFFFF));
    std::vector<uint8_t> buffer(tail);
    uint64_t base = fileSize - tail;
    if (tail < EndSize || !arc::ReadExact(*source, base, buffer.data(), tail)) return ZipStatus::NotZip;
    // The last end record whose comment reaches exactly to the end wins; else the last one at all.
    bool found = false;
    for (size_t i = tail - EndSize + 1; i-- > 0;) {
        if (Get32(&buffer[i]) != EndSignature) continue;
        size_t commentLength = Get16(&buffer[i + 20]);
        if (i + EndSize + commentLength > tail) continue;
        if (!found || i + EndSize + commentLength == tail) {
            found = true;
            endOffset = base + i;
            ParseEndRecord(&buffer[i], tail - i, end);
        }
        if (i + EndSize + commentLength == tail) break;
    }
    return found ? ZipStatus::Ok : ZipStatus::NotZip;
}

ZipStatus CZipArchive::Open(arc::IByteSource& archive)
{
    source = &archive;
    entries.clear();
    overlapping.clear();
    shift = 0;
    uint64_t endOffset = 0;
    if (FindEnd(endOffset) != ZipStatus::Ok) return ZipStatus::NotZip;

    // The directory ends where the zip64 end record begins, or the classic one.
    uint64_t directoryEnd = endOffset;
    uint8_t locator[Zip64LocatorSize];
    uint64_t zip64Offset = 0;
    if (endOffset >= Zip64LocatorSize &&
        arc::ReadExact(*source, endOffset - Zip64LocatorSize, locator, sizeof(locator)) &&
        ParseZip64Locator(locator, sizeof(locator), zip64Offset)) {
        uint8_t record[Zip64EndSize];
        uint64_t expected = endOffset - Zip64LocatorSize - Zip64EndSize;
        // With data before the archive the stored offset is short by that much.
        bool atStored = zip64Offset <= expected && arc::ReadExact(*source, zip64Offset, record, sizeof(record)) &&
                        ParseZip64End(record, sizeof(record), end);
        if (!atStored && endOffset >= Zip64LocatorSize + Zip64EndSize &&
            arc::ReadExact(*source, expected, record, sizeof(record)) && ParseZip64End(record, sizeof(record), end))
            zip64Offset = expected;
        else if (!atStored)
            return ZipStatus::Damaged;
        directoryEnd = zip64Offset;
    }
    if (end.diskNumber != 0 || end.directoryDisk != 0) return ZipStatus::Spanned;
    if (end.directoryOffset > directoryEnd || end.directorySize > directoryEnd - end.directoryOffset)
        return ZipStatus::Damaged; // a directory claimed to lie beyond its own end record
    uint64_t claimedEnd = end.directoryOffset + end.directorySize;
    if (claimedEnd < directoryEnd) {
        // Bytes in front of the archive move everything by the same amount.
        uint8_t signature[4];
        uint64_t moved = directoryEnd - claimedEnd;
        bool atClaim = arc::ReadExact(*source, end.directoryOffset, signature, 4) && Get32(signature) == CentralHeaderSignature;
        if (!atClaim && end.directorySize > 0 && arc::ReadExact(*source, end.directoryOffset + moved, signature, 4) &&
            Get32(signature) == CentralHeaderSignature)
            shift = moved;
    }
    directoryStart = end.directoryOffset + shift;
    ZipStatus status = ReadDirectory(directoryStart, end.directorySize);
    MarkOverlaps();
    return status;
}

ZipStatus CZipArchive::ReadDirectory(uint64_t start, uint64_t size)
{
    std::vector<uint8_t> buffer;
    uint64_t position = start, endPosition = start + size;
    size_t used = 0;
    while (position < endPosition || used < buffer.size()) {
        // Keep the unparsed rest and read on, a chunk at a time: the directory is never
        // held whole, whatever its claimed size.
        if (buffer.size() - used < MaxCentralRecord && position < endPosition) {
            buffer.erase(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(used));
            used = 0;
            size_t n = static_cast<size_t>(std::min<uint64_t>(Chunk, endPosition - position));
            size_t old = buffer.size();
            buffer.resize(old + n);
            if (!arc::ReadExact(*source, position, buffer.data() + old, n)) return ZipStatus::Damaged;
            position += n;
        }
        if (used == buffer.size()) break;
        if (entries.size() >= MaxMembers) return ZipStatus::TooManyMembers;
        ZipEntry entry;
        size_t n = ParseCentralHeader(buffer.data() + used, buffer.size() - used, entry);
        if (n == 0) return ZipStatus::Damaged;
        used += n;
        entries.push_back(std::move(entry));
    }
    return ZipStatus::Ok;
}

void CZipArchive::MarkOverlaps()
{
    overlapping.assign(entries.size(), 0);
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return entries[a].localHeaderOffset < entries[b].localHeaderOffset; });
    // Each member's header and data must end before the next member's header begins.
    for (size_t k = 0; k + 1 < order.size(); ++k) {
        const ZipEntry& e = entries[order[k]];
        uint64_t next = entries[order[k + 1]].localHeaderOffset;
        uint64_t least = e.localHeaderOffset + LocalHeaderSize + e.name.size() + e.compressedSize;
        if (least < e.localHeaderOffset || least > next) {
            overlapping[order[k]] = 1;
            if (next == e.localHeaderOffset) overlapping[order[k + 1]] = 1;
        }
    }
}

std::string CZipArchive::NameBytes(size_t index, NameCharset& charset) const
{
    const ZipEntry& e = entries[index];
    charset = NameCharset::Utf8;
    if (e.flags & FlagUtf8) return e.name;
    std::string unicode = FindExtra(e.extra, ExtraUnicodePath);
    if (unicode.size() > 5 && unicode[0] == 1 &&
        Get32(reinterpret_cast<const uint8_t*>(unicode.data()) + 1) == arc::Crc32(0, e.name.data(), e.name.size()))
        return unicode.substr(5);
    if ((e.Host() == HostUnix || e.Host() == HostOsx) && arc::IsValidUtf8(e.name)) return e.name;
    charset = NameCharset::Oem;
    return e.name;
}

bool CZipArchive::PreciseTime(size_t index, int64_t& unixTime, uint32_t& hundredNanoseconds) const
{
    const ZipEntry& e = entries[index];
    bool found = false;
    ForEachExtra(e.extra, [&](uint16_t id, const uint8_t* data, size_t length) {
        if (found) return;
        if (id == ExtraNtfs && length >= 4) {
            // Attribute blocks after 4 reserved bytes; tag 1 holds the three file times.
            for (size_t pos = 4; pos + 4 <= length;) {
                uint16_t tag = Get16(data + pos), size = Get16(data + pos + 2);
                if (pos + 4 + size > length) break;
                if (tag == 1 && size >= 8) {
                    uint64_t ft = Get64(data + pos + 4);
                    constexpr uint64_t Epoch = 116444736000000000ull;
                    if (ft >= Epoch) {
                        unixTime = static_cast<int64_t>((ft - Epoch) / 10000000);
                        hundredNanoseconds = static_cast<uint32_t>((ft - Epoch) % 10000000);
                        found = true;
                    }
                    return;
                }
                pos += 4 + size;
            }
        } else if (id == ExtraUnixTime && length >= 5 && (data[0] & 1)) {
            unixTime = static_cast<int32_t>(Get32(data + 1));
            hundredNanoseconds = 0;
            found = true;
        }
    });
    return found;
}

ZipStatus CZipArchive::Check(size_t index) const
{
    const ZipEntry& e = entries[index];
    if (overlapping[index]) return ZipStatus::Overlapping;
    if (e.method == MethodAes || (e.flags & FlagStrongEncryption) || !FindExtra(e.extra, ExtraAes).empty())
        return ZipStatus::UnsupportedEncryption;
    if (e.method != MethodStored && e.method != MethodDeflated) return ZipStatus::UnsupportedMethod;
    if (e.localHeaderOffset + shift >= directoryStart) return ZipStatus::OutsideFile;
    return ZipStatus::Ok;
}

ZipStatus CZipArchive::DataRange(size_t index, uint64_t& start, uint64_t& size)
{
    const ZipEntry& e = entries[index];
    uint8_t fixed[LocalHeaderSize];
    uint64_t at = e.localHeaderOffset + shift;
    if (!arc::ReadExact(*source, at, fixed, sizeof(fixed))) return ZipStatus::Truncated;
    if (Get32(fixed) != LocalHeaderSignature) return ZipStatus::BadData;
    start = at + LocalHeaderSize + Get16(fixed + 26) + Get16(fixed + 28);
    size = e.compressedSize;
    if (start > directoryStart || size > directoryStart - start) return ZipStatus::OutsideFile;
    return ZipStatus::Ok;
}

ZipStatus CZipArchive::TestPassword(size_t index, const std::string& password)
{
    const ZipEntry& e = entries[index];
    uint64_t start = 0, size = 0;
    ZipStatus status = DataRange(index, start, size);
    if (status != ZipStatus::Ok) return status;
    uint8_t header[EncryptionHeaderSize];
    if (size < EncryptionHeaderSize) return ZipStatus::BadData;
    if (!arc::ReadExact(*source, start, header, sizeof(header))) return ZipStatus::Truncated;
    CZipCrypto crypto(password);
    return crypto.DecryptHeader(header, EncryptionCheckByte(e.flags, e.crc, e.dosTime)) ? ZipStatus::Ok
                                                                                       : ZipStatus::WrongPassword;
}

ZipStatus CZipArchive::Extract(size_t index, arc::IDataSink& sink, const std::string& password)
{
    const ZipEntry& e = entries[index];
    ZipStatus status = Check(index);
    if (status != ZipStatus::Ok) return status;
    if (e.IsEncrypted() && password.empty()) return ZipStatus::NeedPassword;
    uint64_t start = 0, remaining = 0;
    status = DataRange(index, start, remaining);
    if (status != ZipStatus::Ok) return status;

    std::unique_ptr<CZipCrypto> crypto;
    if (e.IsEncrypted()) {
        uint8_t header[EncryptionHeaderSize];
        if (remaining < EncryptionHeaderSize) return ZipStatus::BadData;
        if (!arc::ReadExact(*source, start, header, sizeof(header))) return ZipStatus::Truncated;
        crypto = std::make_unique<CZipCrypto>(password);
        if (!crypto->DecryptHeader(header, EncryptionCheckByte(e.flags, e.crc, e.dosTime)))
            return ZipStatus::WrongPassword;
        start += EncryptionHeaderSize;
        remaining -= EncryptionHeaderSize;
    }

    // The buffers and the inflater live as long as the archive: extracting thousands of small
    // members must not allocate and clear them for each one.
    in.resize(Chunk);
    uint32_t crc = 0;
    uint64_t produced = 0;
    // Never more than the directory claims: a bomb stops at its stated size.
    auto emit = [&](const uint8_t* data, size_t n) {
        if (n > e.uncompressedSize - produced) return ZipStatus::SizeMismatch;
        produced += n;
        crc = arc::Crc32(crc, data, n);
        return n == 0 || sink.Write(data, n) ? ZipStatus::Ok : ZipStatus::Stopped;
    };
    auto readMore = [&](size_t& n) {
        n = static_cast<size_t>(std::min<uint64_t>(Chunk, remaining));
        if (!arc::ReadExact(*source, start, in.data(), n)) return false;
        start += n;
        remaining -= n;
        if (crypto) crypto->Decrypt(in.data(), n);
        return true;
    };

    if (e.method == MethodStored) {
        while (remaining > 0) {
            size_t n = 0;
            if (!readMore(n)) return ZipStatus::Truncated;
            status = emit(in.data(), n);
            if (status != ZipStatus::Ok) return status;
        }
    } else {
        if (!inflater) {
            inflater = std::make_unique<Inflater>();
            if (inflateInit2(&inflater->z, -MAX_WBITS) != Z_OK) {
                inflater.reset();
                return ZipStatus::BadData;
            }
        } else if (inflateReset(&inflater->z) != Z_OK) {
            return ZipStatus::BadData;
        }
        z_stream& z = inflater->z;
        z.avail_in = 0;
        out.resize(Chunk);
        for (;;) {
            if (z.avail_in == 0 && remaining > 0) {
                size_t n = 0;
                if (!readMore(n)) return ZipStatus::Truncated;
                z.next_in = in.data();
                z.avail_in = static_cast<uInt>(n);
            }
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            int result = inflate(&z, Z_NO_FLUSH);
            if (result == Z_BUF_ERROR) return ZipStatus::Truncated; // input used up, stream not ended
            if (result != Z_OK && result != Z_STREAM_END) return ZipStatus::BadData;
            status = emit(out.data(), out.size() - z.avail_out);
            if (status != ZipStatus::Ok) return status;
            if (result == Z_STREAM_END) break;
        }
    }
    if (produced != e.uncompressedSize) return ZipStatus::SizeMismatch;
    if (crc != e.crc) return ZipStatus::CrcMismatch;
    return ZipStatus::Ok;
}

ZipStatus CZipArchive::CopyRaw(size_t index, arc::IDataSink& sink)
{
    // Any method and encryption: the bytes are not interpreted.
    if (overlapping[index]) return ZipStatus::Overlapping;
    uint64_t start = 0, remaining = 0;
    ZipStatus status = DataRange(index, start, remaining);
    if (status != ZipStatus::Ok) return status;
    in.resize(Chunk);
    while (remaining > 0) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(Chunk, remaining));
        if (!arc::ReadExact(*source, start, in.data(), n)) return ZipStatus::Truncated;
        if (!sink.Write(in.data(), n)) return ZipStatus::Stopped;
        start += n;
        remaining -= n;
    }
    return ZipStatus::Ok;
}

} // namespace zip
