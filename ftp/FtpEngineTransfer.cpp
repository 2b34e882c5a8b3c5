// FTP data connections: opening them, the blocking transfer loops, abort and stop.
#include "ftp/FtpSession.h"
#include <cstring>
#include <string>
#include <vector>

namespace {

struct LocalSide {
    const wchar_t* path = nullptr; // none: no file, or the caller's handle below
    LocalMode mode = LocalMode::Create;
    HANDLE handle = INVALID_HANDLE_VALUE; // a handle the caller owns
};

HANDLE OpenLocal(const wchar_t* path, LocalMode mode)
{
    HANDLE h = INVALID_HANDLE_VALUE;
    switch (mode) {
    case LocalMode::Create:
        h = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    case LocalMode::Read:
        h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        break;
    case LocalMode::Append:
        h = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) SetFilePointerEx(h, LARGE_INTEGER{}, nullptr, FILE_END);
        break;
    }
    return h;
}

void CloseLocal()
{
    FtpSession& s = *ftpSession;
    if (s.localFile != INVALID_HANDLE_VALUE && s.ownsLocalFile) CloseHandle(s.localFile);
    s.localFile = INVALID_HANDLE_VALUE;
    s.ownsLocalFile = true;
}

std::string Dotted(uint32_t address)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&address);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

// Opens the data connection for the command and sends it; 0 leaves the session transferring.
int OpenTransfer(const LocalSide& local, char type, int64_t offset, const std::string& command)
{
    if (!ftpSession) return FtpNotStarted;
    FtpSession& s = *ftpSession;
    if (s.ctl.control == NoSocket) return FtpNotConnected;
    CloseLocal();
    s.stopFlag = false;
    if (type == 'A' || type == 'I' || type == 'L') {
        int r = FtpTransferType(type);
        if (r != FtpOk) return r;
    }
    if (local.path) {
        s.localFile = OpenLocal(local.path, local.mode);
        if (s.localFile == INVALID_HANDLE_VALUE) return FtpCannotOpenLocal;
    } else if (local.handle != INVALID_HANDLE_VALUE) {
        s.localFile = local.handle;
        s.ownsLocalFile = false;
    }
    TcpSocket listening = NoSocket;
    TcpSocket connected = NoSocket;
    auto fail = [&](int code) {
        CloseLocal();
        TcpClose(&listening);
        TcpClose(&connected);
        return code;
    };
    if (!s.ctl.passive) {
        uint16_t port = 0;
        if (TcpGetListenSocket(&listening, nullptr, &port, 1) != TcpOk) return fail(FtpDataFailed);
        if (SendLine(FtpPortCommand(TcpLocalAddress(s.ctl.control), port)) != FtpOk) return fail(FtpSendFailed);
        if (ReadReply() != 200) return fail(FtpUnexpected);
    } else {
        if (SendLine("PASV") != FtpOk) return fail(FtpSendFailed);
        int reply = ReadReply();
        if (reply == 500 || reply == 502) return fail(FtpNoPassive);
        uint32_t address = 0;
        uint16_t port = 0;
        if (reply != 227 || !FtpParsePassiveReply(s.ctl.reply, &address, &port)) return fail(FtpUnexpected);
        // The data connection goes where the control connection goes, whatever address the reply names.
        uint32_t peer = TcpPeerAddress(s.ctl.control);
        if (peer != 0 && peer != address) address = peer;
        if (TcpConnect(&connected, Dotted(address).c_str(), nullptr, &port) != TcpOk) return fail(FtpNoSocket);
    }
    if (offset > 0) {
        int r = FtpRestartAt(offset);
        if (r != FtpRestartOk) return fail(r);
    }
    if (SendLine(command) != FtpOk) return fail(FtpSendFailed);
    int reply = ReadReply();
    if (reply != 150 && reply != 125) {
        switch (reply) {
        case -1: return fail(FtpNoAnswer);
        case -2: return fail(FtpTimedOut);
        case 550: return fail(FtpServerCannotOpen);
        case 553: return fail(FtpTransferRefused);
        default: return fail(FtpUnexpected);
        }
    }
    if (s.ctl.passive) {
        s.ctl.data = connected;
        connected = NoSocket;
    } else {
        int r = TcpAccept(&s.ctl.data, listening, s.ctl.timeout);
        TcpClose(&listening);
        if (r != TcpOk) return fail(s.stopFlag ? FtpAborted : FtpDataFailed);
    }
    return FtpOk;
}

