// The one FTP connection of the process: its state, connecting to a site, names and paths on the wire,
// failure messages and the keep-alive timer.
#pragma once
#include "common/FtpSites.h"
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

struct FtpConnectionState {
    std::wstring connectedSite;
    bool ftpConnected = false;
    int serverSystem = 0; // index into the system names: 0 Dos ... 4 VMS ... 6 OS2
    bool slashPaths = true;
    HANDLE ftpLogFile = INVALID_HANDLE_VALUE;
    bool engineStarted = false;
    // Names go as UTF-8 when the server announced it, else in the ANSI code page.
    bool utf8 = false;
    bool keepAlive = false;
    std::wstring host;
    // Protocol and cipher of an encrypted connection ("TLS 1.2, AES-256"), empty for plain FTP.
    std::wstring encryption;
    // The window that owns timer 4 (the main window).
    HWND timerWindow = nullptr;
};

FtpConnectionState& FtpState();

constexpr int FtpSystemVms = 4;
constexpr UINT_PTR FtpKeepAliveTimer = 4;
constexpr UINT FtpKeepAliveDelay = 120000;

// Stops timer 4 for the life of an engine call and starts it again afterwards (when the site asked for it).
class FtpTimerPause {
public:
    FtpTimerPause();
    ~FtpTimerPause();
    FtpTimerPause(const FtpTimerPause&) = delete;
    FtpTimerPause& operator=(const FtpTimerPause&) = delete;
};
void StartKeepAliveTimer();
void StopKeepAliveTimer();

std::string ToServerText(const std::wstring& text);
std::wstring FromServerText(const std::string& text);
// A panel path or name as the server wants it: "\" turned into "/" while the server uses slashes.
std::string ServerPath(const std::wstring& panelPath);
// The levels of a server directory path from the top: "\a\b\" gives "\a" and "\a\b".
std::vector<std::wstring> FtpPathLevels(const std::wstring& directory);
// Creates each missing level of a server directory path in turn from the top and comes back to the
// server's current directory; the result is the last level's (0 when it exists or was made).
int MakeFtpDirectoryPath(const std::wstring& directory);
// Asks the server for its current directory; the panel form of it ("/" turned into "\").
int FtpPanelCurrentDir(std::wstring& panelPath);
// The server's last reply line, or the engine's text of the result.
std::wstring FtpFailureText(int result, bool engineTextOnly = false);
void ShowFtpFailure(HWND owner, int result, bool engineTextOnly = false);
// After a failed call: when the control connection is gone the process is no longer connected.
// True when it was lost.
bool NoteLostConnection();
// A failed call reported: the reply or error text, and when the connection went with it, that too.
// True when the connection was lost.
bool ReportFtpFailure(HWND owner, int result, bool engineTextOnly = false);

// What to do about a certificate the system does not trust, given the fingerprint trusted for the site before.
enum class CertificateVerdict { Accept, Ask, AskChanged };
CertificateVerdict JudgeCertificate(const std::wstring& fingerprint, const std::wstring& trusted);
// The text for "%1" ... "%9" in the pattern.
std::wstring FillArguments(const std::wstring& pattern, const std::vector<std::wstring>& arguments);

// Signs on to the site with the engine in blocking mode; 0 or the engine's result (already shown).
int FtpConnectSite(HWND owner, const std::wstring& name, const FtpSiteRecord& site);
// Ends the connection and stops the engine; true when a site was connected.
bool FtpDisconnectSite();
// The transcript file named by "LogFile", created empty; -1 when it cannot be made.
HANDLE OpenFtpLogFile();
void CloseFtpLogFile();
std::wstring FtpLogFilePath();
// Timer 4: ask for the directory and list it into a temporary file that is thrown away.
void FtpKeepAliveTick();
// Where listings and fetched files go.
std::wstring FtpListingFile();
