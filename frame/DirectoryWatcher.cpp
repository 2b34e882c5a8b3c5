// The watcher thread and its start and stop.
#include "frame/DirectoryWatcher.h"
#include "fileops/FileSystem.h"

DWORD WINAPI CDirectoryWatcher::ThreadMain(void* arg)
{
    Shared& s = *static_cast<Shared*>(arg);
    for (;;) {
        DWORD woke = ::WaitForMultipleObjects(2, s.handles, FALSE, INFINITE);
        if (woke != WAIT_OBJECT_0) return 0; // stopped, or the wait failed
        // Only a post: timers and the panel's state belong to the user-interface thread.
        if (::InterlockedExchange(&s.posted, 1) == 0 && !::PostMessageW(s.owner, WM_DIRECTORY_CHANGED, s.param, 0))
            ::InterlockedExchange(&s.posted, 0);
        if (!::FindNextChangeNotification(s.handles[0])) return 0;
    }
}

bool CDirectoryWatcher::Start(HWND owner, bool isLeft, const std::wstring& dir)
{
    Stop();
    directory = dir;
    ++generation;
    if (dir.empty()) return false;
    HANDLE change = ::FindFirstChangeNotificationW(LongPath(dir).c_str(), FALSE, Filter);
    if (change == INVALID_HANDLE_VALUE) return false;
    HANDLE stop = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!stop) {
        ::FindCloseChangeNotification(change);
        return false;
    }
    shared.handles[0] = change;
    shared.handles[1] = stop;
    shared.owner = owner;
    shared.param = static_cast<WPARAM>(isLeft ? 1 : 0) | (static_cast<WPARAM>(generation) << 1);
    shared.posted = 0;
    thread = ::CreateThread(nullptr, 0, ThreadMain, &shared, 0, nullptr);
    if (!thread) {
        ::CloseHandle(stop);
        ::FindCloseChangeNotification(change);
        shared.handles[0] = shared.handles[1] = nullptr;
        return false;
    }
    return true;
}

void CDirectoryWatcher::Stop()
{
    if (!thread) return;
    // The event stays signalled until the thread sees it, even between two waits.
    ::SetEvent(shared.handles[1]);
    ::WaitForSingleObject(thread, INFINITE);
    ::CloseHandle(thread);
    thread = nullptr;
    ::FindCloseChangeNotification(shared.handles[0]);
    ::CloseHandle(shared.handles[1]);
    shared.handles[0] = shared.handles[1] = nullptr;
}
