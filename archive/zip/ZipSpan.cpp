// The spanned layout is made from the finished archive, so the writer can keep patching headers
// and a failed disk costs only that disk.
#include "archive/zip/ZipSpan.h"
#include "archive/FileSource.h"
#include "archive/zip/ZipReader.h"
#include "archive/zip/ZipWriter.h"
#include "fileops/FileSystem.h"
#include "framework/Handles.h"
#include <algorithm>

namespace zip {

std::wstring CRemovableDrive::PartPath(int disk)
{
    (void)disk;
    return archive;
}

uint64_t CRemovableDrive::FreeBytes(int disk)
{
    (void)disk;
    ULARGE_INTEGER free = {};
    std::wstring root = archive.substr(0, 3);
    if (!::GetDiskFreeSpaceExW(root.c_str(), &free, nullptr, nullptr)) return 0;
    // The part's own directory entry and cluster rounding want a little room.
    constexpr uint64_t Slack = 4096;
    return free.QuadPart > Slack ? free.QuadPart - Slack : 0;
}

namespace {
constexpr size_t Block = 256 * 1024;

struct Member {
    size_t index = 0;              // in the directory's order
    uint64_t start = 0, header = 0, end = 0;
    uint32_t disk = 0;             // where its header went
    uint64_t offset = 0;
};

// What goes onto the disks, one piece after the other: bytes of the source (a header, which is
// never cut, or member data, which may be) or records made when they are placed.
struct Piece {
    std::string bytes;
    uint64_t from = 0, size = 0;
    bool fromSource = false, breakable = false;
};

enum class DiskResult { Full, Finished, TooSmall, WriteFailed, ReadFailed, Cancelled };

class CSpanner {
public:
    CSpanner(arc::CFileSource& source, const CZipArchive& archive, IPackEvents& events)
        : source(source), archive(archive), events(events)
    {
        const auto& entries = archive.Entries();
        for (size_t i = 0; i < entries.size(); ++i) {
            Member m;
            m.index = i;
            m.start = entries[i].localHeaderOffset;
            members.push_back(m);
        }
        std::sort(members.begin(), members.end(), [](const Member& a, const Member& b) { return a.start < b.start; });
        byIndex.resize(members.size());
        for (size_t k = 0; k < members.size(); ++k) {
            members[k].end = k + 1 < members.size() ? members[k + 1].start : archive.End().directoryOffset;
            byIndex[members[k].index] = k;
        }
    }

    // Reads the length of each local header; false when one is not where the directory says.
    bool Measure()
    {
        for (Member& m : members) {
            uint8_t fixed[LocalHeaderSize];
            if (!arc::ReadExact(source, m.start, fixed, sizeof(fixed)) || arc::Get32(fixed) != LocalHeaderSignature)
                return false;
            m.header = LocalHeaderSize + arc::Get16(fixed + 26) + arc::Get16(fixed + 28);
            if (m.start + m.header > m.end) return false;
        }
        return true;
    }

    bool Done() const { return state.next >= PieceCount(); }

    // Fills one disk from where the last one stopped.
    DiskResult Fill(HANDLE file, uint64_t capacity, uint32_t disk)
    {
        if (disk == 0 && state.next == 0 && source.Size() <= capacity) whole = true;
        uint64_t used = 0;
        while (!Done()) {
            Piece piece = Make(state.next, disk, used);
            uint64_t left = piece.size - state.done;
            if (!piece.breakable && left > capacity - used) return used == 0 ? DiskResult::TooSmall : DiskResult::Full;
            if (used == capacity) return DiskResult::Full;
            if (state.done == 0) Placed(state.next, disk, used, piece);
            uint64_t n = std::min(left, capacity - used);
            for (uint64_t sent = 0; sent < n;) {
                size_t step = static_cast<size_t>(std::min<uint64_t>(Block, n - sent));
                const uint8_t* data = nullptr;
                if (piece.fromSource) {
                    buffer.resize(step);
                    if (!arc::ReadExact(source, piece.from + state.done + sent, buffer.data(), step))
                        return DiskResult::ReadFailed;
                    data = buffer.data();
                } else {
                    data = reinterpret_cast<const uint8_t*>(piece.bytes.data()) + state.done + sent;
                }
                DWORD written = 0;
                if (!::WriteFile(file, data, static_cast<DWORD>(step), &written, nullptr) || written != step)
                    return DiskResult::WriteFailed;
                sent += step;
                if (events.Cancelled()) return DiskResult::Cancelled;
            }
            used += n;
            state.done += n;
            if (state.done < piece.size) return DiskResult::Full;
            ++state.next;
            state.done = 0;
        }
        return DiskResult::Finished;
    }

    // Where a disk began, to write it once more on another disk.
    struct State {
        size_t next = 0;
        uint64_t done = 0;
        uint32_t directoryDisk = 0, countedDisk = 0;
        uint64_t directoryOffset = 0, directorySize = 0, countedEntries = 0;
    };
    State Mark() const { return state; }
    void Restore(const State& s)
    {
        state = s;
        whole = false;
    }

private:
    // Piece 0 is the signature, then each member's header and data, the directory records and the end records.
    size_t PieceCount() const { return whole ? 1 : 2 + 3 * members.size(); }

