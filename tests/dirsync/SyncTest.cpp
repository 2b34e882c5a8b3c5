// Directory compare and synchronise through the real commands, the 8270 question and the progress window.
#include "common/Settings.h"
#include "delete/DeleteSupport.h"
#include "fileops/FileIdentity.h"
#include "framework/Resources.h"
#include "resource.h"
#include "tools/dircompare/DirSync.h"
#include <algorithm>

using namespace test;

namespace {
std::vector<std::wstring> Listing(const std::wstring& dir)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring n = data.cFileName;
        if (n != L"." && n != L"..") names.push_back(n);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

// A file with this content, last written that many minutes ago.
void Put(const std::wstring& path, const std::string& content, int minutesAgo)
{
    ASSERT_TRUE(MakeFile(path, content));
    SetWriteTime(path, -60LL * minutesAgo);
}

std::map<std::wstring, FileIdentity> Identities(const std::wstring& root)
{
    std::map<std::wstring, FileIdentity> out;
    for (const auto& [rel, content] : Snapshot(root)) {
        if (content == "<dir>") continue;
        FileIdentity id;
        IdentityOf(root + L"\\" + rel, id);
        out[rel] = id;
    }
    return out;
}

class DirCompareBase : public DeleteFixture {
protected:
    void SetUp() override
    {
        DeleteFixture::SetUp();
        WriteProfileInt(L"Algemeen", L"BevestigingOverwrite", 0);
    }
    // Runs "Synch" with this answer to the question; later boxes (the report) get OK.
    std::vector<std::wstring> Sync(int answer)
    {
        ShowBoth();
        Answers answers({{L"#32770", Rule{{answer, IDOK}}}});
        Command(IDM_SYNCH);
        return answers.Boxes();
    }
    static bool Mentions(const std::vector<std::wstring>& boxes, int textId, const std::wstring& detail = L"")
    {
        std::wstring text = fw::LoadStr(textId) + detail;
        return std::any_of(boxes.begin(), boxes.end(), [&](const std::wstring& b) { return b.find(text) != std::wstring::npos; });
    }
};

class DirCompare : public DirCompareBase {};
class Synchronise : public DirCompareBase {};
}

TEST_F(DirCompare, MarksWhatTheOtherSideLacksOrHoldsOlderAndNothingElse)
{
    Put(src / L"only-left.txt", "l", 10);
    Put(src / L"newer-left.txt", "new", 5);
    Put(dst / L"newer-left.txt", "old", 60);
    Put(src / L"same.txt", "s", 30);
    Put(dst / L"same.txt", "s", 30);
    Put(src / L"older-left.txt", "old", 60);
    Put(dst / L"older-left.txt", "new", 5);
    Put(dst / L"only-right.txt", "r", 10);
    Put(src / L"Report.txt", "a", 20);
    Put(dst / L"report.txt", "a", 20);
    ASSERT_TRUE(MakeDir(src / L"subdir-left"));
    Put(src / L"subdir-left\\inner.txt", "i", 1);
    ShowBoth();
    Mark({L"same.txt"});
    Answers answers({{L"#32770", Rule{{IDOK}}}});
    Command(IDM_DIRCOMP);
    EXPECT_TRUE(answers.Boxes().empty());
    auto sorted = [](std::vector<std::wstring> v) { std::sort(v.begin(), v.end()); return v; };
    EXPECT_EQ(sorted(MarkedNames(Left())), (std::vector<std::wstring>{L"newer-left.txt", L"only-left.txt"}));
    EXPECT_EQ(sorted(MarkedNames(Right())), (std::vector<std::wstring>{L"older-left.txt", L"only-right.txt"}));
    // Compare copies nothing.
    EXPECT_FALSE(Exists(dst / L"only-left.txt"));
}

TEST_F(DirCompare, FoundFilesInEitherPanelAreRefusedWith8210)
{
    Put(src / L"a.txt", "a", 1);
    ShowBoth();
    for (UINT command : {IDM_DIRCOMP, IDM_SYNCH}) {
        Right().showsFoundFiles = true;
        Answers answers({{L"#32770", Rule{{IDOK}}}});
        Command(command);
        Right().showsFoundFiles = false;
        ASSERT_EQ(answers.Boxes().size(), 1u);
        EXPECT_TRUE(Mentions(answers.Boxes(), IDS_NOTONFOUNDFILES));
    }
    EXPECT_TRUE(MarkedNames(Left()).empty());
    EXPECT_FALSE(Exists(dst / L"a.txt"));
}

