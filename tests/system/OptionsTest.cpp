// The options dialogs through their templates: what they show, what OK writes and applies, what
// Cancel leaves alone.
#include "common/Program.h"
#include "common/Settings.h"
#include "frame/OptionsDialogs.h"
#include "resource.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include "system/RecordingActions.h"

using test::AppTest;

namespace {
class Options : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        WriteProfileString(L"Paden", L"Links", tmp.Path());
        WriteProfileString(L"Paden", L"Rechts", tmp.Path());
        ASSERT_TRUE(Start());
        WaitForPanels();
    }
    void TearDown() override
    {
        if (app) Program().fileNameStyle = NamesLower;
        AppTest::TearDown();
    }
    void Command(UINT id)
    {
        ::SendMessageW(main->Handle(), WM_COMMAND, id, 0);
        test::Pump(50);
    }
    bool Checked(HWND dlg, int id) { return ::IsDlgButtonChecked(dlg, id) == BST_CHECKED; }
    RECT PanelRect()
    {
        RECT r;
        ::GetWindowRect(main->LeftPanel().Handle(), &r);
        ::MapWindowPoints(nullptr, main->Handle(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    test::TempDir tmp;
};
}

TEST_F(Options, ConfigShowsTheStoreAndOkWritesAndApplies)
{
    WriteProfileInt(L"Algemeen", L"Hidden", 1);
    WriteProfileInt(L"Algemeen", L"Bestandsnamen", 2470);
    WriteProfileString(L"Algemeen", L"Titel", L"My title");
    bool hidden = false, system = true, asStored = false, shellMenus = false;
    test::DialogAnswerer answer(L"CONFIG", IDOK, [&](HWND dlg) {
        hidden = Checked(dlg, IDC_CFG_HIDDEN);
        system = Checked(dlg, IDC_CFG_SYSTEM);
        asStored = Checked(dlg, IDC_CFG_NAMES_ASIS);
        shellMenus = Checked(dlg, IDC_CFG_MENU_SHELL);
        ::CheckDlgButton(dlg, IDC_CFG_SYSTEMDIR, BST_CHECKED);
        ::CheckRadioButton(dlg, IDC_CFG_NAMES_UPPER, IDC_CFG_NAMES_ASIS, IDC_CFG_NAMES_UPPER);
        ::CheckDlgButton(dlg, IDC_CFG_MENU_SHELL, BST_UNCHECKED);
        ::CheckDlgButton(dlg, IDC_CFG_MENU_OWN, BST_CHECKED);
    });
    Command(IDM_CONFIG);
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_TRUE(hidden);
    EXPECT_FALSE(system);
    EXPECT_TRUE(asStored);
    EXPECT_TRUE(shellMenus);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"SystemDir", -1), 1);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"System", -1), 0);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"Bestandsnamen", -1), 2450);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"ContextMenus", -1), 2480);
    EXPECT_EQ(Program().fileNameStyle, 2450);
    EXPECT_EQ(fw::GetText(main->Handle()), L"My title");
    // "DatumInTitel" is read with the default 0 here: the clock stops.
    EXPECT_FALSE(::KillTimer(main->Handle(), CMainWindow::TimerClock));
}

TEST_F(Options, AStoredValueNamingNoButtonChecksTheDefault)
{
    WriteProfileInt(L"Algemeen", L"Bestandsnamen", 9999);
    WriteProfileInt(L"Algemeen", L"ContextMenus", 7);
    bool lower = false, shell = false;
    test::DialogAnswerer answer(L"CONFIG", IDCANCEL, [&](HWND dlg) {
        lower = Checked(dlg, IDC_CFG_NAMES_LOWER);
        shell = Checked(dlg, IDC_CFG_MENU_SHELL);
    });
    Command(IDM_CONFIG);
    EXPECT_TRUE(lower);
    EXPECT_TRUE(shell);
    // Cancel wrote nothing.
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"Bestandsnamen", -1), 9999);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"System", -1), -1);
    EXPECT_TRUE(::KillTimer(main->Handle(), CMainWindow::TimerClock)); // the clock of the start runs on
}

