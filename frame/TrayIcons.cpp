// The three notification-area icons of the main window.
#include "frame/TrayIcons.h"
#include "common/Settings.h"
#include "frame/SystemActions.h"
#include "framework/Resources.h"
#include "resource.h"

namespace {
struct IconKind {
    UINT icon;
    const wchar_t* tip;
    UINT callback;
};
const IconKind Kinds[3] = {
    {IDI_STOPICON, L"Windows Shutdown", pm::TrayStop},
    {IDI_MENUICON, L"Desktop Menu", pm::TrayMenu},
    {IDI_CPLICON, L"Control Panel Menu", pm::TrayControlPanel},
};

NOTIFYICONDATAW IconData(HWND owner, int id)
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = owner;
    data.uID = static_cast<UINT>(id);
    return data;
}
}

bool CTrayIcons::Add(HWND owner, int id)
{
    if (id < 1 || id > 3 || shown[id - 1]) return false;
    const IconKind& kind = Kinds[id - 1];
    NOTIFYICONDATAW data = IconData(owner, id);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kind.callback;
    data.hIcon = static_cast<HICON>(::LoadImageW(fw::ResourceInstance(), MAKEINTRESOURCEW(kind.icon), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                 LR_SHARED));
    lstrcpynW(data.szTip, kind.tip, ARRAYSIZE(data.szTip));
    shown[id - 1] = SystemActions().NotifyIcon(NIM_ADD, data);
    return shown[id - 1];
}

bool CTrayIcons::Remove(HWND owner, int id)
{
    if (id < 1 || id > 3 || !shown[id - 1]) return false;
    NOTIFYICONDATAW data = IconData(owner, id);
    SystemActions().NotifyIcon(NIM_DELETE, data);
    shown[id - 1] = false;
    return true;
}

void CTrayIcons::Apply(HWND owner, bool stop, bool menu, bool controlPanel)
{
    const bool wanted[3] = {stop, menu, controlPanel};
    for (int id = 1; id <= 3; ++id) {
        if (wanted[id - 1] && !shown[id - 1]) Add(owner, id);
        if (!wanted[id - 1] && shown[id - 1]) Remove(owner, id);
    }
}

void CTrayIcons::RemoveAll(HWND owner)
{
    for (int id = 1; id <= 3; ++id) Remove(owner, id);
}

void CTrayIcons::ApplyStoredOptions(HWND owner)
{
    Apply(owner, GetProfileInt(L"Algemeen", L"StopIcon", 1) != 0, GetProfileInt(L"Algemeen", L"MenuIcon", 1) != 0,
          GetProfileInt(L"Algemeen", L"CPLIcon", 1) != 0);
}