TEST_F(Synchronise, ThreeLevelsBothWaysKeepTimesAndASecondRunCopiesNothing)
{
    Put(src / L"top.txt", "top", 10);
    Put(src / L"both.txt", "new left", 5);
    Put(dst / L"both.txt", "old right", 60);
    Put(dst / L"right.txt", "right", 10);
    ASSERT_TRUE(MakeDir(src / L"d1") && MakeDir(src / L"d1\\d2") && MakeDir(src / L"d1\\d2\\d3"));
    ASSERT_TRUE(MakeDir(dst / L"d1") && MakeDir(dst / L"d1\\d2") && MakeDir(dst / L"d1\\d2\\d3"));
    Put(src / L"d1\\l1.txt", "l1", 10);
    Put(dst / L"d1\\r1.txt", "r1", 10);
    Put(src / L"d1\\d2\\l2.txt", "l2", 10);
    Put(dst / L"d1\\d2\\r2.txt", "r2", 10);
    Put(src / L"d1\\d2\\d3\\deep.txt", "old left", 30);
    Put(dst / L"d1\\d2\\d3\\deep.txt", "new right", 2);
    Put(src / L"d1\\d2\\d3\\l3.txt", "l3", 10);
    ASSERT_TRUE(MakeDir(dst / L"only-right") && MakeDir(dst / L"only-right\\below"));
    Put(dst / L"only-right\\below\\r.txt", "r", 10);

    std::vector<std::wstring> boxes = Sync(IDYES);
    ASSERT_EQ(boxes.size(), 1u); // the question only: nothing was left alone
    EXPECT_TRUE(Mentions(boxes, IDS_DIRSYNC_QUESTION));
    auto left = Snapshot(src.Path()), right = Snapshot(dst.Path());
    EXPECT_EQ(left, right);
    EXPECT_EQ(left[L"both.txt"], "new left");
    EXPECT_EQ(left[L"d1\\d2\\d3\\deep.txt"], "new right");
    EXPECT_EQ(left[L"only-right\\below\\r.txt"], "r");
    for (const auto& [rel, content] : left) {
        if (content == "<dir>") continue;
        EXPECT_EQ(WriteTime(src / rel), WriteTime(dst / rel)) << Narrow(rel);
    }
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
    // Both panels were read again.
    EXPECT_TRUE(PumpUntil([&] { return RowOf(Left(), L"right.txt") >= 0 && RowOf(Right(), L"top.txt") >= 0; }));
    EXPECT_FALSE(main->operation.busy);
    EXPECT_TRUE(::IsWindowEnabled(main->Handle()));

    auto idsLeft = Identities(src.Path()), idsRight = Identities(dst.Path());
    boxes = Sync(IDYES);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(Identities(src.Path()) == idsLeft);
    EXPECT_TRUE(Identities(dst.Path()) == idsRight);
    EXPECT_EQ(Snapshot(src.Path()), left);
}

TEST_F(Synchronise, NoMeansTheseTwoDirectoriesOnlyAndCancelEndsIt)
{
    Put(src / L"a.txt", "a", 5);
    ASSERT_TRUE(MakeDir(src / L"sub"));
    Put(src / L"sub\\b.txt", "b", 5);
    Sync(IDCANCEL);
    EXPECT_TRUE(Listing(dst.Path()).empty());
    Sync(IDNO);
    EXPECT_EQ(Listing(dst.Path()), (std::vector<std::wstring>{L"a.txt"}));
}

TEST_F(Synchronise, CancelInTheProgressWindowStopsAndLeavesNoHalfFile)
{
    std::string content = RandomBytes(200000, 3);
    for (int i = 0; i < 300; ++i) Put(src / (L"f" + std::to_wstring(1000 + i) + L".bin"), content, 5);
    static HWND progress = nullptr;
    progress = nullptr;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND found = ::FindWindowW(L"#32770", fw::LoadStr(IDS_DIRSYNC_TITLE).c_str());
        if (found && !progress) {
            progress = found;
            ::PostMessageW(found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    });
    Sync(IDYES);
    ::KillTimer(nullptr, timer);
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(main->operation.cancelRequested);
    int copied = FilesIn(dst.Path());
    EXPECT_LT(copied, 300);
    for (const std::wstring& name : Listing(dst.Path())) EXPECT_EQ(ReadAll(dst / name), content) << Narrow(name);
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
}

