// CHexView: the hex listing drawn straight into its dialog, with the dialog's status bar and
// scroll bars; turns keys, mouse and scroll bars into editor changes and runs the commands.
#pragma once
#include "tools/hexedit/HexEditor.h"
#include "tools/hexedit/HexFile.h"
#include <windows.h>
#include <string>

namespace hex {

class CHexRangeDialog;

class CHexView {
public:
    explicit CHexView(HWND dialog);
    ~CHexView();
    CHexView(const CHexView&) = delete;
    CHexView& operator=(const CHexView&) = delete;

    // ---- HexView.cpp: children, settings, layout, status bar, title, scroll bars, caret
    void CreateChildren();
    void ReadSettings();
    void WriteSettings() const;
    void Layout(int width, int height);
    // After every change: scroll bars, status bar, title and caret follow; the area is redrawn.
    void Refresh();
    void OnFocus(bool gained);
    void PlaceCaret();
    CHexEditor& Editor() { return ed; }
    const CHexEditor& Editor() const { return ed; }
    HWND StatusBar() const { return statusBar; }
    HWND VerticalBar() const { return vScroll; }
    int CharWidth() const { return charWidth; }
    int LineHeight() const { return lineHeight; }
    int AreaWidth() const { return areaWidth; }
    int AreaHeight() const { return areaHeight; }
    COLORREF TextColor() const { return textColor; }
    COLORREF BackgroundColor() const { return bkColor; }
    // Client position of a column and line of the listing.
    POINT CellPoint(int column, Offset line) const;

    // ---- HexViewPaint.cpp
    void Paint(HDC dc, const RECT& update);

    // ---- HexViewInput.cpp: keys, characters, mouse and scroll bars
    void OnKeyDown(UINT key);
    void OnChar(wchar_t ch);
    void OnTab();
    void OnButtonDown(int x, int y);
    void OnMouseMove(int x, int y);
    void OnButtonUp(int x, int y);
    void OnCaptureLost() { dragging = pressed = false; }
    void OnVerticalScroll(int code);
    void OnHorizontalScroll(int code);
    void OnWheel(int delta);

    // ---- HexViewCommands.cpp: the commands of the menu and the accelerators
    void OnCommand(UINT id);

    // ---- HexViewFile.cpp: load, save, save as, the close rule
    bool Load(const std::wstring& path);
    bool Save();
    bool SaveAs();
    // The close rule: true when the window may close (not modified, or the user lets the changes go).
    bool MayClose();

private:
    // ---- HexView.cpp
    void CreateFontNow();
    void UpdateScrollBars();
    void UpdateStatus();
    void Tell(UINT stringId, UINT icon = MB_ICONWARNING) const;
    void TellOutcome(Outcome outcome) const;
    void ShowSystemError(int stringId, DWORD error) const;

    // ---- HexViewInput.cpp
    Hit HitAt(int x, int y) const;

    // ---- HexViewCommands.cpp
    // Start and count from a copy or cut dialog; false (after saying why) when they are no numbers.
    bool AskRange(CHexRangeDialog& box, Offset& start, Offset& count);
    void CopyCommand();
    void CutCommand(bool cut);
    void PasteCommand();
    void FindCommand();
    void FindNextCommand();
    void GoToCommand();
    void CharsetCommand();
    void FontCommand();
    void ApplyFont();
    void ColorCommand(UINT id);
    bool PutOnClipboard(Offset start, Offset count);
    bool ClipboardText(std::string& text) const;
    void RunSearch(bool again);

    HWND dialog;
    CHexEditor ed;
    HWND statusBar = nullptr, hScroll = nullptr, vScroll = nullptr;
    HFONT font = nullptr;
    int fontSize = 10, fontWeight = 400;
    std::wstring fontFace = L"Fixedsys";
    COLORREF textColor = RGB(0, 0, 0), bkColor = RGB(255, 255, 255), separatorColor = RGB(192, 192, 192);
    int charWidth = 8, lineHeight = 16;
    int clientWidth = 0, clientHeight = 0, areaWidth = 0, areaHeight = 0;
    bool hasFocus = false;
    bool pressed = false, dragging = false;
    POINT pressPoint = {};
    wchar_t cells[256] = {};
};

} // namespace hex
