// The file search's results in a panel, and the jump to one found file.
#include "panel/FileList.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"

void CFileList::ShowFoundFiles(const std::vector<FoundRow>& rows, const std::wstring& caption)
{
    fw::WaitCursor wait;
    {
        fw::RedrawOff redraw(hwnd);
        summaryBusy = true;
        ClearEntries();
        for (const FoundRow& row : rows)
            AddEntry(2, -1, row.path, false, row.attributes & AttrSystem, row.attributes & AttrHidden,
                     row.attributes & AttrArchive, row.attributes & AttrReadOnly, row.lastWrite,
                     static_cast<uint32_t>(row.size >> 32), static_cast<uint32_t>(row.size), true, true, false);
        summaryBusy = false;
        SortEntries();
        keepMarks = false;
        showsFoundFiles = true;
        if (RowCount() > 0) {
            list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
            list.EnsureVisible(0);
        }
        UpdateSelectionSummary();
    }
    ::InvalidateRect(hwnd, nullptr, TRUE);
    if (context.pathLine) ::SetWindowTextW(context.pathLine, caption.c_str());
}

bool CFileList::GoToFile(const std::wstring& file)
{
    std::wstring directory = ParentDirectory(file);
    if (directory.empty() || !DirectoryExists(directory)) return false;
    size_t root = RootLength(directory);
    drive = directory.size() >= 2 && directory[1] == L':' ? directory.substr(0, 2) + L"\\" : directory.substr(0, root);
    path = directory;
    MakeCurrentDirectory(path);
    depth = 0;
    for (int i = 0; i < PanelDepths; ++i) topIndex[i] = focusIndex[i] = 0;
    keepMarks = false;
    OnUpdate();
    FocusEntryByName(LastPart(file));
    // The refresh the main window arms for the new directory puts the cursor back here.
    RememberPosition();
    return true;
}
