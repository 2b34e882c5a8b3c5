// Copies that must not lose data: onto itself, into itself, failing writes, locks, read-only targets, links.
#include "fileops/CopyProgress.h"
#include "fileops/FileCheck.h"
#include "fileops/FileOperation.h"
#include "panel/PanelRequests.h"
#include "resource.h"

using namespace test;

class Safety : public CopyFixture {};

TEST_F(Safety, AFileIsNeverCopiedOrMovedOntoItself)
{
    std::string data = RandomBytes(150000, 20);
    ASSERT_TRUE(MakeFile(src / L"self.bin", data));
    Show(Left(), src.Path());
    Show(Right(), src.Path()); // both panels in one directory
    for (UINT request : {req::Copy, req::RenMove}) {
        Cursor(L"self.bin");
        Answers answers({{L"COPY", Rule{{IDOK}}}, {L"RENMOVE", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
        Run(request);
        EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_ONTOITSELF))) << request;
        EXPECT_EQ(ReadAll(src / L"self.bin"), data);
    }
    // A pattern that maps the name to itself, spelled in another case.
    Cursor(L"self.bin");
    Answers answers({{L"COPY", TypeTarget(src / L"SELF.*")}, {L"#32770", Rule{{IDOK}}}});
    Run(req::Copy);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_ONTOITSELF)));
    EXPECT_EQ(ReadAll(src / L"self.bin"), data);
    EXPECT_TRUE(TemporaryFiles(src.Path()).empty());
}

TEST_F(Safety, ADirectoryIsNeverCopiedIntoItselfOrBelowItself)
{
    ASSERT_TRUE(MakeDir(src / L"D"));
    ASSERT_TRUE(MakeDir(src / L"D\\sub"));
    ASSERT_TRUE(MakeFile(src / L"D\\sub\\f.txt", "f"));
    auto before = Snapshot(src.Path());
    Show(Left(), src.Path());
    Show(Right(), src.Path());
    for (std::wstring target : {src.Path(), src / L"D\\sub", src / L"d\\SUB\\deeper\\"}) {
        Cursor(L"D");
        Answers answers({{L"COPY", TypeTarget(target)}, {L"#32770", Rule{{IDOK}}}});
        Run(req::Copy);
        EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_INTOITSELF))) << Narrow(target);
    }
    RemoveTree(src / L"D\\sub\\deeper"); // the typed directory itself was made before the refusal
    EXPECT_EQ(Snapshot(src.Path()), before);
    Cursor(L"D");
    Answers answers({{L"RENMOVE", TypeTarget(src / L"D\\sub")}, {L"#32770", Rule{{IDOK}}}});
    Run(req::RenMove);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_INTOITSELF)));
    EXPECT_EQ(Snapshot(src.Path()), before);
}

TEST_F(Safety, ADirectoryIsNotCopiedIntoItselfThroughAnotherDriveLetter)
{
    ASSERT_TRUE(MakeDir(src / L"D"));
    ASSERT_TRUE(MakeDir(src / L"D\\sub"));
    ASSERT_TRUE(MakeFile(src / L"D\\sub\\f.txt", "f"));
    // The same directory through the drive that maps the Unix root.
    std::wstring other = ThroughUnixRoot(src / L"D");
    ASSERT_EQ(other.substr(0, 2), L"Z:");
    ASSERT_NE(src.Path().substr(0, 2), L"Z:");
    ASSERT_EQ(ReadAll(other + L"\\sub\\f.txt"), "f");
    auto before = Snapshot(src.Path());
    Show(Left(), src.Path());
    Show(Right(), dst.Path());
    for (UINT request : {req::Copy, req::RenMove}) {
        for (std::wstring target : {other, other + L"\\sub", other + L"\\SUB\\..\\sub"}) {
            Cursor(L"D");
            Answers answers({{L"COPY", TypeTarget(target)}, {L"RENMOVE", TypeTarget(target)}, {L"#32770", Rule{{IDOK}}}});
            Run(request);
            EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_INTOITSELF))) << Narrow(target);
            EXPECT_EQ(answers.Boxes().size(), 1u) << Narrow(target);
            // Refused before anything was made.
            EXPECT_EQ(Snapshot(src.Path()), before) << Narrow(target);
        }
    }
    // The same spelling that is not inside the source is a plain copy.
    Cursor(L"D");
    Answers answers({{L"COPY", TypeTarget(ThroughUnixRoot(dst.Path()))}, {L"#32770", Rule{{IDOK}}}});
    Run(req::Copy);
    EXPECT_TRUE(answers.Boxes().empty());
    EXPECT_EQ(ReadAll(dst / L"D\\sub\\f.txt"), "f");
}

