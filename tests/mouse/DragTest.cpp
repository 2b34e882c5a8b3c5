// Drag and drop between the panels with real mouse input from a second thread (the drag loop is
// modal): where a drop lands, what a dragged tree carries, and what is refused.
#include "fileops/DropList.h"
#include "common/FtpConnection.h"
#include "common/Settings.h"
#include "ftp/FtpTestSupport.h"
#include "framework/Resources.h"
#include "mouse/MouseSupport.h"
#include "support/Scripted.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include <atomic>
#include <thread>

using test::MarkedNames;

TEST(DropList, RelativeNames)
{
    struct { const wchar_t* name; const wchar_t* source; const wchar_t* relative; } cases[] = {
        {L"C:\\A\\SUB\\F.TXT", L"C:\\A", L"SUB\\F.TXT"}, {L"C:\\A\\SUB\\F.TXT", L"C:\\A\\", L"SUB\\F.TXT"},
        {L"c:\\a\\sub\\f.txt", L"C:\\A", L"sub\\f.txt"}, {L"C:\\F.TXT", L"C:\\", L"F.TXT"},
        {L"C:\\AB\\F.TXT", L"C:\\A", L"F.TXT"}, {L"D:\\X\\F.TXT", L"C:\\A", L"F.TXT"},
        {L"C:\\A\\\u0392\\\u03B2.txt", L"C:\\A", L"\u0392\\\u03B2.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(RelativeDropName(c.name, c.source), c.relative) << test::Narrow(c.name);
}

TEST(DropList, ATreeGivesItsFilesAndNoLinkIsEntered)
{
    test::TempDir tmp;
    ASSERT_TRUE(test::MakeDir(tmp / L"D"));
    ASSERT_TRUE(test::MakeDir(tmp / L"D\\empty"));
    ASSERT_TRUE(test::MakeDir(tmp / L"D\\sub"));
    ASSERT_TRUE(test::MakeFile(tmp / L"D\\sub\\\u0392\u03AE\u03C4\u03B1.txt", "12345"));
    ASSERT_TRUE(test::MakeSparseFile(tmp / L"D\\big.bin", 5000000000ULL));
    ASSERT_TRUE(test::MakeFile(tmp / L"one.txt", "1"));
    std::vector<std::wstring> files;
    uint64_t bytes = 0;
    int unreadable = 0;
    CollectDropFiles({{tmp / L"D", true}, {tmp / L"one.txt", false}}, files, bytes, unreadable);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::wstring>{tmp / L"D\\big.bin", tmp / L"D\\sub\\\u0392\u03AE\u03C4\u03B1.txt",
                                                tmp / L"one.txt"}));
    EXPECT_EQ(bytes, 5000000006ULL);
    EXPECT_EQ(unreadable, 0);

    // scripts/test.sh makes copy/T with a link "loop" back to T.
    wchar_t fixture[MAX_PATH * 2] = {};
    ASSERT_TRUE(::GetEnvironmentVariableW(L"PD_LINK_FIXTURE", fixture, MAX_PATH * 2)) << "set by scripts/test.sh";
    std::wstring tree = std::wstring(fixture) + L"\\copy\\T";
    files.clear();
    CollectDropFiles({{tree, true}, {tree + L"\\loop", true}}, files, bytes, unreadable);
    EXPECT_EQ(files, std::vector<std::wstring>{tree + L"\\keep.txt"});
}

namespace {
// The current cursor of the foreground thread, as the user sees it.
HCURSOR ShownCursor()
{
    CURSORINFO info = {sizeof(info)};
    return ::GetCursorInfo(&info) ? info.hCursor : nullptr;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    for (DWORD start = ::GetTickCount(); !condition();) {
        if (::GetTickCount() - start > static_cast<DWORD>(timeoutMs)) return false;
        ::Sleep(2);
    }
    return true;
}
}

