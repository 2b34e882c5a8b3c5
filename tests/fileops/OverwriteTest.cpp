// The overwrite confirmation through the real "OVERWRITE" dialog, its option and "only newer".
#include "common/Settings.h"
#include "fileops/CopyDialogs.h"
#include "fileops/CopyProgress.h"
#include "fileops/FileOperation.h"
#include "fileops/FileCheck.h"
#include "panel/PanelRequests.h"
#include "resource.h"

using namespace test;

class Overwrite : public CopyFixture {
protected:
    // Three sources and three older, different targets.
    void MakeThree()
    {
        for (int i = 0; i < 3; ++i) {
            std::wstring name = L"f" + std::to_wstring(i) + L".bin";
            ASSERT_TRUE(MakeFile(src / name, RandomBytes(90000 + i, 10 + i)));
            ASSERT_TRUE(MakeFile(dst / name, "old " + std::to_string(i)));
            SetWriteTime(dst / name, -3600);
        }
        ShowBoth();
        Mark({L"f0.bin", L"f1.bin", L"f2.bin"});
    }
    std::string Src(int i) { return ReadAll(src / (L"f" + std::to_wstring(i) + L".bin")); }
    std::string Dst(int i) { return ReadAll(dst / (L"f" + std::to_wstring(i) + L".bin")); }
};

TEST_F(Overwrite, TheQuestionShowsNameSizesAndDates)
{
    ASSERT_TRUE(MakeFile(src / L"big.txt", std::string(1234567, 'n')));
    ASSERT_TRUE(MakeFile(dst / L"big.txt", "old"));
    ShowBoth();
    Cursor(L"big.txt");
    std::wstring text, sourceLine, targetLine;
    bool allEnabled = true;
    Answers answers({{L"COPY", Rule{{IDOK}}}, {L"OVERWRITE", Rule{{IDC_OVERWRITE_SKIP}, [&](HWND w) {
                                                     text = fw::GetText(::GetDlgItem(w, IDC_OVERWRITE_TEXT));
                                                     sourceLine = fw::GetText(::GetDlgItem(w, IDC_OVERWRITE_SOURCE));
                                                     targetLine = fw::GetText(::GetDlgItem(w, IDC_OVERWRITE_TARGET));
                                                     allEnabled = ::IsWindowEnabled(::GetDlgItem(w, IDC_OVERWRITE_ALL));
                                                 }}}});
    Run(req::Copy);
    EXPECT_NE(text.find(dst.Path()), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L"big.txt."), std::wstring::npos);
    std::wstring sep(1, Program().thousandSeparator[0]);
    EXPECT_EQ(sourceLine.rfind(L"1" + sep + L"234" + sep + L"567" + fw::LoadStr(IDS_OVERWRITE_BYTES), 0), 0u)
        << Narrow(sourceLine);
    EXPECT_EQ(targetLine.rfind(L"3" + fw::LoadStr(IDS_OVERWRITE_BYTES), 0), 0u) << Narrow(targetLine);
    EXPECT_NE(sourceLine.find(L"   "), std::wstring::npos); // date, three blanks, time
    EXPECT_FALSE(allEnabled); // one row: no "all"
    EXPECT_EQ(ReadAll(dst / L"big.txt"), "old");
}

TEST_F(Overwrite, SkipLeavesTheTargetByteIdenticalAndGoesOn)
{
    MakeThree();
    std::string old0 = Dst(0);
    uint64_t before = WriteTime(dst / L"f0.bin");
    Answers answers({{L"COPY", Rule{{IDOK}}}, {L"OVERWRITE", Rule{{IDC_OVERWRITE_SKIP, IDOK, IDOK}}}});
    Run(req::Copy);
    EXPECT_EQ(answers.Count(L"OVERWRITE"), 3);
    EXPECT_EQ(Dst(0), old0);
    EXPECT_EQ(before, WriteTime(dst / L"f0.bin"));
    EXPECT_EQ(Dst(1), Src(1));
    EXPECT_EQ(Dst(2), Src(2));
    EXPECT_TRUE(Left().keepMarks); // not everything was copied
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
}

