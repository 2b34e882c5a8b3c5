// What a name may do on its way to a started command: under Wine, through the real command line and
// real buttons, names with the interpreter's characters act on that file only and run nothing else;
// names that cannot be passed are refused; commands start in the active panel's directory; a program
// path with blanks keeps its quotes through the interpreter.
#include "common/Settings.h"
#include "cmdline/LaunchSupport.h"
#include "framework/Resources.h"
#include "resource.h"

using test::LaunchTest;

class SafeLaunch : public LaunchTest {
protected:
    void SetUp() override
    {
        LaunchTest::SetUp();
        ran = tmp / L"ran.txt";
        // The decoy a name like "b&evil" would start if its "&" were read as the interpreter's.
        ASSERT_TRUE(test::MakeFile(tmp / L"evil.bat", "@echo ran>> \"" + test::Narrow(ran) + "\"\r\n"));
    }
    void Run(const std::wstring& line)
    {
        main->CommandLine().SetLine(line);
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_CMDBUTTON, 0);
        test::Pump(30);
    }
    void Click(int index)
    {
        ::SendMessageW(main->AppButton(index).Handle(), BM_CLICK, 0, 0);
        test::Pump(30);
    }
    void Button(int index, const std::wstring& program, const std::wstring& parms)
    {
        std::wstring section = L"Knop" + std::to_wstring(index);
        WriteProfileString(section.c_str(), L"Naam", L"Button");
        WriteProfileString(section.c_str(), L"Programma", program);
        WriteProfileString(section.c_str(), L"Parms", parms);
    }
    // The only run of the last command has ended.
    bool OnlyRunEnded()
    {
        if (main->lastRuns.size() != 1 || !main->lastRuns[0].process) return false;
        HANDLE process = main->lastRuns[0].process.Get();
        return test::PumpUntil([&] { return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, 15000);
    }
    void Refresh(CFileList& first, CFileList& last)
    {
        first.OnUpdate();
        last.OnUpdate();
    }

    std::wstring ran;
};

TEST_F(SafeLaunch, ANameIsOneLiteralArgumentOnTheCommandLine)
{
    const std::vector<std::wstring> names = {L"b&evil", L"a^z.txt", L"c(1).txt", L"d) & (evil", L"my file.txt",
                                             L"e,f;g=h.txt", L"x!path!y.txt"};
    for (const std::wstring& name : names) ASSERT_TRUE(test::MakeFile(tmp / name, test::Narrow(name)));
    StartIn(tmp.Path(), tmp.Path());
    for (const std::wstring& name : names) {
        Cursor(name);
        for (const wchar_t* line : {L"type &as> out.txt& exit", L"for %f in (&as) do type %f> out.txt& exit"}) {
            ::DeleteFileW((tmp / L"out.txt").c_str());
            Run(line);
            ASSERT_TRUE(OnlyRunEnded()) << test::Narrow(name) << " " << test::Narrow(line);
            EXPECT_EQ(test::ReadText(tmp / L"out.txt"), name) << test::Narrow(line);
        }
    }
    EXPECT_FALSE(test::Exists(ran)) << "a name started another command";
}

TEST_F(SafeLaunch, DeleteOnACaretNameDeletesThatFileAlone)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"a^z.txt", "caret"));
    ASSERT_TRUE(test::MakeFile(tmp / L"az.txt", "plain"));
    StartIn(tmp.Path(), tmp.Path());
    Cursor(L"a^z.txt");
    Run(L"del &as& exit");
    ASSERT_TRUE(OnlyRunEnded());
    EXPECT_FALSE(test::Exists(tmp / L"a^z.txt"));
    EXPECT_TRUE(test::Exists(tmp / L"az.txt"));
}

TEST_F(SafeLaunch, ANameWithAPercentSignIsRefusedAndNothingRuns)
{
    for (const wchar_t* f : {L"a.txt", L"50%off.txt", L"c.txt"}) ASSERT_TRUE(test::MakeFile(tmp / f, "x"));
    StartIn(tmp.Path(), tmp.Path());
    Mark({L"a.txt", L"50%off.txt", L"c.txt"});
    {
        test::DialogAnswerer answer(L"#32770", IDOK);
        Run(L"echo &an>> runs.txt");
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_NE(answer.LastText().find(tmp / L"50%off.txt"), std::wstring::npos) << test::Narrow(answer.LastText());
    }
    // Not even the runs before it: the whole command was refused.
    EXPECT_TRUE(main->lastRuns.empty());
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Commando1", L""), L"");
    // A program started directly reads no percent signs: it gets the name.
    P().List().SetItemState(-1, 0, LVIS_SELECTED);
    Cursor(L"50%off.txt");
    Run(test::Recorder() + L" &af");
    auto records = WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].args.size(), 2u);
    EXPECT_EQ(records[0].args[1], L"50%off.txt");
    EXPECT_FALSE(test::Exists(tmp / L"runs.txt"));
}

