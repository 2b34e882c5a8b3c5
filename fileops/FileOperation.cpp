// Copy and move of files and trees that never lose data, and the link-safe tree delete.
#include "fileops/FileOperation.h"
#include "common/Settings.h"
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

bool IsLinkedDirectory(DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The path the system reaches through every link in path; empty when it cannot be opened.
std::wstring FinalPath(const std::wstring& path)
{
    fw::UniqueFile file(::CreateFileW(LongPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return std::wstring();
    std::wstring out(512, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD n = ::GetFinalPathNameByHandleW(file.Get(), &out[0], static_cast<DWORD>(out.size()), FILE_NAME_NORMALIZED);
        if (n == 0) return std::wstring();
        if (n < out.size()) {
            out.resize(n);
            return out;
        }
        out.assign(n + 1, L'\0');
    }
    return std::wstring();
}

bool SameIdentity(HANDLE a, HANDLE b)
{
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (!::GetFileInformationByHandle(a, &ia) || !::GetFileInformationByHandle(b, &ib)) return true;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow;
}

// Two names of one file (hard links, other spellings) are found by the file's identity.
bool SameFile(const std::wstring& a, const std::wstring& b)
{
    auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
        fw::UniqueFile file(::CreateFileW(LongPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return file && ::GetFileInformationByHandle(file.Get(), &info);
    };
    BY_HANDLE_FILE_INFORMATION ia, ib;
    if (!identity(a, ia) || !identity(b, ib)) return false;
    return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
           ia.nFileIndexLow == ib.nFileIndexLow && (ia.nFileIndexHigh | ia.nFileIndexLow) != 0;
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
    return CopyFileAs(source, TargetName(source, target, targetIsDirectory), false);
}

int CFileOperation::MoveFile(const std::wstring& source, const std::wstring& target, bool targetIsDirectory)
{
    return CopyFileAs(source, TargetName(source, target, targetIsDirectory), true);
}

int CFileOperation::CopyFileAs(const std::wstring& source, const std::wstring& targetName, bool moving)
{
    int result = CopyChecked(source, targetName, moving);
    if (result != OpDone || !moving) return result;
    if (!DeleteOneFile(source)) {
        ui.ShowProblem(IDS_DELETE_FAILED, source);
        return OpFailed;
    }
    return OpDone;
}

int CFileOperation::CopyChecked(const std::wstring& source, const std::wstring& targetName, bool moving)
{
    if (targetName.empty() || LastPart(targetName).empty()) {
        ::SetLastError(ERROR_INVALID_NAME);
        ui.ShowError(IDS_COPY_CANTCREATE);
        return OpFailed;
    }
    if (!SamePath(source, targetName)) {
        int fresh = CopyToNewFile(source, targetName);
        if (fresh != OpNotTaken) return fresh;
    }
    bool targetExists = ::GetFileAttributesW(LongPath(targetName).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (SamePath(source, targetName) || (targetExists && SameFile(source, targetName))) {
        ui.ShowProblem(IDS_COPY_ONTOITSELF, source);
        return OpFailed;
    }
    return CopyData(source, targetName, moving);
}

int CFileOperation::CopyData(const std::wstring& source, const std::wstring& targetName, bool moving)
{
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[BufferSize]());
    if (!buffer) {
        ui.ShowWarning(IDS_COPY_NOMEMORY);
        return OpFailed;
    }

    WIN32_FILE_ATTRIBUTE_DATA sourceInfo = {}, targetInfo = {};
    if (!::GetFileAttributesExW(LongPath(source).c_str(), GetFileExInfoStandard, &sourceInfo)) {
        ui.ShowError(IDS_COPY_CANTOPEN);
        return OpFailed;
    }
    if (::GetFileAttributesExW(LongPath(targetName).c_str(), GetFileExInfoStandard, &targetInfo)) {
        if (targetInfo.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ::SetLastError(ERROR_ALREADY_EXISTS);
            ui.ShowError(IDS_COPY_CANTCREATE);
            return OpFailed;
        }
        if (targetInfo.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
            // The replacement of a read-only file is refused here, as creating it would be.
            ::SetLastError(ERROR_ACCESS_DENIED);
            ui.ShowError(IDS_COPY_CANTCREATE);
            return OpFailed;
        }
        if (onlyNewer) {
            // Not copied: a move must then keep its source, a copy counts it as done.
            if (ToUInt64(targetInfo.ftLastWriteTime) >= ToUInt64(sourceInfo.ftLastWriteTime))
                return moving ? OpFailed : OpDone;
        } else if (!overwriteAll && GetProfileInt(L"Algemeen", L"BevestigingOverwrite", 1) == 1) {
            OverwriteQuestion q;
            q.targetDirectory = DirectoryPart(targetName);
            q.name = LastPart(targetName);
            q.sourceSize = (static_cast<uint64_t>(sourceInfo.nFileSizeHigh) << 32) | sourceInfo.nFileSizeLow;
            q.targetSize = (static_cast<uint64_t>(targetInfo.nFileSizeHigh) << 32) | targetInfo.nFileSizeLow;
            q.sourceTime = ToUInt64(sourceInfo.ftLastWriteTime);
            q.targetTime = ToUInt64(targetInfo.ftLastWriteTime);
            q.offerAll = itemCount >= 2;
            switch (ui.ConfirmOverwrite(q)) {
            case OverwriteAnswer::Overwrite: break;
            case OverwriteAnswer::OverwriteAll: overwriteAll = true; break;
            case OverwriteAnswer::Cancel:
                ui.RequestCancel();
                overwriteAll = false;
                return OpAbort;
            case OverwriteAnswer::Skip:
                overwriteAll = false;
                return OpFailed;
            }
        }
    }

    ui.ShowNames(source, targetName);
    fw::UniqueFile in(::CreateFileW(LongPath(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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
    if (!::MoveFileExW(LongPath(tempName).c_str(), LongPath(targetName).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DiscardKeepingError(tempName);
        ui.ShowError(IDS_COPY_CANTCREATE);
        return OpFailed;
    }
    return OpDone;
}

// A target that does not exist yet is made by the copy itself: nothing there can be the
// source, need a question or be lost, so the checks, the temporary file and the rename that
// protect an existing target are left out (under Wine each costs a look through the directory).
// OpNotTaken when either file cannot be opened so; the checked path then finds out why.
int CFileOperation::CopyToNewFile(const std::wstring& source, const std::wstring& targetName)
{
    fw::UniqueFile in(::CreateFileW(LongPath(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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
    return CopyBlocks(in, out, targetName, buffer.get());
}

// Copies the data and the times of in to out, a file of our own named outName, and closes
// both; outName is removed again when that fails or is cancelled.
int CFileOperation::CopyBlocks(fw::UniqueFile& in, fw::UniqueFile& out, const std::wstring& outName, char* buffer)
{
    auto fail = [&](int textId) {
        DWORD error = ::GetLastError();
        in.Reset();
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
    in.Reset();
    if (!::CloseHandle(out.Release())) {
        DiscardKeepingError(outName);
        ui.ShowError(IDS_COPY_WRITEERROR);
        return OpFailed;
    }
    return OpDone;
}

int CFileOperation::CopyDirectory(const std::wstring& source, const std::wstring& target, bool targetIsDirectory)
{
    std::wstring newDirectory = TargetName(source, target, targetIsDirectory);
    return CopyDirectoryAs(source, newDirectory, false);
}

int CFileOperation::MoveDirectory(const std::wstring& source, const std::wstring& target, bool targetIsDirectory)
{
    std::wstring newDirectory = TargetName(source, target, targetIsDirectory);
    int result = CopyDirectoryAs(source, newDirectory, true);
    if (result != OpDone) return result;
    return DeleteTree(source) == 0 ? OpDone : OpFailed;
}

int CFileOperation::CopyDirectoryAs(const std::wstring& source, const std::wstring& newDirectory, bool moving)
{
    if (IsLinkedDirectory(::GetFileAttributesW(LongPath(source).c_str()))) {
        ui.ShowProblem(IDS_COPY_LINKSKIPPED, source);
        return OpFailed;
    }
    if (newDirectory.empty() || IsSameOrBelow(newDirectory, source)) {
        ui.ShowProblem(IDS_COPY_INTOITSELF, source);
        return OpFailed;
    }
    if (!DirectoryExists(newDirectory) && !MakeDirectoryPath(newDirectory)) {
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
            r = CopyDirectoryAs(full, JoinPath(newDirectory, entry.name), moving);
        else
            r = CopyChecked(full, JoinPath(newDirectory, entry.name), moving);
        if (r == OpAbort) return OpAbort;
        if (r != OpDone) result = OpFailed;
    }
    return result;
}

bool CFileOperation::IsLink(const std::wstring& path, DWORD attributes)
{
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    // Wine shows a Unix link to a file as a plain file: only where it leads gives it away.
    std::wstring final = FinalPath(path);
    std::wstring parent = FinalPath(DirectoryPart(path));
    if (final.empty() || parent.empty()) return false;
    return lstrcmpiW(final.c_str(), JoinPath(parent, LastPart(path)).c_str()) != 0;
}

bool CFileOperation::RemoveLink(const std::wstring& path)
{
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    fw::UniqueFile link(::CreateFileW(LongPath(path).c_str(), DELETE, share, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    fw::UniqueFile target(::CreateFileW(LongPath(path).c_str(), 0, share, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    // Only a handle that is provably the link and not what it points to may be deleted; Wine 8
    // opens the target even when asked for the link, and would remove it.
    if (!link || !target || SameIdentity(link.Get(), target.Get())) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return ::SetFileInformationByHandle(link.Get(), FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

bool CFileOperation::DeleteOneFile(const std::wstring& path)
{
    std::wstring longPath = LongPath(path);
    if (IsLink(path, ::GetFileAttributesW(longPath.c_str()))) return RemoveLink(path);
    DWORD attributes = ::GetFileAttributesW(longPath.c_str());
    ::SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    bool deleted;
    if (ui.RecycleMode()) {
        std::wstring from = path;
        from.append(2, L'\0');
        SHFILEOPSTRUCTW op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
        fw::ErrorModeScope quiet(0);
        deleted = ::SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted &&
                  ::GetFileAttributesW(longPath.c_str()) == INVALID_FILE_ATTRIBUTES;
    } else {
        deleted = ::DeleteFileW(longPath.c_str()) != FALSE;
    }
    if (!deleted && attributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(longPath.c_str(), attributes);
    return deleted;
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
        } else if (!DeleteOneFile(full)) {
            ui.ShowProblem(IsLink(full, entry.attributes) ? IDS_DELETE_LINKKEPT : IDS_DELETE_FAILED, full);
            failed = true;
        }
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
