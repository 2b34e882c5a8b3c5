// The settings store: sections and keys under HKEY_CURRENT_USER\Software\Brennmark\PD.
#pragma once
#include <windows.h>
#include <string>

// The Win32 .ini-file functions of the same names are not used anywhere in the program.
#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileInt
#undef WriteProfileString

// Fixes the store's location (company key, then application profile name).
void SetProfileLocation(const std::wstring& company, const std::wstring& profile);
std::wstring ProfileKeyPath();

// A missing key, or one of the wrong type, yields the default; nothing is written for it.
int GetProfileInt(const wchar_t* section, const wchar_t* key, int defaultValue);
std::wstring GetProfileString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultValue);
bool WriteProfileInt(const wchar_t* section, const wchar_t* key, int value);
bool WriteProfileString(const wchar_t* section, const wchar_t* key, const std::wstring& value);
