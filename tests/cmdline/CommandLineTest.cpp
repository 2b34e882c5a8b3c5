// The command line under Wine: the prompt, built-ins through the interpreter, per-entry runs,
// "/c" and "/k", placeholders, names with blanks, Enter in the edit field, the history.
#include "common/Settings.h"
#include "cmdline/LaunchSupport.h"
#include "framework/Resources.h"
#include "resource.h"
#include <cwctype>

using test::LaunchTest;

namespace {
bool Running(const StartedRun& run) { return run.process && ::WaitForSingleObject(run.process.Get(), 0) == WAIT_TIMEOUT; }
bool Ended(const StartedRun& run) { return run.process && ::WaitForSingleObject(run.process.Get(), 0) == WAIT_OBJECT_0; }
}

class CommandLine : public LaunchTest {
protected:
    void Run(const std::wstring& line)
    {
        main->CommandLine().SetLine(line);
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_CMDBUTTON, 0);
        test::Pump(30);
    }
    std::vector<std::wstring> ListItems()
    {
        std::vector<std::wstring> items;
        for (int i = 0; i < main->CommandLine().GetCount(); ++i) items.push_back(main->CommandLine().GetItemText(i));
        return items;
    }
    std::vector<std::wstring> StoredHistory()
    {
        std::vector<std::wstring> keys;
        for (int i = 1; i <= 10; ++i)
            keys.push_back(GetProfileString(L"Algemeen", (L"Commando" + std::to_wstring(i)).c_str(), L"?"));
        return keys;
    }
};

TEST_F(CommandLine, ThePromptShowsTheActiveDirectoryInLowerCase)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"Left Side"));
    ASSERT_TRUE(test::MakeDir(tmp / L"RIGHT"));
    StartIn(tmp / L"Left Side", tmp / L"RIGHT");
    auto lower = [](std::wstring s) {
        for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
        return s + L">";
    };
    HWND prompt = ::GetDlgItem(main->Handle(), IDC_PROMPT);
    EXPECT_EQ(fw::GetText(prompt), lower(tmp / L"Left Side"));
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_TOGGLEPANEL, 0);
    EXPECT_EQ(fw::GetText(prompt), lower(tmp / L"RIGHT"));
}

TEST_F(CommandLine, ABuiltinRunsInTheActivePanelsDirectoryAndTheConsoleStays)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"left"));
    ASSERT_TRUE(test::MakeDir(tmp / L"right"));
    StartIn(tmp / L"left", tmp / L"right");
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_TOGGLEPANEL, 0);
    Run(L"echo hello> out.txt");
    // echo writes the text and the line end separately: wait for the whole line.
    test::PumpUntil([&] { return test::ReadText(tmp / L"right\\out.txt") == L"hello\n"; }, 15000);
    EXPECT_EQ(test::ReadText(tmp / L"right\\out.txt"), L"hello\n");
    EXPECT_FALSE(test::Exists(tmp / L"left\\out.txt"));
    ASSERT_EQ(main->lastRuns.size(), 1u);
    const StartedRun& run = main->lastRuns[0];
    EXPECT_TRUE(run.interpreted);
    EXPECT_EQ(run.parameters, L"/s /v:off /k \"echo hello> out.txt\"");
    test::Pump(300);
    EXPECT_TRUE(Running(run)) << "a single run keeps its console (/k)";
}

TEST_F(CommandLine, PerEntryModeRunsOncePerMarkedFileClosingAllButTheLast)
{
    for (const wchar_t* f : {L"a.txt", L"b.txt", L"c.txt", L"d.txt"}) ASSERT_TRUE(test::MakeFile(tmp / f, "x"));
    StartIn(tmp.Path(), tmp.Path());
    Mark({L"a.txt", L"b.txt", L"c.txt"});
    Run(L"echo &an>> runs.txt");
    ASSERT_TRUE(test::PumpUntil([&] { return test::ReadText(tmp / L"runs.txt").size() >= 12; }, 20000));
    // Each name reaches the interpreter quoted.
    EXPECT_EQ(test::ReadText(tmp / L"runs.txt"), L"\"a\"\n\"b\"\n\"c\"\n");
    ASSERT_EQ(main->lastRuns.size(), 3u);
    EXPECT_EQ(main->lastRuns[0].parameters, L"/s /v:off /c \"echo \"a\">> runs.txt\"");
    EXPECT_EQ(main->lastRuns[1].parameters, L"/s /v:off /c \"echo \"b\">> runs.txt\"");
    EXPECT_EQ(main->lastRuns[2].parameters, L"/s /v:off /k \"echo \"c\">> runs.txt\"");
    // The first two were waited for; the last console stays open.
    EXPECT_TRUE(Ended(main->lastRuns[0]));
    EXPECT_TRUE(Ended(main->lastRuns[1]));
    test::Pump(300);
    EXPECT_TRUE(Running(main->lastRuns[2]));
}

