// File reading and writing for the hex editor: whole or paged loads, saves through a temporary file.
#include "tools/hexedit/HexFile.h"
#include "common/FileWrite.h"
#include "resource.h"
#include <algorithm>
#include <vector>

namespace hex {

namespace {
constexpr DWORD IoChunk = 16 << 20;
constexpr DWORD LoadChunk = 1 << 20;

FileResult Failure(int message)
{
    FileResult result;
    result.message = message;
    result.error = ::GetLastError();
    return result;
}

HANDLE OpenForReading(const std::wstring& path)
{
    return ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}
}

CWin32File::~CWin32File()
{
    if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
}

bool CWin32File::ReadAt(Offset offset, uint8_t* out, size_t n)
{
    while (n > 0) {
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
        DWORD part = static_cast<DWORD>(std::min<size_t>(n, IoChunk)), got = 0;
        if (!::ReadFile(handle, out, part, &got, &at) || got == 0) return false;
        out += got;
        offset += got;
        n -= got;
    }
    return true;
}

bool CWin32File::WriteAt(Offset offset, const uint8_t* data, size_t n)
{
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return ::SetFilePointerEx(handle, to, nullptr, FILE_BEGIN) && WriteAllBytes(handle, data, n);
}

FileResult LoadDocument(const std::wstring& path, CHexDocument& doc)
{
    doc.Clear();
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) return Failure(IDS_HEX_CANTOPEN);
    auto access = std::make_unique<CWin32File>(file);
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file, &size)) return Failure(IDS_HEX_READERROR);
    if (size.QuadPart > InMemoryLimit()) {
        doc.OpenPaged(std::move(access), size.QuadPart);
        return {};
    }
    CByteBuffer& buffer = doc.Buffer();
    if (!buffer.SetCapacity(size.QuadPart)) {
        ::SetLastError(0);
        return Failure(IDS_HEX_NOROOM);
    }
    buffer.SetLast(size.QuadPart - 1);
    uint8_t* data = buffer.Data();
    for (Offset done = 0; done < size.QuadPart;) {
        DWORD part = static_cast<DWORD>(std::min<Offset>(size.QuadPart - done, LoadChunk)), got = 0;
        // Fresh pages touched here cost a third less than the same pages faulted in by the read.
        for (DWORD page = 0; page < part; page += 4096) data[done + page] = 0;
        // A short read (the file shrank meanwhile) is a failure like any other.
        if (!::ReadFile(file, data + done, part, &got, nullptr) || got == 0) {
            FileResult result = Failure(IDS_HEX_READERROR);
            doc.Clear();
            return result;
        }
        done += got;
    }
    return {};
}

FileResult WriteDocumentAs(const CHexDocument& doc, const std::wstring& path)
{
    DWORD error = WriteFileSafely(path, [&](HANDLE file) {
        if (const uint8_t* data = doc.Contiguous()) return WriteAllBytes(file, data, static_cast<size_t>(doc.Size()));
        std::vector<uint8_t> block(IoChunk);
        for (Offset at = 0; at < doc.Size(); at += IoChunk) {
            size_t n = static_cast<size_t>(std::min<Offset>(IoChunk, doc.Size() - at));
            if (!doc.Read(at, block.data(), n) || !WriteAllBytes(file, block.data(), n)) return false;
        }
        return true;
    });
    if (error == 0) return {};
    ::SetLastError(error);
    return Failure(IDS_HEX_WRITEERROR);
}

FileResult WritePagedChanges(CHexDocument& doc, const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Failure(IDS_HEX_CANTCREATE);
    CWin32File target(file);
    RestartWriteCount();
    if (!doc.Paged()->WriteChanges(target) || !::FlushFileBuffers(file)) return Failure(IDS_HEX_WRITEERROR);
    return {};
}

} // namespace hex
