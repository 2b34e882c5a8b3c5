// An FTP server in a panel, through the real sites dialog, against pyftpdlib and a scripted server:
// connect, list, move about, copy both ways, move, delete, make directory, rename, stop, drops.
#include <winsock2.h>
#include "common/Settings.h"
#include "fileops/FileCheck.h"
#include "framework/Resources.h"
#include "common/FtpConnection.h"
#include "ftp/FtpEngine.h"
#include "ftp/FtpTestSupport.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include "tools/textedit/TextEditDialog.h"
#include <algorithm>
#include <atomic>

using namespace test;

namespace {

const std::wstring Greek = L"\u0392\u03ae\u03c4\u03b1.txt";
const std::wstring Naive = L"na\u00efve \u00fcn\u00efcode.txt";
// Binary by extension: ".txt" goes as ASCII, which rightly changes line ends.
const std::wstring GreekData = L"\u0392\u03ae\u03c4\u03b1.dat";

bool SameBytes(const std::wstring& a, const std::wstring& b)
{
    std::string x = test::ReadAll(a), y = test::ReadAll(b);
    return x != "<missing>" && x == y;
}

class FtpPanel : public CopyFixture {
protected:
    void Prepare() override
    {
        auto info = ftptest::ServerInfo("pyftpd");
        ASSERT_FALSE(info.empty()) << "no pyftpdlib details: run scripts/ftp-servers.sh start";
        port = ftptest::Widen(info["port"]);
        user = ftptest::Widen(info["user"]);
        password = ftptest::Widen(info["password"]);
        // Each test works in a directory of its own on the server.
        static std::atomic<int> counter{0};
        // Wine hands out the same small process ids run after run: a name left by an earlier run is passed by.
        for (;;) {
            dirName = L"panel" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(counter++);
            serverDir = ftptest::WinePath(info["home"]) + L"\\" + dirName;
            if (MakeDir(serverDir)) break;
            ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << Narrow(serverDir);
        }
        WriteProfileInt(L"FTP", L"Encrypted", 1);
        WriteProfileInt(L"FTP", L"DirUpd", 1);
        WriteProfileString(L"FTP", L"LogFile", log.Path() + L"\\PDFTPLOG.TXT");
        FtpSiteRecord site;
        site.host = L"127.0.0.1 (pyftpdlib here)";
        site.port = port;
        site.user = user;
        site.password = password;
        site.initialDir = L"/" + dirName;
        site.passive = true;
        WriteFtpSite(L"Local", site);
    }
    void TearDown() override
    {
        CopyFixture::TearDown();
        test::RemoveTree(serverDir);
    }
    std::wstring Server(const std::wstring& name) const { return serverDir + L"\\" + name; }

    // Connects through "FTPSITES" (the named site selected) and answers "Connected".
    void Connect(const std::wstring& site = L"Local")
    {
        Answers answers({{L"FTPSITES", Rule{{IDC_FTP_CONNECT}, [site](HWND wnd) {
                              HWND list = ::GetDlgItem(wnd, IDC_FTP_SITELIST);
                              int i = static_cast<int>(::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                                      reinterpret_cast<LPARAM>(site.c_str())));
                              ::SendMessageW(list, LB_SETCURSEL, i, 0);
                              ::SendMessageW(wnd, WM_COMMAND, MAKEWPARAM(IDC_FTP_SITELIST, LBN_SELCHANGE),
                                             reinterpret_cast<LPARAM>(list));
                          }}},
                         {L"#32770", Rule{{IDOK}}}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSITES, 0);
        ASSERT_TRUE(FtpState().ftpConnected) << Narrow(answers.Boxes().empty() ? L"" : answers.Boxes().back());
        EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_FTP_CONNECTED)));
    }
    // Chooses "[FTP] site" in the right drive box and waits for the listing.
    void ShowFtpRight()
    {
        CDriveCombo& box = main->Side(false).driveBox;
        box.BuildDriveList();
        fw::CComboBox combo = box.Box();
        int ftp = -1;
        for (int i = 0; i < combo.GetCount(); ++i)
            if (combo.GetItemText(i) == L"[FTP] " + FtpState().connectedSite) ftp = i;
        ASSERT_GE(ftp, 0) << "no FTP entry in the drive box";
        int before = Right().updates;
        combo.SetCurSel(ftp);
        box.OnDriveSelected();
        ASSERT_TRUE(PumpUntil([&] { return Right().updates > before; }, 10000));
        EXPECT_EQ(Right().drive, L"FTP");
    }
    void Disconnect()
    {
        Answers answers({{L"FTPSITES", Rule{{IDC_FTP_DISCONNECT}}}, {L"#32770", Rule{{IDOK}}}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSITES, 0);
        EXPECT_FALSE(FtpState().ftpConnected);
        EXPECT_TRUE(FtpState().connectedSite.empty());
    }
    void RightRequest(UINT request)
    {
        ::SendMessageW(Right().Handle(), request, 0, 0);
        EXPECT_FALSE(main->operation.busy);
    }
    void RightCursor(const std::wstring& name)
    {
        int row = RowOf(Right(), name);
        ASSERT_GE(row, 0) << Narrow(name);
        Right().List().SetItemState(-1, 0, LVIS_SELECTED);
        Right().List().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    void Refresh(CFileList& panel)
    {
        panel.OnUpdate();
    }

    std::wstring port, user, password, dirName, serverDir;
    TempDir log;
};
}

