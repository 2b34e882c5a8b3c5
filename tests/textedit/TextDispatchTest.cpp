// View, Edit and Edit new file from a panel of the running program, with every choice of
// viewer and editor in "Paden"; and the program's end (close, log-off) with text windows open.
#include "cmdline/LaunchSupport.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "framework/Resources.h"
#include "resource.h"
#include "support/Scripted.h"
#include "tools/hexedit/HexEditDialog.h"
#include "tools/textedit/TextEditDialog.h"

using test::Box;
using test::Fields;
using test::Script;

class TextDispatch : public test::LaunchTest {
protected:
    void TearDown() override
    {
        test::extraPreTranslate = nullptr;
        for (te::CTextEditDialog* w : std::vector<te::CTextEditDialog*>(te::CTextEditDialog::OpenWindows())) {
            ::SendMessageW(w->Control(), EM_SETMODIFY, FALSE, 0);
            ::DestroyWindow(w->Handle());
        }
        for (hex::CHexEditDialog* w : std::vector<hex::CHexEditDialog*>(hex::CHexEditDialog::OpenWindows()))
            ::DestroyWindow(w->Handle());
        LaunchTest::TearDown();
    }
    void Start()
    {
        ASSERT_TRUE(test::MakeFile(tmp / L"notes.txt", "notes\r\n"));
        ASSERT_TRUE(test::MakeFile(tmp / L"old.txt", "already here\r\n"));
        ASSERT_TRUE(test::MakeDir(tmp / L"sub"));
        StartIn(tmp.Path(), tmp.Path());
        test::extraPreTranslate = [this](MSG& msg) { return main && main->PreTranslate(msg); };
    }
    // The newest text window, once there are count of them.
    te::CTextEditDialog* WaitForWindow(size_t count)
    {
        EXPECT_TRUE(test::PumpUntil([&] { return te::CTextEditDialog::OpenWindows().size() == count; }));
        const auto& open = te::CTextEditDialog::OpenWindows();
        return open.size() == count && count ? open.back() : nullptr;
    }
    void Paden(const wchar_t* key, int value)
    {
        if (value < 0) ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Brennmark\\PD\\Paden", key);
        else WriteProfileInt(L"Paden", key, value);
    }
    void SetProgram(const wchar_t* key, bool set) { WriteProfileString(L"Paden", key, set ? test::Recorder() : L""); }
};

TEST_F(TextDispatch, ViewAndEditFollowThePathsSettings)
{
    Start();
    Cursor(L"notes.txt");
    std::wstring file = tmp / L"notes.txt";
    struct Case {
        UINT command;
        int internalSetting; // -1: not stored
        bool programSet;
        bool external;
    };
    const Case cases[] = {
        {IDM_VIEW, -1, false, false}, {IDM_VIEW, -1, true, false}, {IDM_VIEW, 1, false, false},
        {IDM_VIEW, 1, true, true},    {IDM_EDIT, -1, false, false}, {IDM_EDIT, -1, true, true},
        {IDM_EDIT, 0, true, false},   {IDM_EDIT, 1, false, false},  {IDM_EDIT, 2, true, true},
    };
    size_t windows = 0, records = 0;
    for (const Case& c : cases) {
        bool view = c.command == IDM_VIEW;
        Paden(view ? L"InternalViewer" : L"InternalEditor", c.internalSetting);
        SetProgram(view ? L"Viewer" : L"Editor", c.programSet);
        ::SendMessageW(main->Handle(), WM_COMMAND, c.command, 0);
        std::string label =
            std::to_string(c.command) + " " + std::to_string(c.internalSetting) + " " + std::to_string(c.programSet);
        if (c.external) {
            std::vector<Record> got = WaitForRecords(++records);
            ASSERT_EQ(got.size(), records) << label;
            ASSERT_EQ(got.back().args.size(), 2u) << label;
            EXPECT_TRUE(test::SameName(got.back().args[1], file)) << label;
            EXPECT_EQ(te::CTextEditDialog::OpenWindows().size(), windows) << label;
            continue;
        }
        te::CTextEditDialog* w = WaitForWindow(++windows);
        ASSERT_NE(w, nullptr) << label;
        EXPECT_EQ(fw::GetText(w->Handle()), (view ? L"PD Viewer - " : L"PD Editor - ") + file) << label;
        EXPECT_EQ(w->IsViewer(), view) << label;
        EXPECT_EQ(w->IsReadOnly(), view) << label;
        UINT save = ::GetMenuState(::GetMenu(w->Handle()), IDM_TE_SAVE, MF_BYCOMMAND);
        EXPECT_EQ(save == static_cast<UINT>(-1), view) << label;
        EXPECT_EQ(w->StreamOut(), L"notes\r\n") << label;
        EXPECT_EQ(::GetWindow(w->Handle(), GW_OWNER), main->Handle()) << label;
    }
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Dir1", L""), tmp.Path());
    EXPECT_EQ(::Program().helpContext, 0);
    // A directory is no file to view.
    Cursor(L"sub");
    Script script({Box()});
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_VIEW, 0);
    EXPECT_TRUE(test::PumpUntil([&] { return script.Finished(); }));
    ASSERT_EQ(script.BoxTexts().size(), 1u);
    EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_NOENTRY));
}

TEST_F(TextDispatch, F3ViewsTheFileUnderTheCursor)
{
    Start();
    Cursor(L"notes.txt");
    ASSERT_TRUE(test::FocusForKeys(main->Handle()));
    ::SetFocus(main->LeftPanel().Handle());
    ASSERT_TRUE(test::Xdotool(L"key F3"));
    te::CTextEditDialog* w = WaitForWindow(1);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->IsViewer());
    EXPECT_EQ(w->Path(), tmp / L"notes.txt");
}

