// Spreading a finished archive over removable disks: the spanning signature first, no header cut
// by a disk's end, directory records with each member's disk and offset, the end records together
// on the last disk. Each disk's part is written whole under a temporary name and then put in
// place, so a disk that fails can be swapped and written again.
#pragma once
#include "archive/zip/ZipPacker.h"
#include <windows.h>
#include <cstdint>
#include <string>

namespace zip {

// The signature a spanned archive's first disk starts with.
constexpr uint32_t SpanningSignature = 0x08074B50;
// Less than this on a disk is no use to a spanned archive.
constexpr uint64_t MinimumDiskSpace = 64 * 1024;

// The drive the disks of a spanned archive are put into.
class IDiskDrive {
public:
    virtual ~IDiskDrive() = default;
    // The file disk n's part is written to (n from 1).
    virtual std::wstring PartPath(int disk) = 0;
    // The bytes the disk now in the drive can take for that part.
    virtual uint64_t FreeBytes(int disk) = 0;
};

// A real removable drive: every disk holds its part under the archive's own name.
class CRemovableDrive : public IDiskDrive {
public:
    explicit CRemovableDrive(const std::wstring& archive) : archive(archive) {}
    std::wstring PartPath(int disk) override;
    uint64_t FreeBytes(int disk) override;

private:
    std::wstring archive;
};

// Writes the plain archive in file source onto the disks of drive. A single disk that holds it
// all gets it as it is. Asks events for disk n (n >= 2) before writing it, and with 0 when a disk
// could not be written (OK retries that disk). error holds the system's code of a failed read.
PackResult SpanArchive(const std::wstring& source, IDiskDrive& drive, IPackEvents& events, DWORD& error);

} // namespace zip
