// "Zip" and "ZipSelf" on the panel's marked rows (or its cursor row).
#include "panel/FileList.h"
#include "archive/ZipCreate.h"
#include "fileops/OperationUi.h"

void CFileList::ZipMarked(bool selfExtracting)
{
    if (!context.operation || context.operation->busy || drive == L"FTP") return;
    ZipRequest request;
    request.panelDirectory = path;
    request.selfExtracting = selfExtracting;
    request.showsFoundFiles = showsFoundFiles;
    CFileList* other = OtherPanel();
    if (other && other->drive != L"FTP") {
        request.otherDirectory = other->path;
        const FileEntry* current = other->Entry(other->list.GetFocusedItem());
        if (current && current->kind == EntryFile) request.otherCurrentFile = current->name;
    }
    for (const FileEntry* entry : TakenEntries()) {
        if (entry->kind == EntryDirectory) {
            ++request.directories;
            request.onlyDirectory = entry->name;
        } else {
            ++request.files;
        }
        request.rows.push_back(entry->name);
    }
    RunZipCommand(request, context.owner, *context.operation);
    ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(hwnd), 0);
    if (other) ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(other->Handle()), 0);
    ::SetFocus(hwnd);
}
