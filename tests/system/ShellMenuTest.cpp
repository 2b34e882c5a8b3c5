// The desktop menu on a desktop folder of the test's own, and the control-panel menu.
#include "frame/ShellMenus.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include "system/RecordingActions.h"
#include "resource.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {
const wchar_t* const ShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::wstring ReadValue(HKEY root, const wchar_t* key, const wchar_t* name)
{
    wchar_t value[1024] = {};
    DWORD size = sizeof(value);
    if (::RegGetValueW(root, key, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value, &size) !=
        ERROR_SUCCESS)
        return {};
    return value;
}

void WriteValue(HKEY root, const wchar_t* key, const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ)
{
    HKEY handle = nullptr;
    ::RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr);
    ::RegSetValueExW(handle, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
}

struct MenuItem {
    std::wstring text;
    bool separator = false, columnBreak = false;
    UINT id = 0;
};

std::vector<MenuItem> Items(HMENU menu)
{
    std::vector<MenuItem> items;
    for (int i = 0, n = ::GetMenuItemCount(menu); i < n; ++i) {
        wchar_t text[300] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 300;
        ::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        items.push_back({text, (info.fType & MFT_SEPARATOR) != 0, (info.fType & MFT_MENUBARBREAK) != 0, info.wID});
    }
    return items;
}

class ShellMenus : public testing::Test {
protected:
    // The shell keeps the desktop's path for the life of the process: one folder serves the suite.
    static void SetUpTestSuite()
    {
        desktop = new test::TempDir;
        saved = ReadValue(HKEY_CURRENT_USER, ShellFolders, L"Desktop");
        WriteValue(HKEY_CURRENT_USER, ShellFolders, L"Desktop", desktop->Path(), REG_EXPAND_SZ);
    }
    static void TearDownTestSuite()
    {
        if (saved.empty()) {
            HKEY key = nullptr;
            if (::RegOpenKeyExW(HKEY_CURRENT_USER, ShellFolders, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                ::RegDeleteValueW(key, L"Desktop");
                ::RegCloseKey(key);
            }
        } else {
            WriteValue(HKEY_CURRENT_USER, ShellFolders, L"Desktop", saved, REG_EXPAND_SZ);
        }
        delete desktop;
        desktop = nullptr;
    }
    void SetUp() override
    {
        ::CoInitialize(nullptr);
        // Menu 107 comes from the resource library.
        resources = ::LoadLibraryW((test::BinDirectory() + L"\\PDDLL.DLL").c_str());
        ASSERT_NE(resources, nullptr);
        fw::SetResourceInstance(resources);
    }
    void TearDown() override
    {
        fw::SetResourceInstance(nullptr);
        if (resources) ::FreeLibrary(resources);
        ::CoUninitialize();
    }
    HMODULE resources = nullptr;
    static test::TempDir* desktop;
    static std::wstring saved;
};
test::TempDir* ShellMenus::desktop = nullptr;
std::wstring ShellMenus::saved;
}