TEST_F(Options, PathsShowsTheExternalEditorWhenOneWasTypedButNeverChosen)
{
    WriteProfileString(L"Paden", L"Editor", L"C:\\tools\\edit.exe");
    bool external = false, editable = false, viewerEditable = true;
    std::wstring title;
    test::DialogAnswerer answer(L"PATHS", IDOK, [&](HWND dlg) {
        external = Checked(dlg, IDC_PATHS_EDITOR_EXT);
        editable = ::IsWindowEnabled(::GetDlgItem(dlg, IDC_PATHS_EDITOR));
        viewerEditable = ::IsWindowEnabled(::GetDlgItem(dlg, IDC_PATHS_VIEWER));
        title = fw::GetText(::GetDlgItem(dlg, IDC_PATHS_TITLE));
    });
    Command(IDM_PATHS);
    EXPECT_TRUE(external);
    EXPECT_TRUE(editable);
    EXPECT_FALSE(viewerEditable);
    EXPECT_EQ(title, L"Pandect Commander");
    EXPECT_EQ(GetProfileInt(L"Paden", L"InternalEditor", -1), 1);
    EXPECT_EQ(GetProfileInt(L"Paden", L"InternalViewer", -1), 0);
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Titel", L"?"), L"Pandect Commander");
}

TEST_F(Options, PathsHidesTheButtonRowsAndMovesThePanelsUp)
{
    WriteProfileInt(L"Algemeen", L"SecondRow", 1);
    main->UpdateLayout();
    RECT before = PanelRect();
    test::DialogAnswerer answer(L"PATHS", IDOK, [&](HWND dlg) {
        ::CheckDlgButton(dlg, IDC_PATHS_APPLBUTTONS, BST_UNCHECKED);
        ::SendMessageW(dlg, WM_COMMAND, MAKEWPARAM(IDC_PATHS_APPLBUTTONS, BN_CLICKED), 0);
    });
    Command(IDM_PATHS);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"ApplButtons", -1), 0);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"SecondRow", -1), 1);
    RECT after = PanelRect();
    EXPECT_EQ(after.top, before.top - 35 - 26);
    EXPECT_FALSE(::IsWindowVisible(main->AppButton(1).Handle()));
    EXPECT_FALSE(::IsWindowVisible(main->AppButton(11).Handle()));
}

TEST_F(Options, PathsSetsTheTitleAsTypedAndKeepsLongTexts)
{
    std::wstring longPath = L"C:\\" + std::wstring(5000, L'p') + L".exe";
    test::DialogAnswerer answer(L"PATHS", IDOK, [&](HWND dlg) {
        ::SetDlgItemTextW(dlg, IDC_PATHS_TITLE, L"");
        ::SetDlgItemTextW(dlg, IDC_PATHS_VIEWER, longPath.c_str());
        ::CheckDlgButton(dlg, IDC_PATHS_CMDPROMPT, BST_UNCHECKED);
        ::CheckDlgButton(dlg, IDC_PATHS_FUNCTIONKEYS, BST_UNCHECKED);
    });
    Command(IDM_PATHS);
    EXPECT_EQ(fw::GetText(main->Handle()), L"");
    EXPECT_EQ(GetProfileString(L"Paden", L"Viewer", L""), longPath);
    EXPECT_FALSE(::IsWindowVisible(main->CommandLine().Handle()));
    EXPECT_FALSE(::IsWindowVisible(main->FunctionKey(1).Handle()));
}

TEST_F(Options, PathsTakesTheShutdownIconAwayAtOnceAndBackOnce)
{
    test::RecordingActions actions;
    auto setStopIcon = [&](bool on) {
        test::DialogAnswerer answer(L"PATHS", IDOK, [on](HWND dlg) {
            ::CheckDlgButton(dlg, IDC_PATHS_STOPICON, on ? BST_CHECKED : BST_UNCHECKED);
        });
        Command(IDM_PATHS);
    };
    setStopIcon(false);
    EXPECT_FALSE(main->TrayIcons().IsShown(1));
    NOTIFYICONDATAW data = {sizeof(data), main->Handle(), 1};
    EXPECT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &data));
    setStopIcon(true);
    setStopIcon(true);
    EXPECT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &data));
    EXPECT_EQ(actions.Calls(), (std::vector<std::wstring>{L"NIM_DELETE 1", L"NIM_ADD 1"}));
}

