// The panel's rows as everyone observes them through the list view: marks and cursor across
// refreshes of a big directory, sort stability, drawing of marked and cursor rows, the selection
// line's sums, clicks, and names that differ only in case.
#include "common/Settings.h"
#include "panel/EntryCompare.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include <algorithm>

using test::AppTest;
using test::MarkedNames;
using test::RowNames;

class PanelRows : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(Start());
        WaitForPanels();
    }
    CFileList& P() { return main->LeftPanel(); }
    CFileList& Show(const std::wstring& dir)
    {
        P().SetDirectory(dir.substr(0, 3), dir);
        P().keepMarks = false;
        P().OnUpdate();
        return P();
    }
    void Mark(const std::wstring& name, bool on = true)
    {
        int row = test::RowOf(P(), name);
        ASSERT_GE(row, 0) << test::Narrow(name);
        P().List().SetItemState(row, on ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    static std::wstring Numbered(int i)
    {
        wchar_t name[32];
        swprintf(name, 32, L"n%05d.dat", i);
        return name;
    }
    test::TempDir tmp;
};

TEST_F(PanelRows, MarksAndCursorSurviveARefreshOfThousandsOfRows)
{
    const int count = 3000;
    for (int i = 0; i < count; ++i) ASSERT_TRUE(test::MakeFile(tmp / Numbered(i), std::string(i % 5, 'x')));
    CFileList& p = Show(tmp.Path());
    ASSERT_EQ(p.RowCount(), count + 1);
    std::vector<std::wstring> marked;
    for (int i = 0; i < count; i += 7) {
        Mark(Numbered(i));
        marked.push_back(Numbered(i));
    }
    int cursor = test::RowOf(p, Numbered(2500));
    p.List().SetItemState(cursor, LVIS_FOCUSED, LVIS_FOCUSED);
    p.List().EnsureVisible(cursor);
    p.RememberPosition();
    int top = p.List().GetTopIndex();
    ASSERT_GT(top, 0);

    ::SendMessageW(main->Handle(), pm::FileChangeL, 0, 0);
    EXPECT_EQ(MarkedNames(p), marked);
    EXPECT_EQ(p.List().GetSelectedCount(), static_cast<int>(marked.size()));
    EXPECT_EQ(p.markedFiles, static_cast<int>(marked.size()));
    EXPECT_EQ(p.List().GetFocusedItem(), cursor);
    EXPECT_EQ(p.Entry(p.List().GetFocusedItem())->name, Numbered(2500));
    EXPECT_EQ(p.List().GetTopIndex(), top);
    // Asking the list view row by row sees the same marks as the panel.
    std::vector<int> asked;
    for (int row = p.List().GetNextItem(-1, LVNI_SELECTED); row >= 0; row = p.List().GetNextItem(row, LVNI_SELECTED))
        asked.push_back(row);
    ASSERT_EQ(asked.size(), marked.size());
    EXPECT_EQ(p.Entry(asked.back())->name, marked.back());
}

TEST_F(PanelRows, ARowAddedAndOneRemovedBetweenRefreshes)
{
    for (const wchar_t* n : {L"a.txt", L"b.txt", L"c.txt", L"d.txt"}) ASSERT_TRUE(test::MakeFile(tmp / n, "12"));
    CFileList& p = Show(tmp.Path());
    for (const wchar_t* n : {L"a.txt", L"b.txt", L"d.txt"}) Mark(n);
    ASSERT_TRUE(::DeleteFileW((tmp / L"b.txt").c_str()));
    ASSERT_TRUE(test::MakeFile(tmp / L"bb.txt", "123"));
    p.OnUpdate();
    EXPECT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"a.txt", L"bb.txt", L"c.txt", L"d.txt"}));
    EXPECT_EQ(MarkedNames(p), (std::vector<std::wstring>{L"a.txt", L"d.txt"}));
    EXPECT_EQ(p.markedFiles, 2);
    EXPECT_EQ(p.markedBytes, 4.0);
    EXPECT_EQ(p.totalFiles, 4);
    // The removed name does not come back marked when it reappears later.
    ASSERT_TRUE(test::MakeFile(tmp / L"b.txt"));
    p.OnUpdate();
    EXPECT_EQ(MarkedNames(p), (std::vector<std::wstring>{L"a.txt", L"d.txt"}));
}

