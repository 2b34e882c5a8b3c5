// The zip writer: members streamed into a buffered file, headers patched once the sizes are known.
#include "archive/zip/ZipWriter.h"
#include "archive/ArchiveText.h"
#include "archive/zip/ZipCrypto.h"
#include <algorithm>
#include <cstring>
#include <random>
#include <zlib.h>

namespace zip {

using arc::Put16;
using arc::Put32;
using arc::Put64;

namespace {
constexpr size_t Chunk = 256 * 1024;
constexpr size_t BufferLimit = 1024 * 1024;
// A source this close to 4 GB may come out larger when deflated: its sizes go to zip64 fields.
constexpr uint64_t Zip64Threshold = Escape32 - 64 * 1024;

std::string StripExtra(const std::string& extra, uint16_t drop)
{
    std::string kept;
    ForEachExtra(extra, [&](uint16_t id, const uint8_t* data, size_t length) {
        if (id == drop) return;
        Put16(kept, id);
        Put16(kept, static_cast<uint16_t>(length));
        kept.append(reinterpret_cast<const char*>(data), length);
    });
    return kept;
}

std::string UnixTimeExtra(uint64_t fileTime)
{
    constexpr uint64_t Epoch = 116444736000000000ull;
    if (fileTime < Epoch) return std::string();
    uint64_t seconds = (fileTime - Epoch) / 10000000;
    if (seconds > 0x7FFFFFFF) return std::string();
    std::string block;
    Put16(block, ExtraUnixTime);
    Put16(block, 5);
    block += '\x01'; // modification time only
    Put32(block, static_cast<uint32_t>(seconds));
    return block;
}

void Store32(std::string& bytes, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
}
}

std::string MemberNameBytes(const std::wstring& name, bool& utf8)
{
    utf8 = std::any_of(name.begin(), name.end(), [](wchar_t c) { return c >= 0x80; });
    std::wstring slashed = name;
    std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
    return EncodeText(slashed, CP_UTF8);
}

// The archive file, written through a buffer; headers already written can be patched and a
// member that is given up is cut off again.
class CZipWriter::COutput {
public:
    bool Open(const std::wstring& name)
    {
        file.Reset(::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        return static_cast<bool>(file);
    }
    uint64_t Position() const { return flushed + buffer.size(); }
    bool Write(const void* data, size_t size)
    {
        const auto* p = static_cast<const uint8_t*>(data);
        buffer.insert(buffer.end(), p, p + size);
        return buffer.size() < BufferLimit || Flush();
    }
    bool Flush()
    {
        size_t done = 0;
        while (done < buffer.size()) {
            DWORD n = 0;
            DWORD ask = static_cast<DWORD>(std::min<size_t>(buffer.size() - done, 1u << 30));
            if (!::WriteFile(file.Get(), buffer.data() + done, ask, &n, nullptr) || n == 0) return Fail();
            done += n;
        }
        flushed += buffer.size();
        buffer.clear();
        return true;
    }
    // Rewrites bytes at an archive offset already written.
    bool Patch(uint64_t offset, const void* data, size_t size)
    {
        if (offset >= flushed) {
            std::memcpy(buffer.data() + (offset - flushed), data, size);
            return true;
        }
        if (!Flush() || !Seek(offset)) return false;
        DWORD n = 0;
        if (!::WriteFile(file.Get(), data, static_cast<DWORD>(size), &n, nullptr) || n != size) return Fail();
        return Seek(flushed);
    }
    // Drops everything from offset on.
    bool Cut(uint64_t offset)
    {
        if (offset >= flushed) {
            buffer.resize(static_cast<size_t>(offset - flushed));
            return true;
        }
        buffer.clear();
        flushed = offset;
        return Seek(offset) && (::SetEndOfFile(file.Get()) || Fail());
    }
    bool Close()
    {
        bool ok = Flush();
        if (!::CloseHandle(file.Release())) ok = ok && Fail();
        return ok;
    }
    // The prefix is the program part of a self-extractor: archive offsets start after it.
    void StartArchive()
    {
        base = flushed;
        flushed = 0;
    }
    DWORD error = 0;

private:
    bool Fail()
    {
        if (!error) error = ::GetLastError();
        if (!error) error = ERROR_WRITE_FAULT;
        return false;
    }
    bool Seek(uint64_t offset)
    {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(base + offset);
        return ::SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) || Fail();
    }
    fw::UniqueFile file;
    std::vector<uint8_t> buffer;
    uint64_t flushed = 0, base = 0;
};

struct CZipWriter::Deflater {
    z_stream z = {};
    bool ready = false;
    int level = -1;
    ~Deflater()
    {
        if (ready) deflateEnd(&z);
    }
};

// A file being packed: its handle, and its whole content when it fits one block.
struct CZipWriter::Source {
    HANDLE file = INVALID_HANDLE_VALUE;
    bool whole = false;
};

CZipWriter::CZipWriter() = default;
CZipWriter::~CZipWriter() = default;

bool CZipWriter::Create(const std::wstring& path, const std::wstring& prefixFile)
{
    out = std::make_unique<COutput>();
    entries.clear();
    error = 0;
    if (!out->Open(path)) {
        error = ::GetLastError();
        return false;
    }
    if (!prefixFile.empty()) {
        fw::UniqueFile prefix(::CreateFileW(prefixFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!static_cast<bool>(prefix)) {
            error = ::GetLastError();
            return false;
        }
        in.resize(Chunk);
        DWORD n = 0;
        while (::ReadFile(prefix.Get(), in.data(), static_cast<DWORD>(in.size()), &n, nullptr) && n > 0)
            if (!out->Write(in.data(), n)) break;
        if (out->error || !out->Flush()) {
            error = out->error;
            return false;
        }
        out->StartArchive();
    }
    return true;
}

ZipEntry CZipWriter::NewEntry(const std::wstring& name, uint64_t lastWrite, DWORD attributes)
{
    ZipEntry e;
    bool utf8 = false;
    e.name = MemberNameBytes(name, utf8);
    if (utf8) e.flags |= FlagUtf8;
    FileTimeToDosTime(lastWrite, e.dosDate, e.dosTime);
    e.extra = UnixTimeExtra(lastWrite);
    e.versionMadeBy = HostDos << 8 | 20;
    e.externalAttributes = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                         FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
    return e;
}

WriteStatus CZipWriter::WriteHeader(ZipEntry& entry, bool zip64)
{
    if (entry.name.size() > 0xFFFF) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return WriteStatus::ReadError;
    }
    LocalHeader header = entry;
    if (zip64) {
        // Both sizes in the zip64 block, patched when known.
        header.versionNeeded = 45;
        header.uncompressedSize = header.compressedSize = Escape32;
        std::string block;
        Put16(block, ExtraZip64);
        Put16(block, 16);
        Put64(block, entry.uncompressedSize);
        Put64(block, entry.compressedSize);
        header.extra = block + header.extra;
    }
    std::string bytes;
    AppendLocalHeader(bytes, header);
    if (!out->Write(bytes.data(), bytes.size())) return WriteStatus::WriteError;
    return WriteStatus::Ok;
}

WriteStatus CZipWriter::PatchHeader(const ZipEntry& entry, uint64_t headerOffset, bool zip64)
{
    std::string fields;
    Put16(fields, entry.method);
    Put16(fields, entry.dosTime);
    Put16(fields, entry.dosDate);
    Put32(fields, entry.crc);
    Put32(fields, zip64 ? Escape32 : static_cast<uint32_t>(entry.compressedSize));
    Put32(fields, zip64 ? Escape32 : static_cast<uint32_t>(entry.uncompressedSize));
    if (!out->Patch(headerOffset + 8, fields.data(), fields.size())) return WriteStatus::WriteError;
    if (zip64) {
        std::string sizes;
        Put64(sizes, entry.uncompressedSize);
        Put64(sizes, entry.compressedSize);
        if (!out->Patch(headerOffset + LocalHeaderSize + entry.name.size() + 4, sizes.data(), sizes.size()))
            return WriteStatus::WriteError;
    }
    return WriteStatus::Ok;
}

// Writes the encryption header, which ends with the CRC's high byte.
std::unique_ptr<CZipCrypto> CZipWriter::StartEncryption(uint32_t crc)
{
    auto crypto = std::make_unique<CZipCrypto>(password);
    uint8_t header[EncryptionHeaderSize];
    static std::mt19937 random(std::random_device{}() ^ ::GetTickCount());
    for (uint8_t& b : header) b = static_cast<uint8_t>(random());
    header[EncryptionHeaderSize - 1] = static_cast<uint8_t>(crc >> 24);
    crypto->Encrypt(header, sizeof(header));
    if (!out->Write(header, sizeof(header))) return nullptr;
    return crypto;
}

WriteStatus CZipWriter::Compress(Source& source, uint64_t size, bool deflate, uint64_t dataStart, uint32_t& crc)
{
    std::unique_ptr<CZipCrypto> crypto;
    if (!password.empty()) {
        crypto = StartEncryption(crc);
        if (!crypto) return WriteStatus::WriteError;
    }
    z_stream* z = nullptr;
    if (deflate) {
        if (!deflater) deflater = std::make_unique<Deflater>();
        z = &deflater->z;
        if (!deflater->ready || deflater->level != level) {
            if (deflater->ready) deflateEnd(z);
            deflater->ready = deflateInit2(z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
            deflater->level = level;
            if (!deflater->ready) return WriteStatus::WriteError;
        } else {
            deflateReset(z);
        }
        packed.resize(Chunk + 1024);
    }
    uint32_t sum = 0;
    uint64_t read = 0;
    bool fromMemory = source.whole;
    if (!fromMemory) {
        LARGE_INTEGER zero = {};
        if (!::SetFilePointerEx(source.file, zero, nullptr, FILE_BEGIN)) {
            error = ::GetLastError();
            return WriteStatus::ReadError;
        }
    }
    for (;;) {
        size_t n = 0;
        if (fromMemory) {
            n = read == 0 ? static_cast<size_t>(size) : 0;
        } else if (read < size) {
            DWORD got = 0;
            DWORD ask = static_cast<DWORD>(std::min<uint64_t>(Chunk, size - read));
            if (!::ReadFile(source.file, in.data(), ask, &got, nullptr)) {
                error = ::GetLastError();
                return WriteStatus::ReadError;
            }
            n = got;
            if (n == 0) {
                // Shorter than when it was opened: changed while being read.
                error = ERROR_HANDLE_EOF;
                return WriteStatus::ReadError;
            }
        }
        read += n;
        bool last = n == 0 || read >= size;
        sum = arc::Crc32(sum, in.data(), n);
        if (!deflate) {
            if (crypto) {
                packed.assign(in.begin(), in.begin() + static_cast<std::ptrdiff_t>(n));
                crypto->Encrypt(packed.data(), n);
                if (n && !out->Write(packed.data(), n)) return WriteStatus::WriteError;
            } else if (n && !out->Write(in.data(), n)) {
                return WriteStatus::WriteError;
            }
        } else {
            z->next_in = in.data();
            z->avail_in = static_cast<uInt>(n);
            int result = Z_OK;
            do {
                z->next_out = packed.data();
                z->avail_out = static_cast<uInt>(packed.size());
                result = ::deflate(z, last ? Z_FINISH : Z_NO_FLUSH);
                size_t produced = packed.size() - z->avail_out;
                if (crypto) crypto->Encrypt(packed.data(), produced);
                if (produced && !out->Write(packed.data(), produced)) return WriteStatus::WriteError;
            } while (z->avail_out == 0 || (last && result != Z_STREAM_END));
            // Output never shrinks again: once it is not smaller, storing wins.
            if (out->Position() - dataStart - (crypto ? EncryptionHeaderSize : 0) >= size && size > 0)
                return WriteStatus::Ok;
        }
        if (progress) progress(progressContext, read);
        if (last) break;
        if (Cancelled()) return WriteStatus::Cancelled;
    }
    crc = sum;
    return WriteStatus::Ok;
}

WriteStatus CZipWriter::Checksum(Source& source, uint64_t size, uint32_t& crc)
{
    crc = 0;
    if (source.whole) {
        crc = arc::Crc32(0, in.data(), static_cast<size_t>(size));
        return WriteStatus::Ok;
    }
    LARGE_INTEGER zero = {};
    if (!::SetFilePointerEx(source.file, zero, nullptr, FILE_BEGIN)) {
        error = ::GetLastError();
        return WriteStatus::ReadError;
    }
    for (uint64_t read = 0; read < size;) {
        DWORD got = 0;
        if (!::ReadFile(source.file, in.data(), static_cast<DWORD>(std::min<uint64_t>(Chunk, size - read)), &got, nullptr) ||
            got == 0) {
            error = got == 0 ? ERROR_HANDLE_EOF : ::GetLastError();
            return WriteStatus::ReadError;
        }
        crc = arc::Crc32(crc, in.data(), got);
        read += got;
        if (Cancelled()) return WriteStatus::Cancelled;
    }
    return WriteStatus::Ok;
}

WriteStatus CZipWriter::WriteMember(ZipEntry& entry, Source& source, uint64_t size)
{
    bool zip64 = forceZip64 || size >= Zip64Threshold;
    uint64_t headerOffset = out->Position();
    entry.method = size > 0 ? MethodDeflated : MethodStored;
    if (!password.empty()) entry.flags |= FlagEncrypted;
    entry.versionNeeded = zip64 ? 45 : 20;
    WriteStatus status = WriteHeader(entry, zip64);
    uint64_t dataStart = out->Position();
    auto giveUp = [&](WriteStatus s) {
        if (s != WriteStatus::WriteError && !out->Cut(headerOffset)) s = WriteStatus::WriteError;
        if (s == WriteStatus::WriteError) error = out->error ? out->error : error;
        return s;
    };
    if (status != WriteStatus::Ok) return giveUp(status);

    uint32_t crc = 0;
    if (!password.empty() && size > 0) {
        // The encryption header ends with the CRC's high byte: one pass over the data first.
        status = Checksum(source, size, crc);
        if (status != WriteStatus::Ok) return giveUp(status);
    }

    uint32_t written = crc;
    status = Compress(source, size, entry.method == MethodDeflated, dataStart, written);
    if (status != WriteStatus::Ok) return giveUp(status);
    uint64_t encryption = password.empty() ? 0 : EncryptionHeaderSize;
    uint64_t packedSize = out->Position() - dataStart;
    if (entry.method == MethodDeflated && packedSize - encryption >= size) {
        // Did not shrink: stored instead.
        if (!out->Cut(dataStart)) return giveUp(WriteStatus::WriteError);
        entry.method = MethodStored;
        written = crc;
        status = Compress(source, size, false, dataStart, written);
        if (status != WriteStatus::Ok) return giveUp(status);
        packedSize = out->Position() - dataStart;
    }
    entry.crc = written;
    entry.uncompressedSize = size;
    entry.compressedSize = packedSize;
    entry.localHeaderOffset = headerOffset;
    if (!zip64 && (packedSize >= Escape32 || size >= Escape32)) {
        // Grew past 4 GB while it was read: the header has no room for that.
        error = ERROR_FILE_TOO_LARGE;
        return giveUp(WriteStatus::ReadError);
    }
    status = PatchHeader(entry, headerOffset, zip64);
    if (status != WriteStatus::Ok) return giveUp(status);
    entries.push_back(entry);
    return WriteStatus::Ok;
}

WriteStatus CZipWriter::AddFile(const std::wstring& path, const std::wstring& name)
{
    WIN32_FILE_ATTRIBUTE_DATA facts;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &facts)) {
        error = ::GetLastError();
        return WriteStatus::ReadError;
    }
    return AddFile(path, name, static_cast<uint64_t>(facts.nFileSizeHigh) << 32 | facts.nFileSizeLow,
                   static_cast<uint64_t>(facts.ftLastWriteTime.dwHighDateTime) << 32 | facts.ftLastWriteTime.dwLowDateTime,
                   facts.dwFileAttributes);
}

