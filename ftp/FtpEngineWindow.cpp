// The engine's hidden window: message-driven transfers, one block per posted step message.
#include "ftp/FtpSession.h"
#include <cstring>

namespace {

bool classRegistered = false;

void Schedule(UINT step)
{
    FtpSession& s = *ftpSession;
    ++s.blockCounter;
    uint32_t every = step == FtpStepLine ? 10u : static_cast<uint32_t>(s.blocksBetweenPauses);
    if (s.blockCounter % every == 0 && SetTimer(s.window, step, s.pauseLength > 0 ? s.pauseLength : 1, nullptr))
        return;
    PostMessageW(s.window, step, 0, 0);
}

void Finish(int code)
{
    FtpSession& s = *ftpSession;
    CallProgress(1, code);
    if (s.notifyWindow) PostMessageW(s.notifyWindow, s.notifyMessage, 1, code);
}

void ReceiveStep()
{
    FtpSession& s = *ftpSession;
    int n = TcpRecv(s.ctl.data, s.data, FtpBlockSize, s.ctl.timeout, INVALID_HANDLE_VALUE);
    if (s.stopFlag) return Finish(FailTransfer(FtpAborted, true, false));
    if (n == 0) return Finish(CompleteTransfer(false));
    if (n < 0) return Finish(FailTransfer(FtpDataFailed, true, false));
    DWORD written = 0;
    if (!WriteFile(s.localFile, s.data, n, &written, nullptr) || written != static_cast<DWORD>(n))
        return Finish(FailTransfer(FtpCannotWrite, true, false));
    s.bytesTransferred += n;
    CallProgress(0, s.bytesTransferred);
    Schedule(FtpStepReceive);
}

void PostLine(const char* line)
{
    FtpSession& s = *ftpSession;
    if (s.notifyWindow) PostMessageW(s.notifyWindow, s.notifyMessage, 0, reinterpret_cast<LPARAM>(line));
}

void EndLines(int code)
{
    FtpSession& s = *ftpSession;
    if (s.notifyWindow) PostMessageW(s.notifyWindow, s.notifyMessage, 1, code);
}

void LineStep()
{
    FtpSession& s = *ftpSession;
    int r = TnReadLine(s.ctl.data, s.data, sizeof s.data, s.ctl.timeout, INVALID_HANDLE_VALUE);
    if (s.stopFlag) return Finish(FailTransfer(FtpAborted, true, false));
    if (r == TcpOk || (r == TcpClosed && s.data[0])) {
        if (char* cr = std::strchr(s.data, '\r')) *cr = '\0';
        PostLine(s.data);
    }
    if (r == TcpOk) return Schedule(FtpStepLine);
    // A line too long for the buffer, or a receive error.
    EndLines(r == TcpClosed ? CompleteTransfer(false) : FailTransfer(FtpDataFailed, true, false));
}

void SendStep()
{
    FtpSession& s = *ftpSession;
    if (s.stopFlag) return Finish(FailTransfer(FtpAborted, false, false));
    DWORD got = 0;
    if (!ReadFile(s.localFile, s.data, FtpBlockSize, &got, nullptr))
        return Finish(FailTransfer(FtpCannotOpenLocal, false, false));
    if (got == 0) return Finish(CompleteTransfer(true));
    s.bytesTransferred += got;
    if (TcpSend(s.ctl.data, s.data, static_cast<int>(got), false, INVALID_HANDLE_VALUE) != TcpOk)
        return Finish(s.stopFlag ? FailTransfer(FtpAborted, false, false) : SendFailed());
    CallProgress(0, s.bytesTransferred);
    Schedule(FtpStepSend);
}

LRESULT CALLBACK EngineProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    FtpSession* s = ftpSession;
    if (!s || wnd != s->window) return DefWindowProcW(wnd, msg, wp, lp);
    if (msg == WM_TIMER && (wp == FtpStepReceive || wp == FtpStepLine || wp == FtpStepSend)) {
        KillTimer(wnd, wp);
        PostMessageW(wnd, static_cast<UINT>(wp), 0, 0);
        return 0;
    }
    if (msg == FtpStepReceive || msg == FtpStepLine || msg == FtpStepSend) {
        // A step left over from a transfer that has already ended does nothing.
        if (s->ctl.data == NoSocket) return 0;
        // Finish reports the end once; the abort itself does not.
        if (s->stopFlag) {
            Finish(FailTransfer(FtpAborted, msg != FtpStepSend, false));
        } else if (msg == FtpStepReceive) {
            ReceiveStep();
        } else if (msg == FtpStepLine) {
            LineStep();
        } else {
            SendStep();
        }
        return 0;
    }
    return DefWindowProcW(wnd, msg, wp, lp);
}

} // namespace

bool CreateEngineWindow(FtpSession* session)
{
    if (!classRegistered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = EngineProc;
        wc.hInstance = session->instance;
        wc.lpszClassName = FtpEngineClassName;
        if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
        classRegistered = true;
    }
    // A message-only window: it needs no display and never shows.
    session->window = CreateWindowExW(0, FtpEngineClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      session->instance, nullptr);
    if (!session->window) {
        UnregisterClassW(FtpEngineClassName, session->instance);
        classRegistered = false;
        return false;
    }
    return true;
}

void DestroyEngineWindow(FtpSession* session)
{
    if (session->window) DestroyWindow(session->window);
    session->window = nullptr;
    if (classRegistered) {
        UnregisterClassW(FtpEngineClassName, session->instance);
        classRegistered = false;
    }
}

void StartStep(UINT step)
{
    PostMessageW(ftpSession->window, step, 0, 0);
}
