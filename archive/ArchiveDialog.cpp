// The archive dialog: start-up, the owner-data list and its texts, the commands, the column widths.
#include "archive/ArchiveDialog.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/ListingFormat.h"
#include "resource.h"
#include <commctrl.h>
#include <new>

namespace {
constexpr UINT ShowDamage = WM_APP + 1;
const wchar_t* const ColumnKeys[] = {L"Col1", L"Col2", L"Col3"};
const int DefaultWidths[] = {300, 90, 120};
}

CArchiveDialog::CArchiveDialog(const std::wstring& archivePath, const std::wstring& targetDirectory,
                               OperationState& operation)
    : CDialog(L"FILECONT"), archivePath(archivePath), targetDirectory(targetDirectory), operation(operation)
{
}

CArchiveDialog::~CArchiveDialog() = default;

void CArchiveDialog::EnableActions(bool on)
{
    for (int id : {static_cast<int>(IDM_ARC_EXTRACT), IDC_ARC_ALL, IDC_ARC_SELECTALL, IDC_ARC_DESELECTALL})
        ::EnableWindow(Item(id), on);
}

bool CArchiveDialog::OnInit()
{
    SetItemText(IDC_ARC_TITLE, fw::LoadStr(IDS_ARC_TITLE) + archivePath + L":");
    EnableActions(false);
    rows.clear();
    hasFolders = damaged = false;
    folderQuestionAnswered = keepFolders = false;

    list.Attach(Item(IDC_ARC_LIST));
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    const UINT titles[] = {IDS_COL_NAME, IDS_COL_SIZE, IDS_ARC_COLDATE};
    const int formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_LEFT};
    for (int c = 0; c < 3; ++c)
        list.InsertColumn(c, fw::LoadStr(titles[c]), formats[c], GetProfileInt(L"ZipPositie", ColumnKeys[c], DefaultWidths[c]));

    bool listed = false;
    try {
        fw::WaitCursor wait;
        listed = ListArchive();
    } catch (const std::bad_alloc&) {
        // Rows of an archive with millions of members, or a reader's buffers.
        ShowWarning(IDS_OUTOFMEMORY);
    }
    if (!listed) {
        End(0);
        return true;
    }
    ListView_SetItemCountEx(list.Handle(), static_cast<int>(rows.size()), LVSICF_NOINVALIDATEALL);
    EnableActions(true);
    if (!rows.empty()) list.SetItemState(0, LVIS_FOCUSED, LVIS_FOCUSED);
    if (damaged) ::PostMessageW(hwnd, ShowDamage, 0, 0);
    ::SetFocus(list.Handle());
    return false;
}

std::wstring CArchiveDialog::RowText(size_t row, int column) const
{
    const ArchiveRow& r = rows[row];
    switch (column) {
    case 0: return r.name;
    case 1: return r.size < 0 ? std::wstring(L"?") : FormatSize(static_cast<uint64_t>(r.size), Program().thousandSeparator[0]);
    default: {
        if (r.lastWrite == 0) return std::wstring();
        FILETIME utc = {static_cast<DWORD>(r.lastWrite), static_cast<DWORD>(r.lastWrite >> 32)}, local;
        SYSTEMTIME st;
        if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st)) return std::wstring();
        return FormatDateParts(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, Program().dateOrder[0],
                               Program().dateSeparator[0]);
    }
    }
}

INT_PTR CArchiveDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header->idFrom == IDC_ARC_LIST && header->code == LVN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(lp);
            LVITEMW& item = info->item;
            if ((item.mask & LVIF_TEXT) && item.iItem >= 0 && static_cast<size_t>(item.iItem) < rows.size() &&
                item.cchTextMax > 0) {
                std::wstring text = RowText(static_cast<size_t>(item.iItem), item.iSubItem);
                size_t n = std::min<size_t>(text.size(), static_cast<size_t>(item.cchTextMax) - 1);
                text.copy(item.pszText, n);
                item.pszText[n] = L'\0';
            }
            return TRUE;
        }
    }
    if (msg == ShowDamage) {
        ::MessageBoxW(hwnd, (fw::LoadStr(IDS_ARC_DAMAGED) + damage).c_str(), ProductName, MB_OK | MB_ICONWARNING);
        return TRUE;
    }
    return CDialog::OnMessage(msg, wp, lp);
}

bool CArchiveDialog::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED) return false;
    switch (id) {
    case IDM_ARC_EXTRACT: OnExtract(); return true;
    case IDC_ARC_ALL:
        extractAll = true;
        OnExtract();
        return true;
    case IDC_ARC_SELECTALL:
    case IDC_ARC_DESELECTALL:
        list.SetItemState(-1, id == IDC_ARC_SELECTALL ? LVIS_SELECTED : 0, LVIS_SELECTED);
        ::SetFocus(list.Handle());
        return true;
    }
    return false;
}

void CArchiveDialog::SaveColumnWidths()
{
    for (int c = 0; c < 3; ++c) WriteProfileInt(L"ZipPositie", ColumnKeys[c], list.GetColumnWidth(c));
}

void CArchiveDialog::OnCancel()
{
    // Widths changed and the dialog closed without extracting are kept too.
    SaveColumnWidths();
    End(IDCANCEL);
}
