// What the panel hands to the shell: file types, desktop shortcuts and the right button's menus.
#include "panel/FileList.h"
#include "common/Program.h"
#include "common/RecentDirectories.h"
#include "common/Settings.h"
#include "fileops/AssociateDialog.h"
#include "fileops/FileSystem.h"
#include "fileops/FileTypes.h"
#include "fileops/OperationUi.h"
#include "fileops/PathRules.h"
#include "fileops/Shortcut.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include <shlobj.h>
#include <shobjidl.h>

namespace {
std::wstring ErrorText(HRESULT hr)
{
    DWORD code = HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : static_cast<DWORD>(hr);
    std::wstring text = SystemErrorText(code);
    return text.empty() ? std::wstring() : L"\n\n" + text;
}

template <typename T> struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { if (p) p->Release(); }
    T* operator->() const { return p; }
    void** Out() { return reinterpret_cast<void**>(&p); }
};

struct ItemIdList {
    LPITEMIDLIST p = nullptr;
    ItemIdList() = default;
    ItemIdList(const ItemIdList&) = delete;
    ItemIdList& operator=(const ItemIdList&) = delete;
    ~ItemIdList() { ::CoTaskMemFree(p); }
};

// The second and third versions of the menu interface, for as long as the menu is open.
struct OpenMenu {
    IContextMenu2* second = nullptr;
    IContextMenu3* third = nullptr;
};
}

void CFileList::EditAssociation()
{
    if (drive == L"FTP") return ShowWarning(IDS_NOTONFTP);
    const FileEntry* entry = Entry(list.GetFocusedItem());
    if (!entry || entry->kind != EntryFile) return ShowWarning(IDS_NOENTRY);
    std::wstring extension = ExtensionOf(LastPart(entry->name));
    if (extension.empty()) return ShowWarning(IDS_ASSOC_NOEXTENSION);
    FileType type;
    if (int refusal = ReadFileType(HKEY_CLASSES_ROOT, extension, type)) return ShowWarning(refusal);

    CAssociateDialog dialog;
    dialog.extension = extension;
    dialog.description = type.description;
    dialog.command = type.command;
    {
        HelpContextScope help(IDM_ASSOCIATE);
        if (dialog.DoModal(context.owner) != IDOK) return;
    }
    std::wstring newName = type.typeName.empty() ? NewTypeName(extension, fw::LoadStr(IDS_ASSOC_TYPESUFFIX)) : L"";
    int refusal = 0;
    LONG rc = WriteFileType(HKEY_CLASSES_ROOT, type, dialog.description, dialog.command, newName, refusal);
    if (refusal) return ShowWarning(refusal);
    if (rc != ERROR_SUCCESS) {
        std::wstring name = type.typeName.empty() ? newName : type.typeName;
        ShowMessage(context.owner, fw::LoadStr(IDS_ASSOC_WRITEFAILED) + name + ErrorText(HRESULT_FROM_WIN32(rc)),
                    MB_OK | MB_ICONSTOP);
        return;
    }
    ::SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
    keepMarks = false;
}

HRESULT CFileList::CreateShortcut()
{
    if (drive == L"FTP") {
        ShowWarning(IDS_NOTONFTP);
        return E_ABORT;
    }
    const FileEntry* entry = Entry(list.GetFocusedItem());
    if (!entry) return S_FALSE;
    if (entry->kind == EntryParent) {
        ShowWarning(IDS_COPY_NOTHING);
        return E_ABORT;
    }
    std::wstring desktop = DesktopDirectory();
    if (desktop.empty()) {
        ShowWarning(IDS_SHORTCUT_NODESKTOP);
        return E_FAIL;
    }
    std::wstring full = FullName(*entry);
    std::wstring base = fw::LoadStr(IDS_SHORTCUT_PREFIX) + LastPart(full);
    std::wstring link;
    HRESULT hr;
    {
        fw::WaitCursor wait;
        hr = SaveShortcut(desktop, base, full, path, link);
    }
    if (FAILED(hr))
        ShowMessage(context.owner, fw::LoadStr(IDS_SHORTCUT_FAILED) + JoinPath(desktop, base + L".lnk") + ErrorText(hr),
                    MB_OK | MB_ICONSTOP);
    return hr;
}