TEST_F(Synchronise, OnlyTheTimeDecidesAndTheTargetKeepsItsSpelling)
{
    Put(src / L"Report.txt", "newer left", 2);
    Put(dst / L"report.txt", "older right", 50);
    Put(src / L"Data.txt", "older left", 50);
    Put(dst / L"DATA.TXT", "newer right", 2);
    Sync(IDYES);
    EXPECT_EQ(Listing(src.Path()), (std::vector<std::wstring>{L"Data.txt", L"Report.txt"}));
    EXPECT_EQ(Listing(dst.Path()), (std::vector<std::wstring>{L"DATA.TXT", L"report.txt"}));
    EXPECT_EQ(ReadAll(dst / L"report.txt"), "newer left");
    EXPECT_EQ(ReadAll(src / L"Report.txt"), "newer left");
    EXPECT_EQ(ReadAll(src / L"Data.txt"), "newer right");
}

TEST_F(Synchronise, NamesThatALocaleSortsTogetherStayInStep)
{
    std::vector<std::wstring> names = {L"a-b.txt", L"ab.txt", L"a_b.txt", L"\u00c4.txt", L"a b.txt", L"ab-.txt"};
    for (const std::wstring& n : names) {
        Put(src / n, "left " + Narrow(n), 30);
        Put(dst / n, "right " + Narrow(n), 30);
    }
    Put(src / L"ab.txt", "newest", 1);
    std::vector<std::wstring> boxes = Sync(IDYES);
    EXPECT_EQ(boxes.size(), 1u);
    for (const std::wstring& n : names) {
        EXPECT_EQ(ReadAll(dst / n), n == L"ab.txt" ? "newest" : "right " + Narrow(n)) << Narrow(n);
        EXPECT_EQ(ReadAll(src / n), n == L"ab.txt" ? "newest" : "left " + Narrow(n)) << Narrow(n);
    }
}

TEST_F(Synchronise, TheSameOrANestedDirectoryByAnotherSpellingIsRefused)
{
    ASSERT_TRUE(MakeDir(src / L"inner"));
    Put(src / L"a.txt", "a", 5);
    auto before = Snapshot(src.Path());
    std::wstring other = ThroughUnixRoot(src.Path());
    ASSERT_FALSE(other.empty());
    for (const std::wstring& right : {other, other + L"\\inner"}) {
        Show(Left(), src.Path());
        Show(Right(), right);
        Answers answers({{L"#32770", Rule{{IDYES, IDOK}}}});
        Command(IDM_SYNCH);
        EXPECT_TRUE(Mentions(answers.Boxes(), IDS_DIRSYNC_NESTED)) << Narrow(right);
        EXPECT_EQ(Snapshot(src.Path()), before);
    }
}

TEST_F(Synchronise, LinksAreNeitherEnteredNorMadeAndTheOutsideStaysUntouched)
{
    TempDir outside;
    Put(outside / L"o.txt", "outside", 60);
    ASSERT_TRUE(MakeLink(src / L"lnk", outside.Path()));
    ASSERT_TRUE(MakeLink(src / L"faced", outside.Path()));
    ASSERT_TRUE(MakeDir(dst / L"faced"));
    Put(dst / L"faced\\new.txt", "would go outside", 1);
    Put(dst / L"o.txt", "newer, beside", 1);
    auto outsideBefore = Snapshot(outside.Path());
    std::vector<std::wstring> boxes = Sync(IDYES);
    EXPECT_EQ(Snapshot(outside.Path()), outsideBefore);
    EXPECT_FALSE(Exists(dst / L"lnk"));
    EXPECT_TRUE(Mentions(boxes, IDS_DIRSYNC_LINK, src / L"lnk"));
    EXPECT_TRUE(Mentions(boxes, IDS_DIRSYNC_LINK, src / L"faced"));
    EXPECT_EQ(ReadAll(src / L"o.txt"), "newer, beside");
}

