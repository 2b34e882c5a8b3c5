// Driving hex windows in the tests: opening them without the main window; the shared answering
// of dialogs and real input come from support/Scripted.h.
#pragma once
#include "support/Scripted.h"
#include "support/TestEnv.h"
#include "tools/hexedit/HexEditDialog.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace hextest {

using test::Box;
using test::ClipboardText;
using test::Fields;
using test::FocusForKeys;
using test::Script;
using test::SetClipboardText;
using test::Step;
using test::XWindowId;
using test::Xdotool;

// Hex windows opened straight from the resource library, with a clean store and temp directory.
class HexWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    hex::CHexEditDialog* Open(const std::wstring& path);
    static void Command(hex::CHexEditDialog* window, UINT id);
    test::TempDir tmp;
};

std::wstring LoadText(int id);

} // namespace hextest