void CFileList::OnRightButton(int row, POINT screenPoint)
{
    if (BusyCount() > 0) return;
    const FileEntry* clicked = Entry(row);
    if (!clicked) return;
    int files = 0, directories = 0;
    for (int r = 0; r < RowCount(); ++r) {
        if (!IsMarked(r)) continue;
        int kind = Entry(r)->kind;
        if (kind == EntryFile) ++files;
        else if (kind == EntryDirectory) ++directories;
    }
    if (files + directories == 0 && clicked->kind != EntryParent) return ShowWarning(IDS_MENU_NOTHING);
    bool shellMenu = GetProfileInt(L"Algemeen", L"ContextMenus", IDC_CFG_MENU_SHELL) != IDC_CFG_MENU_OWN;
    if (shellMenu && drive != L"FTP") {
        if (clicked->kind == EntryParent) return ShowWarning(IDS_COPY_NOTHING);
        ShowShellMenu(*clicked, screenPoint);
        return;
    }
    if (files + directories == 0) return ShowWarning(IDS_MENU_NOTHING);
    if (files > 0 && directories > 0) return ShowWarning(IDS_MENU_NOTHING);
    if (drive == L"FTP") return ShowWarning(IDS_NOTONFTP);
    if (::GetFileAttributesW(LongPath(FullName(*clicked)).c_str()) == INVALID_FILE_ATTRIBUTES)
        return ShowWarning(IDS_MENU_NOATTRIBUTES);
    OperationState* state = context.operation;
    if (state) state->busy = true;
    if (files == 1) EditAttributes();
    else if (files > 1) EditAttributesAll();
    else if (directories == 1) EditDirAttributes();
    else EditDirAttributesAll();
    if (state) state->busy = false;
}

void CFileList::ShowShellMenu(const FileEntry& entry, POINT screenPoint)
{
    std::wstring full = FullName(entry);
    ItemIdList item;
    ComPtr<IShellFolder> parent;
    LPCITEMIDLIST child = nullptr;
    ComPtr<IContextMenu> menu;
    HRESULT hr = ::SHParseDisplayName(full.c_str(), nullptr, &item.p, 0, nullptr);
    if (SUCCEEDED(hr)) hr = ::SHBindToParent(item.p, IID_IShellFolder, parent.Out(), &child);
    if (SUCCEEDED(hr)) hr = parent->GetUIObjectOf(hwnd, 1, &child, IID_IContextMenu, nullptr, menu.Out());
    if (FAILED(hr) || !menu.p) {
        ShowMessage(context.owner, fw::LoadStr(IDS_MENU_FAILED) + full + ErrorText(hr), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ComPtr<IContextMenu2> second;
    ComPtr<IContextMenu3> third;
    menu->QueryInterface(IID_IContextMenu2, second.Out());
    menu->QueryInterface(IID_IContextMenu3, third.Out());

    HMENU popup = ::CreatePopupMenu();
    UINT chosen = 0;
    if (SUCCEEDED(menu->QueryContextMenu(popup, 0, 1, 0x7000, CMF_NORMAL | CMF_CANRENAME))) {
        contextMenu = second.p;
        contextMenu3 = third.p;
        chosen = static_cast<UINT>(::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, screenPoint.x,
                                                    screenPoint.y, 0, hwnd, nullptr));
        contextMenu = nullptr;
        contextMenu3 = nullptr;
    }
    if (chosen > 0) {
        wchar_t verb[64] = {};
        bool named = SUCCEEDED(menu->GetCommandString(chosen - 1, GCS_VERBW, nullptr, reinterpret_cast<char*>(verb),
                                                      ARRAYSIZE(verb)));
        if (named && ::lstrcmpiW(verb, L"rename") == 0) {
            ::DestroyMenu(popup);
            RenameEntry(entry);
            return;
        }
        RecordRecentDirectory(path);
        CMINVOKECOMMANDINFOEX info = {};
        info.cbSize = sizeof(info);
        info.fMask = CMIC_MASK_UNICODE;
        info.hwnd = context.owner ? context.owner : hwnd;
        info.lpVerb = MAKEINTRESOURCEA(chosen - 1);
        info.lpVerbW = MAKEINTRESOURCEW(chosen - 1);
        info.nShow = SW_SHOWNORMAL;
        info.ptInvoke = screenPoint;
        {
            fw::ErrorModeScope errors(0);
            menu->InvokeCommand(reinterpret_cast<CMINVOKECOMMANDINFO*>(&info));
        }
        keepMarks = false;
        if (!showsFoundFiles && context.owner)
            ::PostMessageW(context.owner, pm::DriveStatistics, reinterpret_cast<WPARAM>(hwnd), 0);
    }
    ::DestroyMenu(popup);
}

bool CFileList::ForwardMenuMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    if (msg == WM_DRAWITEM && reinterpret_cast<DRAWITEMSTRUCT*>(lp)->CtlType != ODT_MENU) return false;
    if (msg == WM_MEASUREITEM && reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->CtlType != ODT_MENU) return false;
    if (contextMenu3 && SUCCEEDED(contextMenu3->HandleMenuMsg2(msg, wp, lp, &result))) return true;
    if (msg == WM_MENUCHAR) return false;
    if (contextMenu && SUCCEEDED(contextMenu->HandleMenuMsg(msg, wp, lp))) {
        result = msg == WM_INITMENUPOPUP ? 0 : TRUE;
        return true;
    }
    return false;
}
