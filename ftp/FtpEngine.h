// Client side of FTP over the TCP layer: one session, blocking or one block per window message.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "ftp/FtpReplies.h"

// kind 0: value = bytes moved so far; kind 1: value = the transfer's result code.
using FtpProgressCallback = void (*)(int kind, int64_t value);
// Offered each name of a pattern fetch, with whether a local file of that name exists already;
// false skips the name, true fetches it (replacing the local file).
using FtpNameFilter = bool (*)(const char* name, bool localExists);

struct TlsCertificate;
// Asked about a certificate the system does not trust for the host; true lets the sign-on go on.
using FtpCertificateCheck = bool (*)(const TlsCertificate& certificate, const char* host, void* context);

// Security of the next sign-on.
constexpr int FtpTlsOff = 0;
constexpr int FtpTlsIfOffered = 1;
constexpr int FtpTlsRequired = 2;

constexpr wchar_t FtpEngineClassName[] = L"FtpEngineClassName";

// Session
int FtpEngineStart(HWND parent);
int FtpEngineStop();
int FtpSetBlocking(bool blocking);
int FtpSetPassive(int passive);
int FtpSetLogFile(HANDLE logFile);
int FtpSetProgressCallback(FtpProgressCallback callback);
int FtpSetTimeout(int seconds);
int FtpSetDefaultPort(uint16_t port);
int FtpSetPauseLength(int milliseconds);
int FtpSetBlocksBetweenPauses(int blocks);
int FtpSetVerbose(bool on, HWND window, UINT message);
int FtpSetTrace(bool on);
int FtpSetSecurity(int mode);
// Without a check only certificates the system trusts for the host are accepted.
int FtpSetCertificateCheck(FtpCertificateCheck check, void* context);
// Protocol and cipher of the control connection ("TLS 1.2, AES-256"), empty while it is plain.
std::wstring FtpSecurityText();
int64_t FtpBytesTransferred();
int64_t FtpBytesExpected();
const char* FtpReplyText();

// Connection and commands (FtpEngine.cpp)
int FtpSignOn(const char* host, const char* port, const char* user, const char* password, HWND notify,
              UINT message);
int FtpSignOnViaFirewall(const char* firewallHost, const char* firewallPort, const char* firewallUser,
                         const char* firewallPassword, const char* host, const char* user, const char* password,
                         int kind, HWND notify, UINT message);
int FtpQuit();
int FtpDropConnection();
int FtpDiscardInput();
int FtpAccount(const char* account);
int FtpHelp(const char* topic, std::string* text);
int FtpNoop();
// Whether the control connection is still open (a failed read closes it).
bool FtpIsConnected();
// The raw reply code of FEAT; every line of the reply in lines.
int FtpFeatures(std::string* lines);
// The raw reply code of any command line (2002 when no reply could be read); the line in reply.
int FtpSendCommand(const char* line, std::string* reply);
int FtpRemoveFile(const char* name);
int FtpChangeDir(const char* dir);
int FtpParentDir();
int FtpMakeDir(const char* dir, std::string* created);
int FtpRemoveDir(const char* dir);
int FtpCurrentDir(std::string* dir);
int FtpRenameRemote(const char* oldName, const char* newName);
int FtpServerSystem(const char* const* names);
int FtpTransferType(char type);
int FtpRestartAt(int64_t offset);

// Transfers (FtpEngineTransfer.cpp)
// A download replaces its local file only once the server reports the transfer complete.
int FtpDownload(const char* remote, const wchar_t* local, char type, bool progress, HWND notify, UINT message);
int FtpAppendDownload(const char* remote, const wchar_t* local, char type, bool progress, HWND notify,
                      UINT message);
int FtpUpload(const wchar_t* local, const char* remote, char type, bool progress, HWND notify, UINT message);
int FtpAppendUpload(const wchar_t* local, const char* remote, char type, bool progress, HWND notify,
                    UINT message);
// The caller's handle stays open and owned by the caller.
int FtpDownloadToHandle(const char* remote, HANDLE file, int64_t offset, char type, bool progress, HWND notify,
                        UINT message);
int FtpUploadFromHandle(HANDLE file, const char* remote, int64_t offset, char type, bool progress, HWND notify,
                        UINT message);
int FtpListing(const char* path, const wchar_t* local, bool full, HWND notify, UINT message);
int FtpStop();
// A data connection the caller moves the bytes through: mode 'A' appends, 'W' stores, else retrieves.
int FtpOpenDataConnection(char mode, const char* remote, char type);
// Bytes read (> 0), 4 as a result code when the server closed the connection, or an error.
int FtpReadData(void* buffer, int size, int* got);
int FtpWriteData(const void* data, int count);
int FtpCloseDataConnection();
// Every file NLST lists for the pattern, downloaded into the directory. Names that are no plain
// local file (devices, paths) and, without a filter, existing local files are not fetched: 1004.
int FtpFetchMatching(const char* pattern, const wchar_t* localDir, char type, FtpNameFilter filter);
