// Reading real temporary directories into a panel: parent row, depth, options, mask, marks, cursor.
#include "common/Settings.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include <algorithm>

using test::AppTest;
using test::RowNames;

class PanelRead : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(Start());
        WaitForPanels();
    }
    void TearDown() override
    {
        if (app) Program().fileMask = L"*.*";
        AppTest::TearDown();
    }
    CFileList& Show(const std::wstring& dir)
    {
        CFileList& p = main->LeftPanel();
        p.SetDirectory(dir.substr(0, 3), dir);
        p.keepMarks = false;
        p.OnUpdate();
        return p;
    }
    static bool Has(const std::vector<std::wstring>& names, const std::wstring& name)
    {
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    test::TempDir tmp;
};

TEST_F(PanelRead, RootsHaveNoParentRowAndDepthCountsBackslashes)
{
    CFileList& p = Show(L"C:\\");
    EXPECT_EQ(p.depth, 0);
    ASSERT_GT(p.RowCount(), 0);
    EXPECT_NE(p.Entry(0)->kind, EntryParent);

    ASSERT_TRUE(test::MakeDir(tmp / L"A"));
    ASSERT_TRUE(test::MakeDir(tmp / L"A\\B"));
    int base = static_cast<int>(std::count(tmp.Path().begin(), tmp.Path().end(), L'\\'));
    Show(tmp / L"A");
    EXPECT_EQ(p.depth, base + 1);
    EXPECT_EQ(p.Entry(0)->kind, EntryParent);
    EXPECT_EQ(p.Entry(0)->name, L"..");
    Show(tmp / L"A\\B");
    EXPECT_EQ(p.depth, base + 2);
    EXPECT_EQ(RowNames(p), std::vector<std::wstring>{L".."});
}

TEST_F(PanelRead, DirectoriesBeforeFilesWithSizesAndTimes)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"b.txt", "12345"));
    ASSERT_TRUE(test::MakeDir(tmp / L"zdir"));
    ASSERT_TRUE(test::MakeFile(tmp / L"A.TXT", "x"));
    CFileList& p = Show(tmp.Path());
    EXPECT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"zdir", L"A.TXT", L"b.txt"}));
    EXPECT_EQ(p.Entry(3)->Size(), 5u);
    EXPECT_EQ(p.Entry(1)->kind, EntryDirectory);
    EXPECT_EQ(p.Entry(1)->Size(), 0u);
    EXPECT_NE(p.Entry(3)->lastWrite, 0u);
    EXPECT_EQ(p.totalFiles, 2);
}

