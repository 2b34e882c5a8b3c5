// The compare window: reading, the two lists and their shared scroll bar, drawing, navigation,
// font and placement; and the settings dialog.
#include "tools/compare/FileCompareDialog.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include <commdlg.h>
#include <windowsx.h>
#include <algorithm>
#include <new>

namespace cmp {

namespace {
CFileCompareDialog* current = nullptr;

const wchar_t* const PlacementKeys[] = {L"wp.flags", L"wp.ptMinPosition.x", L"wp.ptMinPosition.y",
                                        L"wp.ptMaxPosition.x", L"wp.ptMaxPosition.y", L"wp.left",
                                        L"wp.top", L"wp.right", L"wp.bottom"};
}

void CFileCompareDialog::Run(HWND parent, const std::wstring& left, const std::wstring& right, EditFile edit)
{
    CompareFile files[2];
    const std::wstring* paths[2] = {&left, &right};
    std::unique_ptr<CFileComparison> comparison;
    try {
        for (int side = 0; side < 2; ++side) {
            if (DWORD error = ReadCompareFile(*paths[side], files[side])) {
                std::wstring text = fw::LoadStr(IDS_FC_CANTREAD) + *paths[side] + L"\n\n" + SystemErrorText(error);
                ShowMessage(parent, text, MB_OK | MB_ICONSTOP);
                return;
            }
        }
        fw::WaitCursor wait;
        comparison = std::make_unique<CFileComparison>(ReadCompareOptions(files[0].utf8 || files[1].utf8));
        comparison->SetText(0, std::move(files[0].bytes));
        comparison->SetText(1, std::move(files[1].bytes));
        comparison->Run();
    } catch (const std::bad_alloc&) {
        ShowWarning(IDS_OUTOFMEMORY);
        return;
    }
    CFileCompareDialog dialog(left, right, std::move(comparison), files[0].utf8, files[1].utf8, std::move(edit));
    dialog.DoModal(parent);
}

CFileCompareDialog* CFileCompareDialog::Current() { return current; }

CFileCompareDialog::CFileCompareDialog(const std::wstring& left, const std::wstring& right,
                                       std::unique_ptr<CFileComparison> comparison, bool utf8Left, bool utf8Right,
                                       EditFile edit)
    : CDialog(L"FILECOMP"), paths{left, right}, comparison(std::move(comparison)), utf8{utf8Left, utf8Right},
      edit(std::move(edit)), lists{CCompareList(*this), CCompareList(*this)}
{
}

CFileCompareDialog::~CFileCompareDialog()
{
    if (current == this) current = nullptr;
    if (font) ::DeleteObject(font);
}

bool CFileCompareDialog::OnInit()
{
    current = this;
    SetItemText(IDC_FC_LEFTPATH, paths[0]);
    SetItemText(IDC_FC_RIGHTPATH, paths[1]);
    perTab = ReadTabWidth();
    RECT r = {};
    ::GetWindowRect(Item(IDCANCEL), &r);
    buttonHeight = r.bottom - r.top;
    ::GetWindowRect(Item(IDC_FC_LEFTPATH), &r);
    labelHeight = r.bottom - r.top;
    for (int side = 0; side < 2; ++side) {
        lists[side].Subclass(List(side));
        ::SendMessageW(List(side), LB_SETHORIZONTALEXTENT, 4000, 0);
        ::SendMessageW(List(side), LB_SETCOUNT, comparison->Items(side).size(), 0);
    }
    MakeFont(GetProfileInt(L"FileComp", L"FontHeight", -10), GetProfileInt(L"FileComp", L"FontWeight", 400),
             GetProfileString(L"FileComp", L"FontName", L"MS Sans Serif"));
    ApplyFont();
    ::SetTimer(hwnd, TimerOpening, 100, nullptr);
    return true;
}

void CFileCompareDialog::MakeFont(int height, int weight, const std::wstring& face)
{
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    HFONT made = ::CreateFontIndirectW(&lf);
    if (!made) return;
    if (font) ::DeleteObject(font);
    font = made;
}

void CFileCompareDialog::ApplyFont()
{
    fw::WindowDC dc(hwnd);
    fw::SelectScope select(dc, font);
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    itemHeight = std::max<int>(metrics.tmHeight, 1);
    for (int side = 0; side < 2; ++side) {
        ::SendMessageW(List(side), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SendMessageW(List(side), LB_SETITEMHEIGHT, 0, itemHeight);
        ::InvalidateRect(List(side), nullptr, TRUE);
    }
    Layout();
}

void CFileCompareDialog::Layout()
{
    RECT client = {};
    ::GetClientRect(hwnd, &client);
    int width = client.right, height = client.bottom;
    int bar = ::GetSystemMetrics(SM_CXVSCROLL);
    int buttonsTop = height - margin - buttonHeight;
    int listsTop = margin + labelHeight + 2;
    int listsHeight = std::max(buttonsTop - margin - listsTop, 0);
    int listWidth = std::max((width - 2 * margin - bar) / 2, 0);
    ::MoveWindow(Item(IDC_FC_LEFTPATH), margin, margin, listWidth, labelHeight, TRUE);
    ::MoveWindow(Item(IDC_FC_RIGHTPATH), margin + listWidth, margin, listWidth, labelHeight, TRUE);
    ::MoveWindow(List(0), margin, listsTop, listWidth, listsHeight, TRUE);
    ::MoveWindow(List(1), margin + listWidth, listsTop, listWidth, listsHeight, TRUE);
    ::MoveWindow(Item(IDC_FC_SCROLL), margin + 2 * listWidth, listsTop, bar, listsHeight, TRUE);
    // The buttons keep their places along the row; the row stays at the bottom.
    for (int id : {IDM_FC_NEXTDIFF, IDM_FC_PREVDIFF, IDM_FC_NEXTSAME, IDM_FC_PREVSAME, IDM_FC_EDITLEFT,
                   IDM_FC_EDITRIGHT, IDM_FC_FONT, IDCANCEL}) {
        HWND button = Item(id);
        RECT r = {};
        ::GetWindowRect(button, &r);
        ::MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
        if (id == IDCANCEL) r.left = width - margin - (r.right - r.left);
        ::SetWindowPos(button, nullptr, r.left, buttonsTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    visible = std::max(listsHeight / itemHeight - 2, 1);
    UpdateScrollBar();
    ScrollTo(top, true);
}

void CFileCompareDialog::UpdateScrollBar()
{
    SCROLLINFO info = {sizeof(info)};
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = static_cast<int>(comparison->Items(0).size());
    info.nPage = static_cast<UINT>(visible);
    info.nPos = top;
    ::SetScrollInfo(Item(IDC_FC_SCROLL), SB_CTL, &info, TRUE);
}

int CFileCompareDialog::ShownTop() const
{
    LRESULT shown = ::SendMessageW(List(0), LB_GETTOPINDEX, 0, 0);
    return shown == LB_ERR ? 0 : static_cast<int>(shown);
}

void CFileCompareDialog::ScrollTo(int item, bool keepItem)
{
    int count = static_cast<int>(comparison->Items(0).size());
    item = std::clamp(item, 0, std::max(count - 1, 0));
    for (int side = 0; side < 2; ++side) ::SendMessageW(List(side), LB_SETTOPINDEX, item, 0);
    // The lists stop where their last page is full; both stop alike.
    int shown = ShownTop();
    ::SendMessageW(List(1), LB_SETTOPINDEX, shown, 0);
    top = keepItem ? item : shown;
    ::SetScrollPos(Item(IDC_FC_SCROLL), SB_CTL, shown, TRUE);
}

void CFileCompareDialog::ScrollBy(int lines) { ScrollTo(ShownTop() + lines); }

void CFileCompareDialog::OnVerticalScroll(UINT code)
{
    switch (code) {
    case SB_LINEUP: ScrollBy(-1); break;
    case SB_LINEDOWN: ScrollBy(1); break;
    case SB_PAGEUP: ScrollBy(-visible); break;
    case SB_PAGEDOWN: ScrollBy(visible); break;
    case SB_TOP: ScrollTo(0); break;
    case SB_BOTTOM: ScrollTo(static_cast<int>(comparison->Items(0).size())); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {sizeof(info)};
        info.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(Item(IDC_FC_SCROLL), SB_CTL, &info);
        ScrollTo(info.nTrackPos);
        break;
    }
    }
}

void CFileCompareDialog::Navigate(UINT id)
{
    const std::vector<CompareItem>& items = comparison->Items(0);
    bool forward = id == IDM_FC_NEXTDIFF || id == IDM_FC_NEXTSAME;
    bool equal = id == IDM_FC_NEXTSAME || id == IDM_FC_PREVSAME;
    Jump jump = forward ? NextBlock(items, top, equal) : PreviousBlock(items, top, equal);
    ScrollTo(jump.top, true);
    if (jump.outside)
        ShowMessage(hwnd, fw::LoadStr(forward ? IDS_FC_ATEND : IDS_FC_ATSTART), MB_OK | MB_ICONINFORMATION);
}

void CFileCompareDialog::OpenOnFirstDifference()
{
    ::KillTimer(hwnd, TimerOpening);
    int first = FirstDifference(comparison->Items(0));
    if (first < 0) {
        ShowMessage(hwnd, fw::LoadStr(IDS_FC_NODIFFERENCES), MB_OK | MB_ICONINFORMATION);
        return;
    }
    ScrollTo(first, true);
}

void CFileCompareDialog::ChooseFontCommand()
{
    LOGFONTW lf = {};
    ::GetObjectW(font, sizeof(lf), &lf);
    CHOOSEFONTW choose = {sizeof(choose)};
    choose.hwndOwner = hwnd;
    choose.lpLogFont = &lf;
    choose.Flags = CF_SCREENFONTS | CF_FIXEDPITCHONLY | CF_INITTOLOGFONTSTRUCT;
    if (!::ChooseFontW(&choose)) return;
    MakeFont(lf.lfHeight, lf.lfWeight, lf.lfFaceName);
    ApplyFont();
    WriteProfileInt(L"FileComp", L"FontHeight", lf.lfHeight);
    WriteProfileInt(L"FileComp", L"FontWeight", lf.lfWeight);
    WriteProfileString(L"FileComp", L"FontName", lf.lfFaceName);
}

void CFileCompareDialog::DrawItem(const DRAWITEMSTRUCT& item)
{
    int side = item.CtlID == IDC_LIST_LEFT ? 0 : 1;
    const std::vector<CompareItem>& items = comparison->Items(side);
    HDC dc = item.hDC;
    ::FillRect(dc, &item.rcItem, ::GetSysColorBrush(COLOR_WINDOW));
    if (item.itemID >= items.size()) return;
    const CompareItem& row = items[item.itemID];
    if (!row.line) return;
    const std::vector<CCompareLine>& leftLines = comparison->Lines(0);
    bool fromLeft = !leftLines.empty() && row.line >= &leftLines.front() && row.line <= &leftLines.back();
    std::wstring text = cmp::ItemText(row, perTab, utf8[fromLeft ? 0 : 1]);
    fw::SelectScope select(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, row.same ? RGB(0, 0, 0) : RGB(255, 0, 0));
    ::ExtTextOutW(dc, item.rcItem.left + 2, item.rcItem.top, ETO_CLIPPED, &item.rcItem, text.data(),
                  static_cast<UINT>(text.size()), nullptr);
}

void CFileCompareDialog::RestorePlacement()
{
    int values[9];
    for (int i = 0; i < 9; ++i) values[i] = GetProfileInt(L"FileComp", PlacementKeys[i], 0);
    if (values[7] == values[5]) return;
    WINDOWPLACEMENT placement = {sizeof(placement)};
    placement.flags = static_cast<UINT>(values[0]);
    placement.showCmd = static_cast<UINT>(GetProfileInt(L"FileComp", L"wp.showCmd", SW_SHOW));
    // A modal window never comes back minimised, where it could not be found.
    for (UINT hidden : {SW_HIDE, SW_SHOWMINIMIZED, SW_MINIMIZE, SW_SHOWMINNOACTIVE, SW_FORCEMINIMIZE})
        if (placement.showCmd == hidden) placement.showCmd = SW_SHOWNORMAL;
    placement.ptMinPosition = {values[1], values[2]};
    placement.ptMaxPosition = {values[3], values[4]};
    placement.rcNormalPosition = {values[5], values[6], values[7], values[8]};
    ::SetWindowPlacement(hwnd, &placement);
}

void CFileCompareDialog::StorePlacement()
{
    WINDOWPLACEMENT placement = {sizeof(placement)};
    if (!::GetWindowPlacement(hwnd, &placement)) return;
    const RECT& normal = placement.rcNormalPosition;
    int values[9] = {static_cast<int>(placement.flags), placement.ptMinPosition.x, placement.ptMinPosition.y,
                     placement.ptMaxPosition.x, placement.ptMaxPosition.y, normal.left, normal.top, normal.right,
                     normal.bottom};
    WriteProfileInt(L"FileComp", L"wp.showCmd", static_cast<int>(placement.showCmd));
    for (int i = 0; i < 9; ++i) WriteProfileInt(L"FileComp", PlacementKeys[i], values[i]);
}

bool CFileCompareDialog::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDM_FC_FONT: ChooseFontCommand(); return true;
    case IDM_FC_NEXTDIFF: case IDM_FC_NEXTSAME: case IDM_FC_PREVDIFF: case IDM_FC_PREVSAME: Navigate(id); return true;
    case IDM_FC_EDITLEFT: case IDM_FC_EDITRIGHT:
        if (edit) edit(paths[id == IDM_FC_EDITLEFT ? 0 : 1]);
        return true;
    }
    return false;
}

INT_PTR CFileCompareDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CTLCOLORDLG:
        if (firstColour) {
            firstColour = false;
            ::PostMessageW(hwnd, WM_RESTOREPOSITION, 0, 0);
        }
        break;
    case WM_RESTOREPOSITION: RestorePlacement(); return TRUE;
    case WM_TIMER:
        if (wp == TimerOpening) OpenOnFirstDifference();
        return TRUE;
    case WM_SIZE: Layout(); return TRUE;
    case WM_VSCROLL: OnVerticalScroll(LOWORD(wp)); return TRUE;
    case WM_DRAWITEM: DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lp)); return TRUE;
    case WM_DESTROY: StorePlacement(); break;
    }
    return CDialog::OnMessage(msg, wp, lp);
}

