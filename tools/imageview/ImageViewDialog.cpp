// The viewer window: the picture loaded by the first probe that takes it, scroll bars and keys
// in steps of 5 and 25 pixels, and painting on white with small pictures centred.
#include "tools/imageview/ImageViewDialog.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include <algorithm>

namespace {
constexpr int LineStep = 5;
constexpr int PageStep = 25;
constexpr int Margin = 2;
// The viewer whose keys the message filter translates (the viewer is modal: one at a time).
CImageViewDialog* activeViewer = nullptr;
}

CImageViewDialog::CImageViewDialog(const std::wstring& path) : fw::CDialog(L"VIEW"), path(path) {}

bool ViewImage(HWND parent, const std::wstring& path)
{
    CImageViewDialog viewer(path);
    viewer.DoModal(parent);
    return viewer.Loaded();
}

bool CImageViewDialog::OnInit()
{
    accelerators = ::LoadAcceleratorsW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDR_VIEW));
    if (ImgInitialize() != ImgOk || !LoadPicture()) {
        // Declined before it was ever shown: no focus, so it is not activated either.
        End(IDCANCEL);
        return false;
    }
    loaded = true;
    activeViewer = this;
    filter = ::SetWindowsHookExW(WH_MSGFILTER, FilterHook, nullptr, ::GetCurrentThreadId());
    ::SetWindowTextW(hwnd, (L"PD Viewer - " + path).c_str());
    UpdateScrollRanges();
    return true;
}

void CImageViewDialog::OnDestroyed()
{
    if (filter) ::UnhookWindowsHookEx(filter);
    filter = nullptr;
    if (activeViewer == this) activeViewer = nullptr;
    ImgFree(image);
}

bool CImageViewDialog::LoadPicture()
{
    fw::WaitCursor wait;
    return ImgOpenFile(path, image) == ImgOk;
}

// Keys reach a dialog's modal loop, not the dialog: accelerators and scroll keys are taken here.
LRESULT CALLBACK CImageViewDialog::FilterHook(int code, WPARAM wp, LPARAM lp)
{
    MSG* msg = reinterpret_cast<MSG*>(lp);
    CImageViewDialog* viewer = activeViewer;
    if (code == MSGF_DIALOGBOX && viewer && viewer->hwnd &&
        (msg->hwnd == viewer->hwnd || ::IsChild(viewer->hwnd, msg->hwnd))) {
        if (viewer->accelerators && ::TranslateAcceleratorW(viewer->hwnd, viewer->accelerators, msg)) return TRUE;
        if (msg->message == WM_KEYDOWN && viewer->OnKey(static_cast<UINT>(msg->wParam))) return TRUE;
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

bool CImageViewDialog::OnKey(UINT key)
{
    switch (key) {
    case VK_PRIOR: ScrollTo(scrollX, scrollY - PageStep); return true;
    case VK_NEXT: ScrollTo(scrollX, scrollY + PageStep); return true;
    case VK_UP: ScrollTo(scrollX, scrollY - LineStep); return true;
    case VK_DOWN: ScrollTo(scrollX, scrollY + LineStep); return true;
    case VK_LEFT: ScrollTo(scrollX - LineStep, scrollY); return true;
    case VK_RIGHT: ScrollTo(scrollX + LineStep, scrollY); return true;
    case VK_HOME: ScrollTo(0, 0); return true;
    case VK_END: ScrollTo(scrollX, maxY); return true;
    }
    return false;
}

// The visible area is the client area less a margin of 2 pixels on every side; the client area
// already excludes the menu bar and the caption.
void CImageViewDialog::UpdateScrollRanges()
{
    if (updatingRanges) return;
    updatingRanges = true;
    // Showing or hiding one scroll bar changes the room for the other: settle in a few passes.
    for (int pass = 0; pass < 3; ++pass) {
        RECT client;
        ::GetClientRect(hwnd, &client);
        visibleWidth = std::max(0, static_cast<int>(client.right) - 2 * Margin);
        visibleHeight = std::max(0, static_cast<int>(client.bottom) - 2 * Margin);
        maxX = std::max(0, image.width - visibleWidth);
        maxY = std::max(0, image.height - visibleHeight);
        scrollX = std::min(scrollX, maxX);
        scrollY = std::min(scrollY, maxY);
        for (int bar : {SB_HORZ, SB_VERT}) {
            SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_POS | SIF_PAGE};
            info.nMax = bar == SB_HORZ ? maxX : maxY;
            info.nPos = bar == SB_HORZ ? scrollX : scrollY;
            ::SetScrollInfo(hwnd, bar, &info, TRUE);
        }
        RECT after;
        ::GetClientRect(hwnd, &after);
        if (after.right == client.right && after.bottom == client.bottom) break;
    }
    updatingRanges = false;
    ::InvalidateRect(hwnd, nullptr, FALSE);
}

void CImageViewDialog::ScrollTo(int x, int y)
{
    x = std::clamp(x, 0, maxX);
    y = std::clamp(y, 0, maxY);
    if (x == scrollX && y == scrollY) return;
    scrollX = x;
    scrollY = y;
    ::SetScrollPos(hwnd, SB_HORZ, scrollX, TRUE);
    ::SetScrollPos(hwnd, SB_VERT, scrollY, TRUE);
    ::InvalidateRect(hwnd, nullptr, FALSE);
}

void CImageViewDialog::OnScroll(int bar, int code)
{
    const bool vertical = bar == SB_VERT;
    int position = vertical ? scrollY : scrollX;
    switch (code) {
    case SB_LINEUP: position -= LineStep; break;
    case SB_LINEDOWN: position += LineStep; break;
    case SB_PAGEUP: position -= PageStep; break;
    case SB_PAGEDOWN: position += PageStep; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = vertical ? maxY : maxX; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The 32-bit track position: the message's own is 16 bits.
        SCROLLINFO info = {sizeof(info), SIF_TRACKPOS};
        ::GetScrollInfo(hwnd, bar, &info);
        position = info.nTrackPos;
        break;
    }
    default: return;
    }
    if (vertical) ScrollTo(scrollX, position);
    else ScrollTo(position, scrollY);
}

