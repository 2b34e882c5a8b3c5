// Marking rows by mask or all at once, and inverting the marks.
#include "panel/FileList.h"
#include "common/Program.h"
#include "fileops/FileSystem.h"
#include "framework/Handles.h"
#include "resource.h"
#include <unordered_set>

void CFileList::MarkByMask(const std::wstring& mask, bool mark, bool all)
{
    fw::WaitCursor wait;
    int cursor = list.GetFocusedItem();
    summaryBusy = true;
    if (drive == L"FTP") {
        if (mask != L"*.*") {
            summaryBusy = false;
            ShowWarning(IDS_NOTONFTP);
            return;
        }
        for (PanelRow& row : entries)
            if (!mark || row.entry->kind == EntryFile) row.marked = mark;
    } else if (all) {
        for (PanelRow& row : entries)
            if (!mark || row.entry->kind != EntryParent) row.marked = mark;
    } else {
        std::unordered_set<std::wstring> found;
        std::wstring base = path;
        if (base.empty() || base.back() != L'\\') base += L'\\';
        WIN32_FIND_DATAW data;
        // The system's own matching also finds names by their short 8.3 form.
        fw::UniqueFind find(::FindFirstFileW(LongPath(base + mask).c_str(), &data));
        if (find) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) found.insert(data.cFileName);
            } while (::FindNextFileW(find.Get(), &data));
        }
        // By the exact name: of two names that differ only in case, the mask may match one.
        if (!found.empty()) {
            for (PanelRow& row : entries)
                if (row.entry->kind == EntryFile && found.count(row.entry->name)) row.marked = mark;
        }
    }
    ::InvalidateRect(hwnd, nullptr, FALSE);
    summaryBusy = false;
    UpdateSelectionSummary();
    if (cursor >= 0) list.SetItemState(cursor, LVIS_FOCUSED, LVIS_FOCUSED);
}

void CFileList::InvertMarks()
{
    for (PanelRow& row : entries)
        if (row.entry->kind != EntryParent) row.marked = !row.marked;
    ::InvalidateRect(hwnd, nullptr, FALSE);
    UpdateSelectionSummary();
}
