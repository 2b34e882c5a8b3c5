// One panel's directory watcher: a thread that waits for change notifications and only posts a message.
#pragma once
#include <windows.h>
#include <string>

// Posted to the owner on a change: wParam = side (1 left, 0 right) | generation << 1.
constexpr UINT WM_DIRECTORY_CHANGED = WM_APP + 0x100;

class CDirectoryWatcher {
public:
    CDirectoryWatcher() = default;
    ~CDirectoryWatcher() { Stop(); }
    CDirectoryWatcher(const CDirectoryWatcher&) = delete;
    CDirectoryWatcher& operator=(const CDirectoryWatcher&) = delete;

    // Watches directory (not its subdirectories) for names, attributes, sizes and write times;
    // each change posts WM_DIRECTORY_CHANGED to owner. False when it cannot be watched.
    bool Start(HWND owner, bool isLeft, const std::wstring& directory);
    // Signals the thread, waits for its end, then closes the notification: never the other way round.
    void Stop();
    bool Running() const { return thread != nullptr; }
    const std::wstring& Directory() const { return directory; }
    // Which start a posted message came from; messages of an earlier one are stale.
    unsigned Generation() const { return generation; }
    // The owner handled the last message: the next change may post again.
    void Acknowledge() { ::InterlockedExchange(&shared.posted, 0); }

    static constexpr DWORD Filter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                    FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                    FILE_NOTIFY_CHANGE_LAST_WRITE; // 0x1F

private:
    // Read by the thread; fixed before it starts and until it has ended.
    struct Shared {
        HANDLE handles[2] = {}; // the notification first, the stop event second
        HWND owner = nullptr;
        WPARAM param = 0;
        // One message in the queue at a time: a burst of notifications must not flood it.
        volatile LONG posted = 0;
    };
    static DWORD WINAPI ThreadMain(void* arg);

    Shared shared;
    HANDLE thread = nullptr;
    std::wstring directory;
    unsigned generation = 0;
};
