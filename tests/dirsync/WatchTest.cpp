// Panels that follow other programs: the real main window, its watchers and timers, another process writing.
#include "fileops/FileCheck.h"
#include "fileops/FileSystem.h"
#include "support/Harness.h"
#include "support/TestEnv.h"

using namespace test;

namespace {
bool There(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class Watching : public CopyFixture {
protected:
    // The panel changes directory the way navigation reports it (WM_USER+2), which restarts its watcher.
    void Watch(CFileList& panel, const std::wstring& dir)
    {
        int before = panel.updates;
        panel.SetDirectory(dir.substr(0, 3), dir);
        ::SendMessageW(main->Handle(), pm::DriveUpdate, reinterpret_cast<WPARAM>(panel.Handle()), 0);
        ASSERT_TRUE(PumpUntil([&] { return panel.updates > before; }));
        ASSERT_TRUE(main->Watcher(&panel == &Left()).Running());
        ASSERT_EQ(main->Watcher(&panel == &Left()).Directory(), dir);
    }
    // Another process runs the shell script; the marker appears when it has finished.
    void StartWriter(const std::string& script)
    {
        ASSERT_TRUE(StartUnixProgram(L"/bin/sh -c \"" + Widen(script) + L"; touch " +
                                     Widen(ShellQuote(UnixPath(Marker()))) + L"\""));
    }
    std::wstring Marker() { return aside / L"done"; }
    bool WaitForWriter(int timeoutMs = 20000) { return PumpUntil([&] { return There(Marker()); }, timeoutMs); }
    std::string Unix(const std::wstring& path) { return ShellQuote(UnixPath(path)); }
    // A change on the right side, watched normally, is the proof that the left one had its chance.
    void ChangeBothAndSettle(const std::wstring& leftFile)
    {
        int right = Right().updates;
        ASSERT_TRUE(RunShell("echo x > " + Unix(leftFile) + "; echo x > " + Unix(dst / L"control.txt")));
        ASSERT_TRUE(PumpUntil([&] { return Right().updates > right; }));
        Pump(500);
    }
    TempDir aside;
};
}

TEST_F(Watching, AHundredFilesFromAnotherProgramCauseOneReadAfterTheLast)
{
    Watch(Left(), src.Path());
    Watch(Right(), dst.Path());
    int left = Left().updates, right = Right().updates;
    StartWriter("for i in $(seq 1 100); do echo x > " + Unix(src.Path()) + "/f$i.txt; done");
    ASSERT_TRUE(WaitForWriter());
    DWORD finished = ::GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return Left().updates > left; }, 3000));
    DWORD shown = ::GetTickCount();
    Pump(1500);
    EXPECT_EQ(Left().updates, left + 1);
    EXPECT_EQ(Right().updates, right);
    EXPECT_GE(RowOf(Left(), L"f100.txt"), 0);
    EXPECT_GE(RowOf(Left(), L"f1.txt"), 0);
    // About 300 ms after the last change: not at once, and not a second later either.
    EXPECT_GE(shown - finished, 150u);
    EXPECT_LE(shown - finished, 1000u);
}

TEST_F(Watching, ChangesThatNeverStopAreShownAboutOnceASecond)
{
    Watch(Left(), src.Path());
    int left = Left().updates;
    StartWriter("i=0; while [ $i -lt 100 ]; do echo x > " + Unix(src.Path()) + "/s$i.txt; i=$((i+1)); sleep 0.05; done");
    ASSERT_TRUE(PumpUntil([&] { return There(src / L"s0.txt"); }));
    DWORD started = ::GetTickCount();
    ASSERT_TRUE(WaitForWriter());
    DWORD seconds = (::GetTickCount() - started + 500) / 1000;
    int during = Left().updates - left;
    ASSERT_TRUE(PumpUntil([&] { return RowOf(Left(), L"s99.txt") >= 0; }));
    ASSERT_GE(seconds, 4u);
    // Without the cap every change would move the re-read on: none until the stream ends.
    EXPECT_GE(during, static_cast<int>(seconds) - 2);
    EXPECT_LE(during, static_cast<int>(seconds) + 2);
}

TEST_F(Watching, TheOldDirectoryIsForgottenAfterAChange)
{
    TempDir other;
    Watch(Left(), src.Path());
    Watch(Left(), other.Path());
    int left = Left().updates;
    ASSERT_TRUE(RunShell("echo x > " + Unix(src / L"old.txt")));
    ASSERT_TRUE(RunShell("echo x > " + Unix(other / L"new.txt")));
    ASSERT_TRUE(PumpUntil([&] { return Left().updates > left; }));
    Pump(800);
    EXPECT_EQ(Left().updates, left + 1);
    EXPECT_GE(RowOf(Left(), L"new.txt"), 0);
}

