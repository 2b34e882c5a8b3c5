// Every dialog and message of the hex window: copy, cut, delete, paste, find, go to, character
// set, colours, font, and the unknown command.
#include "hexedit/HexSupport.h"
#include "common/Settings.h"
#include "resource.h"
#include "support/Harness.h"
#include <commctrl.h>

using hextest::Box;
using hextest::Fields;
using hextest::HexWindowTest;
using hextest::Script;
using hextest::Step;

class HexCommands : public HexWindowTest {
protected:
    hex::CHexEditDialog* OpenWith(const std::string& content)
    {
        path = tmp / L"data.bin";
        EXPECT_TRUE(test::MakeFile(path, content));
        return Open(path);
    }
    std::string Bytes(hex::CHexEditDialog* w)
    {
        const hex::CByteBuffer& b = w->View().Editor().doc.Buffer();
        return b.Size() ? std::string(reinterpret_cast<const char*>(b.Data()), b.Size()) : std::string();
    }
    // Runs a command whose dialogs and boxes the script answers; the script must be used up.
    void Run(hex::CHexEditDialog* w, UINT id, std::vector<Step> steps, std::vector<int> boxIds = {})
    {
        Script script(std::move(steps));
        Command(w, id);
        test::Pump(30);
        EXPECT_TRUE(script.Finished()) << "command " << id;
        ASSERT_EQ(script.BoxTexts().size(), boxIds.size()) << "command " << id;
        for (size_t i = 0; i < boxIds.size(); ++i) EXPECT_EQ(script.BoxTexts()[i], hextest::LoadText(boxIds[i]));
    }
    static Step Range(const wchar_t* templateName, const std::wstring& start, const std::wstring& end,
                      const std::wstring& count, bool useEnd, bool clipboard = false)
    {
        return Step{templateName, IDOK,
                    Fields({{IDC_HEX_FIELD, start}, {IDC_HEX_FIELD2, end}, {IDC_HEX_FIELD3, count}},
                           {{IDC_HEX_OPTION2, useEnd}, {IDC_HEX_OPTION1, clipboard}})};
    }
    std::wstring path;
};

TEST_F(HexCommands, CopyPutsTheClipboardFormAndReportsBadFields)
{
    hex::CHexEditDialog* w = OpenWith(std::string("<A\0\r", 4) + "tail\\");
    hex::CHexEditor& ed = w->View().Editor();
    std::wstring shown;
    ed.sel = hex::Selection{true, 3, 0};
    Run(w, IDM_HEX_COPY, {{L"IDD_COPYDIALOG", IDOK, [&](HWND d) { shown = fw::GetText(::GetDlgItem(d, IDC_HEX_FIELD3)); }}});
    EXPECT_EQ(shown, L"4"); // the selection's count
    EXPECT_EQ(hextest::ClipboardText(), "\\<A<bh:00>\r");
    Run(w, IDM_HEX_COPY, {Range(L"IDD_COPYDIALOG", L"x5", L"", L"4", false)});
    EXPECT_EQ(hextest::ClipboardText(), "ail\\\\");
    Run(w, IDM_HEX_COPY, {Range(L"IDD_COPYDIALOG", L"12abc", L"1", L"1", true), Box()}, {IDS_HEX_BADSTART});
    Run(w, IDM_HEX_COPY, {Range(L"IDD_COPYDIALOG", L"1", L"x", L"1", true), Box()}, {IDS_HEX_BADEND});
    Run(w, IDM_HEX_COPY, {Range(L"IDD_COPYDIALOG", L"1", L"1", L"one", false), Box()}, {IDS_HEX_BADCOUNT});
    Run(w, IDM_HEX_COPY, {Range(L"IDD_COPYDIALOG", L"5", L"2", L"1", true), Box()}, {IDS_HEX_ENDBEFORESTART});
    Run(w, IDM_HEX_COPY, {Range(L"IDD_COPYDIALOG", L"5", L"9", L"1", true), Box()}, {IDS_HEX_BADCOUNT});
    Run(w, IDM_HEX_COPY, {Range(L"IDD_COPYDIALOG", L"-1", L"2", L"1", true), Box()}, {IDS_HEX_BADCOUNT});
    EXPECT_EQ(hextest::ClipboardText(), "ail\\\\");
}

