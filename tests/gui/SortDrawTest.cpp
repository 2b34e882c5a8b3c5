// Sort commands and header clicks on a real panel, the fitting of texts, and the drawn colours.
#include "common/Settings.h"
#include "resource.h"
#include "support/Harness.h"
#include "support/TestEnv.h"

using test::AppTest;
using test::RowNames;

class SortDraw : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(test::MakeFile(tmp / L"b.txt", std::string(300, 'x')));
        ASSERT_TRUE(test::MakeFile(tmp / L"a.zip", std::string(10, 'x')));
        ASSERT_TRUE(test::MakeFile(tmp / L"README", std::string(20, 'x')));
        ASSERT_TRUE(test::MakeDir(tmp / L"zdir"));
        ASSERT_TRUE(test::MakeFile(tmp / L"hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN));
        WriteProfileInt(L"Algemeen", L"Hidden", 1);
        WriteProfileString(L"Paden", L"Links", tmp.Path());
        WriteProfileString(L"Paden", L"Rechts", tmp.Path());
        ASSERT_TRUE(Start());
        WaitForPanels();
    }
    void Command(UINT id)
    {
        ::SendMessageW(main->Handle(), WM_COMMAND, id, 0);
        test::Pump(50);
    }
    test::TempDir tmp;
};

TEST_F(SortDraw, SortCommandsToggleAndKeepDirectoriesFirst)
{
    CFileList& p = main->LeftPanel();
    EXPECT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"zdir", L"a.zip", L"b.txt", L"hidden.txt", L"README"}));
    Command(IDM_SORTNAME);
    EXPECT_EQ(p.sortMode, 129);
    EXPECT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"zdir", L"README", L"hidden.txt", L"b.txt", L"a.zip"}));
    Command(IDM_SORTSIZE);
    EXPECT_EQ(p.sortMode, 32);
    EXPECT_EQ(p.sortColumn, 1);
    EXPECT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"zdir", L"hidden.txt", L"a.zip", L"README", L"b.txt"}));
    Command(IDM_SORTEXT);
    EXPECT_EQ(p.sortMode, 64);
    EXPECT_EQ(RowNames(p)[2], L"README");
    EXPECT_EQ(RowNames(p)[5], L"a.zip");
    EXPECT_EQ(main->RightPanel().sortMode, 128);
}

TEST_F(SortDraw, HeaderClicksFollowTheRules)
{
    CFileList& p = main->LeftPanel();
    auto click = [&](int column) {
        NMLISTVIEW nm = {};
        nm.hdr.hwndFrom = p.Handle();
        nm.hdr.idFrom = IDC_PANELL;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iSubItem = column;
        ::SendMessageW(main->Handle(), WM_NOTIFY, IDC_PANELL, reinterpret_cast<LPARAM>(&nm));
        test::Pump(50);
    };
    click(2);
    EXPECT_EQ(p.sortMode, 16);
    EXPECT_EQ(p.sortColumn, 2);
    click(2);
    EXPECT_EQ(p.sortMode, 17);
    // Not a name mode: column 0 returns to the last name mode without asking.
    click(0);
    EXPECT_EQ(p.sortMode, 128);
    EXPECT_EQ(p.sortColumn, 0);
    {
        test::DialogAnswerer answer(L"SORTFILES", IDOK, [](HWND dlg) {
            ::CheckRadioButton(dlg, IDC_SORT_NAME, IDC_SORT_EXTENSION, IDC_SORT_EXTENSION);
        });
        click(0);
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(p.sortMode, 64);
    }
    {
        test::DialogAnswerer answer(L"SORTFILES", IDCANCEL);
        click(0);
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(p.sortMode, 64);
    }
    // The click records the directory as a recent one.
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Dir1", L""), tmp.Path());
}

TEST_F(SortDraw, TextsAreCutToTheColumnWithRealFontMeasurement)
{
    CFileList& p = main->LeftPanel();
    HDC dc = ::GetDC(p.Handle());
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(p.Handle(), WM_GETFONT, 0, 0)));
    EXPECT_EQ(CFileList::FitText(dc, L"anything", 8), L"");
    std::wstring name = L"a-rather-long-file-name-that-cannot-fit.txt";
    std::wstring cut = CFileList::FitText(dc, name, 60);
    ASSERT_GE(cut.size(), 4u);
    EXPECT_EQ(cut.substr(cut.size() - 3), L"...");
    std::wstring kept = cut.substr(0, cut.size() - 3);
    EXPECT_EQ(name.compare(0, kept.size(), kept), 0);
    SIZE size;
    std::wstring withNext = name.substr(0, kept.size() + 1);
    ::GetTextExtentPoint32W(dc, withNext.c_str(), static_cast<int>(withNext.size()), &size);
    EXPECT_LE(size.cx, 60 - 8);
    EXPECT_EQ(CFileList::FitText(dc, L"ok", 100), L"ok");
    ::SelectObject(dc, old);
    ::ReleaseDC(p.Handle(), dc);
}

TEST_F(SortDraw, FitColumnTakesTheWidestVisibleText)
{
    CFileList& p = main->LeftPanel();
    int width = p.FitColumn(1);
    EXPECT_GT(width, 8);
    EXPECT_EQ(p.List().GetColumnWidth(1), width);
    Command(IDM_COLSIZES);
    EXPECT_GT(p.List().GetColumnWidth(2), 60);
}

namespace {
bool RowHasColor(HDC dc, const RECT& row, COLORREF color)
{
    for (int x = row.left; x < row.right; ++x)
        for (int y = row.top; y < row.bottom; ++y)
            if (::GetPixel(dc, x, y) == color) return true;
    return false;
}
}

TEST_F(SortDraw, RowsAreDrawnInTheirColours)
{
    CFileList& p = main->LeftPanel();
    ::SetForegroundWindow(main->Handle());
    int hidden = test::RowOf(p, L"hidden.txt");
    p.List().SetItemState(hidden, LVIS_SELECTED, LVIS_SELECTED);
    ::RedrawWindow(main->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    test::Pump(200);
    HDC dc = ::GetDC(p.Handle());
    const PanelColors& c = main->Colors();
    auto rowRect = [&](const std::wstring& name) {
        RECT r;
        p.List().GetItemRect(test::RowOf(p, name), r);
        return r;
    };
    int col0 = p.List().GetColumnWidth(0);
    RECT file = rowRect(L"b.txt");
    int midY = (file.top + file.bottom) / 2;
    EXPECT_EQ(::GetPixel(dc, col0 + 3, midY), c.fileBg);
    EXPECT_TRUE(RowHasColor(dc, file, c.fileFg));
    RECT marked = rowRect(L"hidden.txt");
    EXPECT_EQ(::GetPixel(dc, col0 + 3, (marked.top + marked.bottom) / 2), c.fileSelBg);
    EXPECT_FALSE(RowHasColor(dc, marked, c.sysFileBg));
    RECT dir = rowRect(L"zdir");
    EXPECT_TRUE(RowHasColor(dc, dir, c.dirFg));
    ::ReleaseDC(p.Handle(), dc);

    // The frame round the active (left) panel is drawn in the caption colour, the right one erased.
    HDC mdc = ::GetDC(main->Handle());
    MainLayout L = ComputeLayout(main->WindowW(), main->WindowH(), CMainWindow::ReadLayoutOptions());
    int y = L.left.driveBox.top - 5;
    EXPECT_EQ(::GetPixel(mdc, 40, y), ::GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(::GetPixel(mdc, L.right.driveBox.left + 40, y), ::GetSysColor(COLOR_BTNFACE));
    ::ReleaseDC(main->Handle(), mdc);
}
