// The text window itself: titles, menus and their states, the viewer's limits, the close rule,
// the stored position, font, colours and word wrap.
#include "textedit/TextSupport.h"
#include "common/Settings.h"
#include "framework/Resources.h"
#include "resource.h"
#include "support/Harness.h"

using test::Box;
using test::Fields;
using test::Script;
using texttest::MenuItemGrey;
using texttest::TextWindowTest;

namespace {
// Runs the menu's own state update for the popup that holds the item.
void InitPopups(HWND wnd)
{
    HMENU menu = ::GetMenu(wnd);
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
        ::SendMessageW(wnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(::GetSubMenu(menu, i)), i);
}

bool HasItem(HWND wnd, UINT id) { return ::GetMenuState(::GetMenu(wnd), id, MF_BYCOMMAND) != static_cast<UINT>(-1); }

CHARFORMATW DefaultFormat(te::CTextEditDialog* w)
{
    CHARFORMATW format = {sizeof(format)};
    ::SendMessageW(w->Control(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    return format;
}
}

class TextWindow : public TextWindowTest {
protected:
    std::wstring MakeText(const std::string& content)
    {
        std::wstring path = tmp / L"text.txt";
        EXPECT_TRUE(test::MakeFile(path, content));
        return path;
    }
};

TEST_F(TextWindow, TitlesAndTheViewersMenu)
{
    std::wstring path = MakeText("some text");
    te::CTextEditDialog* viewer = Open(path, true);
    te::CTextEditDialog* editor = Open(path);
    ASSERT_NE(viewer, nullptr);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(texttest::Title(viewer->Handle()), L"PD Viewer - " + path);
    EXPECT_EQ(texttest::Title(editor->Handle()), L"PD Editor - " + path);
    EXPECT_TRUE(viewer->IsReadOnly());
    EXPECT_FALSE(editor->IsReadOnly());
    EXPECT_TRUE(::GetWindowLongW(viewer->Control(), GWL_STYLE) & ES_READONLY);
    for (UINT id : {IDM_TE_SAVE, IDM_TE_CUT, IDM_TE_PASTE, IDM_TE_INSERTFILE, IDM_TE_DELETE, IDM_TE_REPLACE}) {
        EXPECT_FALSE(HasItem(viewer->Handle(), id)) << id;
        EXPECT_TRUE(HasItem(editor->Handle(), id)) << id;
    }
    for (UINT id : {IDM_TE_SAVEAS, IDM_TE_COPY, IDM_TE_FIND, IDM_TE_FONT, IDM_TE_WORDWRAP, IDM_TE_CLOSE})
        EXPECT_TRUE(HasItem(viewer->Handle(), id)) << id;
    // The two windows are independent of each other.
    EXPECT_EQ(te::CTextEditDialog::OpenWindows().size(), 2u);
}

TEST_F(TextWindow, MenuStatesFollowTextSelectionUndoAndClipboard)
{
    te::CTextEditDialog* w = Open(tmp / L"new.txt", false, true);
    HWND wnd = w->Handle();
    HMENU menu = ::GetMenu(wnd);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    ::CloseClipboard();
    InitPopups(wnd);
    for (UINT id : {IDM_TE_FIND, IDM_TE_REPLACE, IDM_TE_CUT, IDM_TE_COPY, IDM_TE_SAVESEL, IDM_TE_DELETE, IDM_TE_UNDO,
                    IDM_TE_PASTE})
        EXPECT_TRUE(MenuItemGrey(menu, id)) << id;
    EXPECT_FALSE(::GetMenuState(menu, IDM_TE_WORDWRAP, MF_BYCOMMAND) & MF_CHECKED);
    Type(w, L"hello world");
    SetSelection(w, 0, 5);
    ASSERT_TRUE(test::SetClipboardText("clip"));
    InitPopups(wnd);
    for (UINT id : {IDM_TE_FIND, IDM_TE_REPLACE, IDM_TE_CUT, IDM_TE_COPY, IDM_TE_SAVESEL, IDM_TE_DELETE, IDM_TE_UNDO,
                    IDM_TE_PASTE, IDM_TE_SAVE})
        EXPECT_FALSE(MenuItemGrey(menu, id)) << id;
    Command(w, IDM_TE_CUT);
    EXPECT_EQ(w->StreamOut(), L" world");
    EXPECT_EQ(test::ClipboardText(), "hello");
    Command(w, IDM_TE_PASTE);
    EXPECT_EQ(w->StreamOut(), L"hello world");
    SetSelection(w, 5, 11);
    Command(w, IDM_TE_DELETE);
    EXPECT_EQ(w->StreamOut(), L"hello");
    Command(w, IDM_TE_UNDO);
    EXPECT_EQ(w->StreamOut(), L"hello world");
    Command(w, IDM_TE_SELECTALL);
    EXPECT_EQ(w->StreamOut(true), L"hello world");
    // The control's own whole selection reaches into its closing paragraph mark: never saved.
    SetSelection(w, 0, -1);
    EXPECT_EQ(w->StreamOut(true), L"hello world");
    Command(w, IDM_TE_WORDWRAP);
    InitPopups(wnd);
    EXPECT_TRUE(::GetMenuState(menu, IDM_TE_WORDWRAP, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(GetProfileInt(L"FileEdit", L"WordWrap", 0), 1);
    Command(w, IDM_TE_WORDWRAP);
    EXPECT_EQ(GetProfileInt(L"FileEdit", L"WordWrap", 1), 0);
}

TEST_F(TextWindow, TheViewerNeverChangesItsFile)
{
    std::wstring path = MakeText("view only");
    te::CTextEditDialog* w = Open(path, true);
    HWND wnd = w->Handle();
    // Keys as the program's loop hands them over.
    for (UINT key : {static_cast<UINT>(VK_TAB), static_cast<UINT>('X')}) {
        ::PostMessageW(w->Control(), WM_KEYDOWN, key, 0);
        ::PostMessageW(w->Control(), WM_CHAR, key == VK_TAB ? L'\t' : L'x', 0);
    }
    test::Pump(100);
    Type(w, L"typed");
    Command(w, IDM_TE_UNDO);
    Command(w, IDM_TE_PASTE);
    Command(w, IDM_TE_REPLACE);
    EXPECT_EQ(w->StreamOut(), L"view only");
    EXPECT_FALSE(w->IsModified());
    Script script({});
    ::SendMessageW(wnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(test::ReadAll(path), "view only");
}

TEST_F(TextWindow, TheCloseRuleAsksYesNoOrCancel)
{
    std::wstring path = MakeText("original");
    te::CTextEditDialog* w = Open(path);
    HWND wnd = w->Handle();
    Type(w, L"1");
    {
        Script script({Box(IDCANCEL)});
        ::SendMessageW(wnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(script.BoxTexts().size(), 1u);
        EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_TE_SAVECHANGES));
        EXPECT_EQ(script.BoxCaptions()[0], L"PD - " + path);
    }
    EXPECT_TRUE(::IsWindow(wnd));
    EXPECT_TRUE(w->IsModified());
    {
        Script script({Box(IDNO)});
        Command(w, IDM_TE_CLOSE);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(test::ReadAll(path), "original");

    w = Open(path);
    wnd = w->Handle();
    Type(w, L"2");
    {
        // Escape is the dialog's cancel action.
        Script script({Box(IDYES)});
        ::SendMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(test::ReadAll(path), "2original");

    // A window destroyed with changes still asks, Yes or No.
    w = Open(path);
    wnd = w->Handle();
    Type(w, L"3");
    {
        Script script({Box(IDYES)});
        ::DestroyWindow(wnd);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(test::ReadAll(path), "32original");
}

TEST_F(TextWindow, ThePositionIsStoredAndComesBack)
{
    std::wstring path = MakeText("where");
    // Without a right edge no position was ever stored: the template's place stays.
    WriteProfileInt(L"DlgPositie", L"x", 30);
    WriteProfileInt(L"DlgPositie", L"y", 40);
    WriteProfileInt(L"DlgPositie", L"cx", 0);
    te::CTextEditDialog* w = Open(path);
    RECT first = {};
    ::GetWindowRect(w->Handle(), &first);
    EXPECT_FALSE(first.left == 30 && first.top == 40);
    ::MoveWindow(w->Handle(), 30, 40, 530, 340, TRUE);
    RECT client = {}, control = {};
    ::GetClientRect(w->Handle(), &client);
    ::GetWindowRect(w->Control(), &control);
    ::MapWindowPoints(nullptr, w->Handle(), reinterpret_cast<POINT*>(&control), 2);
    EXPECT_EQ(control.left, 2);
    EXPECT_EQ(control.top, 0);
    EXPECT_EQ(control.right, client.right - 2);
    EXPECT_EQ(control.bottom, client.bottom - 2);
    ::SendMessageW(w->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(GetProfileInt(L"DlgPositie", L"x", 0), 30);
    EXPECT_EQ(GetProfileInt(L"DlgPositie", L"y", 0), 40);
    EXPECT_EQ(GetProfileInt(L"DlgPositie", L"cx", 0), 560);
    EXPECT_EQ(GetProfileInt(L"DlgPositie", L"cy", 0), 380);
    w = Open(path);
    ASSERT_TRUE(test::PumpUntil([&] {
        RECT r = {};
        ::GetWindowRect(w->Handle(), &r);
        return r.left == 30 && r.top == 40 && r.right == 560 && r.bottom == 380;
    }));
}

TEST_F(TextWindow, FontEffectsAreKeptAndStrikeOutIsNotShown)
{
    WriteProfileInt(L"FileEdit", L"FontEffects", 8);
    WriteProfileInt(L"FileEdit", L"FontHeight", 240);
    te::CTextEditDialog* w = Open(MakeText("font"));
    CHARFORMATW format = DefaultFormat(w);
    EXPECT_EQ(format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT), 0u);
    EXPECT_EQ(format.yHeight, 240);
    EXPECT_STREQ(format.szFaceName, L"Courier New");
    ::SendMessageW(w->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(GetProfileInt(L"FileEdit", L"FontEffects", 0), 8);

    WriteProfileInt(L"FileEdit", L"FontEffects", 3);
    w = Open(MakeText("font"));
    format = DefaultFormat(w);
    EXPECT_EQ(format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT),
              static_cast<DWORD>(CFE_BOLD | CFE_ITALIC));
    // The font chooser, 12 points chosen in its size list.
    Script script({{L"Font", IDOK, [](HWND d) {
                        HWND sizes = ::GetDlgItem(d, 0x472);
                        LRESULT at = ::SendMessageW(sizes, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                    reinterpret_cast<LPARAM>(L"12"));
                        ::SendMessageW(sizes, CB_SETCURSEL, at, 0);
                        LPARAM from = reinterpret_cast<LPARAM>(sizes);
                        ::SendMessageW(d, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE), from);
                    }}});
    Command(w, IDM_TE_FONT);
    EXPECT_TRUE(script.Finished());
    format = DefaultFormat(w);
    EXPECT_EQ(format.yHeight, 240);
    EXPECT_EQ(GetProfileInt(L"FileEdit", L"FontHeight", 0), 240);
    EXPECT_EQ(GetProfileString(L"FileEdit", L"FontName", L""), format.szFaceName);
    EXPECT_EQ(GetProfileInt(L"FileEdit", L"FontCharSet", -1), format.bCharSet);
    EXPECT_EQ(static_cast<DWORD>(GetProfileInt(L"FileEdit", L"FontEffects", -1)),
              format.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_STRIKEOUT));
    EXPECT_FALSE(w->IsModified());
}

TEST_F(TextWindow, ColoursAreSharedWithTheHexEditor)
{
    WriteProfileInt(L"Colors", L"TextColorRed", 200);
    te::CTextEditDialog* w = Open(MakeText("colour"));
    EXPECT_EQ(DefaultFormat(w).crTextColor, RGB(200, 0, 0));
    Script script({{L"Color", IDOK, Fields({{706, L"10"}, {707, L"20"}, {708, L"30"}})},
                   {L"Color", IDOK, Fields({{706, L"1"}, {707, L"2"}, {708, L"3"}})}});
    Command(w, IDM_TE_TEXTCOLOR);
    Command(w, IDM_TE_BKCOLOR);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(DefaultFormat(w).crTextColor, RGB(10, 20, 30));
    EXPECT_EQ(GetProfileInt(L"Colors", L"TextColorRed", 0), 10);
    EXPECT_EQ(GetProfileInt(L"Colors", L"TextColorGreen", 0), 20);
    EXPECT_EQ(GetProfileInt(L"Colors", L"TextColorBlue", 0), 30);
    EXPECT_EQ(GetProfileInt(L"Colors", L"BkColorRed", 0), 1);
    EXPECT_EQ(GetProfileInt(L"Colors", L"BkColorGreen", 0), 2);
    EXPECT_EQ(GetProfileInt(L"Colors", L"BkColorBlue", 0), 3);
    EXPECT_FALSE(w->IsModified());
}
