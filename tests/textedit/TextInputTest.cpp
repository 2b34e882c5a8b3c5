// Real keys on a text window, through the X server as a user types them.
#include "textedit/TextSupport.h"
#include "common/Settings.h"
#include "resource.h"
#include "support/Harness.h"

using test::Xdotool;
using texttest::TextWindowTest;

class TextInput : public TextWindowTest {
protected:
    te::CTextEditDialog* OpenFocused(const std::string& content, bool readOnly = false)
    {
        path = tmp / L"keys.txt";
        EXPECT_TRUE(test::MakeFile(path, content));
        te::CTextEditDialog* w = Open(path, readOnly);
        EXPECT_TRUE(test::FocusForKeys(w->Handle()));
        return w;
    }
    void Keys(const std::wstring& names, const std::function<bool()>& done)
    {
        ASSERT_TRUE(Xdotool(L"key --delay 20 " + names));
        EXPECT_TRUE(test::PumpUntil(done)) << test::Narrow(names);
    }
    std::wstring path;
};

TEST_F(TextInput, TypedTextWithFHAndTabIsSavedExactly)
{
    te::CTextEditDialog* w = OpenFocused("end\r\n");
    // f and h go to the accelerator table first, and are still typed; Tab is a character.
    Keys(L"f i s h space h a t Tab x BackSpace y Return", [&] { return w->StreamOut().size() >= 15; });
    EXPECT_EQ(w->StreamOut(), L"fish hat\ty\r\nend\r\n");
    EXPECT_TRUE(w->IsModified());
    Keys(L"ctrl+s", [&] { return !w->IsModified(); });
    EXPECT_EQ(test::ReadAll(path), "fish hat\ty\r\nend\r\n");
    EXPECT_EQ(::GetFocus(), w->Control());
}

TEST_F(TextInput, ControlKeysOpenFindAndReplaceAndF3FindsNext)
{
    WriteProfileString(L"ZoekReeksen", L"Reeks1", L"two");
    te::CTextEditDialog* w = OpenFocused("one two two\r\n");
    Keys(L"F3", [&] { return Selection(w).cpMin == 4; });
    Keys(L"F3", [&] { return Selection(w).cpMin == 8; });
    Keys(L"ctrl+f", [&] { return w->FindDialog() != nullptr; });
    HWND find = w->FindDialog();
    EXPECT_EQ(::GetDlgItem(find, 1153), nullptr); // find only
    // Escape in the find dialog closes it, not the text window.
    ASSERT_TRUE(test::FocusForKeys(find));
    Keys(L"Escape", [&] { return w->FindDialog() == nullptr; });
    EXPECT_TRUE(::IsWindow(w->Handle()));
    ASSERT_TRUE(test::FocusForKeys(w->Handle()));
    Keys(L"ctrl+h", [&] { return w->FindDialog() != nullptr; });
    EXPECT_NE(::GetDlgItem(w->FindDialog(), 1153), nullptr);
    EXPECT_EQ(w->StreamOut(), L"one two two\r\n");
    EXPECT_FALSE(w->IsModified());
}

TEST_F(TextInput, TheViewerTakesNoKeysThatChangeText)
{
    te::CTextEditDialog* w = OpenFocused("look\r\n", true);
    Keys(L"x Tab Return ctrl+h BackSpace", [] { return true; });
    test::Pump(200);
    EXPECT_EQ(w->StreamOut(), L"look\r\n");
    EXPECT_EQ(w->FindDialog(), nullptr);
    EXPECT_FALSE(w->IsModified());
    // Escape closes the viewer without a question.
    test::Script script({});
    HWND wnd = w->Handle();
    Keys(L"Escape", [&] { return !::IsWindow(wnd); });
    EXPECT_TRUE(script.Finished());
}
