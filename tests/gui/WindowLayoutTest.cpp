// The real child windows sit where the layout table puts them; refresh requests are debounced.
#include "common/Settings.h"
#include "resource.h"
#include "support/Harness.h"
#include "support/TestEnv.h"

using test::AppTest;

namespace {
RECT ChildRect(HWND parent, HWND child)
{
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}
::testing::AssertionResult SameRect(const RECT& actual, const RECT& expected, bool topOnly = false)
{
    bool same = actual.left == expected.left && actual.top == expected.top && actual.right == expected.right &&
                (topOnly || actual.bottom == expected.bottom);
    if (same) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << actual.left << "," << actual.top << "," << actual.right << ","
                                         << actual.bottom << ") want (" << expected.left << "," << expected.top << ","
                                         << expected.right << "," << expected.bottom << ")";
}
}

class WindowLayout : public AppTest {
protected:
    void CheckChildren()
    {
        HWND w = main->Handle();
        MainLayout L = ComputeLayout(main->WindowW(), main->WindowH(), CMainWindow::ReadLayoutOptions());
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDC_PANELL)), L.left.panel));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDC_PANELR)), L.right.panel));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDC_DRIVEL)), L.left.driveBox, true));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDC_SELALLR)), L.right.nav[0]));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDC_PARENTL)), L.left.nav[3]));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDC_BACKR)), L.right.back));
        EXPECT_TRUE(SameRect(ChildRect(w, main->Side(true).pathLine.Handle()), L.left.pathLine));
        EXPECT_TRUE(SameRect(ChildRect(w, main->Side(false).selectionLine.Handle()), L.right.selectionLine));
        EXPECT_TRUE(SameRect(ChildRect(w, main->Side(false).totalLine.Handle()), L.right.total));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDM_HELP)), L.help));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDM_FKEY_F10)), L.functionKey[8]));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDC_APPBUTTON1 + 9)), L.appButton[9]));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDM_CMDBUTTON)), L.cmdButton));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDC_CMDLINE)), L.cmdLine, true));
        EXPECT_TRUE(SameRect(ChildRect(w, ::GetDlgItem(w, IDC_PROMPT)), L.prompt));
    }
    void Resize(int width, int height)
    {
        ::MoveWindow(main->Handle(), 0, 0, width, height, TRUE);
        test::Pump(30);
        RECT r;
        ::GetWindowRect(main->Handle(), &r);
        ASSERT_EQ(main->WindowW(), r.right - r.left);
    }
    bool Visible(int id) { return ::IsWindowVisible(::GetDlgItem(main->Handle(), id)) != FALSE; }
};

TEST_F(WindowLayout, ChildrenFollowTheTableAtSeveralSizes)
{
    ASSERT_TRUE(Start());
    for (auto size : {std::pair{640, 466}, std::pair{1000, 700}, std::pair{777, 555}}) {
        Resize(size.first, size.second);
        CheckChildren();
    }
}

TEST_F(WindowLayout, BarOptionsAreReadAgainOnEveryResize)
{
    ASSERT_TRUE(Start());
    Resize(800, 600);
    RECT before = ChildRect(main->Handle(), main->LeftPanel().Handle());
    EXPECT_TRUE(Visible(IDC_APPBUTTON1));
    EXPECT_FALSE(Visible(IDC_APPBUTTON1 + 10));

    WriteProfileInt(L"Algemeen", L"ApplButtons", 0);
    Resize(801, 600);
    CheckChildren();
    EXPECT_EQ(ChildRect(main->Handle(), main->LeftPanel().Handle()).top, before.top - 35);
    EXPECT_FALSE(Visible(IDC_APPBUTTON1));

    WriteProfileInt(L"Algemeen", L"ApplButtons", 1);
    WriteProfileInt(L"Algemeen", L"SecondRow", 1);
    WriteProfileInt(L"Algemeen", L"CmdPrompt", 0);
    WriteProfileInt(L"Algemeen", L"FunctionKeys", 0);
    Resize(800, 600);
    CheckChildren();
    EXPECT_EQ(ChildRect(main->Handle(), main->LeftPanel().Handle()).top, before.top + 26);
    EXPECT_EQ(ChildRect(main->Handle(), main->LeftPanel().Handle()).bottom, before.bottom + 60);
    EXPECT_TRUE(Visible(IDC_APPBUTTON1 + 10));
    EXPECT_FALSE(Visible(IDC_CMDLINE));
    EXPECT_FALSE(Visible(IDM_FKEY_F2));
    EXPECT_FALSE(Visible(IDM_HELP));
}

TEST_F(WindowLayout, FunctionKeysShowTheMappedCommandNames)
{
    WriteProfileInt(L"FKeys", L"FK5", 14);
    ASSERT_TRUE(Start());
    HWND w = main->Handle();
    EXPECT_EQ(fw::GetText(::GetDlgItem(w, IDM_FKEY_F2)), L"Print");
    EXPECT_EQ(fw::GetText(::GetDlgItem(w, IDM_FKEY_F2 + 3)), L"Refresh");
    EXPECT_EQ(fw::GetText(::GetDlgItem(w, IDM_FKEY_F2 + 6)), L"Delete");
    EXPECT_EQ(fw::GetText(::GetDlgItem(w, IDM_FKEY_F10)), L"Eject");
}

TEST_F(WindowLayout, ThreeRefreshRequestsGiveOneUpdateAfterTheLast)
{
    ASSERT_TRUE(Start());
    WaitForPanels();
    test::Pump(400);
    CFileList& left = main->LeftPanel();
    int before = left.updates;
    int rightBefore = main->RightPanel().updates;
    DWORD start = ::GetTickCount();
    main->ScheduleRefresh(true);
    test::Pump(100);
    main->ScheduleRefresh(true);
    test::Pump(100);
    main->ScheduleRefresh(true);
    DWORD last = ::GetTickCount();
    ASSERT_TRUE(test::PumpUntil([&] { return left.updates > before; }, 2000));
    DWORD fired = ::GetTickCount();
    test::Pump(500);
    EXPECT_EQ(left.updates, before + 1);
    EXPECT_EQ(main->RightPanel().updates, rightBefore);
    EXPECT_GE(fired - last, 250u);
    EXPECT_GE(fired - start, 450u);
}

TEST_F(WindowLayout, ScreenshotOfTheMainWindow)
{
    ASSERT_TRUE(Start());
    WaitForPanels();
    test::Pump(200);
    // Beside the test program, never in the panels' directory (the program changes the current one).
    wchar_t exe[MAX_PATH];
    std::wstring path(exe, ::GetModuleFileNameW(nullptr, exe, MAX_PATH));
    path = path.substr(0, path.find_last_of(L'\\')) + L"\\main-window.bmp";
    EXPECT_TRUE(test::Screenshot(main->Handle(), path));
    EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}
