// "Zip" and "ZipSelf" through the real panels and dialogs, and self-extractors run under Wine.
#include "archive/ZipCreate.h"
#include "common/Settings.h"
#include "fileops/FileCheck.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include "archive/ZipTools.h"
#include <algorithm>
#include <sstream>

using namespace test;

namespace {
std::string Member(const std::wstring& archive, const std::string& name, const std::string& password = "")
{
    std::string out;
    std::string pass = password.empty() ? "" : "-P " + ShellQuote(password) + " ";
    EXPECT_EQ(RunUnix("unzip -p " + pass + ShellQuote(UnixPath(archive)) + " " + ShellQuote(name), &out), 0) << out;
    return out;
}

Rule SetName(const std::wstring& name, std::wstring* proposed = nullptr)
{
    return Rule{{IDOK}, [=](HWND w) {
                    if (proposed) *proposed = fw::GetText(::GetDlgItem(w, IDC_ZIP_NAME));
                    if (!name.empty()) ::SetDlgItemTextW(w, IDC_ZIP_NAME, name.c_str());
                }};
}

class ZipCommand : public CopyFixture {
protected:
    void MakeTree()
    {
        ASSERT_TRUE(MakeFile(src / L"a.txt", "alpha\n"));
        ASSERT_TRUE(MakeDir(src / L"sub"));
        ASSERT_TRUE(MakeFile(src / L"sub\\b.txt", RandomBytes(70000, 3)));
        ShowBoth();
    }
    void Zip(bool selfExtracting = false)
    {
        ::SendMessageW(Left().Handle(), req::Zip, selfExtracting ? 1 : 0, 0);
        EXPECT_FALSE(main->operation.busy);
        EXPECT_TRUE(::IsWindowEnabled(main->Handle()));
    }
    std::wstring LastPartOfSource() const
    {
        std::wstring name = src.Path().substr(src.Path().find_last_of(L'\\') + 1);
        name = name.substr(0, name.find(L'.'));
        ::CharLowerBuffW(name.data(), static_cast<DWORD>(name.size()));
        return name;
    }
    std::wstring LowerDst() const
    {
        std::wstring d = dst.Path();
        ::CharLowerBuffW(d.data(), static_cast<DWORD>(d.size()));
        return d;
    }
};
}

TEST_F(ZipCommand, PacksTheMarkedRowsWithFolderNames)
{
    MakeTree();
    Mark({L"a.txt", L"sub"});
    bool relativeChecked = false;
    std::wstring proposed;
    Answers answers({{L"ZIPOPTIONS", Rule{{IDOK}, [&](HWND w) {
                          relativeChecked = ::IsDlgButtonChecked(w, IDC_ZIP_MODE1) == BST_CHECKED;
                      }}},
                     {L"ZIPNAME", SetName(L"", &proposed)}});
    Zip();
    EXPECT_TRUE(relativeChecked);
    EXPECT_EQ(proposed, LowerDst() + L"\\" + LastPartOfSource() + L".zip");
    std::wstring archive = dst / (LastPartOfSource() + L".zip");
    EXPECT_EQ(Listed(archive), (std::vector<std::string>{"a.txt", "sub/", "sub/b.txt"}));
    std::string out;
    EXPECT_EQ(RunUnix(Sevenzip() + " t " + ShellQuote(UnixPath(archive)), &out), 0) << out;
    EXPECT_EQ(Member(archive, "sub/b.txt"), RandomBytes(70000, 3));
    EXPECT_TRUE(answers.Boxes().empty());
}

TEST_F(ZipCommand, FilesAloneStartWithoutFolderNames)
{
    MakeTree();
    Cursor(L"a.txt");
    bool bareChecked = false;
    Answers answers({{L"ZIPOPTIONS", Rule{{IDOK}, [&](HWND w) {
                          bareChecked = ::IsDlgButtonChecked(w, IDC_ZIP_MODE0) == BST_CHECKED;
                      }}},
                     {L"ZIPNAME", SetName(dst / L"one.zip")}});
    Zip();
    EXPECT_TRUE(bareChecked);
    EXPECT_EQ(Listed(dst / L"one.zip"), std::vector<std::string>{"a.txt"});
}

