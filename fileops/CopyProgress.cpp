// Progress dialog, message pumping between blocks and the message boxes of a copy or move.
#include "fileops/CopyProgress.h"
#include "common/Program.h"
#include "framework/Resources.h"
#include "resource.h"

CCopyProgress::CCopyProgress(OperationState& state, HWND mainWindow, const std::wstring& title,
                             const wchar_t* templateName)
    : state(state), mainWindow(mainWindow), dialog(state, templateName)
{
    state.cancelRequested = false;
    dialog.title = title;
    dialog.CreateModeless(mainWindow);
    if (mainWindow) {
        ::BringWindowToTop(mainWindow);
        ::EnableWindow(mainWindow, FALSE);
    }
    if (dialog.Handle()) ::SetForegroundWindow(dialog.Handle());
    state.busy = true;
}

CCopyProgress::~CCopyProgress()
{
    state.busy = false;
    if (mainWindow) ::EnableWindow(mainWindow, TRUE);
    if (dialog.Handle()) ::DestroyWindow(dialog.Handle());
    // A quit request that arrived during the run belongs to the outer loop.
    if (quitSeen) ::PostQuitMessage(static_cast<int>(quitCode));
}

void CCopyProgress::Pump()
{
    // Looking at the queue costs a server round trip under Wine; sixty times a second keeps the
    // dialog as responsive and leaves the blocks their speed.
    DWORD now = ::GetTickCount();
    if (pumped && now - lastPump < PumpInterval) return;
    pumped = true;
    lastPump = now;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quitSeen = true;
            quitCode = msg.wParam;
            state.cancelRequested = true;
            continue;
        }
        if (dialog.Handle() && ::IsDialogMessageW(dialog.Handle(), &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void CCopyProgress::ShowNames(const std::wstring& source, const std::wstring& target)
{
    if (!dialog.Handle()) return;
    // Painting every name of a tree of small files would cost more than copying them.
    DWORD now = ::GetTickCount();
    if (named && now - lastNames < PumpInterval) return;
    named = true;
    lastNames = now;
    dialog.SetItemText(IDC_STATUS_SOURCE, source);
    dialog.SetItemText(IDC_STATUS_TARGET, target);
}

OverwriteAnswer CCopyProgress::ConfirmOverwrite(const OverwriteQuestion& question)
{
    COverwriteDialog ask(question);
    return ask.Ask(dialog.Handle() ? dialog.Handle() : mainWindow);
}

void CCopyProgress::ShowError(int textId)
{
    ShowLastError(textId);
}

void CCopyProgress::ShowProblem(int textId, const std::wstring& detail)
{
    std::wstring text = fw::LoadStr(textId) + detail;
    ::MessageBoxW(dialog.Handle(), text.c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
}

void CCopyProgress::ShowWarning(int textId)
{
    ::ShowWarning(static_cast<UINT>(textId));
}
