// Registry-backed profile functions: integers as DWORD values, texts as string values.
#include "common/Settings.h"
#include "framework/Handles.h"
#include <vector>

namespace {
std::wstring companyName = L"Brennmark";
std::wstring profileName = L"PD";

std::wstring SectionPath(const wchar_t* section)
{
    return ProfileKeyPath() + L"\\" + section;
}
}

void SetProfileLocation(const std::wstring& company, const std::wstring& profile)
{
    companyName = company;
    profileName = profile;
}

std::wstring ProfileKeyPath() { return L"Software\\" + companyName + L"\\" + profileName; }

int GetProfileInt(const wchar_t* section, const wchar_t* key, int defaultValue)
{
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return defaultValue;
    fw::UniqueKey k(raw);
    DWORD type = 0, value = 0, size = sizeof(value);
    if (::RegQueryValueExW(k.Get(), key, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS
        || type != REG_DWORD || size != sizeof(value))
        return defaultValue;
    return static_cast<int>(value);
}

std::wstring GetProfileString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue)
{
    std::wstring fallback = defaultValue ? defaultValue : L"";
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return fallback;
    fw::UniqueKey k(raw);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(k.Get(), key, nullptr, &type, nullptr, &size) != ERROR_SUCCESS
        || (type != REG_SZ && type != REG_EXPAND_SZ))
        return fallback;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(k.Get(), key, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) != ERROR_SUCCESS)
        return fallback;
    buffer.back() = L'\0';
    return buffer.data();
}

namespace {
bool WriteValue(const wchar_t* section, const wchar_t* key, DWORD type, const void* data, DWORD size)
{
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &raw, nullptr) != ERROR_SUCCESS)
        return false;
    fw::UniqueKey k(raw);
    return ::RegSetValueExW(k.Get(), key, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}
}

bool WriteProfileInt(const wchar_t* section, const wchar_t* key, int value)
{
    DWORD v = static_cast<DWORD>(value);
    return WriteValue(section, key, REG_DWORD, &v, sizeof(v));
}

bool WriteProfileString(const wchar_t* section, const wchar_t* key, const std::wstring& value)
{
    return WriteValue(section, key, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}
