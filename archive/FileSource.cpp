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

bool CFileSource::Fill(uint64_t offset)
{
    window.resize(WindowSize);
    windowStart = offset;
    windowFill = 0;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    if (!::SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) ||
        !::ReadFile(file.Get(), window.data(), static_cast<DWORD>(WindowSize), &got, nullptr))
        return false;
    windowFill = got;
    return true;
}

int64_t CFileSource::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (offset >= size || count == 0) return 0;
    count = static_cast<size_t>(std::min<uint64_t>(count, size - offset));
    if (count >= WindowSize) {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(offset);
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
        if (!::SetFilePointerEx(file.Get(), at, nullptr, FILE_BEGIN) || !::ReadFile(file.Get(), buffer, want, &got, nullptr))
            return -1;
        return got;
    }
    if (offset < windowStart || offset + count > windowStart + windowFill) {
        if (!Fill(offset)) return -1;
        if (windowFill == 0) return 0;
    }
    size_t n = static_cast<size_t>(std::min<uint64_t>(count, windowStart + windowFill - offset));
    std::memcpy(buffer, window.data() + (offset - windowStart), n);
    return static_cast<int64_t>(n);
}

} // namespace arc
