// Reparse tags, file identities and final paths: the answers that no spelling of a path can fool.
#include "fileops/FileIdentity.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"

namespace {
constexpr DWORD ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

fw::UniqueFile OpenForQuery(const std::wstring& path)
{
    return fw::UniqueFile(
        ::CreateFileW(LongPath(path).c_str(), 0, ShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}
}

bool IsLinkTag(DWORD attributes, DWORD reparseTag)
{
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return reparseTag == 0 || IsReparseTagNameSurrogate(reparseTag);
}

bool IsLinkEntry(const WIN32_FIND_DATAW& data)
{
    return IsLinkTag(data.dwFileAttributes, data.dwReserved0);
}

bool EntryTag(const std::wstring& path, DWORD& attributes, DWORD& reparseTag)
{
    reparseTag = 0;
    attributes = ::GetFileAttributesW(LongPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    // The search data carries the tag of the entry itself; a root has none to find.
    WIN32_FIND_DATAW data;
    fw::UniqueFind find(::FindFirstFileW(LongPath(path).c_str(), &data));
    if (find) reparseTag = data.dwReserved0;
    return true;
}

bool IdentityOf(HANDLE file, FileIdentity& out)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(file, &info)) return false;
    out.volume = info.dwVolumeSerialNumber;
    out.indexHigh = info.nFileIndexHigh;
    out.indexLow = info.nFileIndexLow;
    return true;
}

bool IdentityOf(const std::wstring& path, FileIdentity& out)
{
    fw::UniqueFile file = OpenForQuery(path);
    return file && IdentityOf(file.Get(), out);
}

std::wstring FinalPath(const std::wstring& path)
{
    fw::UniqueFile file = OpenForQuery(path);
    if (!file) return std::wstring();
    std::wstring out(512, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        DWORD n = ::GetFinalPathNameByHandleW(file.Get(), &out[0], static_cast<DWORD>(out.size()), FILE_NAME_NORMALIZED);
        if (n == 0) return std::wstring();
        if (n < out.size()) {
            out.resize(n);
            return PlainPath(out);
        }
        out.assign(n + 1, L'\0');
    }
    return std::wstring();
}

bool LiesInside(const std::wstring& target, const std::wstring& directory)
{
    FileIdentity inner;
    if (!IdentityOf(directory, inner) || !inner.Known()) return false;
    std::wstring existing = target;
    while (::GetFileAttributesW(LongPath(existing).c_str()) == INVALID_FILE_ATTRIBUTES) {
        existing = ParentDirectory(existing);
        if (existing.empty()) return false;
    }
    // The real chain of parents: a link on the way leads into the tree it points to.
    std::wstring chain = FinalPath(existing);
    if (chain.empty()) chain = existing;
    for (; !chain.empty(); chain = ParentDirectory(chain)) {
        FileIdentity id;
        if (IdentityOf(chain, id) && id == inner) return true;
    }
    return false;
}
