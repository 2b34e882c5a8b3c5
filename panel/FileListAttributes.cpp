// Attributes and last-write dates of the cursor entry or of the marked entries.
#include "panel/FileList.h"
#include "common/Program.h"
#include "common/RecentDirectories.h"
#include "fileops/AttributeDialogs.h"
#include "fileops/CopyProgress.h"
#include "fileops/DateTimeText.h"
#include "fileops/FileIdentity.h"
#include "fileops/FileOperation.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"

namespace {
// The dialog texts of a row's last-write time, in the regional order and separator.
void DateTexts(uint64_t lastWrite, std::wstring& date, std::wstring& time)
{
    FILETIME utc = {static_cast<DWORD>(lastWrite), static_cast<DWORD>(lastWrite >> 32)}, local;
    SYSTEMTIME st = {};
    if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st)) st = SYSTEMTIME{};
    LocalDateTime value;
    value.year = st.wYear;
    value.month = st.wMonth;
    value.day = st.wDay;
    value.hour = st.wHour;
    value.minute = st.wMinute;
    date = FormatDialogDate(value, Program().dateOrder[0], Program().dateSeparator[0]);
    time = FormatDialogTime(value);
}

// The files below a directory; links to directories are not entered.
void CollectFiles(const std::wstring& directory, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW data;
    fw::UniqueFind find(::FindFirstFileW(LongPath(JoinPath(directory, L"*.*")).c_str(), &data));
    if (!find) return;
    do {
        if (!lstrcmpW(data.cFileName, L".") || !lstrcmpW(data.cFileName, L"..")) continue;
        std::wstring full = JoinPath(directory, data.cFileName);
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(full);
        else if (!IsLinkEntry(data)) CollectFiles(full, out);
    } while (::FindNextFileW(find.Get(), &data));
}

DWORD CurrentAttributes(const std::wstring& path, uint32_t fallback)
{
    DWORD a = ::GetFileAttributesW(LongPath(path).c_str());
    return a == INVALID_FILE_ATTRIBUTES ? fallback : a;
}
}

int CFileList::BusyCount() const
{
    return (context.operation && context.operation->busy ? 1 : 0) + (summaryBusy ? 1 : 0);
}

void CFileList::RefreshAfterChange()
{
    RecordRecentDirectory(path);
    keepMarks = false;
    ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(hwnd), 0);
}

void CFileList::EditAttributes()
{
    if (drive == L"FTP") return ShowWarning(IDS_NOTONFTP);
    int row = SingleEntryRow();
    const FileEntry* entry = row >= 0 ? Entry(row) : nullptr;
    if (!entry || entry->kind != EntryFile) return ShowWarning(IDS_NOENTRY);
    std::wstring full = FullName(*entry);
    CAttributeDialog dialog(L"FILEATTR", {full}, false);
    dialog.prompt = fw::LoadStr(IDS_ATTR_FILEPROMPT) + full;
    dialog.initialAttributes = CurrentAttributes(full, entry->attributes);
    DateTexts(entry->lastWrite, dialog.dateText, dialog.timeText);
    HelpContextScope help(IDM_ATTRIBUTES);
    if (dialog.DoModal(context.owner) == IDOK) RefreshAfterChange();
}

void CFileList::EditAttributesAll()
{
    if (drive == L"FTP") return ShowWarning(IDS_NOTONFTP);
    int first = list.GetNextItem(-1, LVNI_SELECTED);
    const FileEntry* firstEntry = first >= 0 ? Entry(first) : nullptr;
    if (!firstEntry || firstEntry->kind != EntryFile) return ShowWarning(IDS_NOENTRY);
    std::vector<std::wstring> files;
    {
        fw::WaitCursor wait;
        for (int row = first; row >= 0; row = list.GetNextItem(row, LVNI_SELECTED)) {
            const FileEntry* entry = Entry(row);
            if (!entry || entry->kind == EntryParent) continue;
            std::wstring full = FullName(*entry);
            if (entry->kind == EntryFile) files.push_back(full);
            else if (!CFileOperation::IsLink(full, CurrentAttributes(full, 0))) CollectFiles(full, files);
        }
    }
    CAttributeDialog dialog(L"FILEATTRALL", files, true);
    dialog.prompt = fw::LoadStr(IDS_ATTR_SEVERALFILES);
    DateTexts(firstEntry->lastWrite, dialog.dateText, dialog.timeText);
    HelpContextScope help(IDM_ATTRIBUTES);
    if (dialog.DoModal(context.owner) == IDOK) RefreshAfterChange();
}

void CFileList::EditDirAttributes()
{
    if (drive == L"FTP") return ShowWarning(IDS_NOTONFTP);
    int row = SingleEntryRow();
    const FileEntry* entry = row >= 0 ? Entry(row) : nullptr;
    if (!entry || entry->kind != EntryDirectory) return ShowWarning(IDS_NOTADIRECTORY);
    std::wstring full = FullName(*entry);
    CAttributeDialog dialog(L"DIRATTR", {full}, false);
    dialog.prompt = fw::LoadStr(IDS_ATTR_DIRPROMPT) + full;
    dialog.initialAttributes = CurrentAttributes(full, entry->attributes);
    DateTexts(entry->lastWrite, dialog.dateText, dialog.timeText);
    HelpContextScope help(IDM_ATTRIBUTES);
    if (dialog.DoModal(context.owner) == IDOK) RefreshAfterChange();
}

void CFileList::EditDirAttributesAll()
{
    if (drive == L"FTP") return ShowWarning(IDS_NOTONFTP);
    std::vector<std::wstring> directories;
    const FileEntry* firstEntry = nullptr;
    for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED)) {
        const FileEntry* entry = Entry(row);
        if (!entry || entry->kind != EntryDirectory) continue;
        if (!firstEntry) firstEntry = entry;
        directories.push_back(FullName(*entry));
    }
    if (!firstEntry) return ShowWarning(IDS_NOTADIRECTORY);
    CAttributeDialog dialog(L"DIRATTRALL", directories, true);
    dialog.prompt = fw::LoadStr(IDS_ATTR_SEVERALDIRS);
    DateTexts(firstEntry->lastWrite, dialog.dateText, dialog.timeText);
    HelpContextScope help(IDM_ATTRIBUTES);
    if (dialog.DoModal(context.owner) == IDOK) RefreshAfterChange();
}
