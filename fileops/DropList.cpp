// The drop list's walk: one search per directory, names built in one growing buffer.
#include "fileops/DropList.h"
#include "fileops/FileIdentity.h"
#include "fileops/FileOperation.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include <windows.h>

namespace {
struct Walk {
    std::vector<std::wstring>& files;
    uint64_t& bytes;
    int& unreadable;
    std::wstring path; // the directory being listed, with a trailing backslash

    void Directory()
    {
        size_t length = path.size();
        path += L'*';
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileExW(LongPath(path).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                         nullptr, FIND_FIRST_EX_LARGE_FETCH);
        path.resize(length);
        if (find == INVALID_HANDLE_VALUE) {
            if (::GetLastError() != ERROR_FILE_NOT_FOUND) ++unreadable;
            return;
        }
        std::vector<std::wstring> below;
        do {
            const wchar_t* name = data.cFileName;
            if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0))) continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (!IsLinkEntry(data)) below.emplace_back(name);
                continue;
            }
            files.emplace_back(path).append(name);
            bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
        for (const std::wstring& name : below) {
            path.append(name).push_back(L'\\');
            Directory();
            path.resize(length);
        }
    }
};
}

void CollectDropFiles(const std::vector<DropSource>& sources, std::vector<std::wstring>& files, uint64_t& bytes,
                      int& unreadable)
{
    for (const DropSource& source : sources) {
        DWORD attributes = ::GetFileAttributesW(LongPath(source.path).c_str());
        if (!source.isDirectory) {
            WIN32_FILE_ATTRIBUTE_DATA data = {};
            if (::GetFileAttributesExW(LongPath(source.path).c_str(), GetFileExInfoStandard, &data))
                bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            files.push_back(source.path);
            continue;
        }
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            ++unreadable;
            continue;
        }
        if (CFileOperation::IsLink(source.path, attributes)) continue;
        Walk walk{files, bytes, unreadable, source.path};
        if (walk.path.empty() || walk.path.back() != L'\\') walk.path += L'\\';
        walk.Directory();
    }
}

std::wstring RelativeDropName(const std::wstring& name, const std::wstring& sourceDirectory)
{
    std::wstring base = sourceDirectory;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    if (!base.empty() && name.size() > base.size() &&
        ::CompareStringOrdinal(name.c_str(), static_cast<int>(base.size()), base.c_str(), static_cast<int>(base.size()),
                               TRUE) == CSTR_EQUAL)
        return name.substr(base.size());
    return LastPart(name);
}
