// TLS through SChannel. Certificates are judged here, never by the platform's automatic validation,
// which accepts anything on some systems.
#define SECURITY_WIN32
#include "ftp/TlsLayer.h"
#include "ftp/TcpText.h"
#include <winsock2.h>
#include <windows.h>
#include <bcrypt.h>
#include <schannel.h>
#include <security.h>
#include <sspi.h>
#include <wincrypt.h>
#include <cstdio>
#include <cstring>
#include <vector>

#ifndef SECURITY_FLAG_IGNORE_CERT_CN_INVALID
#define SECURITY_FLAG_IGNORE_CERT_CN_INVALID 0x00001000
#endif

struct TlsChannel {
    CredHandle credentials{};
    CtxtHandle context{};
    bool haveCredentials = false;
    bool haveContext = false;
    SecPkgContext_StreamSizes sizes{};
    std::wstring host;
    // Received and not yet decrypted: cipher[cipherStart, cipherEnd). Records are decrypted in place, so
    // the plaintext lies in this buffer too, before cipherStart.
    std::vector<char> cipher;
    size_t cipherStart = 0;
    size_t cipherEnd = 0;
    // Decrypted and not yet taken: plain[plainStart, plainSize).
    const char* plain = nullptr;
    size_t plainSize = 0;
    size_t plainStart = 0;
    bool peerClosed = false;
    std::string copied;
    std::string record;

    char* CipherData() { return cipher.data() + cipherStart; }
    size_t CipherSize() const { return cipherEnd - cipherStart; }
};

namespace {

thread_local std::wstring lastError;

constexpr DWORD RequestFlags = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT | ISC_REQ_CONFIDENTIALITY |
                               ISC_REQ_EXTENDED_ERROR | ISC_REQ_ALLOCATE_MEMORY | ISC_REQ_STREAM |
                               ISC_REQ_MANUAL_CRED_VALIDATION;
// Socket reads this large take many records per call: under Wine each receive costs a server round trip.
constexpr size_t ReadSize = 256 * 1024;
constexpr unsigned char AlertRecord = 0x15;

void Fail(const wchar_t* what, SECURITY_STATUS status)
{
    wchar_t text[160];
    swprintf(text, 160, L"%ls (0x%08lX)", what, static_cast<unsigned long>(status));
    lastError = text;
}

void FreeChannel(TlsChannel* c)
{
    if (!c) return;
    if (c->haveContext) DeleteSecurityContext(&c->context);
    if (c->haveCredentials) FreeCredentialsHandle(&c->credentials);
    delete c;
}

// Appends what the socket has to the undecrypted bytes; 1, or the failure (0 when the peer closed).
// Only while no decrypted bytes are pending: they live in the same buffer, which moves here.
int ReadMore(TlsChannel* c, const TlsTransport& io, int timeout)
{
    size_t kept = c->CipherSize();
    // What is left is at most part of one record: moving it to the front is cheap.
    if (c->cipherStart > 0 && kept > 0) std::memmove(c->cipher.data(), c->CipherData(), kept);
    c->cipherStart = 0;
    c->cipherEnd = kept;
    if (c->cipher.size() < kept + ReadSize) c->cipher.resize(kept + ReadSize);
    size_t room = c->cipher.size() - kept;
    int n = io.read(io.context, c->cipher.data() + kept, static_cast<int>(room), timeout);
    if (n <= 0) return n;
    c->cipherEnd += static_cast<size_t>(n);
    return TcpOk;
}

int SendToken(const TlsTransport& io, SecBuffer& token)
{
    int r = TcpOk;
    if (token.pvBuffer && token.cbBuffer > 0)
        r = io.write(io.context, static_cast<const char*>(token.pvBuffer), static_cast<int>(token.cbBuffer));
    if (token.pvBuffer) FreeContextBuffer(token.pvBuffer);
    token.pvBuffer = nullptr;
    return r;
}

// Keeps the bytes an SSPI call did not use (an EXTRA buffer, always the tail), else nothing.
void KeepExtra(TlsChannel* c, const SecBuffer* extra)
{
    if (extra && extra->BufferType == SECBUFFER_EXTRA && extra->cbBuffer > 0 && extra->cbBuffer <= c->CipherSize())
        c->cipherStart = c->cipherEnd - extra->cbBuffer;
    else
        c->cipherStart = c->cipherEnd = 0;
}

std::wstring NameText(const CERT_NAME_BLOB& name)
{
    DWORD size = CertNameToStrW(X509_ASN_ENCODING, const_cast<CERT_NAME_BLOB*>(&name), CERT_X500_NAME_STR, nullptr, 0);
    if (size <= 1) return L"";
    std::wstring text(size, L'\0');
    CertNameToStrW(X509_ASN_ENCODING, const_cast<CERT_NAME_BLOB*>(&name), CERT_X500_NAME_STR, text.data(), size);
    text.resize(size - 1);
    return text;
}

bool Sha256(const unsigned char* data, DWORD size, unsigned char digest[32])
{
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return false;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0) == 0 &&
              BCryptHashData(hash, const_cast<unsigned char*>(data), size, 0) == 0 &&
              BCryptFinishHash(hash, digest, 32, 0) == 0;
    if (hash) BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return ok;
}

