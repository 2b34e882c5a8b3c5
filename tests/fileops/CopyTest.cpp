// Copying through the real panel request and dialogs: targets, trees, patterns, refusals, marks.
#include "fileops/FileCheck.h"
#include "panel/PanelRequests.h"
#include "resource.h"

using namespace test;

class Copy : public CopyFixture {};

TEST_F(Copy, OneFileGoesToTheOtherPanelWithContentAndTimes)
{
    std::string data = RandomBytes(200000, 1);
    ASSERT_TRUE(MakeFile(src / L"a.bin", data));
    SetWriteTime(src / L"a.bin", -86400 * 3);
    ShowBoth();
    Cursor(L"a.bin");
    std::wstring shown, prompt;
    Answers answers({{L"COPY", Rule{{IDOK}, [&](HWND w) {
                          shown = fw::GetText(::GetDlgItem(w, IDC_COPY_TARGET));
                          prompt = fw::GetText(::GetDlgItem(w, IDC_COPY_PROMPT));
                      }}}});
    Run(req::Copy);
    EXPECT_EQ(shown, dst / L"a.bin");
    EXPECT_NE(prompt.find(fw::LoadStr(IDS_COPY_PROMPT)), std::wstring::npos);
    std::wstring upper = src / L"A.BIN";
    CharUpperW(upper.data());
    EXPECT_NE(prompt.find(upper), std::wstring::npos) << Narrow(prompt);
    EXPECT_EQ(ReadAll(dst / L"a.bin"), data);
    EXPECT_EQ(ReadAll(src / L"a.bin"), data);
    EXPECT_EQ(WriteTime(src / L"a.bin"), WriteTime(dst / L"a.bin"));
    EXPECT_EQ(CreationTime(src / L"a.bin"), CreationTime(dst / L"a.bin"));
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
    EXPECT_TRUE(answers.Boxes().empty());
}

TEST_F(Copy, TwoFilesOfferTheOtherPanelsPathAndDropTheMarksAfterSuccess)
{
    ASSERT_TRUE(MakeFile(src / L"one.txt", "1"));
    ASSERT_TRUE(MakeFile(src / L"two.txt", "22"));
    ASSERT_TRUE(MakeFile(src / L"three.txt", "333"));
    ShowBoth();
    Mark({L"one.txt", L"two.txt"});
    std::wstring shown;
    Answers answers({{L"COPY", Rule{{IDOK}, [&](HWND w) { shown = fw::GetText(::GetDlgItem(w, IDC_COPY_TARGET)); }}}});
    Run(req::Copy);
    EXPECT_EQ(shown, dst.Path());
    EXPECT_EQ(ReadAll(dst / L"one.txt"), "1");
    EXPECT_EQ(ReadAll(dst / L"two.txt"), "22");
    EXPECT_FALSE(Exists(dst / L"three.txt"));
    EXPECT_FALSE(Left().keepMarks);
    // The refresh requests re-read the target panel.
    EXPECT_TRUE(PumpUntil([&] { return RowOf(Right(), L"two.txt") >= 0; }, 3000));
}

TEST_F(Copy, ATreeWithNestedDirectoriesAndNamesOutsideTheAnsiCodePage)
{
    const std::wstring dir = L"\u0436\u0443\u043a tree";
    ASSERT_TRUE(MakeDir(src / dir));
    ASSERT_TRUE(MakeDir(src / (dir + L"\\\u03a9mega")));
    ASSERT_TRUE(MakeDir(src / (dir + L"\\\u03a9mega\\\u4e2d\u6587")));
    ASSERT_TRUE(MakeDir(src / (dir + L"\\empty")));
    ASSERT_TRUE(MakeFile(src / (dir + L"\\top.txt"), "top"));
    ASSERT_TRUE(MakeFile(src / (dir + L"\\\u03a9mega\\\u00e9t\u00e9.bin"), RandomBytes(70000, 2)));
    ASSERT_TRUE(MakeFile(src / (dir + L"\\\u03a9mega\\\u4e2d\u6587\\\u6587\u4ef6.dat"), RandomBytes(131070, 3)));
    ASSERT_TRUE(MakeFile(src / (dir + L"\\\u03a9mega\\\u4e2d\u6587\\zero"), ""));
    ShowBoth();
    Cursor(dir);
    Answers answers({{L"COPY", Rule{{IDOK}}}});
    Run(req::Copy);
    EXPECT_EQ(Snapshot(dst / dir), Snapshot(src / dir));
    EXPECT_EQ(Snapshot(dst / dir).size(), 7u);
    EXPECT_TRUE(answers.Boxes().empty());
}

TEST_F(Copy, ATypedTargetThatDoesNotExistIsCreatedAtAllLevels)
{
    ASSERT_TRUE(MakeFile(src / L"a.txt", "alpha"));
    ASSERT_TRUE(MakeFile(src / L"b.txt", "beta"));
    ShowBoth();
    Cursor(L"a.txt");
    {
        Answers answers({{L"COPY", TypeTarget(dst / L"new\\deeper\\deepest\\renamed.txt")}});
        Run(req::Copy);
    }
    EXPECT_EQ(ReadAll(dst / L"new\\deeper\\deepest\\renamed.txt"), "alpha");
    // Several rows into a typed directory ending in a backslash.
    Mark({L"a.txt", L"b.txt"});
    {
        Answers answers({{L"COPY", TypeTarget(dst / L"x\\y\\")}});
        Run(req::Copy);
        EXPECT_TRUE(answers.Boxes().empty());
    }
    EXPECT_EQ(ReadAll(dst / L"x\\y\\a.txt"), "alpha");
    EXPECT_EQ(ReadAll(dst / L"x\\y\\b.txt"), "beta");
}

