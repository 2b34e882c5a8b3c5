// Reading a local directory into the panel and the refresh that every operation ends with.
#include "panel/FileList.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/FileSystem.h"
#include "framework/Handles.h"
#include "panel/EntryCompare.h"
#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace {
uint64_t ToUInt64(const FILETIME& ft)
{
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

int CountDepth(const std::wstring& path)
{
    if (path.empty() || path.back() == L'\\') return 0;
    return static_cast<int>(std::count(path.begin(), path.end(), L'\\'));
}

// The nearest directory at or above path that still exists (a vanished directory
// shows its closest surviving parent rather than someone else's listing).
std::wstring ExistingDirectory(std::wstring path)
{
    while (!path.empty()) {
        DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return path;
        if (path.size() <= 3) return path;
        size_t slash = path.find_last_of(L'\\', path.size() - 2);
        if (slash == std::wstring::npos) return path;
        path = slash <= 2 ? path.substr(0, 3) : path.substr(0, slash);
    }
    return path;
}

// One listing of pattern in the file system; each(data) for every entry found.
template <typename Each>
void Enumerate(const std::wstring& pattern, bool basic, Each&& each)
{
    WIN32_FIND_DATAW data;
    // The basic level leaves out the short names, which a full listing has to make for every entry.
    fw::UniqueFind find(basic ? ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                                   nullptr, FIND_FIRST_EX_LARGE_FETCH)
                              : ::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return;
    do {
        each(data);
    } while (::FindNextFileW(find.Get(), &data));
}

// Names looked up as they come from the listing, without a string made for each.
struct NameHash {
    using is_transparent = void;
    size_t operator()(std::wstring_view name) const { return std::hash<std::wstring_view>{}(name); }
};
using NameSet = std::unordered_set<std::wstring, NameHash, std::equal_to<>>;

bool IsDotName(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}
}

bool CFileList::AddEntry(int kind, int index, const std::wstring& name, bool isDirectory, bool isSystem,
                         bool isHidden, bool isArchive, bool isReadOnly, uint64_t lastWrite, uint32_t sizeHigh,
                         uint32_t sizeLow, bool showSystem, bool showHidden, bool marked)
{
    auto entry = std::make_unique<FileEntry>();
    if (kind == 1) {
        entry->kind = EntryParent;
        entry->name = L"..";
    } else {
        if ((isSystem && !showSystem) || (isHidden && !showHidden)) return false;
        entry->kind = isDirectory ? EntryDirectory : EntryFile;
        entry->name = name;
        if (!isDirectory) {
            entry->sizeHigh = sizeHigh;
            entry->sizeLow = sizeLow;
        }
        entry->lastWrite = lastWrite;
        entry->attributes = (isSystem ? AttrSystem : 0) | (isHidden ? AttrHidden : 0) |
                            (isReadOnly ? AttrReadOnly : 0) | (isArchive ? AttrArchive : 0);
    }
    size_t at = index < 0 ? entries.size() : std::min(static_cast<size_t>(index), entries.size());
    entries.insert(entries.begin() + static_cast<ptrdiff_t>(at), PanelRow{std::move(entry), marked});
    // The list view learns the count before its next message, not once per row.
    rowCountStale = true;
    return true;
}

void CFileList::ClearEntries()
{
    std::vector<PanelRow>().swap(entries);
    anchorRow = hitRow = tipRow = -1;
    dragArmed = pressedOnMarked = false;
    dropHighlight = -1;
    if (hwnd) SyncRowCount();
}

void CFileList::SortEntries()
{
    const FileEntry* cursor = Entry(list.GetFocusedItem());
    std::vector<const FileEntry*> order;
    order.reserve(entries.size());
    for (const PanelRow& row : entries) order.push_back(row.entry.get());
    std::vector<PanelRow> sorted;
    sorted.reserve(entries.size());
    int cursorRow = -1;
    for (size_t from : SortOrder(order, sortMode)) {
        if (entries[from].entry.get() == cursor) cursorRow = static_cast<int>(sorted.size());
        sorted.push_back(std::move(entries[from]));
    }
    entries.swap(sorted);
    anchorRow = -1;
    // The cursor stays with its entry, as the marks do.
    if (cursorRow >= 0) list.SetItemState(cursorRow, LVIS_FOCUSED, LVIS_FOCUSED);
    ::InvalidateRect(hwnd, nullptr, FALSE);
}

