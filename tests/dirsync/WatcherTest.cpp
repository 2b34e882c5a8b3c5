// The watcher thread on its own: it only posts, one message at a time, stops cleanly, and watches long paths.
#include "frame/DirectoryWatcher.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>

using namespace test;

namespace {
struct Received {
    int count = 0;
    WPARAM last = 0;
    bool sent = false; // arrived by SendMessage from another thread instead of the queue
};
Received* received = nullptr;

LRESULT CALLBACK Receiver(HWND wnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DIRECTORY_CHANGED && received) {
        ++received->count;
        received->last = wp;
        received->sent = received->sent || ::InSendMessage();
        return 0;
    }
    return ::DefWindowProcW(wnd, msg, wp, lp);
}

class Watcher : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Receiver;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PDWatcherTest";
        ::RegisterClassW(&wc);
        owner = ::CreateWindowW(L"PDWatcherTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        received = &got;
    }
    void TearDown() override
    {
        received = nullptr;
        ::DestroyWindow(owner);
    }
    // Another process changes the directory.
    bool Touch(const std::wstring& path) { return RunShell("echo x >> " + ShellQuote(UnixPath(path))); }

    HWND owner = nullptr;
    Received got;
    TempDir dir;
};
}

TEST_F(Watcher, PostsOnceUntilTheOwnerHasSeenIt)
{
    CDirectoryWatcher w;
    ASSERT_TRUE(w.Start(owner, true, dir.Path()));
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(Touch(dir / (L"f" + std::to_wstring(i))));
    ASSERT_TRUE(PumpUntil([&] { return got.count > 0; }));
    // Without an acknowledgement nothing more is queued, however many changes came.
    ASSERT_TRUE(Touch(dir / L"more"));
    Pump(200);
    EXPECT_EQ(got.count, 1);
    EXPECT_FALSE(got.sent);
    EXPECT_EQ(got.last & 1, 1u);
    EXPECT_EQ(got.last >> 1, w.Generation());
    w.Acknowledge();
    ASSERT_TRUE(Touch(dir / L"again"));
    EXPECT_TRUE(PumpUntil([&] { return got.count == 2; }));
}

TEST_F(Watcher, SubdirectoriesAreNotWatched)
{
    ASSERT_TRUE(MakeDir(dir / L"sub"));
    CDirectoryWatcher w;
    ASSERT_TRUE(w.Start(owner, false, dir.Path()));
    ASSERT_TRUE(Touch(dir / L"sub\\deep.txt"));
    // The same change one level up is seen: the quiet above was no accident of timing.
    ASSERT_TRUE(Touch(dir / L"top.txt"));
    ASSERT_TRUE(PumpUntil([&] { return got.count > 0; }));
    EXPECT_EQ(got.last & 1, 0u);
}

TEST_F(Watcher, ARestartMakesTheOldDirectorysMessagesStale)
{
    TempDir other;
    CDirectoryWatcher w;
    ASSERT_TRUE(w.Start(owner, true, dir.Path()));
    unsigned first = w.Generation();
    ASSERT_TRUE(w.Start(owner, true, other.Path()));
    EXPECT_NE(w.Generation(), first);
    EXPECT_EQ(w.Directory(), other.Path());
    ASSERT_TRUE(Touch(other / L"x"));
    ASSERT_TRUE(PumpUntil([&] { return got.count > 0; }));
    EXPECT_EQ(got.last >> 1, w.Generation());
}

TEST_F(Watcher, TwoHundredRestartsWhileAnotherProgramWritesLeaveNoHandles)
{
    std::wstring stop = dir / L"stop";
    std::string script = "while [ ! -e " + ShellQuote(UnixPath(stop)) + " ]; do echo x >> " +
                         ShellQuote(UnixPath(dir / L"stream")) + "; done";
    ASSERT_TRUE(StartUnixProgram(L"/bin/sh -c \"" + Widen(script) + L"\""));
    ASSERT_TRUE(PumpUntil([&] { return ::GetFileAttributesW((dir / L"stream").c_str()) != INVALID_FILE_ATTRIBUTES; }));
    CDirectoryWatcher w;
    ASSERT_TRUE(w.Start(owner, true, dir.Path()));
    w.Stop();
    DWORD before = 0, after = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &before);
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(w.Start(owner, true, dir.Path()));
        if (i % 10 == 0) Pump(5);
        w.Acknowledge();
    }
    w.Stop();
    ::GetProcessHandleCount(::GetCurrentProcess(), &after);
    EXPECT_FALSE(w.Running());
    EXPECT_LE(after, before + 2);
    ASSERT_TRUE(MakeFile(stop));
    Pump(50);
}

TEST_F(Watcher, APathOverTwoHundredSixtyCharactersIsWatched)
{
    std::wstring deep = dir.Path();
    while (deep.size() < 300) {
        deep += L"\\" + std::wstring(40, L'd');
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr));
    }
    CDirectoryWatcher w;
    ASSERT_TRUE(w.Start(owner, true, deep));
    ASSERT_TRUE(Touch(deep + L"\\long.txt"));
    EXPECT_TRUE(PumpUntil([&] { return got.count > 0; }));
    w.Stop();
    RunShell("rm -rf " + ShellQuote(UnixPath(dir / std::wstring(40, L'd'))));
}

TEST_F(Watcher, ADirectoryThatIsNotThereIsNotWatched)
{
    CDirectoryWatcher w;
    EXPECT_FALSE(w.Start(owner, true, dir / L"missing"));
    EXPECT_FALSE(w.Running());
}
