// Finding and replacing: find next from the caret, the stored search as the first find text, the
// common find and replace dialogs.
#include "textedit/TextSupport.h"
#include "common/Settings.h"
#include "framework/Resources.h"
#include "resource.h"
#include "support/Harness.h"

using test::Box;
using test::Script;
using texttest::TextWindowTest;

namespace {
// The common find dialog's controls.
constexpr int FindField = 1152, ReplaceField = 1153, MatchCase = 1041, ReplaceButton = 1024, ReplaceAllButton = 1025;

bool Covers(HWND dialog, POINT p)
{
    RECT r = {};
    ::GetWindowRect(dialog, &r);
    return ::PtInRect(&r, p) != FALSE;
}
}

class TextFind : public TextWindowTest {
protected:
    te::CTextEditDialog* OpenWith(const std::string& content, const std::wstring& stored = L"")
    {
        if (!stored.empty()) WriteProfileString(L"ZoekReeksen", L"Reeks1", stored);
        std::wstring path = tmp / L"find.txt";
        EXPECT_TRUE(test::MakeFile(path, content));
        return Open(path);
    }
    void ExpectSelection(te::CTextEditDialog* w, long start, long end)
    {
        CHARRANGE r = Selection(w);
        EXPECT_EQ(r.cpMin, start);
        EXPECT_EQ(r.cpMax, end);
    }
    // Presses a button of the open find dialog after filling its fields.
    void Press(te::CTextEditDialog* w, int button, const std::wstring& find, const std::wstring& replace = L"",
               bool matchCase = false)
    {
        HWND dialog = w->FindDialog();
        ASSERT_NE(dialog, nullptr);
        ::SetDlgItemTextW(dialog, FindField, find.c_str());
        if (::GetDlgItem(dialog, ReplaceField)) ::SetDlgItemTextW(dialog, ReplaceField, replace.c_str());
        ::CheckDlgButton(dialog, MatchCase, matchCase ? BST_CHECKED : BST_UNCHECKED);
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
};

TEST_F(TextFind, FindNextFromTheStartAndFromTheCaret)
{
    te::CTextEditDialog* w = OpenWith("abcabc abc", L"abc");
    // At 0 with nothing selected the match at 0 counts.
    Command(w, IDM_TE_FINDNEXT);
    ExpectSelection(w, 0, 3);
    Command(w, IDM_TE_FINDNEXT);
    ExpectSelection(w, 3, 6);
    // Anywhere else the character at the caret is skipped.
    SetSelection(w, 7, 7);
    {
        Script script({Box()});
        Command(w, IDM_TE_FINDNEXT);
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(script.BoxTexts().size(), 1u);
        EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_TE_NOTFOUND));
    }
    SetSelection(w, 6, 6);
    Command(w, IDM_TE_FINDNEXT);
    ExpectSelection(w, 7, 10);
}

TEST_F(TextFind, TheFileSearchsNewestStringIsTheFirstFindText)
{
    te::CTextEditDialog* w = OpenWith("xx abcdefgh jklmnopqrst", L"  \"abcdefgh jklmnopqrst\" and more");
    Command(w, IDM_TE_FINDNEXT);
    ExpectSelection(w, 3, 19); // the first 16 characters, the blank among them
    texttest::CloseAllTextWindows();
    w = OpenWith("words two", L"two words");
    Command(w, IDM_TE_FINDNEXT);
    ExpectSelection(w, 6, 9);
    texttest::CloseAllTextWindows();
    w = OpenWith("-" + std::string(300, 'w'), std::wstring(300, L'w'));
    Command(w, IDM_TE_FINDNEXT);
    ExpectSelection(w, 1, 1 + static_cast<long>(te::FindTextLimit));
    // The find dialog shows it whole, and holds no more.
    Command(w, IDM_TE_REPLACE);
    ASSERT_NE(w->FindDialog(), nullptr);
    EXPECT_EQ(fw::GetText(::GetDlgItem(w->FindDialog(), FindField)), std::wstring(te::FindTextLimit, L'w'));
}

