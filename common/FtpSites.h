// The user's FTP sites ("FTPSites"), their recent initial directories, the ASCII extensions and the FTP options.
#pragma once
#include <string>
#include <vector>

struct FtpSiteRecord {
    std::wstring host;
    bool anonymous = false;
    std::wstring user;
    std::wstring password; // plain
    bool firewall = false;
    std::wstring firewallHost;
    std::wstring firewallPort;
    std::wstring firewallUser;
    std::wstring firewallPassword; // plain
    int firewallKind = 1;
    std::wstring initialDir;
    bool keepAlive = false;
    std::wstring port = L"21";
    bool passive = false;
    // 0 plain FTP, 1 TLS when the server offers it, 2 TLS required; kept in the site's own key as
    // "Security", so the record keeps its fourteen fields and a site without the value is plain.
    int security = 0;
};

// Characters are scrambled as the bytes of their UTF-8 form, so that any password survives;
// a password of plain ASCII scrambles as it always did.
std::wstring ScramblePassword(const std::wstring& password);
std::wstring UnscramblePassword(const std::wstring& scrambled);

// The stored form: fourteen tab-separated fields, both passwords scrambled.
std::wstring FormatSiteRecord(const FtpSiteRecord& site);
// Older, shorter records leave the rest at the defaults; the host is cut at " (" (a remark).
// passwordsScrambled false: the passwords are read as they stand (records before scrambling).
FtpSiteRecord ParseSiteRecord(const std::wstring& text, bool passwordsScrambled = true);

// The store.
std::vector<std::wstring> FtpSiteNames();
bool ReadFtpSite(const std::wstring& name, FtpSiteRecord& site);
bool WriteFtpSite(const std::wstring& name, const FtpSiteRecord& site);
void DeleteFtpSite(const std::wstring& name);
// SHA-256 fingerprint ("AB:CD:...") of the certificate the user chose to trust always for the site; empty
// when there is none. Kept in the site's key as "TrustedCertificate".
std::wstring TrustedCertificate(const std::wstring& name);
void TrustCertificate(const std::wstring& name, const std::wstring& fingerprint);
// Scrambles the passwords of every stored record once ("Encrypted").
void ScrambleStoredPasswords();
std::vector<std::wstring> ReadLoginDirs(const std::wstring& site);
// Puts dir at the top of the site's list (an equal entry moves), keeps ten.
void RememberLoginDir(const std::wstring& site, const std::wstring& dir);

// "FTPExtensions": the defaults are written when the key does not exist yet.
std::vector<std::wstring> FtpAsciiExtensions(bool writeDefaults);
bool AddFtpExtension(const std::wstring& extension);
void RemoveFtpExtension(const std::wstring& extension);

// The "FTP" options.
std::wstring FtpEmailOption();
constexpr wchar_t FtpDefaultEmail[] = L"user@example.com";

// 'I', 'A' or 'L' for a name by "XferType" and the extension list; a download's ";n" version is ignored.
char ChooseTransferType(const std::wstring& name, bool download);
// Pure form of the rule, for a given mode and list.
char ChooseTransferType(const std::wstring& name, bool download, int mode, const std::vector<std::wstring>& ascii);
const wchar_t* TransferTypeName(char type);