TEST_F(PanelRead, HiddenAndSystemEntriesFollowTheOptions)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"plain.txt"));
    ASSERT_TRUE(test::MakeFile(tmp / L"hidden.txt", "", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(test::MakeFile(tmp / L"system.txt", "", FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(test::MakeFile(tmp / L"both.txt", "", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(test::MakeDir(tmp / L"hdir", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(::GetFileAttributesW((tmp / L"hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);

    auto names = RowNames(Show(tmp.Path()));
    EXPECT_TRUE(Has(names, L"plain.txt"));
    EXPECT_FALSE(Has(names, L"hidden.txt"));
    EXPECT_FALSE(Has(names, L"system.txt"));
    EXPECT_FALSE(Has(names, L"hdir"));

    WriteProfileInt(L"Algemeen", L"Hidden", 1);
    names = RowNames(Show(tmp.Path()));
    EXPECT_TRUE(Has(names, L"hidden.txt"));
    EXPECT_FALSE(Has(names, L"both.txt")); // needs both options
    EXPECT_FALSE(Has(names, L"hdir"));     // directories have options of their own

    WriteProfileInt(L"Algemeen", L"System", 1);
    WriteProfileInt(L"Algemeen", L"HiddenDir", 1);
    names = RowNames(Show(tmp.Path()));
    EXPECT_TRUE(Has(names, L"both.txt"));
    EXPECT_TRUE(Has(names, L"system.txt"));
    EXPECT_TRUE(Has(names, L"hdir"));
    CFileList& p = main->LeftPanel();
    EXPECT_TRUE(p.Entry(test::RowOf(p, L"hidden.txt"))->IsHiddenOrSystem());
}

TEST_F(PanelRead, TheMaskFiltersFilesOnly)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"a.txt"));
    ASSERT_TRUE(test::MakeFile(tmp / L"b.doc"));
    ASSERT_TRUE(test::MakeDir(tmp / L"sub.dir"));
    Program().fileMask = L"*.txt";
    auto names = RowNames(Show(tmp.Path()));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"..", L"sub.dir", L"a.txt"}));
}

TEST_F(PanelRead, MarksSurviveARefreshByNameOnlyWhileKept)
{
    for (const wchar_t* n : {L"a.txt", L"B.TXT", L"c.txt"}) ASSERT_TRUE(test::MakeFile(tmp / n));
    CFileList& p = Show(tmp.Path());
    p.List().SetItemState(test::RowOf(p, L"a.txt"), LVIS_SELECTED, LVIS_SELECTED);
    p.List().SetItemState(test::RowOf(p, L"B.TXT"), LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(p.markedFiles, 2);
    ASSERT_TRUE(test::MakeFile(tmp / L"0new.txt"));
    p.OnUpdate();
    EXPECT_EQ(test::MarkedNames(p), (std::vector<std::wstring>{L"a.txt", L"B.TXT"}));
    EXPECT_EQ(p.markedFiles, 2);
    p.keepMarks = false;
    p.OnUpdate();
    EXPECT_TRUE(test::MarkedNames(p).empty());
}

TEST_F(PanelRead, RememberedCursorIsClampedToAShrunkDirectory)
{
    for (const wchar_t* n : {L"1", L"2", L"3"}) ASSERT_TRUE(test::MakeFile(tmp / n));
    CFileList& p = Show(tmp.Path());
    p.focusIndex[p.depth < PanelDepths ? p.depth : 0] = 10;
    p.OnUpdate();
    if (p.depth < PanelDepths) {
        EXPECT_EQ(p.List().GetFocusedItem(), p.RowCount() - 1);
        EXPECT_EQ(p.focusIndex[p.depth], 3);
    }
    ASSERT_TRUE(test::MakeDir(tmp / L"empty"));
    Show(tmp / L"empty");
    EXPECT_EQ(p.RowCount(), 1);
}

TEST_F(PanelRead, DeepDirectoriesAreListedWithoutPositionMemory)
{
    std::wstring dir = tmp.Path();
    for (int i = 0; i < 12; ++i) {
        dir += L"\\d" + std::to_wstring(i);
        ASSERT_TRUE(test::MakeDir(dir));
    }
    ASSERT_TRUE(test::MakeFile(dir + L"\\deep.txt"));
    CFileList& p = Show(dir);
    EXPECT_GE(p.depth, PanelDepths);
    EXPECT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"deep.txt"}));
}

TEST_F(PanelRead, HugeMarkedFileIsSummedIn64Bits)
{
    ASSERT_TRUE(test::MakeSparseFile(tmp / L"huge.bin", 5000000000ULL));
    ASSERT_TRUE(test::MakeFile(tmp / L"small.bin", "abc"));
    CFileList& p = Show(tmp.Path());
    int row = test::RowOf(p, L"huge.bin");
    ASSERT_GE(row, 0);
    EXPECT_EQ(p.Entry(row)->Size(), 5000000000ULL);
    p.List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    p.List().SetItemState(test::RowOf(p, L"small.bin"), LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(p.markedBytes, 5000000003.0);
    std::wstring sep(1, Program().thousandSeparator[0]);
    std::wstring line = fw::GetText(main->Side(true).selectionLine.Handle());
    EXPECT_NE(line.find(L"5" + sep + L"000" + sep + L"000" + sep + L"003"), std::wstring::npos) << test::Narrow(line);
    EXPECT_EQ(line.size(), 120u);
}

TEST_F(PanelRead, NamesOutsideTheAnsiCodePageAreIntact)
{
    const std::wstring name = L"\u03a9mega \u4e2d\u6587 \u0436\u0443\u043a.txt";
    ASSERT_TRUE(test::MakeFile(tmp / name, "data"));
    ASSERT_TRUE(test::MakeDir(tmp / L"\u0436\u0443\u043a"));
    CFileList& p = Show(tmp.Path());
    EXPECT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"\u0436\u0443\u043a", name}));
    EXPECT_EQ(p.Entry(2)->Size(), 4u);
}

TEST_F(PanelRead, AVanishedDirectoryShowsItsNearestParent)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"gone"));
    ASSERT_TRUE(test::MakeFile(tmp / L"stays.txt"));
    CFileList& p = Show(tmp / L"gone");
    ::SetCurrentDirectoryW(L"C:\\");
    ASSERT_TRUE(::RemoveDirectoryW((tmp / L"gone").c_str()));
    p.OnUpdate();
    EXPECT_EQ(p.path, tmp.Path());
    EXPECT_TRUE(Has(RowNames(p), L"stays.txt"));
}
