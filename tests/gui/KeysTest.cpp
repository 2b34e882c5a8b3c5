// The panel's key table, quick search, range selection, marking by mask and inverting.
#include "common/Settings.h"
#include "resource.h"
#include "support/Harness.h"
#include "support/TestEnv.h"

using test::AppTest;
using test::MarkedNames;
using test::RowNames;

class Keys : public AppTest {
protected:
    void Open(const std::wstring& dir)
    {
        WriteProfileString(L"Paden", L"Links", dir);
        WriteProfileString(L"Paden", L"Rechts", dir);
        ASSERT_TRUE(Start());
        WaitForPanels();
    }
    CFileList& P() { return main->LeftPanel(); }
    void Key(UINT vk)
    {
        ::SendMessageW(P().Handle(), WM_KEYDOWN, vk, 0);
        test::Pump(10);
    }
    void Char(wchar_t ch) { ::SendMessageW(P().Handle(), WM_CHAR, ch, 0); }
    int Cursor() { return P().List().GetFocusedItem(); }
    void Files(int n)
    {
        for (int i = 0; i < n; ++i) {
            wchar_t name[16];
            swprintf(name, 16, L"f%02d.txt", i);
            ASSERT_TRUE(test::MakeFile(tmp / name));
        }
    }
    test::TempDir tmp;
};

TEST_F(Keys, SpaceInsertHomeEndDown)
{
    Files(5);
    Open(tmp.Path());
    Key(VK_HOME);
    EXPECT_EQ(Cursor(), 0);
    Key(VK_DOWN);
    Key(VK_SPACE);
    EXPECT_EQ(Cursor(), 1);
    EXPECT_EQ(MarkedNames(P()), std::vector<std::wstring>{L"f00.txt"});
    Key(VK_INSERT);
    EXPECT_EQ(Cursor(), 2);
    EXPECT_TRUE(MarkedNames(P()).empty());
    Key(VK_END);
    EXPECT_EQ(Cursor(), 5);
    Key(VK_DOWN);
    EXPECT_EQ(Cursor(), 5);
    Key(VK_INSERT);
    EXPECT_EQ(Cursor(), 5);
    EXPECT_EQ(MarkedNames(P()), std::vector<std::wstring>{L"f04.txt"});
    EXPECT_EQ(P().markedFiles, 1);
    Key(VK_UP);
    EXPECT_EQ(Cursor(), 4);
}

TEST_F(Keys, PageUpGoesToTheTopOfThePageThenAPageFurther)
{
    Files(80);
    Open(tmp.Path());
    int page = P().List().GetCountPerPage();
    ASSERT_GT(page, 2);
    Key(VK_END);
    int top = P().List().GetTopIndex();
    EXPECT_GT(top, 0);
    Key(VK_PRIOR);
    EXPECT_EQ(Cursor(), top);
    Key(VK_PRIOR);
    EXPECT_EQ(Cursor(), std::max(0, top - page));
    Key(VK_HOME);
    Key(VK_NEXT);
    EXPECT_EQ(Cursor(), page);
}

TEST_F(Keys, LeftAndRightSwitchOnlyTowardsTheOtherPanel)
{
    Files(1);
    Open(tmp.Path());
    ASSERT_TRUE(main->LeftActive());
    Key(VK_LEFT);
    test::Pump(30);
    EXPECT_TRUE(main->LeftActive());
    Key(VK_RIGHT);
    test::Pump(30);
    EXPECT_FALSE(main->LeftActive());
}

TEST_F(Keys, QuickSearchCyclesThroughInitialsAndMarksOneRow)
{
    for (const wchar_t* n : {L"Apple", L"apricot", L"Banana"}) ASSERT_TRUE(test::MakeFile(tmp / n));
    ASSERT_TRUE(test::MakeDir(tmp / L"ALPHA"));
    Open(tmp.Path());
    ASSERT_EQ(RowNames(P()), (std::vector<std::wstring>{L"..", L"ALPHA", L"Apple", L"apricot", L"Banana"}));
    auto expect = [&](wchar_t ch, const std::wstring& name) {
        Char(ch);
        EXPECT_EQ(P().Entry(Cursor())->name, name) << char(ch);
        EXPECT_EQ(MarkedNames(P()), std::vector<std::wstring>{name});
    };
    expect(L'a', L"ALPHA");
    expect(L'a', L"Apple");
    expect(L'A', L"apricot");
    expect(L'a', L"ALPHA");
    expect(L'b', L"Banana");
    Char(L'z');
    EXPECT_EQ(Cursor(), 0);
    EXPECT_TRUE(MarkedNames(P()).empty());
}

