// Dragging marked rows onto the other panel: the polling loop with its cursors, the drop list,
// and the copy the receiving panel makes of it. A drop copies; it never moves.
#include "panel/FileList.h"
#include "common/Program.h"
#include "common/FtpConnection.h"
#include "common/RecentDirectories.h"
#include "fileops/CopyProgress.h"
#include "fileops/DropList.h"
#include "fileops/FileOperation.h"
#include "fileops/FileSystem.h"
#include "fileops/Listing.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/PanelDropTarget.h"
#include "panel/PanelRequests.h"
#include "resource.h"

void CFileList::SetDropHighlight(int row)
{
    if (row == dropHighlight) return;
    int old = dropHighlight;
    dropHighlight = row;
    // Each row is drawn again from its own state, so its text survives the highlight.
    RedrawRow(old);
    RedrawRow(row);
    ::UpdateWindow(hwnd);
}

void CFileList::DragMarked()
{
    // A panel that is being read or written gives nothing.
    bool ftpSource = drive == L"FTP";
    if (MarkedCount() == 0 || BusyCount() > 0 || showsFoundFiles || (ftpSource && FtpEngineBusy())) return;
    CFileList* other = OtherPanel();
    if (!other) return;
    bool ftpTarget = other->drive == L"FTP";
    HINSTANCE resources = fw::ResourceInstance();
    HCURSOR notAllowed = ::LoadCursorW(resources, L"DRPFIL_NOTALLOWED");
    HCURSOR single = ::LoadCursorW(resources, L"DRPFIL_SINGLE");
    HCURSOR multiple = ::LoadCursorW(resources, L"DRPFIL_MULTIPLE");
    HCURSOR allowedCursor = MarkedCount() > 1 ? multiple : single;
    int button = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    HCURSOR before = ::GetCursor();
    // Nothing of an earlier drag may decide where this one lands.
    dropAllowed = nonClientDrop = false;
    dropRow = highlightRow = -1;
    bool cancelled = false, handOver = false;
    HWND mainWindow = ::GetAncestor(hwnd, GA_ROOT);
    dragging = true;
    ::SetCapture(hwnd);
    while (::GetAsyncKeyState(button) & 0x8000) {
        if (::GetAsyncKeyState(VK_ESCAPE) & 0x8000) {
            cancelled = true;
            break;
        }
        POINT screen;
        ::GetCursorPos(&screen);
        HWND under = ::WindowFromPoint(screen);
        // Beyond the main window the drag goes on through OLE, for other programs to take;
        // files on a server have no path another program could open.
        if (!ftpSource && under && ::GetAncestor(under, GA_ROOT) != mainWindow &&
            ::GetWindowThreadProcessId(under, nullptr) != ::GetCurrentThreadId()) {
            handOver = true;
            break;
        }
        bool overOther = under && (under == other->hwnd || ::IsChild(other->hwnd, under));
        // Between two FTP panels nothing moves: there is one connection.
        dropAllowed = overOther && !other->showsFoundFiles && !(ftpSource && ftpTarget);
        int row = -1;
        if (dropAllowed) {
            POINT client = screen;
            ::ScreenToClient(other->hwnd, &client);
            RECT area;
            ::GetClientRect(other->hwnd, &area);
            nonClientDrop = !::PtInRect(&area, client) || under != other->hwnd;
            const FileEntry* entry = other->Entry(row = other->RowFromPoint(client.x, client.y));
            if (!entry || entry->kind != EntryDirectory) row = -1;
            // A directory of a server is no drop target; the server's directory itself is.
            if (row >= 0 && ftpTarget) {
                dropAllowed = false;
                row = -1;
            }
        }
        dropRow = row;
        if (row != highlightRow) other->SetDropHighlight(row);
        highlightRow = row;
        ::SetCursor(dropAllowed ? allowedCursor : notAllowed);
        // The loop owns the mouse: its messages are dropped, painting goes on.
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {}
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) ::DispatchMessageW(&msg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    dragging = false;
    if (::GetCapture() == hwnd) ::ReleaseCapture();
    ::SetCursor(before);
    other->SetDropHighlight(-1);
    highlightRow = -1;
    if (handOver) {
        std::vector<std::wstring> paths;
        for (int r = 0; r < RowCount(); ++r)
            if (IsMarked(r) && Entry(r)->kind != EntryParent) paths.push_back(FullName(*Entry(r)));
        DragOutWithShell(hwnd, paths);
        return;
    }
    if (cancelled || !dropAllowed) return;
    if (ftpSource || ftpTarget) return DropWithFtp(*other, dropRow);

    std::vector<DropSource> sources;
    for (int r = 0; r < RowCount(); ++r) {
        const FileEntry* entry = Entry(r);
        if (IsMarked(r) && entry->kind != EntryParent) sources.push_back({FullName(*entry), entry->kind == EntryDirectory});
    }
    std::vector<std::wstring> files;
    uint64_t bytes = 0;
    int unreadable = 0;
    {
        fw::WaitCursor wait;
        CollectDropFiles(sources, files, bytes, unreadable);
    }
    if (files.empty()) return ShowWarning(IDS_COPY_NOTHING);
    HGLOBAL dropList = MakeDropList(files);
    if (!dropList) return ShowWarning(IDS_COPY_NOMEMORY);
    if (!::PostMessageW(other->hwnd, req::ReceiveDrop, reinterpret_cast<WPARAM>(dropList), static_cast<LPARAM>(dropRow)))
        ::GlobalFree(dropList);
}

void CFileList::DropWithFtp(CFileList& other, int row)
{
    std::vector<FtpRow> rows;
    bool directories = false;
    for (int r = 0; r < RowCount(); ++r) {
        const FileEntry* entry = Entry(r);
        if (!IsMarked(r) || entry->kind == EntryParent) continue;
        bool isDirectory = entry->kind == EntryDirectory;
        directories |= isDirectory;
        rows.push_back({entry->name, isDirectory, entry->Size(), entry->lastWrite});
    }
    if (rows.empty()) return ShowWarning(IDS_COPY_NOTHING);
    if (drive == L"FTP" && directories) return ShowWarning(IDS_FTP_NODIRCOPY);
    if (other.drive == L"FTP" && directories && FtpState().serverSystem == FtpSystemVms)
        return ShowWarning(IDS_FTP_NOVMSDIR);
    // A server panel's path is known only once the server has been asked.
    if (other.drive == L"FTP" && !other.SyncFtpDirectory()) return;
    const FileEntry* entry = other.Entry(row);
    std::wstring target = entry && entry->kind == EntryDirectory ? other.FullName(*entry) : other.path;
    if (other.drive != L"FTP") RecordRecentDirectory(other.path);
    // A drop always copies.
    TransferFtp(rows, false, target, other);
}

bool CFileList::AcceptsDrops() const
{
    return context.operation && BusyCount() == 0 && drive != L"FTP" && !showsFoundFiles;
}

void CFileList::ReceiveDrop(HGLOBAL dropList, int row, const std::wstring& sourceDirectory)
{
    std::vector<std::wstring> names = ReadDropList(dropList);
    ::GlobalFree(dropList);
    if (names.empty() || !AcceptsDrops()) return;
    const FileEntry* entry = Entry(row);
    std::wstring target = entry && entry->kind == EntryDirectory ? FullName(*entry) : path;
    // Copied onto themselves the files could only be refused one by one.
    if (SamePath(target, sourceDirectory)) {
        ShowMessage(context.owner, fw::LoadStr(IDS_DROP_SAMEDIR) + target, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::vector<DroppedFile> files;
    files.reserve(names.size());
    for (std::wstring& name : names) {
        std::wstring relative = RelativeDropName(name, sourceDirectory);
        files.push_back({std::move(name), std::move(relative)});
    }
    CopyDropped(files, row);
}

void CFileList::ReceiveShellDrop(const std::vector<std::wstring>& items, int row)
{
    if (items.empty() || !AcceptsDrops()) return;
    const FileEntry* entry = Entry(row);
    std::wstring target = entry && entry->kind == EntryDirectory ? FullName(*entry) : path;
    std::vector<DroppedFile> files;
    {
        fw::WaitCursor wait;
        for (const std::wstring& item : items) {
            std::wstring parent = DirectoryPart(item);
            if (SamePath(target, parent)) {
                ShowMessage(context.owner, fw::LoadStr(IDS_DROP_SAMEDIR) + target, MB_OK | MB_ICONEXCLAMATION);
                return;
            }
            std::vector<std::wstring> found;
            uint64_t bytes = 0;
            int unreadable = 0;
            CollectDropFiles({{item, DirectoryExists(item)}}, found, bytes, unreadable);
            for (std::wstring& name : found) {
                std::wstring relative = RelativeDropName(name, parent);
                files.push_back({std::move(name), std::move(relative)});
            }
        }
    }
    if (files.empty()) return ShowWarning(IDS_COPY_NOTHING);
    CopyDropped(files, row);
}

void CFileList::CopyDropped(const std::vector<DroppedFile>& files, int row)
{
    const FileEntry* entry = Entry(row);
    std::wstring target = entry && entry->kind == EntryDirectory ? FullName(*entry) : path;
    RecordRecentDirectory(path);
    bool allDone = true;
    {
        CCopyProgress progress(*context.operation, context.owner, fw::LoadStr(IDS_COPY_TITLE));
        CFileOperation operation(progress);
        operation.overwriteAll = false;
        operation.itemCount = static_cast<int>(files.size());
        for (const DroppedFile& file : files) {
            progress.Pump();
            if (progress.CancelRequested()) {
                allDone = false;
                break;
            }
            std::wstring directory = DirectoryPart(JoinPath(target, file.relative));
            if (!DirectoryExists(directory) && !MakeDirectoryPath(directory)) {
                progress.ShowProblem(IDS_COPY_MKDIRFAILED, directory);
                allDone = false;
                continue;
            }
            int result = operation.CopyFile(file.source, directory, true);
            if (result != OpDone) allDone = false;
            if (result == OpAbort) break;
        }
    }
    if (CFileList* source = OtherPanel(); source && allDone) source->keepMarks = false;
    ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(hwnd), 0);
}