class Drag : public mt::PanelPair {
protected:
    void SetUp() override
    {
        PanelPair::SetUp();
        ::ShowWindow(main->Handle(), SW_SHOWNORMAL);
        ::SetWindowPos(main->Handle(), HWND_TOP, 20, 20, 900, 600, SWP_SHOWWINDOW);
        ::SetForegroundWindow(main->Handle());
        test::Pump(100);
        HINSTANCE resources = fw::ResourceInstance();
        notAllowed = ::LoadCursorW(resources, L"DRPFIL_NOTALLOWED");
        single = ::LoadCursorW(resources, L"DRPFIL_SINGLE");
        multiple = ::LoadCursorW(resources, L"DRPFIL_MULTIPLE");
        uiThread = ::GetCurrentThreadId();
    }
    POINT RowPoint(CFileList& panel, const std::wstring& name)
    {
        RECT r = {};
        panel.List().GetItemRect(test::RowOf(panel, name), r);
        POINT p = {r.left + 30, (r.top + r.bottom) / 2};
        ::ClientToScreen(panel.Handle(), &p);
        return p;
    }
    POINT BelowRows(CFileList& panel)
    {
        RECT client;
        ::GetClientRect(panel.Handle(), &client);
        POINT p = {40, client.bottom - 10};
        ::ClientToScreen(panel.Handle(), &p);
        return p;
    }
    HWND Capture()
    {
        GUITHREADINFO info = {sizeof(info)};
        return ::GetGUIThreadInfo(uiThread, &info) ? info.hwndCapture : nullptr;
    }
    // Presses on from, drags to to and releases there once the loop shows the expected cursor;
    // the test's thread goes on pumping meanwhile. False when a step never happened.
    bool DragTo(POINT from, POINT to, HCURSOR expected)
    {
        // Two presses on one spot in quick succession would make a double click.
        from.x += 16 * (drags++ % 3);
        std::atomic<int> step{0};
        std::atomic<bool> ended{false};
        std::thread input([&] {
            struct End {
                std::atomic<bool>& flag;
                ~End() { flag = true; }
            } end{ended};
            mt::MouseTo(from);
            mt::MouseButton(true);
            if (!WaitFor([&] { return Capture() == L().Handle(); })) return;
            step = 1;
            mt::MouseTo({from.x + 12, from.y + 6});
            if (!WaitFor([&] { HCURSOR c = ShownCursor(); return c == notAllowed || c == single || c == multiple; }))
                return mt::MouseButton(false);
            step = 2;
            mt::MouseTo(to);
            bool shown = WaitFor([&] { return ShownCursor() == expected; });
            mt::MouseButton(false);
            step = shown ? 3 : -1;
        });
        bool finished = test::PumpUntil([&] { return ended.load(); }, 15000);
        input.join();
        // The drop is posted when the loop ends; its copy runs here.
        test::PumpUntil([&] { return !main->operation.busy && L().DropHighlight() < 0 && R().DropHighlight() < 0; }, 200);
        test::Pump(100);
        if (step != 3) ADD_FAILURE() << "the drag stopped after step " << step.load();
        return finished && step == 3;
    }
    void Files(const std::wstring& dir, std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* n : names) ASSERT_TRUE(test::MakeFile(dir + L"\\" + n, test::Narrow(n) + " data"));
    }
    HCURSOR notAllowed = nullptr, single = nullptr, multiple = nullptr;
    DWORD uiThread = 0;
    int drags = 0;
};