TEST_F(Overwrite, AllReplacesTheRestWithoutAsking)
{
    MakeThree();
    Answers answers({{L"COPY", Rule{{IDOK}}}, {L"OVERWRITE", Rule{{IDC_OVERWRITE_ALL}}}});
    Run(req::Copy);
    EXPECT_EQ(answers.Count(L"OVERWRITE"), 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Dst(i), Src(i)) << i;
}

TEST_F(Overwrite, CancelStopsTheWholeRun)
{
    MakeThree();
    Answers answers({{L"COPY", Rule{{IDOK}}}, {L"OVERWRITE", Rule{{IDOK, IDCANCEL}}}});
    Run(req::Copy);
    EXPECT_EQ(answers.Count(L"OVERWRITE"), 2);
    EXPECT_EQ(Dst(0), Src(0));
    EXPECT_EQ(Dst(1), "old 1");
    EXPECT_EQ(Dst(2), "old 2");
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
    EXPECT_TRUE(Left().keepMarks);
}

TEST_F(Overwrite, WithoutTheConfirmationOptionFilesAreReplaced)
{
    WriteProfileInt(L"Algemeen", L"BevestigingOverwrite", 0);
    MakeThree();
    Answers answers({{L"COPY", Rule{{IDOK}}}, {L"OVERWRITE", Rule{{IDC_OVERWRITE_SKIP}}}});
    Run(req::Copy);
    EXPECT_EQ(answers.Count(L"OVERWRITE"), 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Dst(i), Src(i)) << i;
}

TEST_F(Overwrite, OnlyNewerSkipsAnOlderSourceSilently)
{
    ASSERT_TRUE(MakeFile(src / L"older.txt", "older source"));
    ASSERT_TRUE(MakeFile(dst / L"older.txt", "newer target"));
    SetWriteTime(src / L"older.txt", -7200);
    ASSERT_TRUE(MakeFile(src / L"newer.txt", "newer source"));
    ASSERT_TRUE(MakeFile(dst / L"newer.txt", "older target"));
    SetWriteTime(dst / L"newer.txt", -7200);
    ShowBoth();
    Mark({L"older.txt", L"newer.txt"});
    Answers answers({{L"COPY", TypeTarget(dst.Path(), nullptr, true)}, {L"OVERWRITE", Rule{{IDOK}}}});
    Run(req::Copy);
    EXPECT_EQ(answers.Count(L"OVERWRITE"), 0);
    EXPECT_EQ(ReadAll(dst / L"older.txt"), "newer target");
    EXPECT_EQ(ReadAll(dst / L"newer.txt"), "newer source");
    EXPECT_FALSE(Left().keepMarks); // a skip by age counts as done
}

