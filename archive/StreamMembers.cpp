// Member descriptions and the piecewise reading of tar and gzip archives.
#include "archive/StreamMembers.h"
#include "archive/ArchiveText.h"
#include "framework/Resources.h"
#include "resource.h"
#include <algorithm>
#include <vector>

MemberInfo DescribeTar(const arc::TarEntry& e)
{
    MemberInfo m;
    m.name = DecodeText(e.name, e.nameIsUtf8 || arc::IsValidUtf8(e.name) ? CP_UTF8 : CP_ACP);
    m.kind = e.kind;
    m.size = static_cast<int64_t>(std::min<uint64_t>(e.size, INT64_MAX));
    m.time = e.hasTime ? UnixTimeToFileTime(e.mtime) : 0;
    return m;
}

std::wstring GzipProblemText(arc::GzipStatus status)
{
    switch (status) {
    case arc::GzipStatus::CrcMismatch: return fw::LoadStr(IDS_ARC_CRC);
    case arc::GzipStatus::SizeMismatch: return fw::LoadStr(IDS_ARC_SIZE);
    case arc::GzipStatus::Truncated: return fw::LoadStr(IDS_ARC_TRUNCATED);
    default: return fw::LoadStr(IDS_ARC_DAMAGEDDATA);
    }
}

bool ReadInPieces(arc::IByteSource& source, const std::function<bool(const uint8_t*, size_t)>& feed)
{
    constexpr size_t Piece = 256 * 1024;
    std::vector<uint8_t> piece(static_cast<size_t>(std::min<uint64_t>(Piece, std::max<uint64_t>(source.Size(), 1))));
    for (uint64_t at = 0; at < source.Size();) {
        size_t got = static_cast<size_t>(std::min<uint64_t>(piece.size(), source.Size() - at));
        if (!arc::ReadExact(source, at, piece.data(), got)) return false;
        at += got;
        if (!feed(piece.data(), got)) break;
    }
    return true;
}