WriteStatus CZipWriter::AddFile(const std::wstring& path, const std::wstring& name, uint64_t size, uint64_t lastWrite,
                                DWORD attributes)
{
    fw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        error = ::GetLastError();
        return WriteStatus::ReadError;
    }
    ZipEntry entry = NewEntry(name, lastWrite, attributes & ~FILE_ATTRIBUTE_DIRECTORY);
    Source source;
    source.file = file.Get();
    in.resize(Chunk);
    if (size <= Chunk) {
        // Small files are read once and kept for a second try as stored.
        DWORD got = 0, total = 0;
        while (total < size && ::ReadFile(file.Get(), in.data() + total, static_cast<DWORD>(size) - total, &got, nullptr) &&
               got > 0)
            total += got;
        if (total < size) {
            error = ::GetLastError() ? ::GetLastError() : ERROR_HANDLE_EOF;
            return WriteStatus::ReadError;
        }
        source.whole = true;
    }
    return WriteMember(entry, source, size);
}

WriteStatus CZipWriter::AddPrepared(const PreparedMember& member, const std::wstring& name, uint64_t lastWrite,
                                    DWORD attributes)
{
    if (member.status != WriteStatus::Ok) {
        error = member.error;
        return member.status;
    }
    ZipEntry entry = NewEntry(name, lastWrite, attributes & ~FILE_ATTRIBUTE_DIRECTORY);
    bool zip64 = forceZip64 || member.size >= Zip64Threshold;
    entry.method = member.method;
    if (!password.empty()) entry.flags |= FlagEncrypted;
    entry.versionNeeded = zip64 ? 45 : 20;
    entry.crc = member.crc;
    entry.uncompressedSize = member.size;
    entry.compressedSize = member.data.size() + (password.empty() ? 0 : EncryptionHeaderSize);
    entry.localHeaderOffset = out->Position();
    WriteStatus status = WriteHeader(entry, zip64);
    if (status == WriteStatus::Ok && !password.empty()) {
        std::unique_ptr<CZipCrypto> crypto = StartEncryption(member.crc);
        packed.assign(member.data.begin(), member.data.end());
        if (crypto) crypto->Encrypt(packed.data(), packed.size());
        if (!crypto || (!packed.empty() && !out->Write(packed.data(), packed.size()))) status = WriteStatus::WriteError;
    } else if (status == WriteStatus::Ok && !member.data.empty() && !out->Write(member.data.data(), member.data.size())) {
        status = WriteStatus::WriteError;
    }
    if (status != WriteStatus::Ok) {
        if (status == WriteStatus::WriteError) error = out->error ? out->error : error;
        if (status == WriteStatus::ReadError && !out->Cut(entry.localHeaderOffset)) status = WriteStatus::WriteError;
        return status;
    }
    if (progress) progress(progressContext, member.size);
    entries.push_back(entry);
    return WriteStatus::Ok;
}

