// Archive recognition by signature; whatever is not recognised is taken for a tar archive.
#include "archive/ArchiveType.h"
#include "archive/ByteSource.h"
#include "framework/Handles.h"
#include "fileops/FileSystem.h"
#include <cstring>
#include <windows.h>

ArchiveType DetectArchiveType(const uint8_t* bytes, size_t size)
{
    if (size == 0) return ArchiveZip;
    if (size >= 4) {
        // Local header, spanning marker, split marker ("PKaZ"), data descriptor; an empty archive
        // is only its end record.
        switch (arc::Get32(bytes)) {
        case 0x04034B50:
        case 0x30304B50:
        case 0x5A614B50:
        case 0x08074B50:
        case 0x06054B50:
            return ArchiveZip;
        }
    }
    if (size >= 2 && bytes[0] == 0x1F && bytes[1] == 0x8B) return ArchiveGzip;
    if (size >= 4 && std::memcmp(bytes, "MSCF", 4) == 0) return ArchiveCabinet;
    // RAR 1.5 to 4.x, and RAR 5 whose seventh byte is 1.
    if (size >= 7 && std::memcmp(bytes, "Rar!\x1A\x07", 6) == 0 && (bytes[6] == 0 || (bytes[6] == 1 && size >= 8 && bytes[7] == 0)))
        return ArchiveRar;
    return ArchiveTar;
}

ArchiveType DetectArchiveType(const std::wstring& path)
{
    fw::UniqueFile file(::CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return ArchiveZip;
    uint8_t head[32];
    DWORD got = 0;
    if (!::ReadFile(file.Get(), head, sizeof(head), &got, nullptr)) return ArchiveZip;
    return DetectArchiveType(head, got);
}
