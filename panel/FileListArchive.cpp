// The archive dialog opened on the cursor row, by Enter on an archive or by "OpenArch".
#include "panel/FileList.h"
#include "archive/ArchiveDialog.h"
#include "common/Program.h"
#include "common/RecentDirectories.h"
#include "resource.h"

void CFileList::OpenArchiveUnderCursor()
{
    const FileEntry* entry = Entry(list.GetFocusedItem());
    if (!entry || entry->kind != EntryFile) {
        ShowWarning(IDS_NOENTRY);
        return;
    }
    BrowseArchive(FullName(*entry));
}

void CFileList::BrowseArchive(const std::wstring& archivePath)
{
    if (!context.operation || context.operation->busy) return;
    CFileList* other = OtherPanel();
    // Members go to the other panel's directory unless that one is on an FTP server.
    std::wstring target = other && other->drive != L"FTP" ? other->path : path;
    if (context.owner) ::BringWindowToTop(context.owner);
    {
        HelpContextScope help(IDM_OPENARCH);
        CArchiveDialog dialog(archivePath, target, *context.operation);
        context.operation->busy = true;
        dialog.DoModal(context.owner);
        context.operation->busy = false;
    }
    RecordRecentDirectory(path);
    if (context.owner) ::PostMessageW(context.owner, pm::ScreenUpdate, reinterpret_cast<WPARAM>(hwnd), 0);
}
