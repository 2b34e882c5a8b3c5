// Ending Windows, the disk utilities and the notification icons, through a recording system-actions
// set: nothing here ends the session or touches a volume.
#include "common/Settings.h"
#include "frame/ShellMenus.h"
#include "frame/SystemCommands.h"
#include "print/PrintSupport.h"
#include "resource.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include "system/RecordingActions.h"

using test::AppTest;

namespace {
class SystemFixture : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(test::MakeDir(tmp / L"A"));
        WriteProfileString(L"Paden", L"Links", tmp / L"A");
        WriteProfileString(L"Paden", L"Rechts", tmp.Path());
        ASSERT_TRUE(Start());
        WaitForPanels();
    }
    void TearDown() override
    {
        if (main && main->logoffThread) ::WaitForSingleObject(main->logoffThread, 5000);
        AppTest::TearDown();
        ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    }
    void Command(UINT id)
    {
        ::SendMessageW(main->Handle(), WM_COMMAND, id, 0);
        test::Pump(30);
    }
    test::TempDir tmp;
};

class SystemSeam : public SystemFixture {
protected:
    void SetUp() override
    {
        SystemFixture::SetUp();
        actions.Clear(); // the icons of the start
    }
    test::RecordingActions actions;
};

const std::vector<std::wstring> AllSteps = {L"OpenProcessToken", L"AdjustShutdownPrivilege enable",
                                            L"InitiateShutdown restart=0", L"AdjustShutdownPrivilege disable",
                                            L"CloseToken"};

// Answers every box of a run with OK and returns their texts.
std::vector<std::wstring> Boxes(const std::function<void()>& run, int expected)
{
    std::vector<test::AnswerSequence::Step> steps(static_cast<size_t>(expected), {{}, IDOK});
    test::AnswerSequence answers(steps);
    run();
    test::Pump(50);
    return answers.Texts();
}

bool QuitPosted()
{
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}
}

TEST_F(SystemSeam, ShutdownTakesThePrivilegeAsksAndGivesItBack)
{
    EXPECT_TRUE(Boxes([] { ShutdownWindows(false); }, 0).empty());
    EXPECT_EQ(actions.Calls(), AllSteps);
}

TEST_F(SystemSeam, EachFailingStepHasItsBoxAndTheRestIsStillTried)
{
    actions.openToken = false;
    actions.shutdownResult = false;
    actions.disableResult = {false, ERROR_ACCESS_DENIED};
    std::vector<std::wstring> boxes = Boxes([] { ShutdownWindows(false); }, 3);
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"OpenProcessToken failed.", L"InitiateSystemShutdown failed.",
                                                L"AdjustTokenPrivileges disable failed."}));
    EXPECT_EQ(actions.Calls(), (std::vector<std::wstring>{L"OpenProcessToken",
                                                         L"AdjustShutdownPrivilege enable null-token",
                                                         L"InitiateShutdown restart=0",
                                                         L"AdjustShutdownPrivilege disable null-token"}));
}

TEST_F(SystemSeam, APrivilegeThatWasNotGrantedIsAFailure)
{
    actions.enableResult = {true, ERROR_NOT_ALL_ASSIGNED};
    std::vector<std::wstring> boxes = Boxes([] { ShutdownWindows(false); }, 1);
    EXPECT_EQ(boxes, (std::vector<std::wstring>{L"AdjustTokenPrivileges enable failed."}));
    EXPECT_EQ(actions.Calls(), AllSteps);
}

