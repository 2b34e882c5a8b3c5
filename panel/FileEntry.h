// One panel row as every source (local directory, FTP, file search) hands it to the panel.
#pragma once
#include <cstdint>
#include <string>

enum EntryKind : int32_t {
    EntryParent = 0,
    EntryDirectory = 1,
    EntryFile = 2,
};

constexpr uint32_t AttrReadOnly = 0x01;
constexpr uint32_t AttrHidden = 0x02;
constexpr uint32_t AttrSystem = 0x04;
constexpr uint32_t AttrArchive = 0x20;

struct FileEntry {
    uint32_t attributes = 0;
    int32_t kind = EntryFile;
    std::wstring name;
    uint32_t sizeHigh = 0;
    uint32_t sizeLow = 0;
    uint64_t lastWrite = 0; // file time, UTC

    uint64_t Size() const { return (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow; }
    bool IsDirectoryLike() const { return kind != EntryFile; }
    bool IsHiddenOrSystem() const { return (attributes & (AttrHidden | AttrSystem)) != 0; }
};

// The full path of a row: the name itself when it carries a drive or begins with two backslashes (a network
// path), else directory + name.
std::wstring EntryPath(const std::wstring& directory, const std::wstring& name);
