// The published rar calls over our reader; extraction writes through a temporary file.
#include "archive/rar/UnRar.h"
#include "archive/ArchiveText.h"
#include "archive/Extractor.h"
#include "archive/FileSource.h"
#include "archive/rar/RarFormat.h"

struct RarArchive {
    arc::CFileSource source;
    rar::CRarReader reader;
    rar::RarEntry current;
    bool haveCurrent = false;
    IArchiveEvents* events = nullptr;
};

namespace {
int ErrorFor(rar::RarStatus status)
{
    switch (status) {
    case rar::RarStatus::Ok: return ERAR_SUCCESS;
    case rar::RarStatus::End: return ERAR_END_ARCHIVE;
    case rar::RarStatus::NotRar: return ERAR_BAD_ARCHIVE;
    case rar::RarStatus::EncryptedHeaders: return ERAR_MISSING_PASSWORD;
    case rar::RarStatus::Unsupported: return ERAR_UNKNOWN_FORMAT;
    case rar::RarStatus::Damaged:
    case rar::RarStatus::CrcMismatch: return ERAR_BAD_DATA;
    case rar::RarStatus::Truncated: return ERAR_EREAD;
    case rar::RarStatus::Stopped: return ERAR_EWRITE;
    }
    return ERAR_UNKNOWN;
}

// Reads the data and only counts it: the test operation.
class CCountSink : public arc::IDataSink {
public:
    bool Write(const uint8_t*, size_t) override { return true; }
};
}

RarHandle RAROpenArchiveEx(RAROpenArchiveDataEx* data)
{
    data->CmtSize = 0;
    data->CmtState = 0;
    auto* archive = new RarArchive;
    if (!archive->source.Open(data->ArcNameW)) {
        data->OpenResult = ERAR_EOPEN;
        delete archive;
        return nullptr;
    }
    rar::RarStatus status = archive->reader.Open(archive->source);
    if (status != rar::RarStatus::Ok) {
        data->OpenResult = ErrorFor(status == rar::RarStatus::Damaged ? rar::RarStatus::NotRar : status);
        delete archive;
        return nullptr;
    }
    data->OpenResult = ERAR_SUCCESS;
    data->Flags = archive->reader.IsVolume() ? 1 : 0;
    return archive;
}

int RARCloseArchive(RarHandle archive)
{
    delete archive;
    return ERAR_SUCCESS;
}

void RARSetCallback(RarHandle archive, IArchiveEvents* events)
{
    if (archive) archive->events = events;
}

int RARReadHeaderEx(RarHandle archive, RARHeaderDataEx* header)
{
    if (!archive) return ERAR_BAD_ARCHIVE;
    rar::RarEntry& e = archive->current;
    rar::RarStatus status = archive->reader.Next(e);
    archive->haveCurrent = status == rar::RarStatus::Ok;
    if (status != rar::RarStatus::Ok) return ErrorFor(status);
    *header = RARHeaderDataEx();
    switch (e.charset) {
    case rar::RarNameCharset::Wide: header->FileNameW = e.wideName; break;
    case rar::RarNameCharset::Utf8: header->FileNameW = DecodeText(e.name, CP_UTF8); break;
    case rar::RarNameCharset::Oem: header->FileNameW = DecodeText(e.name, CP_OEMCP); break;
    }
    header->Flags = (e.splitBefore ? RHDF_SPLITBEFORE : 0) | (e.splitAfter ? RHDF_SPLITAFTER : 0) |
                    (e.encrypted ? RHDF_ENCRYPTED : 0) | (e.solid ? RHDF_SOLID : 0) |
                    (e.directory ? RHDF_DIRECTORY : 0) | (e.link ? RHDF_LINK : 0) |
                    (e.method != 0 ? RHDF_COMPRESSED : 0);
    header->PackSize = e.packedSize;
    header->UnpSize = e.unpackedSize;
    header->HostOS = e.hostOs;
    header->FileCRC = e.crc;
    header->FileTime = e.hasUnixTime ? UnixTimeToFileTime(e.unixTime)
                                     : DosTimeToFileTime(static_cast<uint16_t>(e.dosTime >> 16),
                                                         static_cast<uint16_t>(e.dosTime & 0xFFFF));
    header->UnpVer = e.version;
    header->Method = 0x30 + e.method;
    header->FileAttr = e.attributes;
    header->Format = e.format;
    return ERAR_SUCCESS;
}

int RARProcessFile(RarHandle archive, int operation, const wchar_t* destPath, const wchar_t* destName)
{
    if (!archive || !archive->haveCurrent) return ERAR_BAD_ARCHIVE;
    archive->haveCurrent = false;
    const rar::RarEntry& e = archive->current;
    if (operation == RAR_SKIP) return ERAR_SUCCESS;
    if (operation == RAR_TEST) {
        CCountSink count;
        return ErrorFor(archive->reader.ExtractStored(e, count));
    }
    if (operation != RAR_EXTRACT || !destName) return ERAR_UNKNOWN;
    (void)destPath;
    // Refused before anything is created, so nothing half-written is left behind.
    if (e.encrypted || e.method != 0 || e.splitBefore || e.splitAfter || e.directory || e.link) return ERAR_UNKNOWN_FORMAT;
    CMemberFile file(archive->events);
    if (!file.CreateReplacement(destName)) return ERAR_ECREATE;
    rar::RarStatus status = archive->reader.ExtractStored(e, file);
    if (status != rar::RarStatus::Ok) return file.WriteFailed() ? ERAR_EWRITE : ErrorFor(status);
    uint64_t time = e.hasUnixTime ? UnixTimeToFileTime(e.unixTime)
                                  : DosTimeToFileTime(static_cast<uint16_t>(e.dosTime >> 16),
                                                      static_cast<uint16_t>(e.dosTime & 0xFFFF));
    return file.Commit(time) ? ERAR_SUCCESS : ERAR_EWRITE;
}
