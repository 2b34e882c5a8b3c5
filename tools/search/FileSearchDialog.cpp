// The search dialog: reading the criteria, running the walk under the status window, the stored
// list, and what the result buttons do.
#include "tools/search/FileSearchDialog.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/AssociatedProgram.h"
#include "fileops/CopyProgress.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/FileList.h"
#include "panel/ListingFormat.h"
#include "panel/ViewEdit.h"
#include "resource.h"
#include "tools/search/FoundFilesStore.h"
#include "tools/search/SearchDates.h"
#include <commctrl.h>
#include <cwchar>

namespace search {

CFileSearchDialog* CFileSearchDialog::current = nullptr;

namespace {
const int ResultButtons[] = {IDM_EDIT, IDM_VIEW, IDC_FS_RUN, IDC_FS_GOTO, IDC_FS_FEED};
constexpr int HistorySize = 10;
constexpr int SearchTextLimit = 63;

std::wstring Trimmed(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// A size field: digits, blanks and thousand separators.
bool ReadSize(const std::wstring& text, uint64_t& value)
{
    value = 0;
    bool digits = false;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            uint64_t next = value * 10 + static_cast<uint64_t>(c - L'0');
            if (next / 10 != value) return false;
            value = next;
            digits = true;
        } else if (c != L' ' && c != L'.' && c != L',' && c != Program().thousandSeparator[0]) {
            return false;
        }
    }
    return digits;
}
} // namespace

CFileSearchDialog::CFileSearchDialog(CFileList& panel) : CDialog(L"FILESEARCH"), panel(panel) {}

bool CFileSearchDialog::OnInit()
{
    current = this;
    list.Attach(Item(IDC_FS_RESULTS));
    SetItemText(IDC_FS_DIRECTORY, panel.path);
    SetItemText(IDC_FS_MASK, L"*.*");
    ::SendMessageW(Item(IDC_FS_TEXT), CB_LIMITTEXT, SearchTextLimit, 0);
    LoadHistory();
    if (panel.drive == L"FTP") ::EnableWindow(Item(IDC_FS_TEXT), FALSE);
    SetChecked(IDC_FS_SUBDIRS, true);
    SetChecked(IDC_FS_IGNORECASE, true);
    SetChecked(IDC_FS_ALLWORDS, true);
    SetChecked(IDC_FS_ANYSIZE, true);
    SetChecked(IDC_FS_ANYDATE, true);
    SetItemText(IDC_FS_MINSIZE, L"0");
    SetItemText(IDC_FS_MAXSIZE, L"99999999");
    wchar_t order = Program().dateOrder[0], separator = Program().dateSeparator[0];
    SetItemText(IDC_FS_FIRSTDATE, DefaultDateText(1980, 1, 1, order, separator));
    SetItemText(IDC_FS_LASTDATE, DefaultDateText(2030, 12, 31, order, separator));
    for (int id : {IDC_FS_MINSIZE, IDC_FS_MAXSIZE, IDC_FS_FIRSTDATE, IDC_FS_LASTDATE}) ::EnableWindow(Item(id), FALSE);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP);
    const int widths[] = {GetProfileInt(L"SearchPositie", L"Col1", 333), GetProfileInt(L"SearchPositie", L"Col2", 73),
                          GetProfileInt(L"SearchPositie", L"Col3", 99)};
    const int titles[] = {IDS_COL_NAME, IDS_COL_SIZE, IDS_COL_DATE};
    for (int c = 0; c < 3; ++c)
        list.InsertColumn(c, fw::LoadStr(static_cast<UINT>(titles[c])), c == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT, widths[c]);
    // Any stored list can be shown again, also one whose first file is empty.
    ::EnableWindow(Item(IDC_FS_PREVIOUS), StoredResultCount() > 0);
    EnableResultButtons(false);
    ::SendMessageW(Item(IDC_FS_MASK), EM_SETSEL, 0, -1);
    ::SetFocus(Item(IDC_FS_MASK));
    return false;
}

void CFileSearchDialog::OnDestroyed()
{
    results.clear();
    if (current == this) current = nullptr;
}