WriteStatus CZipWriter::AddDirectory(const std::wstring& name, uint64_t lastWrite, DWORD attributes)
{
    ZipEntry entry = NewEntry(name, lastWrite, attributes | FILE_ATTRIBUTE_DIRECTORY);
    if (entry.name.empty() || entry.name.back() != '/') entry.name += '/';
    entry.method = MethodStored;
    entry.versionNeeded = forceZip64 ? 45 : 20;
    entry.localHeaderOffset = out->Position();
    WriteStatus status = WriteHeader(entry, forceZip64);
    if (status != WriteStatus::Ok) {
        if (status == WriteStatus::WriteError) error = out->error;
        return status;
    }
    entries.push_back(entry);
    return WriteStatus::Ok;
}

namespace {
class COutputSink : public arc::IDataSink {
public:
    using WriteFn = bool (*)(void*, const uint8_t*, size_t);
    COutputSink(WriteFn fn, void* context) : fn(fn), context(context) {}
    bool Write(const uint8_t* data, size_t size) override { return fn(context, data, size); }

private:
    WriteFn fn;
    void* context;
};
}

WriteStatus CZipWriter::CopyMember(CZipArchive& archive, size_t index)
{
    ZipEntry entry = archive.Entries()[index];
    entry.extra = StripExtra(entry.extra, ExtraZip64);
    entry.diskStart = 0;
    bool zip64 = forceZip64 || entry.compressedSize >= Escape32 || entry.uncompressedSize >= Escape32;
    entry.versionNeeded = std::max<uint16_t>(entry.versionNeeded, zip64 ? 45 : 20);
    uint64_t headerOffset = out->Position();
    WriteStatus status = WriteHeader(entry, zip64);
    if (status == WriteStatus::Ok) status = PatchHeader(entry, headerOffset, zip64);
    if (status != WriteStatus::Ok) {
        if (status == WriteStatus::WriteError) error = out->error;
        return status;
    }
    struct Context {
        COutput* out;
        CZipWriter* writer;
    } context{out.get(), this};
    COutputSink sink(
        [](void* c, const uint8_t* data, size_t size) {
            auto* ctx = static_cast<Context*>(c);
            return !ctx->writer->Cancelled() && ctx->out->Write(data, size);
        },
        &context);
    ZipStatus copied = archive.CopyRaw(index, sink);
    if (copied != ZipStatus::Ok) {
        WriteStatus result = out->error ? WriteStatus::WriteError
                             : copied == ZipStatus::Stopped ? WriteStatus::Cancelled
                                                            : WriteStatus::ReadError;
        if (result == WriteStatus::WriteError) {
            error = out->error;
            return result;
        }
        error = ERROR_FILE_CORRUPT;
        return out->Cut(headerOffset) ? result : WriteStatus::WriteError;
    }
    if (entry.flags & FlagDataDescriptor) {
        // Kept because an encrypted member's check byte depends on it; the descriptor follows.
        std::string descriptor;
        Put32(descriptor, DataDescriptorSignature);
        Put32(descriptor, entry.crc);
        if (zip64) {
            Put64(descriptor, entry.compressedSize);
            Put64(descriptor, entry.uncompressedSize);
        } else {
            Put32(descriptor, static_cast<uint32_t>(entry.compressedSize));
            Put32(descriptor, static_cast<uint32_t>(entry.uncompressedSize));
        }
        if (!out->Write(descriptor.data(), descriptor.size())) {
            error = out->error;
            return WriteStatus::WriteError;
        }
    }
    entry.localHeaderOffset = headerOffset;
    entries.push_back(entry);
    return WriteStatus::Ok;
}

