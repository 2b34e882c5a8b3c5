// Real keys and mouse on a hex window, through the X server as a user would give them.
#include "fileops/FileCheck.h"
#include "hexedit/HexSupport.h"
#include "resource.h"
#include "support/Harness.h"
#include <commctrl.h>

using hextest::HexWindowTest;
using hextest::Xdotool;

class HexInput : public HexWindowTest {
protected:
    hex::CHexEditDialog* OpenFocused(const std::string& content)
    {
        path = tmp / L"keys.bin";
        EXPECT_TRUE(test::MakeFile(path, content));
        hex::CHexEditDialog* w = Open(path);
        EXPECT_TRUE(hextest::FocusForKeys(w->Handle()));
        return w;
    }
    // Keys by their X names, one after the other, and then what they caused.
    void Keys(const std::wstring& names, const std::function<bool()>& done)
    {
        ASSERT_TRUE(Xdotool(L"key --delay 20 " + names));
        EXPECT_TRUE(test::PumpUntil(done)) << test::Narrow(names);
    }
    // Client point of a column and line, in the window's X coordinates.
    std::wstring At(hex::CHexEditDialog* w, int column, hex::Offset line, int dx = 0)
    {
        POINT p = w->View().CellPoint(column, line);
        p.x += dx + w->View().CharWidth() / 2;
        p.y += w->View().LineHeight() / 2;
        ::ClientToScreen(w->Handle(), &p);
        return std::to_wstring(p.x) + L" " + std::to_wstring(p.y);
    }
    std::wstring path;
};

TEST_F(HexInput, LettersTypeDigitsAndCharactersAndTabSwitchesThePane)
{
    hex::CHexEditDialog* w = OpenFocused("................");
    hex::CHexEditor& ed = w->View().Editor();
    // a, c and f are accelerator keys with Ctrl only: without it they are typed.
    Keys(L"a b c d e f", [&] { return ed.cursor == 3; });
    EXPECT_EQ(test::ReadAll(path), "................");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(ed.doc.Buffer().Data()), 4), "\xab\xcd\xef.");
    Keys(L"Tab", [&] { return ed.pane == hex::Pane::Text; });
    Keys(L"x shift+a c", [&] { return ed.cursor == 6; });
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(ed.doc.Buffer().Data()), 7), "\xab\xcd\xefxAc.");
    Keys(L"Tab", [&] { return ed.pane == hex::Pane::Hex; });
    EXPECT_EQ(ed.cursor, 6);
    EXPECT_TRUE(ed.modified);
}

TEST_F(HexInput, InsertArrowsAndSelectionKeys)
{
    hex::CHexEditDialog* w = OpenFocused("0123456789abcdefghij");
    hex::CHexEditor& ed = w->View().Editor();
    Keys(L"Insert", [&] { return ed.insertMode; });
    Keys(L"Right Right Down", [&] { return ed.cursor == 17; });
    Keys(L"2 1", [&] { return ed.Size() == 21; });
    EXPECT_EQ(ed.doc.At(17), 0x21);
    Keys(L"Insert", [&] { return !ed.insertMode; });
    Keys(L"Home", [&] { return ed.cursor == 16 && ed.nibble == 0; });
    Keys(L"shift+Right shift+Right shift+Right", [&] { return ed.sel.active && ed.sel.activeEnd == 18; });
    EXPECT_EQ(ed.sel.anchor, 16);
    Keys(L"ctrl+a", [&] { return ed.sel.Low() == 0 && ed.sel.High() == 20; });
    Keys(L"Left", [&] { return !ed.sel.active; });
    Keys(L"ctrl+Home", [&] { return ed.cursor == 0; });
    Keys(L"ctrl+End", [&] { return ed.cursor == 21; });
    // Escape with changes asks; No keeps the window.
    hextest::Script script({hextest::Box(IDNO)});
    Keys(L"Escape", [&] { return script.Finished(); });
    EXPECT_TRUE(::IsWindow(w->Handle()));
    ASSERT_EQ(script.BoxCaptions().size(), 1u);
    EXPECT_EQ(script.BoxCaptions()[0], path);
}