bool IsAddress(const std::wstring& host)
{
    if (host.empty()) return false;
    for (wchar_t ch : host)
        if (ch != L'.' && (ch < L'0' || ch > L'9')) return false;
    return true;
}

// The host named by the certificate's alternative names, or (when it has no DNS names) its common name.
bool NamesHost(PCCERT_CONTEXT cert, const std::wstring& host)
{
    bool address = IsAddress(host);
    std::string hostNarrow(host.begin(), host.end());
    uint32_t hostAddress = address ? inet_addr(hostNarrow.c_str()) : 0;
    bool sawDnsName = false;
    PCERT_EXTENSION extension =
        CertFindExtension(szOID_SUBJECT_ALT_NAME2, cert->pCertInfo->cExtension, cert->pCertInfo->rgExtension);
    if (extension) {
        CERT_ALT_NAME_INFO* names = nullptr;
        DWORD size = 0;
        if (CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                                extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names, &size)) {
            bool found = false;
            for (DWORD i = 0; i < names->cAltEntry && !found; ++i) {
                const CERT_ALT_NAME_ENTRY& e = names->rgAltEntry[i];
                if (e.dwAltNameChoice == CERT_ALT_NAME_DNS_NAME && e.pwszDNSName) {
                    sawDnsName = true;
                    found = !address && TlsHostMatches(e.pwszDNSName, host);
                } else if (e.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS && address && e.IPAddress.cbData == 4) {
                    found = std::memcmp(e.IPAddress.pbData, &hostAddress, 4) == 0;
                }
            }
            LocalFree(names);
            if (found) return true;
        }
    }
    if (sawDnsName || address) return false;
    wchar_t common[256] = {};
    CertGetNameStringW(cert, CERT_NAME_ATTR_TYPE, 0, const_cast<char*>(szOID_COMMON_NAME), common, 256);
    return common[0] && TlsHostMatches(common, host);
}

std::wstring ChainProblem(DWORD error)
{
    switch (static_cast<HRESULT>(error)) {
    case CERT_E_EXPIRED: return L"The certificate has expired or is not yet valid.";
    case CERT_E_UNTRUSTEDROOT: return L"The certificate is issued by an authority this system does not trust.";
    case CERT_E_CHAINING: return L"The certificate's issuer is unknown.";
    case CERT_E_REVOKED: return L"The certificate has been revoked.";
    case CERT_E_WRONG_USAGE: return L"The certificate is not meant for servers.";
    default: {
        wchar_t text[96];
        swprintf(text, 96, L"The certificate is not trusted (0x%08lX).", static_cast<unsigned long>(error));
        return text;
    }
    }
}

} // namespace

