// CHexEditDialog: the modeless "HEXEDIT" window that owns a CHexView; it deletes itself when closed.
#pragma once
#include "framework/Dialog.h"
#include "tools/hexedit/HexView.h"
#include <memory>
#include <string>
#include <vector>

namespace hex {

class CHexEditDialog : public fw::CDialog {
public:
    // A new window on the file (which is loaded at once); null when the window cannot be made.
    static CHexEditDialog* Open(HWND parent, const std::wstring& path);
    // The hex windows open now, oldest first.
    static const std::vector<CHexEditDialog*>& OpenWindows();

    CHexView& View() { return *view; }
    // The close rule; true when the window is gone.
    bool TryClose();

    static constexpr UINT WM_RESTOREPOSITION = WM_USER + 37;
    static constexpr UINT WM_TABKEY = WM_USER + 40;

protected:
    bool OnInit() override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnCancel() override { TryClose(); }
    void OnDestroyed() override;
    bool PreTranslateMessage(MSG& msg) override;
    bool CloseForExit() override { return TryClose(); }

private:
    explicit CHexEditDialog(const std::wstring& path);
    ~CHexEditDialog() override;
    void RestorePosition();
    void StorePosition();

    std::unique_ptr<CHexView> view;
    HACCEL accelerators = nullptr;
    HBRUSH brush = nullptr;
    std::wstring path;
    bool firstShow = false;
};

} // namespace hex