TEST_F(Drag, OntoTheEmptyAreaATreeArrivesWithoutItsEmptyDirectories)
{
    Files(left.Path(), {L"a.txt", L"\u0392\u03AE\u03C4\u03B1.txt"});
    ASSERT_TRUE(test::MakeDir(left / L"D"));
    ASSERT_TRUE(test::MakeDir(left / L"D\\empty"));
    ASSERT_TRUE(test::MakeDir(left / L"D\\sub"));
    Files(left / L"D\\sub", {L"deep.txt"});
    Show(L(), left.Path());
    Show(R(), right.Path());
    for (const wchar_t* n : {L"a.txt", L"\u0392\u03AE\u03C4\u03B1.txt", L"D"}) Mark(L(), n);
    ASSERT_TRUE(DragTo(RowPoint(L(), L"a.txt"), BelowRows(R()), multiple));
    EXPECT_EQ(test::FileBytes(right / L"a.txt"), test::FileBytes(left / L"a.txt"));
    EXPECT_EQ(test::FileBytes(right / L"\u0392\u03AE\u03C4\u03B1.txt"), test::FileBytes(left / L"\u0392\u03AE\u03C4\u03B1.txt"));
    EXPECT_EQ(test::FileBytes(right / L"D\\sub\\deep.txt"), test::FileBytes(left / L"D\\sub\\deep.txt"));
    EXPECT_EQ(::GetFileAttributesW((right / L"D\\empty").c_str()), INVALID_FILE_ATTRIBUTES);
    // A copy: the sources stay, marks and all until the refresh.
    EXPECT_EQ(test::ReadAll(left / L"a.txt"), "a.txt data");
    EXPECT_TRUE(test::PumpUntil([&] { return test::RowOf(R(), L"D") >= 0; }));
}

TEST_F(Drag, OntoADirectoryRowItLandsInsideOntoAFileRowBesideIt)
{
    Files(left.Path(), {L"one.txt"});
    Files(right.Path(), {L"r.txt"});
    ASSERT_TRUE(test::MakeDir(right / L"Into"));
    Show(L(), left.Path());
    Show(R(), right.Path());
    Mark(L(), L"one.txt");
    ASSERT_TRUE(DragTo(RowPoint(L(), L"one.txt"), RowPoint(R(), L"Into"), single));
    EXPECT_EQ(test::ReadAll(right / L"Into\\one.txt"), "one.txt data");
    EXPECT_EQ(test::ReadAll(right / L"one.txt"), "<missing>");
    Show(R(), right.Path());
    Mark(L(), L"one.txt");
    ASSERT_TRUE(DragTo(RowPoint(L(), L"one.txt"), RowPoint(R(), L"r.txt"), single));
    EXPECT_EQ(test::ReadAll(right / L"one.txt"), "one.txt data");
    EXPECT_EQ(test::ReadAll(right / L"r.txt"), "r.txt data");
}

