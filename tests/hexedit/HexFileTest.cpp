// Loading and saving in the hex window: save, save as, failures that keep the old file, the close
// rule, names outside the ANSI code page, and files too big for memory.
#include "fileops/FileCheck.h"
#include "hexedit/HexSupport.h"
#include "common/Settings.h"
#include "resource.h"
#include "support/Harness.h"
#include "tools/hexedit/HexFile.h"
#include <commctrl.h>
#include <psapi.h>

using hextest::Box;
using hextest::HexWindowTest;
using hextest::Script;
using hextest::Step;
using test::FilesIn;
using test::SaveDialog;

namespace {
uint64_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {sizeof(counters)};
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
    return counters.PrivateUsage;
}

uint8_t ByteAt(const std::wstring& path, int64_t offset)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    uint8_t b = 0xEE;
    DWORD got = 0;
    ::ReadFile(file, &b, 1, &got, &at);
    ::CloseHandle(file);
    return b;
}

int64_t SizeOf(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}
}

class HexFiles : public HexWindowTest {
protected:
    void Type(hex::CHexEditDialog* w, const wchar_t* chars)
    {
        for (; *chars; ++chars) ::SendMessageW(w->Handle(), WM_CHAR, *chars, 0);
    }
};

TEST_F(HexFiles, SaveWritesTheBytesAndClearsTheMark)
{
    std::wstring path = tmp / L"save.bin";
    ASSERT_TRUE(test::MakeFile(path, "ABCDEF"));
    hex::CHexEditDialog* w = Open(path);
    Type(w, L"7a");
    EXPECT_TRUE(w->View().Editor().modified);
    Script script({});
    Command(w, IDM_HEX_SAVE);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(test::ReadAll(path), "zBCDEF");
    EXPECT_FALSE(w->View().Editor().modified);
    EXPECT_EQ(FilesIn(tmp.Path()), 1); // no temporary file left beside it
}

TEST_F(HexFiles, AFailedWriteKeepsTheOldFileAndTheChanges)
{
    std::wstring path = tmp / L"keep.bin";
    std::string original(5000, 'k');
    ASSERT_TRUE(test::MakeFile(path, original));
    hex::CHexEditDialog* w = Open(path);
    Type(w, L"00");
    SetWriteFailureAfter(1000);
    Script script({Box()});
    Command(w, IDM_HEX_SAVE);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(test::ReadAll(path), original);
    EXPECT_TRUE(w->View().Editor().modified);
    EXPECT_EQ(FilesIn(tmp.Path()), 1);
    SetWriteFailureAfter(-1);
    Command(w, IDM_HEX_SAVE);
    EXPECT_EQ(test::ReadAll(path), std::string(1, '\0') + original.substr(1));
}