TEST_F(Watching, NoReadForAnFtpPanelABusyOperationOrFoundFiles)
{
    Watch(Left(), src.Path());
    Watch(Right(), dst.Path());
    int left = Left().updates;

    // Busy holds for both panels, so there is no control on the other side: a second is long
    // enough for a change seen in 1-3 ms and a 300 ms timer.
    main->operation.busy = true;
    ASSERT_TRUE(RunShell("echo x > " + Unix(src / L"during-busy.txt")));
    Pump(1000);
    main->operation.busy = false;
    EXPECT_EQ(Left().updates, left);

    Left().showsFoundFiles = true;
    ChangeBothAndSettle(src / L"found.txt");
    Left().showsFoundFiles = false;
    EXPECT_EQ(Left().updates, left);

    // A panel that became an FTP panel: a watcher still running drops what it sees, and a
    // restart leaves it without one; back on a local drive it has one again.
    std::wstring drive = Left().drive;
    Left().drive = L"FTP";
    ChangeBothAndSettle(src / L"ftp.txt");
    EXPECT_EQ(Left().updates, left);
    main->RestartWatcher(true);
    EXPECT_FALSE(main->Watcher(true).Running());
    Left().drive = drive;
    main->RestartWatcher(true);
    EXPECT_TRUE(main->Watcher(true).Running());
    ASSERT_TRUE(RunShell("echo x > " + Unix(src / L"local-again.txt")));
    EXPECT_TRUE(PumpUntil([&] { return Left().updates > left; }));
}

TEST_F(Watching, TwoHundredRestartsWhileAnotherProgramWritesAreSteady)
{
    Watch(Left(), src.Path());
    std::wstring stop = aside / L"stop";
    StartWriter("while [ ! -e " + Unix(stop) + " ]; do echo x >> " + Unix(src / L"stream.txt") + "; done");
    ASSERT_TRUE(PumpUntil([&] { return There(src / L"stream.txt"); }));
    for (int i = 0; i < 10; ++i) ::SendMessageW(main->Handle(), pm::PanelActivated, reinterpret_cast<WPARAM>(Left().Handle()), 0);
    Pump(50);
    DWORD before = 0, after = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &before);
    for (int i = 0; i < 200; ++i) {
        ::SendMessageW(main->Handle(), pm::PanelActivated, reinterpret_cast<WPARAM>(Left().Handle()), 0);
        if (i % 20 == 0) Pump(20);
    }
    Pump(50);
    ::GetProcessHandleCount(::GetCurrentProcess(), &after);
    ASSERT_TRUE(MakeFile(stop));
    ASSERT_TRUE(WaitForWriter());
    EXPECT_TRUE(main->Watcher(true).Running());
    EXPECT_LE(after, before + 3);
    // Still watching the same directory after all of it.
    int left = Left().updates;
    ASSERT_TRUE(RunShell("echo x > " + Unix(src / L"after.txt")));
    EXPECT_TRUE(PumpUntil([&] { return RowOf(Left(), L"after.txt") >= 0 && Left().updates > left; }));
}

TEST_F(Watching, ARemovedDirectorySendsThePanelAndItsWatcherToTheParent)
{
    std::wstring sub = src / L"gone";
    ASSERT_TRUE(MakeDir(sub));
    ASSERT_TRUE(MakeFile(sub + L"\\a.txt"));
    Watch(Left(), sub);
    // The panel's reading made it the current directory; a current directory cannot go under Windows.
    ::SetCurrentDirectoryW(src.Path().c_str());
    ASSERT_TRUE(RunShell("rm -rf " + Unix(sub)));
    ASSERT_TRUE(PumpUntil([&] { return Left().path == src.Path(); }));
    EXPECT_TRUE(PumpUntil([&] { return main->Watcher(true).Directory() == src.Path() && main->Watcher(true).Running(); }));
    int left = Left().updates;
    ASSERT_TRUE(RunShell("echo x > " + Unix(src / L"later.txt")));
    EXPECT_TRUE(PumpUntil([&] { return Left().updates > left && RowOf(Left(), L"later.txt") >= 0; }));
}

TEST_F(Watching, AnImmediateReadRequestReadsAtOnceFromThePanelsDirectory)
{
    Watch(Left(), src.Path());
    Watch(Right(), dst.Path());
    ASSERT_TRUE(MakeFile(dst / L"now.txt"));
    ::SetCurrentDirectoryW(src.Path().c_str());
    int right = Right().updates;
    ::SendMessageW(main->Handle(), pm::FileChangeR, 0, 0);
    EXPECT_EQ(Right().updates, right + 1);
    EXPECT_GE(RowOf(Right(), L"now.txt"), 0);
    EXPECT_EQ(CurrentDirectory(), dst.Path());
}

TEST_F(Watching, ARereadForAnotherProgramKeepsTheCursorWhereItWas)
{
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"d.txt"}) ASSERT_TRUE(MakeFile(src / name));
    Watch(Left(), src.Path());
    int row = RowOf(Left(), L"c.txt");
    ASSERT_GT(row, 0);
    Left().List().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    int left = Left().updates;
    ASSERT_TRUE(RunShell("echo x > " + Unix(src / L"z.txt")));
    ASSERT_TRUE(PumpUntil([&] { return Left().updates > left && RowOf(Left(), L"z.txt") >= 0; }));
    EXPECT_EQ(Left().List().GetFocusedItem(), row);
}