TEST_F(HexCommands, CutAndDeleteCheckTheRangeBeforeTouchingAnything)
{
    hex::CHexEditDialog* w = OpenWith("0123456789");
    hextest::SetClipboardText("untouched");
    Run(w, IDM_HEX_CUT, {Range(L"IDD_CUTDIALOG", L"-2", L"", L"3", false, true), Box()}, {IDS_HEX_CUTBEYOND});
    Run(w, IDM_HEX_CUT, {Range(L"IDD_CUTDIALOG", L"8", L"", L"3", false, true), Box()}, {IDS_HEX_CUTBEYOND});
    Run(w, IDM_HEX_CUT, {Range(L"IDD_CUTDIALOG", L"2", L"", L"0", false, true), Box()}, {IDS_HEX_BADCOUNT});
    EXPECT_EQ(hextest::ClipboardText(), "untouched");
    EXPECT_EQ(Bytes(w), "0123456789");
    EXPECT_FALSE(w->View().Editor().modified);
    Run(w, IDM_HEX_CUT, {Range(L"IDD_CUTDIALOG", L"2", L"4", L"99", true, true)}); // the end offset counts
    EXPECT_EQ(Bytes(w), "0156789");
    EXPECT_EQ(hextest::ClipboardText(), "234");
    EXPECT_EQ(w->View().Editor().cursor, 2);
    bool clipboardOffered = true;
    Run(w, IDM_HEX_DELETE, {{L"IDD_CUTDIALOG", IDOK, [&](HWND d) {
                                 clipboardOffered = ::IsDlgButtonChecked(d, IDC_HEX_OPTION1) == BST_CHECKED;
                                 Fields({{IDC_HEX_FIELD, L"0"}, {IDC_HEX_FIELD2, L""}, {IDC_HEX_FIELD3, L"2"}})(d);
                             }}});
    EXPECT_FALSE(clipboardOffered);
    EXPECT_EQ(Bytes(w), "56789");
    EXPECT_EQ(hextest::ClipboardText(), "234");
    EXPECT_TRUE(w->View().Editor().modified);
}

TEST_F(HexCommands, PasteTakesValueCodesOrLiteralTextInsertsOrOverwrites)
{
    hex::CHexEditDialog* w = OpenWith("abcdefgh");
    hex::CHexEditor& ed = w->View().Editor();
    ed.cursor = 1;
    hextest::SetClipboardText("<wd:258>\\<");
    Run(w, IDM_HEX_PASTE, {{L"IDD_FASTPASTE_DIALOG", IDOK, Fields({{IDC_HEX_FIELD2, L"2"}})}});
    EXPECT_EQ(Bytes(w), std::string("a\x02\x01<\x02\x01<h", 8));
    EXPECT_EQ(ed.cursor, 1);
    hextest::SetClipboardText("<bh:FF>");
    Run(w, IDM_HEX_PASTE, {{L"IDD_FASTPASTE_DIALOG", IDOK,
                            Fields({}, {{IDC_HEX_OPTION2, false}, {IDC_HEX_INSERTMODE, true}})}});
    EXPECT_EQ(Bytes(w), std::string("a<bh:FF>\x02\x01<\x02\x01<h", 15));
    hextest::SetClipboardText("<bh:ff>");
    ed.cursor = 0;
    Run(w, IDM_HEX_PASTE, {{L"IDD_FASTPASTE_DIALOG", IDOK, Fields({}, {{IDC_HEX_OPTION1, true}})}});
    EXPECT_EQ(Bytes(w).substr(0, 8), "<bh:ff>>");
    Run(w, IDM_HEX_PASTE, {{L"IDD_FASTPASTE_DIALOG", IDOK, Fields({{IDC_HEX_FIELD2, L"0"}})}, Box()}, {IDS_HEX_BADCOUNT});
    ed.cursor = 14; // three bytes do not fit in front of the last
    Run(w, IDM_HEX_PASTE, {{L"IDD_FASTPASTE_DIALOG", IDOK, Fields({{IDC_HEX_FIELD2, L"3"}})}, Box()}, {IDS_HEX_NOROOM});
    Run(w, IDM_HEX_PASTE, {{L"IDD_FASTPASTE_DIALOG", IDOK, Fields({{IDC_HEX_FIELD2, L"x7fffffffffffffff"}})}, Box()},
        {IDS_HEX_NOROOM});
    EXPECT_EQ(Bytes(w).size(), 15u);
}

