// ParseTarStream and the header fields of plain, ustar, pax and GNU tar.
#include "archive/Tar.h"
#include <algorithm>
#include <cstring>
#include <limits>

namespace arc {

namespace {
constexpr size_t NameOffset = 0, ModeOffset = 100, SizeOffset = 124, TimeOffset = 136, SumOffset = 148;
constexpr size_t TypeOffset = 156, LinkOffset = 157, MagicOffset = 257, PrefixOffset = 345;

std::string Field(const uint8_t* p, size_t length)
{
    size_t n = 0;
    while (n < length && p[n]) ++n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

uint64_t PaddingAfter(uint64_t size) { return (TarBlock - size % TarBlock) % TarBlock; }

bool ParseDecimal(const std::string& text, int64_t& value, bool allowFraction)
{
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    if (i >= text.size()) return false;
    uint64_t v = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.' && allowFraction) break;
        if (c < '0' || c > '9') return false;
        if (v > (static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) - (c - '0')) / 10) return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    value = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    return true;
}

// "length key=value\n" records; stops at the first malformed one.
template <typename F>
void ForEachPaxRecord(const std::string& data, F&& apply)
{
    size_t pos = 0;
    while (pos < data.size()) {
        size_t blank = data.find(' ', pos);
        if (blank == std::string::npos) return;
        int64_t length = 0;
        if (!ParseDecimal(data.substr(pos, blank - pos), length, false) || length <= 0) return;
        size_t end = pos + static_cast<size_t>(length);
        if (static_cast<uint64_t>(length) > data.size() - pos || data[end - 1] != '\n') return;
        size_t equals = data.find('=', blank + 1);
        if (equals == std::string::npos || equals >= end) return;
        apply(data.substr(blank + 1, equals - blank - 1), data.substr(equals + 1, end - 1 - equals - 1));
        pos = end;
    }
}
}

bool ParseTarNumber(const uint8_t* field, size_t length, int64_t& value)
{
    if (length == 0) return false;
    if (field[0] & 0x80) {
        // Base 256, big-endian two's complement; bit 6 of the first byte is the sign.
        bool negative = (field[0] & 0x40) != 0;
        uint64_t v = negative ? ~uint64_t(0) : 0;
        v = (v << 6) | (field[0] & 0x3F);
        for (size_t i = 1; i < length; ++i) {
            uint64_t top = v >> 55;
            if (negative ? top != 0x1FF : top != 0) return false; // would not fit in 64 bits
            v = (v << 8) | field[i];
        }
        value = static_cast<int64_t>(v);
        return true;
    }
    size_t i = 0;
    while (i < length && field[i] == ' ') ++i;
    uint64_t v = 0;
    bool digits = false;
    for (; i < length; ++i) {
        uint8_t c = field[i];
        if (c == 0 || c == ' ') break;
        if (c < '0' || c > '7') return false;
        if (v >> 60) return false;
        v = v * 8 + (c - '0');
        digits = true;
    }
    for (; i < length; ++i)
        if (field[i] != 0 && field[i] != ' ') return false;
    if (!digits) v = 0;
    value = static_cast<int64_t>(v);
    return true;
}

bool TarChecksumMatches(const uint8_t* block)
{
    int64_t stored = 0;
    if (!ParseTarNumber(block + SumOffset, 8, stored)) return false;
    uint32_t unsignedSum = 0;
    int32_t signedSum = 0;
    for (size_t i = 0; i < TarBlock; ++i) {
        bool inSum = i >= SumOffset && i < SumOffset + 8;
        uint8_t c = inSum ? ' ' : block[i];
        unsignedSum += c;
        signedSum += static_cast<int8_t>(c);
    }
    return stored == unsignedSum || stored == signedSum;
}

bool IsTarHeader(const uint8_t* block)
{
    return block[0] != 0 && TarChecksumMatches(block);
}

void CTarStream::Feed(const uint8_t* data, size_t size)
{
    while (size > 0 && state != State::Ended) {
        size_t used = 0;
        switch (state) {
        case State::Header: used = FeedHeader(data, size); break;
        case State::Data:
        case State::Record: used = FeedData(data, size); break;
        case State::Padding:
            used = static_cast<size_t>(std::min<uint64_t>(padding, size));
            padding -= used;
            if (padding == 0) state = State::Header;
            break;
        case State::Ended: break;
        }
        data += used;
        size -= used;
        offset += used;
    }
}

size_t CTarStream::FeedHeader(const uint8_t* data, size_t size)
{
    size_t used = std::min(TarBlock - headerFill, size);
    std::memcpy(header + headerFill, data, used);
    headerFill += used;
    if (headerFill == TarBlock) {
        headerFill = 0;
        headerOffset = offset + used - TarBlock;
        OnHeader();
    }
    return used;
}

size_t CTarStream::FeedData(const uint8_t* data, size_t size)
{
    size_t used = static_cast<size_t>(std::min<uint64_t>(remaining, size));
    remaining -= used;
    if (state == State::Record) {
        if (!recordTooLarge) record.append(reinterpret_cast<const char*>(data), used);
    } else if (wanted && used > 0 && !listener.OnData(data, used)) {
        wanted = false;
    }
    if (remaining == 0) {
        if (state == State::Record) ApplyRecord();
        else if (memberOpen) {
            memberOpen = false;
            listener.OnEntryEnd(true);
        }
        state = State::Padding;
        if (padding == 0) state = State::Header;
    }
    return used;
}

void CTarStream::Damage(TarProblem problem)
{
    damaged = true;
    listener.OnDamage(headerOffset, problem);
}

void CTarStream::OnHeader()
{
    if (header[0] == 0 && !resyncing) {
        state = State::Ended;
        return;
    }
    if (!TarChecksumMatches(header) || header[0] == 0) {
        // Blocks of a member whose header was lost are skipped until a header checks out again.
        if (!resyncing) Damage(TarProblem::BadChecksum);
        resyncing = true;
        nextPath.reset();
        nextLink.reset();
        nextSize.reset();
        nextTime.reset();
        nextSparse = false;
        return;
    }
    resyncing = false;
    anyHeader = true;
    int64_t headerSize = 0;
    if (!ParseTarNumber(header + SizeOffset, 12, headerSize) || headerSize < 0) {
        Damage(TarProblem::BadNumber);
        resyncing = true;
        return;
    }
    char type = static_cast<char>(header[TypeOffset]);
    uint64_t size = static_cast<uint64_t>(headerSize);
    if (type == 'x' || type == 'g' || type == 'L' || type == 'K') {
        recordType = type;
        record.clear();
        recordTooLarge = size > MaxRecordSize;
        remaining = size;
        padding = PaddingAfter(size);
        state = State::Record;
        if (remaining == 0) {
            ApplyRecord();
            state = State::Header;
        }
        return;
    }

    TarEntry entry;
    entry.offset = headerOffset;
    entry.typeFlag = type;
    bool posix = std::memcmp(header + MagicOffset, "ustar\0" "00", 8) == 0;
    if (nextPath) {
        entry.name = *nextPath;
        entry.nameIsUtf8 = nextPathUtf8;
    } else {
        entry.name = Field(header + NameOffset, 100);
        std::string prefix = posix ? Field(header + PrefixOffset, 155) : std::string();
        if (!prefix.empty()) entry.name = prefix + "/" + entry.name;
    }
    entry.linkName = nextLink ? *nextLink : Field(header + LinkOffset, 100);
    int64_t number = 0;
    if (ParseTarNumber(header + ModeOffset, 8, number)) entry.mode = static_cast<uint32_t>(number);
    std::optional<int64_t> time = nextTime ? nextTime : globalTime;
    if (!time && ParseTarNumber(header + TimeOffset, 12, number)) time = number;
    entry.hasTime = time.has_value();
    entry.mtime = time.value_or(0);
    size = nextSize ? *nextSize : size;

    switch (type) {
    case '0': case '\0': case '7':
        entry.kind = !entry.name.empty() && entry.name.back() == '/' ? MemberKind::Directory : MemberKind::File;
        break;
    case '1': entry.kind = MemberKind::HardLink; break;
    case '2': entry.kind = MemberKind::SymLink; break;
    case '5': case 'D': entry.kind = MemberKind::Directory; break;
    case '3': case '4': case '6': entry.kind = MemberKind::Other; size = 0; break;
    case 'S': case 'M': entry.kind = MemberKind::Other; break;
    default: entry.kind = MemberKind::File; break; // unknown types read as files, as POSIX asks
    }
    if (nextSparse) entry.kind = MemberKind::Other;
    if (entry.kind == MemberKind::Directory && type == '5') size = 0;
    entry.size = size;
    nextPath.reset();
    nextLink.reset();
    nextSize.reset();
    nextTime.reset();
    nextSparse = false;

    padding = PaddingAfter(size);
    remaining = size;
    if (type == 'V') {
        // A volume label names the tape, not a member.
        wanted = memberOpen = false;
    } else {
        memberOpen = true;
        wanted = listener.OnEntry(entry);
    }
    if (remaining == 0) {
        if (memberOpen) listener.OnEntryEnd(true);
        memberOpen = false;
        state = State::Header;
    } else {
        state = State::Data;
    }
}

void CTarStream::ApplyRecord()
{
    if (recordTooLarge) {
        Damage(TarProblem::OversizedHeader);
        return;
    }
    if (recordType == 'L' || recordType == 'K') {
        std::string value = record.substr(0, record.find('\0'));
        if (recordType == 'L') {
            nextPath = value;
            nextPathUtf8 = false;
        } else {
            nextLink = value;
        }
        return;
    }
    bool global = recordType == 'g';
    ForEachPaxRecord(record, [&](const std::string& key, const std::string& value) {
        int64_t number = 0;
        if (key == "mtime" && ParseDecimal(value, number, true)) (global ? globalTime : nextTime) = number;
        if (global) return;
        if (key == "path") {
            nextPath = value;
            nextPathUtf8 = true;
        } else if (key == "linkpath") {
            nextLink = value;
        } else if (key == "size" && ParseDecimal(value, number, false) && number >= 0) {
            nextSize = static_cast<uint64_t>(number);
        } else if (key.rfind("GNU.sparse.", 0) == 0) {
            nextSparse = true;
        }
    });
}

void CTarStream::Finish()
{
    switch (state) {
    case State::Header:
        if (headerFill > 0 && !resyncing) Damage(TarProblem::Truncated);
        break;
    case State::Data:
        if (memberOpen) {
            memberOpen = false;
            listener.OnEntryEnd(false);
        }
        Damage(TarProblem::Truncated);
        break;
    case State::Record: Damage(TarProblem::Truncated); break;
    case State::Padding:
    case State::Ended: break;
    }
    state = State::Ended;
}

} // namespace arc