TEST_F(CommandLine, AfAloneRunsOnceForTheFirstChosenEntry)
{
    for (const wchar_t* f : {L"a.txt", L"b.txt", L"c.txt"}) ASSERT_TRUE(test::MakeFile(tmp / f, "x"));
    StartIn(tmp.Path(), tmp.Path());
    Mark({L"a.txt", L"b.txt", L"c.txt"});
    Run(test::Recorder() + L" &af");
    auto records = WaitForRecords(1);
    test::Pump(500);
    records = Records();
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].args.size(), 2u);
    EXPECT_TRUE(test::SameName(tmp / records[0].args[1], tmp / L"a.txt")) << test::Narrow(records[0].args[1]);
    EXPECT_TRUE(test::SameName(records[0].directory, tmp.Path())) << test::Narrow(records[0].directory);
    EXPECT_FALSE(main->lastRuns[0].interpreted);
}

TEST_F(CommandLine, NoEntryGivesEmptyPlaceholdersAndOneRun)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"sub"));
    StartIn(tmp / L"sub", tmp.Path());
    Cursor(L"..");
    Run(test::Recorder() + L" [&as][&an][&af]");
    auto records = WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].args.size(), 2u);
    EXPECT_EQ(records[0].args[1], L"[][][]");
    EXPECT_EQ(main->lastRuns.size(), 1u);
}

TEST_F(CommandLine, ANameWithBlanksReachesTheProgramWhole)
{
    ASSERT_TRUE(test::MakeDir(tmp / L"other side"));
    ASSERT_TRUE(test::MakeFile(tmp / L"my notes with blanks.txt", "x"));
    ASSERT_TRUE(test::MakeFile(tmp / L"other side\\their file.txt", "x"));
    StartIn(tmp.Path(), tmp / L"other side");
    Cursor(L"my notes with blanks.txt");
    main->RightPanel().List().SetItemState(test::RowOf(main->RightPanel(), L"their file.txt"), LVIS_FOCUSED,
                                           LVIS_FOCUSED);
    Run(test::Recorder() + L" &as &bs &bp");
    auto records = WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    ASSERT_EQ(records[0].args.size(), 4u);
    EXPECT_TRUE(test::SameName(records[0].args[1], tmp / L"my notes with blanks.txt")) << test::Narrow(records[0].args[1]);
    EXPECT_TRUE(test::SameName(records[0].args[2], tmp / L"other side\\their file.txt"));
    EXPECT_TRUE(test::SameName(records[0].args[3], tmp / L"other side"));
}

TEST_F(CommandLine, EnterInTheEditFieldRunsTheLine)
{
    StartIn(tmp.Path(), tmp.Path());
    main->CommandLine().SetLine(test::Recorder() + L" typed");
    ASSERT_TRUE(main->CommandLine().Edit());
    ::SetFocus(main->CommandLine().Edit());
    ::SendMessageW(main->CommandLine().Edit(), WM_KEYDOWN, VK_RETURN, 0);
    auto records = WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args.back(), L"typed");
}

TEST_F(CommandLine, TheHistoryKeepsTheLastTenOnceEach)
{
    StartIn(tmp.Path(), tmp.Path());
    EXPECT_EQ(ListItems().size(), 10u) << "the ten stored places, empty ones too";
    std::wstring one = test::Recorder() + L" one";
    Run(one);
    Run(one);
    WaitForRecords(2);
    std::vector<std::wstring> expected(10, L"");
    expected[0] = one;
    EXPECT_EQ(StoredHistory(), expected);
    EXPECT_EQ(ListItems(), expected);
    EXPECT_EQ(fw::GetText(main->CommandLine().Handle()), one);
    for (int i = 1; i <= 11; ++i) Run(test::Recorder() + L" " + std::to_wstring(i));
    WaitForRecords(13);
    for (int i = 0; i < 10; ++i) expected[i] = test::Recorder() + L" " + std::to_wstring(11 - i);
    EXPECT_EQ(StoredHistory(), expected);
    EXPECT_EQ(ListItems(), expected);
    // A line that cannot be started is not recorded.
    wchar_t comspec[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"COMSPEC", comspec, MAX_PATH);
    ::SetEnvironmentVariableW(L"COMSPEC", L"C:\\no\\such\\interpreter.exe");
    {
        test::DialogAnswerer answer(L"#32770", IDOK);
        Run(L"dir");
    }
    ::SetEnvironmentVariableW(L"COMSPEC", comspec);
    ASSERT_EQ(main->lastRuns.size(), 1u);
    EXPECT_FALSE(main->lastRuns[0].started);
    EXPECT_EQ(StoredHistory(), expected);
}

TEST_F(CommandLine, APlaceholderResultTooLongForACommandLineIsRefused)
{
    // 23 levels of eight letters: a directory of about 250 characters that has no other short form.
    std::wstring deep = tmp.Path();
    for (int i = 0; i < 23; ++i) {
        deep += L"\\aaaaaaaa";
        ASSERT_TRUE(test::MakeDir(deep));
    }
    ASSERT_LT(deep.size(), static_cast<size_t>(MAX_PATH - 2));
    StartIn(deep, tmp.Path());
    std::wstring line = L"x ";
    for (int i = 0; i < 40; ++i) line += L"&ap";
    ASSERT_LE(line.size(), 127u);
    test::DialogAnswerer answer(L"#32770", IDOK);
    Run(line);
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(answer.LastText(), fw::LoadStr(IDS_CMDLINE_TOOLONG));
    EXPECT_TRUE(main->lastRuns.empty());
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Commando1", L""), L"");
}
