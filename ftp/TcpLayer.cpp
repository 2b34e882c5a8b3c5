// Thin blocking layer over Winsock stream sockets: connect, listen, send, receive and text lines.
#include "ftp/TcpLayer.h"
#include "ftp/TlsLayer.h"
#include <ws2tcpip.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

namespace {

struct RegistryEntry {
    TcpSocket sock = NoSocket;
    int kind = 0;
    uint64_t received = 0;
    uint64_t sent = 0;
    DWORD thread = 0;
    // Set once TLS runs on the socket: every call then carries plaintext through it.
    TlsChannel* tls = nullptr;
};

RegistryEntry registry[SocketRegistrySize];
bool registryReady = false;
int startups = 0;
unsigned traceMask = 0;
HANDLE cancelEvent = nullptr;
volatile LONG blockingDepth = 0;

// Trace levels.
constexpr unsigned TraceCalling = 1;
constexpr unsigned TraceInternal = 8;
constexpr unsigned TraceEntering = 16;
constexpr unsigned TraceExiting = 64;
constexpr unsigned TraceDump = 0x4000;
constexpr unsigned TraceError = 0x8000;

void Trace(unsigned level, const char* format, ...)
{
    if (!(traceMask & level)) return;
    char line[600];
    int n = std::snprintf(line, sizeof line, "Proc %lu\t", GetCurrentThreadId());
    const char* prefix = "";
    if (level & (1 | 2)) prefix = "calling ";
    else if (level & 8) prefix = "internal ";
    else if (level & (16 | 32)) prefix = "entering ";
    else if (level & (64 | 128)) prefix = "exiting ";
    if (level & TraceError)
        n += std::snprintf(line + n, sizeof line - n, "Error %d during ", WSAGetLastError());
    else
        n += std::snprintf(line + n, sizeof line - n, "%s", prefix);
    va_list args;
    va_start(args, format);
    if (n < static_cast<int>(sizeof line)) n += std::vsnprintf(line + n, sizeof line - n, format, args);
    va_end(args);
    if (n > static_cast<int>(sizeof line) - 3) n = sizeof line - 3;
    std::strcpy(line + n, "\r\n");
    OutputDebugStringA(line);
}

void Dump(const char* label, const void* data, size_t count)
{
    if (!(traceMask & TraceDump) || count == 0) return;
    OutputDebugStringA(FormatHexDump(label, static_cast<const unsigned char*>(data), count).c_str());
}

TlsTransport TransportOf(TcpSocket sock);

SOCKET ToSocket(TcpSocket s) { return static_cast<SOCKET>(static_cast<uint32_t>(s)); }

RegistryEntry* Find(TcpSocket s)
{
    if (s == NoSocket || !registryReady) return nullptr;
    for (auto& e : registry)
        if (e.sock == s) return &e;
    return nullptr;
}

void Register(TcpSocket s, int kind)
{
    if (!registryReady) return;
    for (auto& e : registry) {
        if (e.sock == NoSocket) {
            e = RegistryEntry{s, kind, 0, 0, GetCurrentThreadId()};
            return;
        }
    }
}

void AppendToLog(HANDLE logFile, const void* data, size_t count)
{
    if (logFile == INVALID_HANDLE_VALUE || logFile == nullptr || count == 0) return;
    DWORD written = 0;
    WriteFile(logFile, data, static_cast<DWORD>(count), &written, nullptr);
}

int FailureCode()
{
    return WSAGetLastError() == WSAEINTR ? TcpCancelled : TcpNetworkError;
}

// Whether the socket can be read (or written) now; errors count as ready so the call reports them.
bool ReadyNow(SOCKET s, bool forWrite)
{
    fd_set main, errors;
    FD_ZERO(&main);
    FD_ZERO(&errors);
    FD_SET(s, &main);
    FD_SET(s, &errors);
    timeval zero{0, 0};
    int n = select(0, forWrite ? nullptr : &main, forWrite ? &main : nullptr, &errors, &zero);
    return n != 0;
}

// Marks a wait in progress, so TcpAbort knows there is something to cancel.
class BlockingScope {
public:
    BlockingScope()
    {
        if (!cancelEvent) cancelEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (InterlockedIncrement(&blockingDepth) == 1) ResetEvent(cancelEvent);
    }
    ~BlockingScope()
    {
        if (InterlockedDecrement(&blockingDepth) == 0) ResetEvent(cancelEvent);
    }
    BlockingScope(const BlockingScope&) = delete;
    BlockingScope& operator=(const BlockingScope&) = delete;
};

void PumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave the quit for the message loop that owns it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Waits for the event (or only the time) while window messages are dispatched.
// 1 when ready() holds, -2 on time-out, -11 when cancelled.
template <typename Ready>
int BlockingWait(HANDLE event, DWORD milliseconds, Ready ready)
{
    BlockingScope scope;
    ULONGLONG deadline = milliseconds == INFINITE ? 0 : GetTickCount64() + milliseconds;
    for (;;) {
        if (WaitForSingleObject(cancelEvent, 0) == WAIT_OBJECT_0) {
            WSASetLastError(WSAEINTR);
            return TcpCancelled;
        }
        if (ready()) return TcpOk;
        DWORD remaining = INFINITE;
        if (deadline) {
            ULONGLONG now = GetTickCount64();
            if (now >= deadline) return TcpTimeout;
            remaining = static_cast<DWORD>(deadline - now);
        }
        HANDLE handles[2] = {cancelEvent, event};
        DWORD count = event ? 2 : 1;
        DWORD r = MsgWaitForMultipleObjectsEx(count, handles, remaining, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (r == WAIT_OBJECT_0 + count) PumpMessages();
        else if (event && r == WAIT_OBJECT_0 + 1) WSAResetEvent(event);
        else if (r == WAIT_FAILED) return TcpNetworkError;
    }
}

DWORD SecondsToWait(int timeout)
{
    return timeout == 0 ? INFINITE : static_cast<DWORD>(timeout) * 1000u;
}

// 1 when the socket is ready, -2 when the time ran out (0 ms only looks), -11 cancelled, -1 error.
int WaitSocketFor(SOCKET s, bool forWrite, DWORD milliseconds)
{
    if (ReadyNow(s, forWrite)) return TcpOk;
    if (milliseconds == 0) return TcpTimeout;
    WSAEVENT event = WSACreateEvent();
    if (event == WSA_INVALID_EVENT) return TcpNetworkError;
    long events = forWrite ? (FD_WRITE | FD_CONNECT | FD_CLOSE) : (FD_READ | FD_ACCEPT | FD_CLOSE | FD_OOB);
    int r = TcpNetworkError;
    if (WSAEventSelect(s, event, events) == 0) {
        r = BlockingWait(event, milliseconds, [&] { return ReadyNow(s, forWrite); });
        WSAEventSelect(s, nullptr, 0);
    }
    WSACloseEvent(event);
    return r;
}

int WaitSocket(SOCKET s, bool forWrite, int timeout)
{
    return WaitSocketFor(s, forWrite, timeout < 0 ? 0 : SecondsToWait(timeout));
}

void SetNonBlocking(SOCKET s, bool on)
{
    u_long mode = on ? 1 : 0;
    ioctlsocket(s, FIONBIO, &mode);
}

// A new socket as a registry value; handles beyond 32 bits are refused rather than truncated.
bool NewSocket(SOCKET raw, TcpSocket* out)
{
    if (raw == INVALID_SOCKET) return false;
    if (static_cast<uint64_t>(raw) > 0x7FFFFFFFu) {
        closesocket(raw);
        return false;
    }
    *out = static_cast<TcpSocket>(raw);
    return true;
}

uint16_t ServicePort(const char* service)
{
    servent* entry = getservbyname(service, "tcp");
    return entry ? ntohs(entry->s_port) : 0;
}

// Receives exactly count bytes that a peek has shown to be there.
int Consume(SOCKET s, char* into, int count, HANDLE logFile, RegistryEntry* entry)
{
    char scratch[256];
    while (count > 0) {
        char* target = into ? into : scratch;
        int want = into ? count : (count < static_cast<int>(sizeof scratch) ? count : static_cast<int>(sizeof scratch));
        int n = recv(s, target, want, 0);
        if (n == 0) return TcpClosed;
        if (n < 0) {
            if (WSAGetLastError() == WSAEWOULDBLOCK) {
                int w = WaitSocket(s, false, 0);
                if (w != TcpOk) return w;
                continue;
            }
            return FailureCode();
        }
        AppendToLog(logFile, target, n);
        Dump("<", target, n);
        if (entry) entry->received += n;
        if (into) into += n;
        count -= n;
    }
    return TcpOk;
}

} // namespace

int TcpStartup()
{
    Trace(TraceEntering, "TcpStartup");
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return TcpNetworkError;
    if (!registryReady) {
        for (auto& e : registry) e = RegistryEntry{};
        registryReady = true;
    }
    if (!cancelEvent) cancelEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ++startups;
    return TcpOk;
}

int TcpCleanup()
{
    if (startups == 0) return TcpOk;
    if (blockingDepth > 0) {
        TcpAbort();
        return TcpNetworkError;
    }
    for (auto& e : registry) {
        if (e.sock != NoSocket) {
            TcpSocket s = e.sock;
            if (TcpClose(&s) != TcpOk) e.sock = NoSocket;
        }
    }
    WSACleanup();
    --startups;
    return TcpOk;
}

int TcpAbort()
{
    if (blockingDepth > 0 && cancelEvent) {
        SetEvent(cancelEvent);
    } else {
        Trace(TraceError, "TcpAbort: No calling process to cancel");
    }
    return TcpOk;
}

int TcpPause(int milliseconds)
{
    if (milliseconds <= 0) return TcpOk;
    return BlockingWait(nullptr, static_cast<DWORD>(milliseconds), [] { return false; }) == TcpCancelled
               ? TcpCancelled
               : TcpOk;
}

uint32_t TcpGetIPAddr(const char* host)
{
    if (!host || !*host) return INADDR_NONE;
    uint32_t dotted = inet_addr(host);
    if (dotted != INADDR_NONE) return dotted;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return INADDR_NONE;
    uint32_t address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return address;
}

int TcpConnect(TcpSocket* sock, const char* host, const char* service, uint16_t* port)
{
    Trace(TraceEntering, "TcpConnect. Host %s, service %s, port %u", host ? host : "", service ? service : "",
          port ? *port : 0u);
    if (!sock) return TcpBadPointer;
    *sock = NoSocket;
    uint16_t usePort = service ? ServicePort(service) : (port ? *port : 0);
    if (usePort == 0) return TcpBadPort;
    uint32_t address = TcpGetIPAddr(host);
    if (address == INADDR_NONE) return TcpUnknownHost;
    TcpSocket s = NoSocket;
    if (!NewSocket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP), &s)) return TcpNoSockets;
    SOCKET raw = ToSocket(s);
    SetNonBlocking(raw, true);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(usePort);
    to.sin_addr.s_addr = address;
    int result = TcpOk;
    if (connect(raw, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            result = TcpConnectFailed;
        } else {
            int w = WaitSocket(raw, true, 0);
            int error = 0;
            int len = sizeof error;
            if (w == TcpCancelled) result = TcpCancelled;
            else if (w != TcpOk || getsockopt(raw, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &len) != 0 ||
                     error != 0)
                result = TcpConnectFailed;
        }
    }
    if (result != TcpOk) {
        Trace(TraceError, "connect on socket %d", s);
        closesocket(raw);
        s = NoSocket;
    } else {
        Register(s, SocketOutgoing);
    }
    if (port) *port = usePort;
    *sock = s;
    Trace(TraceExiting, "TcpConnect: socket %d", s);
    return result;
}

