// A CBT hook that answers the dialogs of a test by template name and keeps their texts.
#include "fileops/Answers.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include "resource.h"

namespace test {

namespace {
Answers* current = nullptr;

BOOL CALLBACK CollectText(HWND child, LPARAM lp)
{
    wchar_t cls[32] = {};
    ::GetClassNameW(child, cls, 32);
    if (!lstrcmpiW(cls, L"Static")) {
        std::wstring text = fw::GetText(child);
        auto* out = reinterpret_cast<std::wstring*>(lp);
        if (!text.empty()) *out += text + L"\n";
    }
    return TRUE;
}
}

Answers::Answers(std::map<std::wstring, Rule> rules) : rules(std::move(rules))
{
    current = this;
    hook = ::SetWindowsHookExW(WH_CBT, Hook, nullptr, ::GetCurrentThreadId());
}

Answers::~Answers()
{
    ::UnhookWindowsHookEx(hook);
    current = nullptr;
}

int Answers::Count(const std::wstring& templateName) const
{
    auto it = counts.find(templateName);
    return it == counts.end() ? 0 : it->second;
}

bool Answers::BoxContains(const std::wstring& text) const
{
    for (const std::wstring& box : boxes)
        if (box.find(text) != std::wstring::npos) return true;
    return false;
}

LRESULT CALLBACK Answers::Hook(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE && current) {
        HWND wnd = reinterpret_cast<HWND>(wp);
        wchar_t cls[32] = {};
        ::GetClassNameW(wnd, cls, 32);
        fw::CDialog* dialog = fw::CDialog::FromHandle(wnd);
        std::wstring name = dialog ? dialog->TemplateName() : std::wstring(cls);
        auto rule = current->rules.find(name);
        bool modal = !dialog || dialog->IsModal();
        if (modal && rule != current->rules.end() && !::GetPropW(wnd, L"PD.TestAnswered")) {
            ::SetPropW(wnd, L"PD.TestAnswered", reinterpret_cast<HANDLE>(1));
            int n = current->counts[name]++;
            if (!dialog) {
                std::wstring text;
                ::EnumChildWindows(wnd, CollectText, reinterpret_cast<LPARAM>(&text));
                current->boxes.push_back(text);
            }
            if (rule->second.onShow) rule->second.onShow(wnd);
            const std::vector<int>& ids = rule->second.commands;
            int id = ids.empty() ? IDOK : ids[std::min<size_t>(n, ids.size() - 1)];
            ::PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}

Rule TypeTarget(const std::wstring& target, std::wstring* shownTarget, bool onlyNewer)
{
    return Rule{{IDOK}, [=](HWND wnd) {
                    if (shownTarget) *shownTarget = fw::GetText(::GetDlgItem(wnd, IDC_COPY_TARGET));
                    ::SetDlgItemTextW(wnd, IDC_COPY_TARGET, target.c_str());
                    ::CheckDlgButton(wnd, IDC_COPY_ONLYNEWER, onlyNewer ? BST_CHECKED : BST_UNCHECKED);
                }};
}

} // namespace test