void CFileSearchDialog::LoadHistory()
{
    fw::CComboBox box(Item(IDC_FS_TEXT));
    box.ResetContent();
    for (int n = 1; n <= HistorySize; ++n) {
        std::wstring entry = GetProfileString(L"ZoekReeksen", (L"Reeks" + std::to_wstring(n)).c_str(), L"");
        if (!entry.empty()) box.AddString(entry);
    }
}

void CFileSearchDialog::RememberSearchText(const std::wstring& text)
{
    std::vector<std::wstring> history{text};
    for (int n = 1; n <= HistorySize; ++n) {
        std::wstring entry = GetProfileString(L"ZoekReeksen", (L"Reeks" + std::to_wstring(n)).c_str(), L"");
        if (!entry.empty() && entry != text) history.push_back(entry);
    }
    for (int n = 1; n <= HistorySize; ++n)
        WriteProfileString(L"ZoekReeksen", (L"Reeks" + std::to_wstring(n)).c_str(),
                           static_cast<size_t>(n) <= history.size() ? history[static_cast<size_t>(n - 1)] : L"");
    LoadHistory();
    fw::CComboBox(Item(IDC_FS_TEXT)).SetCurSel(0);
}

void CFileSearchDialog::EnableResultButtons(bool on)
{
    for (int id : ResultButtons) ::EnableWindow(Item(id), on);
}

// The two fields of a range follow their "between" choice; choosing it puts the caret in the first.
void CFileSearchDialog::EnableRange(int between, int first, int last, UINT clicked)
{
    bool on = IsChecked(between);
    ::EnableWindow(Item(first), on);
    ::EnableWindow(Item(last), on);
    if (on && clicked == static_cast<UINT>(between)) ::SetFocus(Item(first));
}

