// Sort commands, the header click with "SORTFILES", the owner-drawn header and column fitting.
#include "panel/FileList.h"
#include "common/RecentDirectories.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/EntryCompare.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include <algorithm>

namespace {
int ColumnOfKey(int key) { return key >= SortExtAsc ? 0 : (key == SortSizeAsc ? 1 : 2); }

// "SORTFILES": name or extension; name is preselected unless the panel sorts by extension.
class CSortFilesDialog : public fw::CDialog {
public:
    explicit CSortFilesDialog(bool byExtension) : CDialog(L"SORTFILES"), byExtension(byExtension) {}
    bool byExtension;

protected:
    bool OnInit() override
    {
        SetChecked(byExtension ? IDC_SORT_EXTENSION : IDC_SORT_NAME, true);
        return true;
    }
    void OnOK() override
    {
        byExtension = IsChecked(IDC_SORT_EXTENSION);
        End(IDOK);
    }
};
}

void CFileList::ApplySortKey(int key)
{
    sortMode = NextSortMode(sortMode, key);
    SetSortArrow(ColumnOfKey(key), (sortMode & 1) == 0);
    SortEntries();
}

void CFileList::SetSortArrow(int column, bool ascending)
{
    sortColumn = column;
    sortAscending = ascending;
    HWND header = list.GetHeader();
    if (header) ::InvalidateRect(header, nullptr, TRUE);
}

void CFileList::OnHeaderClick(int column)
{
    if (context.owner) ::SendMessageW(context.owner, pm::PanelActivated, reinterpret_cast<WPARAM>(hwnd), 0);
    RecordRecentDirectory(path);
    static const UINT titles[3] = {IDS_COL_NAME, IDS_COL_SIZE, IDS_COL_DATE};
    for (int c = 0; c < 3; ++c) list.SetColumnTitle(c, fw::LoadStr(titles[c]));
    MakeHeaderOwnerDrawn();
    if (sortMode == SortNameAsc || sortMode == SortNameDesc) lastNameSortMode = sortMode;
    if (column == 0) {
        bool nameOrExtension = sortMode == SortNameAsc || sortMode == SortNameDesc || sortMode == SortExtAsc ||
                               sortMode == SortExtDesc;
        if (!nameOrExtension) {
            sortMode = lastNameSortMode;
            SetSortArrow(0, (sortMode & 1) == 0);
        } else {
            CSortFilesDialog dialog(sortMode == SortExtAsc || sortMode == SortExtDesc);
            if (dialog.DoModal(hwnd) != IDOK) return;
            ApplySortKey(dialog.byExtension ? SortExtAsc : SortNameAsc);
            return;
        }
    } else if (column == 1) {
        ApplySortKey(SortSizeAsc);
        return;
    } else if (column == 2) {
        ApplySortKey(SortDateAsc);
        return;
    }
    SortEntries();
}

void CFileList::MakeHeaderOwnerDrawn()
{
    HWND header = list.GetHeader();
    if (!header) return;
    int count = static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMW item = {};
        item.mask = HDI_FORMAT;
        ::SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        item.fmt |= HDF_OWNERDRAW;
        ::SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

void CFileList::DrawHeaderItem(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
    ::DrawEdge(dc, &r, (item.itemState & ODS_SELECTED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    int column = static_cast<int>(item.itemID);
    wchar_t title[128] = {};
    HDITEMW hd = {};
    hd.mask = HDI_TEXT | HDI_FORMAT;
    hd.pszText = title;
    hd.cchTextMax = 128;
    ::SendMessageW(item.hwndItem, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&hd));
    HFONT headerFont = reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
    fw::SelectScope useFont(dc, headerFont);
    SIZE blank = {};
    ::GetTextExtentPoint32W(dc, L" ", 1, &blank);
    RECT text = r;
    text.left += 2 * blank.cx;
    text.right -= 2 * blank.cx;
    if (column == sortColumn) {
        // A small engraved triangle, a third of the header high, in a square box at the right.
        int size = (r.bottom - r.top) / 3;
        int right = text.right;
        text.right -= size + blank.cx;
        int cx = right - size / 2, top = r.top + ((r.bottom - r.top) - size) / 2, bottom = top + size;
        fw::UniqueGdi light(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)));
        fw::UniqueGdi shadow(::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW)));
        if (sortAscending) {
            fw::SelectScope s(dc, shadow.Get());
            ::MoveToEx(dc, cx, top, nullptr);
            ::LineTo(dc, cx - size / 2, bottom);
            fw::SelectScope l(dc, light.Get());
            ::LineTo(dc, cx + size / 2, bottom);
            ::LineTo(dc, cx, top);
        } else {
            fw::SelectScope s(dc, shadow.Get());
            ::MoveToEx(dc, cx + size / 2, top, nullptr);
            ::LineTo(dc, cx - size / 2, top);
            ::LineTo(dc, cx, bottom);
            fw::SelectScope l(dc, light.Get());
            ::LineTo(dc, cx + size / 2, top);
        }
    }
    UINT align = (hd.fmt & HDF_RIGHT) ? DT_RIGHT : ((hd.fmt & HDF_CENTER) ? DT_CENTER : DT_LEFT);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawTextW(dc, title, -1, &text, align | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_END_ELLIPSIS);
}

int CFileList::FitColumn(int column)
{
    fw::WindowDC dc(hwnd);
    fw::SelectScope useFont(dc, font);
    int rows = list.GetItemCount();
    int first = list.GetTopIndex();
    int last = std::min(rows - 1, first + list.GetCountPerPage());
    int widest = -1;
    for (int row = first; row >= 0 && row <= last; ++row) {
        const FileEntry* entry = Entry(row);
        if (!entry) continue;
        std::wstring text = ColumnText(*entry, column);
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        widest = std::max<int>(widest, size.cx);
    }
    int width = widest < 0 ? 0 : widest + 8;
    list.SetColumnWidth(column, width);
    return width;
}