TEST_F(SafeLaunch, AButtonPassesANameWholeToTheInterpreter)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"b&evil", "the named file"));
    ASSERT_TRUE(test::MakeFile(tmp / L"a^z.txt", "caret"));
    ASSERT_TRUE(test::MakeFile(tmp / L"az.txt", "plain"));
    // The interpreter as the program, and a built-in command that goes through it.
    Button(6, L"cmd.exe", L"/c type &as> out.txt");
    Button(7, L"del", L"&as& exit");
    StartIn(tmp.Path(), tmp.Path());
    Cursor(L"b&evil");
    Click(6);
    ASSERT_TRUE(OnlyRunEnded());
    EXPECT_EQ(test::ReadText(tmp / L"out.txt"), L"the named file");
    Cursor(L"a^z.txt");
    Click(7);
    ASSERT_TRUE(OnlyRunEnded());
    EXPECT_FALSE(test::Exists(tmp / L"a^z.txt"));
    EXPECT_TRUE(test::Exists(tmp / L"az.txt"));
    EXPECT_FALSE(test::Exists(ran)) << "a name started another command";
}

TEST_F(SafeLaunch, AButtonRefusesAPercentNameForTheInterpreterOnly)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"100%.txt", "x"));
    Button(6, L"cmd.exe", L"/c type &as> out.txt");
    Button(7, test::Recorder(), L"&af");
    StartIn(tmp.Path(), tmp.Path());
    Cursor(L"100%.txt");
    {
        test::DialogAnswerer answer(L"#32770", IDOK);
        Click(6);
        EXPECT_EQ(answer.Answered(), 1);
        std::wstring expected = fw::Format(fw::LoadStr(IDS_LAUNCH_UNSAFENAME).c_str(), (tmp / L"100%.txt").c_str());
        EXPECT_EQ(answer.LastText(), expected);
    }
    EXPECT_TRUE(main->lastRuns.empty());
    Click(7);
    auto records = WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].args.size(), 2u);
    EXPECT_EQ(records[0].args[1], L"100%.txt");
    EXPECT_FALSE(test::Exists(tmp / L"out.txt"));
}

TEST_F(SafeLaunch, TheCommandLineStartsInTheActivePanelsDirectoryWhicheverWasReadLast)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"left"));
    ASSERT_TRUE(test::MakeDir(tmp / L"right"));
    StartIn(tmp / L"left", tmp / L"right");
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_TOGGLEPANEL, 0);
    ASSERT_FALSE(main->LeftActive());
    Refresh(main->RightPanel(), main->LeftPanel());
    Run(L"echo marker> out.txt& exit");
    ASSERT_TRUE(OnlyRunEnded());
    EXPECT_EQ(test::ReadText(tmp / L"right\\out.txt"), L"marker\n");
    EXPECT_FALSE(test::Exists(tmp / L"left\\out.txt"));

    ::DeleteFileW((tmp / L"right\\out.txt").c_str());
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_TOGGLEPANEL, 0);
    ASSERT_TRUE(main->LeftActive());
    Refresh(main->LeftPanel(), main->RightPanel());
    Run(L"echo marker> out.txt& exit");
    ASSERT_TRUE(OnlyRunEnded());
    EXPECT_EQ(test::ReadText(tmp / L"left\\out.txt"), L"marker\n");
    EXPECT_FALSE(test::Exists(tmp / L"right\\out.txt"));
}

TEST_F(SafeLaunch, AButtonWithoutAWorkingDirectoryStartsInTheActivePanels)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"left"));
    ASSERT_TRUE(test::MakeDir(tmp / L"right"));
    Button(6, test::Recorder(), L"x");
    StartIn(tmp / L"left", tmp / L"right");
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_TOGGLEPANEL, 0);
    Refresh(main->RightPanel(), main->LeftPanel());
    Click(6);
    ASSERT_EQ(WaitForRecords(1).size(), 1u);
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_TOGGLEPANEL, 0);
    Refresh(main->LeftPanel(), main->RightPanel());
    Click(6);
    auto records = WaitForRecords(2);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(test::SameName(records[0].directory, tmp / L"right")) << test::Narrow(records[0].directory);
    EXPECT_TRUE(test::SameName(records[1].directory, tmp / L"left")) << test::Narrow(records[1].directory);
}

TEST_F(SafeLaunch, AProgramPathWithBlanksKeepsItsQuotesThroughTheInterpreter)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"my tools"));
    std::wstring batch = tmp / L"my tools\\rec it.bat";
    std::wstring zero = tmp / L"zero.txt";
    // The batch file notes the name it was started by, then hands its arguments to the recorder.
    ASSERT_TRUE(test::MakeFile(batch, "@echo %0> \"" + test::Narrow(zero) + "\"\r\n" +
                                          "@\"" + test::Narrow(test::Recorder()) + "\" %*\r\n"));
    ASSERT_TRUE(test::MakeFile(tmp / L"notes.txt", "x"));
    Button(6, batch, L"\"arg with blanks\" &af");
    StartIn(tmp.Path(), tmp.Path());
    Cursor(L"notes.txt");
    Click(6);
    auto records = WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].args.size(), 3u);
    EXPECT_EQ(records[0].args[1], L"arg with blanks");
    EXPECT_EQ(records[0].args[2], L"notes.txt");
    ASSERT_EQ(main->lastRuns.size(), 1u);
    EXPECT_TRUE(main->lastRuns[0].interpreted);
    // By its own name, not a short form that happens to exist here.
    std::wstring startedAs = test::ReadText(zero);
    EXPECT_NE(startedAs.find(L"my tools\\rec it.bat"), std::wstring::npos) << test::Narrow(startedAs);
}
