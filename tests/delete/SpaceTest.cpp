// Making directories, the space of a tree and renaming one entry, through the real dialogs.
#include "common/RecentDirectories.h"
#include "delete/DeleteSupport.h"
#include "panel/PanelRequests.h"
#include "resource.h"

using namespace test;

namespace {
std::wstring CursorName(CFileList& panel)
{
    int row = panel.List().GetFocusedItem();
    const FileEntry* e = row >= 0 ? panel.Entry(row) : nullptr;
    return e ? e->name : std::wstring();
}
}

class MakeDir : public DeleteFixture {};

TEST_F(MakeDir, NewSubIsMadeInOneStepWithTheCursorOnNew)
{
    ASSERT_TRUE(test::MakeDir(src / L"AAA"));
    ASSERT_TRUE(MakeFile(src / L"zzz.txt", "z"));
    ShowBoth();
    Cursor(L"zzz.txt");
    Answers answers({{L"NEWDIR", Rule{{IDOK}, [](HWND w) { ::SetDlgItemTextW(w, IDC_TEXT_FIELD, L"NEW\\SUB"); }}},
                     {L"#32770", Rule{{IDOK}}}});
    Command(IDM_MKDIR);
    EXPECT_EQ(answers.Count(L"NEWDIR"), 1);
    EXPECT_TRUE(answers.Boxes().empty());
    EXPECT_TRUE(::GetFileAttributesW((src / L"NEW\\SUB").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(CursorName(Left()), L"NEW");
    EXPECT_EQ(ReadRecentDirectories()[0], src.Path());
}

TEST_F(MakeDir, ANonAnsiNameSurvives)
{
    ShowBoth();
    std::wstring name = L"\u00c5ngstr\u00f6m \u0436\u0443\u043a";
    Answers answers({{L"NEWDIR", Rule{{IDOK}, [&](HWND w) { ::SetDlgItemTextW(w, IDC_TEXT_FIELD, name.c_str()); }}},
                     {L"#32770", Rule{{IDOK}}}});
    Run(req::MkDir);
    EXPECT_TRUE(Exists(src / name));
    EXPECT_EQ(CursorName(Left()), name);
}

TEST_F(MakeDir, AnImpossibleNameIsReported)
{
    ShowBoth();
    Answers answers({{L"NEWDIR", Rule{{IDOK}, [](HWND w) { ::SetDlgItemTextW(w, IDC_TEXT_FIELD, L"bad<name>"); }}},
                     {L"#32770", Rule{{IDOK}}}});
    Run(req::MkDir);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_MKDIRFAILED) + (src / L"bad<name>")));
    // Cancel makes nothing.
    auto before = Snapshot(src.Path());
    Answers cancel({{L"NEWDIR", Rule{{IDCANCEL}, [](HWND w) { ::SetDlgItemTextW(w, IDC_TEXT_FIELD, L"X"); }}}});
    Run(req::MkDir);
    EXPECT_EQ(Snapshot(src.Path()), before);
}

class Space : public DeleteFixture {
protected:
    void SetUp() override
    {
        DeleteFixture::SetUp();
        Program().thousandSeparator[0] = L',';
    }
};

TEST_F(Space, ATreeOfThreeDirectoriesAndTenFiles)
{
    ASSERT_TRUE(test::MakeDir(src / L"T"));
    ASSERT_TRUE(test::MakeDir(src / L"T\\a"));
    ASSERT_TRUE(test::MakeDir(src / L"T\\b"));
    ASSERT_TRUE(test::MakeDir(src / L"T\\b\\c"));
    const wchar_t* places[] = {L"T", L"T\\a", L"T\\b", L"T\\b\\c"};
    uint64_t total = 0;
    for (int i = 0; i < 10; ++i) {
        std::string data(1000 + i * 100, 'x');
        total += data.size();
        ASSERT_TRUE(MakeFile(src / (std::wstring(places[i % 4]) + L"\\f" + std::to_wstring(i)), data));
    }
    ShowBoth();
    Cursor(L"T");
    std::wstring dirs, files, bytes, prompt;
    Answers answers({{L"CALCSPACE", Rule{{IDOK}, [&](HWND w) {
                          prompt = fw::GetText(::GetDlgItem(w, IDC_SPACE_PROMPT));
                          dirs = fw::GetText(::GetDlgItem(w, IDC_SPACE_DIRS));
                          files = fw::GetText(::GetDlgItem(w, IDC_SPACE_FILES));
                          bytes = fw::GetText(::GetDlgItem(w, IDC_SPACE_BYTES));
                      }}},
                     {L"#32770", Rule{{IDOK}}}});
    Command(IDM_CALCSPACE);
    EXPECT_EQ(Left().spaceDirs, 3);
    EXPECT_EQ(Left().spaceFiles, 10);
    EXPECT_EQ(Left().spaceBytes, static_cast<double>(total));
    EXPECT_EQ(dirs, L"3");
    EXPECT_EQ(files, L"10");
    EXPECT_EQ(bytes, L"14,500");
    EXPECT_EQ(prompt, fw::LoadStr(IDS_SPACE_PROMPT) + (src / L"T"));
    EXPECT_TRUE(::IsWindowEnabled(main->Handle()));
}