TEST_F(Drag, ElsewhereNothingIsCopied)
{
    Files(left.Path(), {L"one.txt", L"two.txt"});
    Show(L(), left.Path());
    Show(R(), right.Path());
    Mark(L(), L"one.txt");
    // The same panel.
    ASSERT_TRUE(DragTo(RowPoint(L(), L"one.txt"), RowPoint(L(), L"two.txt"), notAllowed));
    // Another window that takes dropped files.
    HWND other = ::CreateWindowExW(WS_EX_ACCEPTFILES | WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"LISTBOX", L"other",
                                   WS_POPUP | WS_BORDER, 980, 100, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(other, nullptr);
    ::ShowWindow(other, SW_SHOWNOACTIVATE);
    ::SetForegroundWindow(main->Handle());
    test::Pump(100);
    ASSERT_TRUE(DragTo(RowPoint(L(), L"one.txt"), {1080, 200}, notAllowed));
    ::DestroyWindow(other);
    EXPECT_EQ(test::FilesIn(right.Path()), 0);
    EXPECT_EQ(test::FilesIn(left.Path()), 2);
}

TEST_F(Drag, APressThatHardlyMovesIsAClickAndAMarkedGroupDragsWhole)
{
    Files(left.Path(), {L"a.txt", L"b.txt", L"c.txt"});
    Show(L(), left.Path());
    Show(R(), right.Path());
    Mark(L(), L"a.txt");
    Mark(L(), L"b.txt");
    Mark(L(), L"c.txt");
    POINT b = RowPoint(L(), L"b.txt");
    std::atomic<bool> done{false};
    std::thread input([&] {
        mt::MouseTo(b);
        mt::MouseButton(true);
        WaitFor([&] { return Capture() == L().Handle(); });
        mt::MouseTo({b.x + 1, b.y});
        mt::MouseButton(false);
        WaitFor([&] { return Capture() == nullptr; });
        done = true;
    });
    ASSERT_TRUE(test::PumpUntil([&] { return done.load(); }));
    input.join();
    test::PumpUntil([&] { return MarkedNames(L()).size() == 1; }, 1000);
    EXPECT_EQ(MarkedNames(L()), std::vector<std::wstring>{L"b.txt"});
    EXPECT_EQ(test::FilesIn(right.Path()), 0);

    Mark(L(), L"a.txt");
    Mark(L(), L"c.txt");
    ASSERT_TRUE(DragTo(RowPoint(L(), L"c.txt"), BelowRows(R()), multiple));
    EXPECT_EQ(test::FilesIn(right.Path()), 3);
    // A drop that went through lets the marks go with the source panel's next re-read.
    L().OnUpdate();
    EXPECT_TRUE(MarkedNames(L()).empty());
}

TEST_F(Drag, LinksAreNotFollowed)
{
    wchar_t fixture[MAX_PATH * 2] = {};
    ASSERT_TRUE(::GetEnvironmentVariableW(L"PD_LINK_FIXTURE", fixture, MAX_PATH * 2)) << "set by scripts/test.sh";
    Show(L(), std::wstring(fixture) + L"\\copy");
    Show(R(), right.Path());
    Mark(L(), L"T");
    ASSERT_TRUE(DragTo(RowPoint(L(), L"T"), BelowRows(R()), single));
    EXPECT_EQ(test::ReadAll(right / L"T\\keep.txt"), "keep");
    EXPECT_EQ(::GetFileAttributesW((right / L"T\\loop").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Drag, BothPanelsOnOneDirectoryIsRefused)
{
    Files(left.Path(), {L"same.txt"});
    Show(L(), left.Path());
    Show(R(), left.Path());
    Mark(L(), L"same.txt");
    test::DialogAnswerer box(L"#32770", IDOK);
    ASSERT_TRUE(DragTo(RowPoint(L(), L"same.txt"), BelowRows(R()), single));
    ASSERT_TRUE(test::PumpUntil([&] { return box.Answered() == 1; }));
    EXPECT_EQ(box.LastText(), fw::LoadStr(IDS_DROP_SAMEDIR) + left.Path());
    EXPECT_EQ(test::ReadAll(left / L"same.txt"), "same.txt data");
    EXPECT_EQ(test::FilesIn(left.Path()), 1);
}

TEST_F(Drag, TheOverwriteQuestionAndCancelHalfway)
{
    Files(left.Path(), {L"f1.txt", L"f2.txt", L"f3.txt", L"f4.txt", L"f5.txt", L"f6.txt"});
    ASSERT_TRUE(test::MakeFile(right / L"f2.txt", "old two"));
    ASSERT_TRUE(test::MakeFile(right / L"f4.txt", "old four"));
    Show(L(), left.Path());
    Show(R(), right.Path());
    for (int i = 1; i <= 6; ++i) Mark(L(), L"f" + std::to_wstring(i) + L".txt");
    // Replace f2, cancel at f4: f1 to f3 arrive, f4 keeps its old text, f5 and f6 do not come.
    test::Script script({{L"OVERWRITE", IDOK}, {L"OVERWRITE", IDCANCEL}});
    ASSERT_TRUE(DragTo(RowPoint(L(), L"f1.txt"), BelowRows(R()), multiple));
    ASSERT_TRUE(test::PumpUntil([&] { return script.Finished(); }));
    EXPECT_EQ(test::ReadAll(right / L"f1.txt"), "f1.txt data");
    EXPECT_EQ(test::ReadAll(right / L"f2.txt"), "f2.txt data");
    EXPECT_EQ(test::ReadAll(right / L"f3.txt"), "f3.txt data");
    EXPECT_EQ(test::ReadAll(right / L"f4.txt"), "old four");
    EXPECT_EQ(test::ReadAll(right / L"f5.txt"), "<missing>");
    EXPECT_EQ(test::ReadAll(right / L"f6.txt"), "<missing>");
    EXPECT_FALSE(main->operation.busy);
}

TEST_F(Drag, RowsAreHitWhateverTheFont)
{
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(test::MakeFile(left / (L"r" + std::to_wstring(100 + i) + L".txt")));
    Show(L(), left.Path());
    for (int height : {8, 40}) {
        HFONT font = ::CreateFontW(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
        L().SetFont(font, height + 2);
        test::Pump(50);
        int top = L().List().GetTopIndex();
        int checked = 0;
        for (int row = top; row < L().RowCount() && row < top + L().FullyVisibleRows(); ++row, ++checked) {
            RECT r = {};
            ASSERT_TRUE(L().List().GetItemRect(row, r));
            EXPECT_EQ(L().RowFromPoint(r.left + 5, r.top), row) << height;
            EXPECT_EQ(L().RowFromPoint(r.right + 50, r.bottom - 1), row) << height;
        }
        EXPECT_GT(checked, 2) << height;
        RECT header = {};
        ::GetWindowRect(L().List().GetHeader(), &header);
        EXPECT_EQ(L().RowFromPoint(10, (header.bottom - header.top) / 2), -1);
        L().SetFont(nullptr, 16);
        ::DeleteObject(font);
    }
}

TEST_F(Drag, ClickSelectAsATable)
{
    Files(left.Path(), {L"0", L"1", L"2", L"3", L"4", L"5"});
    Show(L(), left.Path());
    // Rows: ".." then 0..5 at rows 1..6.
    struct Step { int row; bool control, shift; std::vector<int> marked; };
    std::vector<Step> steps = {
        {2, false, false, {2}}, {4, true, false, {2, 4}}, {4, true, false, {2}}, {5, false, true, {2, 3, 4, 5}},
        {1, false, true, {1, 2}}, {6, false, false, {6}}, {3, false, true, {3, 4, 5, 6}}, {3, true, false, {4, 5, 6}},
    };
    for (const Step& s : steps) {
        L().ClickSelect(s.row, s.control, s.shift);
        std::vector<int> marked;
        for (int r = 0; r < L().RowCount(); ++r)
            if (L().IsMarked(r)) marked.push_back(r);
        EXPECT_EQ(marked, s.marked) << s.row << s.control << s.shift;
        EXPECT_EQ(L().List().GetFocusedItem(), s.row);
    }
}

TEST_F(Drag, LeavingTheWindowHandsOverToOleWhichBringsItBackAsADrop)
{
    Files(left.Path(), {L"out \u0392\u03AE\u03C4\u03B1.txt"});
    ASSERT_TRUE(test::MakeDir(right / L"Into"));
    Show(L(), left.Path());
    Show(R(), right.Path());
    Mark(L(), L"out \u0392\u03AE\u03C4\u03B1.txt");
    POINT from = RowPoint(L(), L"out \u0392\u03AE\u03C4\u03B1.txt");
    POINT into = RowPoint(R(), L"Into");
    int intoRow = test::RowOf(R(), L"Into");
    RECT frame;
    ::GetWindowRect(main->Handle(), &frame);
    std::atomic<int> step{0};
    std::atomic<bool> ended{false};
    std::thread input([&] {
        struct End {
            std::atomic<bool>& flag;
            ~End() { flag = true; }
        } end{ended};
        mt::MouseTo(from);
        mt::MouseButton(true);
        if (!WaitFor([&] { return Capture() == L().Handle(); })) return mt::MouseButton(false);
        mt::MouseTo({from.x + 12, from.y + 6});
        if (!WaitFor([&] { HCURSOR c = ShownCursor(); return c == notAllowed || c == single; })) return mt::MouseButton(false);
        step = 1;
        // Out over the desktop: the panel's loop lets go of the mouse and OLE takes the drag on.
        mt::MouseTo({frame.right + 40, frame.bottom + 40});
        if (!WaitFor([&] { HWND c = Capture(); return c != L().Handle(); })) return mt::MouseButton(false);
        step = 2;
        mt::MouseTo(into);
        bool over = WaitFor([&] { return R().DropHighlight() == intoRow; });
        mt::MouseButton(false);
        step = over ? 3 : -1;
    });
    ASSERT_TRUE(test::PumpUntil([&] { return ended.load(); }, 15000));
    input.join();
    ASSERT_EQ(step.load(), 3);
    ASSERT_TRUE(test::PumpUntil([&] { return test::ReadAll(right / L"Into\\out \u0392\u03AE\u03C4\u03B1.txt") != "<missing>"; }));
    test::PumpUntil([&] { return !main->operation.busy; });
    EXPECT_EQ(test::FileBytes(right / L"Into\\out \u0392\u03AE\u03C4\u03B1.txt"), test::FileBytes(left / L"out \u0392\u03AE\u03C4\u03B1.txt"));
    EXPECT_EQ(R().DropHighlight(), -1);
}

// Drags from and onto an FTP panel, against the local pyftpdlib server.
class FtpDrag : public Drag {
protected:
    void SetUp() override
    {
        Drag::SetUp();
        auto info = ftptest::ServerInfo("pyftpd");
        ASSERT_FALSE(info.empty()) << "no pyftpdlib details: run scripts/ftp-servers.sh start";
        static int counter = 0;
        // Wine hands out the same small process ids run after run: a name left behind is passed by.
        for (;;) {
            dirName = L"drag" + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(counter++);
            serverDir = ftptest::WinePath(info["home"]) + L"\\" + dirName;
            if (test::MakeDir(serverDir)) break;
            ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
        }
        WriteProfileInt(L"FTP", L"Encrypted", 1);
        WriteProfileInt(L"FTP", L"Logging", 0);
        WriteProfileInt(L"FTP", L"DirUpd", 1);
        site.host = L"127.0.0.1";
        site.port = ftptest::Widen(info["port"]);
        site.user = ftptest::Widen(info["user"]);
        site.password = ftptest::Widen(info["password"]);
        site.initialDir = L"/" + dirName;
        site.passive = true;
    }
    void TearDown() override
    {
        {
            test::DialogAnswerer disconnected(L"#32770", IDOK);
            FtpDisconnectSite();
        }
        Drag::TearDown();
        test::RemoveTree(serverDir);
    }
    // Connects (the "Connected" note answered) and shows the server in the panel on that side.
    void ShowServer(bool isLeft)
    {
        {
            test::DialogAnswerer connected(L"#32770", IDOK);
            ASSERT_EQ(FtpConnectSite(main->Handle(), L"Dragged", site), 0);
        }
        CDriveCombo& box = main->Side(isLeft).driveBox;
        box.BuildDriveList();
        fw::CComboBox combo = box.Box();
        int ftp = -1;
        for (int i = 0; i < combo.GetCount(); ++i)
            if (combo.GetItemText(i) == L"[FTP] Dragged") ftp = i;
        ASSERT_GE(ftp, 0);
        CFileList& panel = isLeft ? L() : R();
        int before = panel.updates;
        combo.SetCurSel(ftp);
        box.OnDriveSelected();
        ASSERT_TRUE(test::PumpUntil([&] { return panel.drive == L"FTP" && panel.updates > before; }));
    }
    std::wstring Server(const std::wstring& name) const { return serverDir + L"\\" + name; }
    FtpSiteRecord site;
    std::wstring dirName, serverDir;
};

TEST_F(FtpDrag, OntoTheServerFilesAndTreesGoUpButNotIntoADirectoryRow)
{
    Files(left.Path(), {L"a.txt", L"\u0392\u03AE\u03C4\u03B1.txt", L"b.txt"});
    ASSERT_TRUE(test::MakeDir(left / L"D"));
    ASSERT_TRUE(test::MakeDir(left / L"D\\sub"));
    Files(left / L"D\\sub", {L"deep.txt"});
    ASSERT_TRUE(test::MakeDir(Server(L"there")));
    Show(L(), left.Path());
    ASSERT_NO_FATAL_FAILURE(ShowServer(false));
    // Onto a directory of the server: refused, nothing sent.
    Mark(L(), L"b.txt");
    ASSERT_TRUE(DragTo(RowPoint(L(), L"b.txt"), RowPoint(R(), L"there"), notAllowed));
    EXPECT_EQ(test::ReadAll(Server(L"there\\b.txt")), "<missing>");
    Mark(L(), L"b.txt", false);
    for (const wchar_t* n : {L"a.txt", L"\u0392\u03AE\u03C4\u03B1.txt", L"D"}) Mark(L(), n);
    ASSERT_TRUE(DragTo(RowPoint(L(), L"a.txt"), BelowRows(R()), multiple));
    EXPECT_EQ(test::FileBytes(Server(L"a.txt")), test::FileBytes(left / L"a.txt"));
    EXPECT_EQ(test::FileBytes(Server(L"\u0392\u03AE\u03C4\u03B1.txt")), test::FileBytes(left / L"\u0392\u03AE\u03C4\u03B1.txt"));
    EXPECT_EQ(test::FileBytes(Server(L"D\\sub\\deep.txt")), test::FileBytes(left / L"D\\sub\\deep.txt"));
    // A drop copies: the sources stay.
    EXPECT_EQ(test::ReadAll(left / L"a.txt"), "a.txt data");
    EXPECT_TRUE(test::PumpUntil([&] { return test::RowOf(R(), L"a.txt") >= 0; }));
}

TEST_F(FtpDrag, FromTheServerFilesComeDownAndADirectoryIsRefused)
{
    ASSERT_TRUE(test::MakeFile(Server(L"down.txt"), "from the server"));
    ASSERT_TRUE(test::MakeFile(Server(L"\u0392\u03AE\u03C4\u03B1.txt"), "beta"));
    ASSERT_TRUE(test::MakeDir(Server(L"folder")));
    ASSERT_TRUE(test::MakeDir(right / L"in"));
    Show(R(), right.Path());
    ASSERT_NO_FATAL_FAILURE(ShowServer(true));
    Mark(L(), L"down.txt");
    Mark(L(), L"\u0392\u03AE\u03C4\u03B1.txt");
    // Onto a directory row of a local panel: into that directory.
    ASSERT_TRUE(DragTo(RowPoint(L(), L"down.txt"), RowPoint(R(), L"in"), multiple));
    EXPECT_EQ(test::ReadAll(right / L"in\\down.txt"), "from the server");
    EXPECT_EQ(test::ReadAll(right / L"in\\\u0392\u03AE\u03C4\u03B1.txt"), "beta");
    EXPECT_EQ(test::ReadAll(Server(L"down.txt")), "from the server");
    // A directory of the server cannot come down: one warning, nothing copied.
    Mark(L(), L"down.txt", false);
    Mark(L(), L"\u0392\u03AE\u03C4\u03B1.txt", false);
    Mark(L(), L"folder");
    Mark(L(), L"down.txt");
    test::DialogAnswerer box(L"#32770", IDOK);
    ASSERT_TRUE(DragTo(RowPoint(L(), L"down.txt"), BelowRows(R()), multiple));
    ASSERT_TRUE(test::PumpUntil([&] { return box.Answered() == 1; }));
    EXPECT_EQ(box.LastText(), fw::LoadStr(IDS_FTP_NODIRCOPY));
    EXPECT_EQ(test::ReadAll(right / L"down.txt"), "<missing>");
    EXPECT_EQ(::GetFileAttributesW((right / L"folder").c_str()), INVALID_FILE_ATTRIBUTES);
}