POINT CImageViewDialog::PictureOrigin() const
{
    return POINT{Margin + std::max(0, (visibleWidth - image.width) / 2), Margin + std::max(0, (visibleHeight - image.height) / 2)};
}

void CImageViewDialog::Paint(HDC dc)
{
    RECT client;
    ::GetClientRect(hwnd, &client);
    POINT origin = PictureOrigin();
    int width = std::max(0, std::min(image.width - scrollX, static_cast<int>(client.right - origin.x)));
    int height = std::max(0, std::min(image.height - scrollY, static_cast<int>(client.bottom - origin.y)));
    int saved = ::SaveDC(dc);
    if (width > 0 && height > 0) {
        ImgDraw(image, dc, origin.x, origin.y, scrollX, scrollY, width, height);
        ::ExcludeClipRect(dc, origin.x, origin.y, origin.x + width, origin.y + height);
    }
    ::FillRect(dc, &client, whiteBrush);
    ::RestoreDC(dc, saved);
}

bool CImageViewDialog::OnCommand(UINT id, UINT code, HWND control)
{
    switch (id) {
    case IDM_VIEW_SAVEAS: OnSaveAs(); return true;
    case IDM_VIEW_COPY: OnCopy(); return true;
    case IDM_VIEW_OPENWITH: OnOpenWith(); return true;
    }
    return false;
}

INT_PTR CImageViewDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        Paint(::BeginPaint(hwnd, &ps));
        ::EndPaint(hwnd, &ps);
        return TRUE;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wp));
        return TRUE;
    case WM_ERASEBKGND: // painting covers every pixel
        ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 1);
        return TRUE;
    case WM_SIZE:
        if (loaded) UpdateScrollRanges();
        return TRUE;
    case WM_HSCROLL:
    case WM_VSCROLL:
        OnScroll(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wp));
        return TRUE;
    case WM_KEYDOWN:
        return OnKey(static_cast<UINT>(wp)) ? TRUE : FALSE;
    case WM_MOUSEWHEEL: {
        int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
        ScrollTo(scrollX, scrollY - notches * 3 * LineStep);
        return TRUE;
    }
    }
    return fw::CDialog::OnMessage(msg, wp, lp);
}