LRESULT CCompareList::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_MOUSEWHEEL: {
        wheelRest += GET_WHEEL_DELTA_WPARAM(wp);
        int steps = wheelRest / WHEEL_DELTA;
        wheelRest -= steps * WHEEL_DELTA;
        owner.ScrollBy(-steps * 3);
        return 0;
    }
    case WM_KEYDOWN:
        switch (wp) {
        case VK_UP: owner.ScrollBy(-1); return 0;
        case VK_DOWN: owner.ScrollBy(1); return 0;
        case VK_PRIOR: owner.ScrollBy(-owner.VisibleLines()); return 0;
        case VK_NEXT: owner.ScrollBy(owner.VisibleLines()); return 0;
        case VK_HOME: owner.ScrollTo(0); return 0;
        case VK_END: owner.ScrollTo(static_cast<int>(owner.Comparison().Items(0).size())); return 0;
        }
        break;
    }
    return CWindow::OnMessage(msg, wp, lp);
}

bool CCompareSettingsDialog::OnInit()
{
    SetChecked(IDC_FCS_BLANKS, GetProfileInt(L"FileComp", L"NegeerSpaties", 0) == 1);
    SetChecked(IDC_FCS_CASE, GetProfileInt(L"FileComp", L"NegeerCase", 0) == 1);
    SetItemText(IDC_FCS_TAB, std::to_wstring(GetProfileInt(L"FileComp", L"PerTab", 4)));
    return true;
}

void CCompareSettingsDialog::OnOK()
{
    std::wstring typed = ItemText(IDC_FCS_TAB);
    int width = 0;
    bool digits = !typed.empty() && typed.size() <= 2 && typed.find_first_not_of(L"0123456789") == std::wstring::npos;
    if (digits) width = std::stoi(typed);
    if (width < 1 || width > 32) {
        ShowMessage(hwnd, fw::LoadStr(IDS_FC_BADTAB), MB_OK | MB_ICONWARNING);
        ::SetFocus(Item(IDC_FCS_TAB));
        return;
    }
    WriteProfileInt(L"FileComp", L"NegeerSpaties", IsChecked(IDC_FCS_BLANKS) ? 1 : 0);
    WriteProfileInt(L"FileComp", L"NegeerCase", IsChecked(IDC_FCS_CASE) ? 1 : 0);
    WriteProfileInt(L"FileComp", L"PerTab", width);
    End(IDOK);
}

} // namespace cmp