TEST_F(PanelRows, EqualKeysKeepTheirOrder)
{
    // Three sizes and one date for all, named so that name order differs from creation order.
    const wchar_t* names[] = {L"m.b", L"c.a", L"x.a", L"a.b", L"k.a", L"f.b"};
    FILETIME when = {0x12345678, 0x01D00000};
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(test::MakeFile(tmp / names[i], std::string(i % 3, 'x')));
        HANDLE h = ::CreateFileW((tmp / names[i]).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        ::SetFileTime(h, nullptr, nullptr, &when);
        ::CloseHandle(h);
    }
    CFileList& p = Show(tmp.Path());
    ASSERT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"a.b", L"c.a", L"f.b", L"k.a", L"m.b", L"x.a"}));
    // Sizes: m.b 0, c.a 1, x.a 2, a.b 0, k.a 1, f.b 2; equal sizes stay in name order either way.
    p.ApplySortKey(SortSizeAsc);
    EXPECT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"a.b", L"m.b", L"c.a", L"k.a", L"f.b", L"x.a"}));
    p.ApplySortKey(SortSizeAsc);
    EXPECT_EQ(p.sortMode, SortSizeDesc);
    EXPECT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"f.b", L"x.a", L"c.a", L"k.a", L"a.b", L"m.b"}));
    // One date for all: the date sort changes nothing.
    p.ApplySortKey(SortDateAsc);
    EXPECT_EQ(RowNames(p), (std::vector<std::wstring>{L"..", L"f.b", L"x.a", L"c.a", L"k.a", L"a.b", L"m.b"}));
}

TEST_F(PanelRows, SortingCarriesMarksAndCursorWithTheirRows)
{
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(test::MakeFile(tmp / Numbered(i), std::string(5 - i, 'x')));
    CFileList& p = Show(tmp.Path());
    Mark(Numbered(1));
    Mark(Numbered(4));
    p.List().SetItemState(test::RowOf(p, Numbered(3)), LVIS_FOCUSED, LVIS_FOCUSED);
    p.ApplySortKey(SortSizeAsc);
    EXPECT_EQ(RowNames(p)[1], Numbered(4));
    EXPECT_EQ(MarkedNames(p), (std::vector<std::wstring>{Numbered(4), Numbered(1)}));
    EXPECT_EQ(p.Entry(p.List().GetFocusedItem())->name, Numbered(3));
}

namespace {
bool ColumnHas(HDC dc, int x, const RECT& row, COLORREF color)
{
    for (int y = row.top; y < row.bottom; ++y)
        if (::GetPixel(dc, x, y) == color) return true;
    return false;
}
// The first pixels of a row, left of its text, are all of that colour.
bool EdgeOnly(HDC dc, const RECT& row, COLORREF color)
{
    for (int x = row.left; x < row.left + 4; ++x)
        for (int y = row.top; y < row.bottom; ++y)
            if (::GetPixel(dc, x, y) != color) return false;
    return true;
}
}

