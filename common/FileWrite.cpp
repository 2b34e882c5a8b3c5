// Whole writes, and saves through a temporary file beside the target.
#include "common/FileWrite.h"
#include <algorithm>
#include <vector>

namespace {
constexpr DWORD WriteChunk = 16 << 20;
int64_t failureAfter = -1;
int64_t writtenSoFar = 0;

std::wstring DirectoryOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash + 1);
}
}

void SetWriteFailureAfter(int64_t bytes)
{
    failureAfter = bytes;
    writtenSoFar = 0;
}

void RestartWriteCount() { writtenSoFar = 0; }

bool WriteAllBytes(HANDLE file, const void* data, size_t n)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (n > 0) {
        DWORD part = static_cast<DWORD>(std::min<size_t>(n, WriteChunk));
        if (failureAfter >= 0 && writtenSoFar + part > failureAfter) {
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
        DWORD done = 0;
        if (!::WriteFile(file, bytes, part, &done, nullptr)) return false;
        if (done != part) {
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
        writtenSoFar += part;
        bytes += part;
        n -= part;
    }
    return true;
}

DWORD WriteFileSafely(const std::wstring& path, const std::function<bool(HANDLE)>& writeBody)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ERROR_ACCESS_DENIED;
        // The rename below could replace a file that may not be written; refuse it the same way.
        if (attributes & FILE_ATTRIBUTE_READONLY) return ERROR_ACCESS_DENIED;
        HANDLE probe = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                     nullptr);
        if (probe == INVALID_HANDLE_VALUE) return ::GetLastError();
        ::CloseHandle(probe);
    }
    std::wstring directory = DirectoryOf(path);
    std::vector<wchar_t> temp(directory.size() + MAX_PATH + 16);
    if (!::GetTempFileNameW(directory.c_str(), L"pdw", 0, temp.data())) return ::GetLastError();
    std::wstring tempPath = temp.data();
    HANDLE file =
        ::CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = ::GetLastError();
        ::DeleteFileW(tempPath.c_str());
        return error;
    }
    writtenSoFar = 0;
    bool ok = writeBody(file) && ::FlushFileBuffers(file);
    DWORD error = ok ? 0 : ::GetLastError();
    ::CloseHandle(file);
    if (ok && !::MoveFileExW(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = ::GetLastError();
    }
    if (!ok) {
        ::DeleteFileW(tempPath.c_str());
        return error ? error : ERROR_WRITE_FAULT;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(path.c_str(), attributes);
    return 0;
}
