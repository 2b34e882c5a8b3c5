// CMainWindow: the frame window that owns both panels and everything around them.
#pragma once
#include "frame/AppButton.h"
#include "frame/CommandLine.h"
#include "frame/CommandTable.h"
#include "frame/DirectoryWatcher.h"
#include "frame/DirectoryHistory.h"
#include "frame/Launcher.h"
#include "frame/Layout.h"
#include "frame/TrayIcons.h"
#include "framework/Controls.h"
#include "fileops/OperationUi.h"
#include "framework/Window.h"
#include "panel/DriveCombo.h"
#include "panel/FileList.h"
#include <windows.h>
#include <array>
#include <memory>
#include <string>
#include <vector>

// The controls of one panel side.
struct PanelSide {
    CDriveCombo driveBox;
    fw::CControl pathLine, totalLine, selectionLine;
    fw::CControl nav[4], back;
    CFileList panel;
    int visibleRows = 0;
};

class CMainWindow : public fw::CWindow {
public:
    CMainWindow();
    ~CMainWindow() override;

    // ---- MainWindow.cpp: creation, placement, close
    bool CreateFrame();
    bool PreTranslate(MSG& msg);
    CFileList& LeftPanel() { return left.panel; }
    CFileList& RightPanel() { return right.panel; }
    CFileList& ActivePanel() { return leftActive ? left.panel : right.panel; }
    CFileList& InactivePanel() { return leftActive ? right.panel : left.panel; }
    PanelSide& Side(bool isLeft) { return isLeft ? left : right; }
    bool LeftActive() const { return leftActive; }
    HACCEL Accelerators() const { return accelerators; }
    int WindowW() const { return windowW; }
    int WindowH() const { return windowH; }
    const PanelColors& Colors() const { return colors; }
    void SavePlacement();
    void SaveColumnWidths();
    // The tests keep their own message loop running after a window closes.
    bool postQuitOnDestroy = true;
    // busy and cancel flags of the running file operation (copy, move, delete).
    OperationState operation;

    // ---- MainWindowLayout.cpp
    static LayoutOptions ReadLayoutOptions();
    void UpdateLayout();
    void PaintDecorations(HDC dc);
    void RedrawDecorations();

    // ---- MainWindowMessages.cpp: reports from the panels, timers, activation
    void OnScreenUpdate(HWND reporter);
    void OnPanelActivated(HWND reporter);
    void OnDriveUpdate(HWND reporter);
    void OnDriveStatistics(HWND reporter);
    void UpdateDriveBox(bool isLeft);
    // Re-reads the panel 300 ms after the last of a burst of requests.
    void ScheduleRefresh(bool isLeft);
    void SetPathLine(bool isLeft);
    void TogglePanel();
    void DrawCaptionClock();
    static std::wstring ClockText(const SYSTEMTIME& now, wchar_t order, wchar_t separator);

    // ---- MainWindowWatch.cpp: directory watchers, the paced refresh they ask for, immediate re-reads
    void StartWatcher(bool isLeft);
    void RestartWatcher(bool isLeft);
    void StopWatchers();
    // Restarts the side's watcher when its panel shows another directory than the one watched.
    void FollowDirectory(bool isLeft);
    const CDirectoryWatcher& Watcher(bool isLeft) const { return watchers[isLeft ? 0 : 1]; }
    void OnDirectoryChanged(WPARAM param);
    void OnFileChange(bool isLeft);
    void OnRefreshTimer(bool isLeft);
    // How long after now a change seen at now may be shown: 300 ms after the last change, but no
    // later than 1 s after the first one not yet shown, and never sooner after the last re-read's
    // end than that re-read took.
    static DWORD WatchedRefreshDelay(DWORD now, DWORD firstPending, bool anyRead, DWORD lastEnd, DWORD lastDuration);
    static constexpr DWORD RefreshCap = 1000;

    // ---- MainWindowFonts.cpp
    void BuildFonts();
    void ChoosePanelFont();
    void ChooseGeneralFont();
    int PanelRowHeight() const { return rowHeight; }

    // ---- MainWindowCommands.cpp
    bool RunCommand(UINT id);
    bool IsCommandAvailable(UINT id) const;
    void UpdateMenuStates(HMENU menu);
    void UpdateFunctionKeyStates();
    void PushHistory(bool isLeft);
    DirectoryHistory& History(bool isLeft) { return history[isLeft ? 0 : 1]; }
    void OnSwap();
    void OnDirHist();
    void GoRootOrParent(bool isLeft, bool root);
    void GoBack(bool isLeft);
    void OnFilter();
    void OnMarkDialog(bool mark);
    void SelectAll(bool isLeft, bool mark);
    void OnHelp(UINT command, DWORD_PTR data, const wchar_t* file = nullptr);
    void OnNetworkDialog(bool connect);

