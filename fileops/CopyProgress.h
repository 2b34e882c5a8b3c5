// The user-interface side of a running copy or move: the progress dialog, pumping and the message boxes.
#pragma once
#include "fileops/CopyDialogs.h"
#include "fileops/OperationUi.h"
#include <windows.h>

// For its lifetime: cancel cleared, busy set, the status dialog open and the main window disabled.
class CCopyProgress : public COperationUi {
public:
    CCopyProgress(OperationState& state, HWND mainWindow, const std::wstring& title,
                  const wchar_t* templateName = L"STATUSCOPY");
    ~CCopyProgress() override;
    CCopyProgress(const CCopyProgress&) = delete;
    CCopyProgress& operator=(const CCopyProgress&) = delete;

    HWND Dialog() const { return dialog.Handle(); }

    void Pump() override;
    bool CancelRequested() const override { return state.cancelRequested; }
    void RequestCancel() override { state.cancelRequested = true; }
    void ShowNames(const std::wstring& source, const std::wstring& target) override;
    OverwriteAnswer ConfirmOverwrite(const OverwriteQuestion& question) override;
    void ShowError(int textId) override;
    void ShowProblem(int textId, const std::wstring& detail) override;
    void ShowWarning(int textId) override;
    bool RecycleMode() const override { return state.recycleMode; }
    HWND Owner() const override { return dialog.Handle() ? dialog.Handle() : mainWindow; }

private:
    OperationState& state;
    HWND mainWindow;
    CStatusCopyDialog dialog;
    static constexpr DWORD PumpInterval = 15;
    bool pumped = false;
    DWORD lastPump = 0;
    bool named = false;
    DWORD lastNames = 0;
    bool quitSeen = false;
    WPARAM quitCode = 0;
};