    Piece Make(size_t k, uint32_t disk, uint64_t used) const
    {
        Piece p;
        size_t count = members.size();
        if (whole) {
            p.fromSource = true;
            p.size = source.Size();
        } else if (k == 0) {
            arc::Put32(p.bytes, SpanningSignature);
        } else if (k <= 2 * count) {
            const Member& m = members[(k - 1) / 2];
            bool header = (k - 1) % 2 == 0;
            p.fromSource = true;
            p.from = header ? m.start : m.start + m.header;
            p.size = header ? m.header : m.end - m.start - m.header;
            p.breakable = !header;
        } else if (k <= 3 * count) {
            size_t index = k - 1 - 2 * count;
            ZipEntry central = archive.Entries()[index];
            const Member& m = members[byIndex[index]];
            central.diskStart = m.disk;
            central.localHeaderOffset = m.offset;
            AppendDirectoryRecord(p.bytes, central, false);
        } else {
            EndRecord end;
            end.diskNumber = disk;
            end.directoryDisk = state.directoryDisk;
            end.entriesOnDisk = state.countedDisk == disk ? state.countedEntries : 0;
            end.entries = count;
            end.directorySize = state.directorySize;
            end.directoryOffset = state.directoryOffset;
            if (count == 0) {
                end.directoryDisk = disk;
                end.directoryOffset = used;
            }
            AppendEndRecords(p.bytes, end, used);
        }
        if (!p.fromSource) p.size = p.bytes.size();
        return p;
    }

    void Placed(size_t k, uint32_t disk, uint64_t used, const Piece& piece)
    {
        size_t count = members.size();
        if (whole || k == 0) return;
        if (k <= 2 * count) {
            if ((k - 1) % 2 == 0) {
                Member& m = members[(k - 1) / 2];
                m.disk = disk;
                m.offset = used;
            }
        } else if (k <= 3 * count) {
            if (k == 2 * count + 1) {
                state.directoryDisk = disk;
                state.directoryOffset = used;
            }
            if (state.countedDisk != disk) state.countedEntries = 0;
            state.countedDisk = disk;
            ++state.countedEntries;
            state.directorySize += piece.size;
        }
    }

    arc::CFileSource& source;
    const CZipArchive& archive;
    IPackEvents& events;
    std::vector<Member> members;
    std::vector<size_t> byIndex;
    std::vector<uint8_t> buffer;
    State state;
    bool whole = false;
};
}

PackResult SpanArchive(const std::wstring& sourcePath, IDiskDrive& drive, IPackEvents& events, DWORD& error)
{
    arc::CFileSource source;
    CZipArchive archive;
    if (!source.Open(LongPath(sourcePath)) || archive.Open(source) != ZipStatus::Ok) {
        error = ::GetLastError() ? ::GetLastError() : ERROR_FILE_CORRUPT;
        return PackResult::WriteFailed;
    }
    CSpanner spanner(source, archive, events);
    if (!spanner.Measure()) {
        error = ERROR_FILE_CORRUPT;
        return PackResult::WriteFailed;
    }
    for (int disk = 1; !spanner.Done(); ++disk) {
        if (disk > 1 && !events.OnNextDisk(disk)) return PackResult::Cancelled;
        CSpanner::State start = spanner.Mark();
        for (;;) {
            std::wstring part = drive.PartPath(disk);
            std::wstring temp = part + L".~pd";
            uint64_t capacity = drive.FreeBytes(disk);
            DiskResult result = DiskResult::TooSmall;
            if (capacity >= MinimumDiskSpace) {
                fw::UniqueFile file(::CreateFileW(LongPath(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                  FILE_ATTRIBUTE_NORMAL, nullptr));
                result = file ? spanner.Fill(file.Get(), capacity, static_cast<uint32_t>(disk - 1))
                              : DiskResult::WriteFailed;
                if (file && !::CloseHandle(file.Release()) && result != DiskResult::Cancelled)
                    result = DiskResult::WriteFailed;
                if ((result == DiskResult::Full || result == DiskResult::Finished) &&
                    !::MoveFileExW(LongPath(temp).c_str(), LongPath(part).c_str(), MOVEFILE_REPLACE_EXISTING))
                    result = DiskResult::WriteFailed;
            }
            if (result == DiskResult::Full || result == DiskResult::Finished) break;
            ::DeleteFileW(LongPath(temp).c_str());
            if (result == DiskResult::Cancelled) return PackResult::Cancelled;
            if (result == DiskResult::ReadFailed) {
                error = ::GetLastError() ? ::GetLastError() : ERROR_READ_FAULT;
                return PackResult::WriteFailed;
            }
            // A disk too small, full or not writable: another one, and this part once more.
            spanner.Restore(start);
            if (!events.OnNextDisk(0)) return PackResult::Cancelled;
        }
    }
    return PackResult::Done;
}

} // namespace zip
