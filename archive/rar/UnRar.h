// The rar library by its published function names: open, read headers, process (skip, test or
// extract) and close. Stored members are extracted; compressed or encrypted ones are refused.
#pragma once
#include <cstdint>
#include <string>

constexpr int ERAR_SUCCESS = 0;
constexpr int ERAR_END_ARCHIVE = 10;
constexpr int ERAR_NO_MEMORY = 11;
constexpr int ERAR_BAD_DATA = 12;
constexpr int ERAR_BAD_ARCHIVE = 13;
constexpr int ERAR_UNKNOWN_FORMAT = 14;
constexpr int ERAR_EOPEN = 15;
constexpr int ERAR_ECREATE = 16;
constexpr int ERAR_ECLOSE = 17;
constexpr int ERAR_EREAD = 18;
constexpr int ERAR_EWRITE = 19;
constexpr int ERAR_SMALL_BUF = 20;
constexpr int ERAR_UNKNOWN = 21;
constexpr int ERAR_MISSING_PASSWORD = 22;

constexpr unsigned RAR_OM_LIST = 0;
constexpr unsigned RAR_OM_EXTRACT = 1;
constexpr int RAR_SKIP = 0;
constexpr int RAR_TEST = 1;
constexpr int RAR_EXTRACT = 2;

// Header flags as the library reports them.
constexpr unsigned RHDF_SPLITBEFORE = 0x01;
constexpr unsigned RHDF_SPLITAFTER = 0x02;
constexpr unsigned RHDF_ENCRYPTED = 0x04;
constexpr unsigned RHDF_SOLID = 0x10;
constexpr unsigned RHDF_DIRECTORY = 0x20;
// Ours: a link, and a member whose data needs decompression.
constexpr unsigned RHDF_LINK = 0x1000;
constexpr unsigned RHDF_COMPRESSED = 0x2000;

struct RAROpenArchiveDataEx {
    std::wstring ArcNameW;
    char* CmtBuf = nullptr;
    unsigned CmtBufSize = 0;
    unsigned CmtSize = 0;
    unsigned CmtState = 0;
    unsigned OpenMode = RAR_OM_LIST;
    unsigned OpenResult = 0;
    unsigned Flags = 0;
};

struct RARHeaderDataEx {
    std::wstring FileNameW; // whole, however long
    unsigned Flags = 0;
    uint64_t PackSize = 0;
    uint64_t UnpSize = 0;
    unsigned HostOS = 0;
    unsigned FileCRC = 0;
    uint64_t FileTime = 0;  // file time, UTC; 0 when the archive gives none
    unsigned UnpVer = 0;
    unsigned Method = 0;    // 0x30 stored ... 0x35 best
    unsigned FileAttr = 0;
    int Format = 0;         // 4 or 5
};

struct RarArchive;
using RarHandle = RarArchive*;

RarHandle RAROpenArchiveEx(RAROpenArchiveDataEx* data);
int RARCloseArchive(RarHandle archive);
int RARReadHeaderEx(RarHandle archive, RARHeaderDataEx* header);
// RAR_SKIP moves on; RAR_TEST checks the data; RAR_EXTRACT writes it to destName, which is
// replaced only when the member is whole and its CRC matches.
int RARProcessFile(RarHandle archive, int operation, const wchar_t* destPath, const wchar_t* destName);

class IArchiveEvents;
// Progress and cancel of RAR_EXTRACT go to the events' OnProgress and Cancelled.
void RARSetCallback(RarHandle archive, IArchiveEvents* events);
