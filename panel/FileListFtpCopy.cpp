// Copy and move between a local panel and an FTP panel: downloads, uploads (directory trees too),
// and rename in place on the server.
#include "panel/FileList.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/CopyProgress.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "common/FtpConnection.h"
#include "ftp/FtpEngine.h"
#include "ftp/FtpReplies.h"
#include "resource.h"
#include <commctrl.h>
#include <algorithm>
#include <functional>

namespace {

// What the engine's progress callback reports into: the running transfer's status window.
struct FtpTransferProgress {
    CCopyProgress* ui = nullptr;
    int64_t last = 0;
    int64_t total = 0;
    int64_t grand = 0;
    int shown = -1;
};
FtpTransferProgress* running = nullptr;

void FtpProgress(int kind, int64_t value)
{
    if (kind != 0 || !running || !running->ui) return;
    FtpTransferProgress& p = *running;
    p.ui->Pump();
    if (p.ui->CancelRequested()) FtpStop();
    HWND dialog = p.ui->Dialog();
    if (!dialog || !::IsWindow(dialog)) return;
    if (value < p.last) p.last = 0;
    p.total += value - p.last;
    p.last = value;
    if (p.grand <= 0) return;
    // The engine reports every block; the bar is touched only when its percentage moves.
    int percent = static_cast<int>(std::min<int64_t>(100, p.total * 100 / p.grand));
    if (percent == p.shown) return;
    p.shown = percent;
    ::SendDlgItemMessageW(dialog, IDC_STATUS_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

class ProgressScope {
public:
    ProgressScope(FtpTransferProgress& p) : was(running)
    {
        running = &p;
        FtpSetProgressCallback(FtpProgress);
    }
    ~ProgressScope()
    {
        running = was;
        FtpSetProgressCallback(was ? FtpProgress : nullptr);
    }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

private:
    FtpTransferProgress* was;
};

void StartFile(FtpTransferProgress& p, const std::wstring& source, const std::wstring& target, char type,
               int64_t size)
{
    p.ui->ShowNames(source, target);
    HWND dialog = p.ui->Dialog();
    if (dialog) {
        ::SetDlgItemTextW(dialog, IDC_STATUS_SOURCE, source.c_str());
        ::SetDlgItemTextW(dialog, IDC_STATUS_TARGET, target.c_str());
        ::SetDlgItemTextW(dialog, IDC_FTPSTATUS_TYPE, TransferTypeName(type));
        ::SendDlgItemMessageW(dialog, IDC_STATUS_PROGRESS, PBM_SETPOS, 0, 0);
    }
    p.last = p.total = 0;
    p.grand = size;
    p.shown = 0;
}


std::wstring ServerJoin(const std::wstring& directory, const std::wstring& name)
{
    if (directory.empty()) return name;
    return directory.back() == L'\\' ? directory + name : directory + L"\\" + name;
}

uint64_t LocalSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
}

bool CFileList::IsFtpTransfer(const CFileList* other) const
{
    return drive == L"FTP" || (other && other->drive == L"FTP");
}

void CFileList::RenameFtpInPlace(const std::vector<std::wstring>& names, const std::wstring& newName)
{
    for (const std::wstring& name : names) {
        std::wstring target = HasWildcard(newName) ? ApplyRenamePattern(name, newName) : newName;
        if (target.empty() || target == name) continue;
        RenameFtp(name, target);
    }
    keepMarks = false;
    OnUpdate();
}

void CFileList::TransferFtp(const std::vector<FtpRow>& rows, bool move, const std::wstring& targetSpec, CFileList& other)
{
    if (FtpEngineBusy()) return;
    if (!FtpState().ftpConnected) {
        ShowMessage(context.owner, fw::LoadStr(IDS_FTP_LOST), MB_OK | MB_ICONSTOP);
        return;
    }
    bool download = drive == L"FTP";
    bool allDone = true;
    {
        CCopyProgress progress(*context.operation, context.owner,
                               fw::LoadStr(move ? IDS_MOVE_TITLE : IDS_COPY_TITLE), L"STATUSFTP");
        FtpTransferProgress transfer;
        transfer.ui = &progress;
        ProgressScope scope(transfer);
        FtpSetBlocking(true);
        bool overwriteAll = GetProfileInt(L"Algemeen", L"BevestigingOverwrite", 1) == 0;
        if (download) {
            CFileList& source = *this;
            source.SyncFtpDirectory();
            std::wstring target = ResolveTarget(targetSpec, other.path);
            bool single = rows.size() == 1 && !DirectoryExists(target) && targetSpec.back() != L'\\';
            std::wstring targetDir = single ? DirectoryPart(target) : target;
            bool warnedDirectories = false;
            for (const FtpRow& row : rows) {
                progress.Pump();
                if (progress.CancelRequested()) {
                    allDone = false;
                    break;
                }
                if (row.isDirectory) {
                    if (!warnedDirectories) ShowWarning(IDS_FTP_NODIRCOPY);
                    warnedDirectories = true;
                    allDone = false;
                    continue;
                }
                std::wstring localName = single ? LastPart(target) : row.name;
                if (!FtpUsableLocalName(localName)) {
                    progress.ShowProblem(IDS_FTP_UNSAFENAME, row.name);
                    allDone = false;
                    continue;
                }
                std::wstring local = JoinPath(targetDir, localName);
                WIN32_FILE_ATTRIBUTE_DATA existing{};
                if (::GetFileAttributesExW(LongPath(local).c_str(), GetFileExInfoStandard, &existing)) {
                    if (existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                        progress.ShowProblem(IDS_COPY_CANTCREATE, local);
                        allDone = false;
                        continue;
                    }
                    if (!overwriteAll) {
                        OverwriteQuestion q;
                        q.targetDirectory = targetDir;
                        q.name = localName;
                        q.sourceSize = row.size;
                        q.sourceTime = row.lastWrite;
                        q.targetSize = (static_cast<uint64_t>(existing.nFileSizeHigh) << 32) | existing.nFileSizeLow;
                        q.targetTime = (static_cast<uint64_t>(existing.ftLastWriteTime.dwHighDateTime) << 32) |
                                       existing.ftLastWriteTime.dwLowDateTime;
                        q.offerAll = rows.size() > 1;
                        OverwriteAnswer a = progress.ConfirmOverwrite(q);
                        if (a == OverwriteAnswer::Cancel) {
                            allDone = false;
                            break;
                        }
                        if (a == OverwriteAnswer::Skip) {
                            allDone = false;
                            continue;
                        }
                        if (a == OverwriteAnswer::OverwriteAll) overwriteAll = true;
                    }
                }
                char type = ChooseTransferType(row.name, true);
                StartFile(transfer, L"[FTP] " + row.name, local, type, static_cast<int64_t>(row.size));
                std::string remote = ToServerText(row.name);
                int r;
                {
                    FtpTimerPause pause;
                    FtpDiscardInput();
                    r = FtpDownload(remote.c_str(), LongPath(local).c_str(), type, true, nullptr, 0);
                }
                if (r != 0) {
                    allDone = false;
                    if (ReportFtpFailure(progress.Owner(), r, true) || progress.CancelRequested()) break;
                    continue;
                }
                if (move) {
                    FtpTimerPause pause;
                    int removed = FtpRemoveFile(remote.c_str());
                    if (removed != 0) {
                        allDone = false;
                        ShowFtpFailure(progress.Owner(), removed);
                    }
                }
            }
        } else {
            std::wstring remoteDir = targetSpec;
            std::wstring remoteName;
            bool single = rows.size() == 1 && !rows[0].isDirectory && remoteDir != other.path &&
                          remoteDir.back() != L'\\';
            if (single) {
                remoteName = LastPart(remoteDir);
                remoteDir = DirectoryPart(remoteDir);
            }
            other.SyncFtpDirectory();
            std::wstring remembered = other.path;
            // A typed target is named from the directory the FTP panel shows; its missing levels are made.
            if (FtpState().slashPaths) std::replace(remoteDir.begin(), remoteDir.end(), L'/', L'\\');
            if (!remoteDir.empty() && remoteDir[0] != L'\\') remoteDir = ServerJoin(other.path, remoteDir);
            while (remoteDir.size() > 1 && remoteDir.back() == L'\\') remoteDir.pop_back();
            bool targetFailed = false;
            if (remoteDir != other.path) {
                FtpTimerPause pause;
                int made = MakeFtpDirectoryPath(remoteDir);
                if (made != 0) {
                    ReportFtpFailure(progress.Owner(), made);
                    targetFailed = true;
                }
            }
            bool vms = FtpState().serverSystem == FtpSystemVms;
            // Names already there, when the target is the directory the panel shows.
            auto existsRemotely = [&](const std::wstring& dir, const std::wstring& name) {
                if (dir != other.path) return false;
                for (int i = 0; i < other.RowCount(); ++i)
                    if (other.Entry(i)->kind == EntryFile && other.Entry(i)->name == name) return true;
                return false;
            };
            std::function<bool(const std::wstring&, const std::wstring&, const std::wstring&)> uploadFile;
            std::function<bool(const std::wstring&, const std::wstring&)> uploadTree;
            bool stop = targetFailed;
            uploadFile = [&](const std::wstring& local, const std::wstring& dir, const std::wstring& name) {
                progress.Pump();
                if (progress.CancelRequested()) {
                    stop = true;
                    return false;
                }
                if (existsRemotely(dir, name) && !overwriteAll) {
                    OverwriteQuestion q;
                    q.targetDirectory = L"[FTP] " + dir;
                    q.name = name;
                    q.sourceSize = LocalSize(local);
                    q.offerAll = rows.size() > 1;
                    for (int i = 0; i < other.RowCount(); ++i)
                        if (other.Entry(i)->name == name) {
                            q.targetSize = other.Entry(i)->Size();
                            q.targetTime = other.Entry(i)->lastWrite;
                        }
                    OverwriteAnswer a = progress.ConfirmOverwrite(q);
                    if (a == OverwriteAnswer::Cancel) {
                        stop = true;
                        return false;
                    }
                    if (a == OverwriteAnswer::Skip) return false;
                    if (a == OverwriteAnswer::OverwriteAll) overwriteAll = true;
                }
                char type = ChooseTransferType(name, false);
                std::wstring shown = ServerJoin(dir, name);
                if (FtpState().slashPaths)
                    for (wchar_t& c : shown)
                        if (c == L'\\') c = L'/';
                StartFile(transfer, local, L"[FTP] " + shown, type, static_cast<int64_t>(LocalSize(local)));
                int r;
                {
                    FtpTimerPause pause;
                    r = FtpChangeDir(ServerPath(dir).c_str());
                    if (r == 0) r = FtpUpload(LongPath(local).c_str(), ToServerText(name).c_str(), type, true, nullptr, 0);
                }
                HWND dialog = progress.Dialog();
                if (dialog) ::SendDlgItemMessageW(dialog, IDC_STATUS_PROGRESS, PBM_SETPOS, 0, 0);
                transfer.shown = 0;
                if (r != 0) {
                    if (ReportFtpFailure(progress.Owner(), r, true) || progress.CancelRequested()) stop = true;
                    return false;
                }
                if (move && !::DeleteFileW(LongPath(local).c_str())) {
                    progress.ShowProblem(IDS_DELETE_FAILED, local);
                    return false;
                }
                return true;
            };
            uploadTree = [&](const std::wstring& local, const std::wstring& dir) {
                std::wstring name = LastPart(local);
                std::wstring remote = ServerJoin(dir, name);
                {
                    FtpTimerPause pause;
                    // An existing directory is used as it is.
                    if (FtpChangeDir(ServerPath(remote).c_str()) != 0) {
                        if (!FtpIsConnected()) {
                            NoteLostConnection();
                            stop = true;
                            return false;
                        }
                        FtpChangeDir(ServerPath(dir).c_str());
                        int r = FtpMakeDir(ToServerText(name).c_str(), nullptr);
                        if (r != 0) {
                            ShowFtpFailure(progress.Owner(), r);
                            return false;
                        }
                    }
                }
                bool ok = true;
                std::vector<std::pair<std::wstring, bool>> children;
                {
                    WIN32_FIND_DATAW data;
                    fw::UniqueFind find(::FindFirstFileW(LongPath(JoinPath(local, L"*.*")).c_str(), &data));
                    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileW(find.Get(), &data)) {
                        std::wstring child = data.cFileName;
                        if (child == L"." || child == L"..") continue;
                        bool isDir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                        // A link is not followed into what it points to.
                        if (isDir && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
                        children.emplace_back(child, isDir);
                    }
                }
                for (const auto& [child, isDir] : children) {
                    if (stop) return false;
                    std::wstring childPath = JoinPath(local, child);
                    if (!(isDir ? uploadTree(childPath, remote) : uploadFile(childPath, remote, child))) ok = false;
                }
                if (ok && move && !::RemoveDirectoryW(LongPath(local).c_str())) ok = false;
                return ok;
            };
            for (const FtpRow& row : rows) {
                if (stop) break;
                std::wstring local = EntryPath(path, row.name);
                bool ok;
                if (row.isDirectory) {
                    if (vms) {
                        ShowWarning(IDS_FTP_NOVMSDIR);
                        allDone = false;
                        break;
                    }
                    ok = uploadTree(local, remoteDir);
                } else {
                    ok = uploadFile(local, remoteDir, single ? remoteName : row.name);
                }
                if (!ok) allDone = false;
            }
            if (stop) allDone = false;
            if (FtpState().ftpConnected) {
                FtpTimerPause pause;
                FtpChangeDir(ServerPath(remembered).c_str());
            }
        }
    }
    if (allDone) keepMarks = false;
    bool dirUpd = GetProfileInt(L"FTP", L"DirUpd", 0) != 0;
    if (other.drive != L"FTP" || dirUpd)
        ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(other.Handle()), 0);
    if (!showsFoundFiles) ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(hwnd), 0);
    ::SetFocus(hwnd);
}

