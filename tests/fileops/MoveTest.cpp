// Moves of files and trees, rename in place, and the tree delete that a directory move ends with.
#include "fileops/CopyProgress.h"
#include "fileops/FileCheck.h"
#include "fileops/FileOperation.h"
#include "panel/PanelRequests.h"
#include "resource.h"

using namespace test;

class Move : public CopyFixture {};

TEST_F(Move, AFileMovesWithItsContentAndTimes)
{
    std::string data = RandomBytes(100000, 30);
    ASSERT_TRUE(MakeFile(src / L"m.bin", data));
    SetWriteTime(src / L"m.bin", -5000);
    uint64_t written = WriteTime(src / L"m.bin");
    ShowBoth();
    Cursor(L"m.bin");
    std::wstring shown;
    Answers answers({{L"RENMOVE", Rule{{IDOK}, [&](HWND w) { shown = fw::GetText(::GetDlgItem(w, IDC_COPY_TARGET)); }}}});
    Run(req::RenMove);
    EXPECT_EQ(shown, dst / L"m.bin");
    EXPECT_FALSE(Exists(src / L"m.bin"));
    EXPECT_EQ(ReadAll(dst / L"m.bin"), data);
    EXPECT_EQ(written, WriteTime(dst / L"m.bin"));
}

TEST_F(Move, ATreeMovesWhole)
{
    ASSERT_TRUE(MakeDir(src / L"T"));
    ASSERT_TRUE(MakeDir(src / L"T\\a"));
    ASSERT_TRUE(MakeDir(src / L"T\\a\\b"));
    ASSERT_TRUE(MakeFile(src / L"T\\a\\b\\deep.bin", RandomBytes(70000, 31)));
    ASSERT_TRUE(MakeFile(src / L"T\\ro.txt", "read-only", FILE_ATTRIBUTE_READONLY));
    auto before = Snapshot(src / L"T");
    ShowBoth();
    Cursor(L"T");
    Answers answers({{L"RENMOVE", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
    Run(req::RenMove);
    EXPECT_TRUE(answers.Boxes().empty());
    EXPECT_EQ(Snapshot(dst / L"T"), before);
    EXPECT_FALSE(Exists(src / L"T"));
}

TEST_F(Move, AFailedFileKeepsItselfAndItsDirectory)
{
    ASSERT_TRUE(MakeDir(src / L"T"));
    ASSERT_TRUE(MakeFile(src / L"T\\ok.txt", "ok"));
    ASSERT_TRUE(MakeFile(src / L"T\\locked.txt", "locked"));
    HANDLE lock = ::CreateFileW((src / L"T\\locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ShowBoth();
    Cursor(L"T");
    Answers answers({{L"RENMOVE", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
    Run(req::RenMove);
    ::CloseHandle(lock);
    EXPECT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(ReadAll(src / L"T\\locked.txt"), "locked");
    // Each file goes as soon as its copy is in place; the directory stays with what failed.
    EXPECT_FALSE(Exists(src / L"T\\ok.txt"));
    EXPECT_EQ(ReadAll(dst / L"T\\ok.txt"), "ok");
    EXPECT_FALSE(Exists(dst / L"T\\locked.txt"));
}

TEST_F(Move, AFileThatAppearsDuringAMoveIsKeptAndReported)
{
    ASSERT_TRUE(MakeDir(src / L"T"));
    ASSERT_TRUE(MakeDir(src / L"T\\sub"));
    ASSERT_TRUE(MakeFile(src / L"T\\a.bin", RandomBytes(200000, 32)));
    ASSERT_TRUE(MakeFile(src / L"T\\sub\\b.txt", "b"));
    ASSERT_TRUE(MakeFile(src / L"T\\c.txt", "c", FILE_ATTRIBUTE_READONLY));
    auto before = Snapshot(src / L"T");
    OperationState state;
    CCopyProgress progress(state, main->Handle(), L"");
    CFileOperation op(progress);
    // Someone saves into the source directory while the first file is being copied.
    bool arrived = false;
    op.writeBlock = [&](HANDLE f, const void* d, DWORD n, DWORD* w) {
        if (!arrived) arrived = MakeFile(src / L"T\\late.txt", "late");
        return ::WriteFile(f, d, n, w, nullptr) != FALSE;
    };
    Answers answers({{L"#32770", Rule{{IDOK}}}});
    EXPECT_EQ(op.MoveDirectory(src / L"T", dst.Path(), true), OpFailed);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(ReadAll(src / L"T\\late.txt"), "late");
    EXPECT_EQ(Snapshot(dst / L"T"), before);
    // Nothing else is left behind: each file went once its copy was in place.
    auto left = Snapshot(src / L"T");
    EXPECT_EQ(left, (std::map<std::wstring, std::string>{{L"late.txt", "late"}}));
    EXPECT_EQ(answers.Boxes().size(), 1u);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_MOVE_NEWENTRIES) + (src / L"T")));
}

TEST_F(Move, ASkippedOverwriteKeepsTheSource)
{
    ASSERT_TRUE(MakeFile(src / L"s.txt", "source"));
    ASSERT_TRUE(MakeFile(dst / L"s.txt", "target"));
    ASSERT_TRUE(MakeFile(src / L"older.txt", "older source"));
    ASSERT_TRUE(MakeFile(dst / L"older.txt", "newer target"));
    SetWriteTime(src / L"older.txt", -7200);
    ShowBoth();
    Cursor(L"s.txt");
    {
        Answers answers({{L"RENMOVE", Rule{{IDOK}}}, {L"OVERWRITE", Rule{{IDC_OVERWRITE_SKIP}}}});
        Run(req::RenMove);
    }
    EXPECT_EQ(ReadAll(src / L"s.txt"), "source");
    EXPECT_EQ(ReadAll(dst / L"s.txt"), "target");
    // Not copied because the target is newer: the source must not be deleted either.
    Cursor(L"older.txt");
    Answers answers({{L"RENMOVE", TypeTarget(dst.Path(), nullptr, true)}});
    Run(req::RenMove);
    EXPECT_EQ(ReadAll(src / L"older.txt"), "older source");
    EXPECT_EQ(ReadAll(dst / L"older.txt"), "newer target");
}

TEST_F(Move, ANameWithoutPathRenamesInPlace)
{
    ASSERT_TRUE(MakeFile(src / L"old.txt", "content"));
    ShowBoth();
    Cursor(L"old.txt");
    {
        Answers answers({{L"RENMOVE", TypeTarget(L"new.txt")}});
        Run(req::RenMove);
    }
    EXPECT_FALSE(Exists(src / L"old.txt"));
    EXPECT_EQ(ReadAll(src / L"new.txt"), "content");
    EXPECT_TRUE(Snapshot(dst.Path()).empty());
    EXPECT_TRUE(PumpUntil([&] { return RowOf(Left(), L"new.txt") >= 0; }, 3000));
}

TEST_F(Move, SeveralRowsRenameInPlaceOnlyWithAPatternAndNeverOverAnEntry)
{
    for (const wchar_t* n : {L"a.txt", L"b.txt", L"c.txt"}) ASSERT_TRUE(MakeFile(src / n, Narrow(n)));
    ASSERT_TRUE(MakeFile(src / L"c.bak", "existing"));
    ShowBoth();
    Mark({L"a.txt", L"b.txt", L"c.txt"});
    {
        Answers answers({{L"RENMOVE", TypeTarget(L"plain.txt")}, {L"#32770", Rule{{IDOK}}}});
        Run(req::RenMove);
        EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_NEEDPATTERN)));
    }
    EXPECT_FALSE(Exists(src / L"plain.txt"));
    Answers answers({{L"RENMOVE", TypeTarget(L"*.bak")}, {L"#32770", Rule{{IDOK}}}});
    Run(req::RenMove);
    EXPECT_EQ(ReadAll(src / L"a.bak"), "a.txt");
    EXPECT_EQ(ReadAll(src / L"b.bak"), "b.txt");
    EXPECT_EQ(ReadAll(src / L"c.bak"), "existing");
    EXPECT_EQ(ReadAll(src / L"c.txt"), "c.txt");
    EXPECT_EQ(answers.Boxes().size(), 1u);
}

TEST_F(Move, DeleteTreeRemovesNestedAndReadOnlyEntries)
{
    ASSERT_TRUE(MakeDir(src / L"T"));
    ASSERT_TRUE(MakeDir(src / L"T\\x"));
    ASSERT_TRUE(MakeDir(src / L"T\\x\\y"));
    ASSERT_TRUE(MakeFile(src / L"T\\x\\y\\ro.txt", "r", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(MakeFile(src / L"T\\f.txt", "f"));
    OperationState state;
    CCopyProgress progress(state, main->Handle(), L"");
    CFileOperation op(progress);
    Answers answers({{L"#32770", Rule{{IDOK}}}});
    EXPECT_EQ(op.DeleteTree(src / L"T"), 0);
    EXPECT_FALSE(Exists(src / L"T"));
    EXPECT_TRUE(answers.Boxes().empty());
}
