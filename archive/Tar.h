// The tar reader: plain, ustar, pax and GNU headers from a stream handed over in pieces.
#pragma once
#include "archive/ByteSource.h"
#include <cstdint>
#include <optional>
#include <string>

namespace arc {

enum class MemberKind { File, Directory, SymLink, HardLink, Other };

struct TarEntry {
    std::string name;       // pax path, GNU long name, or ustar prefix + "/" + name; NUL-free
    bool nameIsUtf8 = false; // pax records are UTF-8; header bytes are in the writer's code page
    std::string linkName;
    MemberKind kind = MemberKind::File;
    char typeFlag = '0';
    uint64_t size = 0;       // data bytes that follow the header
    int64_t mtime = 0;       // seconds since 1970, UTC
    bool hasTime = false;
    uint32_t mode = 0;
    uint64_t offset = 0;     // of the member's own header
};

enum class TarProblem {
    BadChecksum,    // a header whose checksum does not match: skipped up to the next good header
    BadNumber,      // a size field that is no number
    OversizedHeader, // a pax or long-name record beyond what a path can need
    Truncated,      // the input ended inside a header or a member's data
};

class ITarListener {
public:
    virtual ~ITarListener() = default;
    // A member's header; true to receive its data.
    virtual bool OnEntry(const TarEntry& entry) = 0;
    // Some of its data; false when no more is wanted.
    virtual bool OnData(const uint8_t* data, size_t size) = 0;
    // complete: every byte of the member arrived (whether or not it was wanted).
    virtual void OnEntryEnd(bool complete) = 0;
    virtual void OnDamage(uint64_t offset, TarProblem problem) = 0;
};

constexpr size_t TarBlock = 512;
// The header checksum (offset 148, octal) against the header's bytes, read as unsigned or signed.
bool TarChecksumMatches(const uint8_t* block);
// A block that can start a tar stream: a matching checksum and not the end marker.
bool IsTarHeader(const uint8_t* block);
// An octal or base-256 number field; false when it is neither.
bool ParseTarNumber(const uint8_t* field, size_t length, int64_t& value);

// ParseTarStream: keeps its place across pieces of any size.
class CTarStream {
public:
    explicit CTarStream(ITarListener& listener) : listener(listener) {}
    // The next piece of the archive. Pieces after the end marker are ignored.
    void Feed(const uint8_t* data, size_t size);
    // The input is over: a member or header cut short is reported.
    void Finish();
    bool Ended() const { return state == State::Ended; }
    bool Damaged() const { return damaged; }
    uint64_t Offset() const { return offset; }

    // pax and GNU records longer than this are refused.
    static constexpr size_t MaxRecordSize = 1 << 20;

private:
    enum class State { Header, Data, Record, Padding, Ended };
    void OnHeader();
    void StartMember(const TarEntry& entry);
    void ApplyRecord();
    void Damage(TarProblem problem);
    size_t FeedHeader(const uint8_t* data, size_t size);
    size_t FeedData(const uint8_t* data, size_t size);

    ITarListener& listener;
    State state = State::Header;
    uint8_t header[TarBlock] = {};
    size_t headerFill = 0;
    uint64_t remaining = 0; // data bytes of the current member or record still to come
    uint64_t padding = 0;   // bytes up to the next block boundary
    uint64_t offset = 0;    // of the next byte fed
    uint64_t headerOffset = 0;
    bool wanted = false;
    bool memberOpen = false;
    bool resyncing = false; // after a bad header: looking for the next good one
    bool damaged = false;
    bool anyHeader = false;

    // A pax ('x', 'g') or GNU ('L', 'K') record being collected, and what it set for the next member.
    char recordType = 0;
    std::string record;
    bool recordTooLarge = false;
    std::optional<std::string> nextPath, nextLink;
    bool nextPathUtf8 = false;
    std::optional<uint64_t> nextSize;
    std::optional<int64_t> nextTime, globalTime;
    bool nextSparse = false;
};

} // namespace arc
