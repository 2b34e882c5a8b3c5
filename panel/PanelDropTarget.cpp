// The OLE side of a drop: the data's file list goes to the panel as a request of its own, so
// the copy runs after the dragging program got its answer.
#include "panel/PanelDropTarget.h"
#include "panel/FileList.h"
#include "panel/PanelRequests.h"
#include <shellapi.h>
#include <shlobj.h>
#include <new>
#include <string>
#include <vector>

namespace {
FORMATETC FileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }
}

HRESULT CPanelDropTarget::QueryInterface(REFIID riid, void** out)
{
    if (!out) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG CPanelDropTarget::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references)); }

ULONG CPanelDropTarget::Release()
{
    LONG left = ::InterlockedDecrement(&references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

DWORD CPanelDropTarget::Track(POINTL point, DWORD allowed)
{
    if (!carriesFiles || !panel.AcceptsDrops() || !(allowed & DROPEFFECT_COPY)) {
        panel.SetDropHighlight(-1);
        return DROPEFFECT_NONE;
    }
    POINT client = {point.x, point.y};
    ::ScreenToClient(panel.Handle(), &client);
    int row = panel.RowFromPoint(client.x, client.y);
    const FileEntry* entry = panel.Entry(row);
    panel.SetDropHighlight(entry && entry->kind == EntryDirectory ? row : -1);
    return DROPEFFECT_COPY;
}

HRESULT CPanelDropTarget::DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect)
{
    FORMATETC format = FileListFormat();
    carriesFiles = data && data->QueryGetData(&format) == S_OK;
    *effect = Track(point, *effect);
    return S_OK;
}

HRESULT CPanelDropTarget::DragOver(DWORD, POINTL point, DWORD* effect)
{
    *effect = Track(point, *effect);
    return S_OK;
}

HRESULT CPanelDropTarget::DragLeave()
{
    panel.SetDropHighlight(-1);
    carriesFiles = false;
    return S_OK;
}

HRESULT CPanelDropTarget::Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect)
{
    *effect = Track(point, *effect);
    int row = panel.DropHighlight();
    panel.SetDropHighlight(-1);
    carriesFiles = false;
    if (*effect == DROPEFFECT_NONE || !data) return S_OK;
    FORMATETC format = FileListFormat();
    STGMEDIUM medium = {};
    if (FAILED(data->GetData(&format, &medium))) {
        *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    auto* items = new (std::nothrow) std::vector<std::wstring>;
    if (items) {
        auto drop = static_cast<HDROP>(medium.hGlobal);
        UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
            std::wstring name(length + 1, L'\0');
            name.resize(::DragQueryFileW(drop, i, name.data(), length + 1));
            if (!name.empty()) items->push_back(name);
        }
    }
    ::ReleaseStgMedium(&medium);
    // The copy runs once the dragging program has its answer, not inside its drag loop.
    if (!items || items->empty() ||
        !::PostMessageW(panel.Handle(), req::ReceiveShellDrop, reinterpret_cast<WPARAM>(items), static_cast<LPARAM>(row))) {
        delete items;
        *effect = DROPEFFECT_NONE;
    }
    return S_OK;
}

namespace {
// Drops when the button comes up, cancels on Escape; the system's cursors.
class CPanelDropSource final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG left = ::InterlockedDecrement(&references);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        if (escape) return DRAGDROP_S_CANCEL;
        return keys & (MK_LBUTTON | MK_RBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    LONG references = 1;
};
}

DWORD DragOutWithShell(HWND owner, const std::vector<std::wstring>& paths)
{
    std::vector<LPITEMIDLIST> absolute;
    std::vector<LPCITEMIDLIST> children;
    IShellFolder* parent = nullptr;
    for (const std::wstring& p : paths) {
        LPITEMIDLIST pidl = nullptr;
        if (FAILED(::SHParseDisplayName(p.c_str(), nullptr, &pidl, 0, nullptr))) continue;
        absolute.push_back(pidl);
        IShellFolder* folder = nullptr;
        LPCITEMIDLIST child = nullptr;
        if (FAILED(::SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&folder), &child))) continue;
        if (!parent) parent = folder;
        else folder->Release();
        children.push_back(child);
    }
    DWORD effect = DROPEFFECT_NONE;
    IDataObject* data = nullptr;
    if (parent && !children.empty() &&
        SUCCEEDED(parent->GetUIObjectOf(owner, static_cast<UINT>(children.size()), children.data(), IID_IDataObject,
                                        nullptr, reinterpret_cast<void**>(&data)))) {
        auto* source = new CPanelDropSource;
        ::DoDragDrop(data, source, DROPEFFECT_COPY, &effect);
        source->Release();
        data->Release();
    }
    if (parent) parent->Release();
    for (LPITEMIDLIST pidl : absolute) ::CoTaskMemFree(pidl);
    return effect;
}
