// Text windows in the tests: opened straight from the resource library with a clean store and a
// temporary directory, their text and commands.
#pragma once
#include "support/Scripted.h"
#include "support/TestEnv.h"
#include "tools/textedit/TextEditDialog.h"
#include <gtest/gtest.h>
#include <string>

namespace texttest {

class TextWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // A window on the file, shown and loaded; null when it could not be made.
    te::CTextEditDialog* Open(const std::wstring& path, bool readOnly = false, bool newFile = false);
    static void Command(te::CTextEditDialog* window, UINT id);
    // Types each character as the control would receive it from the keyboard.
    static void Type(te::CTextEditDialog* window, const std::wstring& text);
    static void SetSelection(te::CTextEditDialog* window, long start, long end);
    static CHARRANGE Selection(te::CTextEditDialog* window);
    test::TempDir tmp;
};

// Closes every text window past its close rule.
void CloseAllTextWindows();
std::wstring Title(HWND wnd);
bool MenuItemGrey(HMENU menu, UINT id);

} // namespace texttest
