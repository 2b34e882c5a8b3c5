// CFileCompareDialog: the modal "FILECOMP" window, two files side by side in owner-drawn lists
// with one scroll bar; and "FILECOMPSETTINGS", its three options.
#pragma once
#include "framework/Dialog.h"
#include "framework/Window.h"
#include "tools/compare/CompareEngine.h"
#include "tools/compare/CompareText.h"
#include <functional>
#include <memory>
#include <string>

namespace cmp {

// Opens a file in the editor the user chose (external or internal).
using EditFile = std::function<void(const std::wstring& path)>;

class CFileCompareDialog;

// A list of the window: its keys and wheel move both lists together.
class CCompareList : public fw::CWindow {
public:
    explicit CCompareList(CFileCompareDialog& owner) : owner(owner) {}

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    CFileCompareDialog& owner;
    int wheelRest = 0;
};

class CFileCompareDialog : public fw::CDialog {
public:
    // Reads and compares the two files, then shows them modally; a file that cannot be read is
    // named to the user instead.
    static void Run(HWND parent, const std::wstring& left, const std::wstring& right, EditFile edit);
    // The one open now (the window is modal), or null.
    static CFileCompareDialog* Current();

    CFileCompareDialog(const std::wstring& left, const std::wstring& right, std::unique_ptr<CFileComparison> comparison,
                       bool utf8Left, bool utf8Right, EditFile edit);
    ~CFileCompareDialog() override;

    const CFileComparison& Comparison() const { return *comparison; }
    int TopIndex() const { return top; }
    int VisibleLines() const { return visible; }
    HWND List(int side) const { return Item(side == 0 ? IDC_LIST_LEFT : IDC_LIST_RIGHT); }
    // Moves both lists and the scroll bar so that this item is on top, or as near as the lists go.
    // The navigation goes on from the item itself, even where the lists stop at their last page.
    void ScrollTo(int item, bool keepItem = false);
    // Scrolls from what the lists show.
    void ScrollBy(int lines);

    static constexpr UINT WM_RESTOREPOSITION = WM_USER + 37;
    static constexpr UINT_PTR TimerOpening = 1;
    static constexpr int IDC_LIST_LEFT = 3870;
    static constexpr int IDC_LIST_RIGHT = 3871;

protected:
    bool OnInit() override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    int ShownTop() const;
    void MakeFont(int height, int weight, const std::wstring& face);
    void ApplyFont();
    void UpdateScrollBar();
    void Layout();
    void OnVerticalScroll(UINT code);
    void Navigate(UINT id);
    void OpenOnFirstDifference();
    void ChooseFontCommand();
    void DrawItem(const DRAWITEMSTRUCT& item);
    void RestorePlacement();
    void StorePlacement();

    std::wstring paths[2];
    std::unique_ptr<CFileComparison> comparison;
    bool utf8[2] = {};
    EditFile edit;
    int perTab = 4;
    HFONT font = nullptr;
    int itemHeight = 16;
    int visible = 1;
    int top = 0;
    bool firstColour = true;
    CCompareList lists[2];
    // The template's margins, kept as the window is resized.
    int buttonHeight = 0, labelHeight = 0, margin = 4;
};

class CCompareSettingsDialog : public fw::CDialog {
public:
    CCompareSettingsDialog() : CDialog(L"FILECOMPSETTINGS") {}

protected:
    bool OnInit() override;
    void OnOK() override;
};

} // namespace cmp
