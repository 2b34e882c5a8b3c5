// The menus of the notification-area icons: the desktop's items and the control-panel applets.
#pragma once
#include <windows.h>
#include <shobjidl.h>
#include <string>
#include <vector>

struct DesktopItem {
    std::wstring name;
    bool folder = false;
    IContextMenu* menu = nullptr;
    LPITEMIDLIST pidl = nullptr; // relative to the desktop, so absolute
};

// Non-folders before folders, each group by name, ignoring case.
void SortDesktopItems(std::vector<DesktopItem>& items);

// The desktop menu: up to 250 items of the desktop folder under menu 107, ids from 32772.
class CDesktopMenu {
public:
    CDesktopMenu() = default;
    ~CDesktopMenu();
    CDesktopMenu(const CDesktopMenu&) = delete;
    CDesktopMenu& operator=(const CDesktopMenu&) = delete;

    static constexpr size_t MaxItems = 250;
    // Reads and sorts the items; one without a name or a context menu is left out.
    void Enumerate();
    const std::vector<DesktopItem>& Items() const { return items; }
    // The pop-up menu of the items (owned by this object); null when menu 107 is missing.
    HMENU Build();
    // Shows the menu at the cursor and runs the chosen item.
    void Show(HWND owner);
    // Runs the default command of the item with this menu id.
    bool Invoke(UINT id);

private:
    std::vector<DesktopItem> items;
    HMENU bar = nullptr;
};

struct AppletEntry {
    std::wstring name, file;
    int index = 0;
};

// The applets of every "*.cpl" file in directory, sorted by name.
std::vector<AppletEntry> FindApplets(const std::wstring& directory);
// A pop-up menu of the applets, ids 1, 2, ..., a new column at every 25th.
HMENU BuildAppletMenu(const std::vector<AppletEntry>& applets);
// rundll32's parameters that open one applet.
std::wstring AppletParameters(const AppletEntry& applet);
// Opens the applet through rundll32 (error mode 0 meanwhile).
bool RunApplet(HWND owner, const AppletEntry& applet);
// The control-panel menu of the system directory's applets, shown at the cursor.
void ShowControlPanelMenu(HWND owner);
