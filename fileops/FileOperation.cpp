// Copy and move of files and trees that never lose data, and the link-safe tree delete.
#include "fileops/FileOperation.h"
#include "common/Settings.h"
#include "fileops/FileIdentity.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"
#include "resource.h"
#include <shellapi.h>
#include <memory>
#include <new>
#include <vector>

namespace {
uint64_t ToUInt64(const FILETIME& ft)
{
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct FoundEntry {
    std::wstring name;
    DWORD attributes;
};

// The entries of a directory other than "." and ".."; false when it cannot be read.
bool ListDirectory(const std::wstring& directory, std::vector<FoundEntry>& out)
{
    WIN32_FIND_DATAW data;
    fw::UniqueFind find(::FindFirstFileW(LongPath(JoinPath(directory, L"*.*")).c_str(), &data));
    if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (!lstrcmpW(data.cFileName, L".") || !lstrcmpW(data.cFileName, L"..")) continue;
        out.push_back({data.cFileName, data.dwFileAttributes});
    } while (::FindNextFileW(find.Get(), &data));
    return ::GetLastError() == ERROR_NO_MORE_FILES;
}

bool SameIdentity(HANDLE a, HANDLE b)
{
    FileIdentity ia, ib;
    if (!IdentityOf(a, ia) || !IdentityOf(b, ib)) return true;
    return ia == ib;
}

// Two names of one file (hard links, other spellings) are found by the file's identity.
bool SameFile(const std::wstring& a, const std::wstring& b)
{
    FileIdentity ia, ib;
    return IdentityOf(a, ia) && IdentityOf(b, ib) && ia == ib && ia.Known();
}

// Deletes the file behind a handle opened with delete access, read-only or not.
bool DeleteThroughHandle(HANDLE file, DWORD attributes)
{
    bool readOnly = attributes & FILE_ATTRIBUTE_READONLY;
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (readOnly) ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic));
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition))) return true;
    DWORD error = ::GetLastError();
    basic.FileAttributes = attributes;
    if (readOnly) ::SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic));
    ::SetLastError(error);
    return false;
}

// A fresh file beside the target; the target itself is replaced only by the finished copy.
fw::UniqueFile CreateTemporaryBeside(const std::wstring& targetName, std::wstring& tempName)
{
    std::wstring directory = DirectoryPart(targetName);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        wchar_t suffix[40];
        wsprintfW(suffix, L"~pd%08lx%04x.tmp", static_cast<unsigned long>(::GetTickCount()), ++counter & 0xFFFF);
        tempName = JoinPath(directory, suffix);
        fw::UniqueFile file(::CreateFileW(LongPath(tempName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file || ::GetLastError() != ERROR_FILE_EXISTS) return file;
    }
    return fw::UniqueFile();
}

// Deletes a file while keeping the error that made us give it up.
void DiscardKeepingError(const std::wstring& path)
{
    DWORD error = ::GetLastError();
    ::DeleteFileW(LongPath(path).c_str());
    ::SetLastError(error);
}
}

std::wstring CFileOperation::TargetName(const std::wstring& source, const std::wstring& target, bool targetIsDirectory)
{
    if (targetIsDirectory) return JoinPath(target, LastPart(source));
    std::wstring name = ApplyRenamePattern(LastPart(source), LastPart(target));
    return name.empty() ? std::wstring() : JoinPath(DirectoryPart(target), name);
}

int CFileOperation::CopyFile(const std::wstring& source, const std::wstring& target, bool targetIsDirectory)
{
    return CopyChecked(source, TargetName(source, target, targetIsDirectory), false);
}

int CFileOperation::CopyFileAs(const std::wstring& source, const std::wstring& targetName)
{
    return CopyChecked(source, targetName, false);
}

int CFileOperation::MoveFile(const std::wstring& source, const std::wstring& target, bool targetIsDirectory)
{
    return CopyChecked(source, TargetName(source, target, targetIsDirectory), true);
}

