// Start-up with an empty store and the saving of the placement at close.
#include "common/Settings.h"
#include "support/Harness.h"
#include "support/TestEnv.h"

using test::AppTest;

namespace {
std::wstring OwnDriveRoot()
{
    wchar_t path[MAX_PATH];
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, 3);
}
}

class Startup : public AppTest {};

TEST_F(Startup, EmptyStoreGivesTheDefaults)
{
    ASSERT_TRUE(Start());
    WaitForPanels();
    WINDOWPLACEMENT wp = {sizeof(wp)};
    ASSERT_TRUE(::GetWindowPlacement(main->Handle(), &wp));
    EXPECT_EQ(wp.rcNormalPosition.left, 0);
    EXPECT_EQ(wp.rcNormalPosition.top, 0);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 640);
    EXPECT_EQ(wp.rcNormalPosition.bottom - wp.rcNormalPosition.top, 466);
    EXPECT_TRUE(main->LeftActive());
    EXPECT_EQ(main->LeftPanel().path, OwnDriveRoot());
    EXPECT_EQ(main->RightPanel().path, OwnDriveRoot());
    EXPECT_EQ(main->LeftPanel().sortMode, 128);
    EXPECT_EQ(main->RightPanel().sortMode, 128);
    EXPECT_EQ(fw::GetText(main->Handle()), L"Pandect Commander");
    wchar_t cls[32];
    ::GetClassNameW(main->Handle(), cls, 32);
    EXPECT_STREQ(cls, L"PDClass");
    // A fresh store gets the three default buttons.
    EXPECT_EQ(GetProfileString(L"Knop1", L"Naam", L""), L"Notepad");
    EXPECT_EQ(GetProfileString(L"Knop3", L"Programma", L""), L"cmd.exe");
    EXPECT_EQ(GetProfileString(L"Knop3", L"WerkDir", L""), L"&ap");
}

class StartupWithStore : public AppTest {
protected:
    void Prepare() override
    {
        WriteProfileString(L"Algemeen", L"Titel", L"My Commander");
        WriteProfileInt(L"WinPositie", L"LeftActive", 0);
        WriteProfileInt(L"Paden", L"LSort", 33);
        WriteProfileInt(L"Paden", L"RSort", 16);
        WriteProfileString(L"Knop5", L"Naam", L"Mine");
        WriteProfileInt(L"WinPositie", L"wp.left", 20);
        WriteProfileInt(L"WinPositie", L"wp.top", 30);
        WriteProfileInt(L"WinPositie", L"wp.right", 820);
        WriteProfileInt(L"WinPositie", L"wp.bottom", 630);
    }
};

TEST_F(StartupWithStore, StoredValuesAreUsed)
{
    ASSERT_TRUE(Start());
    WaitForPanels();
    EXPECT_EQ(fw::GetText(main->Handle()), L"My Commander");
    EXPECT_FALSE(main->LeftActive());
    EXPECT_EQ(main->LeftPanel().sortMode, 33);
    EXPECT_EQ(main->LeftPanel().sortColumn, 1);
    EXPECT_EQ(main->RightPanel().sortColumn, 2);
    EXPECT_EQ(::GetFocus(), main->RightPanel().Handle());
    RECT r;
    ::GetWindowRect(main->Handle(), &r);
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.right - r.left, 800);
    // A store where any button has a name gets no default buttons.
    EXPECT_EQ(GetProfileString(L"Knop1", L"Naam", L"none"), L"none");
}

TEST_F(Startup, ExitWritesThePlacementOfTheMoment)
{
    struct Case {
        int show;
        int expected;
    };
    for (Case c : {Case{SW_SHOWNORMAL, SW_SHOWNORMAL}, Case{SW_MAXIMIZE, SW_SHOWMAXIMIZED},
                   Case{SW_MINIMIZE, SW_SHOWMINIMIZED}}) {
        test::ResetStore();
        ASSERT_TRUE(Start());
        WaitForPanels();
        ::MoveWindow(main->Handle(), 10, 20, 700, 500, TRUE);
        ::ShowWindow(main->Handle(), c.show);
        // Let the window manager finish the state change before the window goes away.
        HWND shown = main->Handle();
        test::PumpUntil([&] {
            return c.show == SW_MAXIMIZE ? ::IsZoomed(shown) != FALSE
                 : c.show == SW_MINIMIZE ? ::IsIconic(shown) != FALSE : true;
        });
        test::Pump(300);
        main->LeftPanel().List().SetColumnWidth(0, 111);
        HWND wnd = main->Handle();
        ::SendMessageW(wnd, WM_COMMAND, 6150, 0);
        ASSERT_TRUE(test::PumpUntil([wnd] { return !::IsWindow(wnd); }));
        EXPECT_EQ(GetProfileInt(L"WinPositie", L"wp.showCmd", -1), c.expected) << c.show;
        EXPECT_EQ(GetProfileInt(L"WinPositie", L"wp.left", -1), 10);
        EXPECT_EQ(GetProfileInt(L"WinPositie", L"wp.top", -1), 20);
        EXPECT_EQ(GetProfileInt(L"WinPositie", L"wp.right", -1), 710);
        EXPECT_EQ(GetProfileInt(L"WinPositie", L"wp.bottom", -1), 520);
        EXPECT_EQ(GetProfileInt(L"WinPositie", L"ColL", -1), 111);
        EXPECT_EQ(GetProfileInt(L"WinPositie", L"ColR1", -1), 64);
        app->ExitInstance();
        app.reset();
        main = nullptr;
        test::Pump(300);
    }
}

