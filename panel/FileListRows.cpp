// The panel's rows behind an owner-data list view: marks live with the rows, and the list
// view's selection messages are answered from them, so a mark is the row's selected state to
// everyone who asks the control. The control itself keeps only the count, the focus and the scroll.
#include "panel/FileList.h"
#include <algorithm>

int CFileList::MarkedCount() const
{
    return static_cast<int>(std::count_if(entries.begin(), entries.end(), [](const PanelRow& r) { return r.marked; }));
}

void CFileList::RedrawRow(int row)
{
    if (row >= 0 && row < RowCount()) list.RedrawItems(row, row);
}

void CFileList::SetMark(int row, bool mark)
{
    bool changed = false;
    if (row == -1) {
        for (PanelRow& r : entries) {
            changed |= r.marked != mark;
            r.marked = mark;
        }
        if (changed) ::InvalidateRect(hwnd, nullptr, FALSE);
    } else if (row >= 0 && row < RowCount()) {
        PanelRow& r = entries[static_cast<size_t>(row)];
        changed = r.marked != mark;
        r.marked = mark;
        if (changed) RedrawRow(row);
    }
    if (changed && !summaryBusy) UpdateSelectionSummary();
}

void CFileList::SyncRowCount()
{
    rowCountStale = false;
    list.SetItemCountEx(RowCount(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

namespace {
bool Matches(bool marked, bool focused, UINT flags)
{
    if ((flags & LVNI_SELECTED) && !marked) return false;
    if ((flags & LVNI_FOCUSED) && !focused) return false;
    return true;
}
}

// The list view messages that read or change the selected state; true when answered here.
bool CFileList::OnRowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    switch (msg) {
    case LVM_SETITEMSTATE: {
        int row = static_cast<int>(wp);
        LVITEMW item = *reinterpret_cast<const LVITEMW*>(lp);
        if (row < -1 || row >= RowCount()) {
            result = FALSE;
            return true;
        }
        if (item.stateMask & LVIS_SELECTED) SetMark(row, (item.state & LVIS_SELECTED) != 0);
        item.stateMask &= ~LVIS_SELECTED;
        // The list view takes the focus from every row one by one; only one row has it.
        if (row == -1 && item.stateMask == LVIS_FOCUSED && !(item.state & LVIS_FOCUSED)) {
            row = static_cast<int>(Default(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
            if (row < 0) item.stateMask = 0;
        }
        result = item.stateMask ? Default(msg, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)) : TRUE;
        return true;
    }
    case LVM_GETITEMSTATE: {
        int row = static_cast<int>(wp);
        UINT mask = static_cast<UINT>(lp);
        UINT state = (mask & ~LVIS_SELECTED) ? static_cast<UINT>(Default(msg, wp, mask & ~LVIS_SELECTED)) : 0;
        if ((mask & LVIS_SELECTED) && IsMarked(row)) state |= LVIS_SELECTED;
        result = state;
        return true;
    }
    case LVM_GETSELECTEDCOUNT:
        result = MarkedCount();
        return true;
    case LVM_GETNEXTITEM: {
        UINT flags = static_cast<UINT>(lp);
        if (!(flags & LVNI_SELECTED)) return false;
        int focused = static_cast<int>(Default(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        int start = static_cast<int>(wp);
        bool backward = (flags & (LVNI_ABOVE | LVNI_PREVIOUS)) != 0;
        result = -1;
        if (backward) {
            for (int row = std::min(start, RowCount()) - 1; row >= 0; --row)
                if (Matches(IsMarked(row), row == focused, flags)) { result = row; break; }
        } else {
            for (int row = std::max(start + 1, 0); row < RowCount(); ++row)
                if (Matches(IsMarked(row), row == focused, flags)) { result = row; break; }
        }
        return true;
    }
    case LVM_GETITEMW: {
        auto* item = reinterpret_cast<LVITEMW*>(lp);
        result = Default(msg, wp, lp);
        if (result && (item->mask & LVIF_STATE) && (item->stateMask & LVIS_SELECTED))
            item->state = (item->state & ~LVIS_SELECTED) | (IsMarked(item->iItem) ? LVIS_SELECTED : 0);
        return true;
    }
    case LVM_SETITEMW: {
        LVITEMW item = *reinterpret_cast<const LVITEMW*>(lp);
        if (!(item.mask & LVIF_STATE) || !(item.stateMask & LVIS_SELECTED)) return false;
        if (item.iSubItem == 0) SetMark(item.iItem, (item.state & LVIS_SELECTED) != 0);
        item.stateMask &= ~LVIS_SELECTED;
        result = Default(msg, wp, reinterpret_cast<LPARAM>(&item));
        return true;
    }
    }
    return false;
}

void CFileList::ClickSelect(int row, bool control, bool shift)
{
    if (row < 0 || row >= RowCount()) return;
    bool wasBusy = summaryBusy;
    summaryBusy = true;
    if (control) {
        SetMark(row, !IsMarked(row));
    } else if (shift && anchorRow >= 0) {
        SetMark(-1, false);
        int from = std::min(anchorRow, row), to = std::min(std::max(anchorRow, row), RowCount() - 1);
        for (int r = from; r <= to; ++r) entries[static_cast<size_t>(r)].marked = true;
        ::InvalidateRect(hwnd, nullptr, FALSE);
    } else {
        SetMark(-1, false);
        SetMark(row, true);
        anchorRow = row;
    }
    summaryBusy = wasBusy;
    list.SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    if (!summaryBusy) UpdateSelectionSummary();
}

int CFileList::RowFromPoint(int x, int y) const
{
    RECT client = {}, header = {};
    ::GetClientRect(hwnd, &client);
    if (HWND headerWnd = list.GetHeader(); headerWnd && ::IsWindowVisible(headerWnd)) ::GetWindowRect(headerWnd, &header);
    if (y < header.bottom - header.top || y >= client.bottom || x < 0 || x >= client.right) return -1;
    // Right of the last column the hit test finds no row; a row is as wide as the panel here.
    RECT first = {};
    int top = list.GetTopIndex();
    if (top >= 0 && list.GetItemRect(top, first)) x = std::max(static_cast<int>(first.left), 0) + 4;
    LVHITTESTINFO hit = {};
    hit.pt = {x, y};
    int row = static_cast<int>(::SendMessageW(hwnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return row >= 0 && row < RowCount() ? row : -1;
}

