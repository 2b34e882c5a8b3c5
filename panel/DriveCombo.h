// CDriveCombo: the drive box above a panel and the drive information line beside it.
#pragma once
#include "framework/Controls.h"
#include "framework/Window.h"
#include <windows.h>
#include <functional>
#include <string>

// What the drive boxes ask of an FTP connection; empty until the FTP source exists.
struct DriveFtpHook {
    std::function<bool()> connected;
    std::function<std::wstring()> siteName;
    std::function<std::wstring()> statusText;
};

class CDriveCombo : public fw::CWindow {
public:
    // Takes over the drop-down list control; infoLine is the static text for the totals.
    bool Attach(HWND combo, HWND infoLine);
    fw::CComboBox Box() const { return fw::CComboBox(hwnd); }
    void Move(const RECT& r) const { fw::CControl(hwnd).Move(r); }

    void BuildDriveList();
    void OnDriveSelected();
    void UpdateDriveInfo();
    void ShowDriveStatistics();

    // A drive root ("c:\" after a drive change, "C:\" after a fall-back) or "FTP".
    std::wstring drive = L"C:\\";
    fw::CControl infoLine;
    std::wstring infoText;

    static DriveFtpHook ftp;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    static bool FtpConnected() { return ftp.connected && ftp.connected(); }
    std::wstring RemovableDescription(const std::wstring& root, const std::wstring& entrySoFar) const;
    void FallBackToC();
    void SelectEntryOf(const std::wstring& source);
};