bool CFileList::FetchFtpFile(const std::wstring& name, std::wstring& local)
{
    if (FtpEngineBusy() || !context.operation || context.operation->busy) return false;
    if (GetProfileInt(L"FTP", L"Confirm", 1) != 0 &&
        ShowMessage(context.owner, fw::LoadStr(IDS_FTP_CONFIRMFETCH), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    if (!FtpState().ftpConnected) {
        ShowMessage(context.owner, fw::LoadStr(IDS_FTP_LOST), MB_OK | MB_ICONSTOP);
        return false;
    }
    if (!FtpUsableLocalName(name)) {
        ShowMessage(context.owner, fw::LoadStr(IDS_FTP_UNSAFENAME) + name, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    wchar_t temp[MAX_PATH + 1] = {};
    DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return false;
    local = JoinPath(std::wstring(temp, n), name);
    uint64_t size = 0;
    for (int i = 0; i < RowCount(); ++i)
        if (Entry(i)->name == name) size = Entry(i)->Size();
    int r;
    {
        CCopyProgress progress(*context.operation, context.owner, fw::LoadStr(IDS_COPY_TITLE), L"STATUSFTP");
        FtpTransferProgress transfer;
        transfer.ui = &progress;
        ProgressScope scope(transfer);
        FtpSetBlocking(true);
        SyncFtpDirectory();
        char type = ChooseTransferType(name, true);
        StartFile(transfer, L"[FTP] " + name, local, type, static_cast<int64_t>(size));
        FtpTimerPause pause;
        FtpDiscardInput();
        r = FtpDownload(ToServerText(name).c_str(), LongPath(local).c_str(), type, true, nullptr, 0);
    }
    if (r != 0) {
        ReportFtpFailure(context.owner, r);
        return false;
    }
    return true;
}
