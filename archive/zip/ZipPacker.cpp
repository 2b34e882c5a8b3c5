// The packing run: the files to process walked into a list, then written member by member into
// a temporary archive, the kept members of an existing archive copied over, and the result put
// in place of the archive.
#include "archive/zip/ZipPacker.h"
#include "archive/zip/ZipPrepare.h"
#include "archive/zip/ZipSpan.h"
#include "archive/ArchiveText.h"
#include "archive/Extractor.h"
#include "archive/FileSource.h"
#include "fileops/FileSystem.h"
#include "framework/Resources.h"
#include "resource.h"
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <algorithm>

namespace zip {

namespace {
bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

std::wstring Fold(std::wstring name)
{
    for (wchar_t& c : name)
        if (c == L'\\') c = L'/';
    if (!name.empty()) ::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

uint64_t Time(const FILETIME& ft) { return static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime; }

std::wstring LastPart(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The full path without its drive or server and share.
std::wstring WithoutRoot(const std::wstring& path)
{
    std::wstring p = path;
    if (p.rfind(L"\\\\?\\UNC\\", 0) == 0) p = L"\\\\" + p.substr(8);
    else if (p.rfind(L"\\\\?\\", 0) == 0) p = p.substr(4);
    size_t start = 0;
    if (p.size() >= 2 && p[1] == L':') {
        start = 2;
    } else if (p.rfind(L"\\\\", 0) == 0) {
        size_t server = p.find(L'\\', 2);
        size_t share = server == std::wstring::npos ? std::wstring::npos : p.find(L'\\', server + 1);
        start = share == std::wstring::npos ? p.size() : share;
    }
    while (start < p.size() && (p[start] == L'\\' || p[start] == L'/')) ++start;
    return p.substr(start);
}

class CPackTracker {
public:
    CPackTracker(IPackEvents& events, uint64_t total) : events(events), total(total) {}
    void Report(uint64_t current)
    {
        uint64_t sum = done + current;
        int percent = total ? static_cast<int>(std::min<uint64_t>(100, sum * 100 / total)) : 100;
        if (percent != last) {
            last = percent;
            events.OnProgress(percent);
        }
    }
    void Finished(uint64_t size)
    {
        done += size;
        Report(0);
    }

private:
    IPackEvents& events;
    uint64_t total, done = 0;
    int last = -1;
};
}

bool SpansDisks(UINT driveType, bool selfExtracting) { return driveType == DRIVE_REMOVABLE && !selfExtracting; }

void CZipPacker::SetPassword(const std::wstring& typed)
{
    // The ANSI bytes are what most tools use when they ask for a password; UTF-8 only for what
    // the code page cannot hold.
    BOOL lost = FALSE;
    std::string ansi;
    if (!typed.empty()) {
        int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, typed.data(), static_cast<int>(typed.size()), nullptr,
                                      0, nullptr, &lost);
        ansi.resize(static_cast<size_t>(n > 0 ? n : 0));
        if (n > 0)
            ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, typed.data(), static_cast<int>(typed.size()), ansi.data(),
                                  n, nullptr, &lost);
    }
    password = lost ? EncodeText(typed, CP_UTF8) : ansi;
}

std::wstring CZipPacker::MemberName(const std::wstring& fullPath, const std::wstring& relative, bool useFolderNames,
                                    bool relativeToBase)
{
    // A search result outside the base directory keeps its folders, without the drive.
    bool outside = relative.size() >= 2 && (relative[1] == L':' || relative.rfind(L"\\\\", 0) == 0);
    std::wstring name = !useFolderNames                ? LastPart(fullPath)
                        : relativeToBase && !outside ? relative
                                                     : WithoutRoot(fullPath);
    for (wchar_t& c : name)
        if (c == L'\\') c = L'/';
    return name;
}

bool CZipPacker::IsArchiveItself(const std::wstring& path) const
{
    return SamePath(path, archiveName) || (!tempName.empty() && SamePath(path, tempName));
}

void CZipPacker::AddItem(const std::wstring& path, const std::wstring& relative, const WIN32_FIND_DATAW& data,
                         std::vector<Item>& items)
{
    bool directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (directory && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // A link's target may hold the link itself: never followed.
        events->OnSkipping(path, fw::LoadStr(IDS_ZIP_DIRLINK));
        ++skipped;
        return;
    }
    if (!directory && IsArchiveItself(path)) return;
    Item item;
    item.path = path;
    item.name = MemberName(path, relative, useFolderNames, !baseDirectory.empty());
    item.directory = directory;
    item.size = static_cast<uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    item.lastWrite = Time(data.ftLastWriteTime);
    item.attributes = data.dwFileAttributes;
    if (directory) {
        if (!recurse) return;
        if (useFolderNames && !item.name.empty()) {
            item.name += L'/';
            Push(items, item);
        }
        Walk(path, relative, items);
        return;
    }
    Push(items, item);
}

void CZipPacker::Push(std::vector<Item>& items, const Item& item)
{
    items.push_back(item);
    CPrepareQueue::Job job;
    job.path = LongPath(item.path);
    job.size = item.size;
    job.wanted = !item.directory && item.size <= PrepareLimit;
    ahead->Add(std::move(job));
}

void CZipPacker::Walk(const std::wstring& directory, const std::wstring& relative, std::vector<Item>& items)
{
    WIN32_FIND_DATAW data;
    fw::UniqueFind find(::FindFirstFileExW(LongPath(directory + L"\\*").c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!static_cast<bool>(find)) {
        DWORD code = ::GetLastError();
        if (code != ERROR_FILE_NOT_FOUND && code != ERROR_NO_MORE_FILES) {
            events->OnSkipping(directory, ShortSystemText(code));
            ++skipped;
        }
        return;
    }
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        AddItem(directory + L"\\" + name, relative + L"\\" + name, data, items);
    } while (::FindNextFileW(find.Get(), &data));
}

void CZipPacker::Collect(std::vector<Item>& items)
{
    for (const std::wstring& file : files) {
        bool relative = !(file.size() >= 2 && (file[1] == L':' || (file[0] == L'\\' && file[1] == L'\\')));
        std::wstring full = relative && !baseDirectory.empty()
                                ? baseDirectory + (baseDirectory.back() == L'\\' ? L"" : L"\\") + file
                                : file;
        WIN32_FIND_DATAW data;
        fw::UniqueFind find(::FindFirstFileExW(LongPath(full).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                               nullptr, 0));
        if (!static_cast<bool>(find)) {
            events->OnSkipping(full, ShortSystemText(::GetLastError()));
            ++skipped;
            continue;
        }
        AddItem(full, relative ? file : full, data, items);
    }
}

PackResult CZipPacker::Pack()
{
    if (!events) events = &silent;
    added = skipped = 0;
    error = 0;
    // Beside the archive, so that putting it in place is a rename on one volume; a spanned
    // archive is made on a fixed disk first, as one disk will not hold it.
    std::wstring place = archiveName;
    if (spanning) {
        std::vector<wchar_t> buffer(MAX_PATH + 1);
        DWORD n = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n > buffer.size()) {
            buffer.resize(n);
            n = ::GetTempPathW(n, buffer.data());
        }
        place = std::wstring(buffer.data(), n) + L"pdspan.zip";
    }
    for (int attempt = 0;; ++attempt) {
        tempName = place + L".~" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
        if (::GetFileAttributesW(LongPath(tempName).c_str()) == INVALID_FILE_ATTRIBUTES) break;
    }
    PackResult result = Write(tempName);
    if (result == PackResult::Done && spanning) {
        CRemovableDrive removable(archiveName);
        result = SpanArchive(tempName, drive ? *drive : removable, *events, error);
    } else if (result == PackResult::Done &&
               !::MoveFileExW(LongPath(tempName).c_str(), LongPath(archiveName).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = ::GetLastError();
        result = PackResult::WriteFailed;
    }
    if (result == PackResult::Done) events->OnProgress(100);
    ::DeleteFileW(LongPath(tempName).c_str());
    tempName.clear();
    return result;
}

PackResult CZipPacker::Write(const std::wstring& temp)
{
    // An archive that is there already: its members are kept unless replaced.
    auto oldSource = std::make_unique<arc::CFileSource>();
    CZipArchive old;
    bool haveOld = false;
    std::map<std::wstring, size_t> oldNames;
    DWORD attributes = ::GetFileAttributesW(LongPath(archiveName).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !oldSource->Open(LongPath(archiveName)) ||
            old.Open(*oldSource) != ZipStatus::Ok) {
            error = ::GetLastError();
            return PackResult::NotAnArchive;
        }
        haveOld = true;
        for (size_t i = 0; i < old.Entries().size(); ++i) {
            NameCharset charset;
            std::string bytes = old.NameBytes(i, charset);
            oldNames.emplace(Fold(DecodeText(bytes, charset == NameCharset::Utf8 ? CP_UTF8 : CP_OEMCP)), i);
        }
    }