TEST_F(FtpPanel, ConnectListEnterLeaveAndDisconnect)
{
    std::string big = RandomBytes(70000, 3);
    ASSERT_TRUE(MakeFile(Server(L"hello.txt"), "hello\n"));
    ASSERT_TRUE(MakeFile(Server(Greek), "beta"));
    ASSERT_TRUE(MakeFile(Server(Naive), big));
    ASSERT_TRUE(MakeDir(Server(L"sub")));
    ASSERT_TRUE(MakeFile(Server(L"sub\\inner.bin"), "inner"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    EXPECT_EQ(FtpState().connectedSite, L"Local");
    EXPECT_TRUE(FtpState().utf8);
    ASSERT_NO_FATAL_FAILURE(ShowFtpRight());
    EXPECT_EQ(Right().path, L"\\" + dirName);
    std::vector<std::wstring> names = RowNames(Right());
    ASSERT_EQ(names.size(), 5u);
    EXPECT_EQ(names[0], L"..");
    EXPECT_EQ(names[1], L"sub");
    int row = RowOf(Right(), Naive);
    ASSERT_GE(row, 0);
    EXPECT_EQ(Right().Entry(row)->Size(), 70000u);
    EXPECT_EQ(Right().Entry(RowOf(Right(), L"sub"))->kind, EntryDirectory);
    EXPECT_GE(RowOf(Right(), Greek), 0);
    EXPECT_NE(Right().Entry(RowOf(Right(), L"hello.txt"))->lastWrite, 0u);
    // The drive box names the site; the information line the connection.
    EXPECT_EQ(main->Side(false).driveBox.Box().GetItemText(main->Side(false).driveBox.Box().GetCurSel()), L"[FTP] Local");

    ASSERT_NO_FATAL_FAILURE(RightCursor(L"sub"));
    Right().OpenCurrentEntry();
    EXPECT_EQ(Right().path, L"\\" + dirName + L"\\sub");
    EXPECT_EQ(RowNames(Right()), (std::vector<std::wstring>{L"..", L"inner.bin"}));
    ASSERT_NO_FATAL_FAILURE(RightCursor(L".."));
    Right().OpenCurrentEntry();
    EXPECT_EQ(Right().path, L"\\" + dirName);
    // Ctrl+\ goes to the server's root.
    Right().JumpToRoot();
    EXPECT_EQ(Right().path, L"\\");
    EXPECT_GE(RowOf(Right(), dirName), 0);
    // A refused change of directory leaves the panel where it was, with the server's reply shown.
    {
        Answers answers({{L"#32770", Rule{{IDOK}}}});
        EXPECT_FALSE(Right().FtpChangeTo(L"/no such dir", true));
        EXPECT_EQ(answers.Boxes().size(), 1u);
    }
    EXPECT_TRUE(Right().FtpChangeTo(L"/" + dirName + L"/sub", true));
    EXPECT_EQ(Right().path, L"\\" + dirName + L"\\sub");

    // Connecting anew while a panel shows the server is refused, and the connection stays.
    {
        // The refusal leaves the dialog open: OK closes it once the box is answered.
        static HWND sites;
        Answers answers({{L"FTPSITES", Rule{{IDC_FTP_CONNECT}, [](HWND w) { sites = w; }}},
                         {L"#32770", Rule{{IDOK}, [](HWND) { ::PostMessageW(sites, WM_COMMAND, IDOK, 0); }}}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSITES, 0);
        EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_FTP_PANELSHOWS)));
        EXPECT_TRUE(FtpState().ftpConnected);
    }
    Disconnect();
    ASSERT_TRUE(PumpUntil([&] { return Right().drive != L"FTP"; }, 5000));
    // The transcript holds the session.
    std::string transcript = test::ReadAll(log.Path() + L"\\PDFTPLOG.TXT");
    EXPECT_NE(transcript.find("LIST"), std::string::npos);
    EXPECT_NE(transcript.find("CWD"), std::string::npos);
}

