// A CBT hook notices the windows; one thread timer runs the steps of every active window.
#include "imageview/ModalDriver.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"

namespace test {

namespace {
ModalDriver* driver = nullptr;
const wchar_t* const SeenProperty = L"PD.ModalDriver";

BOOL CALLBACK CollectText(HWND child, LPARAM lp)
{
    wchar_t cls[32] = {};
    ::GetClassNameW(child, cls, 32);
    std::wstring text = fw::GetText(child);
    if (!::lstrcmpiW(cls, L"Static") && !text.empty()) {
        auto* out = reinterpret_cast<std::wstring*>(lp);
        if (!out->empty()) *out += L"\n";
        *out += text;
    }
    return TRUE;
}
}

ModalDriver::ModalDriver()
{
    driver = this;
    hook = ::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
    timer = ::SetTimer(nullptr, 0, 10, Tick);
}

ModalDriver::~ModalDriver()
{
    ::KillTimer(nullptr, timer);
    ::UnhookWindowsHookEx(hook);
    driver = nullptr;
}

size_t ModalDriver::On(Match match, Step step, int closeId)
{
    rules.push_back(Rule{std::move(match), std::move(step), closeId});
    return rules.size() - 1;
}

ModalDriver::Match ModalDriver::Template(const std::wstring& name)
{
    return [name](HWND wnd) {
        fw::CDialog* dialog = fw::CDialog::FromHandle(wnd);
        return dialog && dialog->TemplateName() == name;
    };
}

ModalDriver::Match ModalDriver::Caption(const std::wstring& caption)
{
    return [caption](HWND wnd) {
        wchar_t cls[32] = {};
        ::GetClassNameW(wnd, cls, 32);
        return !::lstrcmpW(cls, L"#32770") && fw::GetText(wnd) == caption;
    };
}

std::wstring ModalDriver::Texts(HWND wnd)
{
    std::wstring text;
    ::EnumChildWindows(wnd, CollectText, reinterpret_cast<LPARAM>(&text));
    return text;
}

LRESULT CALLBACK ModalDriver::Hook(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE && driver) {
        HWND wnd = reinterpret_cast<HWND>(wp);
        if (!::GetPropW(wnd, SeenProperty))
            for (size_t i = 0; i < driver->rules.size(); ++i)
                if (driver->rules[i].match(wnd)) {
                    ::SetPropW(wnd, SeenProperty, reinterpret_cast<HANDLE>(1));
                    driver->active.push_back(Active{i, wnd, false});
                    break;
                }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

// The newest window first: a step may open another modal window, whose loop then runs the ticks.
void CALLBACK ModalDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!driver || driver->active.empty()) return;
    Active& newest = driver->active.back();
    if (!::IsWindow(newest.wnd)) {
        driver->active.pop_back();
        return;
    }
    // A window counts once it is shown; one that ends while still hidden never runs its step.
    if (!::IsWindowVisible(newest.wnd)) return;
    if (!newest.started) ++driver->rules[newest.rule].count;
    newest.started = true;
    Active current = newest;
    static bool running = false;
    if (running) return;
    running = true;
    Rule& rule = driver->rules[current.rule];
    bool done = rule.step(current.wnd);
    running = false;
    if (!done || !driver) return;
    for (size_t i = 0; i < driver->active.size(); ++i)
        if (driver->active[i].wnd == current.wnd) driver->active.erase(driver->active.begin() + static_cast<long>(i));
    if (rule.closeId && ::IsWindow(current.wnd))
        ::PostMessageW(current.wnd, WM_COMMAND, MAKEWPARAM(rule.closeId, BN_CLICKED), 0);
}

} // namespace test