TEST_F(PanelRows, MarkedAndCursorRowsAreDrawnAsSuch)
{
    for (const wchar_t* n : {L"a.txt", L"b.txt", L"c.txt"}) ASSERT_TRUE(test::MakeFile(tmp / n));
    ASSERT_TRUE(test::MakeDir(tmp / L"dir"));
    CFileList& p = Show(tmp.Path());
    ::SetForegroundWindow(main->Handle());
    ::SetFocus(p.Handle());
    Mark(L"a.txt");
    Mark(L"dir");
    int cursor = test::RowOf(p, L"c.txt");
    p.List().SetItemState(cursor, LVIS_FOCUSED, LVIS_FOCUSED);
    ::RedrawWindow(p.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    test::Pump(100);
    const PanelColors& c = main->Colors();
    auto rect = [&](const wchar_t* name) {
        RECT r = {};
        p.List().GetItemRect(test::RowOf(p, name), r);
        return r;
    };
    int x = p.List().GetColumnWidth(0) + 3;
    HDC dc = ::GetDC(p.Handle());
    RECT marked = rect(L"a.txt"), dir = rect(L"dir"), plain = rect(L"b.txt"), focus = rect(L"c.txt");
    EXPECT_EQ(::GetPixel(dc, x, (marked.top + marked.bottom) / 2), c.fileSelBg);
    EXPECT_EQ(::GetPixel(dc, x, (dir.top + dir.bottom) / 2), c.dirSelBg);
    EXPECT_EQ(::GetPixel(dc, x, (plain.top + plain.bottom) / 2), c.fileBg);
    EXPECT_EQ(::GetPixel(dc, x, (focus.top + focus.bottom) / 2), c.fileBg);
    // The dotted focus rectangle runs down the left edge of the cursor row only.
    EXPECT_TRUE(EdgeOnly(dc, plain, c.fileBg));
    EXPECT_FALSE(EdgeOnly(dc, focus, c.fileBg));
    // Unmarking repaints the row in the plain colours.
    Mark(L"a.txt", false);
    ::UpdateWindow(p.Handle());
    EXPECT_FALSE(ColumnHas(dc, x, marked, c.fileSelBg));
    ::ReleaseDC(p.Handle(), dc);
}

TEST_F(PanelRows, SelectionLineSumsMarkedFilesOnly)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"one.bin", std::string(1000, 'x')));
    ASSERT_TRUE(test::MakeFile(tmp / L"two.bin", std::string(2345, 'x')));
    ASSERT_TRUE(test::MakeSparseFile(tmp / L"big.bin", 5000000000ULL));
    ASSERT_TRUE(test::MakeDir(tmp / L"sub"));
    CFileList& p = Show(tmp.Path());
    std::wstring sep(1, Program().thousandSeparator[0]);
    auto line = [&] { return fw::GetText(main->Side(true).selectionLine.Handle()); };
    auto total = std::wstring(L"3") + fw::LoadStr(IDS_SEL_FILESTOTAL);
    EXPECT_EQ(line().substr(0, fw::LoadStr(IDS_SEL_NONE).size() + total.size()), fw::LoadStr(IDS_SEL_NONE) + total);

    Mark(L"two.bin");
    EXPECT_EQ(line().rfind(fw::LoadStr(IDS_SEL_ONE) + L"2" + sep + L"345" + fw::LoadStr(IDS_SEL_BYTESIN) + total, 0), 0u);

    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_SELECTALL, 0);
    EXPECT_EQ(p.markedFiles, 3);
    EXPECT_EQ(p.markedDirs, 1);
    EXPECT_EQ(p.markedBytes, 5000003345.0);
    EXPECT_EQ(p.markedBytes32, static_cast<uint32_t>(5000003345ULL));
    EXPECT_EQ(line().rfind(L"3" + fw::LoadStr(IDS_SEL_FILES) + L"5" + sep + L"000" + sep + L"003" + sep + L"345" +
                               fw::LoadStr(IDS_SEL_BYTESIN) + total, 0), 0u);
    EXPECT_EQ(line().size(), 120u);

    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_INVERT, 0);
    test::Pump(20);
    EXPECT_EQ(p.markedFiles, 0);
    EXPECT_EQ(p.markedDirs, 0);
    EXPECT_EQ(p.markedBytes, 0.0);
    EXPECT_EQ(p.List().GetSelectedCount(), 0);
}

