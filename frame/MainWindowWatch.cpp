// Directory watchers of both panels, the paced refresh they ask for, and the immediate re-reads.
#include "frame/MainWindow.h"
#include "fileops/FileSystem.h"
#include <algorithm>

void CMainWindow::StartWatcher(bool isLeft)
{
    CDirectoryWatcher& watcher = watchers[isLeft ? 0 : 1];
    const CFileList& p = Side(isLeft).panel;
    pacing[isLeft ? 0 : 1].pending = false;
    // An FTP panel has no watcher; one that cannot be watched is still refreshed on request.
    if (p.drive == L"FTP" || p.path.empty()) watcher.Stop();
    else watcher.Start(hwnd, isLeft, p.path);
}

void CMainWindow::RestartWatcher(bool isLeft)
{
    watchers[isLeft ? 0 : 1].Stop();
    StartWatcher(isLeft);
}

void CMainWindow::StopWatchers()
{
    watchers[0].Stop();
    watchers[1].Stop();
}

void CMainWindow::FollowDirectory(bool isLeft)
{
    const CDirectoryWatcher& watcher = watchers[isLeft ? 0 : 1];
    const CFileList& p = Side(isLeft).panel;
    bool wanted = p.drive != L"FTP" && !p.path.empty();
    if (wanted != watcher.Running() || (wanted && watcher.Directory() != p.path)) RestartWatcher(isLeft);
}

DWORD CMainWindow::WatchedRefreshDelay(DWORD now, DWORD firstPending, bool anyRead, DWORD lastEnd, DWORD lastDuration)
{
    // Differences of tick counts stay right across the counter's wrap.
    long delay = static_cast<long>(RefreshDelay);
    long capLeft = static_cast<long>(firstPending + RefreshCap - now);
    delay = std::min(delay, capLeft);
    if (anyRead) delay = std::max(delay, static_cast<long>(lastEnd + lastDuration - now));
    return static_cast<DWORD>(std::max(delay, 0L));
}

void CMainWindow::OnDirectoryChanged(WPARAM param)
{
    bool isLeft = (param & 1) != 0;
    CDirectoryWatcher& watcher = watchers[isLeft ? 0 : 1];
    if ((param >> 1) != watcher.Generation()) return; // posted for a directory no longer watched
    watcher.Acknowledge();
    const CFileList& p = Side(isLeft).panel;
    // A running operation asks for its own re-read at the end; found files are no directory listing.
    if (operation.busy || p.drive == L"FTP" || p.showsFoundFiles) return;
    RefreshPacing& pace = pacing[isLeft ? 0 : 1];
    DWORD now = ::GetTickCount();
    if (!pace.pending) {
        pace.pending = true;
        pace.firstPending = now;
    }
    DWORD delay = WatchedRefreshDelay(now, pace.firstPending, pace.anyRead, pace.lastEnd, pace.lastDuration);
    ::SetTimer(hwnd, isLeft ? TimerRefreshLeft : TimerRefreshRight, std::max<DWORD>(delay, USER_TIMER_MINIMUM), nullptr);
}

void CMainWindow::OnRefreshTimer(bool isLeft)
{
    ::KillTimer(hwnd, isLeft ? TimerRefreshLeft : TimerRefreshRight);
    RefreshPacing& pace = pacing[isLeft ? 0 : 1];
    CFileList& p = Side(isLeft).panel;
    // Another program changed the shown directory: the cursor stays where the user left it, not
    // where it was when the panel last remembered its place.
    if (pace.pending && watchers[isLeft ? 0 : 1].Directory() == p.path) p.RememberPosition();
    pace.pending = false;
    DWORD start = ::GetTickCount();
    p.OnUpdate();
    pace.lastEnd = ::GetTickCount();
    pace.lastDuration = pace.lastEnd - start;
    pace.anyRead = true;
    SetPathLine(isLeft);
    // A vanished directory sends the panel elsewhere; the watcher follows it.
    FollowDirectory(isLeft);
}

void CMainWindow::OnFileChange(bool isLeft)
{
    CFileList& p = Side(isLeft).panel;
    // The FTP panel source re-reads its own directory; a local panel reads from the current one.
    if (p.drive != L"FTP") MakeCurrentDirectory(p.path);
    p.OnUpdate();
    UpdateDriveBox(true);
    UpdateDriveBox(false);
    FollowDirectory(isLeft);
}
