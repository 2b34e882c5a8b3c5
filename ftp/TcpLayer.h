// Thin blocking layer over Winsock stream sockets: connect, listen, send, receive and text lines.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <cstddef>
#include <cstdint>
#include "ftp/TcpText.h"
#include <string>

struct TlsCertificate;

// Socket handles are kernel handles, which fit in 32 bits on 64-bit Windows too.
using TcpSocket = int32_t;
constexpr TcpSocket NoSocket = -1;

// Kinds of sockets in the registry.
constexpr int SocketListening = 12;
constexpr int SocketOutgoing = 13;
constexpr int SocketAccepted = 14;
constexpr int SocketRegistrySize = 512;

// Time-outs are seconds; 0 waits without limit and -1 only polls.
int TcpStartup();
int TcpCleanup();
int TcpAbort();
int TcpConnect(TcpSocket* sock, const char* host, const char* service, uint16_t* port);
// The port is held for exclusive use; localAddress (network order) limits it to one interface.
int TcpGetListenSocket(TcpSocket* sock, const char* service, uint16_t* port, int backlog,
                       uint32_t localAddress = INADDR_ANY);
// With onlyFrom (network order), connections from any other address are closed and the wait goes on.
int TcpAccept(TcpSocket* sock, TcpSocket listening, int timeout, uint32_t onlyFrom = INADDR_ANY);
int TcpClose(TcpSocket* sock);
int TcpFlush(TcpSocket sock);
// Bytes received, 0 when the peer closed, or a code; with no buffer 1 once data can be read.
int TcpRecv(TcpSocket sock, void* buffer, int size, int timeout, HANDLE logFile);
int TcpSend(TcpSocket sock, const void* data, int count, bool urgent, HANDLE logFile);
int TcpRecvUntilStr(TcpSocket sock, char* buffer, int* length, const char* terminator,
                    int terminatorLength, bool caseSensitive, int timeout, HANDLE logFile);
// Runs TLS on a connected socket from now on (after AUTH TLS, or on a new data connection); every later
// receive, send and line read of the socket carries plaintext, and closing it sends close_notify.
int TcpStartTls(TcpSocket sock, const wchar_t* host, int timeout);
bool TcpIsTls(TcpSocket sock);
// Protocol and cipher of a TLS socket, empty for a plain one.
std::wstring TcpTlsDescription(TcpSocket sock);
bool TcpTlsCertificate(TcpSocket sock, TlsCertificate* out);
// A pause that dispatches window messages and that TcpAbort ends early (then -11).
int TcpPause(int milliseconds);

// Text protocol helpers; lines come back NUL-terminated without CR LF.
int TnSend(TcpSocket sock, const char* text, bool urgent, HANDLE logFile);
int TnReadLine(TcpSocket sock, char* buffer, int size, int timeout, HANDLE logFile);
// One whole reply, read by ReadReplyLines: the buffer holds its last line.
int TnReadMultiLine(TcpSocket sock, char* buffer, int size, int timeout, HANDLE logFile);
int TnReadAnswerCode(TcpSocket sock, char* buffer, int size, int timeout, HANDLE logFile);

// IPv4 address in network order; INADDR_NONE when it cannot be resolved.
uint32_t TcpGetIPAddr(const char* host);
// Addresses of the two ends of a connected socket, in network order (0 when unknown).
uint32_t TcpLocalAddress(TcpSocket sock);
uint32_t TcpPeerAddress(TcpSocket sock);

void TcpSetTrace(unsigned mask);

// Registry view for tests and diagnostics: kind of a registered socket, 0 when not registered.
int TcpSocketKind(TcpSocket sock);
int TcpRegisteredCount();
