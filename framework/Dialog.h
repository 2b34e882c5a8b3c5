// Dialog base over the resource library's templates; modal and modeless differ only in how they end.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

class CDialog {
public:
    explicit CDialog(const wchar_t* templateName) : templateName(templateName) {}
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog modally; returns the code given to End (IDOK, IDCANCEL, ...), or -1.
    INT_PTR DoModal(HWND parent);
    // Creates the dialog modeless; it stays until DestroyWindow or End.
    bool CreateModeless(HWND parent, bool show = true);

    HWND Handle() const { return hwnd; }
    const std::wstring& TemplateName() const { return templateName; }
    bool IsModal() const { return modal; }

    // The dialog object of a window made by this class, or null.
    static CDialog* FromHandle(HWND wnd);
    // Lets the message loop give keyboard messages to open modeless dialogs: first to the
    // dialog's own PreTranslateMessage, then to the dialog manager. While a modal dialog or message
    // box runs its own loop, a message filter does the same for the modeless ones.
    static bool PreTranslate(MSG& msg);
    // A modeless dialog made elsewhere (the common find dialog) gets the dialog manager's keys too,
    // until Untrack.
    static void TrackModeless(HWND wnd);
    static void UntrackModeless(HWND wnd);
    // Applies every open modeless dialog's close rule before the program ends; false when one
    // of them stays open (the user kept it), and the program should stay too.
    static bool CloseModelessForExit();
    // Hands a keyboard message straight to its window, with no dialog navigation.
    static void DispatchDirectly(const MSG& msg);

    void End(INT_PTR result);

    HWND Item(int id) const { return ::GetDlgItem(hwnd, id); }
    std::wstring ItemText(int id) const;
    void SetItemText(int id, const std::wstring& text) const { ::SetDlgItemTextW(hwnd, id, text.c_str()); }
    bool IsChecked(int id) const { return ::IsDlgButtonChecked(hwnd, id) == BST_CHECKED; }
    void SetChecked(int id, bool on) const { ::CheckDlgButton(hwnd, id, on ? BST_CHECKED : BST_UNCHECKED); }

protected:
    // Return false when OnInit set the focus itself.
    virtual bool OnInit() { return true; }
    virtual void OnOK() { End(IDOK); }
    virtual void OnCancel() { End(IDCANCEL); }
    virtual bool OnCommand(UINT id, UINT code, HWND control) { return false; }
    virtual INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    virtual void OnDestroyed() {}
    // Messages for this modeless dialog or its controls before the dialog manager sees them:
    // an editor-like dialog keeps arrows and Tab from dialog navigation here. True: handled.
    virtual bool PreTranslateMessage(MSG& msg) { return false; }
    // Called when the program is about to end: true when the dialog may go (it may destroy
    // itself), false when it stays open. Modeless dialogs without unsaved work just go.
    virtual bool CloseForExit() { return true; }

    HWND hwnd = nullptr;

private:
    static INT_PTR CALLBACK StaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    std::wstring templateName;
    bool modal = false;
};

} // namespace fw