void AppendDirectoryRecord(std::string& out, ZipEntry central, bool forceZip64)
{
    central.extra = StripExtra(central.extra, ExtraZip64);
    std::string zip64Block;
    if (forceZip64) {
        std::string data;
        Put64(data, central.uncompressedSize);
        Put64(data, central.compressedSize);
        Put64(data, central.localHeaderOffset);
        Put16(zip64Block, ExtraZip64);
        Put16(zip64Block, static_cast<uint16_t>(data.size()));
        zip64Block += data;
    } else {
        zip64Block = MakeZip64Extra(central);
    }
    central.extra = zip64Block + central.extra;
    if (!zip64Block.empty()) {
        central.versionNeeded = std::max<uint16_t>(central.versionNeeded, 45);
        central.versionMadeBy = static_cast<uint16_t>((central.versionMadeBy & 0xFF00) |
                                                      std::max<uint16_t>(central.versionMadeBy & 0xFF, 45));
    }
    size_t at = out.size();
    AppendCentralHeader(out, central);
    if (forceZip64) {
        Store32(out, at + 20, Escape32);
        Store32(out, at + 24, Escape32);
        Store32(out, at + 42, Escape32);
    }
}

WriteStatus CZipWriter::Finish()
{
    uint64_t directoryStart = out->Position();
    std::string bytes;
    for (const ZipEntry& e : entries) {
        AppendDirectoryRecord(bytes, e, forceZip64);
        if (bytes.size() >= BufferLimit) {
            if (!out->Write(bytes.data(), bytes.size())) return error = out->error, WriteStatus::WriteError;
            bytes.clear();
        }
    }
    if (!out->Write(bytes.data(), bytes.size())) return error = out->error, WriteStatus::WriteError;
    EndRecord end;
    end.entries = end.entriesOnDisk = entries.size();
    end.directoryOffset = directoryStart;
    end.directorySize = out->Position() - directoryStart;
    std::string tail;
    AppendEndRecords(tail, end, out->Position(), forceZip64);
    if (!out->Write(tail.data(), tail.size()) || !out->Close()) {
        error = out->error;
        return WriteStatus::WriteError;
    }
    return WriteStatus::Ok;
}

} // namespace zip
