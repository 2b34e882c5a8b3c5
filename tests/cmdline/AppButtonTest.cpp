// Application buttons and the function-key bar: icons, directory buttons, documents, the per-entry
// question, and the "BUTTONPARMS" and "FKEYS" dialogs.
#include "common/Settings.h"
#include "cmdline/LaunchSupport.h"
#include "frame/ButtonDialogs.h"
#include "framework/Resources.h"
#include "resource.h"

using test::LaunchTest;

class AppButtons : public LaunchTest {
protected:
    void Click(HWND button)
    {
        ::SendMessageW(button, BM_CLICK, 0, 0);
        test::Pump(30);
    }
    void RightClick(HWND button)
    {
        ::SendMessageW(button, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(button, WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
        test::Pump(30);
    }
    void Button(int index, const wchar_t* name, const std::wstring& program, const std::wstring& parms,
                const std::wstring& workDir = L"")
    {
        std::wstring section = L"Knop" + std::to_wstring(index);
        WriteProfileString(section.c_str(), L"Naam", name);
        WriteProfileString(section.c_str(), L"Programma", program);
        WriteProfileString(section.c_str(), L"Parms", parms);
        WriteProfileString(section.c_str(), L"WerkDir", workDir);
    }
};

TEST_F(AppButtons, TheDefaultButtonsShowTheirProgramsIcons)
{
    StartIn(tmp.Path(), tmp.Path());
    ::UpdateWindow(main->Handle());
    ASSERT_TRUE(test::PumpUntil([&] { return main->AppButton(1).IconLooked() && main->AppButton(3).IconLooked(); }));
    EXPECT_EQ(fw::GetText(main->AppButton(1).Handle()), L"Notepad");
    EXPECT_NE(main->AppButton(1).Icon(), nullptr) << "notepad.exe";
    EXPECT_NE(main->AppButton(3).Icon(), nullptr) << "cmd.exe";
    // A button without a program has no icon and draws its caption alone.
    EXPECT_EQ(main->AppButton(5).Icon(), nullptr);
}

TEST_F(AppButtons, ADirectoryButtonTakesTheActivePanelToTheDrivesRoot)
{
    Button(4, L"Root", L"", L"", L"C:");
    StartIn(tmp.Path(), tmp.Path());
    Click(main->AppButton(4).Handle());
    EXPECT_EQ(main->ActivePanel().path, L"C:\\");
    EXPECT_EQ(main->ActivePanel().drive, L"C:\\");
    int before = main->LeftPanel().updates;
    ASSERT_TRUE(test::PumpUntil([&] { return main->LeftPanel().updates > before; }));
    EXPECT_GE(test::RowOf(main->LeftPanel(), L"windows"), 0);
    // The way back is in the panel's history.
    ::SendMessageW(main->Handle(), WM_COMMAND, IDC_BACKL, 0);
    EXPECT_EQ(main->LeftPanel().path, tmp.Path());
}

TEST_F(AppButtons, ADirectoryButtonToAMissingDirectoryLeavesThePanel)
{
    Button(4, L"Gone", L"", L"", L"C:\\no\\such\\directory");
    StartIn(tmp.Path(), tmp.Path());
    test::DialogAnswerer answer(L"#32770", IDOK);
    Click(main->AppButton(4).Handle());
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(main->LeftPanel().path, tmp.Path());
}

TEST_F(AppButtons, ADocumentStartsItsProgramWithTheDocumentAsTheOnlyParameter)
{
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.pdrec", 0, nullptr, 0, KEY_WRITE, nullptr,
                                &key, nullptr), ERROR_SUCCESS);
    const wchar_t type[] = L"pdrecfile";
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(type), sizeof(type));
    ::RegCloseKey(key);
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\pdrecfile\\shell\\open\\command", 0, nullptr,
                                0, KEY_WRITE, nullptr, &key, nullptr), ERROR_SUCCESS);
    std::wstring command = L"\"" + test::Recorder() + L"\" \"%1\"";
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);

    ASSERT_TRUE(test::MakeFile(tmp / L"my document.pdrec", "x"));
    Button(5, L"Doc", tmp / L"my document.pdrec", L"dropped &af");
    StartIn(tmp.Path(), tmp.Path());
    Click(main->AppButton(5).Handle());
    auto records = WaitForRecords(1);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.pdrec");
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\pdrecfile");
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].args.size(), 2u);
    EXPECT_TRUE(test::SameName(records[0].args[0], test::Recorder())) << test::Narrow(records[0].args[0]);
    EXPECT_TRUE(test::SameName(records[0].args[1], tmp / L"my document.pdrec")) << test::Narrow(records[0].args[1]);
}

TEST_F(AppButtons, NoToTheQuestionStartsOnceForTheFirstEntry)
{
    for (const wchar_t* f : {L"a.txt", L"b.txt", L"c.txt", L"d.txt", L"e.txt"}) ASSERT_TRUE(test::MakeFile(tmp / f, "x"));
    Button(6, L"Rec", test::Recorder(), L"&as");
    StartIn(tmp.Path(), tmp.Path());
    Mark({L"a.txt", L"b.txt", L"c.txt", L"d.txt", L"e.txt"});
    test::DialogAnswerer answer(L"#32770", IDNO);
    Click(main->AppButton(6).Handle());
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(answer.LastText(), fw::LoadStr(IDS_ASK_PERENTRY));
    auto records = WaitForRecords(1);
    test::Pump(500);
    records = Records();
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].args.size(), 2u);
    EXPECT_TRUE(test::SameName(records[0].args[1], tmp / L"a.txt"));
}

