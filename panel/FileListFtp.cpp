// The FTP panel source: reading the server's directory, moving about on the server, and the
// remote delete, make-directory and rename.
#include "panel/FileList.h"
#include "common/Program.h"
#include "common/RecentDirectories.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "common/FtpConnection.h"
#include "ftp/FtpEngine.h"
#include "ftp/ListingParser.h"
#include "resource.h"
#include <algorithm>

namespace {

int PathDepth(const std::wstring& path)
{
    if (path.empty() || path.back() == L'\\') return 0;
    return static_cast<int>(std::count(path.begin(), path.end(), L'\\'));
}

// The listing's time (the server's local time, as seconds since 1970) as a UTC file time.
uint64_t ListingFileTime(const ListingEntry& e)
{
    if (e.timeKind == 0 || e.time <= 0) return 0;
    // Whole two seconds, as a DOS time holds them.
    int64_t seconds = e.time - e.time % 2;
    uint64_t local = static_cast<uint64_t>(seconds + 11644473600LL) * 10000000ULL;
    FILETIME localTime{static_cast<DWORD>(local), static_cast<DWORD>(local >> 32)}, utc{};
    if (!::LocalFileTimeToFileTime(&localTime, &utc)) return local;
    return (static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
}

std::string ReadWholeFile(const std::wstring& path, bool& ok)
{
    std::string data;
    fw::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ok = static_cast<bool>(file);
    if (!ok) return data;
    char buffer[65536];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) data.append(buffer, got);
    return data;
}

// An engine call that cannot run inside another one: the engine blocks while it pumps messages.
bool engineInUse = false;
class EngineUse {
public:
    EngineUse() : was(engineInUse) { engineInUse = true; }
    ~EngineUse() { engineInUse = was; }
    EngineUse(const EngineUse&) = delete;
    EngineUse& operator=(const EngineUse&) = delete;

private:
    bool was;
};
}

bool CFileList::FtpEngineBusy() { return engineInUse; }

bool CFileList::SyncFtpDirectory()
{
    // Both panels may show the one server: its current directory follows the panel being worked on.
    if (path.empty() || path == L"FTP") return FtpPanelCurrentDir(path) == 0;
    FtpTimerPause pause;
    if (FtpChangeDir(ServerPath(path).c_str()) != 0) {
        if (NoteLostConnection()) return false;
        FtpPanelCurrentDir(path);
        return false;
    }
    return true;
}

int CFileList::ReadFtpDirectory()
{
    FtpConnectionState& state = FtpState();
    if (engineInUse) return RowCount();
    EngineUse use;
    summaryBusy = true;
    ClearEntries();
    showsFoundFiles = false;
    summaryBusy = false;
    if (!state.ftpConnected) return 0;
    FtpDiscardInput();
    SyncFtpDirectory();
    depth = PathDepth(path);
    AddEntry(1, 0, L"..", true, false, false, false, false, 0, 0, 0, true, true, false);
    FtpSetBlocking(true);
    std::wstring file = FtpListingFile();
    const char* argument = GetProfileInt(L"Algemeen", L"Hidden", 0) != 0 ? "-al" : nullptr;
    int r;
    {
        FtpTimerPause pause;
        r = FtpListing(argument, file.c_str(), true, nullptr, 0);
    }
    if (r != 0) {
        ::DeleteFileW(file.c_str());
        ReportFtpFailure(context.owner, r);
        SortEntries();
        RestorePosition(0);
        return 0;
    }
    FtpDiscardInput();
    bool readable = false;
    std::string text = ReadWholeFile(file, readable);
    if (!readable) {
        ShowMessage(context.owner, fw::LoadStr(IDS_FTP_CANTREAD), MB_OK | MB_ICONSTOP);
        FtpQuit();
        NoteLostConnection();
        return 0;
    }
    // Lines of any length are read whole.
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    int counted = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        // A VMS entry too long for one line goes on in the next.
        if (state.serverSystem == FtpSystemVms && line.find(';') != std::string::npos &&
            line.find('(') == std::string::npos && i + 1 < lines.size())
            line += " " + lines[++i];
        std::replace(line.begin(), line.end(), '\t', ' ');
        ListingEntry e;
        if (!ParseListingLine(line.data(), line.size(), e)) continue;
        std::string rawName(e.name, e.nameLength);
        size_t lf = rawName.find('\n');
        if (lf != std::string::npos) rawName.erase(lf);
        if (rawName.empty() || rawName == "." || rawName == "..") continue;
        std::wstring name = FromServerText(rawName);
        uint64_t size = e.size > 0 ? static_cast<uint64_t>(e.size) : 0;
        if (AddEntry(2, -1, name, e.mayBeDirectory, false, false, false, false, ListingFileTime(e),
                     static_cast<uint32_t>(size >> 32), static_cast<uint32_t>(size), true, true, false))
            ++counted;
    }
    if (!Program().debugFlag) ::DeleteFileW(file.c_str());
    SortEntries();
    RestorePosition(counted);
    keepMarks = false;
    return counted;
}