void BeginCounting(bool progress, int64_t expected)
{
    FtpSession& s = *ftpSession;
    s.progressOn = progress;
    s.bytesTransferred = 0;
    s.bytesExpected = expected < 0 ? 0 : expected;
    s.blockCounter = 0;
}

// Pauses after every so many blocks; false when the pause was cut short by a stop.
bool Pace()
{
    FtpSession& s = *ftpSession;
    if (++s.blockCounter % static_cast<uint32_t>(s.blocksBetweenPauses) != 0) return true;
    return TcpPause(s.pauseLength) != TcpCancelled || !s.stopFlag;
}

int ReceiveLoop()
{
    FtpSession& s = *ftpSession;
    for (;;) {
        int n = 0;
        if (!s.stopFlag) n = TcpRecv(s.ctl.data, s.data, FtpBlockSize, s.ctl.timeout, INVALID_HANDLE_VALUE);
        if (s.stopFlag) {
            AbortAction(true, true);
            return FtpAborted;
        }
        if (n == 0) {
            CloseTransfer(false);
            return FtpMapReply(RowTransferEnd, ReadReply());
        }
        if (n < 0) {
            AbortAction(true, false);
            return FtpDataFailed;
        }
        DWORD written = 0;
        if (!WriteFile(s.localFile, s.data, n, &written, nullptr) || written != static_cast<DWORD>(n)) {
            AbortAction(true, false);
            return FtpCannotWrite;
        }
        s.bytesTransferred += n;
        CallProgress(0, s.bytesTransferred);
        Pace();
    }
}

int SendLoop()
{
    FtpSession& s = *ftpSession;
    for (;;) {
        if (s.stopFlag) break;
        DWORD got = 0;
        if (!ReadFile(s.localFile, s.data, FtpBlockSize, &got, nullptr)) {
            // A read error must not end the upload as if the file were complete.
            AbortAction(false, false);
            return FtpCannotOpenLocal;
        }
        if (got == 0) {
            CloseTransfer(false);
            return FtpMapReply(RowTransferEnd, ReadReply());
        }
        s.bytesTransferred += got;
        if (TcpSend(s.ctl.data, s.data, static_cast<int>(got), false, INVALID_HANDLE_VALUE) != TcpOk) {
            if (s.stopFlag) break;
            CloseTransfer(false);
            return FtpSendFailed;
        }
        CallProgress(0, s.bytesTransferred);
        if (!Pace()) break;
    }
    AbortAction(false, true);
    return FtpAborted;
}

int Download(const char* remote, const LocalSide& local, char type, int64_t offset, bool progress, HWND notify,
             UINT message)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->notifyWindow = notify;
    ftpSession->notifyMessage = message;
    if (!remote || !FtpSafeArgument(remote)) return FtpBadParameters;
    int r = OpenTransfer(local, type, offset, FtpFormat("RETR %s", remote));
    if (r != FtpOk) return Report(r);
    int64_t announced = FtpParseExpectedSize(ftpSession->ctl.reply);
    BeginCounting(progress, announced > offset ? announced - (offset > 0 ? offset : 0) : 0);
    if (ftpSession->messageDriven) {
        StartStep(FtpStepReceive);
        return FtpOk;
    }
    return ReceiveLoop();
}

int Upload(const LocalSide& local, const char* format, const char* remote, char type, int64_t offset,
           bool progress, HWND notify, UINT message)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->notifyWindow = notify;
    ftpSession->notifyMessage = message;
    if (!remote || !FtpSafeArgument(remote)) return FtpBadParameters;
    int r = OpenTransfer(local, type, offset, FtpFormat(format, remote));
    if (r != FtpOk) return Report(r);
    LARGE_INTEGER size{}, position{};
    GetFileSizeEx(ftpSession->localFile, &size);
    SetFilePointerEx(ftpSession->localFile, LARGE_INTEGER{}, &position, FILE_CURRENT);
    BeginCounting(progress, size.QuadPart - position.QuadPart);
    if (ftpSession->messageDriven) {
        StartStep(FtpStepSend);
        return FtpOk;
    }
    return SendLoop();
}

LocalSide FromPath(const wchar_t* path, LocalMode mode)
{
    LocalSide side;
    side.path = path;
    side.mode = mode;
    return side;
}

LocalSide FromHandle(HANDLE file)
{
    LocalSide side;
    side.handle = file;
    return side;
}

