// Opening hex windows for the tests.
#include "hexedit/HexSupport.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include "support/Harness.h"
#include "tools/hexedit/ByteBuffer.h"
#include "tools/hexedit/HexFile.h"

namespace hextest {

void HexWindowTest::SetUp()
{
    test::ResetStore();
    ASSERT_TRUE(test::UseResourceLibrary());
}

void HexWindowTest::TearDown()
{
    // Straight to the end, past the close rule.
    std::vector<hex::CHexEditDialog*> open = hex::CHexEditDialog::OpenWindows();
    for (hex::CHexEditDialog* window : open) ::DestroyWindow(window->Handle());
    hex::SetInMemoryLimit(0);
    SetWriteFailureAfter(-1);
    test::Pump(300);
    test::ResetStore();
}

hex::CHexEditDialog* HexWindowTest::Open(const std::wstring& path)
{
    hex::CHexEditDialog* window = hex::CHexEditDialog::Open(nullptr, path);
    EXPECT_NE(window, nullptr);
    if (window) test::PumpUntil([&] { return ::IsWindowVisible(window->Handle()) != FALSE; });
    test::Pump(50);
    return window;
}

void HexWindowTest::Command(hex::CHexEditDialog* window, UINT id)
{
    ::SendMessageW(window->Handle(), WM_COMMAND, id, 0);
}

std::wstring LoadText(int id) { return fw::LoadStr(id); }

} // namespace hextest