int TlsHandshake(TlsChannel** channel, const TlsTransport& io, const wchar_t* host, int timeout)
{
    *channel = nullptr;
    lastError.clear();
    auto* c = new TlsChannel;
    c->host = host ? host : L"";
    SCHANNEL_CRED settings{};
    settings.dwVersion = SCHANNEL_CRED_VERSION;
    // Only TLS 1.2 here: the platform would otherwise also offer 1.0 and 1.1.
    settings.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT;
    settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
    SECURITY_STATUS status = AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W),
                                                       SECPKG_CRED_OUTBOUND, nullptr, &settings, nullptr, nullptr,
                                                       &c->credentials, nullptr);
    if (status != SEC_E_OK) {
        Fail(L"TLS is not available on this system", status);
        FreeChannel(c);
        return TcpNetworkError;
    }
    c->haveCredentials = true;
    bool first = true;
    bool needInput = false;
    for (int round = 0; round < 64; ++round) {
        if (needInput) {
            int r = ReadMore(c, io, timeout);
            if (r != TcpOk) {
                if (r == TcpClosed) Fail(L"The server closed the connection during the TLS handshake", 0);
                else if (r == TcpTimeout) Fail(L"The server did not go on with the TLS handshake in time", 0);
                else Fail(L"The TLS handshake was interrupted", static_cast<SECURITY_STATUS>(r));
                FreeChannel(c);
                return r == TcpClosed ? TcpNetworkError : r;
            }
        }
        SecBuffer input[2] = {{static_cast<unsigned long>(c->CipherSize()), SECBUFFER_TOKEN, c->CipherData()},
                              {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc inputDesc{SECBUFFER_VERSION, 2, input};
        SecBuffer output[1] = {{0, SECBUFFER_TOKEN, nullptr}};
        SecBufferDesc outputDesc{SECBUFFER_VERSION, 1, output};
        unsigned long attributes = 0;
        status = InitializeSecurityContextW(&c->credentials, first ? nullptr : &c->context,
                                            first ? const_cast<wchar_t*>(c->host.c_str()) : nullptr, RequestFlags,
                                            0, 0, first ? nullptr : &inputDesc, 0, first ? &c->context : nullptr,
                                            &outputDesc, &attributes, nullptr);
        if (first && (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK)) c->haveContext = true;
        first = false;
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            needInput = true;
            continue;
        }
        int sent = SendToken(io, output[0]);
        if (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED || status == SEC_I_INCOMPLETE_CREDENTIALS) {
            if (sent != TcpOk) {
                FreeChannel(c);
                return sent;
            }
            KeepExtra(c, &input[1]);
            if (status == SEC_E_OK) {
                QueryContextAttributesW(&c->context, SECPKG_ATTR_STREAM_SIZES, &c->sizes);
                if (c->sizes.cbMaximumMessage == 0) c->sizes.cbMaximumMessage = 16384;
                *channel = c;
                return TcpOk;
            }
            needInput = c->CipherSize() == 0;
            continue;
        }
        Fail(L"The TLS handshake failed", status);
        FreeChannel(c);
        return TcpNetworkError;
    }
    Fail(L"The TLS handshake did not finish", 0);
    FreeChannel(c);
    return TcpNetworkError;
}

const char* TlsPending(TlsChannel* c, int* count)
{
    *count = static_cast<int>(c->plainSize - c->plainStart);
    return c->plain + c->plainStart;
}

void TlsConsume(TlsChannel* c, int count)
{
    c->plainStart += static_cast<size_t>(count);
    if (c->plainStart >= c->plainSize) {
        c->plain = nullptr;
        c->plainSize = c->plainStart = 0;
    }
}

int TlsReceive(TlsChannel* c, const TlsTransport& io, int timeout)
{
    while (c->plainStart >= c->plainSize) {
        c->plain = nullptr;
        c->plainSize = c->plainStart = 0;
        if (c->peerClosed) return TcpClosed;
        if (c->CipherSize() == 0) {
            int r = ReadMore(c, io, timeout);
            if (r == TcpClosed) {
                Fail(L"The connection ended without TLS close_notify: the data may be incomplete", 0);
                return TcpNetworkError;
            }
            if (r != TcpOk) return r;
        }
        bool alert = static_cast<unsigned char>(c->CipherData()[0]) == AlertRecord;
        SecBuffer buffers[4] = {{static_cast<unsigned long>(c->CipherSize()), SECBUFFER_DATA, c->CipherData()},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr},
                                {0, SECBUFFER_EMPTY, nullptr}};
        SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
        SECURITY_STATUS status = DecryptMessage(&c->context, &desc, 0, nullptr);
        if (status == SEC_E_INCOMPLETE_MESSAGE) {
            int r = ReadMore(c, io, timeout);
            if (r == TcpClosed) {
                Fail(L"The connection ended inside a TLS record: the data is incomplete", 0);
                return TcpNetworkError;
            }
            if (r != TcpOk) return r;
            continue;
        }
        if (status != SEC_E_OK && status != SEC_I_CONTEXT_EXPIRED) {
            Fail(status == SEC_I_RENEGOTIATE ? L"The server asked to renegotiate TLS, which is not supported"
                                             : L"A TLS record could not be decrypted",
                 status);
            return TcpNetworkError;
        }
        // The plaintext is handed out where it was decrypted, inside the record; nothing is copied.
        const SecBuffer* extra = nullptr;
        for (int i = 1; i < 4; ++i) {
            if (buffers[i].BufferType == SECBUFFER_DATA && buffers[i].cbBuffer > 0) {
                const char* p = static_cast<const char*>(buffers[i].pvBuffer);
                c->plainSize = buffers[i].cbBuffer;
                c->plain = p;
                // A platform that decrypts elsewhere gets its bytes copied before its buffer goes away.
                if (p < c->cipher.data() || p + c->plainSize > c->cipher.data() + c->cipherEnd) {
                    c->copied.assign(p, c->plainSize);
                    c->plain = c->copied.data();
                }
            }
            if (buffers[i].BufferType == SECBUFFER_EXTRA) extra = &buffers[i];
        }
        KeepExtra(c, extra);
        // The peer's close_notify: an alert that leaves no data (some platforms say SEC_I_CONTEXT_EXPIRED).
        if (c->plainSize == 0 && (alert || status == SEC_I_CONTEXT_EXPIRED)) c->peerClosed = true;
    }
    return TcpOk;
}

