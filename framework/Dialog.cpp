// Dialog procedure, modal and modeless creation, and the list of open modeless dialogs.
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include <algorithm>
#include <vector>

namespace fw {

namespace {
const wchar_t* const DialogProperty = L"PD.CDialog";
std::vector<HWND> modelessDialogs;
HHOOK modalLoopFilter = nullptr;
bool translating = false;

void Forget(HWND wnd)
{
    modelessDialogs.erase(std::remove(modelessDialogs.begin(), modelessDialogs.end(), wnd), modelessDialogs.end());
}

// Modal loops (dialog boxes, message boxes, the common dialogs) hand every message to
// IsDialogMessage of their own window, which offers it to this filter first.
LRESULT CALLBACK ModalLoopFilter(int code, WPARAM wp, LPARAM lp)
{
    if ((code == MSGF_DIALOGBOX || code == MSGF_MESSAGEBOX) && !translating && lp) {
        MSG& msg = *reinterpret_cast<MSG*>(lp);
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && CDialog::PreTranslate(msg)) return TRUE;
    }
    return ::CallNextHookEx(modalLoopFilter, code, wp, lp);
}

void InstallModalLoopFilter()
{
    if (!modalLoopFilter)
        modalLoopFilter = ::SetWindowsHookExW(WH_MSGFILTER, ModalLoopFilter, nullptr, ::GetCurrentThreadId());
}

// The filter is not asked again from inside a translation (IsDialogMessage calls it too).
class TranslatingScope {
public:
    TranslatingScope() : outer(translating) { translating = true; }
    ~TranslatingScope() { translating = outer; }
    TranslatingScope(const TranslatingScope&) = delete;
    TranslatingScope& operator=(const TranslatingScope&) = delete;

private:
    bool outer;
};
}

CDialog::~CDialog()
{
    if (hwnd) {
        HWND wnd = hwnd;
        ::RemovePropW(wnd, DialogProperty);
        hwnd = nullptr;
        if (!modal) ::DestroyWindow(wnd);
    }
}

INT_PTR CDialog::DoModal(HWND parent)
{
    modal = true;
    return ::DialogBoxParamW(ResourceInstance(), templateName.c_str(), parent, StaticProc,
                             reinterpret_cast<LPARAM>(this));
}

bool CDialog::CreateModeless(HWND parent, bool show)
{
    modal = false;
    HWND wnd = ::CreateDialogParamW(ResourceInstance(), templateName.c_str(), parent, StaticProc,
                                    reinterpret_cast<LPARAM>(this));
    if (!wnd) return false;
    TrackModeless(wnd);
    if (show) ::ShowWindow(wnd, SW_SHOW);
    return true;
}

void CDialog::TrackModeless(HWND wnd)
{
    InstallModalLoopFilter();
    if (std::find(modelessDialogs.begin(), modelessDialogs.end(), wnd) == modelessDialogs.end())
        modelessDialogs.push_back(wnd);
}

void CDialog::UntrackModeless(HWND wnd) { Forget(wnd); }

CDialog* CDialog::FromHandle(HWND wnd)
{
    return wnd ? static_cast<CDialog*>(::GetPropW(wnd, DialogProperty)) : nullptr;
}

bool CDialog::PreTranslate(MSG& msg)
{
    HWND target = nullptr;
    for (HWND wnd : modelessDialogs)
        if ((msg.hwnd == wnd || ::IsChild(wnd, msg.hwnd)) && ::IsWindowVisible(wnd)) {
            target = wnd;
            break;
        }
    if (!target) return false;
    TranslatingScope scope;
    // The hook may end the dialog, so the list is not walked after it.
    CDialog* dialog = FromHandle(target);
    if (dialog && dialog->PreTranslateMessage(msg)) return true;
    return ::IsWindow(target) && ::IsDialogMessageW(target, &msg);
}

bool CDialog::CloseModelessForExit()
{
    std::vector<HWND> open = modelessDialogs;
    bool allClosed = true;
    for (HWND wnd : open) {
        CDialog* dialog = ::IsWindow(wnd) ? FromHandle(wnd) : nullptr;
        if (dialog && !dialog->CloseForExit()) allClosed = false;
    }
    return allClosed;
}

void CDialog::DispatchDirectly(const MSG& msg)
{
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

void CDialog::End(INT_PTR result)
{
    if (!hwnd) return;
    if (modal) ::EndDialog(hwnd, result);
    else ::DestroyWindow(hwnd);
}

std::wstring CDialog::ItemText(int id) const { return GetText(Item(id)); }

INT_PTR CDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_INITDIALOG:
        return OnInit() ? TRUE : FALSE;
    case WM_COMMAND: {
        UINT id = LOWORD(wp), code = HIWORD(wp);
        if (OnCommand(id, code, reinterpret_cast<HWND>(lp))) return TRUE;
        if (id == IDOK && code == BN_CLICKED) { OnOK(); return TRUE; }
        if (id == IDCANCEL) { OnCancel(); return TRUE; }
        break;
    }
    case WM_CLOSE:
        OnCancel();
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK CDialog::StaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CDialog* self = FromHandle(wnd);
    if (!self && msg == WM_INITDIALOG) {
        self = reinterpret_cast<CDialog*>(lp);
        self->hwnd = wnd;
        ::SetPropW(wnd, DialogProperty, self);
    }
    if (!self) return FALSE;
    INT_PTR result = self->OnMessage(msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::RemovePropW(wnd, DialogProperty);
        Forget(wnd);
        self->hwnd = nullptr;
        self->OnDestroyed();
    }
    return result;
}

} // namespace fw