void CFileSearchDialog::SetDefaultButton(int id)
{
    for (int button : {IDC_FS_START, IDC_FS_GOTO})
        ::SendMessageW(Item(button), BM_SETSTYLE, button == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    ::SendMessageW(hwnd, DM_SETDEFID, static_cast<WPARAM>(id), 0);
}

bool CFileSearchDialog::ReadCriteria(SearchCriteria& criteria)
{
    std::wstring directory = Trimmed(ItemText(IDC_FS_DIRECTORY));
    if (directory.empty()) directory = CurrentDirectory();
    if (directory.size() == 2 && directory[1] == L':') directory += L'\\';
    directory = ResolveTarget(directory, panel.path);
    if (!DirectoryExists(directory)) {
        ShowWarning(IDS_FS_NODRIVE);
        ::SetFocus(Item(IDC_FS_DIRECTORY));
        return false;
    }
    criteria.directory = directory;
    criteria.mask = Trimmed(ItemText(IDC_FS_MASK));
    if (criteria.mask.empty()) criteria.mask = L"*.*";
    criteria.subdirectories = IsChecked(IDC_FS_SUBDIRS);
    criteria.ignoreCase = IsChecked(IDC_FS_IGNORECASE);
    criteria.allWords = IsChecked(IDC_FS_ALLWORDS);
    criteria.showSystem = GetProfileInt(L"Algemeen", L"System", 0) == 1;
    criteria.showHidden = GetProfileInt(L"Algemeen", L"Hidden", 0) == 1;
    if (::IsWindowEnabled(Item(IDC_FS_TEXT))) {
        std::wstring text = ItemText(IDC_FS_TEXT);
        if (text.size() > static_cast<size_t>(SearchTextLimit)) text.resize(SearchTextLimit);
        if (!Trimmed(text).empty()) criteria.text = text;
    }
    criteria.sizeRange = IsChecked(IDC_FS_SIZEBETWEEN);
    if (criteria.sizeRange &&
        (!ReadSize(ItemText(IDC_FS_MINSIZE), criteria.minSize) || !ReadSize(ItemText(IDC_FS_MAXSIZE), criteria.maxSize) ||
         criteria.minSize > criteria.maxSize)) {
        ShowMessage(hwnd, fw::LoadStr(IDS_FS_BADSIZE), MB_OK | MB_ICONWARNING);
        ::SetFocus(Item(IDC_FS_MINSIZE));
        return false;
    }
    criteria.dateRange = IsChecked(IDC_FS_DATEBETWEEN);
    if (criteria.dateRange) {
        wchar_t order = Program().dateOrder[0], separator = Program().dateSeparator[0];
        for (int id : {IDC_FS_FIRSTDATE, IDC_FS_LASTDATE}) {
            uint64_t& time = id == IDC_FS_FIRSTDATE ? criteria.firstTime : criteria.lastTime;
            if (!ParseSearchDate(ItemText(id), order, separator, time)) {
                ShowMessage(hwnd, fw::LoadStr(IDS_FS_BADDATE) + ItemText(id), MB_OK | MB_ICONWARNING);
                ::SetFocus(Item(id));
                return false;
            }
        }
    }
    return true;
}

void CFileSearchDialog::Start()
{
    results.clear();
    list.SetItemCountEx(0, 0);
    EnableResultButtons(false);
    SearchCriteria criteria;
    if (!ReadCriteria(criteria)) return;
    if (!criteria.text.empty()) RememberSearchText(ItemText(IDC_FS_TEXT));
    OperationState fallback;
    OperationState& state = panel.Context().operation ? *panel.Context().operation : fallback;
    bool completed;
    {
        searching = true;
        CCopyProgress status(state, hwnd, fw::LoadStr(IDS_FS_SEARCHING), L"STATUSSEARCH");
        completed = FindFiles(criteria, [&](const std::wstring& path) {
            status.Pump();
            if (status.CancelRequested()) return false;
            status.ShowNames(path, L"");
            return true;
        }, results);
        searching = false;
    }
    (void)completed; // a cancelled search keeps and stores what it found
    if (results.empty()) {
        ShowWarning(IDS_FS_NOTFOUND);
        SetDefaultButton(IDC_FS_START);
        return;
    }
    ShowResults(true);
    StoreResults(results, ItemText(IDC_FS_DIRECTORY), ItemText(IDC_FS_MASK), ItemText(IDC_FS_TEXT));
    ::EnableWindow(Item(IDC_FS_PREVIOUS), TRUE);
}

void CFileSearchDialog::ShowResults(bool focusList)
{
    list.SetItemCountEx(static_cast<int>(results.size()), 0);
    ::InvalidateRect(list.Handle(), nullptr, TRUE);
    if (results.empty()) return;
    EnableResultButtons(true);
    list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.EnsureVisible(0);
    if (focusList) ::SetFocus(list.Handle());
    SetDefaultButton(IDC_FS_GOTO);
}

void CFileSearchDialog::ShowPrevious()
{
    results.clear();
    list.SetItemCountEx(0, 0);
    if (StoredResultCount() <= 0) return;
    StoredSearch stored = LoadResults();
    results = std::move(stored.files);
    SetItemText(IDC_FS_DIRECTORY, stored.directory);
    SetItemText(IDC_FS_MASK, stored.mask);
    SetItemText(IDC_FS_TEXT, stored.text);
    ::EnableWindow(Item(IDC_FS_PREVIOUS), FALSE);
    ShowResults(true);
}

const CFoundFile* CFileSearchDialog::Selected() const
{
    int row = list.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0) row = list.GetFocusedItem();
    return row >= 0 && static_cast<size_t>(row) < results.size() ? &results[static_cast<size_t>(row)] : nullptr;
}

void CFileSearchDialog::ViewOrEdit(bool edit)
{
    const CFoundFile* file = Selected();
    if (!file) return;
    ViewOrEditFile(hwnd, file->path, edit ? ViewEditMode::Edit : ViewEditMode::View);
}

void CFileSearchDialog::Run()
{
    const CFoundFile* file = Selected();
    if (!file) return;
    OpenWithAssociation(hwnd, std::wstring(file->path));
}

