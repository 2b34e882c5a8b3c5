// CCommandLine: the command line under the panels, a drop-down combo over the command history,
// with its edit field subclassed so that Enter runs the line.
#pragma once
#include "frame/CommandHistory.h"
#include "framework/Controls.h"
#include "framework/Window.h"
#include <string>

// The combo's edit field: Enter asks the owner to run the line (command IDM_CMDBUTTON).
class CCommandEdit : public fw::CWindow {
public:
    bool Attach(HWND edit, HWND combo, HWND owner);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    HWND combo = nullptr;
    HWND owner = nullptr;
};

class CCommandLine : public fw::CComboBox {
public:
    static constexpr int MaxLength = 127;
    // After the combo exists: subclasses its edit field and fills the list from the store.
    void Init(HWND owner);
    HWND Edit() const { return edit.Handle(); }
    // The typed text, at most MaxLength characters.
    std::wstring Text() const;
    void SetLine(const std::wstring& text) const;
    // Records a started line in the store and shows the new history in the list.
    void AddToCommandHistory(const std::wstring& line);
    void ShowHistory(const CommandHistory& entries) const;

private:
    CCommandEdit edit;
};
