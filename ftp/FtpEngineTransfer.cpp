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
    bool replace = true; // a created file may replace an existing one
};

// Closes the session's local file; false when the system could not complete the writes.
bool CloseLocal()
{
    FtpSession& s = *ftpSession;
    bool closed = true;
    if (s.localFile != INVALID_HANDLE_VALUE && s.ownsLocalFile) closed = CloseHandle(s.localFile) != FALSE;
    s.localFile = INVALID_HANDLE_VALUE;
    s.ownsLocalFile = true;
    return closed;
}

std::wstring LastComponent(const std::wstring& path)
{
    size_t cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

// A target that exists must be a file we may write, found out before the server is asked.
bool TargetWritable(const wchar_t* path)
{
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND;
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return false;
    HANDLE h = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

// A new file beside the target, so that the final rename stays on one volume.
HANDLE CreateBeside(const std::wstring& target, std::wstring& temp)
{
    std::wstring directory = target.substr(0, target.size() - LastComponent(target).size());
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 64; ++attempt) {
        wchar_t name[32];
        wsprintfW(name, L"~ftp%04lx%04x.tmp", GetCurrentProcessId() & 0xFFFF, ++counter & 0xFFFF);
        temp = directory + name;
        HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
    }
    return INVALID_HANDLE_VALUE;
}

HANDLE OpenLocal(const LocalSide& local)
{
    FtpSession& s = *ftpSession;
    const wchar_t* path = local.path;
    HANDLE h = INVALID_HANDLE_VALUE;
    switch (local.mode) {
    case LocalMode::Create:
        // A server's bytes never go to a device, and the target is untouched until the transfer is complete.
        if (FtpIsDeviceName(LastComponent(path)) || !TargetWritable(path)) return INVALID_HANDLE_VALUE;
        h = CreateBeside(path, s.localTemp);
        if (h == INVALID_HANDLE_VALUE) {
            s.localTemp.clear();
            return h;
        }
        s.localTarget = path;
        s.mayReplaceTarget = local.replace;
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

std::string Dotted(uint32_t address)
{
    const unsigned char* b = reinterpret_cast<const unsigned char*>(&address);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
           std::to_string(b[3]);
}

// Listens on the interface the control connection uses (only the server may connect) and names it
// by EPRT, or by PORT once the server has refused EPRT.
int OfferActive(TcpSocket& listening)
{
    FtpSession& s = *ftpSession;
    uint32_t address = TcpLocalAddress(s.ctl.control);
    uint16_t port = 0;
    if (TcpGetListenSocket(&listening, nullptr, &port, 1, address) != TcpOk) return FtpDataFailed;
    if (!s.ctl.noExtendedActive) {
        int r = SendLine(FtpExtendedPortCommand(address, port));
        if (r != FtpOk) return r;
        int reply = ReadReply();
        if (reply == 200) return FtpOk;
        if (reply != 500 && reply != 502) return FtpUnexpected;
        s.ctl.noExtendedActive = true;
    }
    int r = SendLine(FtpPortCommand(address, port));
    if (r != FtpOk) return r;
    return ReadReply() == 200 ? FtpOk : FtpUnexpected;
}

// Connects to the port the server opens for EPSV, or for PASV once the server has refused EPSV.
int OfferPassive(TcpSocket& connected)
{
    FtpSession& s = *ftpSession;
    // The data connection goes where the control connection goes, whatever address a reply names.
    uint32_t address = TcpPeerAddress(s.ctl.control);
    uint16_t port = 0;
    bool named = false;
    if (!s.ctl.noExtendedPassive) {
        int r = SendLine("EPSV");
        if (r != FtpOk) return r;
        int reply = ReadReply();
        if (reply == 229) {
            if (!FtpParseExtendedPassiveReply(s.ctl.reply, &port)) return FtpUnexpected;
            named = true;
        } else if (reply == 500 || reply == 502) {
            s.ctl.noExtendedPassive = true;
        } else {
            return FtpUnexpected;
        }
    }
    if (!named) {
        int r = SendLine("PASV");
        if (r != FtpOk) return r;
        int reply = ReadReply();
        if (reply == 500 || reply == 502) return FtpNoPassive;
        uint32_t claimed = 0;
        if (reply != 227 || !FtpParsePassiveReply(s.ctl.reply, &claimed, &port)) return FtpUnexpected;
        if (address == 0) address = claimed;
    }
    if (address == 0) return FtpNoSocket;
    return TcpConnect(&connected, Dotted(address).c_str(), nullptr, &port) == TcpOk ? FtpOk : FtpNoSocket;
}

// Opens the data connection for the command and sends it; 0 leaves the session transferring.
int OpenTransfer(const LocalSide& local, char type, int64_t offset, const std::string& command)
{
    if (!ftpSession) return FtpNotStarted;
    FtpSession& s = *ftpSession;
    if (s.ctl.control == NoSocket) return FtpNotConnected;
    FinishLocal(FtpAborted);
    s.stopFlag = false;
    s.dataFailure = 0;
    s.ctl.reuseDemanded = false;
    if (type == 'A' || type == 'I' || type == 'L') {
        int r = FtpTransferType(type);
        if (r != FtpOk) return r;
    }
    if (local.path) {
        s.localFile = OpenLocal(local);
        if (s.localFile == INVALID_HANDLE_VALUE) return FtpCannotOpenLocal;
    } else if (local.handle != INVALID_HANDLE_VALUE) {
        s.localFile = local.handle;
        s.ownsLocalFile = false;
    }
    TcpSocket listening = NoSocket;
    TcpSocket connected = NoSocket;
    auto fail = [&](int code) {
        TcpClose(&listening);
        TcpClose(&connected);
        return FinishLocal(code);
    };
    if (!s.ctl.passive) {
        int r = OfferActive(listening);
        if (r != FtpOk) return fail(r);
    } else {
        int r = OfferPassive(connected);
        if (r != FtpOk) return fail(r);
    }
    if (offset > 0) {
        int r = FtpRestartAt(offset);
        if (r != FtpRestartOk) return fail(r);
    }
    int sent = SendLine(command);
    if (sent != FtpOk) return fail(sent);
    // The handshake comes before the opening reply is read: some servers drop a data connection otherwise.
    if (s.ctl.passive) {
        int secured = SecureData(connected);
        if (secured != FtpOk) return fail(secured);
    }
    int reply = ReadReply();
    if (reply != 150 && reply != 125) {
        // Any other preliminary reply leaves a transfer running on the server that nobody follows.
        if (s.ctl.owed > 0) {
            TcpClose(&connected);
            AbortAction(false, false);
        }
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
        int r = TcpAccept(&s.ctl.data, listening, s.ctl.timeout, TcpPeerAddress(s.ctl.control));
        TcpClose(&listening);
        if (r != TcpOk) {
            // The server has begun the transfer and owes its end; ABOR settles it.
            int code = s.stopFlag ? FtpAborted : FtpDataFailed;
            AbortAction(false, false);
            return fail(code);
        }
        int secured = SecureData(s.ctl.data);
        if (secured != FtpOk) return fail(secured);
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

// Counts blocks moved and pauses after every so many; false when the pause was cut short by a stop.
bool Pace(uint32_t blocks)
{
    FtpSession& s = *ftpSession;
    uint32_t every = static_cast<uint32_t>(s.blocksBetweenPauses);
    uint32_t before = s.blockCounter;
    s.blockCounter += blocks;
    if (before / every == s.blockCounter / every) return true;
    return TcpPause(s.pauseLength) != TcpCancelled || !s.stopFlag;
}

// Paced transfers count the engine's blocks of 4096 bytes and pause after every 40 of them, as always;
// the bytes between two pauses go through one socket call and one file call, as do unpaced ones
// (FtpLargeBlockSize at a time): under Wine every call costs more than the bytes it moves.
bool Paced() { return ftpSession->pauseLength > 0; }

char* TransferBlock(size_t& capacity)
{
    FtpSession& s = *ftpSession;
    capacity = Paced() ? static_cast<size_t>(FtpBlockSize) * static_cast<size_t>(s.blocksBetweenPauses)
                       : static_cast<size_t>(FtpLargeBlockSize);
    s.largeBlock.resize(capacity);
    return s.largeBlock.data();
}

// Progress for bytes just moved: one report per step boundary crossed (a block of 4096 bytes when paced,
// 64 KiB otherwise) and one for the exact count, so a large call still reports finely.
void Progressed(int64_t count)
{
    FtpSession& s = *ftpSession;
    int64_t step = Paced() ? FtpBlockSize : FtpProgressStep;
    int64_t before = s.bytesTransferred;
    s.bytesTransferred += count;
    for (int64_t at = (before / step + 1) * step; at <= s.bytesTransferred; at += step) CallProgress(0, at);
    if (s.bytesTransferred % step != 0) CallProgress(0, s.bytesTransferred);
}

uint32_t BlocksIn(size_t bytes) { return static_cast<uint32_t>((bytes + FtpBlockSize - 1) / FtpBlockSize); }

bool WriteLocal(const char* block, size_t& filled)
{
    DWORD written = 0;
    bool ok = filled == 0 ||
              (WriteFile(ftpSession->localFile, block, static_cast<DWORD>(filled), &written, nullptr) &&
               written == static_cast<DWORD>(filled));
    filled = 0;
    return ok;
}

int ReceiveLoop()
{
    FtpSession& s = *ftpSession;
    size_t capacity = 0;
    char* block = TransferBlock(capacity);
    size_t filled = 0;
    for (;;) {
        int n = 0;
        if (!s.stopFlag) n = TcpRecv(s.ctl.data, block + filled, static_cast<int>(capacity - filled), s.ctl.timeout,
                                     INVALID_HANDLE_VALUE);
        // What arrived is written before any end, so a caller's own file keeps it.
        if (s.stopFlag) {
            WriteLocal(block, filled);
            return FailTransfer(FtpAborted, true, true);
        }
        if (n == 0) {
            if (WriteLocal(block, filled)) return CompleteTransfer(false);
            CloseTransfer(false);
            ReadReply();
            return FinishLocal(FtpCannotWrite);
        }
        if (n < 0) {
            WriteLocal(block, filled);
            return FailTransfer(FtpDataFailed, true, false);
        }
        filled += static_cast<size_t>(n);
        Progressed(n);
        if (filled < capacity) continue;
        if (!WriteLocal(block, filled)) return FailTransfer(FtpCannotWrite, true, false);
        Pace(BlocksIn(capacity));
    }
}

int SendLoop()
{
    FtpSession& s = *ftpSession;
    size_t capacity = 0;
    char* block = TransferBlock(capacity);
    for (;;) {
        if (s.stopFlag) break;
        DWORD got = 0;
        // A read error must not end the upload as if the file were complete.
        if (!ReadFile(s.localFile, block, static_cast<DWORD>(capacity), &got, nullptr))
            return FailTransfer(FtpCannotOpenLocal, false, false);
        if (got == 0) return CompleteTransfer(true);
        if (TcpSend(s.ctl.data, block, static_cast<int>(got), false, INVALID_HANDLE_VALUE) != TcpOk) {
            if (s.stopFlag) break;
            return SendFailed();
        }
        Progressed(got);
        if (!Pace(BlocksIn(got))) break;
    }
    return FailTransfer(FtpAborted, false, true);
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

// A listed name as a local file name: its last component only, so a listing cannot reach elsewhere;
// empty when the name cannot be a plain local file.
std::wstring LocalName(const std::string& listed)
{
    size_t cut = listed.find_last_of("/\\");
    std::string name = cut == std::string::npos ? listed : listed.substr(cut + 1);
    UINT codePage = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.c_str(), -1, nullptr, 0) ? CP_UTF8 : CP_ACP;
    int n = MultiByteToWideChar(codePage, 0, name.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
    if (n > 1) MultiByteToWideChar(codePage, 0, name.c_str(), -1, wide.data(), n);
    return FtpUsableLocalName(wide) ? wide : std::wstring();
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
    // A download's temporary file stays open for FinishLocal, which must see whether it closes cleanly.
    if (s.localTemp.empty()) CloseLocal();
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
    int reply = -1;
    SendAbort();
    // The data connection closes first: a server busy sending may read ABOR only once it cannot send.
    CloseTransfer(drain);
    // The transfer's final reply and the reply to ABOR (500 from a server without it), in either order.
    while (s.ctl.owed > 0 && s.ctl.control != NoSocket) reply = ReadReply();
    if (notify && s.messageDriven) CallProgress(1, FtpAborted);
    if (s.ctl.control != NoSocket) TcpFlush(s.ctl.control);
    return reply;
}

int CompleteTransfer(bool sending)
{
    CloseTransfer(false);
    int reply = ReadReply();
    int r = sending && reply == 452 ? FtpCannotWrite : FtpMapReply(RowTransferEnd, reply);
    return FinishLocal(r);
}

int FailTransfer(int code, bool drain, bool notify)
{
    AbortAction(drain, notify);
    return FinishLocal(code);
}

int SendFailed()
{
    CloseTransfer(false);
    // The server may well report success for what it received; the upload is short all the same.
    int reply = ReadReply();
    return FinishLocal(reply == 452 || reply == 552 ? FtpCannotWrite : FtpSendFailed);
}

int FinishLocal(int result)
{
    FtpSession& s = *ftpSession;
    // Whatever broke the transfer, this is the reason the user can act on.
    if (result != FtpOk && result != FtpAborted && s.ctl.reuseDemanded) result = FtpTlsReuseRequired;
    bool closed = CloseLocal();
    if (s.localTemp.empty()) return result;
    std::wstring temp = std::move(s.localTemp);
    std::wstring target = std::move(s.localTarget);
    s.localTemp.clear();
    s.localTarget.clear();
    if (result == FtpOk) {
        DWORD flags = s.mayReplaceTarget ? MOVEFILE_REPLACE_EXISTING : 0;
        if (closed && MoveFileExW(temp.c_str(), target.c_str(), flags)) return FtpOk;
        result = FtpCannotWrite;
    }
    DeleteFileW(temp.c_str());
    return result;
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
    FtpSession& s = *ftpSession;
    if (s.ctl.data == NoSocket || !buffer || size <= 0) return FtpBadParameters;
    int n = TcpRecv(s.ctl.data, buffer, size, s.ctl.timeout, INVALID_HANDLE_VALUE);
    if (n == 0) return FtpDataClosed;
    if (n < 0) {
        if (!s.dataFailure) s.dataFailure = FtpDataFailed;
        return FtpDataFailed;
    }
    s.bytesTransferred += n;
    if (got) *got = n;
    return FtpOk;
}

int FtpWriteData(const void* data, int count)
{
    if (!ftpSession) return FtpNotStarted;
    FtpSession& s = *ftpSession;
    if (s.ctl.data == NoSocket) return FtpBadParameters;
    if (TcpSend(s.ctl.data, data, count, false, INVALID_HANDLE_VALUE) != TcpOk) {
        if (!s.dataFailure) s.dataFailure = FtpSendFailed;
        return FtpSendFailed;
    }
    s.bytesTransferred += count;
    return FtpOk;
}

int FtpCloseDataConnection()
{
    if (!ftpSession) return FtpNotStarted;
    FtpSession& s = *ftpSession;
    if (s.ctl.data == NoSocket) return FtpBadParameters;
    CloseTransfer(false);
    int reply = ReadReply();
    int r = reply == 226 || reply == 250 ? FtpOk : reply == 452 || reply == 552 ? FtpCannotWrite : FtpUnexpected;
    // A server that took a broken connection for a finished one does not make the transfer good.
    return r == FtpOk && s.dataFailure ? s.dataFailure : r;
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
    bool refused = false;
    for (const std::string& name : names) {
        std::wstring local = LocalName(name);
        std::wstring path = dir + local;
        bool exists = !local.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (filter && !filter(name.c_str(), exists)) continue;
        // Without a caller to ask, an existing local file is kept; so is any name that is no plain file.
        if (local.empty() || (exists && !filter)) {
            refused = true;
            continue;
        }
        LocalSide side = FromPath(path.c_str(), LocalMode::Create);
        side.replace = exists;
        r = Download(name.c_str(), side, type, 0, false, nullptr, 0);
        if (r != FtpOk) return r;
    }
    return refused ? FtpCannotOpenLocal : FtpOk;
}
