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

int EndReply(bool sending)
{
    int reply = ReadReply();
    if (reply == 226 || reply == 250) return FtpOk;
    if (sending && (reply == 452 || reply == 552)) return FtpCannotWrite;
    return FtpUnexpected;
}

void ReceiveStep()
{
    FtpSession& s = *ftpSession;
    int n = TcpRecv(s.ctl.data, s.data, FtpBlockSize, s.ctl.timeout, INVALID_HANDLE_VALUE);
    if (s.stopFlag) {
        AbortAction(true, true);
        Finish(FtpAborted);
    } else if (n > 0) {
        DWORD written = 0;
        if (!WriteFile(s.localFile, s.data, n, &written, nullptr) || written != static_cast<DWORD>(n)) {
            AbortAction(true, false);
            Finish(FtpCannotWrite);
            return;
        }
        s.bytesTransferred += n;
        CallProgress(0, s.bytesTransferred);
        Schedule(FtpStepReceive);
    } else if (n == 0) {
        CloseTransfer(false);
        Finish(EndReply(false));
    } else {
        CloseTransfer(false);
        Finish(FtpDataFailed);
    }
}

void LineStep()
{
    FtpSession& s = *ftpSession;
    int r = TnReadLine(s.ctl.data, s.data, sizeof s.data, s.ctl.timeout, INVALID_HANDLE_VALUE);
    if (s.stopFlag) {
        AbortAction(true, true);
        Finish(FtpAborted);
    } else if (r == TcpOk) {
        if (char* cr = std::strchr(s.data, '\r')) *cr = '\0';
        if (s.notifyWindow) PostMessageW(s.notifyWindow, s.notifyMessage, 0, reinterpret_cast<LPARAM>(s.data));
        Schedule(FtpStepLine);
    } else {
        CloseTransfer(false);
        int code = r == TcpClosed ? EndReply(false) : FtpDataFailed;
        if (s.notifyWindow) PostMessageW(s.notifyWindow, s.notifyMessage, 1, code);
    }
}

void SendStep()
{
    FtpSession& s = *ftpSession;
    if (s.stopFlag) {
        AbortAction(false, true);
        Finish(FtpAborted);
        return;
    }
    DWORD got = 0;
    if (!ReadFile(s.localFile, s.data, FtpBlockSize, &got, nullptr)) {
        AbortAction(false, false);
        Finish(FtpCannotOpenLocal);
        return;
    }
    if (got == 0) {
        CloseTransfer(false);
        Finish(EndReply(true));
        return;
    }
    s.bytesTransferred += got;
    if (TcpSend(s.ctl.data, s.data, static_cast<int>(got), false, INVALID_HANDLE_VALUE) != TcpOk) {
        if (s.stopFlag) {
            AbortAction(false, true);
            Finish(FtpAborted);
        } else {
            CloseTransfer(false);
            Finish(FtpSendFailed);
        }
        return;
    }
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
        if (s->stopFlag) {
            AbortAction(msg != FtpStepSend, true);
            Finish(FtpAborted);
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
