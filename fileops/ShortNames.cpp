// Short and long forms of names through the file system.
#include "fileops/ShortNames.h"
#include <windows.h>

std::wstring ShortPathName(const std::wstring& name)
{
    if (name.empty()) return name;
    DWORD n = ::GetShortPathNameW(name.c_str(), nullptr, 0);
    if (n == 0) return name;
    std::wstring shortName(n, L'\0');
    DWORD got = ::GetShortPathNameW(name.c_str(), shortName.data(), n);
    if (got == 0 || got >= n) return name;
    shortName.resize(got);
    return shortName;
}

std::wstring ParameterName(const std::wstring& name)
{
    return L"\"" + ShortPathName(name) + L"\"";
}

bool RunsThroughInterpreter(const std::wstring& program)
{
    size_t dot = program.find_last_of(L"."), slash = program.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return false;
    std::wstring ext = program.substr(dot);
    return ::lstrcmpiW(ext.c_str(), L".bat") == 0 || ::lstrcmpiW(ext.c_str(), L".cmd") == 0;
}

std::wstring LongPathName(const std::wstring& name)
{
    if (name.empty()) return name;
    DWORD n = ::GetLongPathNameW(name.c_str(), nullptr, 0);
    if (n == 0) return name;
    std::wstring longName(n, L'\0');
    DWORD got = ::GetLongPathNameW(name.c_str(), longName.data(), n);
    if (got == 0 || got >= n) return name;
    longName.resize(got);
    return longName;
}