TEST_F(HexCommands, FindTextOrBytesNextAndTheMessages)
{
    std::string data = std::string(20, '-') + "Key" + std::string(20, '-') + std::string("\\\\K\0y", 5) + "KEY";
    hex::CHexEditDialog* w = OpenWith(data);
    hex::CHexEditor& ed = w->View().Editor();
    Run(w, IDM_HEX_FIND, {{L"IDD_FINDDIALOG", IDOK, Fields({{IDC_HEX_FIELD, L"kEy"}})}});
    EXPECT_EQ(ed.cursor, 20);
    Run(w, IDM_HEX_FINDNEXT, {});
    EXPECT_EQ(ed.cursor, 48);
    Run(w, IDM_HEX_FINDNEXT, {Box()}, {IDS_HEX_NOTFOUND});
    EXPECT_EQ(ed.cursor, 48); // a failed Find next leaves the cursor
    Run(w, IDM_HEX_FINDNEXT, {Box()}, {IDS_HEX_NOTFOUND});
    EXPECT_EQ(ed.cursor, 48);
    // Bytes: zero bytes count, and two backslashes are two.
    std::wstring shownHex;
    Run(w, IDM_HEX_FIND, {{L"IDD_FINDDIALOG", IDOK, Fields({{IDC_HEX_FIELD, L""}, {IDC_HEX_FIELD2, L"4b 00 79"}},
                                                           {{IDC_HEX_OPTION2, true}, {IDC_HEX_OPTION3, false}})}});
    EXPECT_EQ(ed.cursor, 45);
    Run(w, IDM_HEX_FIND, {{L"IDD_FINDDIALOG", IDOK, [&](HWND d) {
                               shownHex = fw::GetText(::GetDlgItem(d, IDC_HEX_FIELD2));
                               Fields({{IDC_HEX_FIELD2, L"5c5c"}}, {{IDC_HEX_OPTION2, false}, {IDC_HEX_OPTION3, true}})(d);
                           }},
                          Box()},
        {IDS_HEX_NOTFOUND});
    EXPECT_EQ(shownHex, L"4B0079");
    EXPECT_EQ(ed.cursor, 45); // 5C 5C lies before the cursor
    ed.cursor = 0;
    Run(w, IDM_HEX_FINDNEXT, {});
    EXPECT_EQ(ed.cursor, 43);
    Run(w, IDM_HEX_FIND, {{L"IDD_FINDDIALOG", IDOK, Fields({{IDC_HEX_FIELD, L"key"}}, {{IDC_HEX_OPTION1, true}})}, Box()},
        {IDS_HEX_NOTFOUND});
    Run(w, IDM_HEX_FIND, {{L"IDD_FINDDIALOG", IDOK, Fields({{IDC_HEX_FIELD, L""}, {IDC_HEX_FIELD2, L"4"}})}, Box()},
        {IDS_HEX_EMPTYPATTERN});
    // Value codes in the text field.
    ed.cursor = 0;
    Run(w, IDM_HEX_FIND, {{L"IDD_FINDDIALOG", IDOK, Fields({{IDC_HEX_FIELD, L"K<bh:00>y"}, {IDC_HEX_FIELD2, L""}})}});
    EXPECT_EQ(ed.cursor, 45);
}