// A listed name as a local file name: its last component only, so a listing cannot reach elsewhere.
std::wstring LocalName(const std::string& listed)
{
    size_t cut = listed.find_last_of("/\\");
    std::string name = cut == std::string::npos ? listed : listed.substr(cut + 1);
    if (name.empty() || name == "." || name == ".." || name.find(':') != std::string::npos) return std::wstring();
    UINT codePage = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.c_str(), -1, nullptr, 0) ? CP_UTF8 : CP_ACP;
    int n = MultiByteToWideChar(codePage, 0, name.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(codePage, 0, name.c_str(), -1, wide.data(), n);
    return wide;
}

} // namespace

void CallProgress(int kind, int64_t value)
{
    FtpSession& s = *ftpSession;
    if (s.progressOn && s.progress) s.progress(kind, value);
}

int CloseTransfer(bool drain)
{
    FtpSession& s = *ftpSession;
    CloseLocal();
    if (s.ctl.data == NoSocket) return FtpOk;
    if (drain) {
        int wait = s.ctl.timeout <= 0 || s.ctl.timeout > 5 ? 5 : s.ctl.timeout;
        while (TcpRecv(s.ctl.data, s.data, FtpBlockSize, wait, INVALID_HANDLE_VALUE) > 0) {
        }
    }
    return TcpClose(&s.ctl.data) == TcpOk ? FtpOk : FtpCloseFailed;
}

int AbortAction(bool drain, bool notify)
{
    FtpSession& s = *ftpSession;
    s.stopFlag = false;
    int reply;
    do {
        if (TnSend(s.ctl.control, "ABOR", true, s.ctl.logFile) != TcpOk) {
            reply = -1;
            break;
        }
        reply = ReadReply();
    } while (reply == 500);
    if (reply > 0) reply = ReadReply();
    CloseTransfer(drain);
    if (notify && s.messageDriven) CallProgress(1, FtpAborted);
    TcpFlush(s.ctl.control);
    // A server whose data had all been sent may report the transfer's end only once the data
    // connection closes; that late reply would otherwise answer the next command.
    char late[512];
    while (TcpRecv(s.ctl.control, late, sizeof(late), 1, s.ctl.logFile) > 0) {
    }
    return reply;
}

int FtpDownload(const char* remote, const wchar_t* local, char type, bool progress, HWND notify, UINT message)
{
    if (!local) return FtpBadParameters;
    return Download(remote, FromPath(local, LocalMode::Create), type, 0, progress, notify, message);
}

int FtpAppendDownload(const char* remote, const wchar_t* local, char type, bool progress, HWND notify,
                      UINT message)
{
    if (!local) return FtpBadParameters;
    return Download(remote, FromPath(local, LocalMode::Append), type, 0, progress, notify, message);
}

int FtpDownloadToHandle(const char* remote, HANDLE file, int64_t offset, char type, bool progress, HWND notify,
                        UINT message)
{
    if (file == INVALID_HANDLE_VALUE || !file) return FtpBadParameters;
    return Download(remote, FromHandle(file), type, offset, progress, notify, message);
}

int FtpUpload(const wchar_t* local, const char* remote, char type, bool progress, HWND notify, UINT message)
{
    if (!local) return FtpBadParameters;
    return Upload(FromPath(local, LocalMode::Read), "STOR %s", remote, type, 0, progress, notify, message);
}

int FtpAppendUpload(const wchar_t* local, const char* remote, char type, bool progress, HWND notify,
                    UINT message)
{
    if (!local) return FtpBadParameters;
    return Upload(FromPath(local, LocalMode::Read), "APPE %s", remote, type, 0, progress, notify, message);
}

int FtpUploadFromHandle(HANDLE file, const char* remote, int64_t offset, char type, bool progress, HWND notify,
                        UINT message)
{
    if (file == INVALID_HANDLE_VALUE || !file) return FtpBadParameters;
    return Upload(FromHandle(file), "STOR %s", remote, type, offset, progress, notify, message);
}

int FtpListing(const char* path, const wchar_t* local, bool full, HWND notify, UINT message)
{
    if (!ftpSession) return FtpNotStarted;
    ftpSession->notifyWindow = notify;
    ftpSession->notifyMessage = message;
    if ((!ftpSession->messageDriven && !local) || !FtpSafeArgument(path)) return FtpBadParameters;
    LocalSide side = local ? FromPath(local, LocalMode::Create) : LocalSide{};
    int r = OpenTransfer(side, 'A', 0, FtpListingCommand(path, full));
    if (r != FtpOk) return Report(r);
    BeginCounting(false, 0);
    if (ftpSession->messageDriven) {
        StartStep(local ? FtpStepReceive : FtpStepLine);
        return FtpOk;
    }
    return ReceiveLoop();
}

