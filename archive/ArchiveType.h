// Recognising an archive by its first bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

enum ArchiveType {
    ArchiveZip = 1,
    ArchiveGzip = 2,
    ArchiveTar = 3,
    ArchiveCabinet = 4,
    ArchiveRar = 5,
};

// The type of an archive whose first bytes (up to 32) are given; no bytes at all mean zip.
ArchiveType DetectArchiveType(const uint8_t* bytes, size_t size);
// Reads the first 32 bytes of the file (shared for reading); an unreadable file is zip.
ArchiveType DetectArchiveType(const std::wstring& path);