int CFileOperation::CopyChecked(const std::wstring& source, const std::wstring& targetName, bool moving)
{
    if (targetName.empty() || LastPart(targetName).empty()) {
        ::SetLastError(ERROR_INVALID_NAME);
        ui.ShowError(IDS_COPY_CANTCREATE);
        return OpFailed;
    }
    if (newTargetsDirectly && !SamePath(source, targetName)) {
        int fresh = CopyToNewFile(source, targetName, moving);
        if (fresh != OpNotTaken) return fresh;
    }
    bool targetExists = ::GetFileAttributesW(LongPath(targetName).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (SamePath(source, targetName) || (targetExists && SameFile(source, targetName))) {
        ui.ShowProblem(IDS_COPY_ONTOITSELF, source);
        return OpFailed;
    }
    return CopyData(source, targetName, moving);
}

bool CFileOperation::MayReplace(const WIN32_FILE_ATTRIBUTE_DATA& sourceInfo, const std::wstring& targetName,
                                bool moving, int& result)
{
    WIN32_FILE_ATTRIBUTE_DATA targetInfo = {};
    if (!::GetFileAttributesExW(LongPath(targetName).c_str(), GetFileExInfoStandard, &targetInfo)) return true;
    if (targetInfo.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        ::SetLastError(ERROR_ALREADY_EXISTS);
        ui.ShowError(IDS_COPY_CANTCREATE);
        result = OpFailed;
        return false;
    }
    if (targetInfo.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
        // The replacement of a read-only file is refused here, as creating it would be.
        ::SetLastError(ERROR_ACCESS_DENIED);
        ui.ShowError(IDS_COPY_CANTCREATE);
        result = OpFailed;
        return false;
    }
    if (onlyNewer) {
        if (ToUInt64(targetInfo.ftLastWriteTime) < ToUInt64(sourceInfo.ftLastWriteTime)) return true;
        // Not copied: a move must then keep its source, a copy counts it as done.
        result = moving ? OpFailed : OpDone;
        return false;
    }
    if (overwriteAll || GetProfileInt(L"Algemeen", L"BevestigingOverwrite", 1) != 1) return true;
    OverwriteQuestion q;
    q.targetDirectory = DirectoryPart(targetName);
    q.name = LastPart(targetName);
    q.sourceSize = (static_cast<uint64_t>(sourceInfo.nFileSizeHigh) << 32) | sourceInfo.nFileSizeLow;
    q.targetSize = (static_cast<uint64_t>(targetInfo.nFileSizeHigh) << 32) | targetInfo.nFileSizeLow;
    q.sourceTime = ToUInt64(sourceInfo.ftLastWriteTime);
    q.targetTime = ToUInt64(targetInfo.ftLastWriteTime);
    q.offerAll = itemCount >= 2;
    switch (ui.ConfirmOverwrite(q)) {
    case OverwriteAnswer::Overwrite: return true;
    case OverwriteAnswer::OverwriteAll: overwriteAll = true; return true;
    case OverwriteAnswer::Cancel:
        ui.RequestCancel();
        overwriteAll = false;
        result = OpAbort;
        return false;
    case OverwriteAnswer::Skip: break;
    }
    overwriteAll = false;
    result = OpFailed;
    return false;
}

int CFileOperation::CopyData(const std::wstring& source, const std::wstring& targetName, bool moving)
{
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[BufferSize]());
    if (!buffer) {
        ui.ShowWarning(IDS_COPY_NOMEMORY);
        return OpFailed;
    }

    WIN32_FILE_ATTRIBUTE_DATA sourceInfo = {};
    if (!::GetFileAttributesExW(LongPath(source).c_str(), GetFileExInfoStandard, &sourceInfo)) {
        ui.ShowError(IDS_COPY_CANTOPEN);
        return OpFailed;
    }
    // Only a target that is there now may be replaced, and only as the user or the settings allow.
    bool mayReplace = false;
    if (::GetFileAttributesW(LongPath(targetName).c_str()) != INVALID_FILE_ATTRIBUTES) {
        int result = OpFailed;
        if (!MayReplace(sourceInfo, targetName, moving, result)) return result;
        mayReplace = true;
    }

    ui.ShowNames(source, targetName);
    // A moved file goes through the handle that read it, which keeps writers out until then.
    bool byHandle = moving && !ui.RecycleMode() && !IsLink(source, sourceInfo.dwFileAttributes);
    DWORD access = GENERIC_READ | (byHandle ? DELETE | FILE_WRITE_ATTRIBUTES : 0);
    fw::UniqueFile in(::CreateFileW(LongPath(source).c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in && byHandle) {
        byHandle = false;
        in.Reset(::CreateFileW(LongPath(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    }
    if (!in) {
        ui.ShowError(IDS_COPY_CANTOPEN);
        return OpFailed;
    }
    std::wstring tempName;
    fw::UniqueFile out = CreateTemporaryBeside(targetName, tempName);
    if (!out) {
        ui.ShowError(IDS_COPY_CANTCREATE);
        return OpFailed;
    }

    int copied = CopyBlocks(in, out, tempName, buffer.get());
    if (copied != OpDone) return copied;
    int result = OpFailed;
    if (!PlaceCopy(tempName, targetName, sourceInfo, mayReplace, moving, result)) return result;
    if (!moving) return OpDone;
    return RemoveMovedFile(source, in.Release(), byHandle, sourceInfo.dwFileAttributes);
}

// A target that does not exist yet is made by the copy itself: nothing there can be the
// source, need a question or be lost, so the checks, the temporary file and the rename that
// protect an existing target are left out (under Wine each costs a look through the directory).
// OpNotTaken when either file cannot be opened so; the checked path then finds out why.
int CFileOperation::CopyToNewFile(const std::wstring& source, const std::wstring& targetName, bool moving)
{
    // A moved file goes through the handle that read it, which keeps writers out until then.
    DWORD attributes = moving ? ::GetFileAttributesW(LongPath(source).c_str()) : 0;
    bool byHandle = moving && !ui.RecycleMode() && attributes != INVALID_FILE_ATTRIBUTES && !IsLink(source, attributes);
    DWORD access = GENERIC_READ | (byHandle ? DELETE | FILE_WRITE_ATTRIBUTES : 0);
    fw::UniqueFile in(::CreateFileW(LongPath(source).c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) return OpNotTaken;
    fw::UniqueFile out(::CreateFileW(LongPath(targetName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!out) return OpNotTaken;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[BufferSize]);
    if (!buffer) {
        out.Reset();
        ::DeleteFileW(LongPath(targetName).c_str());
        ui.ShowWarning(IDS_COPY_NOMEMORY);
        return OpFailed;
    }
    ui.ShowNames(source, targetName);
    int copied = CopyBlocks(in, out, targetName, buffer.get());
    if (copied != OpDone || !moving) return copied;
    return RemoveMovedFile(source, in.Release(), byHandle, attributes);
}

// Copies the data and the times of in to out, a file of our own named outName, and closes out;
// outName is removed again when that fails or is cancelled.
int CFileOperation::CopyBlocks(fw::UniqueFile& in, fw::UniqueFile& out, const std::wstring& outName, char* buffer)
{
    auto fail = [&](int textId) {
        DWORD error = ::GetLastError();
        out.Reset();
        ::DeleteFileW(LongPath(outName).c_str());
        ::SetLastError(error);
        ui.ShowError(textId);
        return OpFailed;
    };
    for (;;) {
        ui.Pump();
        if (ui.CancelRequested()) {
            out.Reset();
            ::DeleteFileW(LongPath(outName).c_str());
            return OpAbort;
        }
        DWORD got = 0;
        if (!::ReadFile(in.Get(), buffer, BlockSize, &got, nullptr)) return fail(IDS_COPY_READERROR);
        if (got == 0) break;
        DWORD written = 0;
        bool ok = writeBlock ? writeBlock(out.Get(), buffer, got, &written)
                             : ::WriteFile(out.Get(), buffer, got, &written, nullptr) != FALSE;
        if (!ok || written != got) {
            if (ok) ::SetLastError(ERROR_DISK_FULL);
            return fail(IDS_COPY_WRITEERROR);
        }
    }

    FILETIME created, accessed, written;
    if (::GetFileTime(in.Get(), &created, &accessed, &written)) ::SetFileTime(out.Get(), &created, &accessed, &written);
    if (!::CloseHandle(out.Release())) {
        DiscardKeepingError(outName);
        ui.ShowError(IDS_COPY_WRITEERROR);
        return OpFailed;
    }
    return OpDone;
}

bool CFileOperation::PlaceCopy(const std::wstring& tempName, const std::wstring& targetName,
                               const WIN32_FILE_ATTRIBUTE_DATA& sourceInfo, bool mayReplace, bool moving, int& result)
{
    for (;;) {
        DWORD flags = mayReplace ? MOVEFILE_REPLACE_EXISTING : 0;
        if (::MoveFileExW(LongPath(tempName).c_str(), LongPath(targetName).c_str(), flags)) return true;
        DWORD error = ::GetLastError();
        bool appeared = !mayReplace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS);
        if (!appeared) {
            DiscardKeepingError(tempName);
            ui.ShowError(IDS_COPY_CANTCREATE);
            result = OpFailed;
            return false;
        }
        // Someone made the target while the copy was written: the same question as before it.
        if (!MayReplace(sourceInfo, targetName, moving, result)) {
            ::DeleteFileW(LongPath(tempName).c_str());
            return false;
        }
        mayReplace = true;
    }
}

int CFileOperation::RemoveMovedFile(const std::wstring& source, HANDLE opened, bool byHandle, DWORD attributes)
{
    fw::UniqueFile in(opened);
    Removal removal;
    if (byHandle) {
        removal = DeleteThroughHandle(in.Get(), attributes) ? Removal::Done : Removal::Failed;
        in.Reset();
    } else {
        in.Reset();
        removal = DeleteOneFile(source);
    }
    if (removal == Removal::Done) return OpDone;
    // The copy stays in the target; the source stays too, so nothing is lost.
    if (removal == Removal::Failed) ui.ShowProblem(IDS_DELETE_FAILED, source);
    return OpFailed;
}

int CFileOperation::CopyDirectory(const std::wstring& source, const std::wstring& target, bool targetIsDirectory)
{
    return CopyDirectoryAs(source, TargetName(source, target, targetIsDirectory), false, true);
}

int CFileOperation::MoveDirectory(const std::wstring& source, const std::wstring& target, bool targetIsDirectory)
{
    return CopyDirectoryAs(source, TargetName(source, target, targetIsDirectory), true, true);
}

int CFileOperation::CopyDirectoryAs(const std::wstring& source, const std::wstring& newDirectory, bool moving,
                                    bool outermost)
{
    DWORD attributes = ::GetFileAttributesW(LongPath(source).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) && IsLink(source, attributes)) {
        ui.ShowProblem(IDS_COPY_LINKSKIPPED, source);
        return OpFailed;
    }
    // Checked before anything is made, by identity: the same directory reached through another
    // drive, a short name or a link would otherwise be copied into itself without end. Below the
    // outermost level only a target that already exists can lead back into the source.
    bool exists = DirectoryExists(newDirectory);
    if (newDirectory.empty() || IsSameOrBelow(newDirectory, source) ||
        ((outermost || exists) && LiesInside(newDirectory, source))) {
        ui.ShowProblem(IDS_COPY_INTOITSELF, source);
        return OpFailed;
    }
    if (!exists && !MakeDirectoryPath(newDirectory)) {
        ui.ShowProblem(IDS_COPY_MKDIRFAILED, newDirectory);
        return OpFailed;
    }
    itemCount = 2;
    std::vector<FoundEntry> entries;
    if (!ListDirectory(source, entries)) {
        ui.ShowError(IDS_COPY_CANTOPEN);
        return OpFailed;
    }
    int result = OpDone;
    for (const FoundEntry& entry : entries) {
        if (ui.CancelRequested()) return OpAbort;
        std::wstring full = JoinPath(source, entry.name);
        int r;
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY)
            r = CopyDirectoryAs(full, JoinPath(newDirectory, entry.name), moving, false);
        else
            r = CopyChecked(full, JoinPath(newDirectory, entry.name), moving);
        if (r == OpAbort) return OpAbort;
        if (r != OpDone) result = OpFailed;
    }
    if (!moving || result != OpDone) return result;
    // Each file went as soon as its copy was in place; what is left now appeared meanwhile, and
    // a remove that takes only an empty directory keeps it.
    if (!::RemoveDirectoryW(LongPath(source).c_str())) {
        ui.ShowProblem(::GetLastError() == ERROR_DIR_NOT_EMPTY ? IDS_MOVE_NEWENTRIES : IDS_MOVE_DIRKEPT, source);
        return OpFailed;
    }
    return OpDone;
}

bool CFileOperation::IsLink(const std::wstring& path, DWORD attributes)
{
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        DWORD own, tag;
        return !EntryTag(path, own, tag) || IsLinkTag(own, tag);
    }
    // Wine shows a Unix link to a file as a plain file: only where it leads gives it away.
    std::wstring final = FinalPath(path);
    std::wstring parent = FinalPath(DirectoryPart(path));
    if (final.empty() || parent.empty()) return false;
    return lstrcmpiW(final.c_str(), JoinPath(parent, LastPart(path)).c_str()) != 0;
}

bool CFileOperation::RemoveLink(const std::wstring& path)
{
    fw::UniqueFile link(::CreateFileW(LongPath(path).c_str(), DELETE, ShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!link) return false;
    // Only a handle that is provably the link and not what it points to may be deleted: its own
    // tag says so (then it goes even when its target is missing), or its identity differs from the
    // target's. Wine 8 opens the target even when asked for the link, and would remove it.
    FILE_ATTRIBUTE_TAG_INFO own = {};
    bool provedByTag = ::GetFileInformationByHandleEx(link.Get(), FileAttributeTagInfo, &own, sizeof(own)) &&
                       (own.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(own.ReparseTag);
    if (!provedByTag) {
        fw::UniqueFile target(::CreateFileW(LongPath(path).c_str(), 0, ShareAll, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!target || SameIdentity(link.Get(), target.Get())) {
            ::SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
    }
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return ::SetFileInformationByHandle(link.Get(), FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

Removal CFileOperation::Recycle(const std::wstring& path)
{
    // The shell takes no extended-length paths, so such a file cannot reach the bin.
    if (path.size() >= MAX_PATH) {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return Removal::Failed;
    }
    std::wstring from = path;
    from.append(2, L'\0');
    SHFILEOPSTRUCTW op = {};
    op.hwnd = ui.Owner();
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    // Without the warning flag "no confirmation" lets the shell delete for good, without a word,
    // whatever the bin cannot take (too large, a network drive); with it the shell asks first.
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI | FOF_WANTNUKEWARNING;
    int code;
    {
        fw::ErrorModeScope quiet(0);
        code = ::SHFileOperationW(&op);
    }
    bool gone = ::GetFileAttributesW(LongPath(path).c_str()) == INVALID_FILE_ATTRIBUTES;
    if (gone && code == 0) return Removal::Done;
    return op.fAnyOperationsAborted && !gone ? Removal::Declined : Removal::Failed;
}

Removal CFileOperation::DeleteOneFile(const std::wstring& path)
{
    std::wstring longPath = LongPath(path);
    DWORD attributes = ::GetFileAttributesW(longPath.c_str());
    if (IsLink(path, attributes)) return RemoveLink(path) ? Removal::Done : Removal::Failed;
    ::SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    Removal result;
    if (ui.RecycleMode()) result = Recycle(path);
    else result = ::DeleteFileW(longPath.c_str()) ? Removal::Done : Removal::Failed;
    if (result != Removal::Done && attributes != INVALID_FILE_ATTRIBUTES) {
        DWORD error = ::GetLastError();
        ::SetFileAttributesW(longPath.c_str(), attributes);
        ::SetLastError(error);
    }
    return result;
}

int CFileOperation::DeleteTree(const std::wstring& directory)
{
    // A link's target lies outside the tree: the link goes, as a link, or stays.
    DWORD attributes = ::GetFileAttributesW(LongPath(directory).c_str());
    if (IsLink(directory, attributes)) {
        if (RemoveLink(directory)) return 0;
        ui.ShowProblem(IDS_DELETE_LINKKEPT, directory);
        return 1;
    }
    std::vector<FoundEntry> entries;
    if (!ListDirectory(directory, entries)) {
        ui.ShowError(IDS_UNKNOWNERROR);
        return 1;
    }
    bool failed = false;
    for (const FoundEntry& entry : entries) {
        std::wstring full = JoinPath(directory, entry.name);
        ui.ShowNames(full, std::wstring());
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            ui.Pump();
            if (ui.CancelRequested()) return 1;
            if (DeleteTree(full) != 0) failed = true;
            continue;
        }
        Removal removal = DeleteOneFile(full);
        if (removal == Removal::Failed)
            ui.ShowProblem(IsLink(full, entry.attributes) ? IDS_DELETE_LINKKEPT : IDS_DELETE_FAILED, full);
        if (removal != Removal::Done) failed = true;
    }
    // What could not be deleted keeps the directory; no second message for the same cause.
    if (failed) return 1;
    // Directories are removed directly, also when their files went to the recycle bin.
    if (!::RemoveDirectoryW(LongPath(directory).c_str())) {
        ui.ShowError(IDS_UNKNOWNERROR);
        return 1;
    }
    return 0;
}
