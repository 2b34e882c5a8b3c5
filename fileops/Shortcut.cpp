// Shell links through the link object and its file-persistence interface.
#include "fileops/Shortcut.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"
#include <objbase.h>
#include <shlobj.h>
#include <vector>

namespace {
// The component library for the length of a scope (already set up on the user-interface thread).
class ComScope {
public:
    ComScope() : ok(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() { if (ok) ::CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool ok;
};

template <typename T> struct ComPtr {
    T* p = nullptr;
    ~ComPtr() { if (p) p->Release(); }
    T* operator->() const { return p; }
    void** Out() { return reinterpret_cast<void**>(&p); }
};

// Claims a free name by making it: nobody else's file can be taken over between check and save.
bool ClaimFreeName(const std::wstring& directory, const std::wstring& base, std::wstring& claimed, DWORD& error)
{
    for (int n = 1; n < 1000; ++n) {
        std::wstring name = n == 1 ? base + L".lnk" : base + L" (" + std::to_wstring(n) + L").lnk";
        claimed = JoinPath(directory, name);
        HANDLE file = ::CreateFileW(claimed.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            return true;
        }
        error = ::GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return false;
    }
    error = ERROR_FILE_EXISTS;
    return false;
}
}

std::wstring DesktopDirectory()
{
    wchar_t* found = nullptr;
    std::wstring path;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &found)) && found) path = found;
    ::CoTaskMemFree(found);
    return path;
}

HRESULT SaveShortcut(const std::wstring& directory, const std::wstring& base, const std::wstring& target,
                     const std::wstring& workDir, std::wstring& linkPath)
{
    ComScope com;
    ComPtr<IShellLinkW> link;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Out());
    if (FAILED(hr)) return hr;
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workDir.c_str());
    link->SetArguments(L"");
    ComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, file.Out());
    if (FAILED(hr)) return hr;
    DWORD error = 0;
    if (!ClaimFreeName(directory, base, linkPath, error)) {
        linkPath.clear();
        return HRESULT_FROM_WIN32(error);
    }
    hr = file->Save(linkPath.c_str(), TRUE);
    if (FAILED(hr)) {
        ::DeleteFileW(linkPath.c_str());
        return hr;
    }
    // A save that reports success but leaves the claimed file empty has not saved anything.
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(linkPath.c_str(), GetFileExInfoStandard, &data) || (data.nFileSizeLow == 0 && data.nFileSizeHigh == 0)) {
        ::DeleteFileW(linkPath.c_str());
        return E_FAIL;
    }
    return S_OK;
}

bool ReadShortcut(const std::wstring& linkPath, std::wstring& target, std::wstring& workDir)
{
    ComScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Out()))) return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out())) || FAILED(file->Load(linkPath.c_str(), STGM_READ)))
        return false;
    std::vector<wchar_t> buffer(32768, L'\0');
    // The item list keeps every name whole; the plain path of a link may be in the code page only.
    LPITEMIDLIST pidl = nullptr;
    bool named = SUCCEEDED(link->GetIDList(&pidl)) && pidl && ::SHGetPathFromIDListEx(pidl, buffer.data(), static_cast<DWORD>(buffer.size()), GPFIDL_DEFAULT);
    ::CoTaskMemFree(pidl);
    if (!named && FAILED(link->GetPath(buffer.data(), static_cast<int>(buffer.size()), nullptr, SLGP_RAWPATH))) return false;
    target = buffer.data();
    buffer[0] = 0;
    if (FAILED(link->GetWorkingDirectory(buffer.data(), static_cast<int>(buffer.size())))) return false;
    workDir = buffer.data();
    return true;
}
