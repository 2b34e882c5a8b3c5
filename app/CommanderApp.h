// The application object: start-up in its fixed order, the message loop and exit.
#pragma once
#include "common/Program.h"
#include <windows.h>
#include <memory>
#include <string>

class CMainWindow;

class CCommanderApp {
public:
    CCommanderApp();
    ~CCommanderApp();

    // False ends the program at once; true once the main window exists.
    bool InitInstance();
    int Run();
    int ExitInstance();
    // False after handing the focus to an instance that is already running.
    virtual bool IsFirstInstance();

    CMainWindow* MainWindow() const { return mainWindow.get(); }
    // Destroys the main window (the tests end a run this way too).
    void DestroyMainWindow();

    HINSTANCE resourceLibrary = nullptr;
    std::wstring commandLine;

private:
    std::unique_ptr<CMainWindow> mainWindow;
    bool classRegistered = false;
    bool oleReady = false;
};

// The one application object of the process.
CCommanderApp& App();

