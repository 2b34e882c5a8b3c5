// The counts and sizes of the marked rows, shown in the line under the panel.
#include "panel/FileList.h"
#include "common/Program.h"
#include "framework/Resources.h"
#include "panel/ListingFormat.h"
#include "resource.h"

void CFileList::UpdateSelectionSummary()
{
    markedFiles = totalFiles = markedDirs = 0;
    markedBytes32 = 0;
    markedBytes = 0;
    for (const PanelRow& row : entries) {
        const FileEntry* entry = row.entry.get();
        if (entry->kind == EntryFile) ++totalFiles;
        if (!row.marked) continue;
        if (entry->kind == EntryDirectory) ++markedDirs;
        else if (entry->kind == EntryFile) {
            ++markedFiles;
            markedBytes += static_cast<double>(entry->Size());
            markedBytes32 += entry->sizeLow;
        }
    }
    if (context.selectionLine) ::SetWindowTextW(context.selectionLine, SelectionSummaryText().c_str());
}

std::wstring CFileList::SelectionSummaryText() const
{
    std::wstring size = FormatSize(markedBytes, Program().thousandSeparator[0]);
    std::wstring total = std::to_wstring(totalFiles) + fw::LoadStr(IDS_SEL_FILESTOTAL);
    std::wstring text;
    if (markedFiles == 0) text = fw::LoadStr(IDS_SEL_NONE) + total;
    else if (markedFiles == 1) text = fw::LoadStr(IDS_SEL_ONE) + size + fw::LoadStr(IDS_SEL_BYTESIN) + total;
    else
        text = std::to_wstring(markedFiles) + fw::LoadStr(IDS_SEL_FILES) + size + fw::LoadStr(IDS_SEL_BYTESIN) + total;
    if (text.size() < 120) text.append(120 - text.size(), L' ');
    return text;
}
