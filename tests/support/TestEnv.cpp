// Store reset and temporary files for the tests.
#include "support/TestEnv.h"
#include <atomic>
#include <vector>

namespace test {

void ResetStore()
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Brennmark\\PD");
}

namespace {
std::atomic<int> counter{0};
}

TempDir::TempDir()
{
    wchar_t base[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, base);
    for (;;) {
        path = std::wstring(base) + L"pdtest-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(++counter) + L"-" + std::to_wstring(::GetTickCount());
        if (::CreateDirectoryW(path.c_str(), nullptr)) break;
    }
}

TempDir::~TempDir() { RemoveTree(path); }

bool MakeFile(const std::wstring& path, const std::string& content, DWORD attributes)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = content.empty() ||
              ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(h);
    if (ok && attributes) ok = ::SetFileAttributesW(path.c_str(), attributes);
    return ok;
}

bool MakeDir(const std::wstring& path, DWORD attributes)
{
    if (!::CreateDirectoryW(path.c_str(), nullptr)) return false;
    return !attributes || ::SetFileAttributesW(path.c_str(), attributes);
}

bool MakeSparseFile(const std::wstring& path, uint64_t size)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD bytes = 0;
    ::DeviceIoControl(h, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &bytes, nullptr);
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(size);
    bool ok = ::SetFilePointerEx(h, position, nullptr, FILE_BEGIN) && ::SetEndOfFile(h);
    ::CloseHandle(h);
    return ok;
}

void RemoveTree(const std::wstring& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((path + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = path + L"\\" + name;
            ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(full);
            else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                ::RemoveDirectoryW(full.c_str());
            else
                ::DeleteFileW(full.c_str());
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(path.c_str());
}

std::string Narrow(const std::wstring& text)
{
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Widen(const std::string& text)
{
    int n = ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

int FilesIn(const std::wstring& directory)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((directory + L"\\*").c_str(), &data);
    int n = 0;
    if (find == INVALID_HANDLE_VALUE) return 0;
    do n += !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return n;
}

std::string ReadAll(const std::wstring& path)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string out;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got) out.append(buffer, got);
    ::CloseHandle(h);
    return out;
}

std::wstring BinDirectory()
{
    wchar_t path[MAX_PATH];
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L'\\'));
}

std::wstring ReadRecord(const std::wstring& path)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::wstring text(64 * 1024, L'\0');
    DWORD n = 0;
    ::ReadFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &n, nullptr);
    ::CloseHandle(h);
    text.resize(n / sizeof(wchar_t));
    return text;
}

} // namespace test