int TlsSend(TlsChannel* c, const TlsTransport& io, const char* data, int count)
{
    const SecPkgContext_StreamSizes& z = c->sizes;
    // Several records go out in one write: each write costs more than the encryption of a record.
    constexpr int RecordsPerWrite = 8;
    while (count > 0) {
        c->record.resize(static_cast<size_t>(RecordsPerWrite) * (z.cbHeader + z.cbMaximumMessage + z.cbTrailer));
        size_t used = 0;
        for (int k = 0; k < RecordsPerWrite && count > 0; ++k) {
            unsigned long piece =
                static_cast<unsigned long>(count) < z.cbMaximumMessage ? count : z.cbMaximumMessage;
            char* base = c->record.data() + used;
            std::memcpy(base + z.cbHeader, data, piece);
            SecBuffer buffers[4] = {{z.cbHeader, SECBUFFER_STREAM_HEADER, base},
                                    {piece, SECBUFFER_DATA, base + z.cbHeader},
                                    {z.cbTrailer, SECBUFFER_STREAM_TRAILER, base + z.cbHeader + piece},
                                    {0, SECBUFFER_EMPTY, nullptr}};
            SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
            SECURITY_STATUS status = EncryptMessage(&c->context, 0, &desc, 0);
            if (status != SEC_E_OK) {
                Fail(L"Data could not be encrypted", status);
                return TcpNetworkError;
            }
            // The trailer may come out shorter than its room: the records are packed tight.
            size_t header = buffers[0].cbBuffer, body = buffers[1].cbBuffer, trailer = buffers[2].cbBuffer;
            if (static_cast<char*>(buffers[2].pvBuffer) != base + header + body)
                std::memmove(base + header + body, buffers[2].pvBuffer, trailer);
            used += header + body + trailer;
            data += piece;
            count -= static_cast<int>(piece);
        }
        int r = io.write(io.context, c->record.data(), static_cast<int>(used));
        if (r != TcpOk) return r;
    }
    return TcpOk;
}

void TlsClose(TlsChannel* c, const TlsTransport& io, bool notifyPeer)
{
    if (!c) return;
    if (notifyPeer && c->haveContext) {
        DWORD kind = SCHANNEL_SHUTDOWN;
        SecBuffer token{sizeof kind, SECBUFFER_TOKEN, &kind};
        SecBufferDesc tokenDesc{SECBUFFER_VERSION, 1, &token};
        if (ApplyControlToken(&c->context, &tokenDesc) == SEC_E_OK) {
            SecBuffer output{0, SECBUFFER_TOKEN, nullptr};
            SecBufferDesc outputDesc{SECBUFFER_VERSION, 1, &output};
            unsigned long attributes = 0;
            SECURITY_STATUS status = InitializeSecurityContextW(&c->credentials, &c->context, nullptr, RequestFlags,
                                                                0, 0, nullptr, 0, nullptr, &outputDesc,
                                                                &attributes, nullptr);
            if (status == SEC_E_OK || status == SEC_I_CONTEXT_EXPIRED) SendToken(io, output);
            else if (output.pvBuffer) FreeContextBuffer(output.pvBuffer);
        }
    }
    FreeChannel(c);
}

