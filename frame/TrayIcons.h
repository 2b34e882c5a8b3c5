// The three notification-area icons of the main window: shutdown, desktop menu, control-panel menu.
#pragma once
#include <windows.h>

// The callback messages of icons 1, 2 and 3.
namespace pm {
constexpr UINT TrayStop = WM_USER + 22;
constexpr UINT TrayMenu = WM_USER + 23;
constexpr UINT TrayControlPanel = WM_USER + 55;
}

class CTrayIcons {
public:
    // id: 1 shutdown, 2 desktop menu, 3 control-panel menu.
    bool Add(HWND owner, int id);
    bool Remove(HWND owner, int id);
    bool IsShown(int id) const { return id >= 1 && id <= 3 && shown[id - 1]; }
    // Adds the icons whose option is on and removes the others.
    void Apply(HWND owner, bool stop, bool menu, bool controlPanel);
    void RemoveAll(HWND owner);
    // The options "StopIcon", "MenuIcon", "CPLIcon" as they are now stored.
    void ApplyStoredOptions(HWND owner);

private:
    bool shown[3] = {};
};
