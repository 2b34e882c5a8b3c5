// Commands reaching their handlers: swap, history, recent directories, refusals, saved keys, menu state.
#include "common/RecentDirectories.h"
#include "common/Settings.h"
#include "resource.h"
#include "support/Harness.h"
#include "support/TestEnv.h"

using test::AppTest;

class Routing : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(test::MakeDir(tmp / L"A"));
        ASSERT_TRUE(test::MakeDir(tmp / L"B"));
        ASSERT_TRUE(test::MakeFile(tmp / L"A\\a1.txt"));
        ASSERT_TRUE(test::MakeFile(tmp / L"B\\b1.txt"));
        WriteProfileString(L"Paden", L"Links", tmp / L"A");
        WriteProfileString(L"Paden", L"Rechts", tmp / L"B");
        ASSERT_TRUE(Start());
        WaitForPanels();
    }
    void TearDown() override
    {
        if (app) Program().fileMask = L"*.*";
        AppTest::TearDown();
    }
    void Command(UINT id)
    {
        ::SendMessageW(main->Handle(), WM_COMMAND, id, 0);
        test::Pump(30);
    }
    void Settle()
    {
        test::Pump(400);
    }
    test::TempDir tmp;
};

TEST_F(Routing, SwapExchangesThePanelsAndTheActiveSide)
{
    ASSERT_TRUE(main->LeftActive());
    Command(IDM_SWAP);
    Settle();
    EXPECT_EQ(main->LeftPanel().path, tmp / L"B");
    EXPECT_EQ(main->RightPanel().path, tmp / L"A");
    EXPECT_FALSE(main->LeftActive());
    EXPECT_EQ(test::RowNames(main->RightPanel()), (std::vector<std::wstring>{L"..", L"a1.txt"}));
    EXPECT_EQ(test::RowNames(main->LeftPanel()), (std::vector<std::wstring>{L"..", L"b1.txt"}));
}

TEST_F(Routing, ParentRootAndBackUseTheHistory)
{
    Command(IDC_BACKL); // empty history: nothing happens
    Settle();
    EXPECT_EQ(main->LeftPanel().path, tmp / L"A");

    Command(IDC_PARENTL);
    Settle();
    EXPECT_EQ(main->LeftPanel().path, tmp.Path());
    EXPECT_GE(test::RowOf(main->LeftPanel(), L"A"), 0);
    Command(IDC_ROOTL);
    Settle();
    EXPECT_EQ(main->LeftPanel().path, tmp.Path().substr(0, 3));
    Command(IDC_BACKL);
    Settle();
    EXPECT_EQ(main->LeftPanel().path, tmp.Path());
    Command(IDC_BACKL);
    Settle();
    EXPECT_EQ(main->LeftPanel().path, tmp / L"A");
    Command(IDC_BACKL);
    Settle();
    EXPECT_EQ(main->LeftPanel().path, tmp / L"A");
    // The right panel's history is its own.
    EXPECT_EQ(main->RightPanel().path, tmp / L"B");
}

TEST_F(Routing, HistoryKeepsFifteenEntries)
{
    DirectoryHistory h;
    for (int i = 0; i < 20; ++i) h.Push(L"C:\\D" + std::to_wstring(i), L"C:");
    EXPECT_EQ(h.At(0).directory, L"C:\\D19");
    EXPECT_EQ(h.At(14).directory, L"C:\\D5");
    for (int i = 19; i >= 5; --i) EXPECT_EQ(h.Pop().directory, L"C:\\D" + std::to_wstring(i));
    EXPECT_TRUE(h.Pop().drive.empty());
}

TEST_F(Routing, RecentDirectoriesAreDeduplicatedIgnoringCase)
{
    RecordRecentDirectory(L"C:\\One");
    RecordRecentDirectory(L"C:\\Two");
    RecordRecentDirectory(L"C:\\ONE");
    auto list = ReadRecentDirectories();
    ASSERT_EQ(list.size(), 15u);
    EXPECT_EQ(list[0], L"C:\\ONE");
    EXPECT_EQ(list[1], L"C:\\Two");
    EXPECT_EQ(list[2], L"");
    for (int i = 0; i < 20; ++i) RecordRecentDirectory(L"C:\\N" + std::to_wstring(i));
    list = ReadRecentDirectories();
    EXPECT_EQ(list[0], L"C:\\N19");
    EXPECT_EQ(list[14], L"C:\\N5");
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Dir15", L"?"), L"C:\\N5");
}

TEST_F(Routing, DirHistChangesTheActivePanel)
{
    RecordRecentDirectory(tmp / L"B");
    RecordRecentDirectory(tmp.Path());
    test::DialogAnswerer answer(L"DIRHIST", IDOK);
    Command(IDM_DIRHIST);
    Settle();
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(main->LeftPanel().path, tmp.Path());
    Command(IDC_BACKL);
    Settle();
    EXPECT_EQ(main->LeftPanel().path, tmp / L"A");
}

TEST_F(Routing, FtpPanelsRefuseWhatMakesNoSenseThere)
{
    main->LeftPanel().drive = L"FTP";
    {
        test::DialogAnswerer answer(L"#32770", IDOK);
        Command(IDM_FILTER);
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(answer.LastText(), fw::LoadStr(IDS_NOTONFTP));
    }
    {
        test::DialogAnswerer answer(L"#32770", IDOK);
        Command(IDM_PRINT);
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(answer.LastText(), fw::LoadStr(IDS_NOTONFTP_PRINT));
    }
    main->LeftPanel().drive = (tmp / L"A").substr(0, 3);
}

