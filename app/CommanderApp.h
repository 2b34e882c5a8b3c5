// The application object: start-up, the values every part of the program reads, message loop, exit.
#pragma once
#include <windows.h>
#include <memory>
#include <string>

class CMainWindow;

// How names are shown in column 0 ("Algemeen"/"Bestandsnamen").
enum FileNameStyle {
    NamesUpper = 2450,
    NamesLower = 2460,
    NamesUpperFilesLowerDirs = 2463,
    NamesLowerFilesUpperDirs = 2467,
    NamesAsStored = 2470,
};

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
    bool debugFlag = false;
    wchar_t thousandSeparator[2] = L",";
    wchar_t dateSeparator[2] = L"-";
    wchar_t dateOrder[2] = L"1";
    std::wstring defaultStartDirectory;
    std::wstring fileMask = L"*.*";
    int helpContext = 0;
    int fileNameStyle = NamesLower;
    std::wstring commandLine;

private:
    std::unique_ptr<CMainWindow> mainWindow;
    bool classRegistered = false;
};

// The one application object of the process.
CCommanderApp& App();

// A warning box with the string-table text of that id and the product caption.
void ShowWarning(UINT stringId);
// An error box with the system's text of the last error, or the string-table text of the id.
void ShowLastError(int stringId);

extern const wchar_t* const ProductName;
extern const wchar_t* const MainClassName;
constexpr UINT NormalErrorMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

// Sets the help context for the lifetime of a modal dialog.
class HelpContextScope {
public:
    explicit HelpContextScope(int context) { App().helpContext = context; }
    ~HelpContextScope() { App().helpContext = 0; }
    HelpContextScope(const HelpContextScope&) = delete;
    HelpContextScope& operator=(const HelpContextScope&) = delete;
};
