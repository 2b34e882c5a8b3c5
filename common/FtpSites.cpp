// Site records, password scrambling and the FTP sections of the settings store.
#include "common/FtpSites.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include <windows.h>
#include <cwctype>

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

// UTF-8 when the bytes are valid UTF-8, else the ANSI code page (passwords scrambled by other means).
std::wstring FromBytes(const std::string& bytes)
{
    if (bytes.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    UINT page = n > 0 ? CP_UTF8 : CP_ACP;
    if (n <= 0) n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::wstring SiteKeyPath(const std::wstring& section) { return ProfileKeyPath() + L"\\" + section; }

// Value names of a key in enumeration order.
std::vector<std::wstring> ValueNames(const std::wstring& section)
{
    std::vector<std::wstring> names;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SiteKeyPath(section).c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return names;
    fw::UniqueKey key(raw);
    for (DWORD index = 0;; ++index) {
        wchar_t name[16384];
        DWORD length = 16384;
        LONG r = ::RegEnumValueW(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) continue;
        if (length > 0) names.emplace_back(name, length);
    }
    return names;
}

bool KeyExists(const std::wstring& section)
{
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SiteKeyPath(section).c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(raw);
    return true;
}

void DeleteValue(const std::wstring& section, const std::wstring& name)
{
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SiteKeyPath(section).c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS)
        return;
    fw::UniqueKey key(raw);
    ::RegDeleteValueW(key.Get(), name.c_str());
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}
}

std::wstring ScramblePassword(const std::wstring& password)
{
    static const wchar_t Hex[] = L"0123456789ABCDEF";
    std::wstring out;
    for (unsigned char c : Utf8(password)) {
        unsigned b = c ^ 0x6Bu;
        out += Hex[b >> 4];
        out += Hex[b & 15];
    }
    return out;
}

std::wstring UnscramblePassword(const std::wstring& scrambled)
{
    auto digit = [](wchar_t c) -> int {
        if (c >= L'0' && c <= L'9') return c - L'0';
        if (c >= L'A' && c <= L'F') return c - L'A' + 10;
        return -1;
    };
    std::string bytes;
    for (size_t i = 0; i + 1 < scrambled.size(); i += 2) {
        int high = digit(scrambled[i]), low = digit(scrambled[i + 1]);
        if (high < 0 || low < 0) continue;
        bytes += static_cast<char>((high * 16 + low) ^ 0x6B);
    }
    return FromBytes(bytes);
}

std::wstring FormatSiteRecord(const FtpSiteRecord& s)
{
    auto flag = [](bool b) { return std::wstring(b ? L"1" : L"0"); };
    std::wstring t = L"\t";
    return s.host + t + flag(s.anonymous) + t + s.user + t + ScramblePassword(s.password) + t + flag(s.firewall) + t +
           s.firewallHost + t + s.firewallPort + t + s.firewallUser + t + ScramblePassword(s.firewallPassword) + t +
           std::to_wstring(s.firewallKind) + t + s.initialDir + t + flag(s.keepAlive) + t + s.port + t +
           flag(s.passive);
}

FtpSiteRecord ParseSiteRecord(const std::wstring& text, bool passwordsScrambled)
{
    std::vector<std::wstring> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = text.find(L'\t', start);
        fields.push_back(text.substr(start, tab == std::wstring::npos ? std::wstring::npos : tab - start));
        if (tab == std::wstring::npos) break;
        start = tab + 1;
    }
    FtpSiteRecord s;
    auto field = [&](size_t i) -> const std::wstring* { return i < fields.size() ? &fields[i] : nullptr; };
    auto flag = [&](size_t i) { return field(i) && !field(i)->empty() && (*field(i))[0] != L'0'; };
    auto password = [&](size_t i) {
        if (!field(i)) return std::wstring();
        return passwordsScrambled ? UnscramblePassword(*field(i)) : *field(i);
    };
    s.host = fields[0].substr(0, fields[0].find(L" ("));
    s.anonymous = flag(1);
    if (field(2)) s.user = *field(2);
    s.password = password(3);
    s.firewall = flag(4);
    if (field(5)) s.firewallHost = *field(5);
    if (field(6)) s.firewallPort = *field(6);
    if (field(7)) s.firewallUser = *field(7);
    s.firewallPassword = password(8);
    if (field(9)) s.firewallKind = static_cast<int>(std::wcstol(field(9)->c_str(), nullptr, 10));
    if (field(10)) s.initialDir = *field(10);
    s.keepAlive = flag(11);
    if (field(12)) s.port = *field(12);
    s.passive = flag(13);
    return s;
}

std::vector<std::wstring> FtpSiteNames() { return ValueNames(L"FTPSites"); }

