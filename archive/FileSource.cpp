// Windowed reads of an archive file; large reads bypass the window.
#include "archive/FileSource.h"
#include "fileops/FileSystem.h"
#include <algorithm>
#include <cstring>
#include <windows.h>

namespace arc {

bool CFileSource::Open(const std::wstring& path)
{
    file.Reset(::CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    LARGE_INTEGER length;
    if (!::GetFileSizeEx(file.Get(), &length)) return false;
    size = static_cast<uint64_t>(length.QuadPart);
    windowFill = 0;
    return true;
}

namespace {
// One positional read: the offset travels with the call instead of a seek before it.
int64_t ReadFileAt(HANDLE file, uint64_t offset, void* buffer, DWORD size)
{
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!::ReadFile(file, buffer, size, &got, &at)) return ::GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
    return got;
}
}

bool CFileSource::Fill(uint64_t offset)
{
    window.resize(WindowSize);
    windowStart = offset;
    windowFill = 0;
    int64_t got = ReadFileAt(file.Get(), offset, window.data(), static_cast<DWORD>(WindowSize));
    if (got < 0) return false;
    windowFill = static_cast<size_t>(got);
    return true;
}

int64_t CFileSource::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (offset >= size || count == 0) return 0;
    count = static_cast<size_t>(std::min<uint64_t>(count, size - offset));
    if (count >= WindowSize)
        return ReadFileAt(file.Get(), offset, buffer, static_cast<DWORD>(std::min<size_t>(count, 1u << 30)));
    if (offset < windowStart || offset + count > windowStart + windowFill) {
        if (!Fill(offset)) return -1;
        if (windowFill == 0) return 0;
    }
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, windowStart + windowFill - offset));
    std::memcpy(buffer, window.data() + (offset - windowStart), n);
    return static_cast<int64_t>(n);
}

} // namespace arc