void CFileList::OnUpdate()
{
    ++updates;
    searchKey = 0;
    searchPos = -1;
    searchFound = false;
    PhaseClock clock;
    {
        fw::RedrawOff redraw(hwnd);
        if (drive == L"FTP") ReadFtpDirectory();
        else ReadLocalDirectory();
        PhaseClock summaryClock;
        UpdateSelectionSummary();
        timings.summary = summaryClock.Lap();
    }
    timings.total = clock.Lap();
}

int CFileList::ReadLocalDirectory()
{
    fw::WaitCursor wait;
    timings = RefreshTimings{};
    PhaseClock clock;
    // Marks are carried by the exact name: a directory can hold names that differ only in case.
    NameSet markedNames;
    if (keepMarks) {
        for (PanelRow& row : entries)
            if (row.marked && row.entry->kind != EntryParent) markedNames.insert(std::move(row.entry->name));
    }
    timings.marks = clock.Lap();
    summaryBusy = true;
    ClearEntries();
    timings.clear = clock.Lap();
    showsFoundFiles = false;

    bool showSystem = GetProfileInt(L"Algemeen", L"System", 0) != 0;
    bool showHidden = GetProfileInt(L"Algemeen", L"Hidden", 0) != 0;
    bool showSystemDirs = GetProfileInt(L"Algemeen", L"SystemDir", 0) != 0;
    bool showHiddenDirs = GetProfileInt(L"Algemeen", L"HiddenDir", 0) != 0;

    path = ExistingDirectory(path);
    // Reading goes by full paths: a directory too deep to be made current is read all the same.
    MakeCurrentDirectory(path);
    depth = CountDepth(path);

    if (path.size() > 3) AddEntry(1, 0, L"..", true, false, false, false, false, 0, 0, 0, true, true, false);

    std::wstring base = path;
    if (base.empty() || base.back() != L'\\') base += L'\\';

    int counted = 0;
    clock.Lap();
    auto take = [&](const WIN32_FIND_DATAW& data, bool isDirectory) {
        timings.enumerate += clock.Lap();
        bool marked = !markedNames.empty() && markedNames.find(std::wstring_view(data.cFileName)) != markedNames.end();
        timings.marks += clock.Lap();
        DWORD a = data.dwFileAttributes;
        if (AddEntry(2, -1, data.cFileName, isDirectory, a & FILE_ATTRIBUTE_SYSTEM, a & FILE_ATTRIBUTE_HIDDEN,
                     a & FILE_ATTRIBUTE_ARCHIVE, a & FILE_ATTRIBUTE_READONLY, ToUInt64(data.ftLastWriteTime),
                     isDirectory ? 0 : data.nFileSizeHigh, isDirectory ? 0 : data.nFileSizeLow,
                     isDirectory ? showSystemDirs : showSystem, isDirectory ? showHiddenDirs : showHidden, marked))
            ++counted;
        timings.add += clock.Lap();
    };
    // Directories are always listed with "*.*"; with that as the file mask one listing gives both.
    const std::wstring& mask = Program().fileMask;
    bool onePass = mask == L"*.*" || mask == L"*";
    Enumerate(LongPath(base + L"*.*"), true, [&](const WIN32_FIND_DATAW& data) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!IsDotName(data.cFileName)) take(data, true);
        } else if (onePass) {
            take(data, false);
        }
    });
    // A mask is matched by the system, which also matches the short 8.3 names.
    if (!onePass) {
        Enumerate(LongPath(base + mask), false, [&](const WIN32_FIND_DATAW& data) {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) take(data, false);
        });
    }
    timings.enumerate += clock.Lap();
    summaryBusy = false;
    SortEntries();
    timings.sort = clock.Lap();
    RestorePosition(counted);
    timings.position = clock.Lap();
    keepMarks = true;
    return counted;
}

void CFileList::RestorePosition(int counted)
{
    if (depth < 0 || depth >= PanelDepths) return;
    int rows = RowCount();
    auto reduce = [counted, rows](int& stored) {
        int value = stored;
        if (value >= counted) {
            value = counted >= 1 ? counted : 0;
            stored = value;
        }
        if (value > rows - 1) value = rows - 1;
        return value < 0 ? 0 : value;
    };
    int top = reduce(topIndex[depth]);
    int focus = reduce(focusIndex[depth]);
    if (rows == 0) return;
    list.EnsureVisible(rows - 1);
    list.EnsureVisible(top);
    list.SetItemState(focus, LVIS_FOCUSED, LVIS_FOCUSED);
}

void CFileList::RememberPosition()
{
    if (depth < 0 || depth >= PanelDepths) return;
    topIndex[depth] = list.GetTopIndex();
    int focused = list.GetFocusedItem();
    focusIndex[depth] = focused < 0 ? 0 : focused;
}