TEST_F(TextFind, TheFindDialogFindsWithOrWithoutCaseAndStepsAside)
{
    std::string text = "Gamma gamma\r\n";
    for (int i = 0; i < 30; ++i) text += "filler line\r\n";
    text += "gamma at the end\r\n";
    te::CTextEditDialog* w = OpenWith(text);
    SetSelection(w, 6, 11);
    Command(w, IDM_TE_FIND);
    HWND dialog = w->FindDialog();
    ASSERT_NE(dialog, nullptr);
    // Find starts with the selected text.
    EXPECT_EQ(fw::GetText(::GetDlgItem(dialog, FindField)), L"gamma");
    SetSelection(w, 0, 0);
    Press(w, IDOK, L"gamma");
    ExpectSelection(w, 0, 5);
    SetSelection(w, 0, 0);
    Press(w, IDOK, L"gamma", L"", true);
    ExpectSelection(w, 6, 11);
    // The dialog is put over the next match; finding it moves the dialog off it.
    CHARRANGE before = Selection(w);
    Press(w, IDOK, L"gamma", L"", true);
    CHARRANGE match = Selection(w);
    EXPECT_GT(match.cpMin, before.cpMin);
    POINTL at = {};
    ::SendMessageW(w->Control(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), match.cpMin);
    POINT p = {at.x, at.y};
    ::ClientToScreen(w->Control(), &p);
    SetSelection(w, 0, 0);
    ::SetWindowPos(dialog, nullptr, p.x - 10, p.y - 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(Covers(dialog, p));
    Press(w, IDOK, L"gamma at", L"", true);
    ExpectSelection(w, match.cpMin, match.cpMin + 8);
    EXPECT_FALSE(Covers(dialog, p));
    {
        Script script({Box()});
        Press(w, IDOK, L"absent");
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(script.BoxTexts().size(), 1u);
        EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_TE_NOTFOUND));
    }
    // Closing it ends its part in the window's keys.
    ::SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(w->FindDialog(), nullptr);
    EXPECT_FALSE(w->IsModified());
}

TEST_F(TextFind, ReplaceOnlyAMatchAndReplaceAll)
{
    te::CTextEditDialog* w = OpenWith("xyz cat Cat cat");
    Command(w, IDM_TE_REPLACE);
    ASSERT_NE(w->FindDialog(), nullptr);
    // A selection that is not the find text is left alone: the next match is found and replaced.
    SetSelection(w, 0, 3);
    Press(w, ReplaceButton, L"cat", L"dog", true);
    EXPECT_EQ(w->StreamOut(), L"xyz dog Cat cat");
    ExpectSelection(w, 12, 15); // the next match, selected
    EXPECT_TRUE(w->IsModified());
    // The selected match is replaced as it stands.
    Press(w, ReplaceButton, L"cat", L"bird", true);
    EXPECT_EQ(w->StreamOut(), L"xyz dog Cat bird");
    // Without match case, all from the selection start.
    SetSelection(w, 0, 0);
    Press(w, ReplaceAllButton, L"CAT", L"cow");
    EXPECT_EQ(w->StreamOut(), L"xyz dog cow bird");
    {
        Script script({Box()});
        Press(w, ReplaceAllButton, L"cat", L"cow");
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(script.BoxTexts().size(), 1u);
        EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_TE_NOTFOUND));
    }
    // A replacement that holds the find text ends after one pass.
    SetSelection(w, 0, 0);
    Press(w, ReplaceAllButton, L"o", L"oo");
    EXPECT_EQ(w->StreamOut(), L"xyz doog coow bird");
    // Undo takes the replacements back one by one.
    Command(w, IDM_TE_UNDO);
    EXPECT_EQ(w->StreamOut(), L"xyz doog cow bird");
}
