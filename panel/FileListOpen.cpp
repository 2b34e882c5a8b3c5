// What Enter, View and Edit do with the entry under the cursor, and the change-directory dialog.
#include "panel/FileList.h"
#include "common/Program.h"
#include "fileops/FileSystem.h"
#include "common/RecentDirectories.h"
#include "common/Settings.h"
#include "fileops/ShortNames.h"
#include "framework/TextDialog.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/ViewEdit.h"
#include "tools/textedit/TextEditDialog.h"
#include "resource.h"
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


// The shell's own error boxes are suppressed: the caller shows the program's message instead.
bool ShellOpen(HWND owner, const wchar_t* verb, const std::wstring& file, const std::wstring& parameters = L"")
{
    SHELLEXECUTEINFOW info = {sizeof(info)};
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
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
    if (!ShellOpen(owner, L"OPEN", program, ParameterName(file))) {
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
    // Viewing: the image viewer's try belongs here, before the text viewer (modal; return when it
    // showed the file as an image).
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
    // The FTP fetch comes with the FTP panel source; until then an FTP file cannot be opened here.
    if (drive == L"FTP") {
        ShowWarning(IDS_NOTONFTP);
        return;
    }
    ViewOrEditFile(hwnd, FullName(*entry), edit ? ViewEditMode::Edit : ViewEditMode::View);
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
    ::SetCurrentDirectoryW(path.c_str());
    std::wstring target = parent ? std::wstring(L"..") : EntryPath(path, name);
    if (!::SetCurrentDirectoryW(target.c_str())) {
        ShowLastError(8190);
        return false;
    }
    path = CurrentDirectory();
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
    if (drive != L"FTP") ::SetCurrentDirectoryW(path.c_str());
    RememberPosition();
    if (entry->kind == EntryDirectory || entry->kind == EntryParent) {
        if (drive == L"FTP") return; // the FTP source enters its own directories
        EnterDirectory(entry->name, entry->kind == EntryParent);
        return;
    }
    std::wstring full = FullName(*entry);
    if (IsArchiveName(full)) {
        ShowWarning(IDS_NOARCHIVES);
        return;
    }
    if (drive == L"FTP") {
        ShowWarning(IDS_NOTONFTP_PRINT);
        return;
    }
    UpdateSelectionSummary();
    fw::ErrorModeScope errors(0);
    if (ShellOpen(hwnd, L"open", full)) return;
    wchar_t found[MAX_PATH + 1] = {};
    INT_PTR result = reinterpret_cast<INT_PTR>(::FindExecutableW(full.c_str(), nullptr, found));
    if (result > 31) {
        std::wstring program = found;
        if (program.size() < 4 || ::lstrcmpiW(program.c_str() + program.size() - 4, L".exe") != 0) {
            program += L' ';
            ::CharLowerBuffW(program.data(), static_cast<DWORD>(program.size()));
            size_t exe = program.find(L"exe");
            if (exe != std::wstring::npos) program = program.substr(0, exe + 3);
        }
        bool isFileItself = program.size() >= entry->name.size() &&
                            ::lstrcmpiW(program.c_str() + program.size() - entry->name.size(), entry->name.c_str()) == 0;
        if (!isFileItself) {
            if (::lstrcmpiW(program.c_str(), L"explorer ") == 0) {
                if (!ShellOpen(hwnd, L"OPEN", full)) ShowWarning(IDS_CANTSTART);
                return;
            }
            program += L" " + full;
        }
        STARTUPINFOW si = {sizeof(si)};
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOWNORMAL;
        PROCESS_INFORMATION pi = {};
        std::vector<wchar_t> commandLine(program.begin(), program.end());
        commandLine.push_back(0);
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            ::CloseHandle(pi.hThread);
            ::CloseHandle(pi.hProcess);
        } else {
            ShowWarning(IDS_CANTSTART);
        }
    } else if (result >= 2) {
        ShowWarning(IDS_NOPROGRAM);
    } else {
        ShowWarning(IDS_OUTOFMEMORY);
    }
    RecordRecentDirectory(path);
}

void CFileList::ChangeDirectory()
{
    HelpContextScope help(6510);
    fw::CTextDialog dialog(L"CD", IDC_TEXT_FIELD, L"");
    if (dialog.DoModal(hwnd) != IDOK || dialog.Text().empty()) return;
    if (drive == L"FTP") return; // the FTP source changes its own directories
    if (context.owner) ::SendMessageW(context.owner, pm::PushHistory, reinterpret_cast<WPARAM>(hwnd), 0);
    ::SetCurrentDirectoryW(path.c_str());
    if (!::SetCurrentDirectoryW(dialog.Text().c_str())) {
        ShowLastError(8190);
        return;
    }
    path = CurrentDirectory();
    if (path.size() >= 2 && path[1] == L':') drive = path.substr(0, 3);
    depth = 0;
    for (int i = 0; i < PanelDepths; ++i) topIndex[i] = focusIndex[i] = 0;
    keepMarks = false;
    OnUpdate();
    if (context.owner) ::SendMessageW(context.owner, pm::DriveUpdate, reinterpret_cast<WPARAM>(hwnd), 0);
}
