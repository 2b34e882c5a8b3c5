// Delete through the real panel request, questions and progress: confirmations, read-only files,
// directories, yes to all, cancel, failures, the recycle bin and links.
#include "common/Settings.h"
#include "delete/DeleteSupport.h"
#include "framework/Dialog.h"
#include "fileops/DeleteDialogs.h"
#include "fileops/FileOperation.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include <algorithm>

using namespace test;

class Delete : public DeleteFixture {};

TEST_F(Delete, OneFileAsksWithItsFullPathInUpperCase)
{
    std::wstring name = L"caf\u00e9 \u65e5\u672c.txt";
    ASSERT_TRUE(MakeFile(src / name, "x"));
    ASSERT_TRUE(MakeFile(src / L"stays.txt", "y"));
    ShowBoth();
    Cursor(name);
    Answers answers({{L"#32770", Rule{{IDYES}}}});
    Run(req::Delete);
    ASSERT_EQ(answers.Boxes().size(), 1u);
    std::wstring expected = fw::LoadStr(IDS_DELETE_QUESTION) + Upper(src / name) + fw::LoadStr(IDS_DELETE_QUESTIONEND);
    EXPECT_TRUE(answers.BoxContains(expected)) << Narrow(answers.Boxes()[0]);
    EXPECT_FALSE(Exists(src / name));
    EXPECT_TRUE(Exists(src / L"stays.txt"));
    ASSERT_TRUE(PumpUntil([&] { return RowOf(Left(), name) < 0; }));
    EXPECT_GE(RowOf(Left(), L"stays.txt"), 0);
}

TEST_F(Delete, FiveRowsAskOnceWithTheirNumber)
{
    for (int i = 0; i < 6; ++i) ASSERT_TRUE(MakeFile(src / (L"f" + std::to_wstring(i) + L".txt"), "x"));
    ShowBoth();
    Mark({L"f0.txt", L"f1.txt", L"f2.txt", L"f3.txt", L"f4.txt"});
    Answers answers({{L"#32770", Rule{{IDYES}}}});
    Run(req::Delete);
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_DELETE_QUESTION) + L"5 items")) << Narrow(answers.Boxes()[0]);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(Exists(src / (L"f" + std::to_wstring(i) + L".txt")));
    EXPECT_TRUE(Exists(src / L"f5.txt"));
}

TEST_F(Delete, AnswerNoDeletesNothing)
{
    ASSERT_TRUE(MakeFile(src / L"a.txt", "x"));
    ShowBoth();
    Cursor(L"a.txt");
    Answers answers({{L"#32770", Rule{{IDNO}}}});
    Run(req::Delete);
    EXPECT_EQ(answers.Boxes().size(), 1u);
    EXPECT_TRUE(Exists(src / L"a.txt"));
}

