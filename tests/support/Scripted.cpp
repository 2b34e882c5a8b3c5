// Answering modal windows in order, real input through xdotool, and the clipboard.
#include "support/Scripted.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include <commctrl.h>
#include <cstring>

namespace test {

namespace {
Script* current = nullptr;

std::wstring KindOf(HWND wnd)
{
    if (fw::CDialog* dialog = fw::CDialog::FromHandle(wnd)) return dialog->TemplateName();
    // The open and the save dialog share their controls; their titles differ.
    if (::GetDlgItem(wnd, 1148)) return fw::GetText(wnd).rfind(L"Open", 0) == 0 ? L"open" : L"save";
    if (::GetDlgItem(wnd, 0xFFFF)) return L"box";
    return fw::GetText(wnd);
}
}

Script::Script(std::vector<Step> steps) : steps(std::move(steps)), outer(current)
{
    current = this;
    hook = ::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
}

Script::~Script()
{
    ::UnhookWindowsHookEx(hook);
    current = outer;
}

bool Script::Finished() const { return next == steps.size() && unexpected.empty(); }

LRESULT CALLBACK Script::Hook(int code, WPARAM wp, LPARAM lp)
{
    HWND wnd = reinterpret_cast<HWND>(wp);
    fw::CDialog* dialog = fw::CDialog::FromHandle(wnd);
    wchar_t cls[32] = {};
    ::GetClassNameW(wnd, cls, 32);
    // A common dialog whose owner still takes input (find and replace) is modeless.
    HWND owner = ::GetWindow(wnd, GW_OWNER);
    bool modal = dialog ? dialog->IsModal()
                        : lstrcmpW(cls, L"#32770") == 0 && !(owner && ::IsWindowEnabled(owner));
    if (code == HCBT_ACTIVATE && current && modal && !::GetPropW(wnd, L"PD.Scripted")) {
        ::SetPropW(wnd, L"PD.Scripted", reinterpret_cast<HANDLE>(1));
        std::wstring kind = KindOf(wnd);
        if (kind == L"box") {
            current->texts.push_back(fw::GetText(::GetDlgItem(wnd, 0xFFFF)));
            current->captions.push_back(fw::GetText(wnd));
        }
        if (current->next < current->steps.size() && current->steps[current->next].kind == kind) {
            Step& step = current->steps[current->next++];
            if (step.onShow) step.onShow(wnd);
            ::PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(step.command, BN_CLICKED), 0);
        } else {
            current->unexpected.push_back(kind);
            ::PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

Step Box(int command) { return Step{L"box", command}; }

std::function<void(HWND)> Fields(std::vector<std::pair<int, std::wstring>> texts, std::vector<std::pair<int, bool>> checks)
{
    return [=](HWND wnd) {
        for (const auto& [id, text] : texts) ::SetDlgItemTextW(wnd, id, text.c_str());
        for (const auto& [id, on] : checks) ::CheckDlgButton(wnd, id, on ? BST_CHECKED : BST_UNCHECKED);
    };
}

Step SaveDialog(const std::wstring& name)
{
    return Step{L"save", IDOK, [name](HWND d) { ::SetDlgItemTextW(d, 1148, name.c_str()); }};
}

Step OpenDialog(const std::wstring& name)
{
    return Step{L"open", IDOK, [name](HWND d) { ::SetDlgItemTextW(d, 1148, name.c_str()); }};
}

bool Xdotool(const std::wstring& arguments)
{
    // The handle of a Unix process is not signalled at its end here: a marker file is.
    static int counter = 0;
    std::wstring marker = L"/tmp/pdhex-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    std::wstring windowsMarker = L"Z:" + marker;
    for (wchar_t& c : windowsMarker)
        if (c == L'/') c = L'\\';
    std::wstring line = L"/bin/sh -c \"/usr/bin/xdotool " + arguments + L"; touch " + marker + L"\"";
    if (!StartUnixProgram(line)) return false;
    // Messages keep flowing meanwhile: the keys are read by this very thread.
    bool done = PumpUntil([&] { return ::GetFileAttributesW(windowsMarker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000);
    ::DeleteFileW(windowsMarker.c_str());
    return done;
}

std::wstring XWindowId(HWND wnd)
{
    return std::to_wstring(reinterpret_cast<UINT_PTR>(::GetPropW(wnd, L"__wine_x11_whole_window")));
}

bool FocusForKeys(HWND wnd)
{
    if (!Xdotool(L"windowactivate --sync " + XWindowId(wnd))) return false;
    return PumpUntil([&] { return ::GetFocus() == wnd || ::IsChild(wnd, ::GetFocus()); });
}

bool UseResourceLibrary()
{
    static HMODULE library = [] {
        INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        ::InitCommonControlsEx(&icc);
        return ::LoadLibraryW(L"PDDLL.DLL");
    }();
    if (library) fw::SetResourceInstance(library);
    return library != nullptr;
}

bool SetClipboardText(const std::string& text)
{
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    char* p = static_cast<char*>(::GlobalLock(memory));
    memcpy(p, text.c_str(), text.size() + 1);
    ::GlobalUnlock(memory);
    bool ok = ::SetClipboardData(CF_TEXT, memory) != nullptr;
    ::CloseClipboard();
    return ok;
}

std::string ClipboardText()
{
    if (!::OpenClipboard(nullptr)) return "<closed>";
    std::string text;
    if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(::GlobalLock(data));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return text;
}

} // namespace test