TEST_F(ShellMenus, TheDesktopMenuPutsFilesFirstAndStartsAColumnAtThe26thItem)
{
    for (int i = 0; i < 29; ++i) ASSERT_TRUE(test::MakeFile(*desktop / (L"file" + std::to_wstring(100 + i) + L".txt")));
    ASSERT_TRUE(test::MakeFile(*desktop / L"\u0392\u03AE\u03C4\u03B1.txt"));
    CDesktopMenu menu;
    menu.Enumerate();
    const std::vector<DesktopItem>& items = menu.Items();
    ASSERT_GE(items.size(), 30u);
    for (size_t i = 0; i < 30; ++i) EXPECT_FALSE(items[i].folder) << i;
    for (size_t i = 30; i < items.size(); ++i) EXPECT_TRUE(items[i].folder) << i;
    EXPECT_EQ(items[0].name.substr(0, 7), L"file100");
    EXPECT_EQ(items[29].name.substr(0, 4), L"\u0392\u03AE\u03C4\u03B1");
    HMENU popup = menu.Build();
    ASSERT_NE(popup, nullptr);
    std::vector<MenuItem> shown = Items(popup);
    ASSERT_EQ(shown.size(), items.size() + 1); // one separator between files and folders
    EXPECT_EQ(shown[0].id, static_cast<UINT>(IDM_DESKTOP_FIRST));
    EXPECT_TRUE(shown[30].separator);
    for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i].columnBreak, i == 25) << i;
    EXPECT_EQ(shown[29].text, items[29].name);
    EXPECT_EQ(::GetMenuState(popup, IDM_DESKTOP_PLACEHOLDER, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(ShellMenus, ADesktopItemRunsItsDefaultCommand)
{
    // A command script is opened by the interpreter.
    WriteValue(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.cmd", nullptr, L"cmdfile");
    if (ReadValue(HKEY_LOCAL_MACHINE, L"Software\\Classes\\cmdfile\\shell\\open\\command", nullptr).empty())
        WriteValue(HKEY_LOCAL_MACHINE, L"Software\\Classes\\cmdfile\\shell\\open\\command", nullptr, L"\"%1\" %*");
    std::wstring marker = *desktop / L"marker.out";
    ASSERT_TRUE(test::MakeFile(*desktop / L"run.cmd", "echo ran > \"" + test::Narrow(marker) + "\"\r\n"));
    CDesktopMenu menu;
    menu.Enumerate();
    auto found = std::find_if(menu.Items().begin(), menu.Items().end(),
                              [](const DesktopItem& item) { return item.name.rfind(L"run", 0) == 0; });
    ASSERT_NE(found, menu.Items().end());
    test::DialogAnswerer errors(L"#32770", IDOK); // a shell error box must not hold the run
    ASSERT_TRUE(menu.Invoke(IDM_DESKTOP_FIRST + static_cast<UINT>(found - menu.Items().begin())));
    EXPECT_EQ(errors.Answered(), 0) << errors.LastText();
    EXPECT_TRUE(test::PumpUntil([&] { return ::GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000));
    EXPECT_FALSE(menu.Invoke(IDM_DESKTOP_FIRST + 1000));
    ::DeleteFileW((*desktop / L"run.cmd").c_str());
    ::DeleteFileW(marker.c_str());
}

TEST_F(ShellMenus, TheControlPanelMenuListsTheSystemsAppletsAndOurs)
{
    wchar_t system[MAX_PATH] = {};
    ::GetSystemDirectoryW(system, MAX_PATH);
    std::vector<AppletEntry> wine = FindApplets(system);
    auto named = [&](const std::wstring& name) {
        return std::any_of(wine.begin(), wine.end(), [&](const AppletEntry& a) { return a.name == name; });
    };
    EXPECT_TRUE(named(L"Game Controllers"));
    EXPECT_TRUE(named(L"Internet Settings"));

    test::TempDir applets;
    std::wstring source = test::BinDirectory() + L"\\pdtestapplet.cpl";
    ASSERT_TRUE(::CopyFileW(source.c_str(), (applets / L"wide.cpl").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(source.c_str(), (applets / L"empty.cpl").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(source.c_str(), (applets / L"refuse.cpl").c_str(), FALSE));
    ASSERT_TRUE(test::MakeFile(applets / L"broken.cpl", "not a library"));
    std::wstring log = applets / L"calls.log";
    ::SetEnvironmentVariableW(L"PD_CPL_LOG", log.c_str());
    std::vector<AppletEntry> found = FindApplets(applets.Path());
    ::SetEnvironmentVariableW(L"PD_CPL_LOG", nullptr);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, L"\u03A4\u03B5\u03C3\u03C4 Applet");
    EXPECT_EQ(found[0].file, applets / L"wide.cpl");
    EXPECT_EQ(found[0].index, 0);
    // Every applet is started before it is asked and stopped before it is unloaded; one that
    // refuses to start is asked nothing more.
    std::string calls = test::ReadAll(log);
    EXPECT_NE(calls.find("wide.cpl 1\nwide.cpl 2\nwide.cpl 3\nwide.cpl 8\nwide.cpl 7\n"), std::string::npos) << calls;
    EXPECT_NE(calls.find("empty.cpl 1\nempty.cpl 2\nempty.cpl 7\n"), std::string::npos) << calls;
    EXPECT_NE(calls.find("refuse.cpl 1\n"), std::string::npos) << calls;
    EXPECT_EQ(calls.find("refuse.cpl 2"), std::string::npos) << calls;

    test::RecordingActions actions;
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_TRUE(RunApplet(nullptr, found[0]));
    EXPECT_EQ(actions.Calls(),
              (std::vector<std::wstring>{L"rundll32 shell32.dll,Control_RunDLL " + applets / L"wide.cpl" + L",@0"}));
    EXPECT_EQ(actions.errorModeAtRundll, 0u);
    EXPECT_EQ(::GetErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));

    std::vector<AppletEntry> many(30, found[0]);
    HMENU popup = BuildAppletMenu(many);
    std::vector<MenuItem> items = Items(popup);
    ::DestroyMenu(popup);
    ASSERT_EQ(items.size(), 30u);
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, i + 1);
        EXPECT_EQ(items[i].columnBreak, i == 25) << i;
    }
}
