// Hex edit from a panel of the running program, and the program's close with hex windows open.
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/FileCheck.h"
#include "hexedit/HexSupport.h"
#include "resource.h"
#include "support/Harness.h"

using hextest::Box;
using hextest::Script;

class HexDispatch : public test::AppTest {
protected:
    void Start(const std::wstring& dir)
    {
        WriteProfileString(L"Paden", L"Links", dir);
        WriteProfileString(L"Paden", L"Rechts", dir);
        ASSERT_TRUE(AppTest::Start());
        WaitForPanels();
        test::extraPreTranslate = [this](MSG& msg) { return main && main->PreTranslate(msg); };
    }
    void TearDown() override
    {
        test::extraPreTranslate = nullptr;
        AppTest::TearDown();
    }
    void Cursor(const std::wstring& name)
    {
        CFileList& panel = main->LeftPanel();
        int row = test::RowOf(panel, name);
        ASSERT_GE(row, 0);
        panel.List().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    hex::CHexEditDialog* WaitForWindow(size_t count)
    {
        EXPECT_TRUE(test::PumpUntil([&] { return hex::CHexEditDialog::OpenWindows().size() == count; }));
        const auto& open = hex::CHexEditDialog::OpenWindows();
        return open.size() == count && count ? open.back() : nullptr;
    }
    test::TempDir tmp;
};

TEST_F(HexDispatch, ShiftF3OpensTheFileUnderTheCursor)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"data.bin", "0123"));
    ASSERT_TRUE(test::MakeDir(tmp / L"sub"));
    Start(tmp.Path());
    EXPECT_TRUE(main->IsCommandAvailable(IDM_HEXEDIT));
    Cursor(L"data.bin");
    ASSERT_TRUE(hextest::FocusForKeys(main->Handle()));
    ::SetFocus(main->LeftPanel().Handle());
    ASSERT_TRUE(hextest::Xdotool(L"key shift+F3"));
    hex::CHexEditDialog* w = WaitForWindow(1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->View().Editor().filePath, tmp / L"data.bin");
    EXPECT_EQ(w->View().Editor().Size(), 4);
    EXPECT_EQ(::GetWindow(w->Handle(), GW_OWNER), main->Handle());
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Dir1", L""), tmp.Path());
    EXPECT_EQ(Program().helpContext, 0);
    // A directory is no file to edit.
    Cursor(L"sub");
    Script script({Box()});
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_HEXEDIT, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return script.Finished(); }));
    EXPECT_EQ(script.BoxTexts()[0], hextest::LoadText(IDS_NOENTRY));
    EXPECT_EQ(hex::CHexEditDialog::OpenWindows().size(), 1u);
}

TEST_F(HexDispatch, TheProgramStaysWhileTheUserKeepsAChangedHexWindow)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"one.bin", "1111"));
    ASSERT_TRUE(test::MakeFile(tmp / L"two.bin", "2222"));
    Start(tmp.Path());
    for (const wchar_t* name : {L"one.bin", L"two.bin"}) {
        Cursor(name);
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_HEXEDIT, 0);
    }
    hex::CHexEditDialog* second = WaitForWindow(2);
    ASSERT_NE(second, nullptr);
    HWND secondWindow = second->Handle();
    ::SendMessageW(secondWindow, WM_CHAR, L'3', 0);
    HWND frame = main->Handle();
    {
        Script script({Box(IDNO)});
        ::SendMessageW(frame, WM_CLOSE, 0, 0);
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(script.BoxCaptions()[0], tmp / L"two.bin");
    }
    EXPECT_TRUE(::IsWindow(frame));
    EXPECT_TRUE(::IsWindow(secondWindow));
    EXPECT_EQ(hex::CHexEditDialog::OpenWindows().size(), 1u); // the unchanged one went
    {
        Script script({Box(IDYES)});
        ::SendMessageW(frame, WM_CLOSE, 0, 0);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_FALSE(::IsWindow(frame));
    EXPECT_TRUE(hex::CHexEditDialog::OpenWindows().empty());
    EXPECT_EQ(test::ReadAll(tmp / L"two.bin"), "2222");
}