TEST_F(Safety, AWriteFailureHalfWayLeavesSourceAndOldTargetIntact)
{
    std::string data = RandomBytes(5 * 65535, 21);
    ASSERT_TRUE(MakeFile(src / L"big.bin", data));
    ASSERT_TRUE(MakeFile(dst / L"big.bin", "precious old target"));
    OperationState state;
    CCopyProgress progress(state, main->Handle(), L"");
    for (bool move : {false, true}) {
        CFileOperation op(progress);
        op.overwriteAll = true;
        int blocks = 0;
        op.writeBlock = [&](HANDLE f, const void* d, DWORD n, DWORD* w) {
            if (++blocks < 3) return ::WriteFile(f, d, n, w, nullptr) != FALSE;
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        };
        Answers answers({{L"#32770", Rule{{IDOK}}}});
        int result = move ? op.MoveFile(src / L"big.bin", dst.Path(), true) : op.CopyFile(src / L"big.bin", dst.Path(), true);
        EXPECT_EQ(result, OpFailed);
        EXPECT_EQ(answers.Boxes().size(), 1u);
        EXPECT_EQ(ReadAll(src / L"big.bin"), data);
        EXPECT_EQ(ReadAll(dst / L"big.bin"), "precious old target");
        EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
    }
    // A short write is a failure too, never a silently truncated copy.
    CFileOperation op(progress);
    op.writeBlock = [](HANDLE f, const void* d, DWORD n, DWORD* w) { return ::WriteFile(f, d, n / 2, w, nullptr) != FALSE; };
    Answers answers({{L"#32770", Rule{{IDOK}}}});
    EXPECT_EQ(op.CopyFile(src / L"big.bin", dst / L"fresh.bin", false), OpFailed);
    EXPECT_FALSE(Exists(dst / L"fresh.bin"));
}