TEST_F(PanelRows, ClicksMarkAsThePanelDecides)
{
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(test::MakeFile(tmp / Numbered(i)));
    CFileList& p = Show(tmp.Path());
    auto click = [&](UINT msg, int row, BYTE key = 0) {
        RECT r = {};
        p.List().GetItemRect(row, r);
        BYTE keys[256] = {};
        ::GetKeyboardState(keys);
        BYTE saved[256];
        std::copy(keys, keys + 256, saved);
        if (key) keys[key] = 0x80;
        ::SetKeyboardState(keys);
        ::SendMessageW(p.Handle(), msg, 0, MAKELPARAM(r.left + 20, (r.top + r.bottom) / 2));
        ::SetKeyboardState(saved);
    };
    auto markedRows = [&] {
        std::vector<int> rows;
        for (int row = 0; row < p.RowCount(); ++row)
            if (p.List().IsSelected(row)) rows.push_back(row);
        return rows;
    };
    click(WM_LBUTTONDOWN, 2);
    click(WM_LBUTTONUP, 2);
    EXPECT_EQ(markedRows(), std::vector<int>{2});
    EXPECT_EQ(p.List().GetFocusedItem(), 2);
    click(WM_LBUTTONDOWN, 4, VK_CONTROL);
    EXPECT_EQ(markedRows(), (std::vector<int>{2, 4}));
    click(WM_LBUTTONDOWN, 4, VK_CONTROL);
    EXPECT_EQ(markedRows(), std::vector<int>{2});
    click(WM_LBUTTONDOWN, 5, VK_SHIFT);
    EXPECT_EQ(markedRows(), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(p.markedFiles, 4);
    // Pressing on one of several marked rows keeps the group until the button comes up there.
    click(WM_LBUTTONDOWN, 3);
    EXPECT_EQ(markedRows(), (std::vector<int>{2, 3, 4, 5}));
    click(WM_LBUTTONUP, 3);
    EXPECT_EQ(markedRows(), std::vector<int>{3});
    // The right button marks an unmarked row alone and leaves a marked group alone; each click
    // asks for its menu (taken from the queue here: the menu tests open it).
    auto menuRequested = [&] {
        MSG m;
        bool asked = false;
        while (::PeekMessageW(&m, p.Handle(), req::RightButton, req::RightButton, PM_REMOVE)) asked = true;
        return asked;
    };
    click(WM_RBUTTONDOWN, 6);
    EXPECT_EQ(markedRows(), std::vector<int>{6});
    EXPECT_TRUE(menuRequested());
    click(WM_RBUTTONDOWN, 6);
    EXPECT_EQ(markedRows(), std::vector<int>{6});
    EXPECT_TRUE(menuRequested());
    // Below the last row nothing changes.
    RECT last = {};
    p.List().GetItemRect(p.RowCount() - 1, last);
    ::SendMessageW(p.Handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(20, last.bottom + 3 * (last.bottom - last.top)));
    EXPECT_EQ(markedRows(), std::vector<int>{6});
}

// Wine on a case-sensitive Linux directory holds names that differ only in case when they are
// made from the Linux side; scripts/test.sh makes them (Twin.txt, twin.txt) and names the directory.
TEST_F(PanelRows, NamesThatDifferOnlyInCaseKeepTheirOwnMarks)
{
    wchar_t fixture[MAX_PATH * 2] = {};
    ASSERT_TRUE(::GetEnvironmentVariableW(L"PD_CASE_FIXTURE", fixture, MAX_PATH * 2))
        << "PD_CASE_FIXTURE is set by scripts/test.sh";
    CFileList& p = Show(fixture);
    auto names = RowNames(p);
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names, (std::vector<std::wstring>{L"..", L"Twin.txt", L"twin.txt"}));
    Mark(L"twin.txt");
    p.OnUpdate();
    EXPECT_EQ(MarkedNames(p), std::vector<std::wstring>{L"twin.txt"});
    p.OnUpdate();
    EXPECT_EQ(MarkedNames(p), std::vector<std::wstring>{L"twin.txt"});
    EXPECT_EQ(p.markedFiles, 1);
}