TEST_F(Copy, ThreeFilesToAPatternGetTheNewExtension)
{
    for (const wchar_t* n : {L"a.txt", L"b.doc", L"c"}) ASSERT_TRUE(MakeFile(src / n, Narrow(n)));
    ShowBoth();
    Mark({L"a.txt", L"b.doc", L"c"});
    Answers answers({{L"COPY", TypeTarget(dst / L"OUT\\*.BAK")}});
    Run(req::Copy);
    EXPECT_EQ(ReadAll(dst / L"OUT\\a.BAK"), "a.txt");
    EXPECT_EQ(ReadAll(dst / L"OUT\\b.BAK"), "b.doc");
    EXPECT_EQ(ReadAll(dst / L"OUT\\c.BAK"), "c");
    EXPECT_EQ(Snapshot(dst / L"OUT").size(), 3u);
}

TEST_F(Copy, ThreeFilesToAPlainNameAreRefused)
{
    for (const wchar_t* n : {L"a.txt", L"b.txt", L"c.txt"}) ASSERT_TRUE(MakeFile(src / n, "x"));
    ShowBoth();
    Mark({L"a.txt", L"b.txt", L"c.txt"});
    Answers answers({{L"COPY", TypeTarget(dst / L"OUT\\X.TXT")}, {L"#32770", Rule{{IDOK}}}});
    Run(req::Copy);
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_NEEDPATTERN)));
    EXPECT_FALSE(Exists(dst / L"OUT"));
    EXPECT_EQ(MarkedNames(Left()).size(), 3u);
}

TEST_F(Copy, ADirectoryIntoADriveRootHasNoDoubledBackslash)
{
    std::wstring name = L"pdroot-" + std::to_wstring(::GetCurrentProcessId());
    ASSERT_TRUE(MakeDir(src / name));
    ASSERT_TRUE(MakeFile(src / (name + L"\\inside.txt"), "in"));
    ShowBoth();
    Cursor(name);
    std::wstring shownTarget;
    Answers answers({{L"COPY", TypeTarget(L"C:\\")}});
    Run(req::Copy);
    EXPECT_EQ(ReadAll(L"C:\\" + name + L"\\inside.txt"), "in");
    RemoveTree(L"C:\\" + name);
    ::RemoveDirectoryW((L"C:\\" + name).c_str());
    EXPECT_TRUE(answers.Boxes().empty());
}

TEST_F(Copy, TheCopyCommandOfTheMainWindowReachesTheActivePanel)
{
    ASSERT_TRUE(MakeFile(src / L"cmd.txt", "via the command"));
    ShowBoth();
    if (!main->LeftActive()) main->TogglePanel();
    Cursor(L"cmd.txt");
    Answers answers({{L"COPY", Rule{{IDOK}}}});
    ::PostMessageW(main->Handle(), WM_COMMAND, MAKEWPARAM(IDM_COPY, 0), 0);
    EXPECT_TRUE(PumpUntil([&] { return answers.Count(L"COPY") == 1 && !main->operation.busy &&
                                       Exists(dst / L"cmd.txt"); }));
    EXPECT_EQ(ReadAll(dst / L"cmd.txt"), "via the command");
}

TEST_F(Copy, CancelInTheCopyDialogDoesNothing)
{
    ASSERT_TRUE(MakeFile(src / L"a.txt", "a"));
    ShowBoth();
    Cursor(L"a.txt");
    Answers answers({{L"COPY", Rule{{IDCANCEL}}}});
    Run(req::Copy);
    EXPECT_FALSE(Exists(dst / L"a.txt"));
    EXPECT_EQ(answers.Count(L"STATUSCOPY"), 0);
}

TEST_F(Copy, OnlyTheParentRowSelectedIsNothingToCopy)
{
    ASSERT_TRUE(MakeDir(src / L"empty"));
    Show(Left(), src / L"empty");
    Show(Right(), dst.Path());
    Left().List().SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Answers answers({{L"#32770", Rule{{IDOK}}}});
    Run(req::Copy);
    EXPECT_EQ(answers.Count(L"COPY"), 0);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_COPY_NOTHING)));
}

TEST_F(Copy, PathsBeyondMaxPathAreCopiedWhole)
{
    std::wstring deep = src.Path();
    std::wstring relative;
    for (int i = 0; deep.size() < 300; ++i) {
        std::wstring part = L"level" + std::to_wstring(i) + L"-" + std::wstring(30, L'x');
        deep += L"\\" + part;
        relative += (relative.empty() ? L"" : L"\\") + part;
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    }
    std::string data = RandomBytes(100000, 9);
    HANDLE h = ::CreateFileW((L"\\\\?\\" + deep + L"\\long.bin").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                             nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD n;
    ::WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
    ::CloseHandle(h);
    ShowBoth();
    std::wstring first = relative.substr(0, relative.find(L'\\'));
    Cursor(first);
    Answers answers({{L"COPY", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
    Run(req::Copy);
    EXPECT_TRUE(answers.Boxes().empty()) << Narrow(answers.Boxes().empty() ? L"" : answers.Boxes()[0]);
    EXPECT_EQ(ReadAll(L"\\\\?\\" + dst.Path() + L"\\" + relative + L"\\long.bin"), data);
    RemoveTree(L"\\\\?\\" + dst.Path() + L"\\" + first);
    RemoveTree(L"\\\\?\\" + src.Path() + L"\\" + first);
}