TEST_F(HexFiles, SaveAsAsksBeforeReplacingAndMovesTheTitle)
{
    std::wstring path = tmp / L"from.bin", other = tmp / L"other.bin", fresh = tmp / L"fresh.bin";
    ASSERT_TRUE(test::MakeFile(path, "from"));
    ASSERT_TRUE(test::MakeFile(other, "other"));
    hex::CHexEditDialog* w = Open(path);
    Type(w, L"46");
    {
        Script script({SaveDialog(other), Box(IDNO)});
        Command(w, IDM_HEX_SAVEAS);
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(script.BoxTexts().size(), 1u);
        EXPECT_EQ(script.BoxTexts()[0], other + hextest::LoadText(IDS_HEX_REPLACE));
    }
    EXPECT_EQ(test::ReadAll(other), "other");
    EXPECT_TRUE(w->View().Editor().modified);
    {
        Script script({SaveDialog(other), Box(IDYES)});
        Command(w, IDM_HEX_SAVEAS);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(test::ReadAll(other).substr(0, 4), "From");
    EXPECT_EQ(test::ReadAll(path), "from");
    EXPECT_EQ(fw::GetText(w->Handle()), L" PD Hex Editor - " + other);
    EXPECT_FALSE(w->View().Editor().modified);
    {
        // A new name: the dialog itself may ask to create it.
        Script script({SaveDialog(fresh), Box(IDYES)});
        Command(w, IDM_HEX_SAVEAS);
        EXPECT_LE(script.Unexpected().size(), 0u);
    }
    EXPECT_EQ(test::ReadAll(fresh), "From");
}

TEST_F(HexFiles, AFileThatCannotBeReadLeavesAnUntitledEditorThatCannotOverwriteIt)
{
    std::wstring missing = tmp / L"missing.bin";
    hex::CHexEditDialog* w = nullptr;
    {
        Script script({Box()});
        w = Open(missing);
        EXPECT_TRUE(script.Finished());
    }
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(fw::GetText(w->Handle()), L" PD Hex Editor - Untitled");
    EXPECT_TRUE(w->View().Editor().untitled);
    EXPECT_EQ(w->View().Editor().Size(), 0);
    Type(w, L"41");
    Script script({Box()});
    Command(w, IDM_HEX_SAVE);
    EXPECT_TRUE(script.Finished());
    ASSERT_EQ(script.BoxCaptions().size(), 1u);
    EXPECT_EQ(script.BoxCaptions()[0], L"Save");
    EXPECT_EQ(::GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(HexFiles, TheCloseRuleAsksWithThePathAndKeepsTheSettings)
{
    std::wstring path = tmp / L"close.bin";
    ASSERT_TRUE(test::MakeFile(path, "close"));
    hex::CHexEditDialog* w = Open(path);
    HWND wnd = w->Handle();
    ::MoveWindow(wnd, 30, 40, 500, 300, TRUE);
    Type(w, L"43");
    {
        Script script({Box(IDNO)});
        ::SendMessageW(wnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(script.Finished());
        EXPECT_EQ(script.BoxTexts()[0], hextest::LoadText(IDS_HEX_UNSAVED));
        EXPECT_EQ(script.BoxCaptions()[0], path);
    }
    EXPECT_TRUE(::IsWindow(wnd));
    {
        Script script({Box(IDYES)});
        Command(w, IDM_HEX_CLOSE);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(test::ReadAll(path), "close"); // the changes were let go
    EXPECT_EQ(GetProfileString(L"View", L"FontFace", L""), L"Fixedsys");
    EXPECT_EQ(GetProfileInt(L"Colors", L"SeparatorColorRed", -1), 192);
    EXPECT_EQ(GetProfileInt(L"View", L"WindowX", -1), 30);
    EXPECT_EQ(GetProfileInt(L"View", L"WindowHeight", -1), 340);
    // The next window comes back where this one was.
    hex::CHexEditDialog* again = Open(path);
    test::Pump(100);
    RECT r;
    ::GetWindowRect(again->Handle(), &r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.right, 530);
}

TEST_F(HexFiles, NamesOutsideTheAnsiCodePageOpenAndSave)
{
    std::wstring path = tmp / L"\u4e2d\u6587-\u0151\u0444.bin";
    ASSERT_TRUE(test::MakeFile(path, "wide"));
    hex::CHexEditDialog* w = Open(path);
    EXPECT_EQ(w->View().Editor().Size(), 4);
    EXPECT_EQ(fw::GetText(w->Handle()), L" PD Hex Editor - " + path);
    Type(w, L"57");
    Command(w, IDM_HEX_SAVE);
    EXPECT_EQ(test::ReadAll(path), "Wide");
}

TEST_F(HexFiles, SeveralWindowsEditTheirOwnFiles)
{
    std::wstring a = tmp / L"a.bin", b = tmp / L"b.bin";
    ASSERT_TRUE(test::MakeFile(a, "aaaa"));
    ASSERT_TRUE(test::MakeFile(b, "bbbb"));
    hex::CHexEditDialog* first = Open(a);
    hex::CHexEditDialog* second = Open(b);
    EXPECT_EQ(hex::CHexEditDialog::OpenWindows().size(), 2u);
    Type(second, L"31");
    Command(second, IDM_HEX_SAVE);
    EXPECT_FALSE(first->View().Editor().modified);
    EXPECT_EQ(test::ReadAll(a), "aaaa");
    EXPECT_EQ(test::ReadAll(b), "1bbb");
    ::SendMessageW(first->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(hex::CHexEditDialog::OpenWindows().size(), 1u);
}

TEST_F(HexFiles, AFileOfFiveGigabytesIsNeverCutAndStaysSmallInMemory)
{
    std::wstring path = tmp / L"huge.bin";
    const int64_t size = 5000000000LL;
    ASSERT_TRUE(test::MakeSparseFile(path, size));
    uint64_t before = PrivateBytes();
    hex::CHexEditDialog* w = Open(path);
    hex::CHexEditor& ed = w->View().Editor();
    ASSERT_TRUE(ed.doc.IsPaged());
    EXPECT_EQ(ed.Size(), size);
    wchar_t status[64] = {};
    ::SendMessageW(w->View().StatusBar(), SB_GETTEXTW, 2, reinterpret_cast<LPARAM>(status));
    EXPECT_STREQ(status, L"\tSize: 5000000000");
    Command(w, IDM_HEX_BOTTOM);
    ::UpdateWindow(w->Handle());
    EXPECT_EQ(ed.cursor, size);
    Script go({{L"IDD_GOTODIALOG", IDOK, hextest::Fields({{IDC_HEX_FIELD, L"-1"}})}});
    Command(w, IDM_HEX_GOTO);
    EXPECT_EQ(ed.cursor, size - 1);
    Type(w, L"7e");
    ed.cursor = 3000000000LL;
    Type(w, L"41");
    // Size changes are refused, and say so.
    Script refused({Box(), Box()});
    Command(w, IDM_HEX_INSERT);
    Type(w, L"1");
    Command(w, IDM_HEX_CUT);
    EXPECT_TRUE(refused.Finished());
    EXPECT_EQ(refused.BoxTexts()[0], hextest::LoadText(IDS_HEX_NOTPAGED));
    Command(w, IDM_HEX_INSERT);
    EXPECT_LE(ed.doc.Paged()->PagesHeld(), hex::CPagedFile::CachedPages + 2);
    EXPECT_LT(PrivateBytes() - before, 64u << 20);
    // Find backwards from the end, through the pages.
    ed.cursor = size;
    Script find({{L"IDD_FINDDIALOG", IDOK, hextest::Fields({{IDC_HEX_FIELD, L""}, {IDC_HEX_FIELD2, L"7e"}},
                                                             {{IDC_HEX_OPTION2, true}, {IDC_HEX_OPTION3, false}})}});
    Command(w, IDM_HEX_FIND);
    EXPECT_EQ(ed.cursor, size - 1);
    Command(w, IDM_HEX_SAVE);
    EXPECT_FALSE(ed.modified);
    EXPECT_EQ(SizeOf(path), size);
    EXPECT_EQ(ByteAt(path, size - 1), 0x7E);
    EXPECT_EQ(ByteAt(path, 3000000000LL), 0x41);
    EXPECT_EQ(ByteAt(path, 3000000001LL), 0x00);
}

TEST_F(HexFiles, AboveALoweredLimitASmallFileIsPagedAndSavedInPlace)
{
    hex::SetInMemoryLimit(1 << 20);
    std::wstring path = tmp / L"paged.bin";
    std::string content(3 << 20, 'p');
    content.replace(2500000, 6, "needle");
    ASSERT_TRUE(test::MakeFile(path, content));
    hex::CHexEditDialog* w = Open(path);
    hex::CHexEditor& ed = w->View().Editor();
    ASSERT_TRUE(ed.doc.IsPaged());
    Script find({{L"IDD_FINDDIALOG", IDOK, hextest::Fields({{IDC_HEX_FIELD, L"NEEDLE"}},
                                                             {{IDC_HEX_OPTION2, false}, {IDC_HEX_OPTION3, true}})}});
    Command(w, IDM_HEX_FIND);
    EXPECT_TRUE(find.Finished());
    EXPECT_EQ(ed.cursor, 2500000);
    ::SendMessageW(w->Handle(), WM_USER + 40, 0, 0); // Tab: the text pane
    Type(w, L"N");
    ed.sel = hex::Selection{true, 2500000, 2500005};
    Script copy({{L"IDD_COPYDIALOG", IDOK}});
    Command(w, IDM_HEX_COPY);
    EXPECT_EQ(hextest::ClipboardText(), "Needle");
    Command(w, IDM_HEX_SAVE);
    content[2500000] = 'N';
    EXPECT_TRUE(test::ReadAll(path) == content);
}
