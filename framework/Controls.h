// Thin wrappers over the common controls: each holds only the HWND, one method per message.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>

namespace fw {

class CControl {
public:
    CControl() = default;
    explicit CControl(HWND w) : wnd(w) {}
    void Attach(HWND w) { wnd = w; }
    HWND Handle() const { return wnd; }
    operator HWND() const { return wnd; }
    void SetText(const std::wstring& text) const { ::SetWindowTextW(wnd, text.c_str()); }
    void Move(const RECT& r, bool repaint = true) const
    {
        ::MoveWindow(wnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    void Show(bool on) const { ::ShowWindow(wnd, on ? SW_SHOW : SW_HIDE); }
    void SetFont(HFONT font, bool redraw = true) const
    {
        ::SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }

protected:
    HWND wnd = nullptr;
};

class CListView : public CControl {
public:
    using CControl::CControl;
    int InsertColumn(int index, const std::wstring& title, int format, int width) const
    {
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
        col.fmt = format;
        col.cx = width;
        col.pszText = const_cast<wchar_t*>(title.c_str());
        col.iSubItem = index;
        return ListView_InsertColumn(wnd, index, &col);
    }
    void SetColumnTitle(int index, const std::wstring& title) const
    {
        LVCOLUMNW col = {};
        col.mask = LVCF_TEXT;
        col.pszText = const_cast<wchar_t*>(title.c_str());
        ListView_SetColumn(wnd, index, &col);
    }
    int GetColumnWidth(int index) const { return ListView_GetColumnWidth(wnd, index); }
    void SetColumnWidth(int index, int width) const { ListView_SetColumnWidth(wnd, index, width); }
    int InsertItem(int index, LPARAM data, UINT state = 0) const
    {
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
        item.iItem = index;
        item.pszText = LPSTR_TEXTCALLBACKW;
        item.lParam = data;
        item.state = state;
        item.stateMask = state;
        return ListView_InsertItem(wnd, &item);
    }
    int GetItemCount() const { return ListView_GetItemCount(wnd); }
    // The row count of an owner-data list view, whose rows live with its owner.
    void SetItemCountEx(int count, DWORD flags) const { ListView_SetItemCountEx(wnd, count, flags); }
    LPARAM GetItemData(int index) const
    {
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = index;
        return ListView_GetItem(wnd, &item) ? item.lParam : 0;
    }
    UINT GetItemState(int index, UINT mask) const { return ListView_GetItemState(wnd, index, mask); }
    void SetItemState(int index, UINT state, UINT mask) const { ListView_SetItemState(wnd, index, state, mask); }
    bool IsSelected(int index) const { return GetItemState(index, LVIS_SELECTED) != 0; }
    int GetNextItem(int start, UINT flags) const { return ListView_GetNextItem(wnd, start, flags); }
    int GetFocusedItem() const { return GetNextItem(-1, LVNI_FOCUSED); }
    int GetSelectedCount() const { return static_cast<int>(ListView_GetSelectedCount(wnd)); }
    void DeleteAllItems() const { ListView_DeleteAllItems(wnd); }
    void EnsureVisible(int index, bool partialOk = false) const { ListView_EnsureVisible(wnd, index, partialOk); }
    int GetTopIndex() const { return ListView_GetTopIndex(wnd); }
    int GetCountPerPage() const { return ListView_GetCountPerPage(wnd); }
    bool GetItemRect(int index, RECT& r, int code = LVIR_BOUNDS) const
    {
        return ListView_GetItemRect(wnd, index, &r, code) != FALSE;
    }
    bool SortItems(PFNLVCOMPARE compare, LPARAM param) const { return ListView_SortItems(wnd, compare, param) != FALSE; }
    HWND GetHeader() const { return ListView_GetHeader(wnd); }
    void SetExtendedStyle(DWORD style) const { ListView_SetExtendedListViewStyle(wnd, style); }
    void RedrawItems(int first, int last) const { ListView_RedrawItems(wnd, first, last); }
    bool Scroll(int dx, int dy) const { return ListView_Scroll(wnd, dx, dy) != FALSE; }
};

class CComboBox : public CControl {
public:
    using CControl::CControl;
    int AddString(const std::wstring& s) const
    {
        return static_cast<int>(::SendMessageW(wnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str())));
    }
    void ResetContent() const { ::SendMessageW(wnd, CB_RESETCONTENT, 0, 0); }
    int GetCount() const { return static_cast<int>(::SendMessageW(wnd, CB_GETCOUNT, 0, 0)); }
    int GetCurSel() const { return static_cast<int>(::SendMessageW(wnd, CB_GETCURSEL, 0, 0)); }
    void SetCurSel(int index) const { ::SendMessageW(wnd, CB_SETCURSEL, index, 0); }
    std::wstring GetItemText(int index) const;
    void ShowDropDown(bool show) const { ::SendMessageW(wnd, CB_SHOWDROPDOWN, show, 0); }
};

class CListBox : public CControl {
public:
    using CControl::CControl;
    int AddString(const std::wstring& s) const
    {
        return static_cast<int>(::SendMessageW(wnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str())));
    }
    void ResetContent() const { ::SendMessageW(wnd, LB_RESETCONTENT, 0, 0); }
    int GetCount() const { return static_cast<int>(::SendMessageW(wnd, LB_GETCOUNT, 0, 0)); }
    // Whole-string match, ignoring case; -1 when absent.
    int FindStringExact(const std::wstring& s) const
    {
        return static_cast<int>(::SendMessageW(wnd, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(s.c_str())));
    }
    std::wstring GetItemText(int index) const;
};

class CToolTip : public CControl {
public:
    using CControl::CControl;
    bool Create(HWND owner);
    void AddTool(HWND owner, HWND tool, const std::wstring& text) const;
};

} // namespace fw
