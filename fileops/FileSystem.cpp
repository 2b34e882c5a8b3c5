// Directory tests and creation, the extended-length path form and the resolution of typed targets.
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include <windows.h>

namespace {
// CreateDirectory refuses plain paths of MAX_PATH - 12 characters and more.
constexpr size_t PlainPathLimit = MAX_PATH - 12;
}

std::wstring LongPath(const std::wstring& path)
{
    if (path.size() < PlainPathLimit || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}

bool DirectoryExists(const std::wstring& path)
{
    if (path.empty()) return false;
    DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeCurrentDirectory(const std::wstring& path)
{
    // The limit counts a trailing backslash (added when missing) and the terminating null.
    size_t needed = path.size() + (!path.empty() && path.back() == L'\\' ? 1 : 2);
    if (path.empty() || needed > MAX_PATH) {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    return ::SetCurrentDirectoryW(path.c_str()) != FALSE;
}

bool MakeDirectoryPath(const std::wstring& typed)
{
    std::wstring path = typed;
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    if (path.empty()) return false;
    size_t start = 0;
    if (path.size() >= 3 && path[1] == L':') start = 3;
    else if (path.rfind(L"\\\\", 0) == 0) {
        // \\server\share is the first component of a network path.
        size_t server = path.find(L'\\', 2);
        size_t share = server == std::wstring::npos ? server : path.find(L'\\', server + 1);
        start = share == std::wstring::npos ? path.size() : share + 1;
    }
    bool lastMade = DirectoryExists(path);
    for (size_t pos = start; pos <= path.size() && !lastMade; ++pos) {
        if (pos != path.size() && path[pos] != L'\\') continue;
        std::wstring prefix = path.substr(0, pos);
        if (prefix.size() <= start || prefix.back() == L'\\') continue;
        bool made = ::CreateDirectoryW(LongPath(prefix).c_str(), nullptr) ||
                    (::GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(prefix));
        if (pos == path.size()) lastMade = made;
    }
    return lastMade;
}

std::wstring ResolveTarget(const std::wstring& typed, const std::wstring& baseDirectory)
{
    std::wstring target = typed;
    for (wchar_t& c : target)
        if (c == L'/') c = L'\\';
    bool absolute = (target.size() >= 3 && target[1] == L':' && target[2] == L'\\') || target.rfind(L"\\\\", 0) == 0;
    if (!absolute) {
        if (target.size() >= 2 && target[1] == L':') target = target.substr(0, 2) + L"\\" + target.substr(2);
        else if (!target.empty() && target[0] == L'\\') target = baseDirectory.substr(0, 2) + target;
        else target = JoinPath(baseDirectory, target);
    }
    DWORD n = ::GetFullPathNameW(target.c_str(), 0, nullptr, nullptr);
    if (n == 0) return target;
    std::wstring full(n, L'\0');
    n = ::GetFullPathNameW(target.c_str(), n, full.data(), nullptr);
    full.resize(n);
    return full;
}

std::wstring CurrentDirectory()
{
    DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(n, L'\0');
    n = ::GetCurrentDirectoryW(n, dir.data());
    dir.resize(n);
    return dir;
}
