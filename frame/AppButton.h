// CAppButton: an owner-drawn application button or function-key button.
#pragma once
#include "framework/Handles.h"
#include "framework/Window.h"
#include <string>

class CAppButton : public fw::CWindow {
public:
    // index: 1 ... 20 for application buttons, 1 ... 10 for function keys.
    bool CreateButton(HWND parent, int id, int index, bool isFunctionKey, const std::wstring& caption, HFONT font);
    int Index() const { return index; }
    bool IsFunctionKey() const { return isFunctionKey; }
    void SetCaption(const std::wstring& caption);
    // The program's small icon, looked up at the first drawing; null when it has none.
    HICON Icon() const { return icon.Get(); }
    bool IconLooked() const { return iconLooked; }
    // Right-click on an application button: its settings in "BUTTONPARMS".
    void EditParameters();

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Draw(const DRAWITEMSTRUCT& item);
    void LookUpIcon();
    int index = 0;
    bool isFunctionKey = false;
    HFONT font = nullptr;
    fw::UniqueIcon icon;
    bool iconLooked = false;
};