TEST_F(Safety, ALockedSourceIsReportedAndAMoveKeepsIt)
{
    ASSERT_TRUE(MakeFile(src / L"locked.txt", "locked"));
    ASSERT_TRUE(MakeFile(src / L"free.txt", "free"));
    HANDLE lock = ::CreateFileW((src / L"locked.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ShowBoth();
    Mark({L"locked.txt", L"free.txt"});
    Answers answers({{L"RENMOVE", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
    Run(req::RenMove);
    ::CloseHandle(lock);
    EXPECT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(ReadAll(src / L"locked.txt"), "locked");
    EXPECT_FALSE(Exists(dst / L"locked.txt"));
    EXPECT_FALSE(Exists(src / L"free.txt"));
    EXPECT_EQ(ReadAll(dst / L"free.txt"), "free");
    EXPECT_EQ(MarkedNames(Left()).size(), 2u); // marks kept for a retry
}

TEST_F(Safety, AReadOnlyTargetIsNotReplaced)
{
    ASSERT_TRUE(MakeFile(src / L"ro.txt", "new"));
    ASSERT_TRUE(MakeFile(dst / L"ro.txt", "read-only original", FILE_ATTRIBUTE_READONLY));
    ShowBoth();
    Cursor(L"ro.txt");
    Answers answers({{L"RENMOVE", Rule{{IDOK}}}, {L"OVERWRITE", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
    Run(req::RenMove);
    EXPECT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(ReadAll(dst / L"ro.txt"), "read-only original");
    EXPECT_EQ(ReadAll(src / L"ro.txt"), "new");
    ::SetFileAttributesW((dst / L"ro.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Safety, AVanishedSourceIsReportedAndNothingElseChanges)
{
    ASSERT_TRUE(MakeFile(src / L"gone.txt", "g"));
    ASSERT_TRUE(MakeDir(src / L"gonedir"));
    ShowBoth();
    Mark({L"gone.txt", L"gonedir"});
    ASSERT_TRUE(::DeleteFileW((src / L"gone.txt").c_str()));
    ASSERT_TRUE(::RemoveDirectoryW((src / L"gonedir").c_str()));
    Answers answers({{L"COPY", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
    Run(req::Copy);
    EXPECT_EQ(answers.Boxes().size(), 2u);
    EXPECT_FALSE(Exists(dst / L"gone.txt"));
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
}

namespace {
// Directory links are made by the test command before the run (a Wine process cannot make a
// usable one, and starting a Unix program from the test process ends it): PD_LINK_FIXTURE names
// a tree with copy\T\loop -> copy\T and delete\T\loop -> delete\T, delete\T\out -> delete\victim,
// into\alias -> into\D and into\subalias -> into\D\sub.
std::wstring LinkFixture()
{
    wchar_t value[MAX_PATH * 2] = {};
    return ::GetEnvironmentVariableW(L"PD_LINK_FIXTURE", value, MAX_PATH * 2) ? value : L"";
}

bool IsDirectoryLink(const std::wstring& path)
{
    DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT) && (a & FILE_ATTRIBUTE_DIRECTORY);
}
}

class Links : public CopyFixture {
protected:
    void SetUp() override
    {
        fixture = LinkFixture();
        ASSERT_FALSE(fixture.empty()) << "PD_LINK_FIXTURE is set by scripts/test.sh: run the tests through it";
        CopyFixture::SetUp();
    }
    std::wstring fixture;
};

TEST_F(Links, ATreeCopyDoesNotFollowALinkToADirectory)
{
    std::wstring from = fixture + L"\\copy";
    ASSERT_TRUE(IsDirectoryLink(from + L"\\T\\loop")) << "the test command made no link";
    Show(Left(), from);
    Show(Right(), dst.Path());
    Cursor(L"T");
    Answers answers({{L"RENMOVE", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
    Run(req::RenMove);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_LINKSKIPPED)));
    EXPECT_EQ(ReadAll(dst / L"T\\keep.txt"), "keep");
    EXPECT_FALSE(Exists(dst / L"T\\loop"));
    // The file went with its copy; the link and so its directory stayed where they were.
    EXPECT_FALSE(Exists(from + L"\\T\\keep.txt"));
    EXPECT_TRUE(Exists(from + L"\\T\\loop"));
    // The fixture as the test command made it, for a second run.
    EXPECT_TRUE(MakeFile(from + L"\\T\\keep.txt", "keep"));
}

TEST_F(Links, ATreeDeleteDoesNotEnterOrRemoveALink)
{
    std::wstring root = fixture + L"\\delete";
    ASSERT_TRUE(IsDirectoryLink(root + L"\\T\\out")) << "the test command made no link";
    OperationState state;
    CCopyProgress progress(state, main->Handle(), L"");
    CFileOperation op(progress);
    Answers answers({{L"#32770", Rule{{IDOK}}}});
    EXPECT_EQ(op.DeleteTree(root + L"\\T"), 1);
    EXPECT_EQ(ReadAll(root + L"\\victim\\v.txt"), "v");
    EXPECT_FALSE(Exists(root + L"\\T\\keep.txt"));
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_DELETE_LINKKEPT)));
}

TEST_F(Links, ADirectoryIsNotCopiedIntoItselfThroughALink)
{
    // into\\alias -> into\\D and into\\subalias -> into\\D\\sub.
    std::wstring into = fixture + L"\\into";
    ASSERT_TRUE(IsDirectoryLink(into + L"\\alias")) << "the test command made no link";
    ASSERT_TRUE(IsDirectoryLink(into + L"\\subalias"));
    auto before = Snapshot(into + L"\\D");
    ASSERT_EQ(before.at(L"sub\\f.txt"), "f");
    Show(Left(), into);
    Show(Right(), dst.Path());
    for (UINT request : {req::Copy, req::RenMove}) {
        for (std::wstring target : {into + L"\\alias\\new", into + L"\\subalias", into + L"\\subalias\\deeper"}) {
            Cursor(L"D");
            Answers answers({{L"COPY", TypeTarget(target)}, {L"RENMOVE", TypeTarget(target)}, {L"#32770", Rule{{IDOK}}}});
            Run(request);
            EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_INTOITSELF))) << Narrow(target);
            EXPECT_EQ(Snapshot(into + L"\\D"), before) << Narrow(target);
        }
    }
}
