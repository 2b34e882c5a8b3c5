// The command line and the application buttons: placeholders, per-entry runs, starting programs,
// directory buttons, the function-key dialog and the prompt.
#include "frame/MainWindow.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/ShortNames.h"
#include "frame/ButtonDialogs.h"
#include "frame/Placeholders.h"
#include "framework/Resources.h"
#include "resource.h"
#include <shellapi.h>
#include <cwctype>

namespace {
std::wstring CurrentDirectory()
{
    DWORD n = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring dir(n, L'\0');
    dir.resize(::GetCurrentDirectoryW(n, dir.data()));
    return dir;
}

std::wstring SkipBlanks(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L' ');
    return first == std::wstring::npos ? std::wstring() : text.substr(first);
}

// The entries a command works on: the marked rows, else the cursor row; never "..".
std::vector<std::wstring> ChosenEntries(CFileList& panel)
{
    std::vector<std::wstring> names;
    fw::CListView& list = panel.List();
    bool anyMarked = list.GetSelectedCount() > 0;
    for (int row = 0; row < panel.RowCount(); ++row) {
        bool chosen = anyMarked ? list.IsSelected(row) : (list.GetItemState(row, LVIS_FOCUSED) & LVIS_FOCUSED) != 0;
        const FileEntry* entry = chosen ? panel.Entry(row) : nullptr;
        if (entry && entry->kind != EntryParent) names.push_back(panel.FullName(*entry));
    }
    return names;
}

PlaceholderValues OtherPanelValues(CFileList& other)
{
    const FileEntry* entry = other.Entry(other.List().GetFocusedItem());
    std::wstring full = entry && entry->kind != EntryParent ? ShortPathName(other.FullName(*entry)) : std::wstring();
    return MakePlaceholderValues(ShortPathName(other.path), full);
}
}

void CMainWindow::UpdatePrompt()
{
    std::wstring text = ActivePanel().path;
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    text += L'>';
    if (fw::GetText(prompt.Handle()) != text) prompt.SetText(text);
}

void CMainWindow::RunCommandLine()
{
    const std::wstring typed = cmdLine.Text();
    std::wstring text = SkipBlanks(typed);
    if (text.empty()) return;
    size_t blank = text.find(L' ');
    std::wstring word = text.substr(0, blank);
    std::wstring parameters = blank == std::wstring::npos ? std::wstring() : SkipBlanks(text.substr(blank));
    std::wstring directory = CurrentDirectory();

    fw::ErrorModeScope errors(0);
    CFileList& active = ActivePanel();
    std::vector<std::wstring> chosen = ChosenEntries(active);
    size_t n = chosen.size();
    bool perEntry = UsesPerEntryPlaceholders(parameters);
    PlaceholderValues other = OtherPanelValues(InactivePanel());
    std::wstring activeDirectory = ShortPathName(active.path);
    lastRuns.clear();

    for (size_t run = 1;; ++run) {
        std::wstring entry = run <= n ? ShortPathName(chosen[run - 1]) : std::wstring();
        StartedRun r;
        r.parameters = ExpandPlaceholders(parameters, MakePlaceholderValues(activeDirectory, entry), other, Quoting::Blanks);
        r.program = word;
        r.directory = directory;
        ResolveProgram(r);
        RouteThroughInterpreter(word, r, perEntry && n > 1 && run != n);
        if (!FitsCommandLine(r.program, r.parameters)) {
            ShowWarning(IDS_CMDLINE_TOOLONG);
            break;
        }
        if (StartRun(nullptr, SW_SHOWNORMAL, false, r)) cmdLine.AddToCommandHistory(typed);
        bool wait = r.interpreted && r.started;
        lastRuns.push_back(std::move(r));
        if (!perEntry || run >= n) break;
        if (wait) WaitForProcessOrInput(lastRuns.back().process.Get());
    }
}

