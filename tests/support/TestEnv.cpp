// Store reset and temporary files for the tests.
#include "support/TestEnv.h"
#include <atomic>
#include <cstdlib>
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

std::string UnixPath(const std::wstring& path)
{
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixName ? unixName(path.c_str()) : nullptr;
    std::string out = name ? name : "";
    if (name) ::HeapFree(::GetProcessHeap(), 0, name);
    return out;
}

bool StartUnixProgram(std::wstring commandLine)
{
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    // Wine starts a Unix program without Windows handles and leaves stale values in pi: closing them
    // could close one of ours (the test program's output among them), so they are never touched.
    return ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
}

bool RunShell(const std::string& command) { return RunUnix(command) == 0; }

std::string ShellQuote(const std::string& text)
{
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

std::string FileBytes(const std::wstring& path)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[65536];
    DWORD n = 0;
    while (::ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n) text.append(buffer, n);
    ::CloseHandle(h);
    return text;
}

int RunUnix(const std::string& command, std::string* output, int timeoutMs)
{
    if (command.find('"') != std::string::npos) return -1;
    // The status file appears by a rename once the command has ended: its presence is the event.
    wchar_t base[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, base);
    std::wstring stem = std::wstring(base) + L"pdrun-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                        std::to_wstring(++counter);
    std::wstring outPath = stem + L".out", statusPath = stem + L".rc";
    std::string unixStem = UnixPath(stem);
    if (unixStem.empty()) return -1;
    std::string script = "( " + command + " ) > " + ShellQuote(unixStem + ".out") + " 2>&1; echo $? > " +
                         ShellQuote(unixStem + ".part") + "; mv " + ShellQuote(unixStem + ".part") + " " +
                         ShellQuote(unixStem + ".rc");
    int wide = ::MultiByteToWideChar(CP_UTF8, 0, script.c_str(), -1, nullptr, 0);
    std::wstring commandLine(static_cast<size_t>(wide), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, script.c_str(), -1, commandLine.data(), wide);
    commandLine.resize(wide - 1);
    if (!StartUnixProgram(L"/bin/sh -c \"" + commandLine + L"\"")) return -1;
    DWORD start = ::GetTickCount();
    while (::GetFileAttributesW(statusPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount() - start > static_cast<DWORD>(timeoutMs)) return -1;
        ::Sleep(5);
    }
    std::string status = FileBytes(statusPath);
    if (output) *output = FileBytes(outPath);
    ::DeleteFileW(statusPath.c_str());
    ::DeleteFileW(outPath.c_str());
    return status.empty() ? -1 : std::atoi(status.c_str());
}

} // namespace test