bool CFileList::FtpEnter(const std::wstring& name, bool parent)
{
    if (engineInUse) return false;
    if (context.owner) ::SendMessageW(context.owner, pm::PushHistory, reinterpret_cast<WPARAM>(hwnd), 0);
    int r;
    {
        EngineUse use;
        FtpTimerPause pause;
        SyncFtpDirectory();
        if (parent) {
            r = FtpParentDir();
        } else {
            std::wstring target = name;
            if (FtpState().serverSystem == FtpSystemVms) {
                std::wstring base = name;
                size_t dir = base.find(L".DIR");
                if (dir == std::wstring::npos) dir = base.find(L".dir");
                if (dir != std::wstring::npos) base.erase(dir);
                target = L"[." + base + L"]";
            }
            r = FtpChangeDir(ToServerText(target).c_str());
        }
        if (r != 0) ReportFtpFailure(context.owner, r);
        else FtpPanelCurrentDir(path);
    }
    if (r != 0) {
        OnUpdate();
        return false;
    }
    keepMarks = false;
    int newDepth = PathDepth(path);
    if (!parent && newDepth < PanelDepths) topIndex[newDepth] = focusIndex[newDepth] = 0;
    OnUpdate();
    if (context.owner) ::PostMessageW(context.owner, pm::PanelActivated, reinterpret_cast<WPARAM>(hwnd), 0);
    return true;
}

bool CFileList::FtpChangeTo(const std::wstring& typed, bool resetPositions)
{
    if (engineInUse) return false;
    int r;
    {
        EngineUse use;
        FtpTimerPause pause;
        SyncFtpDirectory();
        r = FtpChangeDir(ServerPath(typed).c_str());
        if (r != 0) ReportFtpFailure(context.owner, r);
        else FtpPanelCurrentDir(path);
    }
    if (r != 0) return false;
    keepMarks = false;
    if (resetPositions) {
        depth = 0;
        for (int i = 0; i < PanelDepths; ++i) topIndex[i] = focusIndex[i] = 0;
    }
    OnUpdate();
    return true;
}

void CFileList::FtpRoot()
{
    if (context.owner) ::SendMessageW(context.owner, pm::PushHistory, reinterpret_cast<WPARAM>(hwnd), 0);
    std::wstring root = FtpState().serverSystem == FtpSystemVms ? L"[000000]" : L"\\";
    bool slashes = FtpState().slashPaths;
    if (root == L"\\") FtpState().slashPaths = true;
    if (!FtpChangeTo(root, false)) FtpState().slashPaths = slashes;
    if (context.owner) ::PostMessageW(context.owner, pm::PanelActivated, reinterpret_cast<WPARAM>(hwnd), 0);
}

void CFileList::DeleteFtpMarked()
{
    if (engineInUse) return;
    std::vector<std::pair<std::wstring, bool>> rows;
    bool anyMarked = list.GetSelectedCount() > 0;
    int focused = list.GetFocusedItem();
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (anyMarked ? !list.IsSelected(row) : row != focused) continue;
        const FileEntry* entry = Entry(row);
        if (!entry || entry->kind == EntryParent) continue;
        rows.emplace_back(entry->name, entry->kind == EntryDirectory);
    }
    if (rows.empty()) {
        ShowWarning(IDS_COPY_NOTHING);
        return;
    }
    if (GetProfileInt(L"Algemeen", L"BevestigingDelFiles", 1) == 1) {
        std::wstring what = rows.size() == 1 ? L"[FTP] " + rows[0].first : fw::Format(L"%d items", static_cast<int>(rows.size()));
        std::wstring text = fw::LoadStr(IDS_DELETE_QUESTION) + what + fw::LoadStr(IDS_DELETE_QUESTIONEND);
        if (::MessageBoxW(context.owner, text.c_str(), ProductName, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
    }
    {
        EngineUse use;
        fw::WaitCursor wait;
        SyncFtpDirectory();
        for (const auto& [name, isDirectory] : rows) {
            FtpTimerPause pause;
            std::string remote = ToServerText(name);
            int r = isDirectory ? FtpRemoveDir(remote.c_str()) : FtpRemoveFile(remote.c_str());
            if (r != 0 && ReportFtpFailure(context.owner, r)) break;
        }
    }
    keepMarks = false;
    OnUpdate();
}

void CFileList::MakeFtpDirectory(const std::wstring& typed)
{
    if (engineInUse) return;
    {
        EngineUse use;
        FtpTimerPause pause;
        SyncFtpDirectory();
        int r = FtpMakeDir(ServerPath(typed).c_str(), nullptr);
        if (r != 0) ReportFtpFailure(context.owner, r);
    }
    OnUpdate();
    std::wstring first = typed.substr(0, typed.find_first_of(L"\\/"));
    if (!first.empty()) FocusEntryByName(first);
}

void CFileList::RenameFtp(const std::wstring& oldName, const std::wstring& newName)
{
    if (engineInUse) return;
    {
        EngineUse use;
        FtpTimerPause pause;
        SyncFtpDirectory();
        int r = FtpRenameRemote(ToServerText(oldName).c_str(), ServerPath(newName).c_str());
        if (r != 0) ReportFtpFailure(context.owner, r);
    }
    keepMarks = false;
    if (GetProfileInt(L"FTP", L"DirUpd", 0) != 0) OnUpdate();
}