void CMainWindow::LaunchAppButton(int index)
{
    std::wstring section = L"Knop" + std::to_wstring(index);
    const std::wstring program = GetProfileString(section.c_str(), L"Programma", L"");
    const std::wstring parameters = GetProfileString(section.c_str(), L"Parms", L"");
    const std::wstring workDir = GetProfileString(section.c_str(), L"WerkDir", L"");
    int window = GetProfileInt(section.c_str(), L"Window", 0);
    // A button with neither a program nor a directory has nothing to start.
    if (SkipBlanks(program).empty() && workDir.empty()) return;

    CFileList& active = ActivePanel();
    std::vector<std::wstring> chosen = ChosenEntries(active);
    size_t n = chosen.size();
    bool perEntry = false;
    if (UsesPerEntryPlaceholders(parameters) && n > 1)
        perEntry = ::MessageBoxW(hwnd, fw::LoadStr(IDS_ASK_PERENTRY).c_str(), ProductName,
                                 MB_YESNO | MB_ICONQUESTION) == IDYES;
    PlaceholderValues other = OtherPanelValues(InactivePanel());
    std::wstring activeDirectory = ShortPathName(active.path);
    HWND owner = appButtons[index] ? appButtons[index]->Handle() : hwnd;
    int show = window == 1 ? SW_SHOWMAXIMIZED : window == 2 ? SW_MINIMIZE : SW_SHOWNORMAL;
    fw::ErrorModeScope errors(0);
    lastRuns.clear();

    for (size_t run = 1;; ++run) {
        std::wstring entry = run <= n ? ShortPathName(chosen[run - 1]) : std::wstring();
        PlaceholderValues values = MakePlaceholderValues(activeDirectory, entry);
        StartedRun r;
        r.program = SkipBlanks(program);
        r.parameters = ExpandPlaceholders(parameters, values, other, Quoting::Blanks);
        r.directory = ExpandPlaceholders(workDir, values, other, Quoting::None);
        if (r.directory.size() >= MAX_PATH) {
            ShowWarning(IDS_CMDLINE_TOOLONG);
            return;
        }
        if (r.program.empty()) {
            GoToButtonDirectory(r.directory);
            return;
        }
        ResolveProgram(r);
        RouteThroughInterpreter(SkipBlanks(program), r, perEntry && n > 1 && run != n);
        if (!FitsCommandLine(r.program, r.parameters)) {
            ShowWarning(IDS_CMDLINE_TOOLONG);
            return;
        }
        if (!StartRun(owner, show, true, r)) ShowWarning(IDS_CANTSTART);
        bool wait = r.interpreted && r.started;
        lastRuns.push_back(std::move(r));
        if (!perEntry || run >= n) return;
        if (wait) WaitForProcessOrInput(lastRuns.back().process.Get());
    }
}

void CMainWindow::GoToButtonDirectory(std::wstring directory)
{
    if (directory.size() == 2 && directory[1] == L':') directory += L'\\';
    // A directory that cannot be entered leaves the panel where it is.
    if (!::SetCurrentDirectoryW(directory.c_str())) {
        ShowLastError(8190);
        CFileList& p = ActivePanel();
        if (p.drive != L"FTP") ::SetCurrentDirectoryW(p.path.c_str());
        return;
    }
    std::wstring path = CurrentDirectory();
    CFileList& p = ActivePanel();
    PushHistory(leftActive);
    std::wstring drive = path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) + L"\\" : p.drive;
    p.SetDirectory(drive, path);
    p.keepMarks = false;
    OnDriveUpdate(p.Handle());
}

void CMainWindow::OnFunctionKeysDialog()
{
    HelpContextScope help(IDM_FKEYS);
    CFunctionKeysDialog dialog;
    if (dialog.DoModal(hwnd) != IDOK) return;
    functionKeyMap = ReadFunctionKeyMap();
    for (int k = 0; k < 9; ++k) functionKeys[k + 1]->SetCaption(CommandNameAt(functionKeyMap.position[k]));
    UpdateFunctionKeyStates();
}