TEST_F(Synchronise, AFileFacingADirectoryAndCaseTwinsAreReportedAndLeftAlone)
{
    Put(src / L"thing", "a file", 1);
    ASSERT_TRUE(MakeDir(dst / L"thing"));
    Put(dst / L"thing\\inside.txt", "i", 1);
    // Two names differing only in case can exist side by side only through the Unix side.
    ASSERT_TRUE(RunShell("cd " + ShellQuote(UnixPath(src.Path())) + " && echo one > Case.txt && echo two > case.txt"));
    Put(dst / L"CASE.TXT", "older", 120);
    auto left = Snapshot(src.Path()), right = Snapshot(dst.Path());
    std::vector<std::wstring> boxes = Sync(IDYES);
    EXPECT_TRUE(Mentions(boxes, IDS_DIRSYNC_FILEDIR, src / L"thing"));
    EXPECT_TRUE(Mentions(boxes, IDS_DIRSYNC_TWINS));
    EXPECT_EQ(Snapshot(src.Path()), left);
    EXPECT_EQ(Snapshot(dst.Path()), right);
}

namespace {
// Progress without windows; the first look at the queue lets another program change the target.
class ChangingUi : public COperationUi {
public:
    std::function<void()> onFirstPump;
    void Pump() override
    {
        if (onFirstPump) std::exchange(onFirstPump, nullptr)();
    }
    bool CancelRequested() const override { return false; }
    void RequestCancel() override {}
    void ShowNames(const std::wstring&, const std::wstring&) override {}
    OverwriteAnswer ConfirmOverwrite(const OverwriteQuestion&) override
    {
        ++questions;
        return OverwriteAnswer::Overwrite;
    }
    void ShowError(int) override { ++errors; }
    void ShowProblem(int, const std::wstring&) override { ++errors; }
    void ShowWarning(int) override { ++errors; }
    bool RecycleMode() const override { return false; }
    HWND Owner() const override { return nullptr; }
    int questions = 0, errors = 0;
};
}

TEST(SyncEngine, ATargetMadeNewerAfterTheListingIsNotReplaced)
{
    TempDir l, r;
    Put(l / L"f.txt", "left, newer when listed", 10);
    Put(r / L"f.txt", "right, older when listed", 60);
    ChangingUi ui;
    ui.onFirstPump = [&] {
        ASSERT_TRUE(RunShell("echo newest > " + ShellQuote(UnixPath(r / L"f.txt"))));
    };
    CFileOperation operation(ui);
    CDirSync sync(ui, operation);
    EXPECT_EQ(sync.Run(l.Path(), r.Path(), true), SyncResult::Done);
    EXPECT_EQ(ReadAll(r / L"f.txt"), "newest\n");
    EXPECT_EQ(ReadAll(l / L"f.txt"), "left, newer when listed");
    EXPECT_EQ(sync.copied, 0);
    EXPECT_EQ(ui.questions, 0);
    EXPECT_EQ(ui.errors, 0);
}

TEST(SyncEngine, ADirectoryThatCannotBeListedIsNotTakenAsEmpty)
{
    TempDir l, r;
    ASSERT_TRUE(MakeDir(l / L"sub") && MakeDir(r / L"sub"));
    Put(l / L"sub\\a.txt", "a", 10);
    Put(l / L"top.txt", "t", 10);
    ChangingUi ui;
    // After both sides were listed, the right one's subdirectory can no longer be read.
    ui.onFirstPump = [&] { ASSERT_TRUE(RunShell("rm -rf " + ShellQuote(UnixPath(r / L"sub")))); };
    CFileOperation operation(ui);
    CDirSync sync(ui, operation);
    EXPECT_EQ(sync.Run(l.Path(), r.Path(), true), SyncResult::Done);
    ASSERT_EQ(sync.notes.size(), 1u);
    EXPECT_EQ(sync.notes[0].kind, SyncProblem::Unlistable);
    EXPECT_EQ(sync.notes[0].path, r / L"sub");
    // Nothing was tried there, and the rest went on.
    EXPECT_EQ(ui.errors, 0);
    EXPECT_EQ(ReadAll(r / L"top.txt"), "t");
    EXPECT_FALSE(Exists(r / L"sub"));
}
