// The command line and the application buttons: placeholders, per-entry runs, starting programs,
// directory buttons, the function-key dialog and the prompt.
#include "frame/MainWindow.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/FileSystem.h"
#include "fileops/ShortNames.h"
#include "frame/ButtonDialogs.h"
#include "frame/Placeholders.h"
#include "framework/Resources.h"
#include "resource.h"
#include <shellapi.h>
#include <cwctype>

namespace {
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

// A working directory, its backslash and the terminating null fit MAX_PATH.
constexpr size_t MaxWorkingDirectory = MAX_PATH - 2;

// The form of a directory a started program can take as its working directory; empty when none fits.
std::wstring WorkingDirectoryForm(const std::wstring& directory)
{
    if (directory.size() <= MaxWorkingDirectory) return directory;
    std::wstring shortForm = ShortPathName(LongPath(directory));
    if (shortForm.rfind(L"\\\\?\\", 0) == 0) shortForm.erase(0, 4);
    return shortForm.size() <= MaxWorkingDirectory ? shortForm : std::wstring();
}

void RequestOtherPanel(CFileList& other, RunRequest& request)
{
    const FileEntry* entry = other.Entry(other.List().GetFocusedItem());
    request.otherEntryName = entry && entry->kind != EntryParent ? other.FullName(*entry) : std::wstring();
    request.otherDirectoryName = other.path;
    request.other = MakePlaceholderValues(ShortPathName(other.path), ShortPathName(request.otherEntryName));
}
}

std::wstring CMainWindow::StartDirectory()
{
    // The active panel's directory, whatever panel was read last; an FTP panel has no local one.
    CFileList& active = ActivePanel();
    if (active.drive != L"FTP") return active.path;
    CFileList& other = InactivePanel();
    return other.drive != L"FTP" ? other.path : CurrentDirectory();
}

void CMainWindow::UpdatePrompt()
{
    std::wstring text = ActivePanel().path;
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
    text += L'>';
    if (fw::GetText(prompt.Handle()) != text) prompt.SetText(text);
}

bool CMainWindow::PrepareRuns(RunRequest request, const std::wstring& workDir, const std::vector<std::wstring>& chosen,
                              bool perEntry)
{
    lastRuns.clear();
    CFileList& active = ActivePanel();
    RequestOtherPanel(InactivePanel(), request);
    request.activeDirectoryName = active.path;
    std::wstring activeDirectory = ShortPathName(active.path);
    size_t n = chosen.size();
    size_t count = perEntry && n > 1 ? n : 1;
    std::vector<StartedRun> runs(count);
    for (size_t run = 1; run <= count; ++run) {
        request.activeEntryName = run <= n ? chosen[run - 1] : std::wstring();
        request.active = MakePlaceholderValues(activeDirectory, ShortPathName(request.activeEntryName));
        request.closeWhenDone = perEntry && n > 1 && run != n;
        std::wstring directory = ExpandPlaceholders(workDir, request.active, request.other, Quoting::None).text;
        directory = directory.empty() ? StartDirectory() : ResolveTarget(directory, StartDirectory());
        request.directory = WorkingDirectoryForm(directory);
        std::wstring refused = request.directory.empty() ? std::wstring() : PrepareRun(request, runs[run - 1]);
        if (!refused.empty()) {
            ShowMessage(hwnd, fw::Format(fw::LoadStr(IDS_LAUNCH_UNSAFENAME).c_str(), refused.c_str()),
                        MB_OK | MB_ICONWARNING);
            return false;
        }
        if (request.directory.empty() || !FitsCommandLine(runs[run - 1].program, runs[run - 1].parameters)) {
            ShowWarning(IDS_CMDLINE_TOOLONG);
            return false;
        }
    }
    lastRuns = std::move(runs);
    return true;
}

void CMainWindow::StartRuns(HWND owner, int show, const std::wstring& typed)
{
    for (size_t i = 0; i < lastRuns.size(); ++i) {
        StartedRun& run = lastRuns[i];
        // The command line leaves a failed start to the system; a button says so.
        if (StartRun(owner, show, typed.empty(), run)) {
            if (!typed.empty()) cmdLine.AddToCommandHistory(typed);
        } else if (typed.empty()) {
            ShowWarning(IDS_CANTSTART);
        }
        if (i + 1 < lastRuns.size() && run.interpreted && run.started) WaitForProcessOrInput(run.process.Get());
    }
}

void CMainWindow::RunCommandLine()
{
    const std::wstring typed = cmdLine.Text();
    std::wstring text = SkipBlanks(typed);
    if (text.empty()) return;
    size_t blank = text.find(L' ');
    RunRequest request;
    request.programWord = text.substr(0, blank);
    request.parameterText = blank == std::wstring::npos ? std::wstring() : SkipBlanks(text.substr(blank));

    fw::ErrorModeScope errors(0);
    std::vector<std::wstring> chosen = ChosenEntries(ActivePanel());
    if (!PrepareRuns(request, std::wstring(), chosen, UsesPerEntryPlaceholders(request.parameterText))) return;
    StartRuns(nullptr, SW_SHOWNORMAL, typed);
}

void CMainWindow::LaunchAppButton(int index)
{
    std::wstring section = L"Knop" + std::to_wstring(index);
    const std::wstring program = SkipBlanks(GetProfileString(section.c_str(), L"Programma", L""));
    const std::wstring parameters = GetProfileString(section.c_str(), L"Parms", L"");
    const std::wstring workDir = GetProfileString(section.c_str(), L"WerkDir", L"");
    int window = GetProfileInt(section.c_str(), L"Window", 0);
    // A button with neither a program nor a directory has nothing to start.
    if (program.empty() && workDir.empty()) return;

    std::vector<std::wstring> chosen = ChosenEntries(ActivePanel());
    if (program.empty()) {
        RunRequest request;
        RequestOtherPanel(InactivePanel(), request);
        std::wstring first = chosen.empty() ? std::wstring() : ShortPathName(chosen[0]);
        PlaceholderValues active = MakePlaceholderValues(ShortPathName(ActivePanel().path), first);
        GoToButtonDirectory(ExpandPlaceholders(workDir, active, request.other, Quoting::None).text);
        return;
    }
    bool perEntry = false;
    if (UsesPerEntryPlaceholders(parameters) && chosen.size() > 1)
        perEntry = ::MessageBoxW(hwnd, fw::LoadStr(IDS_ASK_PERENTRY).c_str(), ProductName,
                                 MB_YESNO | MB_ICONQUESTION) == IDYES;
    HWND owner = appButtons[index] ? appButtons[index]->Handle() : hwnd;
    int show = window == 1 ? SW_SHOWMAXIMIZED : window == 2 ? SW_MINIMIZE : SW_SHOWNORMAL;
    fw::ErrorModeScope errors(0);
    RunRequest request;
    request.programWord = program;
    request.parameterText = parameters;
    if (!PrepareRuns(request, workDir, chosen, perEntry)) return;
    StartRuns(owner, show, std::wstring());
}

void CMainWindow::GoToButtonDirectory(std::wstring directory)
{
    // A relative directory is taken from the active panel's, like "C:" from the root of C.
    directory = ResolveTarget(directory, StartDirectory());
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