    // Small files are read and deflated on other threads, from the moment they are listed, while
    // this thread lists and writes.
    unsigned cores = std::thread::hardware_concurrency();
    CPrepareQueue prepared(level, static_cast<int>(std::clamp(cores, 1u, 2u)), PrepareBudget);
    ahead = &prepared;
    std::vector<Item> items;
    Collect(items);
    prepared.Close();
    ahead = nullptr;
    uint64_t total = 0;
    for (const Item& item : items) total += item.size;

    CZipWriter writer;
    writer.SetLevel(level);
    writer.SetPassword(password);
    writer.ForceZip64(forceZip64);
    if (!writer.Create(LongPath(temp), stub.empty() ? std::wstring() : LongPath(stub))) {
        error = writer.LastError();
        return PackResult::WriteFailed;
    }
    CPackTracker tracker(*events, total);
    writer.SetCancelCheck([](void* e) { return static_cast<IPackEvents*>(e)->Cancelled(); }, events);
    writer.SetProgress([](void* t, uint64_t bytes) { static_cast<CPackTracker*>(t)->Report(bytes); }, &tracker);

    std::vector<bool> dropped(old.Entries().size(), false);
    std::set<std::wstring> written;
    bool askAll = askOverwrite;
    int fileCount = 0;
    for (const Item& item : items) fileCount += item.directory ? 0 : 1;
    for (size_t index = 0; index < items.size(); ++index) {
        const Item& item = items[index];
        prepared.Advance(index);
        if (events->Cancelled()) return PackResult::Cancelled;
        std::wstring key = Fold(item.name);
        if (!written.insert(key).second) {
            if (!item.directory) {
                events->OnSkipping(item.path, fw::LoadStr(IDS_ZIP_DUPLICATE));
                ++skipped;
            }
            continue;
        }
        auto existing = oldNames.find(key);
        if (item.directory) {
            if (existing == oldNames.end() && writer.AddDirectory(item.name, item.lastWrite, item.attributes) ==
                                                  WriteStatus::WriteError) {
                error = writer.LastError();
                return PackResult::WriteFailed;
            }
            continue;
        }
        if (existing != oldNames.end()) {
            if (askAll) {
                const ZipEntry& e = old.Entries()[existing->second];
                OverwriteQuestion question;
                question.targetDirectory = archiveName;
                question.name = item.name;
                question.sourceSize = item.size;
                question.sourceTime = item.lastWrite;
                question.targetSize = e.uncompressedSize;
                question.targetTime = DosTimeToFileTime(e.dosDate, e.dosTime);
                question.offerAll = offerAll < 0 ? fileCount >= 2 : offerAll == 1;
                switch (events->OnMemberExists(question)) {
                case OverwriteAnswer::Overwrite: break;
                case OverwriteAnswer::OverwriteAll: askAll = false; break;
                case OverwriteAnswer::Skip: tracker.Finished(item.size); continue;
                case OverwriteAnswer::Cancel: return PackResult::Cancelled;
                }
            }
        }
        events->OnProcessing(item.path);
        WriteStatus status = WriteStatus::Cancelled;
        if (item.size <= PrepareLimit) {
            if (const PreparedMember* member = prepared.Take(index, [&] { return !events->Cancelled(); }))
                status = writer.AddPrepared(*member, item.name, item.lastWrite, item.attributes);
        } else {
            status = writer.AddFile(LongPath(item.path), item.name, item.size, item.lastWrite, item.attributes);
        }
        if (status == WriteStatus::Cancelled) return PackResult::Cancelled;
        if (status == WriteStatus::WriteError) {
            error = writer.LastError();
            return PackResult::WriteFailed;
        }
        if (status == WriteStatus::ReadError) {
            written.erase(key);
            events->OnSkipping(item.path, ShortSystemText(writer.LastError()));
            ++skipped;
        } else {
            ++added;
            if (existing != oldNames.end()) dropped[existing->second] = true;
        }
        tracker.Finished(item.size);
    }
    if (haveOld) {
        for (size_t i = 0; i < old.Entries().size(); ++i) {
            if (dropped[i]) continue;
            if (events->Cancelled()) return PackResult::Cancelled;
            WriteStatus status = writer.CopyMember(old, i);
            if (status == WriteStatus::Cancelled) return PackResult::Cancelled;
            if (status != WriteStatus::Ok) {
                // A damaged member of the old archive: the old archive stays as it is.
                error = writer.LastError();
                return status == WriteStatus::WriteError ? PackResult::WriteFailed : PackResult::NotAnArchive;
            }
        }
    }
    if (writer.Finish() != WriteStatus::Ok) {
        error = writer.LastError();
        return PackResult::WriteFailed;
    }
    return PackResult::Done; // the old archive is closed on return, before it is replaced
}

} // namespace zip