TEST_F(SystemSeam, TheExitDialogRestartsOrLogsOff)
{
    {
        test::DialogAnswerer answer(L"EXITWIN", IDC_EXITWIN_RESTART);
        Command(IDM_EXITWIN);
        EXPECT_EQ(answer.Answered(), 1);
    }
    EXPECT_EQ(actions.CallsStarting(L"InitiateShutdown"), (std::vector<std::wstring>{L"InitiateShutdown restart=1"}));
    {
        test::DialogAnswerer answer(L"EXITWIN", IDCANCEL);
        Command(IDM_EXITWIN);
    }
    EXPECT_EQ(actions.Calls().size(), AllSteps.size());

    // A refused log-off keeps the program; an accepted one ends its loop.
    // Sent without pumping after it, so that the quit message stays in the queue for the check.
    actions.exitResult = false;
    {
        test::DialogAnswerer answer(L"EXITWIN", IDC_EXITWIN_LOGOFF);
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_EXITWIN, 0);
    }
    ASSERT_NE(main->logoffThread, nullptr);
    ASSERT_EQ(::WaitForSingleObject(main->logoffThread, 5000), WAIT_OBJECT_0);
    EXPECT_FALSE(QuitPosted());
    actions.exitResult = true;
    {
        test::DialogAnswerer answer(L"EXITWIN", IDC_EXITWIN_LOGOFF);
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_EXITWIN, 0);
    }
    ASSERT_EQ(::WaitForSingleObject(main->logoffThread, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(QuitPosted());
    EXPECT_EQ(actions.CallsStarting(L"ExitWindows"),
              (std::vector<std::wstring>{L"ExitWindows flags=0", L"ExitWindows flags=0"})); // EWX_LOGOFF is 0
}

TEST_F(SystemSeam, FormatAndDiskCopyRunRundllWithErrorsShownAndRestoreTheMode)
{
    Command(IDM_DSKFRMT);
    EXPECT_EQ(actions.errorModeAtRundll, 0u);
    EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
    actions.rundllResult = false;
    std::vector<std::wstring> boxes = Boxes([this] { Command(IDM_DSKCPY); }, 1);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
    EXPECT_EQ(actions.CallsStarting(L"rundll32"), (std::vector<std::wstring>{L"rundll32 shell32.dll,SHFormatDrive",
                                                                            L"rundll32 diskcopy.dll,DiskCopyRunDll"}));
}

TEST_F(SystemSeam, EjectLocksDismountsAndEjectsARemovableMedium)
{
    actions.driveType = DRIVE_REMOVABLE;
    actions.lockFailures = 2;
    EXPECT_EQ(EjectMedium(L'q', {}), EjectOutcome::Ejected);
    EXPECT_EQ(actions.Calls(), (std::vector<std::wstring>{L"DriveType Q:\\", L"OpenVolume Q read-write", L"Lock",
                                                         L"Sleep 500", L"Lock", L"Sleep 500", L"Lock", L"Dismount",
                                                         L"MediaRemoval prevent=0", L"Eject", L"CloseVolume"}));
}

TEST_F(SystemSeam, EjectOpensACdForReadingAndGivesUpAfterTwentyLocks)
{
    actions.driveType = DRIVE_CDROM;
    actions.lockFailures = 1000;
    std::vector<std::wstring> boxes = Boxes([] { EXPECT_EQ(EjectMedium(L'D', {}), EjectOutcome::NotLocked); }, 1);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(actions.CallsStarting(L"OpenVolume"), (std::vector<std::wstring>{L"OpenVolume D read"}));
    EXPECT_EQ(actions.CallsStarting(L"Lock").size(), 20u);
    EXPECT_EQ(actions.CallsStarting(L"Sleep").size(), 19u);
    EXPECT_TRUE(actions.CallsStarting(L"Dismount").empty());
    EXPECT_EQ(actions.Calls().back(), L"CloseVolume");
}

TEST_F(SystemSeam, EjectLeavesFixedAndNetworkDrivesAlone)
{
    for (UINT type : {DRIVE_FIXED, DRIVE_REMOTE}) {
        test::RecordingActions fresh;
        fresh.driveType = type;
        bool left = false;
        EXPECT_EQ(EjectMedium(L'C', [&] { left = true; }), EjectOutcome::NotRemovable);
        EXPECT_EQ(fresh.Calls(), (std::vector<std::wstring>{L"DriveType C:\\"}));
        EXPECT_FALSE(left);
    }
    SetSystemActions(&actions);
}

TEST_F(SystemSeam, EjectMovesThePanelsOffTheDriveFirst)
{
    wchar_t letter = tmp.Path()[0];
    actions.driveType = DRIVE_REMOVABLE;
    test::DialogAnswerer answer(L"DISKSTATION", IDOK, [letter](HWND dlg) {
        HWND box = ::GetDlgItem(dlg, IDC_DISK_DRIVES);
        std::wstring prefix = std::wstring(L"[-") + letter + L"-]";
        ::SendMessageW(box, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix.c_str()));
    });
    Command(IDM_EJECT);
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(actions.CallsStarting(L"Eject").size(), 1u);
    for (CFileList* p : {&main->LeftPanel(), &main->RightPanel()})
        EXPECT_NE(std::towupper(p->path[0]), std::towupper(letter)) << p->path;
    wchar_t current[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, current);
    EXPECT_NE(std::towupper(current[0]), std::towupper(letter));
}

