// The menus of the notification-area icons: the desktop's items and the control-panel applets.
#include "frame/ShellMenus.h"
#include "common/Program.h"
#include "frame/SystemActions.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include <cpl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <algorithm>

namespace {
constexpr size_t ItemsPerColumn = 25;

// Pops a menu up at the cursor and returns the chosen id, 0 when none.
UINT TrackAtCursor(HWND owner, HMENU popup)
{
    POINT at;
    ::GetCursorPos(&at);
    ::SetForegroundWindow(owner);
    UINT chosen = static_cast<UINT>(
        ::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
    // Lets the menu close properly when the user clicks elsewhere.
    ::PostMessageW(owner, WM_NULL, 0, 0);
    return chosen;
}

std::wstring StrRetText(STRRET& value, LPCITEMIDLIST pidl)
{
    wchar_t* text = nullptr;
    if (FAILED(::StrRetToStrW(&value, pidl, &text)) || !text) return {};
    std::wstring result = text;
    ::CoTaskMemFree(text);
    return result;
}
}

void SortDesktopItems(std::vector<DesktopItem>& items)
{
    std::stable_sort(items.begin(), items.end(), [](const DesktopItem& a, const DesktopItem& b) {
        if (a.folder != b.folder) return !a.folder;
        return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.name.c_str(), -1, b.name.c_str(), -1) ==
               CSTR_LESS_THAN;
    });
}

CDesktopMenu::~CDesktopMenu()
{
    for (DesktopItem& item : items) {
        if (item.menu) item.menu->Release();
        if (item.pidl) ::CoTaskMemFree(item.pidl);
    }
    if (bar) ::DestroyMenu(bar);
}

void CDesktopMenu::Enumerate()
{
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop))) return;
    IEnumIDList* list = nullptr;
    if (desktop->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, &list) == S_OK && list) {
        LPITEMIDLIST pidl = nullptr;
        ULONG got = 0;
        while (items.size() < MaxItems && list->Next(1, &pidl, &got) == S_OK) {
            DesktopItem item;
            item.pidl = pidl;
            STRRET name = {};
            LPCITEMIDLIST one[1] = {pidl};
            if (SUCCEEDED(desktop->GetDisplayNameOf(pidl, SHGDN_NORMAL, &name))) item.name = StrRetText(name, pidl);
            SFGAOF attributes = SFGAO_FOLDER;
            if (SUCCEEDED(desktop->GetAttributesOf(1, one, &attributes))) item.folder = (attributes & SFGAO_FOLDER) != 0;
            desktop->GetUIObjectOf(nullptr, 1, one, IID_IContextMenu, nullptr, reinterpret_cast<void**>(&item.menu));
            if (item.name.empty() || !item.menu) {
                if (item.menu) item.menu->Release();
                ::CoTaskMemFree(pidl);
                continue;
            }
            items.push_back(item);
        }
        list->Release();
    }
    desktop->Release();
    SortDesktopItems(items);
}

HMENU CDesktopMenu::Build()
{
    if (bar) ::DestroyMenu(bar);
    bar = ::LoadMenuW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDR_DESKTOPMENU));
    HMENU popup = bar ? ::GetSubMenu(bar, 0) : nullptr;
    if (!popup) return nullptr;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0 && items[i].folder && !items[i - 1].folder)
            ::InsertMenuW(popup, IDM_DESKTOP_PLACEHOLDER, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
        UINT flags = MF_BYCOMMAND | MF_STRING;
        if (i > 0 && i % ItemsPerColumn == 0) flags |= MF_MENUBARBREAK;
        ::InsertMenuW(popup, IDM_DESKTOP_PLACEHOLDER, flags, IDM_DESKTOP_FIRST + i, items[i].name.c_str());
    }
    ::DeleteMenu(popup, IDM_DESKTOP_PLACEHOLDER, MF_BYCOMMAND);
    return popup;
}

void CDesktopMenu::Show(HWND owner)
{
    HMENU popup = Build();
    if (!popup) return;
    UINT chosen = TrackAtCursor(owner, popup);
    if (chosen >= IDM_DESKTOP_FIRST) Invoke(chosen);
}

bool CDesktopMenu::Invoke(UINT id)
{
    if (id < IDM_DESKTOP_FIRST || id - IDM_DESKTOP_FIRST >= items.size()) return false;
    const DesktopItem& item = items[id - IDM_DESKTOP_FIRST];
    HMENU temporary = ::CreatePopupMenu();
    bool done = false;
    if (SUCCEEDED(item.menu->QueryContextMenu(temporary, 0, 1, 0x7FFF, CMF_NORMAL))) {
        // The menu's default command; the first one only when it names none.
        UINT chosen = ::GetMenuDefaultItem(temporary, FALSE, 0);
        for (int i = 0, n = ::GetMenuItemCount(temporary); chosen == static_cast<UINT>(-1) && i < n; ++i) {
            UINT itemId = ::GetMenuItemID(temporary, i);
            if (itemId != 0 && itemId != static_cast<UINT>(-1)) chosen = itemId;
        }
        if (chosen != static_cast<UINT>(-1) && chosen >= 1) {
            wchar_t verb[64] = {};
            bool named = SUCCEEDED(item.menu->GetCommandString(chosen - 1, GCS_VERBW, nullptr,
                                                               reinterpret_cast<char*>(verb), 64)) && verb[0];
            fw::ErrorModeScope errors(0);
            if (named) {
                // By verb through the shell: some shells' menus carry out only their own built-in commands.
                SHELLEXECUTEINFOW info = {};
                info.cbSize = sizeof(info);
                info.fMask = SEE_MASK_IDLIST;
                info.hwnd = ::GetDesktopWindow();
                info.lpVerb = verb;
                info.lpIDList = item.pidl;
                info.nShow = SW_SHOWNORMAL;
                done = ::ShellExecuteExW(&info) != FALSE;
            }
            if (!done) {
                CMINVOKECOMMANDINFO info = {};
                info.cbSize = sizeof(info);
                info.hwnd = ::GetDesktopWindow();
                info.lpVerb = MAKEINTRESOURCEA(chosen - 1);
                info.nShow = SW_SHOWNORMAL;
                done = SUCCEEDED(item.menu->InvokeCommand(&info));
            }
        }
    }
    ::DestroyMenu(temporary);
    return done;
}

