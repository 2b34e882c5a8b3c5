// The program kind from a file's first bytes and the list of the command interpreter's built-ins.
#include "frame/ProgramKind.h"
#include "framework/Handles.h"
#include <cwctype>

int GetProgramKind(const std::wstring& file)
{
    if (file.size() >= 4 && ::lstrcmpiW(file.c_str() + file.size() - 4, L".pif") == 0) return 4;
    fw::UniqueFile h(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!h) return -1;
    unsigned char head[128] = {};
    DWORD got = 0;
    if (!::ReadFile(h.Get(), head, sizeof(head), &got, nullptr) || got < 25) return -1;
    if (head[0] != 'M' || head[1] != 'Z') return -1;
    if ((head[0x18] | (head[0x19] << 8)) != 0x40) return 1;
    LONG offset = head[0x3C] | (head[0x3D] << 8);
    unsigned char signature[2] = {};
    DWORD n = 0;
    if (::SetFilePointer(h.Get(), offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
        ::ReadFile(h.Get(), signature, 2, &n, nullptr) && n == 2 && signature[0] == 'P' && signature[1] == 'E')
        return 3;
    return 2;
}

bool IsBuiltinCommand(const std::wstring& word)
{
    static const wchar_t* const builtins[] = {
        L"dir",  L"call",   L"chcp",  L"rename", L"ren",   L"erase",  L"del",      L"type", L"copy",
        L"pause", L"date",  L"time",  L"ver",    L"vol",   L"cd",     L"chdir",    L"md",   L"mkdir",
        L"rd",   L"rmdir",  L"verify", L"set",   L"prompt", L"path",  L"lock",     L"unlock", L"goto",
        L"shift", L"if",    L"for",   L"cls",    L"loadhigh", L"lh",
    };
    std::wstring lower = word;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
    for (const wchar_t* b : builtins)
        if (lower == b) return true;
    return false;
}
