// Writes a zip archive to a file, member by member: deflated or stored, zip64 when a size, an
// offset or the count needs it, traditional encryption, UTF-8 names. No windows.
#pragma once
#include "archive/ByteSource.h"
#include "archive/zip/ZipReader.h"
#include "archive/zip/ZipRecords.h"
#include "framework/Handles.h"
#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zip {

class CZipCrypto;

enum class WriteStatus {
    Ok,
    ReadError,  // the source could not be opened or read (the member is left out)
    WriteError, // the archive could not be written (the archive is lost)
    Cancelled,
};

// The member name bytes and whether they need the UTF-8 flag (only names outside ASCII do).
std::string MemberNameBytes(const std::wstring& name, bool& utf8);

// A file read and compressed ahead of the writer, its bytes as the member stores them (before
// any encryption).
struct PreparedMember {
    WriteStatus status = WriteStatus::Ok; // ReadError with the system's code in error
    DWORD error = 0;
    uint16_t method = MethodStored;
    uint32_t crc = 0;
    uint64_t size = 0;
    std::vector<uint8_t> data;
};

// A central directory record for the entry, its zip64 block made afresh (all fields when forced).
void AppendDirectoryRecord(std::string& out, ZipEntry central, bool forceZip64);

class CZipWriter {
public:
    CZipWriter();
    ~CZipWriter();
    CZipWriter(const CZipWriter&) = delete;
    CZipWriter& operator=(const CZipWriter&) = delete;

    // Creates path (replacing a file of that name). With a prefix file (a self-extractor's program)
    // its bytes come first; offsets in the archive count from the end of the prefix.
    bool Create(const std::wstring& path, const std::wstring& prefixFile = std::wstring());
    void SetLevel(int value) { level = value; }
    // Bytes of the password as the encryption keys take them; empty: no encryption.
    void SetPassword(const std::string& value) { password = value; }
    // Writes every size and offset through the zip64 fields, for tests of the zip64 paths.
    void ForceZip64(bool on) { forceZip64 = on; }
    // Asked between blocks; true stops the member with Cancelled.
    void SetCancelCheck(bool (*check)(void*), void* context)
    {
        cancelCheck = check;
        cancelContext = context;
    }
    // Called with the source bytes read so far for the member being written.
    void SetProgress(void (*report)(void*, uint64_t), void* context)
    {
        progress = report;
        progressContext = context;
    }

    // A file from disk as member name ("/" separated). ReadError and Cancelled leave the archive
    // as it was before the call; the system's error code is kept in LastError().
    WriteStatus AddFile(const std::wstring& source, const std::wstring& name);
    // The same with the size, time and attributes a directory listing gave: one call less per
    // file, which under Wine is a round trip to its server. At most size bytes are read.
    WriteStatus AddFile(const std::wstring& source, const std::wstring& name, uint64_t size, uint64_t lastWrite,
                        DWORD attributes);
    // A member made ahead (small files only: its sizes never need zip64 unless forced).
    WriteStatus AddPrepared(const PreparedMember& member, const std::wstring& name, uint64_t lastWrite,
                            DWORD attributes);
    // A directory member; name ends with "/".
    WriteStatus AddDirectory(const std::wstring& name, uint64_t lastWrite, DWORD attributes);
    // A member of another archive, its data copied as it is (no recompression).
    WriteStatus CopyMember(CZipArchive& archive, size_t index);
    // Writes the central directory and the end records and closes the file.
    WriteStatus Finish();
    DWORD LastError() const { return error; }
    size_t Count() const { return entries.size(); }

private:
    class COutput;
    struct Source;
    WriteStatus WriteMember(ZipEntry& entry, Source& source, uint64_t size);
    WriteStatus Compress(Source& source, uint64_t size, bool deflate, uint64_t dataStart, uint32_t& crc);
    WriteStatus Checksum(Source& source, uint64_t size, uint32_t& crc);
    WriteStatus WriteHeader(ZipEntry& entry, bool zip64);
    std::unique_ptr<CZipCrypto> StartEncryption(uint32_t crc);
    WriteStatus PatchHeader(const ZipEntry& entry, uint64_t headerOffset, bool zip64);
    ZipEntry NewEntry(const std::wstring& name, uint64_t lastWrite, DWORD attributes);
    bool Cancelled() const { return cancelCheck && cancelCheck(cancelContext); }

    std::unique_ptr<COutput> out;
    std::vector<ZipEntry> entries;
    std::string password;
    int level = 6;
    bool forceZip64 = false;
    bool (*cancelCheck)(void*) = nullptr;
    void* cancelContext = nullptr;
    void (*progress)(void*, uint64_t) = nullptr;
    void* progressContext = nullptr;
    DWORD error = 0;
    struct Deflater;
    std::unique_ptr<Deflater> deflater;
    std::vector<uint8_t> in, packed;
};

} // namespace zip
