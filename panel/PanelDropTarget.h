// A panel as an OLE drop target: file lists dragged from other programs (or from a panel that
// handed its drag over to OLE) are copied into it like a drop from the other panel.
#pragma once
#include <ole2.h>
#include <string>
#include <vector>

class CFileList;

class CPanelDropTarget final : public IDropTarget {
public:
    explicit CPanelDropTarget(CFileList& panel) : panel(panel) {}
    CPanelDropTarget(const CPanelDropTarget&) = delete;
    CPanelDropTarget& operator=(const CPanelDropTarget&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    // The effect offered at a point: a copy when the panel can take files there, else none.
    DWORD Track(POINTL point, DWORD allowed);
    CFileList& panel;
    LONG references = 1;
    bool carriesFiles = false;
};

// Goes on with a drag (the button still held) as an OLE drag of the shell's data object for
// paths, all in one directory; only a copy is offered. The effect the target chose.
DWORD DragOutWithShell(HWND owner, const std::vector<std::wstring>& paths);