TEST_F(ZipCommand, ExistingMembersAskOrAreReplacedSilently)
{
    MakeTree();
    Cursor(L"a.txt");
    std::wstring archive = dst / L"keep.zip";
    {
        Answers answers({{L"ZIPOPTIONS", Rule{{IDOK}}}, {L"ZIPNAME", SetName(archive)}});
        Zip();
    }
    ASSERT_EQ(Member(archive, "a.txt"), "alpha\n");
    ASSERT_TRUE(MakeFile(src / L"a.txt", "alpha two\n"));
    ASSERT_TRUE(MakeFile(src / L"c.txt", "gamma\n"));
    Show(Left(), src.Path());
    Mark({L"a.txt", L"c.txt"});
    {
        // Asked, and kept.
        Answers answers({{L"ZIPOPTIONS", Rule{{IDOK}}}, {L"ZIPNAME", SetName(archive)},
                         {L"OVERWRITE", Rule{{IDC_OVERWRITE_SKIP}}}});
        Zip();
        EXPECT_EQ(answers.Count(L"OVERWRITE"), 1);
    }
    EXPECT_EQ(Member(archive, "a.txt"), "alpha\n");
    EXPECT_EQ(Member(archive, "c.txt"), "gamma\n");
    // With the question switched off: replaced without a word.
    WriteProfileInt(L"Algemeen", L"BevestigingOverwrite", 0);
    {
        Answers answers({{L"ZIPOPTIONS", Rule{{IDOK}}}, {L"ZIPNAME", SetName(archive)}, {L"OVERWRITE", Rule{{IDCANCEL}}}});
        Zip();
        EXPECT_EQ(answers.Count(L"OVERWRITE"), 0);
    }
    EXPECT_EQ(Member(archive, "a.txt"), "alpha two\n");
    EXPECT_EQ(Listed(archive), (std::vector<std::string>{"a.txt", "c.txt"}));
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
}

TEST_F(ZipCommand, PasswordAskedTwiceAndUsed)
{
    MakeTree();
    Cursor(L"a.txt");
    std::wstring archive = dst / L"secret.zip";
    Answers answers({{L"ZIPOPTIONS", Rule{{IDOK}, [](HWND w) { ::CheckDlgButton(w, IDC_ZIP_PASSWORD, BST_CHECKED); }}},
                     {L"ZIPNAME", SetName(archive)},
                     {L"NEWPASSWORD", Rule{{IDOK}, [](HWND w) {
                          ::SetDlgItemTextW(w, IDC_NEWPASSWORD_TEXT, L"geheim");
                          ::SetDlgItemTextW(w, IDC_NEWPASSWORD_AGAIN, L"geheim");
                      }}}});
    Zip();
    std::string out;
    EXPECT_EQ(RunUnix(Sevenzip() + " t -pgeheim " + ShellQuote(UnixPath(archive)), &out), 0) << out;
    EXPECT_EQ(Member(archive, "a.txt", "geheim"), "alpha\n");
    EXPECT_NE(RunUnix(Sevenzip() + " t -pwrong " + ShellQuote(UnixPath(archive)), &out), 0);
}

TEST_F(ZipCommand, ANameWithoutDriveIsRefused)
{
    MakeTree();
    Cursor(L"a.txt");
    Answers answers({{L"ZIPOPTIONS", Rule{{IDOK}}}, {L"ZIPNAME", SetName(L"relative.zip")}, {L"#32770", Rule{{IDOK}}}});
    Zip();
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_NOTONFTP)));
    EXPECT_EQ(FilesIn(dst.Path()), 0);
    EXPECT_EQ(FilesIn(src.Path()), 1);
}

