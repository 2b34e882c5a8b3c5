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
    DWORD n = ::GetSystemDirectoryW(nullptr, 0);
    std::wstring interpreter(n, L'\0');
    interpreter.resize(::GetSystemDirectoryW(interpreter.data(), n));
    interpreter += L"\\CMD.EXE";
    std::wstring commandLine = L"\"" + interpreter + L"\" " + parameters;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    BOOL started;
    {
        // The system's error boxes are allowed while the interpreter starts. Started directly:
        // the shell would expand a "%" in the working directory.
        fw::ErrorModeScope errors(0);
        started = ::CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                   nullptr, inDirectory ? directory.c_str() : nullptr, &startup, &process);
    }
    if (!started) {
        error = ::GetLastError();
        return false;
    }
    fw::UniqueHandle thread(process.hThread), handle(process.hProcess);
    ::WaitForSingleObject(handle.Get(), INFINITE);
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
