// Keyboard input of a panel: the key table, quick search, the root jump and range selection.
#include "panel/FileList.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include <algorithm>
#include <cwctype>

void CFileList::MoveCursor(int row)
{
    int rows = RowCount();
    if (rows == 0) return;
    row = std::clamp(row, 0, rows - 1);
    list.EnsureVisible(row, true);
    list.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    ::UpdateWindow(hwnd);
}

int CFileList::FullyVisibleRows() const
{
    int page = list.GetCountPerPage();
    return page > 0 ? page : 1;
}

void CFileList::ToggleMark(int row)
{
    if (row < 0) return;
    SetMark(row, !IsMarked(row));
}

bool CFileList::OnKeyDown(UINT key)
{
    int cursor = list.GetFocusedItem();
    int rows = RowCount();
    int last = rows - 1;
    switch (key) {
    case VK_RETURN:
        if (context.owner) ::PostMessageW(context.owner, pm::OpenRequest, reinterpret_cast<WPARAM>(hwnd), 0);
        return true;
    case VK_SPACE:
        ToggleMark(cursor);
        return true;
    case VK_INSERT:
        ToggleMark(cursor);
        if (cursor >= 0 && cursor < last) MoveCursor(cursor + 1);
        return true;
    case VK_UP:
        if (cursor > 0) MoveCursor(cursor - 1);
        else if (cursor < 0) MoveCursor(0);
        return true;
    case VK_DOWN:
        if (cursor < last) MoveCursor(cursor + 1);
        return true;
    case VK_HOME:
        MoveCursor(0);
        return true;
    case VK_END:
        if (cursor != last) MoveCursor(last);
        return true;
    case VK_PRIOR: {
        int top = list.GetTopIndex();
        if (cursor != top) MoveCursor(top);
        else MoveCursor(std::max(0, cursor - FullyVisibleRows()));
        return true;
    }
    case VK_NEXT: {
        int target = std::min(last, cursor + FullyVisibleRows());
        if (target != cursor) MoveCursor(target);
        return true;
    }
    case VK_LEFT:
    case VK_RIGHT:
        if ((key == VK_LEFT) != isLeft && context.owner)
            ::PostMessageW(context.owner, WM_COMMAND, IDM_TOGGLEPANEL, 0);
        return true;
    case VK_DELETE:
        deleteFinal = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
        if (context.owner)
            ::PostMessageW(context.owner, WM_COMMAND, deleteFinal ? IDM_DELETENOW : IDM_DELETE, 0);
        return true;
    case VK_OEM_5: // Ctrl+\ on most layouts
        if (::GetKeyState(VK_CONTROL) & 0x8000) {
            JumpToRoot();
            return true;
        }
        return false;
    }
    return false;
}

void CFileList::JumpToRoot()
{
    if (drive == L"FTP") return FtpRoot();
    if (context.owner) ::SendMessageW(context.owner, pm::PushHistory, reinterpret_cast<WPARAM>(hwnd), 0);
    size_t root = RootLength(path);
    if (root > 0) path = path.substr(0, root);
    keepMarks = false;
    OnUpdate();
    if (context.owner) ::PostMessageW(context.owner, pm::DriveUpdate, reinterpret_cast<WPARAM>(hwnd), 0);
}

void CFileList::OnChar(wchar_t ch)
{
    if (ch == L'\r' || ch == L' ' || ch == L'.') return;
    if (ch == 0x1C) { // Ctrl+\ arrives as the file separator control character
        JumpToRoot();
        return;
    }
    if (ch < L' ') return;
    if (std::towupper(ch) != std::towupper(searchKey)) {
        searchKey = ch;
        searchPos = -1;
        searchFound = false;
    }
    int rows = RowCount();
    summaryBusy = true;
    list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    wchar_t upper = static_cast<wchar_t>(std::towupper(ch)), lower = static_cast<wchar_t>(std::towlower(ch));
    int match = -1;
    for (int pass = 0; pass < 2 && match < 0; ++pass) {
        for (int row = searchPos + 1; row < rows; ++row) {
            const FileEntry* e = Entry(row);
            if (e->kind == EntryParent || e->name.empty()) continue;
            if (e->name[0] == upper || e->name[0] == lower) {
                match = row;
                break;
            }
        }
        if (match >= 0) break;
        searchPos = -1;
        if (!searchFound) break; // no name has this initial: no wrap
    }
    if (match >= 0) {
        searchPos = match;
        searchFound = true;
        int lastRow = std::min(rows - 1, match + FullyVisibleRows() - 1);
        list.EnsureVisible(match);
        list.EnsureVisible(lastRow);
        list.SetItemState(match, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    } else if (rows > 0) {
        list.EnsureVisible(0);
        list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    summaryBusy = false;
    UpdateSelectionSummary();
}

void CFileList::ExtendSelection(int kind)
{
    int cursor = list.GetFocusedItem();
    if (cursor < 0) return;
    int rows = RowCount();
    bool downward = kind == ExtendDown || kind == ExtendPageDown || kind == ExtendEnd;
    int anchor = -1;
    for (int row = 0; row < rows; ++row) {
        if (!IsMarked(row)) continue;
        anchor = row;
        if (downward) break;
    }
    if (anchor < 0) anchor = cursor;
    int page = FullyVisibleRows();
    int top = list.GetTopIndex();
    int lastVisible = top + page - 1;
    int target = cursor;
    switch (kind) {
    case ExtendDown: target = cursor + 1; break;
    case ExtendUp: target = std::max(0, cursor - 1); break;
    case ExtendPageDown: target = cursor == lastVisible ? cursor + page - 1 : lastVisible; break;
    case ExtendPageUp: target = cursor == top ? std::max(0, cursor - page) : top; break;
    case ExtendHome: target = 0; break;
    case ExtendEnd: target = rows - 1; break;
    }
    target = std::clamp(target, 0, rows - 1);
    summaryBusy = true;
    SetMark(-1, false);
    for (int row = std::min(anchor, target); row <= std::max(anchor, target); ++row)
        entries[static_cast<size_t>(row)].marked = true;
    ::InvalidateRect(hwnd, nullptr, FALSE);
    list.EnsureVisible(target, true);
    summaryBusy = false;
    UpdateSelectionSummary();
    list.SetItemState(target, LVIS_FOCUSED, LVIS_FOCUSED);
    ::UpdateWindow(hwnd);
}

bool CFileList::FocusEntryByName(const std::wstring& name)
{
    for (int row = 0; row < RowCount(); ++row) {
        const FileEntry* e = Entry(row);
        if (e->kind == EntryFile && ::lstrcmpiW(e->name.c_str(), name.c_str()) == 0) {
            list.EnsureVisible(row);
            list.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
            UpdateSelectionSummary();
            return true;
        }
    }
    list.EnsureVisible(0);
    UpdateSelectionSummary();
    return false;
}

bool CFileList::MarkEntryByName(const std::wstring& name)
{
    for (int row = 0; row < RowCount(); ++row) {
        const FileEntry* e = Entry(row);
        if (e->kind == EntryFile && ::lstrcmpiW(e->name.c_str(), name.c_str()) == 0) {
            SetMark(row, true);
            UpdateSelectionSummary();
            return true;
        }
    }
    return false;
}