int TcpGetListenSocket(TcpSocket* sock, const char* service, uint16_t* port, int backlog, uint32_t localAddress)
{
    if (!sock) return TcpBadPointer;
    uint16_t usePort = service ? ServicePort(service) : (port ? *port : 0);
    TcpSocket s = NoSocket;
    if (!NewSocket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP), &s)) return TcpNoSockets;
    SOCKET raw = ToSocket(s);
    // Address re-use would let another program bind the same port and take the connection.
    BOOL exclusive = TRUE;
    setsockopt(raw, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<char*>(&exclusive), sizeof exclusive);
    linger hard{1, 0};
    setsockopt(raw, SOL_SOCKET, SO_LINGER, reinterpret_cast<char*>(&hard), sizeof hard);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(usePort);
    local.sin_addr.s_addr = localAddress;
    if (bind(raw, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || listen(raw, backlog) != 0) {
        Trace(TraceError, "bind/listen on socket %d", s);
        closesocket(raw);
        return TcpBindFailed;
    }
    Trace(TraceInternal, "listen on socket %d. %d pendind connections", s, backlog);
    SetNonBlocking(raw, true);
    int len = sizeof local;
    getsockname(raw, reinterpret_cast<sockaddr*>(&local), &len);
    if (port) *port = ntohs(local.sin_port);
    Register(s, SocketListening);
    *sock = s;
    return TcpOk;
}