TEST_F(Space, AFiveGigabyteFileCountsInFull)
{
    ASSERT_TRUE(test::MakeDir(src / L"S"));
    ASSERT_TRUE(MakeSparseFile(src / L"S\\big.bin", 5000000000ull));
    ShowBoth();
    Cursor(L"S");
    std::wstring bytes;
    Answers answers({{L"CALCSPACE", Rule{{IDOK}, [&](HWND w) { bytes = fw::GetText(::GetDlgItem(w, IDC_SPACE_BYTES)); }}}});
    Run(req::CalcSpace);
    EXPECT_EQ(Left().spaceBytes, 5000000000.0);
    EXPECT_EQ(bytes, L"5,000,000,000");
}

TEST_F(Space, AFileUnderTheCursorIsRefused)
{
    ASSERT_TRUE(MakeFile(src / L"a.txt", "a"));
    ShowBoth();
    Cursor(L"a.txt");
    Answers answers({{L"#32770", Rule{{IDOK}}}, {L"CALCSPACE", Rule{{IDOK}}}});
    Run(req::CalcSpace);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_NOTADIRECTORY)));
    EXPECT_EQ(answers.Count(L"CALCSPACE"), 0);
}

TEST_F(Space, ALinkInsideTheTreeIsNotEntered)
{
    ASSERT_TRUE(test::MakeDir(src / L"T"));
    ASSERT_TRUE(MakeFile(src / L"T\\f", "12345"));
    ASSERT_TRUE(MakeLink(src / L"T\\loop", src / L"T")) << "ln -s failed";
    ShowBoth();
    Cursor(L"T");
    Answers answers({{L"CALCSPACE", Rule{{IDOK}}}});
    Run(req::CalcSpace);
    EXPECT_EQ(Left().spaceFiles, 1);
    EXPECT_EQ(Left().spaceDirs, 1);
    EXPECT_EQ(Left().spaceBytes, 5.0);
}

class Rename : public DeleteFixture {};

TEST_F(Rename, OneEntryGetsTheTypedName)
{
    ASSERT_TRUE(MakeFile(src / L"old.txt", "content"));
    ShowBoth();
    std::wstring shown;
    std::wstring name = L"n\u00e9u \u00f1and\u00fa.txt";
    Answers answers({{L"RENAME", Rule{{IDOK}, [&](HWND w) {
                          shown = fw::GetText(::GetDlgItem(w, IDC_TEXT_FIELD));
                          ::SetDlgItemTextW(w, IDC_TEXT_FIELD, name.c_str());
                      }}},
                     {L"#32770", Rule{{IDOK}}}});
    Left().RenameEntry(*Left().Entry(RowOf(Left(), L"old.txt")));
    EXPECT_EQ(shown, L"old.txt");
    EXPECT_TRUE(answers.Boxes().empty());
    EXPECT_FALSE(Exists(src / L"old.txt"));
    EXPECT_EQ(ReadAll(src / name), "content");
    ASSERT_TRUE(PumpUntil([&] { return RowOf(Left(), name) >= 0; }));
}

TEST_F(Rename, AnExistingNameIsNeverReplaced)
{
    ASSERT_TRUE(MakeFile(src / L"a.txt", "a"));
    ASSERT_TRUE(MakeFile(src / L"b.txt", "b"));
    ASSERT_TRUE(test::MakeDir(src / L"D"));
    ShowBoth();
    Answers answers({{L"RENAME", Rule{{IDOK}, [](HWND w) { ::SetDlgItemTextW(w, IDC_TEXT_FIELD, L"b.txt"); }}},
                     {L"#32770", Rule{{IDOK}}}});
    Left().RenameEntry(*Left().Entry(RowOf(Left(), L"a.txt")));
    EXPECT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(ReadAll(src / L"a.txt"), "a");
    EXPECT_EQ(ReadAll(src / L"b.txt"), "b");
    // A directory renamed.
    Answers dir({{L"RENAME", Rule{{IDOK}, [](HWND w) { ::SetDlgItemTextW(w, IDC_TEXT_FIELD, L"E"); }}}});
    Left().RenameEntry(*Left().Entry(RowOf(Left(), L"D")));
    EXPECT_TRUE(Exists(src / L"E"));
    EXPECT_FALSE(Exists(src / L"D"));
}
