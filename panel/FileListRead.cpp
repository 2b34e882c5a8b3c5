// Reading a local directory into the panel and the refresh that every operation ends with.
#include "panel/FileList.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include "panel/EntryCompare.h"
#include <algorithm>

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
        DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return path;
        if (path.size() <= 3) return path;
        size_t slash = path.find_last_of(L'\\', path.size() - 2);
        if (slash == std::wstring::npos) return path;
        path = slash <= 2 ? path.substr(0, 3) : path.substr(0, slash);
    }
    return path;
}

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM mode)
{
    return CompareEntries(*reinterpret_cast<const FileEntry*>(a), *reinterpret_cast<const FileEntry*>(b),
                          static_cast<int>(mode));
}
}

const FileEntry* CFileList::Entry(int row) const
{
    if (row < 0 || row >= list.GetItemCount()) return nullptr;
    return reinterpret_cast<const FileEntry*>(list.GetItemData(row));
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
    if (list.InsertItem(index, reinterpret_cast<LPARAM>(entry.get()), marked ? LVIS_SELECTED : 0) < 0)
        return false;
    entries.push_back(std::move(entry));
    return true;
}

void CFileList::ClearEntries()
{
    if (list.Handle()) list.DeleteAllItems();
    entries.clear();
}

void CFileList::SortEntries()
{
    list.SortItems(CompareRows, sortMode);
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
        // An FTP panel is read by the FTP source once it exists; until then it stays empty.
        if (drive != L"FTP") ReadLocalDirectory();
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
    markedNames.ResetContent();
    if (keepMarks) {
        for (int row = 0; row < list.GetItemCount(); ++row) {
            const FileEntry* entry = Entry(row);
            if (entry && entry->kind != EntryParent && list.IsSelected(row)) markedNames.AddString(entry->name);
        }
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
    ::SetCurrentDirectoryW(path.c_str());
    depth = CountDepth(path);

    if (path.size() > 3) AddEntry(1, 0, L"..", true, false, false, false, false, 0, 0, 0, true, true, false);

    auto isMarked = [this](const wchar_t* name) {
        PhaseClock markClock;
        bool found = markedNames.GetCount() > 0 && markedNames.FindStringExact(name) >= 0;
        timings.marks += markClock.Lap();
        return found;
    };
    std::wstring base = path;
    if (base.empty() || base.back() != L'\\') base += L'\\';
    // Paths beyond MAX_PATH need the extended-length form to be enumerated at all.
    std::wstring prefix = base.size() + 4 > MAX_PATH && base.rfind(L"\\\\", 0) != 0 ? L"\\\\?\\" + base : base;

    clock.Lap();
    double markedBefore = timings.marks;
    int counted = 0;
    int index = list.GetItemCount();
    WIN32_FIND_DATAW data;
    {
        fw::UniqueFind find(::FindFirstFileW((prefix + L"*.*").c_str(), &data));
        if (find) {
            do {
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
                if (!lstrcmpW(data.cFileName, L".") || !lstrcmpW(data.cFileName, L"..")) continue;
                DWORD a = data.dwFileAttributes;
                bool marked = isMarked(data.cFileName);
                PhaseClock addClock;
                bool added = AddEntry(2, index, data.cFileName, true, a & FILE_ATTRIBUTE_SYSTEM, a & FILE_ATTRIBUTE_HIDDEN,
                             a & FILE_ATTRIBUTE_ARCHIVE, a & FILE_ATTRIBUTE_READONLY, ToUInt64(data.ftLastWriteTime),
                             0, 0, showSystemDirs, showHiddenDirs, marked);
                timings.add += addClock.Lap();
                if (added) {
                    ++counted;
                    ++index;
                }
            } while (::FindNextFileW(find.Get(), &data));
        }
    }
    {
        fw::UniqueFind find(::FindFirstFileW((prefix + Program().fileMask).c_str(), &data));
        if (find) {
            do {
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                DWORD a = data.dwFileAttributes;
                bool marked = isMarked(data.cFileName);
                PhaseClock addClock;
                bool added = AddEntry(2, index, data.cFileName, false, a & FILE_ATTRIBUTE_SYSTEM, a & FILE_ATTRIBUTE_HIDDEN,
                             a & FILE_ATTRIBUTE_ARCHIVE, a & FILE_ATTRIBUTE_READONLY, ToUInt64(data.ftLastWriteTime),
                             data.nFileSizeHigh, data.nFileSizeLow, showSystem, showHidden, marked);
                timings.add += addClock.Lap();
                if (added) {
                    ++counted;
                    ++index;
                }
            } while (::FindNextFileW(find.Get(), &data));
        }
    }
    summaryBusy = false;
    timings.enumerate = clock.Lap() - timings.add - (timings.marks - markedBefore);
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
    int rows = list.GetItemCount();
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