TEST_F(Keys, RangeSelectionReplacesEarlierMarks)
{
    Files(14);
    Open(tmp.Path());
    P().List().SetItemState(10, LVIS_SELECTED, LVIS_SELECTED);
    P().List().SetItemState(11, LVIS_SELECTED, LVIS_SELECTED);
    Key(VK_HOME);
    for (int i = 0; i < 3; ++i) Key(VK_DOWN);
    Key(VK_SPACE);
    for (int i = 0; i < 4; ++i) ::SendMessageW(main->Handle(), WM_COMMAND, IDM_EXTENDDOWN, 0), test::Pump(20);
    std::vector<int> marked;
    for (int row = 0; row < P().RowCount(); ++row)
        if (P().List().IsSelected(row)) marked.push_back(row);
    EXPECT_EQ(marked, (std::vector<int>{3, 4, 5, 6, 7}));
    EXPECT_EQ(Cursor(), 7);
    EXPECT_EQ(P().markedFiles, 5);
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_EXTENDHOME, 0);
    test::Pump(20);
    EXPECT_EQ(Cursor(), 0);
    EXPECT_EQ(P().List().GetSelectedCount(), 8); // rows 0 .. 7, ".." included
}

TEST_F(Keys, MarkByMaskTouchesFilesOnly)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"README.TXT"));
    ASSERT_TRUE(test::MakeFile(tmp / L"notes.txt"));
    ASSERT_TRUE(test::MakeFile(tmp / L"other.doc"));
    ASSERT_TRUE(test::MakeDir(tmp / L"old.txt"));
    Open(tmp.Path());
    test::DialogAnswerer answer(L"MARK", IDOK, [](HWND dlg) { ::SetDlgItemTextW(dlg, IDC_TEXT_FIELD, L"*.txt"); });
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_SELECT, 0);
    EXPECT_EQ(answer.Answered(), 1);
    auto marked = MarkedNames(P());
    std::sort(marked.begin(), marked.end());
    EXPECT_EQ(marked, (std::vector<std::wstring>{L"README.TXT", L"notes.txt"}));
    test::DialogAnswerer unmark(L"UNMARK", IDOK, [](HWND dlg) { ::SetDlgItemTextW(dlg, IDC_TEXT_FIELD, L"n*"); });
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_DESELECT, 0);
    EXPECT_EQ(MarkedNames(P()), std::vector<std::wstring>{L"README.TXT"});
}

TEST_F(Keys, InvertLeavesTheParentAlone)
{
    Files(9);
    Open(tmp.Path());
    ASSERT_EQ(P().RowCount(), 10);
    for (int row : {0, 2, 5}) P().List().SetItemState(row, row ? LVIS_SELECTED : 0, LVIS_SELECTED);
    P().List().SetItemState(7, LVIS_SELECTED, LVIS_SELECTED);
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_INVERT, 0);
    test::Pump(30);
    EXPECT_FALSE(P().List().IsSelected(0));
    EXPECT_EQ(P().List().GetSelectedCount(), 6);
    EXPECT_FALSE(P().List().IsSelected(2));
    EXPECT_EQ(P().markedFiles, 6);
}

TEST_F(Keys, CtrlBackslashJumpsToTheRoot)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"deep"));
    Open(tmp / L"deep");
    Char(0x1C);
    test::Pump(30);
    EXPECT_EQ(P().path, tmp.Path().substr(0, 3));
    EXPECT_EQ(P().depth, 0);
    ::SendMessageW(main->Handle(), WM_COMMAND, IDC_BACKL, 0);
    test::Pump(400);
    EXPECT_EQ(P().path, tmp / L"deep");
}

TEST_F(Keys, ChangeDirectoryDialogTakesRelativeAndAbsolutePaths)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"sub"));
    Open(tmp.Path());
    {
        test::DialogAnswerer answer(L"CD", IDOK, [](HWND dlg) { ::SetDlgItemTextW(dlg, IDC_TEXT_FIELD, L"sub"); });
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_CD, 0);
        test::Pump(50);
        EXPECT_EQ(answer.Answered(), 1);
    }
    EXPECT_EQ(P().path, tmp / L"sub");
    {
        test::DialogAnswerer answer(L"CD", IDCANCEL);
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_CD, 0);
        test::Pump(50);
    }
    EXPECT_EQ(P().path, tmp / L"sub");
}
