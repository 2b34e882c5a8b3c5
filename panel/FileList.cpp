// Panel creation, columns and the list control's notifications.
#include "panel/FileList.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/PanelDropTarget.h"
#include "panel/PanelRequests.h"
#include "resource.h"

namespace {
struct ColumnSpec {
    UINT title;
    int format;
    int defaultWidth;
    const wchar_t* leftKey;
    const wchar_t* rightKey;
};
const ColumnSpec Columns[3] = {
    {IDS_COL_NAME, LVCFMT_LEFT, 90, L"ColL", L"ColR"},
    {IDS_COL_SIZE, LVCFMT_RIGHT, 64, L"ColL1", L"ColR1"},
    {IDS_COL_DATE, LVCFMT_LEFT, 118, L"ColL2", L"ColR2"},
};
}

CFileList::~CFileList()
{
    ClearEntries();
    if (hwnd) ::DestroyWindow(hwnd);
}

bool CFileList::CreatePanel(HWND parent, int id, bool left, const PanelContext& ctx)
{
    isLeft = left;
    context = ctx;
    HWND wnd = ::CreateWindowExW(0, WC_LISTVIEWW, L"",
                                 WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT |
                                     LVS_SHOWSELALWAYS | LVS_OWNERDRAWFIXED | LVS_OWNERDATA,
                                 0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandle(nullptr), nullptr);
    if (!wnd || !Subclass(wnd)) return false;
    list.Attach(wnd);
    for (int depthIndex = 0; depthIndex < PanelDepths; ++depthIndex) topIndex[depthIndex] = focusIndex[depthIndex] = 0;
    for (int c = 0; c < 3; ++c) {
        const ColumnSpec& spec = Columns[c];
        int width = GetProfileInt(L"WinPositie", isLeft ? spec.leftKey : spec.rightKey, spec.defaultWidth);
        if (width < 0 || width > 4000) width = spec.defaultWidth;
        list.InsertColumn(c, fw::LoadStr(spec.title), spec.format, width);
    }
    MakeHeaderOwnerDrawn();
    SetSortArrow(0, true);
    CreateNameTip();
    // Files dragged from other programs arrive through OLE only.
    dropTarget = new CPanelDropTarget(*this);
    if (FAILED(::RegisterDragDrop(hwnd, dropTarget))) {
        dropTarget->Release();
        dropTarget = nullptr;
    }
    return true;
}

