// The two-way synchronisation of directory trees; nothing outside the two trees is touched.
#include "tools/dircompare/DirSync.h"
#include "fileops/FileIdentity.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"

namespace {
bool WriteTimeOf(const std::wstring& path, uint64_t& time)
{
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    if (!::GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &info)) return false;
    time = (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
    return true;
}
}

CDirSync::CDirSync(COperationUi& ui, CFileOperation& operation) : ui(ui), operation(operation)
{
    operation.onlyNewer = true;
    operation.overwriteAll = false;
    operation.itemCount = 2;
}

SyncResult CDirSync::Run(const std::wstring& left, const std::wstring& right, bool subdirectories)
{
    if (!DirectoryExists(left) || !DirectoryExists(right)) return SyncResult::Missing;
    // Judged by identity, however the two are spelled: a tree synchronised into itself would grow without end.
    if (SamePath(left, right) || IsSameOrBelow(left, right) || IsSameOrBelow(right, left) ||
        LiesInside(left, right) || LiesInside(right, left))
        return SyncResult::SameOrNested;
    return SyncPair(left, right, subdirectories) ? SyncResult::Done : SyncResult::Cancelled;
}

bool CDirSync::SyncPair(const std::wstring& left, const std::wstring& right, bool subdirectories)
{
    std::vector<SideEntry> l, r;
    bool readLeft = ReadSide(left, l), readRight = ReadSide(right, r);
    // A side that cannot be listed is not empty: nothing of this pair is copied either way.
    if (!readLeft || !readRight) {
        if (!readLeft) Note(SyncProblem::Unlistable, left);
        if (!readRight) Note(SyncProblem::Unlistable, right);
        return true;
    }
    SortTable(l);
    SortTable(r);
    std::vector<NamePair> pairs = MergeTables(l, r);
    std::vector<NamePair> directories;
    for (const NamePair& p : pairs) {
        ui.Pump();
        if (ui.CancelRequested()) return false;
        const SideEntry* a = p.left >= 0 ? &l[static_cast<size_t>(p.left)] : nullptr;
        const SideEntry* b = p.right >= 0 ? &r[static_cast<size_t>(p.right)] : nullptr;
        const SideEntry* any = a ? a : b;
        if ((a && !IsShown(*a, showSystem, showHidden)) || (b && !IsShown(*b, showSystem, showHidden))) continue;
        if (p.Twins()) {
            Note(SyncProblem::Twins, JoinPath(a ? left : right, any->name));
            continue;
        }
        if (a && b && a->IsDirectory() != b->IsDirectory()) {
            Note(SyncProblem::FileAndDirectory, JoinPath(left, a->name));
            continue;
        }
        if (any->IsDirectory()) {
            if (subdirectories) directories.push_back(p);
            continue;
        }
        Newer newer = !a ? Newer::Right : !b ? Newer::Left : CompareTimes(a->lastWrite, b->lastWrite);
        bool ok = true;
        if (newer == Newer::Left) ok = CopyNewer(left, *a, right, b);
        if (newer == Newer::Right) ok = CopyNewer(right, *b, left, a);
        if (!ok) return false;
    }
    for (const NamePair& p : directories) {
        ui.Pump();
        if (ui.CancelRequested()) return false;
        const SideEntry* a = p.left >= 0 ? &l[static_cast<size_t>(p.left)] : nullptr;
        const SideEntry* b = p.right >= 0 ? &r[static_cast<size_t>(p.right)] : nullptr;
        // A directory link or junction is neither entered nor made on the other side.
        if ((a && a->IsReparse()) || (b && b->IsReparse())) {
            Note(SyncProblem::Link, a && a->IsReparse() ? JoinPath(left, a->name) : JoinPath(right, b->name));
            continue;
        }
        std::wstring subLeft = JoinPath(left, (a ? a : b)->name);
        std::wstring subRight = JoinPath(right, (b ? b : a)->name);
        if (!a || !b) {
            const std::wstring& missing = a ? subRight : subLeft;
            if (!MakeDirectoryPath(missing)) {
                Note(SyncProblem::NotCreated, missing);
                continue;
            }
            ++created;
        }
        if (!SyncPair(subLeft, subRight, true)) return false;
    }
    return true;
}

bool CDirSync::CopyNewer(const std::wstring& fromDir, const SideEntry& from, const std::wstring& toDir, const SideEntry* to)
{
    std::wstring source = JoinPath(fromDir, from.name);
    // The name the target side already uses stays.
    std::wstring target = JoinPath(toDir, to ? to->name : from.name);
    // Unix links show as plain files under Wine: only a look at where they lead tells.
    if (CFileOperation::IsLink(source, from.attributes)) {
        Note(SyncProblem::Link, source);
        return true;
    }
    if (to && CFileOperation::IsLink(target, to->attributes)) {
        Note(SyncProblem::Link, target);
        return true;
    }
    uint64_t before = 0;
    bool existed = WriteTimeOf(target, before);
    int result = operation.CopyFileAs(source, target);
    if (result == OpAbort) return false;
    // A target that was newer after all is skipped and counts as done; only a changed one is a copy.
    uint64_t after = 0;
    if (result == OpDone && WriteTimeOf(target, after) && (!existed || after != before)) ++copied;
    return !ui.CancelRequested();
}
