// Start-up in its fixed order, single-instance check, message loop and exit.
#include "app/CommanderApp.h"
#include "common/Settings.h"
#include "common/Program.h"
#include "frame/MainWindow.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include "framework/Window.h"
#include <commctrl.h>
#include <ole2.h>
#include <vector>

namespace {
CCommanderApp* theApp = nullptr;

// The program's own directory, with a trailing backslash.
std::wstring ModuleDirectory()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) break;
        buffer.resize(buffer.size() * 2);
    }
    std::wstring path = buffer.data();
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

}

CCommanderApp& App() { return *theApp; }

CCommanderApp::CCommanderApp()
{
    theApp = this;
}

CCommanderApp::~CCommanderApp()
{
    DestroyMainWindow();
    if (theApp == this) theApp = nullptr;
}

bool CCommanderApp::InitInstance()
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    // The shell's menus, links and drag and drop need the component library on this thread.
    if (!oleReady) oleReady = SUCCEEDED(::OleInitialize(nullptr));

    resourceLibrary = ::LoadLibraryExW(L"PDDLL.DLL", nullptr, 0);
    if (!resourceLibrary) {
        ::MessageBoxW(nullptr, L"Can't open resource DLL", ProductName, MB_OK | MB_ICONWARNING);
        return false;
    }
    fw::SetResourceInstance(resourceLibrary);

    if (!IsFirstInstance()) return false;

    Program().debugFlag = ::lstrcmpiW(commandLine.c_str(), L"DEBUG") == 0;

    OSVERSIONINFOW version = {sizeof(version)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&version);
#pragma GCC diagnostic pop
    if (version.dwPlatformId == VER_PLATFORM_WIN32s) {
        ShowWarning(4150);
        return false;
    }
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion < 4) {
        ShowWarning(4160);
        return false;
    }

    ReadRegionalValues();

    std::wstring own = ModuleDirectory();
    if (own.size() >= 3) Program().defaultStartDirectory = own.substr(0, 3);

    SetProfileLocation(L"Brennmark", L"PD");
    ::LoadLibraryW(L"RICHED32.DLL");

    if (!classRegistered) {
        HICON icon = ::LoadIconW(resourceLibrary, MAKEINTRESOURCEW(100));
        if (!fw::RegisterWindowClass(MainClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, icon,
                                     ::LoadCursor(nullptr, IDC_ARROW),
                                     reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)))
            return false;
        classRegistered = true;
    }

    Program().fileMask = L"*.*";

    mainWindow = std::make_unique<CMainWindow>();
    if (!mainWindow->CreateFrame()) {
        mainWindow.reset();
        return false;
    }
    ::UpdateWindow(mainWindow->Handle());
    return true;
}

bool CCommanderApp::IsFirstInstance()
{
    HWND running = ::FindWindowW(MainClassName, nullptr);
    if (!running) return true;
    HWND popup = ::GetLastActivePopup(running);
    if (::IsIconic(running)) ::ShowWindow(running, SW_RESTORE);
    ::SetForegroundWindow(popup ? popup : running);
    return false;
}

int CCommanderApp::Run()
{
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (fw::CDialog::PreTranslate(msg)) continue;
        if (mainWindow && mainWindow->PreTranslate(msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void CCommanderApp::DestroyMainWindow()
{
    if (mainWindow && mainWindow->Handle()) ::DestroyWindow(mainWindow->Handle());
    mainWindow.reset();
}

int CCommanderApp::ExitInstance()
{
    DestroyMainWindow();
    if (classRegistered) {
        ::UnregisterClassW(MainClassName, ::GetModuleHandle(nullptr));
        classRegistered = false;
    }
    if (resourceLibrary) {
        fw::SetResourceInstance(nullptr);
        ::FreeLibrary(resourceLibrary);
        resourceLibrary = nullptr;
    }
    if (oleReady) {
        ::OleUninitialize();
        oleReady = false;
    }
    return 0;
}