TEST_F(FtpPanel, CopyFilesAndTreesUpAndDownByteForByte)
{
    std::string data = RandomBytes(300000, 7);
    ASSERT_TRUE(MakeFile(src / L"data.bin", data));
    ASSERT_TRUE(MakeFile(src / GreekData, "\xce\xb2 text\r\n"));
    ASSERT_TRUE(MakeDir(src / L"tree"));
    ASSERT_TRUE(MakeDir(src / L"tree\\deeper"));
    ASSERT_TRUE(MakeFile(src / L"tree\\deeper\\leaf.bin", RandomBytes(5000, 9)));
    ASSERT_TRUE(MakeFile(src / (L"tree\\" + Naive), "n"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_NO_FATAL_FAILURE(ShowFtpRight());
    Show(Left(), src.Path());
    Mark({L"data.bin", GreekData, L"tree"});
    {
        Answers answers({{L"COPY", Rule{{IDOK}}}});
        Run(req::Copy);
        EXPECT_EQ(answers.Count(L"COPY"), 1);
        EXPECT_TRUE(answers.Boxes().empty()) << Narrow(answers.Boxes()[0]);
    }
    EXPECT_TRUE(SameBytes(src / L"data.bin", Server(L"data.bin")));
    EXPECT_TRUE(SameBytes(src / GreekData, Server(GreekData)));
    EXPECT_TRUE(SameBytes(src / L"tree\\deeper\\leaf.bin", Server(L"tree\\deeper\\leaf.bin")));
    EXPECT_TRUE(SameBytes(src / (L"tree\\" + Naive), Server(L"tree\\" + Naive)));
    // The server's directory is where it was, and the panel shows the new entries.
    ASSERT_TRUE(PumpUntil([&] { return RowOf(Right(), L"data.bin") >= 0; }, 5000));
    EXPECT_EQ(Right().path, L"\\" + dirName);

    // Down again into an empty local directory: files only; the directory is refused once.
    Show(Left(), dst.Path());
    Refresh(Right());
    for (const std::wstring& name : {std::wstring(L"data.bin"), GreekData, std::wstring(L"tree")})
        Right().List().SetItemState(RowOf(Right(), name), LVIS_SELECTED, LVIS_SELECTED);
    {
        Answers answers({{L"COPY", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
        RightRequest(req::Copy);
        EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_FTP_NODIRCOPY)));
    }
    EXPECT_TRUE(SameBytes(src / L"data.bin", dst / L"data.bin"));
    EXPECT_TRUE(SameBytes(src / GreekData, dst / GreekData));
    EXPECT_FALSE(Exists(dst / L"tree"));
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
}

TEST_F(FtpPanel, MoveDeleteMakeDirectoryAndRename)
{
    ASSERT_TRUE(MakeFile(src / L"up.txt", "up"));
    ASSERT_TRUE(MakeFile(Server(L"down.txt"), "down"));
    ASSERT_TRUE(MakeFile(Server(L"gone.txt"), "x"));
    ASSERT_TRUE(MakeDir(Server(L"emptydir")));
    ASSERT_TRUE(MakeDir(Server(L"full")));
    ASSERT_TRUE(MakeFile(Server(L"full\\keep.txt"), "k"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_NO_FATAL_FAILURE(ShowFtpRight());
    Show(Left(), src.Path());
    ASSERT_NO_FATAL_FAILURE(Cursor(L"up.txt"));
    {
        Answers answers({{L"RENMOVE", Rule{{IDOK}}}});
        Run(req::RenMove);
    }
    EXPECT_FALSE(Exists(src / L"up.txt"));
    EXPECT_EQ(test::ReadAll(Server(L"up.txt")), "up");

    ASSERT_NO_FATAL_FAILURE(RightCursor(L"down.txt"));
    {
        Answers answers({{L"RENMOVE", Rule{{IDOK}}}});
        RightRequest(req::RenMove);
    }
    EXPECT_EQ(test::ReadAll(src / L"down.txt"), "down");
    EXPECT_FALSE(Exists(Server(L"down.txt")));

    // Delete: a file, an empty directory, and a full one that the server refuses (the rest goes on).
    Refresh(Right());
    for (std::wstring name : {L"gone.txt", L"emptydir", L"full"})
        Right().List().SetItemState(RowOf(Right(), name), LVIS_SELECTED, LVIS_SELECTED);
    {
        Answers answers({{L"#32770", Rule{{IDYES, IDOK}}}});
        RightRequest(req::Delete);
        EXPECT_EQ(answers.Boxes().size(), 2u);
    }
    EXPECT_FALSE(Exists(Server(L"gone.txt")));
    EXPECT_FALSE(Exists(Server(L"emptydir")));
    EXPECT_TRUE(Exists(Server(L"full\\keep.txt")));
    EXPECT_LT(RowOf(Right(), L"gone.txt"), 0);

    {
        Answers answers({{L"NEWDIR", Rule{{IDOK}, [](HWND w) { ::SetDlgItemTextW(w, IDC_TEXT_FIELD, L"made \u00e9"); }}}});
        RightRequest(req::MkDir);
    }
    EXPECT_TRUE(::GetFileAttributesW(Server(L"made \u00e9").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_NE(::GetFileAttributesW(Server(L"made \u00e9").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_GE(RowOf(Right(), L"made \u00e9"), 0);

    // Rename in place through the move dialog.
    ASSERT_NO_FATAL_FAILURE(RightCursor(L"up.txt"));
    {
        Answers answers({{L"RENMOVE", Rule{{IDOK}, [](HWND w) { ::SetDlgItemTextW(w, IDC_COPY_TARGET, L"renamed.txt"); }}}});
        RightRequest(req::RenMove);
    }
    EXPECT_EQ(test::ReadAll(Server(L"renamed.txt")), "up");
    EXPECT_FALSE(Exists(Server(L"up.txt")));
    EXPECT_GE(RowOf(Right(), L"renamed.txt"), 0);
}

// The dialog is answered before it first shows: its controls' own style says what it will show.
bool Visible(HWND control) { return (::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0; }

TEST_F(FtpPanel, TheCopyDialogOffersTheTransferTypeForThatOperationOnly)
{
    ASSERT_TRUE(MakeFile(Server(L"unix.txt"), "one\ntwo\n"));
    ASSERT_TRUE(MakeFile(src / L"local.txt", "local\n"));
    WriteProfileInt(L"FTP", L"XferType", 1);
    // Between two local panels there is no transfer type to choose.
    Show(Left(), src.Path());
    Show(Right(), dst.Path());
    ASSERT_NO_FATAL_FAILURE(Cursor(L"local.txt"));
    bool shownLocally = true;
    {
        Answers answers({{L"COPY", Rule{{IDOK}, [&](HWND w) {
                              shownLocally = Visible(::GetDlgItem(w, IDC_COPY_XFERTYPE));
                          }}}});
        Run(req::Copy);
        EXPECT_EQ(answers.Count(L"COPY"), 1);
    }
    EXPECT_FALSE(shownLocally);
    EXPECT_EQ(test::ReadAll(dst / L"local.txt"), "local\n");

    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_NO_FATAL_FAILURE(ShowFtpRight());
    Show(Left(), dst.Path());
    ASSERT_NO_FATAL_FAILURE(RightCursor(L"unix.txt"));
    LRESULT count = 0, selected = -1;
    bool shown = false;
    {
        // ASCII for this copy: the server's line ends become CR LF.
        Answers answers({{L"COPY", Rule{{IDOK}, [&](HWND w) {
                              HWND types = ::GetDlgItem(w, IDC_COPY_XFERTYPE);
                              shown = Visible(types);
                              count = ::SendMessageW(types, CB_GETCOUNT, 0, 0);
                              selected = ::SendMessageW(types, CB_GETCURSEL, 0, 0);
                              ::SendMessageW(types, CB_SETCURSEL, 1, 0);
                          }}}});
        RightRequest(req::Copy);
        EXPECT_TRUE(answers.Boxes().empty()) << Narrow(answers.Boxes()[0]);
    }
    EXPECT_TRUE(shown);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(test::ReadAll(dst / L"unix.txt"), "one\r\ntwo\r\n");
    EXPECT_EQ(GetProfileInt(L"FTP", L"XferType", 4), 1);
    // The stored type again: binary, bytes as they are.
    {
        Answers answers({{L"COPY", Rule{{IDOK}}}, {L"OVERWRITE", Rule{{IDOK}}}});
        RightRequest(req::Copy);
        EXPECT_EQ(answers.Count(L"OVERWRITE"), 1);
    }
    EXPECT_EQ(test::ReadAll(dst / L"unix.txt"), "one\ntwo\n");
}

TEST_F(FtpPanel, ATypedTargetGetsItsMissingDirectoriesMade)
{
    ASSERT_TRUE(MakeFile(src / L"one.txt", "one"));
    ASSERT_TRUE(MakeFile(src / L"two.txt", "two"));
    ASSERT_TRUE(MakeFile(Server(L"blocker"), "a file where a directory is wanted"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_NO_FATAL_FAILURE(ShowFtpRight());
    Show(Left(), src.Path());
    auto typed = [](const std::wstring& target) {
        return Rule{{IDOK}, [target](HWND w) { ::SetDlgItemTextW(w, IDC_COPY_TARGET, target.c_str()); }};
    };
    // Two levels below the panel's directory, named relative to it.
    Mark({L"one.txt", L"two.txt"});
    {
        Answers answers({{L"COPY", typed(L"new\\deeper\\")}});
        Run(req::Copy);
        EXPECT_TRUE(answers.Boxes().empty()) << Narrow(answers.Boxes()[0]);
    }
    EXPECT_EQ(test::ReadAll(Server(L"new\\deeper\\one.txt")), "one");
    EXPECT_EQ(test::ReadAll(Server(L"new\\deeper\\two.txt")), "two");
    // One file to a new name under an absolute path written with the server's slashes.
    ASSERT_NO_FATAL_FAILURE(Cursor(L"one.txt"));
    {
        Answers answers({{L"COPY", typed(L"/" + dirName + L"/abs/level/renamed.txt")}});
        Run(req::Copy);
        EXPECT_TRUE(answers.Boxes().empty()) << Narrow(answers.Boxes()[0]);
    }
    EXPECT_EQ(test::ReadAll(Server(L"abs\\level\\renamed.txt")), "one");
    EXPECT_EQ(Right().path, L"\\" + dirName);
    // A level that cannot be made: one message for the last level, nothing sent.
    ASSERT_NO_FATAL_FAILURE(Cursor(L"two.txt"));
    {
        Answers answers({{L"COPY", typed(L"blocker\\sub\\")}, {L"#32770", Rule{{IDOK}}}});
        Run(req::Copy);
        EXPECT_EQ(answers.Boxes().size(), 1u);
    }
    EXPECT_EQ(test::ReadAll(Server(L"blocker")), "a file where a directory is wanted");
    EXPECT_TRUE(Exists(src / L"two.txt"));
    std::wstring now;
    ASSERT_EQ(FtpPanelCurrentDir(now), 0);
    EXPECT_EQ(now, L"\\" + dirName);
}

TEST_F(FtpPanel, StoppedOrRefusedDownloadsLeaveTheLocalFileIntact)
{
    // Paced at about 1.6 MB/s, 6 MB take long enough to be stopped.
    ASSERT_TRUE(MakeFile(Server(L"big.bin"), RandomBytes(6 * 1024 * 1024, 5)));
    ASSERT_TRUE(MakeFile(Server(L"locked.bin"), "secret"));
    ASSERT_TRUE(MakeFile(dst / L"big.bin", "old contents"));
    ASSERT_TRUE(MakeFile(dst / L"locked.bin", "local stays"));
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_NO_FATAL_FAILURE(ShowFtpRight());
    Show(Left(), dst.Path());
    ASSERT_NO_FATAL_FAILURE(RightCursor(L"big.bin"));
    {
        // The stop button of the status window, pressed once the transfer runs.
        static CFileList* panel;
        panel = &Right();
        auto stopSoon = [](HWND) {
            ::SetTimer(nullptr, 0, 700, [](HWND, UINT, UINT_PTR id, DWORD) {
                ::KillTimer(nullptr, id);
                HWND status = ::FindWindowW(nullptr, L"Copying");
                if (status) ::PostMessageW(status, WM_COMMAND, IDCANCEL, 0);
                else panel->Context().operation->cancelRequested = true;
            });
        };
        Answers answers({{L"COPY", Rule{{IDOK}}}, {L"OVERWRITE", Rule{{IDOK}, stopSoon}}, {L"#32770", Rule{{IDOK}}}});
        RightRequest(req::Copy);
        EXPECT_EQ(answers.Count(L"OVERWRITE"), 1);
        EXPECT_EQ(answers.Boxes().size(), 1u);
    }
    EXPECT_EQ(test::ReadAll(dst / L"big.bin"), "old contents");
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
    // The connection is still usable. A file gone from the server since the listing is refused by it.
    ASSERT_NO_FATAL_FAILURE(RightCursor(L"locked.bin"));
    ASSERT_TRUE(::DeleteFileW(Server(L"locked.bin").c_str()));
    {
        Answers answers({{L"COPY", Rule{{IDOK}}}, {L"OVERWRITE", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
        RightRequest(req::Copy);
        EXPECT_EQ(answers.Boxes().size(), 1u);
    }
    EXPECT_EQ(test::ReadAll(dst / L"locked.bin"), "local stays");
    EXPECT_TRUE(TemporaryFiles(dst.Path()).empty());
}

TEST_F(FtpPanel, KeepAliveTimerRunsOnlyWhenTheSiteAsksForIt)
{
    ASSERT_NO_FATAL_FAILURE(Connect());
    EXPECT_FALSE(::KillTimer(main->Handle(), FtpKeepAliveTimer));
    Disconnect();
    FtpSiteRecord site;
    ASSERT_TRUE(ReadFtpSite(L"Local", site));
    site.keepAlive = true;
    WriteFtpSite(L"Local", site);
    ASSERT_NO_FATAL_FAILURE(Connect());
    // The timer's round: the directory is asked for and listed; the timer is set again.
    ::SendMessageW(main->Handle(), WM_TIMER, FtpKeepAliveTimer, 0);
    std::string transcript = test::ReadAll(log.Path() + L"\\PDFTPLOG.TXT");
    EXPECT_NE(transcript.find("LIST"), std::string::npos);
    EXPECT_TRUE(FtpState().ftpConnected);
    EXPECT_TRUE(::KillTimer(main->Handle(), FtpKeepAliveTimer));
}

TEST_F(FtpPanel, AnonymousSignOnSendsTheEmailOption)
{
    WriteProfileString(L"FTP", L"Email", L"pd-test@example.org");
    FtpSiteRecord site;
    site.host = L"127.0.0.1";
    site.port = port;
    site.anonymous = true;
    site.user = L"ignored";
    site.password = L"ignored";
    WriteFtpSite(L"Anon", site);
    ASSERT_NO_FATAL_FAILURE(Connect(L"Anon"));
    ASSERT_NO_FATAL_FAILURE(ShowFtpRight());
    EXPECT_GE(RowOf(Right(), L"welcome.txt"), 0);
    std::string transcript = test::ReadAll(log.Path() + L"\\PDFTPLOG.TXT");
    EXPECT_NE(transcript.find("USER anonymous"), std::string::npos);
}

TEST_F(FtpPanel, ViewFetchesAfterTheQuestionAndUnsafeNamesAreRefused)
{
    ASSERT_TRUE(MakeFile(Server(L"view me.txt"), "content to view\n"));
    ASSERT_TRUE(RunShell("printf device > " + ShellQuote(UnixPath(serverDir) + "/CON")));
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_NO_FATAL_FAILURE(ShowFtpRight());
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    std::wstring fetched = std::wstring(temp) + L"view me.txt";
    ::DeleteFileW(fetched.c_str());
    ASSERT_NO_FATAL_FAILURE(RightCursor(L"view me.txt"));
    {
        Answers answers({{L"#32770", Rule{{IDNO}}}});
        Right().ViewOrEditCurrent(false);
        ASSERT_EQ(answers.Boxes().size(), 1u);
        EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_FTP_CONFIRMFETCH)));
    }
    EXPECT_FALSE(Exists(fetched));
    size_t windows = te::CTextEditDialog::OpenWindows().size();
    {
        Answers answers({{L"#32770", Rule{{IDYES}}}});
        Right().ViewOrEditCurrent(false);
    }
    // ".txt" is on the ASCII list: the server's line ends arrive as CR LF.
    EXPECT_EQ(test::ReadAll(fetched), "content to view\r\n");
    ASSERT_TRUE(PumpUntil([&] { return te::CTextEditDialog::OpenWindows().size() > windows; }, 5000));
    for (te::CTextEditDialog* w : std::vector<te::CTextEditDialog*>(te::CTextEditDialog::OpenWindows()))
        ::DestroyWindow(w->Handle());
    ::DeleteFileW(fetched.c_str());

    // A server's name that is a device here is refused by name; nothing is written.
    Show(Left(), dst.Path());
    ASSERT_NO_FATAL_FAILURE(RightCursor(L"CON"));
    {
        Answers answers({{L"COPY", Rule{{IDOK}}}, {L"#32770", Rule{{IDOK}}}});
        RightRequest(req::Copy);
        EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_FTP_UNSAFENAME) + L"CON"));
    }
    EXPECT_EQ(test::FilesIn(dst.Path()), 0);
}

TEST_F(FtpPanel, ActiveModeTransfersAndTheSettingsDialog)
{
    FtpSiteRecord site;
    ASSERT_TRUE(ReadFtpSite(L"Local", site));
    site.passive = false;
    WriteFtpSite(L"Local", site);
    ASSERT_TRUE(MakeFile(Server(L"active.bin"), RandomBytes(100000, 11)));
    ASSERT_NO_FATAL_FAILURE(Connect());
    ASSERT_NO_FATAL_FAILURE(ShowFtpRight());
    EXPECT_GE(RowOf(Right(), L"active.bin"), 0);
    Show(Left(), dst.Path());
    ASSERT_NO_FATAL_FAILURE(RightCursor(L"active.bin"));
    {
        Answers answers({{L"COPY", Rule{{IDOK}}}});
        RightRequest(req::Copy);
    }
    EXPECT_TRUE(SameBytes(Server(L"active.bin"), dst / L"active.bin"));
    std::string transcript = test::ReadAll(log.Path() + L"\\PDFTPLOG.TXT");
    // Active mode: EPRT, since the server understands it.
    EXPECT_NE(transcript.find("EPRT |1|"), std::string::npos);

    // The options: defaults of the extension list, a repeated extension refused, pacing stored.
    {
        Answers answers({{L"FTPSETTINGS", Rule{{IDOK}, [](HWND w) {
                              ::CheckDlgButton(w, IDC_FTPS_PACING, BST_UNCHECKED);
                              ::SetDlgItemTextW(w, IDC_FTPS_EXTEDIT, L".txt");
                              ::SendMessageW(w, WM_COMMAND, IDC_FTPS_ADD, 0);
                              ::SetDlgItemTextW(w, IDC_FTPS_EXTEDIT, L".c");
                              ::SendMessageW(w, WM_COMMAND, IDC_FTPS_ADD, 0);
                          }}},
                         {L"#32770", Rule{{IDOK}}}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSETTINGS, 0);
        EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_FTP_EXISTS)));
    }
    EXPECT_EQ(GetProfileInt(L"FTP", L"Pacing", 1), 0);
    std::vector<std::wstring> extensions = FtpAsciiExtensions(false);
    std::sort(extensions.begin(), extensions.end());
    EXPECT_EQ(extensions, (std::vector<std::wstring>{L".ASC", L".HTM", L".HTML", L".TXT", L".c"}));
}

// A scripted server: odd listings and a connection dropped in the middle of one.
class FtpPanelScripted : public CopyFixture {};

TEST_F(FtpPanelScripted, VmsAndDosListingsAndADroppedConnection)
{
    std::atomic<int> mode{0};
    ftptest::ScriptServer server("220 scripted", [&](ftptest::ScriptServer& s, const std::string& line) {
        if (line.rfind("USER", 0) == 0) s.Reply("331 password");
        else if (line.rfind("PASS", 0) == 0) s.Reply("230 in");
        else if (line.rfind("SYST", 0) == 0) s.Reply(mode == 1 ? "215 VMS system" : "215 Windows_NT");
        else if (line.rfind("PWD", 0) == 0) s.Reply(mode == 1 ? "257 \"DISK$USER:[HOME]\" is current" : "257 \"/\"");
        else if (line.rfind("CWD", 0) == 0) s.Reply("250 ok");
        else if (line.rfind("PASV", 0) == 0) s.Reply(s.Passive());
        else if (line.rfind("TYPE", 0) == 0) s.Reply("200 ok");
        else if (line.rfind("LIST", 0) == 0) {
            if (mode == 2) {
                s.AcceptData();
                s.Reply("150 here it comes");
                s.SendData("01-05-04  09:45PM       <DIR>          Sub\r\n");
                s.CloseData();
                s.CloseControl();
                return;
            }
            std::string listing = mode == 1 ? "Directory DISK$USER:[HOME]\r\n\r\n"
                                              "README.TXT;3         2   5-JAN-2004 09:45:12  [G,O]  (RWED,RWED,RE,)\r\n"
                                              "SUBDIR.DIR;1\r\n        1/3  12-MAR-1999 18:01  [G,O]  (RWE,RWE,RE,RE)\r\n"
                                              "\r\nTotal of 2 files.\r\n"
                                            : "01-05-04  09:45PM       <DIR>          Sub\r\n"
                                              "12-31-99  12:10AM             6442450944 huge.iso\r\n";
            s.AcceptData();
            s.SendTransfer(listing);
        } else if (line.rfind("QUIT", 0) == 0) {
            s.Reply("221 bye");
            s.CloseControl();
        } else s.Reply("502 no");
    });
    FtpSiteRecord site;
    site.host = L"127.0.0.1";
    site.port = ftptest::Widen(server.PortText());
    site.user = L"u";
    site.password = L"p";
    site.passive = true;
    WriteProfileInt(L"FTP", L"Encrypted", 1);
    WriteProfileInt(L"FTP", L"Logging", 0);
    WriteFtpSite(L"Scripted", site);
    auto connect = [&] {
        Answers answers({{L"FTPSITES", Rule{{IDC_FTP_CONNECT}}}, {L"#32770", Rule{{IDOK}}}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSITES, 0);
    };
    auto showRight = [&] {
        CDriveCombo& box = main->Side(false).driveBox;
        box.BuildDriveList();
        box.Box().SetCurSel(box.Box().GetCount() - 1);
        box.OnDriveSelected();
        int before = Right().updates;
        PumpUntil([&] { return Right().updates > before; }, 5000);
    };
    // MS-DOS style, with a size over 4 GB.
    connect();
    ASSERT_TRUE(FtpState().ftpConnected);
    showRight();
    Right().OnUpdate();
    ASSERT_GE(RowOf(Right(), L"huge.iso"), 0);
    EXPECT_EQ(Right().Entry(RowOf(Right(), L"huge.iso"))->Size(), 6442450944ULL);
    auto pathLine = [&] { return fw::GetText(main->Side(false).pathLine.Handle()); };
    auto showsVersionMask = [&] {
        std::wstring text = pathLine();
        return text.size() >= 5 && text.compare(text.size() - 5, 5, L"*.*;*") == 0;
    };
    ASSERT_TRUE(PumpUntil([&] { return !pathLine().empty() && pathLine()[0] == L'\\'; }, 5000)) << Narrow(pathLine());
    EXPECT_FALSE(showsVersionMask()) << Narrow(pathLine());
    EXPECT_EQ(Right().Entry(RowOf(Right(), L"Sub"))->kind, EntryDirectory);

    // Dropped in the middle of a listing: ".." only, a message, not connected, and usable.
    mode = 2;
    {
        Answers answers({{L"#32770", Rule{{IDOK}}}});
        Right().OnUpdate();
        EXPECT_GE(answers.Boxes().size(), 1u);
    }
    EXPECT_EQ(RowNames(Right()), (std::vector<std::wstring>{L".."}));
    EXPECT_FALSE(FtpState().ftpConnected);

    // Connecting again works: now a VMS server with a wrapped entry.
    mode = 1;
    connect();
    ASSERT_TRUE(FtpState().ftpConnected);
    EXPECT_EQ(FtpState().serverSystem, FtpSystemVms);
    Right().SetDirectory(L"FTP", L"FTP");
    Right().OnUpdate();
    ASSERT_GE(RowOf(Right(), L"README.TXT;3"), 0);
    EXPECT_EQ(Right().Entry(RowOf(Right(), L"README.TXT;3"))->Size(), 1024u);
    ASSERT_GE(RowOf(Right(), L"SUBDIR.DIR;1"), 0);
    EXPECT_EQ(Right().Entry(RowOf(Right(), L"SUBDIR.DIR;1"))->kind, EntryDirectory);
    // Its names carry versions: the path line's mask says so once the drive box shows the server.
    showRight();
    EXPECT_TRUE(PumpUntil(showsVersionMask, 5000)) << Narrow(pathLine());
    ASSERT_GE(RowOf(Right(), L"SUBDIR.DIR;1"), 0);
    // Entering a VMS directory asks for "[.SUBDIR]".
    Right().List().SetItemState(RowOf(Right(), L"SUBDIR.DIR;1"), LVIS_FOCUSED, LVIS_FOCUSED);
    Right().OpenCurrentEntry();
    bool sawVmsCwd = false;
    for (const std::string& c : server.Commands()) sawVmsCwd |= c == "CWD [.SUBDIR]";
    EXPECT_TRUE(sawVmsCwd);
}

TEST_F(FtpPanelScripted, FirewallKindsThroughTheSitesDialog)
{
    ftptest::ScriptServer server("220 firewall", ftptest::ScriptServer::Answers({{"USER", "331 password"},
                                                                                 {"PASS", "230 in"},
                                                                                 {"SITE", "220 connected"},
                                                                                 {"OPEN", "220 connected"},
                                                                                 {"SYST", "215 UNIX Type: L8"},
                                                                                 {"FEAT", "502 no"},
                                                                                 {"PWD", "257 \"/\""},
                                                                                 {"QUIT", "221 bye"}}));
    WriteProfileInt(L"FTP", L"Encrypted", 1);
    WriteProfileInt(L"FTP", L"Logging", 0);
    FtpSiteRecord site;
    site.host = L"real.host.example";
    site.user = L"u";
    site.password = L"p";
    site.firewall = true;
    site.firewallHost = L"127.0.0.1";
    site.firewallPort = ftptest::Widen(server.PortText());
    site.firewallUser = L"fwuser";
    site.firewallPassword = L"fwpass";
    site.firewallKind = 1;
    WriteFtpSite(L"Walled", site);
    // Kind 1 as stored, then kind 2 chosen in the dialog.
    for (int kind : {1, 2}) {
        Answers answers({{L"FTPSITES", Rule{{IDC_FTP_CONNECT}, [kind](HWND w) {
                              EXPECT_TRUE(::IsDlgButtonChecked(w, IDC_FTP_FWKIND1));
                              EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(w, IDC_FTP_FWHOST)));
                              if (kind == 2) {
                                  ::CheckDlgButton(w, IDC_FTP_FWKIND1, BST_UNCHECKED);
                                  ::CheckDlgButton(w, IDC_FTP_FWKIND2, BST_CHECKED);
                              }
                          }}},
                         {L"#32770", Rule{{IDOK}}}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSITES, 0);
        ASSERT_TRUE(FtpState().ftpConnected) << kind;
        FtpSiteRecord stored;
        ReadFtpSite(L"Walled", stored);
        EXPECT_EQ(stored.firewallKind, kind);
        // Back to kind 1 as the dialog shows it next time.
        stored.firewallKind = 1;
        WriteFtpSite(L"Walled", stored);
        Answers off({{L"FTPSITES", Rule{{IDC_FTP_DISCONNECT}}}, {L"#32770", Rule{{IDOK}}}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FTPSITES, 0);
    }
    std::vector<std::string> c = server.Commands();
    auto at = [&](const std::string& line) {
        for (size_t i = 0; i < c.size(); ++i)
            if (c[i] == line) return static_cast<int>(i);
        return -1;
    };
    // Kind 1: log on to the firewall, then SITE host; kind 2: OPEN host first.
    ASSERT_GE(at("USER fwuser"), 0);
    EXPECT_LT(at("USER fwuser"), at("SITE real.host.example"));
    EXPECT_LT(at("SITE real.host.example"), at("USER u"));
    EXPECT_GE(at("OPEN real.host.example"), 0);
}