bool ReadFtpSite(const std::wstring& name, FtpSiteRecord& site)
{
    std::wstring marker = L"\x1F";
    std::wstring text = GetProfileString(L"FTPSites", name.c_str(), marker.c_str());
    if (text == marker) return false;
    site = ParseSiteRecord(text);
    int security = GetProfileInt(name.c_str(), L"Security", 0);
    site.security = security >= 0 && security <= 2 ? security : 0;
    return true;
}

bool WriteFtpSite(const std::wstring& name, const FtpSiteRecord& site)
{
    if (!WriteProfileString(L"FTPSites", name.c_str(), FormatSiteRecord(site))) return false;
    return WriteProfileInt(name.c_str(), L"Security", site.security);
}

std::wstring TrustedCertificate(const std::wstring& name)
{
    return GetProfileString(name.c_str(), L"TrustedCertificate", L"");
}

void TrustCertificate(const std::wstring& name, const std::wstring& fingerprint)
{
    WriteProfileString(name.c_str(), L"TrustedCertificate", fingerprint);
}

void DeleteFtpSite(const std::wstring& name)
{
    DeleteValue(L"FTPSites", name);
    if (!name.empty()) ::RegDeleteTreeW(HKEY_CURRENT_USER, SiteKeyPath(name).c_str());
}

void ScrambleStoredPasswords()
{
    if (GetProfileInt(L"FTP", L"Encrypted", 0) != 0) return;
    for (const std::wstring& name : FtpSiteNames()) {
        std::wstring text = GetProfileString(L"FTPSites", name.c_str(), L"");
        WriteProfileString(L"FTPSites", name.c_str(), FormatSiteRecord(ParseSiteRecord(text, false)));
    }
    WriteProfileInt(L"FTP", L"Encrypted", 1);
}

std::vector<std::wstring> ReadLoginDirs(const std::wstring& site)
{
    std::vector<std::wstring> dirs;
    for (int i = 1; i <= 10; ++i) {
        std::wstring key = L"LoginDir" + std::to_wstring(i);
        std::wstring dir = GetProfileString(site.c_str(), key.c_str(), L"");
        if (!dir.empty()) dirs.push_back(dir);
    }
    return dirs;
}

void RememberLoginDir(const std::wstring& site, const std::wstring& dir)
{
    if (dir.empty() || site.empty()) return;
    std::vector<std::wstring> dirs{dir};
    for (const std::wstring& d : ReadLoginDirs(site))
        if (d != dir) dirs.push_back(d);
    for (size_t i = 0; i < 10; ++i) {
        std::wstring key = L"LoginDir" + std::to_wstring(i + 1);
        WriteProfileString(site.c_str(), key.c_str(), i < dirs.size() ? dirs[i] : std::wstring());
    }
}

std::vector<std::wstring> FtpAsciiExtensions(bool writeDefaults)
{
    static const wchar_t* const Defaults[] = {L".TXT", L".ASC", L".HTM", L".HTML"};
    if (!KeyExists(L"FTPExtensions")) {
        std::vector<std::wstring> list(std::begin(Defaults), std::end(Defaults));
        if (writeDefaults)
            for (const std::wstring& e : list) WriteProfileString(L"FTPExtensions", e.c_str(), L"");
        return list;
    }
    return ValueNames(L"FTPExtensions");
}

bool AddFtpExtension(const std::wstring& extension)
{
    if (extension.empty()) return false;
    for (const std::wstring& e : FtpAsciiExtensions(true))
        if (EqualNoCase(e, extension)) return false;
    return WriteProfileString(L"FTPExtensions", extension.c_str(), L"");
}

void RemoveFtpExtension(const std::wstring& extension) { DeleteValue(L"FTPExtensions", extension); }

std::wstring FtpEmailOption() { return GetProfileString(L"FTP", L"Email", FtpDefaultEmail); }

char ChooseTransferType(const std::wstring& name, bool download, int mode, const std::vector<std::wstring>& ascii)
{
    switch (mode) {
    case 1: return 'I';
    case 2: return 'A';
    case 3: return 'L';
    default: break;
    }
    std::wstring n = name;
    if (download) {
        size_t semicolon = n.rfind(L';');
        if (semicolon != std::wstring::npos) n.erase(semicolon);
    }
    size_t dot = n.rfind(L'.');
    if (dot == std::wstring::npos) return 'I';
    std::wstring extension = n.substr(dot);
    for (const std::wstring& e : ascii)
        if (EqualNoCase(e, extension)) return 'A';
    return 'I';
}

char ChooseTransferType(const std::wstring& name, bool download)
{
    return ChooseTransferType(name, download, GetProfileInt(L"FTP", L"XferType", 4), FtpAsciiExtensions(false));
}

const wchar_t* TransferTypeName(char type)
{
    return type == 'A' ? L"ASCII" : type == 'L' ? L"L8" : L"Binary";
}