TEST_F(Delete, WithoutTheQuestionReadOnlyFilesStillAskWithTheirAttributes)
{
    WriteProfileInt(L"Algemeen", L"BevestigingDelFiles", 0);
    ASSERT_TRUE(MakeFile(src / L"plain.txt", "p"));
    ASSERT_TRUE(MakeFile(src / L"ra.txt", "ra", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(MakeFile(src / L"ro.txt", "ro", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(MakeFile(src / L"hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN));
    DWORD ra = ::GetFileAttributesW((src / L"ra.txt").c_str());
    DWORD ro = ::GetFileAttributesW((src / L"ro.txt").c_str());
    ShowBoth();
    Mark({L"plain.txt", L"ra.txt", L"ro.txt"});
    Answers answers({{L"#32770", Rule{{IDYES, IDNO}}}});
    Run(req::Delete);
    ASSERT_EQ(answers.Boxes().size(), 2u);
    EXPECT_EQ(ra, 0x21u);
    EXPECT_TRUE(answers.Boxes()[0].find(L"RA.TXT (attributes: 0021) ") != std::wstring::npos) << Narrow(answers.Boxes()[0]);
    EXPECT_TRUE(answers.Boxes()[0].find(fw::LoadStr(IDS_DELETE_READONLY)) != std::wstring::npos);
    std::wstring roText = fw::Format(L"RO.TXT (attributes: %04X) ", static_cast<unsigned>(ro));
    EXPECT_TRUE(answers.Boxes()[1].find(roText) != std::wstring::npos) << Narrow(answers.Boxes()[1]);
    EXPECT_FALSE(Exists(src / L"plain.txt"));
    EXPECT_FALSE(Exists(src / L"ra.txt"));
    // Answered no: still there and still read-only.
    EXPECT_TRUE(::GetFileAttributesW((src / L"ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(Exists(src / L"hidden.txt"));
    ::SetFileAttributesW((src / L"ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Delete, ASystemFileAsksAndAHiddenOneDoesNot)
{
    WriteProfileInt(L"Algemeen", L"BevestigingDelFiles", 0);
    WriteProfileInt(L"Algemeen", L"System", 1);
    WriteProfileInt(L"Algemeen", L"Hidden", 1);
    ASSERT_TRUE(MakeFile(src / L"hid.txt", "h", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(MakeFile(src / L"sys.txt", "s", FILE_ATTRIBUTE_SYSTEM));
    DWORD sys = ::GetFileAttributesW((src / L"sys.txt").c_str());
    ShowBoth();
    Mark({L"hid.txt", L"sys.txt"});
    Answers answers({{L"#32770", Rule{{IDYES}}}});
    Run(req::Delete);
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_TRUE(answers.BoxContains(ProtectedFileQuestion(L"sys.txt", sys)));
    EXPECT_FALSE(Exists(src / L"hid.txt"));
    EXPECT_FALSE(Exists(src / L"sys.txt"));
}

TEST_F(Delete, AnEmptyDirectoryGoesWithoutTheDirectoryQuestion)
{
    ASSERT_TRUE(MakeDir(src / L"E"));
    ASSERT_TRUE(MakeDir(src / L"F"));
    ASSERT_TRUE(MakeFile(src / L"F\\in.txt", "i"));
    ShowBoth();
    Mark({L"E", L"F"});
    std::wstring text;
    Answers answers({{L"#32770", Rule{{IDYES}}},
                     {L"DELETEDIR", Rule{{IDYES}, [&](HWND w) { text = fw::GetText(::GetDlgItem(w, IDC_DELDIR_TEXT)); }}}});
    Run(req::Delete);
    EXPECT_EQ(answers.Count(L"DELETEDIR"), 1);
    EXPECT_EQ(text, fw::LoadStr(IDS_DELETE_DIRQUESTION) + (src / L"F") + fw::LoadStr(IDS_DELETE_QUESTIONEND));
    EXPECT_FALSE(Exists(src / L"E"));
    EXPECT_FALSE(Exists(src / L"F"));
}

TEST_F(Delete, WithoutTheDirectoryOptionNothingIsAsked)
{
    WriteProfileInt(L"Algemeen", L"BevestigingDelDirs", 0);
    ASSERT_TRUE(MakeDir(src / L"F"));
    ASSERT_TRUE(MakeDir(src / L"F\\deeper"));
    ASSERT_TRUE(MakeFile(src / L"F\\deeper\\in.txt", "i"));
    ShowBoth();
    Cursor(L"F");
    Answers answers({{L"#32770", Rule{{IDYES}}}, {L"DELETEDIR", Rule{{IDCANCEL}}}});
    Run(req::Delete);
    EXPECT_EQ(answers.Count(L"DELETEDIR"), 0);
    EXPECT_FALSE(Exists(src / L"F"));
}

TEST_F(Delete, YesToAllDeletesTheFurtherDirectoriesWithoutAsking)
{
    for (const wchar_t* d : {L"D1", L"D2", L"D3"}) {
        ASSERT_TRUE(MakeDir(src / d));
        ASSERT_TRUE(MakeFile(src / (std::wstring(d) + L"\\x.txt"), "x"));
    }
    ShowBoth();
    Mark({L"D1", L"D2", L"D3"});
    bool allOffered = false;
    Answers answers({{L"#32770", Rule{{IDYES}}}, {L"DELETEDIR", Rule{{IDC_DELDIR_ALL}, [&](HWND w) {
                                                                      allOffered = ::IsWindowEnabled(::GetDlgItem(w, IDC_DELDIR_ALL));
                                                                  }}}});
    Run(req::Delete);
    EXPECT_TRUE(allOffered);
    EXPECT_EQ(answers.Count(L"DELETEDIR"), 1);
    for (const wchar_t* d : {L"D1", L"D2", L"D3"}) EXPECT_FALSE(Exists(src / d));
}

TEST_F(Delete, OneDirectoryIsNotOfferedYesToAll)
{
    ASSERT_TRUE(MakeDir(src / L"D1"));
    ASSERT_TRUE(MakeFile(src / L"D1\\x.txt", "x"));
    ASSERT_TRUE(MakeFile(src / L"f.txt", "f"));
    ShowBoth();
    Mark({L"D1", L"f.txt"});
    bool allOffered = true;
    Answers answers({{L"#32770", Rule{{IDYES}}}, {L"DELETEDIR", Rule{{IDNO}, [&](HWND w) {
                                                                      allOffered = ::IsWindowEnabled(::GetDlgItem(w, IDC_DELDIR_ALL));
                                                                  }}}});
    Run(req::Delete);
    EXPECT_FALSE(allOffered);
    EXPECT_EQ(ReadAll(src / L"D1\\x.txt"), "x"); // answered no
    EXPECT_FALSE(Exists(src / L"f.txt"));
}

TEST_F(Delete, CancelInTheDirectoryQuestionLeavesTheRest)
{
    for (const wchar_t* d : {L"D1", L"D2"}) {
        ASSERT_TRUE(MakeDir(src / d));
        ASSERT_TRUE(MakeFile(src / (std::wstring(d) + L"\\x.txt"), "x"));
    }
    ASSERT_TRUE(MakeFile(src / L"a.txt", "a"));
    ASSERT_TRUE(MakeFile(src / L"b.txt", "b"));
    ShowBoth();
    Mark({L"D1", L"D2", L"a.txt", L"b.txt"});
    Answers answers({{L"#32770", Rule{{IDYES}}}, {L"DELETEDIR", Rule{{IDYES, IDCANCEL}}}});
    Run(req::Delete);
    EXPECT_EQ(answers.Count(L"DELETEDIR"), 2);
    EXPECT_FALSE(Exists(src / L"D1"));
    EXPECT_EQ(ReadAll(src / L"D2\\x.txt"), "x");
    EXPECT_TRUE(Exists(src / L"a.txt"));
    EXPECT_TRUE(Exists(src / L"b.txt"));
    EXPECT_EQ(answers.Boxes().size(), 1u); // no "not deleted" for what was cancelled
}

TEST_F(Delete, TheProgressCancelButtonStopsBeforeTheNextRow)
{
    WriteProfileInt(L"Algemeen", L"BevestigingDelFiles", 0);
    ASSERT_TRUE(MakeFile(src / L"a.txt", "a", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(MakeFile(src / L"b.txt", "b"));
    ASSERT_TRUE(MakeFile(src / L"c.txt", "c"));
    ShowBoth();
    Mark({L"a.txt", L"b.txt", L"c.txt"});
    bool statusFound = false;
    Answers answers({{L"#32770", Rule{{IDNO}, [&](HWND box) {
                          // The question's owner is the progress dialog: press its Cancel.
                          HWND status = ::GetWindow(box, GW_OWNER);
                          fw::CDialog* dialog = fw::CDialog::FromHandle(status);
                          statusFound = dialog && dialog->TemplateName() == L"STATUSREMOVE";
                          if (status) ::PostMessageW(status, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                      }}}});
    Run(req::Delete);
    EXPECT_TRUE(statusFound);
    EXPECT_TRUE(Exists(src / L"a.txt"));
    EXPECT_TRUE(Exists(src / L"b.txt"));
    EXPECT_TRUE(Exists(src / L"c.txt"));
    ::SetFileAttributesW((src / L"a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Delete, TheParentRowIsIgnored)
{
    ASSERT_TRUE(MakeDir(src / L"sub"));
    ASSERT_TRUE(MakeFile(src / L"sub\\a.txt", "a"));
    ASSERT_TRUE(MakeFile(src / L"sub\\b.txt", "b"));
    Show(Left(), src / L"sub");
    Show(Right(), dst.Path());
    Mark({L"..", L"a.txt"});
    Answers answers({{L"#32770", Rule{{IDYES}}}});
    Run(req::Delete);
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_TRUE(answers.BoxContains(Upper(src / L"sub\\a.txt"))) << Narrow(answers.Boxes()[0]);
    EXPECT_FALSE(Exists(src / L"sub\\a.txt"));
    EXPECT_TRUE(Exists(src / L"sub\\b.txt"));
    // Only ".." marked: nothing to delete.
    ASSERT_TRUE(PumpUntil([&] { return RowOf(Left(), L"a.txt") < 0; }));
    Left().List().SetItemState(-1, 0, LVIS_SELECTED);
    Mark({L".."});
    Answers again({{L"#32770", Rule{{IDOK}}}});
    Run(req::Delete);
    ASSERT_EQ(again.Boxes().size(), 1u);
    EXPECT_TRUE(again.BoxContains(fw::LoadStr(IDS_COPY_NOTHING)));
    EXPECT_TRUE(Exists(src / L"sub\\b.txt"));
}

TEST_F(Delete, ALockedFileIsReportedTheRunGoesOnAndTheRowStays)
{
    WriteProfileInt(L"Algemeen", L"BevestigingDelFiles", 0);
    ASSERT_TRUE(MakeFile(src / L"a.txt", "a"));
    ASSERT_TRUE(MakeFile(src / L"locked.txt", "l"));
    ASSERT_TRUE(MakeFile(src / L"z.txt", "z"));
    HANDLE lock = ::CreateFileW((src / L"locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ShowBoth();
    Mark({L"a.txt", L"locked.txt", L"z.txt"});
    Answers answers({{L"#32770", Rule{{IDOK}}}});
    Run(req::Delete);
    ::CloseHandle(lock);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_DELETE_FAILED) + (src / L"locked.txt")));
    EXPECT_FALSE(Exists(src / L"a.txt"));
    EXPECT_FALSE(Exists(src / L"z.txt"));
    EXPECT_EQ(ReadAll(src / L"locked.txt"), "l");
    ASSERT_TRUE(PumpUntil([&] { return RowOf(Left(), L"z.txt") < 0; }));
    EXPECT_GE(RowOf(Left(), L"locked.txt"), 0);
}

TEST_F(Delete, AVanishedFileIsReportedAndTheRunGoesOn)
{
    WriteProfileInt(L"Algemeen", L"BevestigingDelFiles", 0);
    ASSERT_TRUE(MakeFile(src / L"gone.txt", "g"));
    ASSERT_TRUE(MakeFile(src / L"here.txt", "h"));
    ShowBoth();
    Mark({L"gone.txt", L"here.txt"});
    ASSERT_TRUE(::DeleteFileW((src / L"gone.txt").c_str()));
    Answers answers({{L"#32770", Rule{{IDOK}}}});
    Run(req::Delete);
    EXPECT_TRUE(answers.BoxContains(L"Error getting attributes of gone.txt"));
    EXPECT_FALSE(Exists(src / L"here.txt"));
}

class Trash : public DeleteFixture {
protected:
    void SetUp() override
    {
        DeleteFixture::SetUp();
        wchar_t t[32];
        wsprintfW(t, L"pdt%08lx", static_cast<unsigned long>(::GetTickCount() ^ ::GetCurrentProcessId()));
        tag = t;
        UnblockTrash(); // after a run that ended early
    }
    void TearDown() override
    {
        UnblockTrash();
        EmptyTrashOf(tag);
        DeleteFixture::TearDown();
    }
    std::wstring TrashRoot() { return TrashFiles().substr(0, TrashFiles().size() - 6); }
    // The bin refuses everything, as a full one or one on another drive would: "Trash" is a file.
    bool BlockTrash()
    {
        std::wstring root = TrashRoot();
        if (Exists(root) && !::MoveFileW(root.c_str(), (root + L".pdaway").c_str())) return false;
        return MakeFile(root, "not a directory");
    }
    void UnblockTrash()
    {
        std::wstring root = TrashRoot();
        if (!Exists(root + L".pdaway")) return;
        ::DeleteFileW(root.c_str());
        ::MoveFileW((root + L".pdaway").c_str(), root.c_str());
    }
    std::wstring tag;
};

TEST_F(Trash, TheFilesOfADeletedTreeGoToTheTrashAndTheDirectoriesAreRemoved)
{
    ASSERT_FALSE(TrashFiles().empty()) << "XDG_DATA_HOME is set by the Wine wrapper: run the tests through it";
    std::wstring a = L"a_" + tag + L".txt", b = L"b_" + tag + L".txt", c = L"c_" + tag + L".txt";
    ASSERT_TRUE(MakeDir(src / (L"T" + tag)));
    ASSERT_TRUE(MakeDir(src / (L"T" + tag + L"\\sub")));
    ASSERT_TRUE(MakeFile(src / (L"T" + tag + L"\\" + a), "a"));
    ASSERT_TRUE(MakeFile(src / (L"T" + tag + L"\\sub\\" + b), "b"));
    ASSERT_TRUE(MakeFile(src / c, "c"));
    ShowBoth();
    Mark({L"T" + tag, c});
    Answers answers({{L"#32770", Rule{{IDYES}}}, {L"DELETEDIR", Rule{{IDYES}}}});
    Command(IDM_DELETE);
    EXPECT_TRUE(main->operation.recycleMode);
    EXPECT_EQ(answers.Boxes().size(), 1u);
    EXPECT_FALSE(Exists(src / (L"T" + tag)));
    EXPECT_FALSE(Exists(src / c));
    auto trashed = TrashedWith(tag);
    std::sort(trashed.begin(), trashed.end());
    ASSERT_EQ(trashed, (std::vector<std::wstring>{a, b, c}));
    EXPECT_EQ(ReadAll(TrashFiles() + L"\\" + b), "b");
}

TEST_F(Trash, APermanentDeletePutsNothingInTheTrash)
{
    ASSERT_FALSE(TrashFiles().empty()) << "XDG_DATA_HOME is set by the Wine wrapper: run the tests through it";
    ASSERT_TRUE(MakeDir(src / (L"T" + tag)));
    ASSERT_TRUE(MakeFile(src / (L"T" + tag + L"\\a_" + tag), "a"));
    ASSERT_TRUE(MakeFile(src / (L"f_" + tag), "f"));
    ShowBoth();
    Mark({L"T" + tag, L"f_" + tag});
    Answers answers({{L"#32770", Rule{{IDYES}}}, {L"DELETEDIR", Rule{{IDYES}}}});
    Command(IDM_DELETE);
    Command(IDM_DELETENOW); // nothing left to delete: the mode still changes
    EXPECT_FALSE(main->operation.recycleMode);
    EmptyTrashOf(tag);
    ASSERT_TRUE(MakeDir(src / (L"U" + tag)));
    ASSERT_TRUE(MakeFile(src / (L"U" + tag + L"\\u_" + tag), "u"));
    Show(Left(), src.Path());
    Mark({L"U" + tag});
    Command(IDM_DELETENOW);
    EXPECT_FALSE(Exists(src / (L"U" + tag)));
    EXPECT_TRUE(TrashedWith(tag).empty());
}

// Wine settles whether the desktop bin works at its first use in a process (later failures delete
// nothing and say so through the result): this suite runs in a process of its own, its own ctest
// entry, and blocks the bin before anything is deleted.
class TrashRefused : public Trash {};

TEST_F(TrashRefused, WhatTheBinCannotTakeIsDeletedForGoodOnlyAfterAQuestion)
{
    ASSERT_FALSE(TrashFiles().empty()) << "the test command sets XDG_DATA_HOME";
    std::wstring gone = L"g_" + tag + L".txt", kept = L"k_" + tag + L".txt";
    ASSERT_TRUE(MakeFile(src / gone, "g"));
    ASSERT_TRUE(MakeFile(src / kept, "k"));
    ShowBoth();
    Mark({gone, kept});
    ASSERT_TRUE(BlockTrash());
    // Our question, then the system's for each file the bin cannot take: yes for the first, no
    // for the second. Without it both would be gone for good without a word.
    Answers answers({{L"#32770", Rule{{IDYES, IDYES, IDNO}}}});
    Command(IDM_DELETE);
    EXPECT_TRUE(main->operation.recycleMode);
    EXPECT_EQ(answers.Boxes().size(), 3u); // and no report for the file kept as answered
    EXPECT_FALSE(Exists(src / gone));
    EXPECT_EQ(ReadAll(src / kept), "k");
    UnblockTrash();
    EXPECT_TRUE(TrashedWith(tag).empty());
}

class DeleteLinks : public DeleteFixture {};

TEST_F(DeleteLinks, ALinkInsideTheTreeLeavesTheOutsideDirectoryIntact)
{
    ASSERT_TRUE(MakeDir(dst / L"victim"));
    ASSERT_TRUE(MakeDir(dst / L"victim\\inner"));
    ASSERT_TRUE(MakeFile(dst / L"victim\\v.txt", "v"));
    ASSERT_TRUE(MakeFile(dst / L"victim\\inner\\w.txt", "w"));
    ASSERT_TRUE(MakeDir(dst / L"empty"));
    ASSERT_TRUE(MakeFile(dst / L"target.txt", "t"));
    ASSERT_TRUE(MakeDir(src / L"T"));
    ASSERT_TRUE(MakeFile(src / L"T\\keep.txt", "k"));
    ASSERT_TRUE(MakeLink(src / L"T\\out", dst / L"victim")) << "ln -s failed";
    ASSERT_TRUE(MakeLink(src / L"T\\toempty", dst / L"empty"));
    ASSERT_TRUE(MakeLink(src / L"T\\file.txt", dst / L"target.txt"));
    auto outside = Snapshot(dst.Path());
    for (UINT command : {IDM_DELETENOW, IDM_DELETE}) {
        ShowBoth();
        Cursor(L"T");
        Answers answers({{L"#32770", Rule{{IDYES, IDOK}}}, {L"DELETEDIR", Rule{{IDYES}}}});
        Command(command);
        EXPECT_EQ(Snapshot(dst.Path()), outside) << command;
        EXPECT_FALSE(Exists(src / L"T\\keep.txt"));
        // What could not be removed as a link is reported, and keeps its directory.
        if (Exists(src / L"T\\out")) {
            EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_DELETE_LINKKEPT)));
        }
    }
}

TEST_F(DeleteLinks, ALinkRowItselfIsNeverFollowed)
{
    ASSERT_TRUE(MakeDir(dst / L"victim"));
    ASSERT_TRUE(MakeFile(dst / L"victim\\v.txt", "v"));
    ASSERT_TRUE(MakeDir(dst / L"empty"));
    ASSERT_TRUE(MakeLink(src / L"L", dst / L"victim")) << "ln -s failed";
    ASSERT_TRUE(MakeLink(src / L"E", dst / L"empty"));
    auto outside = Snapshot(dst.Path());
    ShowBoth();
    Mark({L"E", L"L"});
    Answers answers({{L"#32770", Rule{{IDYES, IDOK}}}, {L"DELETEDIR", Rule{{IDYES}}}});
    Command(IDM_DELETENOW);
    EXPECT_EQ(answers.Count(L"DELETEDIR"), 0); // a link holds nothing of its own
    EXPECT_EQ(Snapshot(dst.Path()), outside);
    EXPECT_TRUE(Exists(dst / L"empty"));
}

TEST_F(DeleteLinks, AFileLinkIsDetected)
{
    ASSERT_TRUE(MakeFile(dst / L"target.txt", "t"));
    ASSERT_TRUE(MakeFile(src / L"plain.txt", "p"));
    ASSERT_TRUE(MakeLink(src / L"link.txt", dst / L"target.txt")) << "ln -s failed";
    EXPECT_TRUE(CFileOperation::IsLink(src / L"link.txt", ::GetFileAttributesW((src / L"link.txt").c_str())));
    EXPECT_FALSE(CFileOperation::IsLink(src / L"plain.txt", ::GetFileAttributesW((src / L"plain.txt").c_str())));
    EXPECT_FALSE(CFileOperation::IsLink(src.Path(), ::GetFileAttributesW(src.Path().c_str())));
}
