// What a running file operation needs from the user interface, and the flags it shares with the main window.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

// Owned by the main window: no second operation starts while busy; Cancel sets cancelRequested.
struct OperationState {
    bool busy = false;
    bool cancelRequested = false;
    // Recycle bin (true) or final delete for files removed by delete and by a directory move.
    bool recycleMode = false;
};

enum class OverwriteAnswer { Overwrite, OverwriteAll, Skip, Cancel };

struct OverwriteQuestion {
    std::wstring targetDirectory, name;
    uint64_t sourceSize = 0, targetSize = 0;
    uint64_t sourceTime = 0, targetTime = 0; // file times, UTC
    bool offerAll = false;
};

class COperationUi {
public:
    virtual ~COperationUi() = default;
    // Dispatches the waiting messages so the progress dialog stays alive.
    virtual void Pump() = 0;
    virtual bool CancelRequested() const = 0;
    virtual void RequestCancel() = 0;
    virtual void ShowNames(const std::wstring& source, const std::wstring& target) = 0;
    virtual OverwriteAnswer ConfirmOverwrite(const OverwriteQuestion& question) = 0;
    // The system's text for the last error, else the string of textId (stop icon).
    virtual void ShowError(int textId) = 0;
    // The string of textId followed by detail (exclamation icon).
    virtual void ShowProblem(int textId, const std::wstring& detail) = 0;
    virtual void ShowWarning(int textId) = 0;
    virtual bool RecycleMode() const = 0;
    // The window that questions of the system's own (the shell's) belong to.
    virtual HWND Owner() const = 0;
};
