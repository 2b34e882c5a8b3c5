// TLS over a connected socket through the platform's SChannel: handshake, records, the peer's certificate.
// The TCP layer drives it; the bytes underneath come and go through a transport it hands in.
#pragma once
#include <winsock2.h>
#include <windows.h>
#include <cstdint>
#include <string>

struct TlsTransport {
    void* context = nullptr;
    // Bytes read (> 0), 0 when the peer closed, or a TCP layer failure code.
    int (*read)(void* context, char* buffer, int size, int timeout) = nullptr;
    // 1 when everything went, or a TCP layer failure code.
    int (*write)(void* context, const char* data, int count) = nullptr;
};

struct TlsCertificate {
    std::wstring subject;
    std::wstring issuer;
    FILETIME notBefore{};
    FILETIME notAfter{};
    // SHA-256 of the encoded certificate: upper-case hex pairs joined by colons.
    std::string sha256;
    // The system trusts the chain (authority, validity) and the certificate names the host.
    bool chainTrusted = false;
    bool nameMatches = false;
    // What is wrong, for the user; empty when trusted and matching.
    std::wstring problem;
};

struct TlsChannel;

// TLS 1.2 or newer with the host as the expected name; 1, or a TCP layer failure code (the channel is freed).
int TlsHandshake(TlsChannel** channel, const TlsTransport& io, const wchar_t* host, int timeout);
// Decrypted bytes waiting to be taken; none until TlsReceive brings some.
const char* TlsPending(TlsChannel* channel, int* count);
void TlsConsume(TlsChannel* channel, int count);
// Makes decrypted bytes pending: 1, 0 after the peer's close_notify, or a failure code. A connection that
// ends without close_notify is a failure: the stream may have been cut short.
int TlsReceive(TlsChannel* channel, const TlsTransport& io, int timeout);
int TlsSend(TlsChannel* channel, const TlsTransport& io, const char* data, int count);
// Sends close_notify (when the connection still works) and frees the channel.
void TlsClose(TlsChannel* channel, const TlsTransport& io, bool notifyPeer);
// Protocol and cipher as the platform reports them, e.g. "TLS 1.2, AES-256".
std::wstring TlsDescription(TlsChannel* channel);
// The peer's certificate, checked for the host; false when the platform gives none.
bool TlsPeerCertificate(TlsChannel* channel, TlsCertificate* out);
// What went wrong in the last failed handshake or record on this thread, for messages.
std::wstring TlsLastError();

// Whether a certificate name (a DNS name, possibly "*.example.org") names the host; case-insensitive,
// a wildcard stands for exactly one whole left-most label and never matches an IP address.
bool TlsHostMatches(const std::wstring& pattern, const std::wstring& host);
// "AB:CD:..." for the bytes.
std::string TlsFingerprintText(const unsigned char* bytes, size_t count);
