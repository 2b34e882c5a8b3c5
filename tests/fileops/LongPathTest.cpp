// A panel deeper than the plain path limit: listing, entering, copying in and out, moving, space, delete.
#include "fileops/FileCheck.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "panel/PanelRequests.h"
#include "resource.h"

using namespace test;

class LongPaths : public CopyFixture {
protected:
    // Directories below src until the path is at least 300 characters long; the last one is returned.
    std::wstring MakeDeep()
    {
        std::wstring path = src.Path();
        for (int level = 0; path.size() < 300; ++level) {
            path += L"\\level" + std::to_wstring(level) + L"_" + std::wstring(60, L'x');
            if (!::CreateDirectoryW(LongPath(path).c_str(), nullptr)) return std::wstring();
        }
        return path;
    }
    // The plain calls of the test stop at the limit on Windows: every check goes through the long form.
    std::string Read(const std::wstring& path) { return ReadAll(LongPath(path)); }
    bool There(const std::wstring& path) { return Exists(LongPath(path)); }
};

TEST_F(LongPaths, APanelThreeHundredCharactersDeepWorksLikeAnyOther)
{
    std::wstring deep = MakeDeep();
    ASSERT_GE(deep.size(), 300u);
    ASSERT_TRUE(MakeFile(LongPath(deep + L"\\inside.txt"), "inside"));
    ASSERT_TRUE(MakeDir(LongPath(deep + L"\\tree")));
    ASSERT_TRUE(MakeFile(LongPath(deep + L"\\tree\\t.txt"), "t"));
    ASSERT_TRUE(MakeFile(dst / L"outside.txt", "outside"));

    // Entered from its parent, as a user gets there.
    Show(Left(), ParentDirectory(deep));
    Show(Right(), dst.Path());
    Cursor(LastPart(deep));
    Left().OpenCurrentEntry();
    ASSERT_EQ(Left().path, deep);
    // Being there must not cost the process its libraries: under Wine a current directory this
    // long makes every later load by name fail.
    HMODULE library = ::LoadLibraryExW(L"PD.EXE", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(library, nullptr);
    if (library) ::FreeLibrary(library);
    EXPECT_GE(RowOf(Left(), L".."), 0);
    EXPECT_GE(RowOf(Left(), L"inside.txt"), 0);
    EXPECT_GE(RowOf(Left(), L"tree"), 0);

    // Out of it.
    Mark({L"inside.txt", L"tree"});
    {
        Answers answers({{L"COPY", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
        Run(req::Copy);
        EXPECT_TRUE(answers.Boxes().empty());
    }
    EXPECT_EQ(ReadAll(dst / L"inside.txt"), "inside");
    EXPECT_EQ(ReadAll(dst / L"tree\\t.txt"), "t");

    // Into it: a file copied, a directory moved.
    ASSERT_TRUE(MakeDir(dst / L"moved"));
    ASSERT_TRUE(MakeFile(dst / L"moved\\m.txt", "m"));
    Show(Left(), dst.Path());
    Show(Right(), deep);
    Cursor(L"outside.txt");
    {
        Answers answers({{L"COPY", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
        Run(req::Copy);
        EXPECT_TRUE(answers.Boxes().empty());
    }
    EXPECT_EQ(Read(deep + L"\\outside.txt"), "outside");
    Cursor(L"moved");
    {
        Answers answers({{L"RENMOVE", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
        Run(req::RenMove);
        EXPECT_TRUE(answers.Boxes().empty());
    }
    EXPECT_EQ(Read(deep + L"\\moved\\m.txt"), "m");
    EXPECT_FALSE(Exists(dst / L"moved"));

    // Space and make directory in it.
    Show(Left(), deep);
    Show(Right(), dst.Path());
    Cursor(L"tree");
    {
        Answers answers({{L"CALCSPACE", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
        Run(req::CalcSpace);
        EXPECT_EQ(answers.Count(L"CALCSPACE"), 1);
    }
    EXPECT_EQ(Left().spaceFiles, 1);
    {
        Answers answers({{L"NEWDIR", Rule{{IDOK}, [](HWND w) { ::SetDlgItemTextW(w, IDC_TEXT_FIELD, L"NEW\\SUB"); }}},
                         {L"#32770", Rule{{IDOK}}}});
        Run(req::MkDir);
        EXPECT_TRUE(answers.Boxes().empty());
    }
    EXPECT_TRUE(::GetFileAttributesW(LongPath(deep + L"\\NEW\\SUB").c_str()) & FILE_ATTRIBUTE_DIRECTORY);

    // Delete in it: a file and two trees, for good.
    Show(Left(), deep);
    Mark({L"inside.txt", L"tree", L"moved"});
    {
        Answers answers({{L"#32770", Rule{{IDYES}}}, {L"DELETEDIR", Rule{{IDC_DELDIR_ALL}}}});
        Run(req::Delete);
        EXPECT_EQ(answers.Boxes().size(), 1u);
    }
    EXPECT_FALSE(There(deep + L"\\inside.txt"));
    EXPECT_FALSE(There(deep + L"\\tree"));
    EXPECT_FALSE(There(deep + L"\\moved"));
    EXPECT_TRUE(There(deep + L"\\outside.txt"));
    ASSERT_TRUE(PumpUntil([&] { return RowOf(Left(), L"inside.txt") < 0; }));
    EXPECT_GE(RowOf(Left(), L"outside.txt"), 0);

    // Back up with "..".
    Cursor(L"..");
    Left().OpenCurrentEntry();
    EXPECT_EQ(Left().path, ParentDirectory(deep));
    RemoveTree(LongPath(src / L"level0_" + std::wstring(60, L'x')));
}

TEST_F(LongPaths, TheRecycleBinCannotTakeSuchAPathAndSaysSo)
{
    std::wstring deep = MakeDeep();
    ASSERT_FALSE(deep.empty());
    ASSERT_TRUE(MakeFile(LongPath(deep + L"\\keep.txt"), "keep"));
    Show(Left(), deep);
    Show(Right(), dst.Path());
    Cursor(L"keep.txt");
    main->operation.recycleMode = true;
    Answers answers({{L"#32770", Rule{{IDYES, IDOK}}}});
    Run(req::Delete);
    main->operation.recycleMode = false;
    ASSERT_EQ(answers.Boxes().size(), 2u);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_DELETE_FAILED) + deep + L"\\keep.txt"));
    EXPECT_EQ(Read(deep + L"\\keep.txt"), "keep");
    RemoveTree(LongPath(src / L"level0_" + std::wstring(60, L'x')));
}