    // ---- MainWindowLaunch.cpp: command line, application buttons, function-key dialog, prompt
    void RunCommandLine();
    void LaunchAppButton(int index);
    void GoToButtonDirectory(std::wstring directory);
    // Where a command line, or a button without a working directory, starts: the active panel's directory.
    std::wstring StartDirectory();
    // Fills lastRuns with one run per chosen entry (one without per-entry mode); false, after telling the
    // user, when any of them cannot start safely: then none starts.
    bool PrepareRuns(RunRequest request, const std::wstring& workDir, const std::vector<std::wstring>& chosen,
                     bool perEntry);
    // typed: the command line's text, recorded when a run starts; empty for a button, which reports failures.
    void StartRuns(HWND owner, int show, const std::wstring& typed);
    void OnFunctionKeysDialog();
    void UpdatePrompt();
    CCommandLine& CommandLine() { return cmdLine; }
    CAppButton& AppButton(int index) { return *appButtons[index]; }
    CAppButton& FunctionKey(int index) { return *functionKeys[index]; }
    // What the last command line or button started, with the process handles.
    std::vector<StartedRun> lastRuns;

    // ---- MainWindowSystem.cpp: printing and options commands, notification icons, system commands
    bool OnSystemCommand(UINT id);
    void OnPrintFiles();
    void ApplyPathsOptions();
    void ApplyColors(const struct ColorSet& set);
    void OnTrayIcon(UINT msg, LPARAM lp);
    void OnDiskCommand(UINT id);
    // Moves the panels and the current directory off a drive whose medium is to be ejected.
    void LeaveDrive(wchar_t letter);
    CTrayIcons& TrayIcons() { return trayIcons; }
    // The log-off request's thread while one runs (tests wait for it).
    HANDLE logoffThread = nullptr;

    // ---- MainWindowFtp.cpp: FTP sites, options, keep-alive
    void InitFtp();
    void OnFtpSites();
    void OnFtpSettings();
    void OnFtpKeepAlive();
    void ShutdownFtp();
    bool PanelShowsFtp() const;

    static constexpr UINT_PTR TimerClock = 1;
    static constexpr UINT_PTR TimerRefreshLeft = 2;
    static constexpr UINT_PTR TimerRefreshRight = 3;
    static constexpr UINT RefreshDelay = 300;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCreate(CREATESTRUCT* cs) override;
    void OnDestroy() override;
    void OnSize(UINT type, int cx, int cy) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    bool OnPaint() override;
    bool OnClose() override;

private:
    // ---- MainWindow.cpp
    void ReadPlacement();
    void ReadColors();
    void CreateBars();
    void CreatePanelSide(bool isLeft);
    void CreateToolTips();
    void SetStartDirectories();
    bool IsPanelHandle(HWND wnd, bool isLeft);

    // ---- MainWindowFonts.cpp
    HFONT MakeFont(int height, int weight, const std::wstring& face);
    void MeasurePanelFont();
    void ApplyGeneralFont();

    HACCEL accelerators = nullptr;
    WINDOWPLACEMENT placement = {};
    PanelColors colors;
    COLORREF frameColor = 0;
    bool frameColorIsSystem = true;

    HFONT panelFont = nullptr, generalFont = nullptr, buttonFont = nullptr;
    bool ownGeneralFont = false;
    int averageCharWidth = 0, lineHeight = 0, rowHeight = 16;

    fw::CListBox hiddenList;
    std::array<std::unique_ptr<CAppButton>, 21> appButtons;
    fw::CControl prompt;
    CCommandLine cmdLine;
    fw::CControl cmdButton;
    std::array<std::unique_ptr<CAppButton>, 10> functionKeys; // 0: help, 1-9: F2-F10
    FunctionKeyMap functionKeyMap = {};
    PanelSide left, right;
    fw::CToolTip toolTips;

    DirectoryHistory history[2];
    bool leftActive = true;
    CTrayIcons trayIcons;
    int windowW = 640, windowH = 466;
    bool destroying = false;

    // ---- MainWindowWatch.cpp
    CDirectoryWatcher watchers[2];
    struct RefreshPacing {
        bool pending = false;      // a watched change waits for its re-read
        DWORD firstPending = 0;    // when the first change not yet shown came
        bool anyRead = false;
        DWORD lastEnd = 0, lastDuration = 0;
    };
    RefreshPacing pacing[2];
};