TEST_F(Options, PathsCancelChangesNothing)
{
    test::DialogAnswerer answer(L"PATHS", IDCANCEL, [&](HWND dlg) {
        ::CheckDlgButton(dlg, IDC_PATHS_APPLBUTTONS, BST_UNCHECKED);
        ::SetDlgItemTextW(dlg, IDC_PATHS_TITLE, L"changed");
    });
    Command(IDM_PATHS);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"ApplButtons", -1), -1);
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Titel", L"none"), L"none");
    EXPECT_EQ(fw::GetText(main->Handle()), L"Pandect Commander");
}

TEST_F(Options, ConfirmationsReadAndWriteTheirFourKeys)
{
    WriteProfileInt(L"Algemeen", L"BevestigingDelDirs", 0);
    bool overwrite = false, dirs = true, stop = true;
    test::DialogAnswerer answer(L"CONFIRMATIONS", IDOK, [&](HWND dlg) {
        overwrite = Checked(dlg, IDC_CONF_OVERWRITE);
        dirs = Checked(dlg, IDC_CONF_DELDIRS);
        stop = Checked(dlg, IDC_CONF_STOPICON);
        ::CheckDlgButton(dlg, IDC_CONF_STOPICON, BST_CHECKED);
        ::CheckDlgButton(dlg, IDC_CONF_DELFILES, BST_UNCHECKED);
    });
    Command(IDM_CONFIRMATIONS);
    EXPECT_TRUE(overwrite);
    EXPECT_FALSE(dirs);
    EXPECT_FALSE(stop);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"BevestigingStopIcon", -1), 1);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"BevestigingDelFiles", -1), 0);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"BevestigingDelDirs", -1), 0);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"BevestigingOverwrite", -1), 1);
}

TEST_F(Options, ColourDefaultsStoreAWhiteSystemFileAndTheCaptionColour)
{
    test::DialogAnswerer answer(L"COLORS", IDOK,
                                [](HWND dlg) { ::SendMessageW(dlg, WM_COMMAND, IDC_COLORS_DEFAULTS, 0); });
    Command(IDM_COLORS);
    EXPECT_EQ(GetProfileInt(L"Kleuren", L"cSysFileFg", -1), 0xFFFFFF);
    EXPECT_EQ(GetProfileInt(L"Kleuren", L"cFRect", -2), static_cast<int>(::GetSysColor(COLOR_ACTIVECAPTION)));
    EXPECT_EQ(GetProfileInt(L"Kleuren", L"cDirFg", -1), 0x40FF00);
    EXPECT_EQ(GetProfileInt(L"Kleuren", L"cSysDirBg", -1), 0x004080);
    EXPECT_EQ(main->Colors().sysFileFg, 0xFFFFFFu);
}

TEST_F(Options, ColoursKeepTheSystemFrameAndCancelWritesNothing)
{
    {
        test::DialogAnswerer answer(L"COLORS", IDCANCEL,
                                    [](HWND dlg) { ::SendMessageW(dlg, WM_COMMAND, IDC_COLORS_DEFAULTS, 0); });
        Command(IDM_COLORS);
    }
    EXPECT_EQ(GetProfileInt(L"Kleuren", L"cSysFileFg", -1), -1);
    EXPECT_EQ(main->Colors().sysFileFg, 0x40FF00u);
    test::DialogAnswerer answer(L"COLORS", IDOK);
    Command(IDM_COLORS);
    EXPECT_EQ(GetProfileInt(L"Kleuren", L"cFRect", -2), -1);
    EXPECT_EQ(GetProfileInt(L"Kleuren", L"cSysFileFg", -1), 0x40FF00);
}
