// Opening text windows for the tests and reading what they show.
#include "textedit/TextSupport.h"
#include "common/FileWrite.h"
#include "support/Harness.h"
#include "framework/Resources.h"

namespace texttest {

void CloseAllTextWindows()
{
    std::vector<te::CTextEditDialog*> open = te::CTextEditDialog::OpenWindows();
    for (te::CTextEditDialog* window : open) {
        ::SendMessageW(window->Control(), EM_SETMODIFY, FALSE, 0);
        ::DestroyWindow(window->Handle());
    }
}

void TextWindowTest::SetUp()
{
    test::ResetStore();
    ASSERT_TRUE(test::UseResourceLibrary());
}

void TextWindowTest::TearDown()
{
    CloseAllTextWindows();
    te::SetReadFailureAfter(-1);
    te::SetAnsiCodePage(0);
    SetWriteFailureAfter(-1);
    test::Pump(300);
    test::ResetStore();
}

te::CTextEditDialog* TextWindowTest::Open(const std::wstring& path, bool readOnly, bool newFile)
{
    te::CTextEditDialog* window = te::CTextEditDialog::Open(nullptr, path, readOnly, newFile);
    EXPECT_NE(window, nullptr);
    if (!window) return nullptr;
    HWND wnd = window->Handle();
    auto ready = [&] { return !::IsWindow(wnd) || (::IsWindowVisible(wnd) && !window->IsLoading()); };
    EXPECT_TRUE(test::PumpUntil(ready, 60000));
    test::Pump(50);
    return ::IsWindow(wnd) ? window : nullptr;
}

void TextWindowTest::Command(te::CTextEditDialog* window, UINT id)
{
    ::SendMessageW(window->Handle(), WM_COMMAND, id, 0);
}

void TextWindowTest::Type(te::CTextEditDialog* window, const std::wstring& text)
{
    for (wchar_t c : text) ::SendMessageW(window->Control(), WM_CHAR, c, 0);
}

void TextWindowTest::SetSelection(te::CTextEditDialog* window, long start, long end)
{
    CHARRANGE range = {start, end};
    ::SendMessageW(window->Control(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

CHARRANGE TextWindowTest::Selection(te::CTextEditDialog* window)
{
    CHARRANGE range = {};
    ::SendMessageW(window->Control(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range;
}

std::wstring Title(HWND wnd) { return fw::GetText(wnd); }

bool MenuItemGrey(HMENU menu, UINT id)
{
    return (::GetMenuState(menu, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) != 0;
}

} // namespace texttest
