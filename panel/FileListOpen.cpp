// What Enter, View and Edit do with the entry under the cursor, and the change-directory dialog.
#include "panel/FileList.h"
#include "common/Program.h"
#include "fileops/AssociatedProgram.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "common/RecentDirectories.h"
#include "common/Settings.h"
#include "fileops/ShortNames.h"
#include "framework/TextDialog.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/ViewEdit.h"
#include "tools/textedit/TextEditDialog.h"
#include "resource.h"
#include "tools/imageview/ImageViewDialog.h"
#include <shellapi.h>
#include <vector>

namespace {
bool IsArchiveName(const std::wstring& name)
{
    size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos) return false;
    std::wstring ext = name.substr(dot + 1);
    for (const wchar_t* a : {L"ZIP", L"TGZ", L"GZ", L"TAR", L"CAB", L"RAR"})
        if (::lstrcmpiW(ext.c_str(), a) == 0) return true;
    return false;
}

}

std::wstring CFileList::FullName(const FileEntry& entry) const { return EntryPath(path, entry.name); }

namespace {
// A configured viewer or editor gets the name as one quoted parameter.
bool StartExternal(HWND owner, const std::wstring& program, const std::wstring& file)
{
    // A name cannot carry a quote; a % would still be expanded inside the quotes.
    if (RunsThroughInterpreter(program) && file.find(L'%') != std::wstring::npos) {
        std::wstring text = fw::Format(fw::LoadStr(IDS_LAUNCH_UNSAFENAME).c_str(), file.c_str());
        ShowMessage(owner, text, MB_OK | MB_ICONWARNING);
        return false;
    }
    fw::ErrorModeScope errors(0);
    if (!ShellOpenFile(owner, L"OPEN", program, ParameterName(file), true)) {
        ShowWarning(IDS_CANTSTARTVIEWER);
        return false;
    }
    return true;
}
}

void ViewOrEditFile(HWND owner, const std::wstring& file, ViewEditMode mode)
{
    bool view = mode == ViewEditMode::View;
    std::wstring program = GetProfileString(L"Paden", view ? L"Viewer" : L"Editor", L"");
    if (GetProfileInt(L"Paden", view ? L"InternalViewer" : L"InternalEditor", view ? 0 : 2) != 0 && !program.empty()) {
        StartExternal(owner, program, file);
        return;
    }
    DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ShowMessage(owner, fw::LoadStr(IDS_TE_ISDIRECTORY) + file, MB_OK | MB_ICONWARNING);
        return;
    }
    // A picture goes to the image viewer; anything it declines goes on to the text viewer.
    if (view && ViewImage(owner, file)) return;
    bool newFile = mode == ViewEditMode::EditNew && attributes == INVALID_FILE_ATTRIBUTES;
    ::BringWindowToTop(::GetAncestor(owner, GA_ROOT));
    te::CTextEditDialog::Open(owner, file, view, newFile);
}

void CFileList::ViewOrEditCurrent(bool edit)
{
    const FileEntry* entry = Entry(list.GetFocusedItem());
    if (!entry) return;
    if (entry->kind != EntryFile) {
        ShowWarning(IDS_NOENTRY);
        return;
    }
    RecordRecentDirectory(path);
    HelpContextScope help(edit ? 5050 : 5190);
    std::wstring file = FullName(*entry);
    if (drive == L"FTP" && !FetchFtpFile(entry->name, file)) return;
    ViewOrEditFile(hwnd, file, edit ? ViewEditMode::Edit : ViewEditMode::View);
}

void CFileList::EditNewFile()
{
    if (drive == L"FTP") {
        ShowWarning(IDS_NOTONFTP);
        return;
    }
    RecordRecentDirectory(path);
    HelpContextScope help(5055);
    fw::CTextDialog dialog(L"EDITNEW", IDC_TEXT_FIELD, L"");
    if (dialog.DoModal(hwnd) != IDOK || dialog.Text().empty()) return;
    ViewOrEditFile(hwnd, EntryPath(path, dialog.Text()), ViewEditMode::EditNew);
}

bool CFileList::EnterDirectory(const std::wstring& name, bool parent)
{
    if (context.owner) ::SendMessageW(context.owner, pm::PushHistory, reinterpret_cast<WPARAM>(hwnd), 0);
    // Worked out from the panel's path: the current directory cannot hold a long one.
    std::wstring target = parent ? ParentDirectory(path) : EntryPath(path, name);
    if (target.empty()) target = path;
    if (!DirectoryExists(target)) {
        ShowLastError(8190);
        return false;
    }
    path = target;
    keepMarks = false;
    int newDepth = 0;
    if (!path.empty() && path.back() != L'\\')
        for (wchar_t c : path) newDepth += c == L'\\';
    // Back at the parent the cursor returns to the directory just left.
    if (!parent && newDepth < PanelDepths) topIndex[newDepth] = focusIndex[newDepth] = 0;
    if (parent && context.owner) ::SendMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(hwnd), 0);
    OnUpdate();
    if (context.owner) ::PostMessageW(context.owner, pm::PanelActivated, reinterpret_cast<WPARAM>(hwnd), 0);
    return true;
}

void CFileList::OpenCurrentEntry()
{
    const FileEntry* entry = Entry(list.GetFocusedItem());
    if (!entry) return;
    if (drive != L"FTP") MakeCurrentDirectory(path);
    RememberPosition();
    if (entry->kind == EntryDirectory || entry->kind == EntryParent) {
        if (drive == L"FTP") {
            FtpEnter(entry->name, entry->kind == EntryParent);
            return;
        }
        EnterDirectory(entry->name, entry->kind == EntryParent);
        return;
    }
    std::wstring full = FullName(*entry);
    if (IsArchiveName(full)) {
        if (drive == L"FTP" && !FetchFtpFile(entry->name, full)) return;
        BrowseArchive(full);
        return;
    }
    if (drive == L"FTP") {
        ShowWarning(IDS_NOTONFTP_PRINT);
        return;
    }
    UpdateSelectionSummary();
    if (OpenWithAssociation(hwnd, full)) return;
    RecordRecentDirectory(path);
}

void CFileList::ChangeDirectory()
{
    HelpContextScope help(6510);
    fw::CTextDialog dialog(L"CD", IDC_TEXT_FIELD, L"");
    if (dialog.DoModal(hwnd) != IDOK || dialog.Text().empty()) return;
    if (drive == L"FTP") {
        if (context.owner) ::SendMessageW(context.owner, pm::PushHistory, reinterpret_cast<WPARAM>(hwnd), 0);
        if (FtpChangeTo(dialog.Text(), true) && context.owner)
            ::SendMessageW(context.owner, pm::DriveUpdate, reinterpret_cast<WPARAM>(hwnd), 0);
        return;
    }
    if (context.owner) ::SendMessageW(context.owner, pm::PushHistory, reinterpret_cast<WPARAM>(hwnd), 0);
    // Resolved against the panel's path rather than through the current directory, which the
    // system limits to short paths.
    std::wstring target = ResolveTarget(dialog.Text(), path);
    while (target.size() > RootLength(target) && target.back() == L'\\') target.pop_back();
    if (!DirectoryExists(target)) {
        ShowLastError(8190);
        return;
    }
    path = target;
    if (path.size() >= 2 && path[1] == L':') drive = path.substr(0, 3);
    depth = 0;
    for (int i = 0; i < PanelDepths; ++i) topIndex[i] = focusIndex[i] = 0;
    keepMarks = false;
    OnUpdate();
    if (context.owner) ::SendMessageW(context.owner, pm::DriveUpdate, reinterpret_cast<WPARAM>(hwnd), 0);
}