TEST_F(HexCommands, GoToAbsoluteRelativeAndRefused)
{
    hex::CHexEditDialog* w = OpenWith(std::string(100, 'g'));
    hex::CHexEditor& ed = w->View().Editor();
    Run(w, IDM_HEX_GOTO, {{L"IDD_GOTODIALOG", IDOK, Fields({{IDC_HEX_FIELD, L"x40"}})}});
    EXPECT_EQ(ed.cursor, 64);
    std::wstring shown;
    Run(w, IDM_HEX_GOTO, {{L"IDD_GOTODIALOG", IDOK, [&](HWND d) {
                               shown = fw::GetText(::GetDlgItem(d, IDC_HEX_FIELD));
                               Fields({{IDC_HEX_FIELD, L"-x10"}})(d);
                           }}});
    EXPECT_EQ(shown, L"x40");
    EXPECT_EQ(ed.cursor, 48);
    Run(w, IDM_HEX_GOTO, {{L"IDD_GOTODIALOG", IDOK, Fields({{IDC_HEX_FIELD, L"100"}})}, Box()}, {IDS_HEX_BADGOTO});
    Run(w, IDM_HEX_GOTO, {{L"IDD_GOTODIALOG", IDOK, Fields({{IDC_HEX_FIELD, L"9z"}})}, Box()}, {IDS_HEX_BADGOTO});
    EXPECT_EQ(ed.cursor, 48);
}

TEST_F(HexCommands, CharacterSetFontAndColoursAreKept)
{
    hex::CHexEditDialog* w = OpenWith("\x82\xe9");
    hex::CHexEditor& ed = w->View().Editor();
    Run(w, IDM_HEX_CHARSET, {{L"IDD_CHARACTERSETDIALOG", IDOK,
                              Fields({{IDC_HEX_FIELD, L"big"}}, {{IDC_HEX_OPTION2, false}, {IDC_HEX_OPTION3, true}})},
                             Box()},
        {IDS_HEX_BADFONTSIZE});
    EXPECT_EQ(ed.charset, hex::CharsetOem);
    EXPECT_EQ(GetProfileInt(L"View", L"CharacterSet", 0), 10);
    EXPECT_EQ(GetProfileInt(L"View", L"FontSize", 0), 10);
    Run(w, IDM_HEX_CHARSET, {{L"IDD_CHARACTERSETDIALOG", IDOK, Fields({{IDC_HEX_FIELD, L"14"}})}});
    EXPECT_EQ(GetProfileInt(L"View", L"FontSize", 0), 14);
    wchar_t status[64] = {};
    ::SendMessageW(w->View().StatusBar(), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(status));
    EXPECT_STREQ(status, L"\tOEM / OVR");
    // The colour chooser, fully open: its red, green and blue fields.
    Run(w, IDM_HEX_BKCOLOR, {{L"Color", IDOK, Fields({{706, L"10"}, {707, L"20"}, {708, L"30"}})}});
    EXPECT_EQ(GetProfileInt(L"Colors", L"BkColorRed", 0), 10);
    EXPECT_EQ(GetProfileInt(L"Colors", L"BkColorGreen", 0), 20);
    EXPECT_EQ(GetProfileInt(L"Colors", L"BkColorBlue", 0), 30);
    EXPECT_EQ(w->View().BackgroundColor(), RGB(10, 20, 30));
    Run(w, IDM_HEX_FONT, {{L"Font", IDOK}});
    EXPECT_FALSE(GetProfileString(L"View", L"FontFace", L"").empty());
    EXPECT_NE(GetProfileInt(L"View", L"FontWeight", 0), 0);
}

TEST_F(HexCommands, TheUnknownCommandSaysSo)
{
    hex::CHexEditDialog* w = OpenWith("x");
    Script script({Box()});
    Command(w, 40099);
    EXPECT_TRUE(script.Finished());
    ASSERT_EQ(script.BoxTexts().size(), 1u);
    EXPECT_EQ(script.BoxTexts()[0], L"Unknown COMMAND-ID 40099.");
    EXPECT_EQ(script.BoxCaptions()[0], L"HEXEDERROR");
}
