// Delete of the panel's marked rows (or its cursor row): to the recycle bin or for good.
#include "panel/FileList.h"
#include "common/Program.h"
#include "common/RecentDirectories.h"
#include "common/Settings.h"
#include "fileops/CopyProgress.h"
#include "fileops/DeleteDialogs.h"
#include "fileops/FileOperation.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"

namespace {
struct DeleteRow {
    std::wstring path, name;
    bool isDirectory;
};

// The system's upper case, which knows the letters beyond ASCII.
std::wstring Upper(std::wstring text)
{
    if (!text.empty()) ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

// The system's text for an error code, empty when it has none.
std::wstring SystemText(DWORD error)
{
    wchar_t* buffer = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                               reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text;
}

void ShowNotDeleted(HWND owner, const std::wstring& path)
{
    std::wstring text = fw::LoadStr(IDS_DELETE_FAILED) + path;
    ::MessageBoxW(owner, text.c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
}
}

void CFileList::DeleteMarked()
{
    if (!context.operation || context.operation->busy) return;
    if (drive == L"FTP") return DeleteFtpMarked();
    std::vector<DeleteRow> rows;
    bool anyMarked = list.GetSelectedCount() > 0;
    int focused = list.GetFocusedItem();
    dirCount = 0;
    for (int row = 0; row < list.GetItemCount(); ++row) {
        if (anyMarked ? !list.IsSelected(row) : row != focused) continue;
        const FileEntry* entry = Entry(row);
        if (!entry || entry->kind == EntryParent) continue;
        bool isDirectory = entry->kind == EntryDirectory;
        if (isDirectory) ++dirCount;
        rows.push_back({FullName(*entry), entry->name, isDirectory});
    }
    if (rows.empty()) {
        ShowWarning(IDS_COPY_NOTHING);
        return;
    }
    if (GetProfileInt(L"Algemeen", L"BevestigingDelFiles", 1) == 1) {
        std::wstring what = rows.size() == 1 ? Upper(rows[0].path) : fw::Format(L"%d items", static_cast<int>(rows.size()));
        std::wstring text = fw::LoadStr(IDS_DELETE_QUESTION) + what + fw::LoadStr(IDS_DELETE_QUESTIONEND);
        if (::MessageBoxW(context.owner, text.c_str(), ProductName, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
    }
    RecordRecentDirectory(path);
    {
        CCopyProgress progress(*context.operation, context.owner, std::wstring(), L"STATUSREMOVE");
        CFileOperation operation(progress);
        progressWindow = progress.Dialog() ? progress.Dialog() : context.owner;
        deleteAllDirs = false;
        for (const DeleteRow& row : rows) {
            progress.Pump();
            if (progress.CancelRequested()) break;
            progress.ShowNames(row.path, std::wstring());
            if (row.isDirectory) {
                if (ConfirmDirectoryDelete(row.path) && operation.DeleteTree(row.path) != 0 &&
                    !progress.CancelRequested())
                    ShowNotDeleted(progress.Dialog(), row.path);
            } else {
                DeleteOneFileRow(row.path, row.name, operation);
            }
        }
        progressWindow = nullptr;
    }
    // The re-read shows what is really gone; what failed stays listed (and marked).
    if (!showsFoundFiles) ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(hwnd), 0);
    ::SetFocus(hwnd);
}

void CFileList::DeleteOneFileRow(const std::wstring& fullPath, const std::wstring& name, CFileOperation& operation)
{
    DWORD attributes = ::GetFileAttributesW(LongPath(fullPath).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        DWORD error = ::GetLastError();
        std::wstring caption = error ? SystemText(error) : std::wstring();
        if (caption.empty()) caption = fw::LoadStr(IDS_UNKNOWNERROR);
        std::wstring text = fw::Format(L"Error getting attributes of %ls", name.c_str());
        ::MessageBoxW(progressWindow, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)) {
        std::wstring text = ProtectedFileQuestion(name, attributes) + fw::LoadStr(IDS_DELETE_READONLY);
        if (::MessageBoxW(progressWindow, text.c_str(), ProductName, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    }
    // A file the user kept rather than delete for good (the bin could not take it) is not reported.
    if (operation.DeleteOneFile(fullPath) == Removal::Failed) ShowNotDeleted(progressWindow, fullPath);
}

bool CFileList::ConfirmDirectoryDelete(const std::wstring& directory)
{
    if (deleteAllDirs) return true;
    DWORD attributes = ::GetFileAttributesW(LongPath(directory).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    // A link goes as a link: what it points to is not asked about, and not touched.
    if (CFileOperation::IsLink(directory, attributes)) return true;
    bool empty = true;
    {
        WIN32_FIND_DATAW data;
        fw::UniqueFind find(::FindFirstFileW(LongPath(JoinPath(directory, L"*.*")).c_str(), &data));
        if (!find && ::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
        if (find) {
            do {
                if (lstrcmpW(data.cFileName, L".") && lstrcmpW(data.cFileName, L"..")) empty = false;
            } while (empty && ::FindNextFileW(find.Get(), &data));
        }
    }
    if (empty || GetProfileInt(L"Algemeen", L"BevestigingDelDirs", 1) == 0) return true;
    std::wstring text = fw::LoadStr(IDS_DELETE_DIRQUESTION) + directory + fw::LoadStr(IDS_DELETE_QUESTIONEND);
    CDeleteDirDialog dialog(text, dirCount >= 2);
    switch (dialog.Ask(progressWindow ? progressWindow : context.owner)) {
    case DirectoryAnswer::Yes: return true;
    case DirectoryAnswer::YesToAll: deleteAllDirs = true; return true;
    case DirectoryAnswer::Cancel: context.operation->cancelRequested = true; return false;
    case DirectoryAnswer::No: return false;
    }
    return false;
}