void CFileList::CreateNameTip()
{
    if (!nameTip.Create(hwnd)) return;
    TOOLINFOW info = {};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = hwnd;
    info.uId = 1;
    info.lpszText = LPSTR_TEXTCALLBACKW;
    ::GetClientRect(hwnd, &info.rect);
    info.rect.right = info.rect.bottom = 0x7FFF;
    ::SendMessageW(nameTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void CFileList::TrackNameTip(int x, int y)
{
    LVHITTESTINFO hit = {};
    hit.pt = {x, y};
    int row = ListView_HitTest(hwnd, &hit);
    if (row != tipRow) {
        tipRow = row;
        if (nameTip.Handle()) ::SendMessageW(nameTip, TTM_POP, 0, 0);
    }
}

std::wstring CFileList::NameTipText() const
{
    const FileEntry* entry = Entry(tipRow);
    if (!entry || entry->kind == EntryParent) return {};
    fw::WindowDC dc(hwnd);
    HGDIOBJ old = ::SelectObject(dc, font);
    std::wstring shown = ColumnText(*entry, 0);
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    ::SelectObject(dc, old);
    if (size.cx <= list.GetColumnWidth(0) - 8) return {};
    return entry->name.substr(0, 79);
}

void CFileList::SetFont(HFONT newFont, int newRowHeight)
{
    font = newFont;
    rowHeight = newRowHeight;
    list.SetFont(font);
    // An owner-drawn list asks its row height only when it is told the font changed size.
    RECT r;
    ::GetWindowRect(hwnd, &r);
    WINDOWPOS pos = {hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOOWNERZORDER | SWP_NOSIZE | SWP_NOZORDER};
    ::SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

void CFileList::SetDirectory(const std::wstring& newDrive, const std::wstring& newPath)
{
    drive = newDrive;
    path = newPath;
}

std::wstring CFileList::CurrentName() const
{
    int focused = list.GetFocusedItem();
    const FileEntry* entry = Entry(focused);
    if (!entry || entry->kind == EntryParent) return {};
    return entry->name;
}

int CFileList::VisibleRows() const
{
    RECT r;
    ::GetClientRect(hwnd, &r);
    RECT header = {};
    HWND headerWnd = list.GetHeader();
    if (headerWnd) ::GetWindowRect(headerWnd, &header);
    int height = (r.bottom - r.top) - (header.bottom - header.top);
    return rowHeight > 0 && height > 0 ? height / rowHeight : 0;
}

LRESULT CFileList::OnReflectedNotify(NMHDR* header)
{
    switch (header->code) {
    case LVN_ODFINDITEMW:
        return -1; // the panel's own quick search finds rows, not the list view
    case LVN_COLUMNCLICK:
        ::PostMessageW(hwnd, req::HeaderClick, reinterpret_cast<NMLISTVIEW*>(header)->iSubItem, 0);
        return 0;
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        const FileEntry* entry = Entry(info->item.iItem);
        if (entry && (info->item.mask & LVIF_PARAM)) info->item.lParam = reinterpret_cast<LPARAM>(entry);
        if (entry && (info->item.mask & LVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
            std::wstring text = ColumnText(*entry, info->item.iSubItem);
            lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
        }
        return 0;
    }
    }
    return 0;
}

LRESULT CFileList::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg >= WM_USER && msg < WM_USER + 0x100 && HandleRequest(msg, wp, lp)) return 0;
    // Rows added since the last message reach the list view before anything else does.
    if (rowCountStale) SyncRowCount();
    LRESULT result = 0;
    if (msg >= LVM_FIRST && msg < LVM_FIRST + 0x100 && OnRowMessage(msg, wp, lp, result)) return result;
    switch (msg) {
    case WM_REFLECT_NOTIFY:
        return OnReflectedNotify(reinterpret_cast<NMHDR*>(lp));
    case WM_REFLECT_DRAWITEM:
        DrawRow(*reinterpret_cast<DRAWITEMSTRUCT*>(lp));
        return TRUE;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (item->CtlType == ODT_HEADER) {
            DrawHeaderItem(*item);
            return TRUE;
        }
        LRESULT forwarded = 0;
        if ((contextMenu || contextMenu3) && ForwardMenuMessage(msg, wp, lp, forwarded)) return forwarded;
        break;
    }
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header->hwndFrom == list.GetHeader() &&
            (header->code == HDN_DIVIDERDBLCLICKW || header->code == HDN_DIVIDERDBLCLICKA)) {
            if (context.owner) ::SendMessageW(context.owner, pm::PanelActivated, reinterpret_cast<WPARAM>(hwnd), 0);
            FitColumn(reinterpret_cast<NMHEADERW*>(lp)->iItem);
            return 0;
        }
        if (header->hwndFrom == nameTip.Handle() && header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lp);
            tipText = NameTipText();
            info->lpszText = tipText.data();
            return 0;
        }
        break;
    }
    case WM_KEYDOWN:
        // The list's own navigation is replaced by the panel's key table.
        OnKeyDown(static_cast<UINT>(wp));
        return 0;
    case WM_CHAR:
        OnChar(static_cast<wchar_t>(wp));
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDBLCLK:
        if (context.owner) ::PostMessageW(context.owner, pm::OpenRequest, reinterpret_cast<WPARAM>(hwnd), 0);
        return 0;
    case WM_MOUSEMOVE:
        TrackNameTip(static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp)));
        OnMouseMove(wp, lp);
        break;
    case WM_SETCURSOR:
        if (dragging) return TRUE;
        break;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != hwnd) dragArmed = pressedOnMarked = false;
        break;
    case WM_INITMENUPOPUP:
    case WM_MENUCHAR:
    case WM_MEASUREITEM:
        if (contextMenu || contextMenu3) {
            LRESULT forwarded = 0;
            if (ForwardMenuMessage(msg, wp, lp, forwarded)) return forwarded;
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (context.owner) ::PostMessageW(context.owner, pm::PanelActivated, reinterpret_cast<WPARAM>(hwnd), 0);
        OnMouseButton(msg, lp);
        return 0;
    case WM_LBUTTONUP:
        OnMouseButton(msg, lp);
        break;
    case WM_DESTROY:
        if (dropTarget) {
            ::RevokeDragDrop(hwnd);
            dropTarget->Release();
            dropTarget = nullptr;
        }
        ClearEntries();
        break;
    case WM_ERASEBKGND: {
        RECT r;
        ::GetClientRect(hwnd, &r);
        HBRUSH brush = ::CreateSolidBrush(context.colors ? context.colors->fileBg : 0);
        ::FillRect(reinterpret_cast<HDC>(wp), &r, brush);
        ::DeleteObject(brush);
        return TRUE;
    }
    }
    return CWindow::OnMessage(msg, wp, lp);
}
