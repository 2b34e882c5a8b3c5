// The zip reader: end records, zip64, the central directory, local headers and the inflate path.
#include "archive/zip/ZipReader.h"
#include "fuzz/targets/ArchiveSinks.h"

FUZZ_TARGET(zip)
{
    arc::CMemorySource source(data, size);
    zip::CZipArchive archive;
    zip::ZipStatus status = archive.Open(source);
    if (status != zip::ZipStatus::Ok && status != zip::ZipStatus::Damaged) return;
    const auto& entries = archive.Entries();
    for (size_t i = 0; i < entries.size() && i < 64; ++i) {
        zip::NameCharset charset;
        archive.NameBytes(i, charset);
        int64_t unixTime = 0;
        uint32_t fraction = 0;
        archive.PreciseTime(i, unixTime, fraction);
        entries[i].IsDirectory();
        entries[i].IsSymLink();
        if (archive.Check(i) != zip::ZipStatus::Ok) continue;
        fuzz::CountingSink sink;
        if (entries[i].IsEncrypted()) {
            archive.TestPassword(i, "secret");
            archive.Extract(i, sink, "secret");
        } else {
            zip::ZipStatus extracted = archive.Extract(i, sink);
            // Whatever the directory claims, a member that checks out gave exactly its size.
            if (extracted == zip::ZipStatus::Ok) FUZZ_CHECK(sink.total == entries[i].uncompressedSize);
        }
        fuzz::CountingSink raw;
        archive.CopyRaw(i, raw);
    }
}

// The records by themselves, and a local header written back from what was read.
FUZZ_TARGET(zip_records)
{
    zip::ZipEntry entry;
    zip::ParseCentralHeader(data, size, entry);
    zip::ForEachExtra(entry.extra, [](uint16_t, const uint8_t*, size_t) {});
    zip::FindExtra(entry.extra, zip::ExtraZip64);
    zip::EndRecord end;
    if (zip::ParseEndRecord(data, size, end)) zip::ParseZip64End(data, size, end);
    uint64_t offset = 0;
    zip::ParseZip64Locator(data, size, offset);
    zip::LocalHeader local;
    size_t taken = zip::ParseLocalHeader(data, size, local);
    if (taken && local.compressedSize != zip::Escape32 && local.uncompressedSize != zip::Escape32) {
        std::string written;
        zip::AppendLocalHeader(written, local);
        zip::LocalHeader again;
        FUZZ_CHECK(zip::ParseLocalHeader(reinterpret_cast<const uint8_t*>(written.data()), written.size(), again) ==
                   written.size());
        FUZZ_CHECK(again.name == local.name && again.extra == local.extra && again.crc == local.crc);
        FUZZ_CHECK(again.compressedSize == local.compressedSize && again.uncompressedSize == local.uncompressedSize);
    }
}
