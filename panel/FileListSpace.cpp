// Rename of one entry, making directories and the space taken by a directory tree.
#include "panel/FileList.h"
#include "common/Program.h"
#include "common/RecentDirectories.h"
#include "fileops/CopyProgress.h"
#include "fileops/FileIdentity.h"
#include "fileops/FileOperation.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "fileops/SpaceDialog.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "framework/TextDialog.h"
#include "panel/ListingFormat.h"
#include "resource.h"

namespace {
void WarnWithDetail(HWND owner, int textId, const std::wstring& detail)
{
    std::wstring text = fw::LoadStr(textId) + detail;
    ::MessageBoxW(owner, text.c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
}
}

int CFileList::SingleEntryRow() const
{
    if (list.GetSelectedCount() == 1) return list.GetNextItem(-1, LVNI_SELECTED);
    return list.GetFocusedItem();
}

void CFileList::RenameEntry(const FileEntry& entry)
{
    if (entry.kind == EntryParent) return;
    fw::CTextDialog dialog(L"RENAME", IDC_TEXT_FIELD, entry.name);
    if (dialog.DoModal(context.owner) != IDOK) return;
    std::wstring typed = dialog.Text();
    if (typed.empty() || typed == entry.name) return;
    RecordRecentDirectory(path);
    if (drive == L"FTP") return RenameFtp(entry.name, typed);
    std::wstring source = FullName(entry);
    std::wstring target = JoinPath(path, typed);
    // Wine moves what a directory link points to instead of the link.
    if (entry.kind == EntryDirectory && CFileOperation::IsLink(source, ::GetFileAttributesW(LongPath(source).c_str()))) {
        WarnWithDetail(context.owner, IDS_RENAME_LINK, source);
        return;
    }
    // Never onto an existing entry: a rename replaces nothing.
    if (!::MoveFileExW(LongPath(source).c_str(), LongPath(target).c_str(), 0)) ShowLastError(IDS_COPY_WRITEERROR);
    keepMarks = false;
    ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(hwnd), 0);
}

void CFileList::MakeDirectory()
{
    fw::CTextDialog dialog(L"NEWDIR", IDC_TEXT_FIELD, std::wstring());
    {
        HelpContextScope help(IDM_MKDIR);
        if (dialog.DoModal(context.owner) != IDOK || dialog.Text().empty()) return;
    }
    RecordRecentDirectory(path);
    if (drive == L"FTP") return MakeFtpDirectory(dialog.Text());
    std::wstring target = ResolveTarget(dialog.Text(), path);
    if (!MakeDirectoryPath(target)) WarnWithDetail(context.owner, IDS_COPY_MKDIRFAILED, target);
    OnUpdate();
    // The cursor goes to the first level that was typed, when it lies in this directory.
    std::wstring base = JoinPath(path, std::wstring());
    std::wstring first;
    if (target.size() > base.size() && ::CompareStringOrdinal(target.c_str(), static_cast<int>(base.size()), base.c_str(),
                                                              static_cast<int>(base.size()), TRUE) == CSTR_EQUAL) {
        first = target.substr(base.size());
        first = first.substr(0, first.find(L'\\'));
    }
    int found = -1;
    for (int row = 0; row < list.GetItemCount() && !first.empty(); ++row) {
        const FileEntry* e = Entry(row);
        if (e && e->kind == EntryDirectory && ::lstrcmpiW(e->name.c_str(), first.c_str()) == 0) {
            found = row;
            break;
        }
    }
    if (found >= 0) MoveCursor(found);
    else if (list.GetItemCount() > 0) list.EnsureVisible(0);
    UpdateSelectionSummary();
}

bool CFileList::WalkSpace(const std::wstring& directory, CCopyProgress& progress)
{
    WIN32_FIND_DATAW data;
    fw::UniqueFind find(::FindFirstFileW(LongPath(JoinPath(directory, L"*.*")).c_str(), &data));
    if (!find) return true;
    do {
        progress.Pump();
        if (progress.CancelRequested()) return false;
        if (!lstrcmpW(data.cFileName, L".") || !lstrcmpW(data.cFileName, L"..")) continue;
        std::wstring full = JoinPath(directory, data.cFileName);
        progress.ShowNames(full, std::wstring());
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ++spaceDirs;
            // A link's target lies elsewhere (and may hold the tree itself).
            if (!IsLinkEntry(data) && !WalkSpace(full, progress)) return false;
        } else {
            ++spaceFiles;
            spaceBytes += static_cast<double>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        }
    } while (::FindNextFileW(find.Get(), &data));
    return true;
}

void CFileList::CalculateSpace()
{
    if (!context.operation || context.operation->busy) return;
    if (drive == L"FTP") return ShowWarning(IDS_NOTONFTP);
    int row = SingleEntryRow();
    const FileEntry* entry = row >= 0 ? Entry(row) : nullptr;
    if (!entry || entry->kind != EntryDirectory) return ShowWarning(IDS_NOTADIRECTORY);
    std::wstring full = FullName(*entry);
    RecordRecentDirectory(path);
    CSpaceDialog result;
    result.prompt = fw::LoadStr(IDS_SPACE_PROMPT) + full;
    spaceFiles = spaceDirs = 0;
    spaceBytes = 0;
    bool completed;
    {
        CCopyProgress progress(*context.operation, context.owner, std::wstring(), L"STATUSCALC");
        completed = WalkSpace(full, progress);
    }
    ::SetFocus(hwnd);
    if (!completed) return;
    wchar_t separator = Program().thousandSeparator[0];
    result.directories = FormatSize(static_cast<uint64_t>(spaceDirs), separator);
    result.files = FormatSize(static_cast<uint64_t>(spaceFiles), separator);
    result.bytes = FormatSize(spaceBytes, separator);
    HelpContextScope help(IDM_CALCSPACE);
    result.DoModal(context.owner);
}