TEST_F(Startup, PlacementIsRestoredAtTheNextStart)
{
    ASSERT_TRUE(Start());
    WaitForPanels();
    ::MoveWindow(main->Handle(), 40, 50, 900, 600, TRUE);
    HWND wnd = main->Handle();
    ::SendMessageW(wnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(test::PumpUntil([wnd] { return !::IsWindow(wnd); }));
    app->ExitInstance();
    app.reset();
    test::Pump(300);
    ASSERT_TRUE(Start());
    RECT r;
    ::GetWindowRect(main->Handle(), &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right, 940);
    EXPECT_EQ(r.bottom, 650);
}

TEST_F(Startup, MinimumSizeIsEnforced)
{
    ASSERT_TRUE(Start());
    ::MoveWindow(main->Handle(), 0, 0, 300, 200, TRUE);
    test::Pump(50);
    RECT r;
    ::GetWindowRect(main->Handle(), &r);
    EXPECT_GE(r.right - r.left, 640);
    EXPECT_GE(r.bottom - r.top - ::GetSystemMetrics(SM_CYCAPTION) / 2, 400);
}

TEST_F(Startup, DebugFlagOnlyForTheWholeWord)
{
    for (auto c : {std::pair{L"DEBUG", true}, std::pair{L"debug", true}, std::pair{L"DeBuG", true},
                   std::pair{L"DEBUG x", false}, std::pair{L"", false}, std::pair{L"-DEBUG", false}}) {
        app = std::make_unique<CCommanderApp>();
        app->commandLine = c.first;
        ASSERT_TRUE(app->InitInstance());
        app->MainWindow()->postQuitOnDestroy = false;
        EXPECT_EQ(Program().debugFlag, c.second) << test::Narrow(c.first);
        app->ExitInstance();
        app.reset();
        test::Pump(300);
    }
}

TEST_F(Startup, AboutDialogRunsWithItsHelpContext)
{
    ASSERT_TRUE(Start());
    int seen = -1;
    test::DialogAnswerer answer(L"ABOUTDLG", IDOK, [&seen](HWND) { seen = Program().helpContext; });
    ::SendMessageW(main->Handle(), WM_COMMAND, 6320, 0);
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(seen, 6320);
    EXPECT_EQ(Program().helpContext, 0);
}

TEST_F(Startup, PanelFontCommandWritesTheChosenFont)
{
    ASSERT_TRUE(Start());
    WaitForPanels();
    test::DialogAnswerer answer(L"#32770", IDOK);
    ::SendMessageW(main->Handle(), WM_COMMAND, 6255, 0);
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_NE(GetProfileInt(L"Algemeen", L"FontHeight", 12345), 12345);
    EXPECT_NE(GetProfileString(L"Algemeen", L"FontName", L""), L"");
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"GenFontHeight", -99), -99);
    ::SendMessageW(main->Handle(), WM_COMMAND, 6245, 0);
    EXPECT_EQ(answer.Answered(), 2);
    EXPECT_NE(GetProfileInt(L"Algemeen", L"GenFontHeight", -99), -99);
}

TEST_F(Startup, ClosingWhileATipIsShownIsClean)
{
    ASSERT_TRUE(Start());
    WaitForPanels();
    RECT r;
    ::GetWindowRect(::GetDlgItem(main->Handle(), 2988), &r);
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    test::Pump(1500);
    HWND wnd = main->Handle();
    ::SendMessageW(wnd, WM_COMMAND, 6150, 0);
    ASSERT_TRUE(test::PumpUntil([wnd] { return !::IsWindow(wnd); }));
    ::SetCursorPos(1270, 1010);
}