TEST_F(Overwrite, CancelInTheProgressDialogDeletesThePartlyWrittenCopy)
{
    std::string data = RandomBytes(20 * 65535 + 17, 5);
    ASSERT_TRUE(MakeFile(src / L"big.bin", data));
    ASSERT_TRUE(MakeFile(src / L"next.bin", "next"));
    ASSERT_TRUE(MakeFile(dst / L"big.bin", "the old target"));
    OperationState state;
    CCopyProgress progress(state, main->Handle(), L"");
    CFileOperation op(progress);
    op.overwriteAll = true;
    int blocks = 0;
    op.writeBlock = [&](HANDLE f, const void* d, DWORD n, DWORD* w) {
        // The user presses Cancel while the second block is written.
        if (++blocks == 2) ::PostMessageW(progress.Dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::Sleep(5); // a slow disk: the queue is looked at again before the copy is complete
        return ::WriteFile(f, d, n, w, nullptr) != FALSE;
    };
    EXPECT_EQ(op.CopyFile(src / L"big.bin", dst.Path(), true), OpAbort);
    EXPECT_TRUE(state.cancelRequested);
    EXPECT_EQ(ReadAll(dst / L"big.bin"), "the old target");
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
    EXPECT_EQ(op.CopyDirectory(src.Path(), dst / L"tree", false), OpAbort);
    EXPECT_FALSE(Exists(dst / L"tree\\next.bin"));
}

TEST_F(Overwrite, ATargetThatAppearsDuringTheCopyIsAskedAbout)
{
    std::string data = RandomBytes(3 * 65535, 6);
    ASSERT_TRUE(MakeFile(src / L"n.bin", data));
    OperationState state;
    CCopyProgress progress(state, main->Handle(), L"");
    struct Case {
        int answer;
        int result;
        std::string target;
    };
    for (const Case& c : {Case{IDC_OVERWRITE_SKIP, OpFailed, "made meanwhile"}, Case{IDCANCEL, OpAbort, "made meanwhile"},
                          Case{IDOK, OpDone, data}}) {
        ::DeleteFileW((dst / L"n.bin").c_str());
        state.cancelRequested = false;
        CFileOperation op(progress);
        op.newTargetsDirectly = false;
        // Someone saves the same name in the target directory while the copy is written.
        bool made = false;
        op.writeBlock = [&](HANDLE f, const void* d, DWORD n, DWORD* w) {
            if (!made) made = MakeFile(dst / L"n.bin", "made meanwhile");
            return ::WriteFile(f, d, n, w, nullptr) != FALSE;
        };
        std::wstring shown;
        Answers answers({{L"OVERWRITE", Rule{{c.answer}, [&](HWND w) { shown = fw::GetText(::GetDlgItem(w, IDC_OVERWRITE_TARGET)); }}}});
        EXPECT_EQ(op.CopyFile(src / L"n.bin", dst.Path(), true), c.result) << c.answer;
        ASSERT_TRUE(made);
        EXPECT_EQ(answers.Count(L"OVERWRITE"), 1) << c.answer;
        EXPECT_EQ(shown.rfind(L"14" + fw::LoadStr(IDS_OVERWRITE_BYTES), 0), 0u) << Narrow(shown); // the new file's size
        EXPECT_TRUE(ReadAll(dst / L"n.bin") == c.target) << c.answer;
        EXPECT_EQ(state.cancelRequested, c.result == OpAbort);
        EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
    }
    // Without the confirmation option it is replaced like a target that was there from the start.
    WriteProfileInt(L"Algemeen", L"BevestigingOverwrite", 0);
    ::DeleteFileW((dst / L"n.bin").c_str());
    CFileOperation op(progress);
    op.newTargetsDirectly = false;
    op.writeBlock = [&](HANDLE f, const void* d, DWORD n, DWORD* w) {
        if (!Exists(dst / L"n.bin")) MakeFile(dst / L"n.bin", "made meanwhile");
        return ::WriteFile(f, d, n, w, nullptr) != FALSE;
    };
    Answers answers({{L"OVERWRITE", Rule{{IDC_OVERWRITE_SKIP}}}});
    EXPECT_EQ(op.CopyFile(src / L"n.bin", dst.Path(), true), OpDone);
    EXPECT_EQ(answers.Count(L"OVERWRITE"), 0);
    EXPECT_TRUE(ReadAll(dst / L"n.bin") == data);
}

TEST_F(Overwrite, ANewTargetIsTheCopysOwnFromTheStartSoNobodyElseCanTakeItsName)
{
    std::string data = RandomBytes(3 * 65535, 7);
    ASSERT_TRUE(MakeFile(src / L"n.bin", data));
    OperationState state;
    CCopyProgress progress(state, main->Handle(), L"");
    CFileOperation op(progress);
    bool tried = false, made = false;
    op.writeBlock = [&](HANDLE f, const void* d, DWORD n, DWORD* w) {
        if (!tried) made = MakeFile(dst / L"n.bin", "made meanwhile"), tried = true;
        return ::WriteFile(f, d, n, w, nullptr) != FALSE;
    };
    Answers answers({{L"OVERWRITE", Rule{{IDC_OVERWRITE_SKIP}}}});
    EXPECT_EQ(op.CopyFile(src / L"n.bin", dst.Path(), true), OpDone);
    EXPECT_TRUE(tried);
    EXPECT_FALSE(made);
    EXPECT_EQ(answers.Count(L"OVERWRITE"), 0);
    EXPECT_TRUE(ReadAll(dst / L"n.bin") == data);
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
}
