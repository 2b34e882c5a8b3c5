// The zip reader: the central directory (zip64 included) and each member's data, checked.
#pragma once
#include "archive/ByteSource.h"
#include "archive/zip/ZipRecords.h"
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zip {

enum class ZipStatus {
    Ok,
    NotZip,          // no end record
    Damaged,         // the directory is cut short or inconsistent: the readable part is listed
    Spanned,         // a multi-disk archive
    TooManyMembers,
    ReadError,
    UnsupportedMethod,
    UnsupportedEncryption, // AES or the strong encryption
    NeedPassword,
    WrongPassword,
    CrcMismatch,
    SizeMismatch,    // more or less data than the directory claims
    BadData,         // the compressed data is broken
    Truncated,       // the data runs past the end of the file
    OutsideFile,     // the directory points outside the file or into itself
    Overlapping,     // the member's data overlaps another member's
    Stopped,         // the receiver wanted no more
};

// How a name's bytes are to be read.
enum class NameCharset { Utf8, Oem };

class CZipArchive {
public:
    CZipArchive();
    ~CZipArchive();
    CZipArchive(const CZipArchive&) = delete;
    CZipArchive& operator=(const CZipArchive&) = delete;

    // Reads the end records and the central directory. Damaged keeps what could be read.
    ZipStatus Open(arc::IByteSource& source);
    const std::vector<ZipEntry>& Entries() const { return entries; }
    const EndRecord& End() const { return end; }

    // The name bytes to show and their charset: the UTF-8 flag, the Unicode path field, or UTF-8
    // from Unix hosts when the bytes are valid UTF-8; else the OEM code page.
    std::string NameBytes(size_t index, NameCharset& charset) const;
    // Seconds since 1970 (UTC) from the extended-time or NTFS field, when present.
    bool PreciseTime(size_t index, int64_t& unixTime, uint32_t& hundredNanoseconds) const;

    // Whether this reader can extract the member at all (method, encryption, placement).
    ZipStatus Check(size_t index) const;
    // Checks a password against the member's encryption header; Ok, WrongPassword or a read problem.
    ZipStatus TestPassword(size_t index, const std::string& password);
    // Streams the member into sink and checks its size and CRC. Nothing is read past its data.
    ZipStatus Extract(size_t index, arc::IDataSink& sink, const std::string& password = std::string());

    // Streams the member's stored bytes as they are (compressed, encrypted) into sink.
    ZipStatus CopyRaw(size_t index, arc::IDataSink& sink);

    static constexpr size_t MaxMembers = 2000000;

private:
    ZipStatus FindEnd(uint64_t& endOffset);
    ZipStatus ReadDirectory(uint64_t start, uint64_t size);
    void MarkOverlaps();
    ZipStatus DataRange(size_t index, uint64_t& start, uint64_t& size);

    arc::IByteSource* source = nullptr;
    std::vector<ZipEntry> entries;
    std::vector<uint8_t> overlapping;
    EndRecord end;
    uint64_t directoryStart = 0; // where member data must end
    uint64_t shift = 0;          // bytes before the archive (a self-extractor's program)
    struct Inflater;
    std::unique_ptr<Inflater> inflater;
    std::vector<uint8_t> in, out;
};

const char* MethodName(uint16_t method);

} // namespace zip
