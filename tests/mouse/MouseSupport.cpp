// Shared helpers of the mouse, drag and shell tests.
#include "mouse/MouseSupport.h"
#include "common/Settings.h"
#include <shlobj.h>
#include <shobjidl.h>

namespace mt {

void PanelPair::SetUp()
{
    AppTest::SetUp();
    WriteProfileString(L"Paden", L"Links", left.Path());
    WriteProfileString(L"Paden", L"Rechts", right.Path());
    ASSERT_TRUE(Start());
    WaitForPanels();
}

void PanelPair::Show(CFileList& panel, const std::wstring& dir)
{
    panel.SetDirectory(dir.substr(0, 3), dir);
    panel.keepMarks = false;
    panel.OnUpdate();
}

void PanelPair::Mark(CFileList& panel, const std::wstring& name, bool on)
{
    int row = test::RowOf(panel, name);
    ASSERT_GE(row, 0) << test::Narrow(name);
    panel.List().SetItemState(row, on ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void PanelPair::Cursor(CFileList& panel, const std::wstring& name)
{
    int row = test::RowOf(panel, name);
    ASSERT_GE(row, 0) << test::Narrow(name);
    panel.List().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
}

ClassKeys::ClassKeys(std::vector<std::wstring> keys) : names(std::move(keys)) { Clean(); }
ClassKeys::~ClassKeys() { Clean(); }

void ClassKeys::Clean()
{
    for (const std::wstring& name : names) {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, name.c_str());
        ::RegDeleteKeyW(HKEY_CLASSES_ROOT, name.c_str());
    }
}

bool SetClassValue(const std::wstring& key, const std::wstring& value, DWORD type)
{
    HKEY handle = nullptr;
    if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = ::RegSetValueExW(handle, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(handle);
    return rc == ERROR_SUCCESS;
}

std::wstring ClassValue(const std::wstring& key, DWORD* type)
{
    DWORD bytes = 0, found = 0;
    const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, flags, &found, nullptr, &bytes) != ERROR_SUCCESS)
        return L"<missing>";
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, flags, &found, value.data(), &bytes) != ERROR_SUCCESS)
        return L"<missing>";
    value.resize(wcslen(value.c_str()));
    if (type) *type = found;
    return value;
}

bool ClassKeyExists(const std::wstring& key)
{
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    ::RegCloseKey(handle);
    return true;
}

UINT ShellMenuId(const std::wstring& path, const std::wstring& verb)
{
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(::SHParseDisplayName(path.c_str(), nullptr, &pidl, 0, nullptr))) return 0;
    IShellFolder* parent = nullptr;
    LPCITEMIDLIST child = nullptr;
    IContextMenu* menu = nullptr;
    UINT found = 0;
    if (SUCCEEDED(::SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&parent), &child)) &&
        SUCCEEDED(parent->GetUIObjectOf(nullptr, 1, &child, IID_IContextMenu, nullptr, reinterpret_cast<void**>(&menu)))) {
        HMENU popup = ::CreatePopupMenu();
        if (SUCCEEDED(menu->QueryContextMenu(popup, 0, 1, 0x7000, CMF_NORMAL | CMF_CANRENAME))) {
            for (int i = 0, n = ::GetMenuItemCount(popup); i < n && !found; ++i) {
                UINT id = ::GetMenuItemID(popup, i);
                if (id == 0 || id == static_cast<UINT>(-1)) continue;
                wchar_t name[64] = {};
                if (SUCCEEDED(menu->GetCommandString(id - 1, GCS_VERBW, nullptr, reinterpret_cast<char*>(name), 64)) &&
                    !lstrcmpiW(name, verb.c_str()))
                    found = id;
            }
        }
        ::DestroyMenu(popup);
        menu->Release();
    }
    if (parent) parent->Release();
    ::CoTaskMemFree(pidl);
    return found;
}

namespace {
struct ChooserState {
    UINT chooseId = 0;
    int menus = 0;
    int items = 0;
    HWND answered = nullptr;
    UINT_PTR timer = 0;
};
ChooserState* chooser = nullptr;

BOOL CALLBACK FindMenuWindow(HWND wnd, LPARAM lp)
{
    wchar_t cls[16] = {};
    ::GetClassNameW(wnd, cls, 16);
    if (!lstrcmpW(cls, L"#32768") && ::IsWindowVisible(wnd)) {
        *reinterpret_cast<HWND*>(lp) = wnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ChooserTick(HWND, UINT, UINT_PTR, DWORD)
{
    if (!chooser) return;
    HWND menuWnd = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&menuWnd));
    if (!menuWnd || menuWnd == chooser->answered) return;
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(menuWnd, MN_GETHMENU, 0, 0));
    if (!menu) return;
    chooser->answered = menuWnd;
    ++chooser->menus;
    chooser->items = ::GetMenuItemCount(menu);
    int position = -1;
    for (int i = 0; i < chooser->items && chooser->chooseId; ++i)
        if (::GetMenuItemID(menu, i) == chooser->chooseId) position = i;
    RECT item = {};
    if (position < 0 || !::GetMenuItemRect(nullptr, menu, static_cast<UINT>(position), &item)) {
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, keys, sizeof(INPUT));
        return;
    }
    MouseTo({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    MouseButton(true);
    MouseButton(false);
}
}

MenuChooser::MenuChooser(UINT chooseId)
{
    chooser = new ChooserState{chooseId};
    chooser->timer = ::SetTimer(nullptr, 0, 50, ChooserTick);
}

MenuChooser::~MenuChooser()
{
    ::KillTimer(nullptr, chooser->timer);
    delete chooser;
    chooser = nullptr;
}

int MenuChooser::MenusSeen() const { return chooser->menus; }
int MenuChooser::LastItemCount() const { return chooser->items; }

void MouseTo(POINT screen)
{
    INPUT move = {};
    move.type = INPUT_MOUSE;
    int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    move.mi.dx = static_cast<LONG>((screen.x * 65536LL + w / 2) / w);
    move.mi.dy = static_cast<LONG>((screen.y * 65536LL + h / 2) / h);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &move, sizeof(INPUT));
}

void MouseButton(bool down)
{
    INPUT press = {};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &press, sizeof(INPUT));
}

} // namespace mt