TEST_F(ZipCommand, AnUnreadableFileIsReportedAndTheRestPacked)
{
    MakeTree();
    Mark({L"a.txt", L"sub"});
    HANDLE locked = ::CreateFileW((src / L"a.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    std::wstring archive = dst / L"partial.zip";
    Answers answers({{L"ZIPOPTIONS", Rule{{IDOK}}}, {L"ZIPNAME", SetName(archive)}, {L"#32770", Rule{{IDOK}}}});
    Zip();
    ::CloseHandle(locked);
    ASSERT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(answers.Boxes()[0].rfind(L"Skipping " + (src / L"a.txt") + L": ", 0), 0u) << Narrow(answers.Boxes()[0]);
    EXPECT_EQ(Listed(archive), (std::vector<std::string>{"sub/", "sub/b.txt"}));
}

TEST_F(ZipCommand, SpanningQuestionsGoOnOrCancel)
{
    std::vector<std::pair<std::wstring, UINT>> asked;
    std::vector<int> answers = {IDOK, IDCANCEL, IDOK};
    zipDiskBox = [&](HWND, const std::wstring& text, UINT type) {
        asked.emplace_back(text, type);
        int a = answers.front();
        answers.erase(answers.begin());
        return a;
    };
    EXPECT_TRUE(AskNextDisk(nullptr, 2));
    EXPECT_FALSE(AskNextDisk(nullptr, 3));
    EXPECT_TRUE(AskNextDisk(nullptr, 0));
    zipDiskBox = nullptr;
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].first, fw::LoadStr(IDS_ZIP_DISK1) + L"2" + fw::LoadStr(IDS_ZIP_DISK2));
    EXPECT_EQ(asked[0].second, static_cast<UINT>(MB_OKCANCEL | MB_ICONSTOP));
    EXPECT_EQ(asked[2].first, L"Cannot write to disk. Please insert an empty, writable disk.");
    EXPECT_EQ(asked[2].second, static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
}

namespace {
struct FoundWindow {
    DWORD process;
    HWND found = nullptr;
};

// A top-level dialog or box of another process.
HWND DialogOf(DWORD process)
{
    FoundWindow search{process};
    ::EnumWindows(
        [](HWND w, LPARAM lp) {
            auto* s = reinterpret_cast<FoundWindow*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(w, &owner);
            wchar_t cls[64] = {};
            ::GetClassNameW(w, cls, 64);
            if (owner == s->process && ::IsWindowVisible(w) && std::wstring(cls) == L"#32770") {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring BoxText(HWND box)
{
    std::wstring text;
    for (HWND c = ::GetWindow(box, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        ::GetClassNameW(c, cls, 32);
        if (std::wstring(cls) == L"Static") text += fw::GetText(c);
    }
    return text;
}

// Runs a self-extractor, gives it the target directory and answers its boxes (Yes to go on);
// the texts of the boxes, the last one being the closing report. The exit code in exitCode.
std::vector<std::wstring> RunSelfExtractor(const std::wstring& program, const std::wstring& target, DWORD& exitCode)
{
    std::vector<std::wstring> boxes;
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    std::wstring line = L"\"" + program + L"\"";
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ADD_FAILURE() << "cannot start " << Narrow(program) << ": " << ::GetLastError();
        return boxes;
    }
    HWND handled = nullptr;
    bool ended = PumpUntil(
        [&] {
            if (::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) return true;
            HWND w = DialogOf(pi.dwProcessId);
            if (!w || w == handled) return false;
            handled = w;
            if (HWND edit = ::GetDlgItem(w, IDC_SFX_TARGET)) {
                ::SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
                ::PostMessageW(w, WM_COMMAND, IDOK, 0);
            } else {
                boxes.push_back(BoxText(w));
                ::PostMessageW(w, WM_COMMAND, ::GetDlgItem(w, IDYES) ? IDYES : IDOK, 0);
            }
            return false;
        },
        60000);
    EXPECT_TRUE(ended);
    if (!ended) ::TerminateProcess(pi.hProcess, 99);
    ::GetExitCodeProcess(pi.hProcess, &exitCode);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return boxes;
}

class ZipSelf : public ZipCommand {};
}

TEST_F(ZipSelf, MakesAProgramThatExtractsIntoTheChosenDirectory)
{
    MakeTree();
    ASSERT_TRUE(MakeFile(src / L"Ωmega.txt", "omega\n"));
    Show(Left(), src.Path());
    Mark({L"a.txt", L"sub", L"Ωmega.txt"});
    std::wstring proposed;
    Answers answers({{L"ZIPOPTIONS", Rule{{IDOK}}}, {L"ZIPNAME", SetName(L"", &proposed)}});
    Zip(true);
    EXPECT_EQ(proposed, LowerDst() + L"\\" + LastPartOfSource() + L".exe");
    std::wstring program = dst / (LastPartOfSource() + L".exe");
    ASSERT_TRUE(Exists(program));
    std::string out;
    EXPECT_EQ(RunUnix(Sevenzip() + " t " + ShellQuote(UnixPath(program)), &out), 0) << out;

    TempDir chosen;
    std::wstring target = chosen / L"new dir";
    DWORD code = 99;
    std::vector<std::wstring> boxes = RunSelfExtractor(program, target, code);
    EXPECT_EQ(code, 0u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(target), std::wstring::npos) << Narrow(boxes[0]);
    EXPECT_EQ(ReadAll(target + L"\\a.txt"), "alpha\n");
    EXPECT_EQ(ReadAll(target + L"\\sub\\b.txt"), RandomBytes(70000, 3));
    EXPECT_EQ(ReadAll(target + L"\\Ωmega.txt"), "omega\n");
}

TEST_F(ZipSelf, AHostileArchiveWritesNothingOutsideTheTarget)
{
    TempDir work;
    std::wstring hostile = work / L"hostile.zip";
    std::string script =
        "import zipfile\n"
        "z = zipfile.ZipFile('" + UnixPath(hostile) + "', 'w')\n"
        "z.writestr('good.txt', 'good')\n"
        "z.writestr('../evil.txt', 'evil')\n"
        "z.writestr('sub/../../evil2.txt', 'evil')\n"
        "z.writestr('/abs.txt', 'evil')\n"
        "z.writestr('C:/drive.txt', 'evil')\n"
        "z.close()\n";
    ASSERT_TRUE(MakeFile(work / L"make.py", script));
    std::string out;
    ASSERT_EQ(RunUnix("/usr/bin/python3 " + ShellQuote(UnixPath(work / L"make.py")), &out), 0) << out;
    std::wstring program = work / L"hostile.exe";
    ASSERT_EQ(RunUnix("cat " + ShellQuote(UnixPath(BinDirectory() + L"\\pdsfx32.bin")) + " " +
                          ShellQuote(UnixPath(hostile)) + " > " + ShellQuote(UnixPath(program))),
              0);
    std::wstring target = work / L"target";
    ASSERT_TRUE(MakeDir(target));
    DWORD code = 99;
    std::vector<std::wstring> boxes = RunSelfExtractor(program, target, code);
    EXPECT_EQ(code, 4u); // extracted with problems
    ASSERT_EQ(boxes.size(), 5u); // four refusals and the report
    EXPECT_EQ(boxes[0].rfind(L"Skipping ../evil.txt: ", 0), 0u) << Narrow(boxes[0]);
    EXPECT_EQ(ReadAll(target + L"\\good.txt"), "good");
    EXPECT_EQ(FilesIn(target), 1);
    // The work directory holds only what the test put there.
    EXPECT_EQ(FilesIn(work.Path()), 3);
    EXPECT_FALSE(Exists(L"C:\\drive.txt"));
    EXPECT_FALSE(Exists(L"C:\\abs.txt"));
}

TEST_F(ZipSelf, AProgramWithoutAnArchiveSaysSo)
{
    TempDir work;
    std::wstring program = work / L"empty.exe";
    ASSERT_TRUE(::CopyFileW((BinDirectory() + L"\\pdsfx32.bin").c_str(), program.c_str(), FALSE));
    DWORD code = 99;
    std::vector<std::wstring> boxes = RunSelfExtractor(program, work.Path(), code);
    EXPECT_EQ(code, 2u);
    ASSERT_EQ(boxes.size(), 1u);
}

TEST_F(ZipSelf, TheMenuCommandReachesTheActivePanel)
{
    MakeTree();
    Cursor(L"a.txt");
    ASSERT_TRUE(main->LeftActive());
    std::wstring proposed;
    Answers answers({{L"ZIPOPTIONS", Rule{{IDOK}}}, {L"ZIPNAME", Rule{{IDCANCEL}, [&](HWND w) {
                                                        proposed = fw::GetText(::GetDlgItem(w, IDC_ZIP_NAME));
                                                    }}}});
    ::PostMessageW(main->Handle(), WM_COMMAND, IDM_ZIPSELF, 0);
    EXPECT_TRUE(PumpUntil([&] { return answers.Count(L"ZIPNAME") == 1 && !main->operation.busy; }));
    EXPECT_EQ(proposed, LowerDst() + L"\\" + LastPartOfSource() + L".exe");
    EXPECT_EQ(FilesIn(dst.Path()), 0);
}