TEST_F(SystemSeam, DrivePropertiesInvokeThePropertiesVerbByName)
{
    EXPECT_TRUE(ShowDriveProperties(L'C', main->Handle()));
    EXPECT_EQ(actions.lastInvokedVerb, L"properties");
}

class Tray : public SystemFixture {};

TEST_F(Tray, ThreeIconsAreShownAtStartAndRemovedAtClose)
{
    for (int id = 1; id <= 3; ++id) {
        EXPECT_TRUE(main->TrayIcons().IsShown(id));
        NOTIFYICONDATAW data = {sizeof(data), main->Handle(), static_cast<UINT>(id)};
        EXPECT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &data)) << id;
    }
    test::RecordingActions actions;
    ::SendMessageW(main->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(actions.CallsStarting(L"NIM_DELETE"),
              (std::vector<std::wstring>{L"NIM_DELETE 1", L"NIM_DELETE 2", L"NIM_DELETE 3"}));
    app->ExitInstance();
    app.reset();
    main = nullptr;
}

TEST_F(Tray, AStoredOptionKeepsItsIconAway)
{
    app->ExitInstance();
    app.reset();
    WriteProfileInt(L"Algemeen", L"MenuIcon", 0);
    ASSERT_TRUE(Start());
    WaitForPanels();
    EXPECT_TRUE(main->TrayIcons().IsShown(1));
    EXPECT_FALSE(main->TrayIcons().IsShown(2));
    NOTIFYICONDATAW data = {sizeof(data), main->Handle(), 2};
    EXPECT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &data));
}

TEST_F(Tray, TheShutdownIconAsksFirstWhenToldToAndNoDoesNothing)
{
    test::RecordingActions actions;
    WriteProfileInt(L"Algemeen", L"BevestigingStopIcon", 1);
    {
        test::DialogAnswerer answer(L"#32770", IDNO);
        ::PostMessageW(main->Handle(), WM_USER + 22, 1, WM_LBUTTONUP);
        test::PumpUntil([&] { return answer.Answered() == 1; });
        test::Pump(50);
        EXPECT_EQ(answer.LastText(), L"Shutdown?");
    }
    EXPECT_TRUE(actions.Calls().empty());
    {
        test::DialogAnswerer answer(L"#32770", IDYES);
        ::PostMessageW(main->Handle(), WM_USER + 22, 1, WM_LBUTTONUP);
        test::PumpUntil([&] { return answer.Answered() == 1; });
        test::Pump(50);
    }
    EXPECT_EQ(actions.Calls(), AllSteps);
    // Without the option the click shuts down at once; other mouse messages do nothing.
    WriteProfileInt(L"Algemeen", L"BevestigingStopIcon", 0);
    ::SendMessageW(main->Handle(), WM_USER + 22, 1, WM_MOUSEMOVE);
    EXPECT_EQ(actions.Calls().size(), AllSteps.size());
    ::SendMessageW(main->Handle(), WM_USER + 22, 1, WM_LBUTTONUP);
    EXPECT_EQ(actions.Calls().size(), 2 * AllSteps.size());
}