int TcpAccept(TcpSocket* sock, TcpSocket listening, int timeout, uint32_t onlyFrom)
{
    if (listening == NoSocket) return TcpNetworkError;
    SOCKET raw = ToSocket(listening);
    // Strangers turned away do not extend the wait.
    ULONGLONG deadline = timeout > 0 ? GetTickCount64() + static_cast<ULONGLONG>(timeout) * 1000u : 0;
    for (;;) {
        DWORD wait = timeout < 0 ? 0 : INFINITE;
        if (deadline) {
            ULONGLONG now = GetTickCount64();
            wait = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        }
        int w = WaitSocketFor(raw, false, wait);
        if (w != TcpOk) {
            if (w == TcpTimeout) Trace(TraceInternal, "select on socket %d: Timeout", listening);
            return w;
        }
        sockaddr_in from{};
        int fromLength = sizeof from;
        SOCKET got = accept(raw, reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (got == INVALID_SOCKET) {
            if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
            return FailureCode();
        }
        if (onlyFrom != INADDR_ANY && from.sin_addr.s_addr != onlyFrom) {
            Trace(TraceInternal, "accept on socket %d: connection from another address refused", listening);
            linger hard{1, 0};
            setsockopt(got, SOL_SOCKET, SO_LINGER, reinterpret_cast<char*>(&hard), sizeof hard);
            closesocket(got);
            continue;
        }
        TcpSocket s = NoSocket;
        if (!NewSocket(got, &s)) return TcpNoSockets;
        SetNonBlocking(got, true);
        linger soft{1, 5};
        setsockopt(got, SOL_SOCKET, SO_LINGER, reinterpret_cast<char*>(&soft), sizeof soft);
        if (!sock) {
            closesocket(got);
            return TcpBadPointer;
        }
        Register(s, SocketAccepted);
        *sock = s;
        return TcpOk;
    }
}

int TcpClose(TcpSocket* sock)
{
    if (!sock) return TcpBadPointer;
    if (*sock == NoSocket) return TcpOk;
    RegistryEntry* entry = Find(*sock);
    if (entry && entry->tls) {
        TlsClose(entry->tls, TransportOf(*sock), true);
        entry->tls = nullptr;
    }
    if (entry && entry->kind == SocketListening) Sleep(100);
    else if (entry) TcpFlush(*sock);
    SOCKET raw = ToSocket(*sock);
    // A lingering close cannot complete on a non-blocking socket; give it its blocking mode back.
    SetNonBlocking(raw, false);
    if (closesocket(raw) != 0) {
        Trace(TraceError, "closesocket on socket %d", *sock);
        return TcpNetworkError;
    }
    if (entry) entry->sock = NoSocket;
    *sock = NoSocket;
    return TcpOk;
}

int TcpFlush(TcpSocket sock)
{
    if (sock == NoSocket) return TcpNetworkError;
    SOCKET raw = ToSocket(sock);
    char scratch[64];
    u_long pending = 0;
    while (ioctlsocket(raw, FIONREAD, &pending) == 0 && pending > 0) {
        int n = recv(raw, scratch, sizeof scratch, 0);
        if (n <= 0) break;
        Dump("Flushed", scratch, n);
    }
    u_long atMark = 1;
    for (int guard = 0; guard < 1024 && ioctlsocket(raw, SIOCATMARK, &atMark) == 0 && !atMark; ++guard) {
        int n = recv(raw, scratch, sizeof scratch, MSG_OOB);
        if (n <= 0) break;
        Dump("Flushed", scratch, n);
    }
    return TcpOk;
}

namespace {

int PlainRecv(TcpSocket sock, void* buffer, int size, int timeout, HANDLE logFile)
{
    SOCKET raw = ToSocket(sock);
    // Data already there is taken without a wait first: under Wine each readiness check costs a server call.
    bool tryFirst = buffer && size > 0;
    for (;;) {
        if (!tryFirst) {
            int w = WaitSocket(raw, false, timeout);
            if (w != TcpOk) {
                if (w == TcpTimeout) Trace(TraceInternal, "select on socket %d: Timeout", sock);
                return w;
            }
            if (!buffer || size <= 0) return TcpOk;
        }
        tryFirst = false;
        int n = recv(raw, static_cast<char*>(buffer), size, 0);
        if (n == 0) {
            Trace(TraceInternal, "socket %d: Host has closed connection", sock);
            return TcpClosed;
        }
        if (n < 0) {
            if (WSAGetLastError() == WSAEWOULDBLOCK) continue;
            Trace(TraceError, "recv on socket %d", sock);
            return FailureCode();
        }
        AppendToLog(logFile, buffer, n);
        Dump("<", buffer, n);
        if (RegistryEntry* e = Find(sock)) e->received += n;
        return n;
    }
}

int PlainSend(TcpSocket sock, const char* bytes, int count, bool urgent)
{
    SOCKET raw = ToSocket(sock);
    int sent = 0;
    while (sent < count) {
        int n = send(raw, bytes + sent, count - sent, urgent ? MSG_OOB : 0);
        if (n < 0 && WSAGetLastError() == WSAEWOULDBLOCK) {
            int w = WaitSocket(raw, true, 0);
            if (w != TcpOk) return w == TcpCancelled ? TcpCancelled : TcpNetworkError;
            continue;
        }
        if (n <= 0) {
            Trace(TraceError, "send on socket %d", sock);
            return FailureCode();
        }
        sent += n;
    }
    if (RegistryEntry* e = Find(sock)) e->sent += sent;
    return TcpOk;
}

int TransportRead(void* context, char* buffer, int size, int timeout)
{
    return PlainRecv(static_cast<TcpSocket>(reinterpret_cast<intptr_t>(context)), buffer, size, timeout, nullptr);
}

int TransportWrite(void* context, const char* data, int count)
{
    return PlainSend(static_cast<TcpSocket>(reinterpret_cast<intptr_t>(context)), data, count, false);
}

TlsTransport TransportOf(TcpSocket sock)
{
    TlsTransport io;
    io.context = reinterpret_cast<void*>(static_cast<intptr_t>(sock));
    io.read = TransportRead;
    io.write = TransportWrite;
    return io;
}

TlsChannel* TlsOf(TcpSocket sock)
{
    RegistryEntry* e = Find(sock);
    return e ? e->tls : nullptr;
}

// Decrypted bytes up to size, as a plain receive gives them.
int TlsRecv(TcpSocket sock, TlsChannel* tls, void* buffer, int size, int timeout, HANDLE logFile)
{
    int r = TlsReceive(tls, TransportOf(sock), timeout);
    if (r != TcpOk) return r;
    if (!buffer || size <= 0) return TcpOk;
    char* out = static_cast<char*>(buffer);
    int total = 0;
    for (;;) {
        int pending = 0;
        const char* bytes = TlsPending(tls, &pending);
        int n = pending < size - total ? pending : size - total;
        std::memcpy(out + total, bytes, n);
        TlsConsume(tls, n);
        total += n;
        // Records that are already here fill the rest of the buffer without waiting: one record per call
        // would cost a large transfer four times the calls.
        if (total >= size || TlsReceive(tls, TransportOf(sock), -1) != TcpOk) break;
    }
    AppendToLog(logFile, buffer, total);
    Dump("<", buffer, total);
    return total;
}

// Up to the terminator over TLS; the same results as the plain search below.
int TlsRecvUntil(TcpSocket sock, TlsChannel* tls, char* buffer, int* length, const char* terminator, int m,
                 bool caseSensitive, int timeout, HANDLE logFile)
{
    const int capacity = *length;
    std::string work;
    auto same = [&](char a, char b) {
        if (caseSensitive) return a == b;
        return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
    };
    auto ends = [&] {
        if (static_cast<int>(work.size()) < m) return false;
        for (int i = 0; i < m; ++i)
            if (!same(work[work.size() - m + i], terminator[i])) return false;
        return true;
    };
    for (;;) {
        int r = TlsReceive(tls, TransportOf(sock), timeout);
        if (r != TcpOk) {
            int kept = static_cast<int>(work.size()) < capacity ? static_cast<int>(work.size()) : capacity;
            std::memcpy(buffer, work.data(), kept);
            *length = kept;
            return r;
        }
        int pending = 0;
        const char* bytes = TlsPending(tls, &pending);
        int taken = 0;
        while (taken < pending) {
            work += bytes[taken++];
            if (ends()) {
                TlsConsume(tls, taken);
                AppendToLog(logFile, work.data(), work.size());
                int n = static_cast<int>(work.size()) - m;
                std::memcpy(buffer, work.data(), n);
                *length = n;
                return TcpOk;
            }
            if (static_cast<int>(work.size()) >= capacity + m - 1) {
                TlsConsume(tls, taken);
                AppendToLog(logFile, work.data(), work.size());
                std::memcpy(buffer, work.data(), capacity);
                *length = capacity;
                return TcpOverflow;
            }
        }
        TlsConsume(tls, taken);
    }
}

} // namespace

int TcpRecv(TcpSocket sock, void* buffer, int size, int timeout, HANDLE logFile)
{
    if (sock == NoSocket) return TcpNetworkError;
    if (TlsChannel* tls = TlsOf(sock)) return TlsRecv(sock, tls, buffer, size, timeout, logFile);
    return PlainRecv(sock, buffer, size, timeout, logFile);
}

int TcpSend(TcpSocket sock, const void* data, int count, bool urgent, HANDLE logFile)
{
    if (sock == NoSocket) return TcpNetworkError;
    if (count <= 0) return TcpOk;
    if (!data) return TcpBadPointer;
    const char* bytes = static_cast<const char*>(data);
    if (logFile != INVALID_HANDLE_VALUE && logFile != nullptr) {
        std::string shown = MaskForLog(bytes, count);
        AppendToLog(logFile, shown.data(), shown.size());
    }
    Dump(">", bytes, count);
    // Urgent data cannot travel inside TLS records: it goes in line.
    if (TlsChannel* tls = TlsOf(sock)) return TlsSend(tls, TransportOf(sock), bytes, count);
    return PlainSend(sock, bytes, count, urgent);
}

int TcpStartTls(TcpSocket sock, const wchar_t* host, int timeout)
{
    RegistryEntry* e = Find(sock);
    if (!e) return TcpNetworkError;
    if (e->tls) return TcpOk;
    TlsChannel* channel = nullptr;
    int r = TlsHandshake(&channel, TransportOf(sock), host, timeout);
    if (r != TcpOk) return r;
    e->tls = channel;
    return TcpOk;
}

bool TcpIsTls(TcpSocket sock) { return TlsOf(sock) != nullptr; }

std::wstring TcpTlsDescription(TcpSocket sock)
{
    TlsChannel* tls = TlsOf(sock);
    return tls ? TlsDescription(tls) : std::wstring();
}

bool TcpTlsCertificate(TcpSocket sock, TlsCertificate* out)
{
    TlsChannel* tls = TlsOf(sock);
    return tls && TlsPeerCertificate(tls, out);
}

int TnSend(TcpSocket sock, const char* text, bool urgent, HANDLE logFile)
{
    if (!text) return TcpNetworkError;
    size_t length = std::strlen(text);
    if (length > 0x7FFFFFF0u) return TcpNetworkError;
    std::unique_ptr<char[]> line(new (std::nothrow) char[length + 3]);
    if (!line) return TcpNoMemory;
    std::memcpy(line.get(), text, length);
    std::memcpy(line.get() + length, "\r\n", 3);
    return TcpSend(sock, line.get(), static_cast<int>(length + 2), urgent, logFile) == TcpOk ? TcpOk
                                                                                             : TcpNetworkError;
}

int TcpRecvUntilStr(TcpSocket sock, char* buffer, int* length, const char* terminator, int terminatorLength,
                    bool caseSensitive, int timeout, HANDLE logFile)
{
    if (!length) return TcpBadPointer;
    if (sock == NoSocket || *length <= 0 || !terminator || terminatorLength <= 0) return TcpNetworkError;
    if (!buffer) return TcpBadPointer;
    if (TlsChannel* tls = TlsOf(sock))
        return TlsRecvUntil(sock, tls, buffer, length, terminator, terminatorLength, caseSensitive, timeout, logFile);
    const int capacity = *length;
    const int m = terminatorLength;
    std::unique_ptr<char[]> work(new (std::nothrow) char[static_cast<size_t>(capacity) + m + 1]);
    if (!work) return TcpNoMemory;
    SOCKET raw = ToSocket(sock);
    RegistryEntry* entry = Find(sock);
    int received = 0;
    for (;;) {
        int r = TcpRecv(sock, nullptr, 0, timeout, nullptr);
        if (r != TcpOk) {
            *length = received;
            return r;
        }
        int peeked = recv(raw, work.get(), capacity + m - received, MSG_PEEK);
        if (peeked < 0 && WSAGetLastError() == WSAEWOULDBLOCK) continue;
        if (peeked <= 0) {
            *length = received;
            return peeked == 0 ? TcpClosed : FailureCode();
        }
        // The terminator may have begun in bytes already taken: search them together with the piece.
        int tail = received < m - 1 ? received : m - 1;
        std::ptrdiff_t at = FindTerminator(buffer + received - tail, tail, work.get(), peeked, terminator, m,
                                           caseSensitive);
        if (at >= 0) {
            int c;
            if (at < tail) {
                int already = tail - static_cast<int>(at);
                c = Consume(raw, nullptr, m - already, logFile, entry);
                received -= already;
            } else {
                int k = static_cast<int>(at) - tail;
                c = Consume(raw, buffer + received, k, logFile, entry);
                if (c == TcpOk) received += k;
                if (c == TcpOk) c = Consume(raw, nullptr, m, logFile, entry);
            }
            *length = received;
            return c;
        }
        int take = peeked < capacity - received ? peeked : capacity - received;
        int c = Consume(raw, buffer + received, take, logFile, entry);
        if (c != TcpOk) {
            *length = received;
            return c;
        }
        received += take;
        if (received == capacity) {
            Dump("Overflow", buffer, received);
            *length = received;
            return TcpOverflow;
        }
    }
}

int TnReadLine(TcpSocket sock, char* buffer, int size, int timeout, HANDLE logFile)
{
    if (!buffer || size <= 1) return TcpNetworkError;
    std::memset(buffer, 0, size);
    // One byte stays free, so the line is always NUL-terminated.
    int length = size - 1;
    int r = TcpRecvUntilStr(sock, buffer, &length, "\n", 1, true, timeout, logFile);
    if (length < 0) length = 0;
    buffer[length] = '\0';
    if (r == TcpOk && length > 0 && buffer[length - 1] == '\r') buffer[length - 1] = '\0';
    return r;
}

int TnReadMultiLine(TcpSocket sock, char* buffer, int size, int timeout, HANDLE logFile)
{
    return ReadReplyLines([&](char* line, int lineSize) { return TnReadLine(sock, line, lineSize, timeout, logFile); },
                          buffer, size);
}

int TnReadAnswerCode(TcpSocket sock, char* buffer, int size, int timeout, HANDLE logFile)
{
    int r = TnReadMultiLine(sock, buffer, size, timeout, logFile);
    return r == 1 ? TcpAtoi(buffer) : r;
}

uint32_t TcpLocalAddress(TcpSocket sock)
{
    sockaddr_in a{};
    int len = sizeof a;
    if (sock == NoSocket || getsockname(ToSocket(sock), reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return a.sin_addr.s_addr;
}

uint32_t TcpPeerAddress(TcpSocket sock)
{
    sockaddr_in a{};
    int len = sizeof a;
    if (sock == NoSocket || getpeername(ToSocket(sock), reinterpret_cast<sockaddr*>(&a), &len) != 0) return 0;
    return a.sin_addr.s_addr;
}

void TcpSetTrace(unsigned mask) { traceMask = mask; }

int TcpSocketKind(TcpSocket sock)
{
    RegistryEntry* e = Find(sock);
    return e ? e->kind : 0;
}

int TcpRegisteredCount()
{
    int n = 0;
    if (registryReady)
        for (auto& e : registry) n += e.sock != NoSocket;
    return n;
}
