// File compare from the main window: both panels' current files, refusals first.
#include "frame/CompareCommands.h"
#include "common/Program.h"
#include "common/RecentDirectories.h"
#include "frame/MainWindow.h"
#include "panel/ViewEdit.h"
#include "tools/compare/FileCompareDialog.h"
#include "resource.h"

void CompareCurrentFiles(CMainWindow& main)
{
    CFileList* panels[2] = {&main.LeftPanel(), &main.RightPanel()};
    std::wstring names[2];
    for (int side = 0; side < 2; ++side) {
        if (panels[side]->drive == L"FTP") {
            ShowWarning(IDS_NOTONFTP_PRINT);
            return;
        }
        const FileEntry* entry = panels[side]->Entry(panels[side]->List().GetFocusedItem());
        // A directory or ".." is no file to compare.
        if (!entry || entry->kind != EntryFile) {
            ShowWarning(IDS_NOENTRY);
            return;
        }
        names[side] = panels[side]->FullName(*entry);
    }
    RecordRecentDirectory(main.ActivePanel().path);
    HelpContextScope help(IDM_FILECOMP);
    HWND owner = main.Handle();
    auto edit = [owner](const std::wstring& path) { ViewOrEditFile(owner, path, ViewEditMode::Edit); };
    cmp::CFileCompareDialog::Run(owner, names[0], names[1], edit);
}

void EditCompareSettings(HWND owner)
{
    HelpContextScope help(IDM_COMPSETTINGS);
    cmp::CCompareSettingsDialog dialog;
    dialog.DoModal(owner);
}
