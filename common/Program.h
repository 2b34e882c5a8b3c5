// What every part of the program reads: the product's names, the values fixed at start-up,
// and the boxes that tell the user of a warning or a failure.
#pragma once
#include <windows.h>
#include <string>

extern const wchar_t* const ProductName;
extern const wchar_t* const MainClassName;
constexpr UINT NormalErrorMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

// How names are shown in column 0 ("Algemeen"/"Bestandsnamen").
enum FileNameStyle {
    NamesUpper = 2450,
    NamesLower = 2460,
    NamesUpperFilesLowerDirs = 2463,
    NamesLowerFilesUpperDirs = 2467,
    NamesAsStored = 2470,
};

struct ProgramValues {
    // Regional conventions, read once at start.
    wchar_t thousandSeparator[2] = L",";
    wchar_t dateSeparator[2] = L"-";
    wchar_t dateOrder[2] = L"1";
    std::wstring defaultStartDirectory = L"C:\\";
    // The panels' file filter (Ctrl+F12).
    std::wstring fileMask = L"*.*";
    int fileNameStyle = NamesLower;
    // The command whose dialog is open, for the help key.
    int helpContext = 0;
    bool debugFlag = false;
};

// The one set of values of the process.
ProgramValues& Program();
// Reads the regional conventions of the user's locale into Program().
void ReadRegionalValues();

// A warning box with the string-table text of that id and the product caption.
void ShowWarning(UINT stringId);
// An error box with the system's text of the last error, or the string-table text of the id.
void ShowLastError(int stringId);
// The system's text for an error code in the user's language; empty when it has none.
std::wstring SystemErrorText(DWORD error);
// A message box with the product caption; returns the button pressed.
int ShowMessage(HWND owner, const std::wstring& text, UINT type);

// Sets the help context for the lifetime of a modal dialog.
class HelpContextScope {
public:
    explicit HelpContextScope(int context) { Program().helpContext = context; }
    ~HelpContextScope() { Program().helpContext = 0; }
    HelpContextScope(const HelpContextScope&) = delete;
    HelpContextScope& operator=(const HelpContextScope&) = delete;
};