TEST_F(TextDispatch, EditNewFileOpensANewNameEmptyAndAnExistingOneAsItIs)
{
    Start();
    auto editNew = [&](const std::wstring& name, std::vector<test::Step> more = {}) {
        std::vector<test::Step> steps = {{L"EDITNEW", IDOK, Fields({{IDC_TEXT_FIELD, name}})}};
        steps.insert(steps.end(), more.begin(), more.end());
        Script script(steps);
        // The panel takes the request from its queue.
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_EDITNEW, 0);
        EXPECT_TRUE(test::PumpUntil([&] { return script.Finished(); })) << test::Narrow(name);
        return script.BoxTexts();
    };
    editNew(L"fresh.txt");
    te::CTextEditDialog* w = WaitForWindow(1);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->Path(), tmp / L"fresh.txt");
    EXPECT_FALSE(w->IsReadOnly());
    EXPECT_TRUE(w->StreamOut().empty());
    EXPECT_EQ(fw::GetText(w->Handle()), L"PD Editor - " + (tmp / L"fresh.txt"));
    ::SendMessageW(w->Control(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"typed"));
    ::SendMessageW(w->Handle(), WM_COMMAND, IDM_TE_SAVE, 0);
    EXPECT_EQ(test::ReadAll(tmp / L"fresh.txt"), "typed");
    // A name that exists is opened, not started empty over it.
    editNew(L"old.txt");
    w = WaitForWindow(2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->StreamOut(), L"already here\r\n");
    ::SendMessageW(w->Handle(), WM_COMMAND, IDM_TE_SAVE, 0);
    EXPECT_EQ(test::ReadAll(tmp / L"old.txt"), "already here\r\n");
    // A directory's name is refused.
    std::vector<std::wstring> boxes = editNew(L"sub", {Box()});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], fw::LoadStr(IDS_TE_ISDIRECTORY) + (tmp / L"sub"));
    EXPECT_EQ(te::CTextEditDialog::OpenWindows().size(), 2u);
    // A configured editor gets the new name.
    SetProgram(L"Editor", true);
    editNew(L"other.txt");
    std::vector<Record> got = WaitForRecords(1);
    ASSERT_EQ(got.size(), 1u);
    ASSERT_EQ(got[0].args.size(), 2u);
    EXPECT_TRUE(test::SameName(got[0].args[1], tmp / L"other.txt") ||
                ::lstrcmpiW(got[0].args[1].c_str(), (tmp / L"other.txt").c_str()) == 0);
}

TEST_F(TextDispatch, LogOffAsksEveryChangedEditorAndHexWindow)
{
    Start();
    Cursor(L"notes.txt");
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_EDIT, 0);
    te::CTextEditDialog* editor = WaitForWindow(1);
    ASSERT_NE(editor, nullptr);
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_HEXEDIT, 0);
    ASSERT_TRUE(test::PumpUntil([] { return hex::CHexEditDialog::OpenWindows().size() == 1; }));
    hex::CHexEditDialog* hexWindow = hex::CHexEditDialog::OpenWindows()[0];
    HWND editorWindow = editor->Handle(), hexHandle = hexWindow->Handle();
    ::SendMessageW(editor->Control(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"E"));
    ::SendMessageW(hexHandle, WM_CHAR, L'4', 0);
    {
        // Kept open: the session may not end.
        Script script({Box(IDCANCEL), Box(IDNO)});
        EXPECT_EQ(::SendMessageW(main->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(script.BoxTexts().size(), 2u);
        EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_TE_SAVECHANGES));
        EXPECT_EQ(script.BoxTexts()[1], fw::LoadStr(IDS_HEX_UNSAVED));
    }
    EXPECT_TRUE(::IsWindow(editorWindow));
    EXPECT_TRUE(::IsWindow(hexHandle));
    {
        // Saved and let go: the session may end.
        Script script({Box(IDYES), Box(IDYES)});
        EXPECT_EQ(::SendMessageW(main->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_FALSE(::IsWindow(editorWindow));
    EXPECT_FALSE(::IsWindow(hexHandle));
    EXPECT_EQ(test::ReadAll(tmp / L"notes.txt"), "Enotes\r\n");
    // Nothing changed: no question at all.
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_VIEW, 0);
    ASSERT_NE(WaitForWindow(1), nullptr);
    Script quiet({});
    EXPECT_EQ(::SendMessageW(main->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_TRUE(quiet.Finished());
}

TEST_F(TextDispatch, TheProgramStaysWhileTheUserKeepsAChangedText)
{
    Start();
    Cursor(L"notes.txt");
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_EDIT, 0);
    te::CTextEditDialog* editor = WaitForWindow(1);
    ASSERT_NE(editor, nullptr);
    ::SendMessageW(editor->Control(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"kept "));
    HWND frame = main->Handle();
    {
        Script script({Box(IDCANCEL)});
        ::SendMessageW(frame, WM_CLOSE, 0, 0);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_TRUE(::IsWindow(frame));
    EXPECT_TRUE(editor->IsModified());
    {
        Script script({Box(IDNO)});
        ::SendMessageW(frame, WM_CLOSE, 0, 0);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_FALSE(::IsWindow(frame));
    EXPECT_TRUE(te::CTextEditDialog::OpenWindows().empty());
    EXPECT_EQ(test::ReadAll(tmp / L"notes.txt"), "notes\r\n");
}