std::wstring TlsDescription(TlsChannel* c)
{
    SecPkgContext_ConnectionInfo info{};
    if (!c || QueryContextAttributesW(&c->context, SECPKG_ATTR_CONNECTION_INFO, &info) != SEC_E_OK) return L"TLS";
    std::wstring text;
    if (info.dwProtocol & SP_PROT_TLS1_2) text = L"TLS 1.2";
#ifdef SP_PROT_TLS1_3
    else if (info.dwProtocol & SP_PROT_TLS1_3) text = L"TLS 1.3";
#endif
    else text = L"TLS";
    switch (info.aiCipher) {
    case CALG_AES_128: text += L", AES-128"; break;
    case CALG_AES_192: text += L", AES-192"; break;
    case CALG_AES_256: text += L", AES-256"; break;
    default:
        if (info.dwCipherStrength) text += L", " + std::to_wstring(info.dwCipherStrength) + L"-bit cipher";
        break;
    }
    return text;
}

bool TlsPeerCertificate(TlsChannel* c, TlsCertificate* out)
{
    PCCERT_CONTEXT cert = nullptr;
    if (!c || QueryContextAttributesW(&c->context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &cert) != SEC_E_OK || !cert)
        return false;
    *out = TlsCertificate{};
    out->subject = NameText(cert->pCertInfo->Subject);
    out->issuer = NameText(cert->pCertInfo->Issuer);
    out->notBefore = cert->pCertInfo->NotBefore;
    out->notAfter = cert->pCertInfo->NotAfter;
    unsigned char digest[32];
    if (Sha256(cert->pbCertEncoded, cert->cbCertEncoded, digest)) out->sha256 = TlsFingerprintText(digest, 32);
    out->nameMatches = NamesHost(cert, c->host);
    CERT_CHAIN_PARA chainPara{};
    chainPara.cbSize = sizeof chainPara;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    DWORD chainError = static_cast<DWORD>(CERT_E_CHAINING);
    if (CertGetCertificateChain(nullptr, cert, nullptr, cert->hCertStore, &chainPara, 0, nullptr, &chain)) {
        SSL_EXTRA_CERT_CHAIN_POLICY_PARA ssl{};
        ssl.cbSize = sizeof ssl;
        ssl.dwAuthType = AUTHTYPE_SERVER;
        // The name is checked above, the same way whatever the platform does.
        ssl.fdwChecks = SECURITY_FLAG_IGNORE_CERT_CN_INVALID;
        ssl.pwszServerName = const_cast<wchar_t*>(c->host.c_str());
        CERT_CHAIN_POLICY_PARA policy{};
        policy.cbSize = sizeof policy;
        policy.pvExtraPolicyPara = &ssl;
        CERT_CHAIN_POLICY_STATUS result{};
        result.cbSize = sizeof result;
        if (CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &result))
            chainError = result.dwError;
        CertFreeCertificateChain(chain);
    }
    // Validity is checked here too: the chain policy may not look at the dates.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    bool inDate = CompareFileTime(&now, &out->notBefore) >= 0 && CompareFileTime(&now, &out->notAfter) <= 0;
    if (!inDate) chainError = static_cast<DWORD>(CERT_E_EXPIRED);
    out->chainTrusted = chainError == 0;
    if (!out->chainTrusted) out->problem = ChainProblem(chainError);
    if (!out->nameMatches) {
        if (!out->problem.empty()) out->problem += L" ";
        out->problem += L"The certificate does not name " + c->host + L".";
    }
    CertFreeCertificateContext(cert);
    return true;
}

std::wstring TlsLastError() { return lastError; }

bool TlsHostMatches(const std::wstring& pattern, const std::wstring& host)
{
    auto lower = [](std::wstring s) {
        for (auto& ch : s)
            if (ch >= L'A' && ch <= L'Z') ch = static_cast<wchar_t>(ch - L'A' + L'a');
        if (!s.empty() && s.back() == L'.') s.pop_back();
        return s;
    };
    std::wstring p = lower(pattern), h = lower(host);
    if (p.empty() || h.empty()) return false;
    if (p.compare(0, 2, L"*.") != 0) return p == h;
    if (IsAddress(h)) return false;
    std::wstring rest = p.substr(1); // ".example.org"
    // The wildcard covers one label and never a whole registrable name ("*.org").
    if (rest.find(L'.', 1) == std::wstring::npos) return false;
    size_t dot = h.find(L'.');
    return dot != std::wstring::npos && dot > 0 && h.substr(dot) == rest;
}

std::string TlsFingerprintText(const unsigned char* bytes, size_t count)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (i) text += ':';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}
