// The right button: the shell's own menu for the clicked entry (its rename is ours, its other
// commands the shell's), and with "ContextMenus" 2480 the attribute dialogs.
#include "common/Settings.h"
#include "framework/Resources.h"
#include "mouse/MouseSupport.h"
#include "resource.h"
#include <shellapi.h>

using test::MarkedNames;

class ContextMenu : public mt::PanelPair {
protected:
    void SetUp() override
    {
        PanelPair::SetUp();
        ::SetForegroundWindow(main->Handle());
    }
    // A right click in the middle of the named row, as the mouse sends it.
    void RightClick(const std::wstring& name)
    {
        int row = test::RowOf(L(), name);
        ASSERT_GE(row, 0) << test::Narrow(name);
        RECT r = {};
        L().List().GetItemRect(row, r);
        ::SendMessageW(L().Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(r.left + 20, (r.top + r.bottom) / 2));
        ::SendMessageW(L().Handle(), WM_RBUTTONUP, 0, MAKELPARAM(r.left + 20, (r.top + r.bottom) / 2));
    }
    void Files(std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* n : names) ASSERT_TRUE(test::MakeFile(left / n, "x"));
        Show(L(), left.Path());
    }
};

TEST_F(ContextMenu, ARightClickMarksOnlyItsRowAndShowsTheShellsMenu)
{
    Files({L"a.txt", L"b.txt", L"c.txt"});
    Mark(L(), L"a.txt");
    Mark(L(), L"c.txt");
    mt::MenuChooser chooser(0);
    RightClick(L"b.txt");
    ASSERT_TRUE(test::PumpUntil([&] { return chooser.MenusSeen() == 1; }));
    EXPECT_EQ(MarkedNames(L()), std::vector<std::wstring>{L"b.txt"});
    EXPECT_GT(chooser.LastItemCount(), 3);
    // On a marked row the marks stay as they are.
    Mark(L(), L"c.txt");
    RightClick(L"c.txt");
    ASSERT_TRUE(test::PumpUntil([&] { return chooser.MenusSeen() == 2; }));
    EXPECT_EQ(MarkedNames(L()), (std::vector<std::wstring>{L"b.txt", L"c.txt"}));
}

TEST_F(ContextMenu, TheShellsRenameIsOurs)
{
    Files({L"old \u0392\u03AE\u03C4\u03B1.txt"});
    UINT rename = mt::ShellMenuId(left / L"old \u0392\u03AE\u03C4\u03B1.txt", L"rename");
    ASSERT_NE(rename, 0u);
    mt::MenuChooser chooser(rename);
    test::DialogAnswerer answer(L"RENAME", IDOK, [](HWND dlg) {
        ::SetDlgItemTextW(dlg, IDC_TEXT_FIELD, L"new \u0392\u03AE\u03C4\u03B1.txt");
    });
    RightClick(L"old \u0392\u03AE\u03C4\u03B1.txt");
    ASSERT_TRUE(test::PumpUntil([&] { return answer.Answered() == 1; }));
    EXPECT_EQ(test::ReadAll(left / L"new \u0392\u03AE\u03C4\u03B1.txt"), "x");
    EXPECT_EQ(test::ReadAll(left / L"old \u0392\u03AE\u03C4\u03B1.txt"), "<missing>");
}

TEST_F(ContextMenu, TheShellsCopyFillsTheClipboardAndItsDeleteAsksFirst)
{
    Files({L"keep.txt"});
    std::wstring file = left / L"keep.txt";
    ASSERT_TRUE(::OpenClipboard(main->Handle()));
    ::EmptyClipboard();
    ::CloseClipboard();
    {
        mt::MenuChooser chooser(mt::ShellMenuId(file, L"copy"));
        RightClick(L"keep.txt");
        ASSERT_TRUE(test::PumpUntil([] { return ::IsClipboardFormatAvailable(CF_HDROP) != FALSE; }));
    }
    ASSERT_TRUE(::OpenClipboard(main->Handle()));
    auto drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP));
    wchar_t name[MAX_PATH] = {};
    ASSERT_NE(drop, nullptr);
    ::DragQueryFileW(drop, 0, name, MAX_PATH);
    ::CloseClipboard();
    EXPECT_EQ(lstrcmpiW(name, file.c_str()), 0) << test::Narrow(name);

    UINT remove = mt::ShellMenuId(file, L"delete");
    ASSERT_NE(remove, 0u);
    mt::MenuChooser chooser(remove);
    test::DialogAnswerer no(L"#32770", IDNO);
    RightClick(L"keep.txt");
    ASSERT_TRUE(test::PumpUntil([&] { return no.Answered() == 1; }));
    test::Pump(200);
    EXPECT_EQ(test::ReadAll(file), "x");
}

TEST_F(ContextMenu, TheParentRowHasNoMenu)
{
    Files({L"a.txt"});
    test::DialogAnswerer box(L"#32770", IDOK);
    mt::MenuChooser chooser(0);
    RightClick(L"..");
    ASSERT_TRUE(test::PumpUntil([&] { return box.Answered() == 1; }));
    EXPECT_EQ(box.LastText(), fw::LoadStr(IDS_COPY_NOTHING));
    EXPECT_EQ(chooser.MenusSeen(), 0);
}

TEST_F(ContextMenu, TheAttributeModeOpensTheDialogOfWhatIsMarked)
{
    WriteProfileInt(L"Algemeen", L"ContextMenus", IDC_CFG_MENU_OWN);
    Files({L"a.txt", L"b.txt"});
    ASSERT_TRUE(test::MakeDir(left / L"D1"));
    ASSERT_TRUE(test::MakeDir(left / L"D2"));
    Show(L(), left.Path());
    struct { std::vector<const wchar_t*> marked; const wchar_t* clicked; const wchar_t* dialog; } cases[] = {
        {{L"a.txt", L"b.txt"}, L"a.txt", L"FILEATTRALL"},
        {{}, L"b.txt", L"FILEATTR"},
        {{}, L"D1", L"DIRATTR"},
        {{L"D1", L"D2"}, L"D2", L"DIRATTRALL"},
        {{L"a.txt", L"D1"}, L"a.txt", L"#32770"},
    };
    for (const auto& c : cases) {
        L().SetMark(-1, false);
        for (const wchar_t* name : c.marked) Mark(L(), name);
        test::DialogAnswerer answer(c.dialog, IDCANCEL);
        mt::MenuChooser chooser(0);
        RightClick(c.clicked);
        ASSERT_TRUE(test::PumpUntil([&] { return answer.Answered() == 1; })) << test::Narrow(c.dialog);
        EXPECT_EQ(chooser.MenusSeen(), 0);
        if (std::wstring(c.dialog) == L"#32770") {
            EXPECT_EQ(answer.LastText(), fw::LoadStr(IDS_MENU_NOTHING));
        }
        EXPECT_FALSE(main->operation.busy);
    }
}
