// Marking rows by mask or all at once, and inverting the marks.
#include "panel/FileList.h"
#include "common/Program.h"
#include "fileops/FileSystem.h"
#include "framework/Handles.h"
#include "resource.h"
#include <cwctype>

namespace {
std::wstring Lower(std::wstring s)
{
    ::CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}
}

void CFileList::MarkByMask(const std::wstring& mask, bool mark, bool all)
{
    fw::WaitCursor wait;
    int cursor = list.GetFocusedItem();
    summaryBusy = true;
    UINT state = mark ? LVIS_SELECTED : 0;
    int rows = list.GetItemCount();
    if (drive == L"FTP") {
        if (mask != L"*.*") {
            summaryBusy = false;
            ShowWarning(IDS_NOTONFTP);
            return;
        }
        for (int row = 0; row < rows; ++row)
            if (!mark || Entry(row)->kind == EntryFile) list.SetItemState(row, state, LVIS_SELECTED);
    } else if (all) {
        for (int row = 0; row < rows; ++row)
            if (!mark || Entry(row)->kind != EntryParent) list.SetItemState(row, state, LVIS_SELECTED);
    } else {
        markedNames.ResetContent();
        std::wstring base = path;
        if (base.empty() || base.back() != L'\\') base += L'\\';
        WIN32_FIND_DATAW data;
        // The system's own matching also finds names by their short 8.3 form.
        fw::UniqueFind find(::FindFirstFileW(LongPath(base + mask).c_str(), &data));
        if (find) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) markedNames.AddString(Lower(data.cFileName));
            } while (::FindNextFileW(find.Get(), &data));
        }
        for (int row = 0; row < rows; ++row) {
            const FileEntry* e = Entry(row);
            if (e->kind == EntryFile && markedNames.FindStringExact(Lower(e->name)) >= 0)
                list.SetItemState(row, state, LVIS_SELECTED);
        }
    }
    summaryBusy = false;
    UpdateSelectionSummary();
    if (cursor >= 0) list.SetItemState(cursor, LVIS_FOCUSED, LVIS_FOCUSED);
}

void CFileList::InvertMarks()
{
    summaryBusy = true;
    int rows = list.GetItemCount();
    for (int row = 0; row < rows; ++row) {
        if (Entry(row)->kind == EntryParent) continue;
        list.SetItemState(row, list.IsSelected(row) ? 0 : LVIS_SELECTED, LVIS_SELECTED);
    }
    summaryBusy = false;
    UpdateSelectionSummary();
}
