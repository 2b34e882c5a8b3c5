// In-process driving of the main window and its dialogs for the tests.
#include "support/Harness.h"
#include "support/TestEnv.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include <mutex>
#include <shellapi.h>

namespace test {

std::function<bool(MSG&)> extraPreTranslate;

bool PumpUntil(const std::function<bool()>& cond, int timeoutMs)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            if (fw::CDialog::PreTranslate(msg)) continue;
            if (extraPreTranslate && extraPreTranslate(msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (cond()) return true;
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= static_cast<DWORD>(timeoutMs)) return cond();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, timeoutMs - elapsed), QS_ALLINPUT);
    }
}

void Pump(int ms)
{
    PumpUntil([] { return false; }, ms);
}

std::vector<std::wstring> RowNames(CFileList& panel)
{
    std::vector<std::wstring> names;
    for (int row = 0; row < panel.RowCount(); ++row)
        if (const FileEntry* e = panel.Entry(row)) names.push_back(e->name);
    return names;
}

std::vector<std::wstring> MarkedNames(CFileList& panel)
{
    std::vector<std::wstring> names;
    for (int row = 0; row < panel.RowCount(); ++row)
        if (panel.List().IsSelected(row)) names.push_back(panel.Entry(row)->name);
    return names;
}

int RowOf(CFileList& panel, const std::wstring& name)
{
    for (int row = 0; row < panel.RowCount(); ++row)
        if (panel.Entry(row)->name == name) return row;
    return -1;
}

namespace {
struct AnswerState {
    std::wstring templateName;
    int commandId = 0;
    std::function<void(HWND)> onShow;
    int answered = 0;
    std::wstring lastText;
    HHOOK hook = nullptr;
};
AnswerState* answerState = nullptr;

BOOL CALLBACK CollectText(HWND child, LPARAM lp)
{
    wchar_t cls[32] = {};
    ::GetClassNameW(child, cls, 32);
    if (!lstrcmpiW(cls, L"Static")) {
        std::wstring text = fw::GetText(child);
        if (!text.empty()) {
            auto* out = reinterpret_cast<std::wstring*>(lp);
            if (!out->empty()) *out += L"\n";
            *out += text;
        }
    }
    return TRUE;
}

LRESULT CALLBACK AnswerHook(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE && answerState) {
        HWND wnd = reinterpret_cast<HWND>(wp);
        wchar_t cls[32] = {};
        ::GetClassNameW(wnd, cls, 32);
        fw::CDialog* dialog = fw::CDialog::FromHandle(wnd);
        bool match = dialog ? dialog->TemplateName() == answerState->templateName
                            : (!lstrcmpW(cls, L"#32770") && answerState->templateName == L"#32770");
        if (match && !::GetPropW(wnd, L"PD.Answered")) {
            ::SetPropW(wnd, L"PD.Answered", reinterpret_cast<HANDLE>(1));
            answerState->lastText.clear();
            ::EnumChildWindows(wnd, CollectText, reinterpret_cast<LPARAM>(&answerState->lastText));
            ++answerState->answered;
            if (answerState->onShow) answerState->onShow(wnd);
            ::PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(answerState->commandId, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}
}

DialogAnswerer::DialogAnswerer(const std::wstring& templateName, int commandId, std::function<void(HWND)> onShow)
{
    answerState = new AnswerState{templateName, commandId, std::move(onShow)};
    answerState->hook = ::SetWindowsHookExW(WH_CBT, AnswerHook, nullptr, ::GetCurrentThreadId());
}

DialogAnswerer::~DialogAnswerer()
{
    if (answerState) {
        ::UnhookWindowsHookEx(answerState->hook);
        delete answerState;
        answerState = nullptr;
    }
}

int DialogAnswerer::Answered() const { return answerState ? answerState->answered : 0; }
std::wstring DialogAnswerer::LastText() const { return answerState ? answerState->lastText : L""; }

std::vector<std::wstring> RecordedArgs(const std::wstring& record, int timeoutMs)
{
    std::wstring text;
    PumpUntil([&] { return !(text = ReadRecord(record)).empty(); }, timeoutMs);
    std::wstring line = text.substr(0, text.find(L'\n'));
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(line.c_str(), &argc);
    std::vector<std::wstring> args(argv, argv + argc);
    ::LocalFree(argv);
    return args;
}

bool Screenshot(HWND wnd, const std::wstring& path)
{
    RECT r;
    ::GetWindowRect(wnd, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    if (!::PrintWindow(wnd, mem, 0)) ::BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    ::SelectObject(mem, old);
    int stride = ((w * 3 + 3) / 4) * 4;
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + stride * h;
    bool ok = false;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD n;
        ok = ::WriteFile(file, &fh, sizeof(fh), &n, nullptr) &&
             ::WriteFile(file, &bi.bmiHeader, sizeof(bi.bmiHeader), &n, nullptr) &&
             ::WriteFile(file, bits, stride * h, &n, nullptr);
        ::CloseHandle(file);
    }
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

void AppTest::SetUp()
{
    ResetStore();
    Prepare();
}

bool AppTest::Start()
{
    app = std::make_unique<CCommanderApp>();
    if (!app->InitInstance()) return false;
    main = app->MainWindow();
    main->postQuitOnDestroy = false;
    return true;
}

void AppTest::WaitForPanels()
{
    ASSERT_TRUE(PumpUntil([this] { return main->LeftPanel().updates > 0 && main->RightPanel().updates > 0; }));
}

void AppTest::TearDown()
{
    if (app) {
        app->ExitInstance();
        app.reset();
    }
    main = nullptr;
    // Let the display driver finish with the destroyed windows before the next test makes new
    // ones: Wine reuses window handles, and a window shown too soon can meet the old X window.
    Pump(300);
    ResetStore();
}

} // namespace test
