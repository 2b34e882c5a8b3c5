// Site records, password scrambling and the FTP sections of the settings store.
#include "common/FtpSites.h"
#include "common/FtpSiteText.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include <windows.h>
#include <cwctype>

std::string SiteTextUtf8(const std::wstring& text)
{
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring SiteTextFromBytes(const std::string& bytes)
{
    if (bytes.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    UINT page = n > 0 ? CP_UTF8 : CP_ACP;
    if (n <= 0) n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(page, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

namespace {

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
