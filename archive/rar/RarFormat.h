// The rar reader: block headers of RAR 1.5 to 4.x and of RAR 5, and the data of stored members.
#pragma once
#include "archive/ByteSource.h"
#include <cstdint>
#include <string>

namespace rar {

enum class RarStatus {
    Ok,
    End,              // no more members
    NotRar,
    Damaged,          // a header whose CRC does not match, or that runs past the file
    EncryptedHeaders, // the member list itself is encrypted
    Unsupported,      // the member needs decompression, decryption or another volume
    CrcMismatch,
    Truncated,        // the member's data runs past the end of the file
    Stopped,          // the receiver wanted no more
};

enum class RarNameCharset { Oem, Utf8, Wide };

struct RarEntry {
    int format = 0;            // 4 for RAR 1.5-4.x, 5 for RAR 5
    std::string name;          // the name's bytes (Oem or Utf8)
    std::wstring wideName;     // the decoded Unicode name of RAR 1.5-4.x (Wide)
    RarNameCharset charset = RarNameCharset::Oem;
    uint64_t packedSize = 0, unpackedSize = 0;
    uint32_t crc = 0;
    bool hasCrc = false;
    uint32_t dosTime = 0;      // local date and time (RAR 1.5-4.x)
    int64_t unixTime = 0;      // seconds since 1970 (RAR 5)
    bool hasUnixTime = false;
    uint32_t attributes = 0;
    uint8_t hostOs = 0;
    bool directory = false, encrypted = false, solid = false, splitBefore = false, splitAfter = false;
    bool link = false;
    unsigned method = 0;       // 0 stored, 1-5 the compression levels
    unsigned version = 0;
    uint64_t dataOffset = 0;
};

// The Unicode name of RAR 1.5-4.x headers: the plain name, a zero, then this encoding of it.
std::wstring DecodeRarUnicodeName(const uint8_t* plain, size_t plainSize, const uint8_t* encoded, size_t encodedSize);

class CRarReader {
public:
    RarStatus Open(arc::IByteSource& source);
    int Format() const { return format; }
    bool IsVolume() const { return volume; }
    // The next member's header; service blocks and comments are passed over.
    RarStatus Next(RarEntry& entry);
    // A stored, unencrypted, whole member's data into sink, with its CRC checked.
    RarStatus ExtractStored(const RarEntry& entry, arc::IDataSink& sink);

    static constexpr size_t MaxHeaderSize = 2 * 1024 * 1024;

private:
    RarStatus Next4(RarEntry& entry);
    RarStatus Next5(RarEntry& entry);
    RarStatus ParseFile4(const uint8_t* h, size_t size, uint16_t flags, RarEntry& entry);
    RarStatus ParseFile5(const uint8_t* h, size_t size, size_t fieldsAt, uint64_t headerFlags, uint64_t extraSize,
                         RarEntry& entry);

    arc::IByteSource* source = nullptr;
    int format = 0;
    bool volume = false;
    uint64_t position = 0;
};

} // namespace rar