TEST_F(AppButtons, YesToTheQuestionStartsOncePerEntryInTheWorkingDirectory)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"work"));
    for (const wchar_t* f : {L"a.txt", L"b.txt", L"c.txt"}) ASSERT_TRUE(test::MakeFile(tmp / f, "x"));
    Button(6, L"Rec", test::Recorder(), L"&an.&ae", L"&ap\\work");
    StartIn(tmp.Path(), tmp.Path());
    Mark({L"a.txt", L"b.txt", L"c.txt"});
    test::DialogAnswerer answer(L"#32770", IDYES);
    Click(main->AppButton(6).Handle());
    EXPECT_EQ(answer.Answered(), 1);
    ASSERT_EQ(main->lastRuns.size(), 3u);
    for (auto& run : main->lastRuns) EXPECT_TRUE(run.started);
    auto records = WaitForRecords(3);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].args[1], L"a.txt");
    EXPECT_EQ(records[1].args[1], L"b.txt");
    EXPECT_EQ(records[2].args[1], L"c.txt");
    for (auto& r : records) EXPECT_TRUE(test::SameName(r.directory, tmp / L"work")) << test::Narrow(r.directory);
}

TEST_F(AppButtons, AProgramThatCannotStartSaysSo)
{
    Button(7, L"Broken", L"C:\\no\\such\\program.exe", L"");
    StartIn(tmp.Path(), tmp.Path());
    wchar_t comspec[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"COMSPEC", comspec, MAX_PATH);
    // A missing program goes to the interpreter; without one nothing can start.
    ::SetEnvironmentVariableW(L"COMSPEC", L"C:\\no\\such\\interpreter.exe");
    test::DialogAnswerer answer(L"#32770", IDOK);
    Click(main->AppButton(7).Handle());
    ::SetEnvironmentVariableW(L"COMSPEC", comspec);
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(answer.LastText(), fw::LoadStr(IDS_CANTSTART));
}

TEST_F(AppButtons, RightClickEditsTheButtonsSettings)
{
    StartIn(tmp.Path(), tmp.Path());
    test::DialogAnswerer answer(L"BUTTONPARMS", IDOK, [](HWND dialog) {
        ::SetDlgItemTextW(dialog, IDC_BP_NAME, L"Mine");
        ::SetDlgItemTextW(dialog, IDC_BP_PROGRAM, L"notepad.exe");
        ::SetDlgItemTextW(dialog, IDC_BP_PARMS, L"&as");
        ::SetDlgItemTextW(dialog, IDC_BP_WORKDIR, L"&ap");
        ::CheckRadioButton(dialog, IDC_BP_NORMAL, IDC_BP_MINIMISED, IDC_BP_MAXIMISED);
    });
    RightClick(main->AppButton(8).Handle());
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(fw::GetText(main->AppButton(8).Handle()), L"Mine");
    EXPECT_EQ(GetProfileString(L"Knop8", L"Naam", L""), L"Mine");
    EXPECT_EQ(GetProfileString(L"Knop8", L"Programma", L""), L"notepad.exe");
    EXPECT_EQ(GetProfileString(L"Knop8", L"Parms", L""), L"&as");
    EXPECT_EQ(GetProfileString(L"Knop8", L"WerkDir", L""), L"&ap");
    EXPECT_EQ(GetProfileInt(L"Knop8", L"Window", -1), 1);
}

TEST_F(AppButtons, TheFunctionKeyDialogChangesCaptionsAndWhatF5Runs)
{
    StartIn(tmp.Path(), tmp.Path());
    HWND f5 = main->FunctionKey(4).Handle();
    EXPECT_EQ(fw::GetText(f5), L"Copy");
    int swap = CommandPosition(L"Swap");
    ASSERT_EQ(swap, 23);
    std::vector<int> shown;
    test::DialogAnswerer answer(L"FKEYS", IDOK, [&](HWND dialog) {
        for (int k = 0; k < 9; ++k)
            shown.push_back(static_cast<int>(::SendDlgItemMessageW(dialog, IDC_FKEYS_F2 + k, CB_GETCURSEL, 0, 0)));
        ::SendDlgItemMessageW(dialog, IDC_FKEYS_F2 + 3, CB_SETCURSEL, swap, 0);
        ::SendDlgItemMessageW(dialog, IDC_FKEYS_F2 + 4, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    });
    // A right-click on F5 opens the dialog, not the copy.
    RightClick(f5);
    ASSERT_EQ(answer.Answered(), 1);
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 39}));
    EXPECT_EQ(GetProfileInt(L"FKeys", L"FK5", -1), 23);
    EXPECT_EQ(GetProfileInt(L"FKeys", L"FK6", -1), 40) << "no name chosen: the place after the table";
    EXPECT_EQ(GetProfileInt(L"FKeys", L"FK2", -1), 0);
    EXPECT_EQ(fw::GetText(f5), L"Swap");
    EXPECT_EQ(fw::GetText(main->FunctionKey(5).Handle()), L"");
    EXPECT_FALSE(::IsWindowEnabled(main->FunctionKey(5).Handle()));
    bool wasLeft = main->LeftActive();
    Click(f5);
    EXPECT_TRUE(test::PumpUntil([&] { return main->LeftActive() != wasLeft; }, 2000));
}