TEST_F(HexInput, ControlKeysReachTheAcceleratorsAndTheKeyTable)
{
    hex::CHexEditDialog* w = OpenFocused(std::string(64, 'z') + "needle" + std::string(10, 'z'));
    hex::CHexEditor& ed = w->View().Editor();
    hextest::Script find({{L"IDD_FINDDIALOG", IDOK, hextest::Fields({{IDC_HEX_FIELD, L"NEEDLE"}})}});
    Keys(L"ctrl+f", [&] { return ed.cursor == 64; });
    EXPECT_TRUE(find.Finished());
    Keys(L"ctrl+Home F3", [&] { return ed.cursor == 64; }); // Find next from the start
    Keys(L"ctrl+Down", [&] { return ed.top == 5; });       // scrolls, the cursor stays
    EXPECT_EQ(ed.cursor, 64);
    Keys(L"ctrl+Up", [&] { return ed.top == 4; });
    Keys(L"Escape", [&] { return !::IsWindow(w->Handle()); }); // nothing changed: it just closes
}

TEST_F(HexInput, AClickPlacesTheCursorButNotBetweenTwoBytes)
{
    hex::CHexEditDialog* w = OpenFocused(std::string(40, 'k'));
    hex::CHexEditor& ed = w->View().Editor();
    hex::LineLayout layout = ed.Layout();
    HWND wnd = w->Handle();
    ASSERT_TRUE(Xdotool(L"mousemove --sync " + At(w, layout.HexColumn(5) + 1, 1) + L" click 1"));
    EXPECT_TRUE(test::PumpUntil([&] { return ed.cursor == 21; }));
    EXPECT_EQ(ed.nibble, 1);
    EXPECT_EQ(ed.pane, hex::Pane::Hex);
    ASSERT_TRUE(Xdotool(L"mousemove --sync " + At(w, layout.HexColumn(2) + 2, 0) + L" click 1"));
    test::Pump(200);
    EXPECT_EQ(ed.cursor, 21); // the blank between bytes 2 and 3
    ASSERT_TRUE(Xdotool(L"mousemove --sync " + At(w, layout.CharColumn(7), 2) + L" click 1"));
    EXPECT_TRUE(test::PumpUntil([&] { return ed.cursor == 39 && ed.pane == hex::Pane::Text; }));
    EXPECT_FALSE(ed.sel.active);
    EXPECT_EQ(::GetFocus(), wnd);
}

TEST_F(HexInput, DraggingSelectsAndTheStatusBarSaysHowMuch)
{
    hex::CHexEditDialog* w = OpenFocused(std::string(100, 'd'));
    hex::CHexEditor& ed = w->View().Editor();
    hex::LineLayout layout = ed.Layout();
    ASSERT_TRUE(Xdotool(L"mousemove --sync " + At(w, layout.HexColumn(2), 0) + L" mousedown 1"));
    ASSERT_TRUE(Xdotool(L"mousemove --sync " + At(w, layout.HexColumn(8), 1) + L" mousemove --sync " +
                        At(w, layout.HexColumn(4), 2) + L" mouseup 1"));
    EXPECT_TRUE(test::PumpUntil([&] { return ed.sel.active && ed.sel.activeEnd == 36; }));
    EXPECT_EQ(ed.sel.anchor, 2);
    EXPECT_EQ(::GetCapture(), nullptr);
    wchar_t text[128] = {};
    ::SendMessageW(w->View().StatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, L"Selected: Offset 2=0x2 to 36=0x24 (35 byte(s))");
    // Typing does nothing while the selection stands.
    ASSERT_TRUE(Xdotool(L"key 7"));
    test::Pump(200);
    EXPECT_FALSE(ed.modified);
}
