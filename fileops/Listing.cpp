// Directory listings made by the command interpreter, and drop-file lists.
#include "fileops/Listing.h"
#include "framework/Handles.h"
#include <shellapi.h>
#include <shlobj.h>
#include <cstring>

std::wstring ListingTempFile()
{
    DWORD n = ::GetTempPathW(0, nullptr);
    std::wstring dir(n, L'\0');
    dir.resize(::GetTempPathW(n, dir.data()));
    if (!dir.empty() && dir.back() != L'\\') dir += L'\\';
    return dir + L"$$$DIR.TXT";
}

std::wstring ListingParameters(const std::wstring& directory, const std::wstring& mask, bool tree,
                               const std::wstring& output, bool& inDirectory)
{
    inDirectory = directory.find(L'%') != std::wstring::npos;
    std::wstring target = mask;
    if (!inDirectory) {
        target = directory;
        if (target.empty() || target.back() != L'\\') target += L'\\';
        target += mask;
    }
    // /u: Unicode output, so that every name survives the redirection.
    return std::wstring(L"/u /c dir /-p /ogn ") + (tree ? L"/s " : L"") + L"\"" + target + L"\" > \"" + output + L"\"";
}

bool MakeListing(const std::wstring& directory, const std::wstring& mask, bool tree, const std::wstring& output,
                 DWORD& error)
{
    ::DeleteFileW(output.c_str());
    bool inDirectory = false;
    std::wstring parameters = ListingParameters(directory, mask, tree, output, inDirectory);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.lpVerb = L"Open";
    info.lpFile = L"CMD.EXE";
    info.lpParameters = parameters.c_str();
    info.lpDirectory = inDirectory ? directory.c_str() : nullptr;
    info.nShow = SW_HIDE;
    BOOL started;
    {
        // The system's error boxes are allowed while the interpreter starts.
        fw::ErrorModeScope errors(0);
        started = ::ShellExecuteExW(&info);
    }
    if (!started) {
        error = ::GetLastError();
        return false;
    }
    fw::UniqueHandle process(info.hProcess);
    if (process) ::WaitForSingleObject(process.Get(), INFINITE);
    if (::GetFileAttributesW(output.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    error = 0;
    return true;
}

bool SaveUnicodeText(const std::wstring& source, const std::wstring& target, DWORD& error)
{
    fw::UniqueFile in(::CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) {
        error = ::GetLastError();
        return false;
    }
    fw::UniqueFile out(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) {
        error = ::GetLastError();
        return false;
    }
    static const unsigned char bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    bool ok = ::WriteFile(out.Get(), bom, 2, &written, nullptr) && written == 2;
    std::vector<char> buffer(65536);
    while (ok) {
        DWORD got = 0;
        if (!::ReadFile(in.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        ok = ::WriteFile(out.Get(), buffer.data(), got, &written, nullptr) && written == got;
    }
    if (!ok) {
        error = ::GetLastError();
        out.Reset();
        ::DeleteFileW(target.c_str());
        return false;
    }
    error = 0;
    return true;
}

HGLOBAL MakeDropList(const std::vector<std::wstring>& paths)
{
    size_t chars = 1;
    for (const std::wstring& p : paths) chars += p.size() + 1;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    if (!memory) return nullptr;
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(header) + sizeof(DROPFILES));
    for (const std::wstring& p : paths) {
        std::memcpy(names, p.c_str(), p.size() * sizeof(wchar_t));
        names += p.size() + 1;
    }
    ::GlobalUnlock(memory);
    return memory;
}

std::vector<std::wstring> ReadDropList(HGLOBAL list)
{
    std::vector<std::wstring> names;
    if (!list) return names;
    auto drop = static_cast<HDROP>(list);
    UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        name.resize(::DragQueryFileW(drop, i, name.data(), length + 1));
        names.push_back(name);
    }
    return names;
}