TEST_F(Routing, FilterAppliesItsMaskToBothPanels)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"A\\x.exe"));
    ASSERT_TRUE(test::MakeDir(tmp / L"A\\sub"));
    test::DialogAnswerer answer(L"FILTER", IDOK, [](HWND dlg) { ::SetDlgItemTextW(dlg, IDC_TEXT_FIELD, L"*.exe"); });
    Command(IDM_FILTER);
    Settle();
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(Program().fileMask, L"*.exe");
    EXPECT_EQ(test::RowNames(main->LeftPanel()), (std::vector<std::wstring>{L"..", L"sub", L"x.exe"}));
    EXPECT_EQ(test::RowNames(main->RightPanel()), (std::vector<std::wstring>{L".."}));
    EXPECT_EQ(fw::GetText(main->Side(false).pathLine.Handle()), tmp / L"B\\*.exe");
}

TEST_F(Routing, SavePathsAndSortOrderWriteTheirKeys)
{
    EXPECT_EQ(GetProfileString(L"Paden", L"LSort", L"none"), L"none");
    Command(IDM_SORTSIZE);
    Command(IDM_TOGGLEPANEL);
    Command(IDM_SAVESORT);
    Command(IDM_SAVEPATHS);
    EXPECT_EQ(GetProfileInt(L"Paden", L"LSort", -1), 32);
    EXPECT_EQ(GetProfileInt(L"Paden", L"RSort", -1), 128);
    EXPECT_EQ(GetProfileString(L"Paden", L"Links", L""), tmp / L"A");
    EXPECT_EQ(GetProfileString(L"Paden", L"Rechts", L""), tmp / L"B");
    EXPECT_EQ(GetProfileInt(L"WinPositie", L"LeftActive", -1), 0);
}

TEST_F(Routing, UnbuiltCommandsAreGreyedAndTheirKeysDisabled)
{
    HMENU file = ::GetSubMenu(::GetMenu(main->Handle()), 0);
    ::SendMessageW(main->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), 0);
    // Every item is greyed exactly when the part behind it is not built; Associate is built.
    for (int i = 0, n = ::GetMenuItemCount(file); i < n; ++i) {
        UINT id = ::GetMenuItemID(file, i);
        if (id == 0 || id == static_cast<UINT>(-1)) continue;
        EXPECT_EQ((::GetMenuState(file, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0, !main->IsCommandAvailable(id)) << id;
    }
    EXPECT_FALSE(::GetMenuState(file, IDM_ASSOCIATE, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(::GetMenuState(file, IDM_PRINT, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(::GetMenuState(file, IDM_EXIT, MF_BYCOMMAND) & MF_GRAYED);
    HMENU sort = ::GetSubMenu(::GetMenu(main->Handle()), 3);
    ::SendMessageW(main->Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sort), 0);
    EXPECT_FALSE(::GetMenuState(sort, IDM_SORTDATE, MF_BYCOMMAND) & MF_GRAYED);
    // F2 is Print; F10 without a stored key is Eject.
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(main->Handle(), IDM_FKEY_F2)));
    EXPECT_EQ(fw::GetText(::GetDlgItem(main->Handle(), IDM_FKEY_F10)), L"Eject");
}

TEST_F(Routing, FunctionKeyButtonsPostTheMappedCommand)
{
    test::ResetStore();
    WriteProfileInt(L"FKeys", L"FK3", 23); // Swap
    app->ExitInstance();
    app.reset();
    WriteProfileString(L"Paden", L"Links", tmp / L"A");
    WriteProfileString(L"Paden", L"Rechts", tmp / L"B");
    ASSERT_TRUE(Start());
    WaitForPanels();
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(main->Handle(), IDM_FKEY_F3)));
    Command(IDM_FKEY_F3);
    Settle();
    EXPECT_EQ(main->LeftPanel().path, tmp / L"B");
}

TEST_F(Routing, SelectAllButtonsMarkEverythingButTheParent)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"B\\d"));
    main->RightPanel().OnUpdate();
    Command(IDC_SELALLR);
    EXPECT_EQ(test::MarkedNames(main->RightPanel()), (std::vector<std::wstring>{L"d", L"b1.txt"}));
    EXPECT_TRUE(test::MarkedNames(main->LeftPanel()).empty());
    EXPECT_EQ(main->RightPanel().markedDirs, 1);
    Command(IDC_DESELALLR);
    EXPECT_TRUE(test::MarkedNames(main->RightPanel()).empty());
    Command(IDM_SELECTALL);
    EXPECT_EQ(test::MarkedNames(main->LeftPanel()), (std::vector<std::wstring>{L"a1.txt"}));
}

TEST_F(Routing, MissingHelpFileIsReportedNotFatal)
{
    test::DialogAnswerer answer(L"#32770", IDOK);
    Command(IDM_HELP);
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_NE(answer.LastText().find(L"PD.HLP"), std::wstring::npos);
    EXPECT_TRUE(::IsWindow(main->Handle()));
}