void CFileSearchDialog::GoToFile()
{
    const CFoundFile* file = Selected();
    if (!file) return;
    std::wstring path = file->path;
    if (!panel.GoToFile(path)) {
        ShowLastError(IDS_FS_NODRIVE);
        return;
    }
    if (panel.Context().owner)
        ::SendMessageW(panel.Context().owner, pm::DriveUpdate, reinterpret_cast<WPARAM>(panel.Handle()), 0);
    End(IDOK);
}

void CFileSearchDialog::FeedToPanel()
{
    if (results.empty()) return;
    fw::WaitCursor wait;
    std::vector<CFileList::FoundRow> rows;
    rows.reserve(results.size());
    for (const CFoundFile& f : results)
        rows.push_back({f.path, f.size == CFoundFile::UnknownSize ? 0 : f.size, f.Time(), f.attributes});
    wchar_t caption[128];
    std::swprintf(caption, 128, L"%-120ls", fw::LoadStr(IDS_FS_PANELCAPTION).c_str());
    panel.ShowFoundFiles(rows, caption);
    End(IDOK);
}

std::wstring CFileSearchDialog::CellText(const CFoundFile& file, int column) const
{
    if (column == 0) return file.path;
    if (column == 1)
        return file.size == CFoundFile::UnknownSize ? L"?" : FormatSize(file.size, Program().thousandSeparator[0]);
    FILETIME utc = {file.timeLow, file.timeHigh}, local;
    SYSTEMTIME st = {};
    if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st)) return L"";
    return FormatDateParts(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, Program().dateOrder[0],
                           Program().dateSeparator[0]);
}

INT_PTR CFileSearchDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    // The list still exists while its dialog is being destroyed.
    if (msg == WM_DESTROY && list.Handle()) {
        WriteProfileInt(L"SearchPositie", L"Col1", list.GetColumnWidth(0));
        WriteProfileInt(L"SearchPositie", L"Col2", list.GetColumnWidth(1));
        WriteProfileInt(L"SearchPositie", L"Col3", list.GetColumnWidth(2));
    }
    if (msg == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header->idFrom == IDC_FS_RESULTS && header->code == LVN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(lp);
            size_t row = static_cast<size_t>(info->item.iItem);
            if ((info->item.mask & LVIF_TEXT) && row < results.size()) {
                cellText = CellText(results[row], info->item.iSubItem);
                info->item.pszText = const_cast<wchar_t*>(cellText.c_str());
            }
            return TRUE;
        }
        if (header->idFrom == IDC_FS_RESULTS && header->code == NM_DBLCLK && Selected()) {
            ViewOrEdit(false);
            return TRUE;
        }
    }
    return CDialog::OnMessage(msg, wp, lp);
}

bool CFileSearchDialog::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDC_FS_START: Start(); return true;
    case IDC_FS_PREVIOUS: ShowPrevious(); return true;
    case IDM_EDIT: ViewOrEdit(true); return true;
    case IDM_VIEW: ViewOrEdit(false); return true;
    case IDC_FS_RUN: Run(); return true;
    case IDC_FS_GOTO: GoToFile(); return true;
    case IDC_FS_FEED: FeedToPanel(); return true;
    case IDC_FS_ANYSIZE:
    case IDC_FS_SIZEBETWEEN: EnableRange(IDC_FS_SIZEBETWEEN, IDC_FS_MINSIZE, IDC_FS_MAXSIZE, id); return true;
    case IDC_FS_ANYDATE:
    case IDC_FS_DATEBETWEEN: EnableRange(IDC_FS_DATEBETWEEN, IDC_FS_FIRSTDATE, IDC_FS_LASTDATE, id); return true;
    case IDC_FS_DIRECTORY:
        if (code == EN_CHANGE) SetDefaultButton(IDC_FS_START);
        return false;
    case IDC_FS_TEXT:
        if (code == CBN_EDITCHANGE || code == CBN_SELCHANGE) SetDefaultButton(IDC_FS_START);
        return false;
    default: return false;
    }
}

void SearchFromPanel(CFileList& panel)
{
    HelpContextScope help(6010);
    CFileSearchDialog dialog(panel);
    dialog.DoModal(::GetAncestor(panel.Handle(), GA_ROOT));
}

} // namespace search
