// Copy, move and rename in place of the panel's marked rows (or its cursor row).
#include "panel/FileList.h"
#include "common/Program.h"
#include "fileops/CopyDialogs.h"
#include "fileops/CopyProgress.h"
#include "fileops/FileOperation.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "common/RecentDirectories.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include <cwctype>

namespace {
struct ChosenRow {
    std::wstring path;
    bool isDirectory;
};

std::wstring Upper(std::wstring text)
{
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

void WarnWithDetail(int textId, const std::wstring& detail)
{
    std::wstring text = fw::LoadStr(textId) + detail;
    ::MessageBoxW(nullptr, text.c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
}
}

std::vector<const FileEntry*> CFileList::TakenEntries() const
{
    std::vector<const FileEntry*> taken;
    bool anyMarked = list.GetSelectedCount() > 0;
    int focused = list.GetFocusedItem();
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (anyMarked ? !list.IsSelected(row) : row != focused) continue;
        const FileEntry* entry = Entry(row);
        if (entry && entry->kind != EntryParent) taken.push_back(entry);
    }
    return taken;
}

void CFileList::CopyMarked() { TransferMarked(false); }

void CFileList::MoveMarked() { TransferMarked(true); }

CFileList* CFileList::OtherPanel() const
{
    HWND other = ::GetDlgItem(context.owner, isLeft ? IDC_PANELR : IDC_PANELL);
    return dynamic_cast<CFileList*>(fw::CWindow::FromHandle(other));
}

void CFileList::TransferMarked(bool move)
{
    if (!context.operation || context.operation->busy) return;
    CFileList* other = OtherPanel();
    if (!other) return;
    if (drive == L"FTP" && other->drive == L"FTP") {
        ShowWarning(IDS_NOTONFTP_PRINT);
        return;
    }
    std::vector<FtpRow> ftpRows;

    std::vector<ChosenRow> rows;
    int files = 0, directories = 0;
    for (const FileEntry* entry : TakenEntries()) {
        bool isDirectory = entry->kind == EntryDirectory;
        (isDirectory ? directories : files)++;
        rows.push_back({EntryPath(path, entry->name), isDirectory});
        ftpRows.push_back({entry->name, isDirectory, entry->Size(), entry->lastWrite});
    }
    if (rows.empty()) {
        ShowWarning(IDS_COPY_NOTHING);
        return;
    }

    CCopyDialog dialog(move);
    dialog.prompt = fw::LoadStr(move ? IDS_MOVE_PROMPT : IDS_COPY_PROMPT);
    if (rows.size() == 1) dialog.prompt += Upper(rows[0].path) + fw::LoadStr(IDS_COPY_ONEROW);
    else
        dialog.prompt += std::to_wstring(files) + fw::LoadStr(IDS_SEL_FILES) + std::to_wstring(directories) +
                         fw::LoadStr(IDS_COPY_DIRECTORIES);
    dialog.target = other->path;
    if (rows.size() == 1 && !rows[0].isDirectory) dialog.target = JoinPath(other->path, LastPart(rows[0].path));
    dialog.offerTransferType = IsFtpTransfer(other);
    dialog.transferType = GetProfileInt(L"FTP", L"XferType", 4);
    {
        HelpContextScope help(move ? IDM_RENMOVE : IDM_COPY);
        if (dialog.DoModal(context.owner) != IDOK || dialog.target.empty()) return;
    }
    const std::wstring targetSpec = dialog.target;
    RecordRecentDirectory(path);

    if (IsFtpTransfer(other)) {
        if (move && drive == L"FTP" && IsRenameInPlace(targetSpec)) {
            if (ftpRows.size() > 1 && !HasWildcard(targetSpec)) {
                ShowWarning(IDS_COPY_NEEDPATTERN);
                return;
            }
            std::vector<std::wstring> names;
            for (const FtpRow& row : ftpRows) names.push_back(row.name);
            RenameFtpInPlace(names, targetSpec);
            return;
        }
        bool typedLocal = (targetSpec.size() >= 2 && targetSpec[1] == L':') || targetSpec.rfind(L"\\\\", 0) == 0;
        if (drive == L"FTP" || !typedLocal) {
            // The type chosen holds for this operation only.
            int kept = GetProfileInt(L"FTP", L"XferType", 4);
            WriteProfileInt(L"FTP", L"XferType", dialog.transferType);
            TransferFtp(ftpRows, move, targetSpec, *other);
            WriteProfileInt(L"FTP", L"XferType", kept);
            return;
        }
    }
    if (move && IsRenameInPlace(targetSpec)) {
        if (rows.size() > 1 && !HasWildcard(targetSpec)) {
            ShowWarning(IDS_COPY_NEEDPATTERN);
            return;
        }
        std::vector<std::wstring> sources;
        for (const ChosenRow& row : rows) sources.push_back(row.path);
        RenameInPlace(sources, targetSpec);
        return;
    }

    std::wstring target = ResolveTarget(targetSpec, path);
    bool targetIsDirectory = DirectoryExists(target);
    wchar_t typedLast = targetSpec.back();
    if (!targetIsDirectory && (typedLast == L'\\' || typedLast == L'/')) {
        // A typed path that ends in a backslash names a directory, however many rows there are.
        if (!MakeDirectoryPath(target)) {
            WarnWithDetail(IDS_COPY_MKDIRFAILED, target);
            return;
        }
        targetIsDirectory = true;
    }
    if (!targetIsDirectory) {
        if (rows.size() > 1 && !HasWildcard(LastPart(target))) {
            ShowWarning(IDS_COPY_NEEDPATTERN);
            return;
        }
        std::wstring directory = DirectoryPart(target);
        if (!DirectoryExists(directory) && !MakeDirectoryPath(directory)) WarnWithDetail(IDS_COPY_MKDIRFAILED, directory);
    }

    bool allDone = true;
    {
        CCopyProgress progress(*context.operation, context.owner,
                               fw::LoadStr(move ? IDS_MOVE_TITLE : IDS_COPY_TITLE));
        CFileOperation operation(progress);
        operation.onlyNewer = dialog.onlyNewer;
        operation.overwriteAll = false;
        operation.itemCount = static_cast<int>(rows.size());
        for (const ChosenRow& row : rows) {
            progress.Pump();
            if (progress.CancelRequested()) {
                allDone = false;
                break;
            }
            int result;
            if (row.isDirectory)
                result = move ? operation.MoveDirectory(row.path, target, targetIsDirectory)
                              : operation.CopyDirectory(row.path, target, targetIsDirectory);
            else
                result = move ? operation.MoveFile(row.path, target, targetIsDirectory)
                              : operation.CopyFile(row.path, target, targetIsDirectory);
            if (result != OpDone) allDone = false;
            if (result < 0) break;
        }
    }
    // Marks stay after an error or a cancel, so that the run can be repeated.
    if (allDone) keepMarks = false;
    ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(other->Handle()), 0);
    if (!showsFoundFiles) ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(hwnd), 0);
    ::SetFocus(hwnd);
}

void CFileList::RenameInPlace(const std::vector<std::wstring>& sources, const std::wstring& newName)
{
    {
        fw::WaitCursor wait;
        for (const std::wstring& source : sources) {
            std::wstring name = HasWildcard(newName) ? ApplyRenamePattern(LastPart(source), newName) : newName;
            std::wstring target = JoinPath(DirectoryPart(source), name);
            if (name.empty() || target == source) continue;
            // Never onto an existing entry: a rename must not replace anything.
            if (!::MoveFileExW(LongPath(source).c_str(), LongPath(target).c_str(), 0))
                ShowLastError(IDS_MOVE_RENAMEFAILED);
        }
    }
    keepMarks = false;
    ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(hwnd), 0);
}