std::vector<AppletEntry> FindApplets(const std::wstring& directory)
{
    std::vector<AppletEntry> applets;
    std::wstring base = directory;
    if (!base.empty() && base.back() != L'\\') base += L'\\';
    WIN32_FIND_DATAW data;
    fw::UniqueFind find(::FindFirstFileW((base + L"*.cpl").c_str(), &data));
    if (!find) return applets;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::wstring file = base + data.cFileName;
        fw::UniqueModule module(::LoadLibraryW(file.c_str()));
        if (!module) continue;
        auto applet = reinterpret_cast<APPLET_PROC>(::GetProcAddress(module.Get(), "CPlApplet"));
        if (!applet) continue;
        if (applet(nullptr, CPL_INIT, 0, 0) == 0) continue;
        LONG count = applet(nullptr, CPL_GETCOUNT, 0, 0);
        for (LONG i = 0; i < count; ++i) {
            CPLINFO info = {};
            applet(nullptr, CPL_INQUIRE, i, reinterpret_cast<LPARAM>(&info));
            std::wstring name;
            if (info.idName) {
                const wchar_t* text = nullptr;
                int n = ::LoadStringW(module.Get(), static_cast<UINT>(info.idName), reinterpret_cast<wchar_t*>(&text), 0);
                if (n > 0 && text) name.assign(text, static_cast<size_t>(n));
            }
            if (name.empty()) {
                NEWCPLINFOW wide = {};
                wide.dwSize = sizeof(wide);
                applet(nullptr, CPL_NEWINQUIRE, i, reinterpret_cast<LPARAM>(&wide));
                if (wide.dwSize == sizeof(NEWCPLINFOA)) {
                    const auto& narrow = reinterpret_cast<const NEWCPLINFOA&>(wide);
                    int n = ::MultiByteToWideChar(CP_ACP, 0, narrow.szName, -1, nullptr, 0);
                    if (n > 1) {
                        name.resize(static_cast<size_t>(n));
                        ::MultiByteToWideChar(CP_ACP, 0, narrow.szName, -1, name.data(), n);
                        name.resize(static_cast<size_t>(n - 1));
                    }
                } else {
                    wide.szName[ARRAYSIZE(wide.szName) - 1] = 0;
                    name = wide.szName;
                }
            }
            size_t amp = name.find(L'&');
            if (amp != std::wstring::npos) name.erase(amp, 1);
            if (!name.empty()) applets.push_back({name, file, static_cast<int>(i)});
        }
        applet(nullptr, CPL_EXIT, 0, 0);
    } while (::FindNextFileW(find.Get(), &data));
    std::stable_sort(applets.begin(), applets.end(), [](const AppletEntry& a, const AppletEntry& b) {
        return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.name.c_str(), -1, b.name.c_str(), -1) ==
               CSTR_LESS_THAN;
    });
    return applets;
}

HMENU BuildAppletMenu(const std::vector<AppletEntry>& applets)
{
    HMENU popup = ::CreatePopupMenu();
    for (size_t i = 0; i < applets.size(); ++i) {
        UINT flags = MF_STRING;
        if (i > 0 && i % ItemsPerColumn == 0) flags |= MF_MENUBARBREAK;
        ::AppendMenuW(popup, flags, i + 1, applets[i].name.c_str());
    }
    return popup;
}

std::wstring AppletParameters(const AppletEntry& applet)
{
    return fw::Format(L"shell32.dll,Control_RunDLL %ls,@%d", applet.file.c_str(), applet.index);
}

bool RunApplet(HWND owner, const AppletEntry& applet)
{
    fw::ErrorModeScope errors(0);
    return SystemActions().StartRundll(owner, AppletParameters(applet));
}

void ShowControlPanelMenu(HWND owner)
{
    std::vector<AppletEntry> applets;
    {
        fw::WaitCursor wait;
        wchar_t system[MAX_PATH] = {};
        UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
        applets = FindApplets(std::wstring(system, n < MAX_PATH ? n : 0));
    }
    if (applets.empty()) {
        ShowMessage(owner, fw::LoadStr(IDS_CPL_NONE), MB_OK | MB_ICONINFORMATION);
        return;
    }
    HMENU popup = BuildAppletMenu(applets);
    UINT chosen = TrackAtCursor(owner, popup);
    ::DestroyMenu(popup);
    if (chosen >= 1 && chosen <= applets.size()) RunApplet(owner, applets[chosen - 1]);
}