int FtpStop()
{
    if (!ftpSession) return 0;
    if (ftpSession->ctl.data != NoSocket) {
        TcpAbort();
        ftpSession->stopFlag = true;
    } else if (ftpSession->ctl.control != NoSocket) {
        TcpAbort();
    }
    return 1;
}

int FtpOpenDataConnection(char mode, const char* remote, char type)
{
    if (!ftpSession) return FtpNotStarted;
    if (!remote || !FtpSafeArgument(remote)) return FtpBadParameters;
    const char* format = mode == 'A' ? "APPE %s" : mode == 'W' ? "STOR %s" : "RETR %s";
    int r = OpenTransfer(LocalSide{}, type, 0, FtpFormat(format, remote));
    if (r == FtpOk) BeginCounting(false, mode == 'A' || mode == 'W' ? 0 : FtpParseExpectedSize(ftpSession->ctl.reply));
    return r;
}

int FtpReadData(void* buffer, int size, int* got)
{
    if (!ftpSession) return FtpNotStarted;
    if (got) *got = 0;
    if (ftpSession->ctl.data == NoSocket || !buffer || size <= 0) return FtpBadParameters;
    int n = TcpRecv(ftpSession->ctl.data, buffer, size, ftpSession->ctl.timeout, INVALID_HANDLE_VALUE);
    if (n == 0) return FtpDataClosed;
    if (n < 0) return FtpDataFailed;
    ftpSession->bytesTransferred += n;
    if (got) *got = n;
    return FtpOk;
}

int FtpWriteData(const void* data, int count)
{
    if (!ftpSession) return FtpNotStarted;
    if (ftpSession->ctl.data == NoSocket) return FtpBadParameters;
    if (TcpSend(ftpSession->ctl.data, data, count, false, INVALID_HANDLE_VALUE) != TcpOk) return FtpSendFailed;
    ftpSession->bytesTransferred += count;
    return FtpOk;
}

int FtpCloseDataConnection()
{
    if (!ftpSession) return FtpNotStarted;
    if (ftpSession->ctl.data == NoSocket) return FtpBadParameters;
    CloseTransfer(false);
    int reply = ReadReply();
    if (reply == 226 || reply == 250) return FtpOk;
    if (reply == 452 || reply == 552) return FtpCannotWrite;
    return FtpUnexpected;
}

int FtpFetchMatching(const char* pattern, const wchar_t* localDir, char type, FtpNameFilter filter)
{
    if (!ftpSession) return FtpNotStarted;
    if (ftpSession->messageDriven) return FtpOnlySynchronous;
    if (!localDir) return FtpBadParameters;
    wchar_t tempDir[MAX_PATH + 1], tempFile[MAX_PATH + 1];
    if (!GetTempPathW(MAX_PATH + 1, tempDir) || !GetTempFileNameW(tempDir, L"4w", 0, tempFile))
        return FtpCannotOpenLocal;
    int r = FtpListing(pattern, tempFile, false, nullptr, 0);
    std::vector<std::string> names;
    if (r == FtpOk) {
        HANDLE h = CreateFileW(tempFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            r = FtpCannotOpenLocal;
        } else {
            std::string text, chunk(FtpBlockSize, '\0');
            DWORD got = 0;
            while (ReadFile(h, chunk.data(), FtpBlockSize, &got, nullptr) && got > 0) text.append(chunk.data(), got);
            CloseHandle(h);
            size_t start = 0;
            while (start < text.size()) {
                size_t end = text.find('\n', start);
                if (end == std::string::npos) end = text.size();
                std::string line = text.substr(start, end - start);
                if (!line.empty() && line.back() == '\r') line.pop_back();
                if (!line.empty()) names.push_back(line);
                start = end + 1;
            }
        }
    }
    DeleteFileW(tempFile);
    if (r != FtpOk) return r;
    std::wstring dir = localDir;
    if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
    for (const std::string& name : names) {
        if (filter && !filter(name.c_str())) continue;
        std::wstring local = LocalName(name);
        if (local.empty()) continue;
        r = FtpDownload(name.c_str(), (dir + local).c_str(), type, false, nullptr, 0);
        if (r != FtpOk) return r;
    }
    return FtpOk;
}
