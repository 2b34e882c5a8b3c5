// "DirComp" and "Synch": the checks, the question, the "COMPARE" dialog, marks, progress and report.
#include "tools/dircompare/DirCompareCommand.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/CopyProgress.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "frame/MainWindow.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include "tools/dircompare/DirSync.h"
#include <functional>
#include <set>

namespace {
// Runs the work once it is on screen, then closes itself.
class CDirCompareDialog : public fw::CDialog {
public:
    explicit CDirCompareDialog(std::function<void()> work) : fw::CDialog(L"COMPARE"), work(std::move(work)) {}

protected:
    bool OnInit() override
    {
        ::PostMessageW(hwnd, RunWork, 0, 0);
        return true;
    }
    void OnCancel() override {}
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg != RunWork) return fw::CDialog::OnMessage(msg, wp, lp);
        work();
        End(IDOK);
        return TRUE;
    }

private:
    static constexpr UINT RunWork = WM_APP + 1;
    std::function<void()> work;
};

// Restores the process's current directory when the command ends.
class CurrentDirectoryScope {
public:
    CurrentDirectoryScope() : saved(CurrentDirectory()) {}
    ~CurrentDirectoryScope() { MakeCurrentDirectory(saved); }
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

private:
    std::wstring saved;
};

bool ShowSystem() { return GetProfileInt(L"Algemeen", L"System", 0) != 0; }
bool ShowHidden() { return GetProfileInt(L"Algemeen", L"Hidden", 0) != 0; }

// The files of a panel as the compare sees them: from the file system, or the rows of an FTP panel.
bool ReadPanelFiles(CFileList& panel, std::vector<SideEntry>& out)
{
    if (panel.drive == L"FTP") {
        for (int row = 0; row < panel.RowCount(); ++row) {
            const FileEntry* e = panel.Entry(row);
            if (e && e->kind == EntryFile) out.push_back(MakeSideEntry(e->name, e->lastWrite, e->attributes));
        }
    } else {
        std::vector<SideEntry> all;
        if (!ReadSide(panel.path, all)) return false;
        for (SideEntry& e : all)
            if (!e.IsDirectory() && IsShown(e, ShowSystem(), ShowHidden())) out.push_back(std::move(e));
    }
    SortTable(out);
    return true;
}

void MarkFiles(CFileList& panel, const std::vector<SideEntry>& table, const std::vector<int>& indices)
{
    std::set<std::wstring> names;
    for (int i : indices) names.insert(table[static_cast<size_t>(i)].name);
    panel.summaryBusy = true;
    for (int row = 0; row < panel.RowCount(); ++row) {
        const FileEntry* e = panel.Entry(row);
        if (e && e->kind == EntryFile && names.count(e->name)) panel.SetMark(row, true);
    }
    panel.summaryBusy = false;
    panel.UpdateSelectionSummary();
}

void ClearMarks(CFileList& panel)
{
    panel.SetMark(-1, false);
    panel.UpdateSelectionSummary();
}

bool RefusedOnFoundFiles(CMainWindow& main)
{
    if (!main.LeftPanel().showsFoundFiles && !main.RightPanel().showsFoundFiles) return false;
    ShowWarning(IDS_NOTONFOUNDFILES);
    return true;
}

std::wstring NoteText(const SyncNote& note)
{
    int id = IDS_DIRSYNC_UNLISTABLE;
    switch (note.kind) {
    case SyncProblem::Twins: id = IDS_DIRSYNC_TWINS; break;
    case SyncProblem::FileAndDirectory: id = IDS_DIRSYNC_FILEDIR; break;
    case SyncProblem::Unlistable: id = IDS_DIRSYNC_UNLISTABLE; break;
    case SyncProblem::Link: id = IDS_DIRSYNC_LINK; break;
    case SyncProblem::NotCreated: id = IDS_DIRSYNC_NOTCREATED; break;
    }
    return fw::LoadStr(id) + note.path;
}

void ReportNotes(HWND owner, const std::vector<SyncNote>& notes)
{
    if (notes.empty()) return;
    constexpr size_t Shown = 15;
    std::wstring text = fw::LoadStr(IDS_DIRSYNC_LEFTALONE);
    for (size_t i = 0; i < notes.size() && i < Shown; ++i) text += L"\n" + NoteText(notes[i]);
    if (notes.size() > Shown)
        text += L"\n" + fw::Format(fw::LoadStr(IDS_DIRSYNC_MORE).c_str(), static_cast<int>(notes.size() - Shown));
    ::MessageBoxW(owner, text.c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
}
}

void CompareDirectories(CMainWindow& main)
{
    fw::WaitCursor wait;
    if (RefusedOnFoundFiles(main)) return;
    HelpContextScope help(IDM_DIRCOMP);
    CFileList& left = main.LeftPanel();
    CFileList& right = main.RightPanel();
    CDirCompareDialog dialog([&] {
        CurrentDirectoryScope keep;
        ClearMarks(left);
        ClearMarks(right);
        std::vector<SideEntry> l, r;
        for (CFileList* p : {&left, &right}) {
            if (!ReadPanelFiles(*p, p == &left ? l : r)) {
                ::MessageBoxW(main.Handle(), (fw::LoadStr(IDS_DIRCOMP_UNLISTABLE) + p->path).c_str(), ProductName,
                              MB_OK | MB_ICONEXCLAMATION);
                return;
            }
        }
        std::vector<int> markLeft, markRight;
        FindNewerFiles(l, r, markLeft, markRight);
        MarkFiles(left, l, markLeft);
        MarkFiles(right, r, markRight);
    });
    dialog.DoModal(main.Handle());
}

void SynchroniseDirectories(CMainWindow& main)
{
    if (RefusedOnFoundFiles(main)) return;
    CFileList& left = main.LeftPanel();
    CFileList& right = main.RightPanel();
    if (left.drive == L"FTP" || right.drive == L"FTP") {
        ShowWarning(IDS_NOTONFTP);
        return;
    }
    if (main.operation.busy) return;
    HelpContextScope help(IDM_SYNCH);
    int answer = ::MessageBoxW(main.Handle(), fw::LoadStr(IDS_DIRSYNC_QUESTION).c_str(), ProductName,
                               MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES && answer != IDNO) return;
    bool subdirectories = answer == IDYES;

    SyncResult result = SyncResult::Done;
    std::vector<SyncNote> notes;
    CDirCompareDialog dialog([&] {
        fw::WaitCursor wait;
        CurrentDirectoryScope keep;
        ClearMarks(left);
        ClearMarks(right);
        CCopyProgress progress(main.operation, main.Handle(), fw::LoadStr(IDS_DIRSYNC_TITLE));
        CFileOperation operation(progress);
        CDirSync sync(progress, operation);
        sync.showSystem = ShowSystem();
        sync.showHidden = ShowHidden();
        result = sync.Run(left.path, right.path, subdirectories);
        notes = std::move(sync.notes);
    });
    dialog.DoModal(main.Handle());
    // Both panels are read again however the run ended.
    left.keepMarks = right.keepMarks = false;
    main.ScheduleRefresh(true);
    main.ScheduleRefresh(false);
    if (result == SyncResult::SameOrNested) ShowWarning(IDS_DIRSYNC_NESTED);
    else if (result == SyncResult::Missing) ShowWarning(IDS_DIRSYNC_MISSING);
    ReportNotes(main.Handle(), notes);
}
