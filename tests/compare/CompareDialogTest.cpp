// "Compare files" in the running program: refusals, opening on the first difference, navigation
// and its messages, the shared scroll bar, red and black rows on the screen, editing either file,
// the settings and the stored placement.
#include "cmdline/LaunchSupport.h"
#include "common/Settings.h"
#include "framework/Resources.h"
#include "resource.h"
#include "support/Scripted.h"
#include "tools/compare/FileCompareDialog.h"
#include "tools/textedit/TextEditDialog.h"
#include <algorithm>

using test::Box;
using test::Fields;
using test::Script;
using cmp::CFileCompareDialog;

namespace {
std::function<void(CFileCompareDialog&)> pending;
std::function<bool()> closeWhen;

void CALLBACK CloseWhenDone(HWND wnd, UINT, UINT_PTR id, DWORD)
{
    if (closeWhen && !closeWhen()) return;
    ::KillTimer(wnd, id);
    ::PostMessageW(wnd, WM_COMMAND, IDCANCEL, 0);
}

// Runs inside the window's own modal loop.
void CALLBACK RunPending(HWND wnd, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(wnd, id);
    if (CFileCompareDialog* dialog = CFileCompareDialog::Current()) pending(*dialog);
    ::SetTimer(wnd, id + 1, 20, CloseWhenDone);
}

int ListTop(HWND list) { return static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0)); }

// The pixels of one list as the screen shows them.
struct Capture {
    int width = 0, height = 0;
    std::vector<uint32_t> bits;
    COLORREF At(int x, int y) const
    {
        uint32_t p = bits[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
        return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
    }
};

// From the window's own surface when client is set (no window manager or screen in between),
// else the whole window as the screen shows it.
Capture CaptureWindow(HWND wnd, bool client = false)
{
    Capture c;
    RECT r = {};
    if (client) ::GetClientRect(wnd, &r);
    else ::GetWindowRect(wnd, &r);
    c.width = r.right - r.left;
    c.height = r.bottom - r.top;
    HDC source = client ? ::GetDC(wnd) : ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(source);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), c.width, -c.height, 1, 32, BI_RGB};
    uint32_t* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(mem, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    // A client area is drawn by the window itself into our bitmap, so whatever the screen shows
    // (another window, a paint still queued under load) cannot change what is read.
    if (client) std::fill(bits, bits + static_cast<size_t>(c.width) * static_cast<size_t>(c.height), 0x00FFFFFFu);
    if (client) ::SendMessageW(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
    else ::BitBlt(mem, 0, 0, c.width, c.height, source, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    c.bits.assign(bits, bits + static_cast<size_t>(c.width) * static_cast<size_t>(c.height));
    ::SelectObject(mem, old);
    ::DeleteObject(bmp);
    ::DeleteDC(mem);
    ::ReleaseDC(client ? wnd : nullptr, source);
    return c;
}

// Keeps a capture as a .bmp file beside the tests, for a person to look at.
void SaveCapture(const Capture& c, const std::wstring& path)
{
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {sizeof(info), c.width, -c.height, 1, 32, BI_RGB};
    DWORD bytes = static_cast<DWORD>(c.bits.size() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + bytes;
    HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE) return;
    DWORD n = 0;
    ::WriteFile(out, &file, sizeof(file), &n, nullptr);
    ::WriteFile(out, &info, sizeof(info), &n, nullptr);
    ::WriteFile(out, c.bits.data(), bytes, &n, nullptr);
    ::CloseHandle(out);
}

std::string Numbered(const char* stem, int from, int to)
{
    std::string text;
    for (int i = from; i < to; ++i) text += std::string(stem) + std::to_string(i) + "\n";
    return text;
}
}

class CompareFiles : public test::LaunchTest {
protected:
    void SetUp() override
    {
        LaunchTest::SetUp();
        left = tmp / L"left";
        right = tmp / L"right";
        ASSERT_TRUE(test::MakeDir(left));
        ASSERT_TRUE(test::MakeDir(right));
    }
    void TearDown() override
    {
        pending = nullptr;
        closeWhen = nullptr;
        std::vector<te::CTextEditDialog*> open = te::CTextEditDialog::OpenWindows();
        for (te::CTextEditDialog* w : open) ::DestroyWindow(w->Handle());
        LaunchTest::TearDown();
    }
    // Both panels on their directories, the cursor of each on its file.
    void StartOn(const std::string& a, const std::string& b)
    {
        ASSERT_TRUE(test::MakeFile(left + L"\\a.txt", a));
        ASSERT_TRUE(test::MakeFile(right + L"\\b.txt", b));
        StartIn(left, right);
        SetCursor(main->LeftPanel(), L"a.txt");
        SetCursor(main->RightPanel(), L"b.txt");
    }
    void SetCursor(CFileList& panel, const std::wstring& name)
    {
        int row = test::RowOf(panel, name);
        ASSERT_GE(row, 0);
        panel.List().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    // Runs "Compare files"; body runs while its window is open, which closes afterwards (once until
    // holds, when given: meanwhile the window's own loop runs). more: the modal windows expected
    // after the compare window itself; the body finds them answered in active.
    void WhileOpen(const std::function<void(CFileCompareDialog&)>& body, std::function<bool()> until = {},
                   std::vector<test::Step> more = {})
    {
        bool ran = false;
        pending = [&ran, body](CFileCompareDialog& d) {
            ran = true;
            body(d);
        };
        closeWhen = std::move(until);
        std::vector<test::Step> steps = {{L"FILECOMP", 0, [](HWND d) { ::SetTimer(d, 0x5D, 10, RunPending); }}};
        steps.insert(steps.end(), more.begin(), more.end());
        Script script(steps);
        active = &script;
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FILECOMP, 0);
        active = nullptr;
        closeWhen = nullptr;
        EXPECT_TRUE(ran);
        EXPECT_TRUE(script.Finished());
    }
    Script* active = nullptr;
    // Waits until the window stands on the item, after its opening jump.
    static testing::AssertionResult OnTop(CFileCompareDialog& d, int item)
    {
        auto there = [&] { return d.TopIndex() == item && ListTop(d.List(0)) == item && ListTop(d.List(1)) == item; };
        if (test::PumpUntil(there)) return testing::AssertionSuccess();
        return testing::AssertionFailure() << "top " << d.TopIndex() << ", lists " << ListTop(d.List(0)) << " and "
                                           << ListTop(d.List(1)) << ", not " << item;
    }
    std::wstring left, right;
};

TEST_F(CompareFiles, ARefusalWithoutAFileUnderEachCursor)
{
    ASSERT_TRUE(test::MakeDir(left + L"\\sub"));
    StartOn("a\n", "b\n");
    EXPECT_TRUE(main->IsCommandAvailable(IDM_FILECOMP));
    for (const wchar_t* name : {L"sub", L".."}) {
        SetCursor(main->LeftPanel(), name);
        Script script({Box()});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FILECOMP, 0);
        EXPECT_TRUE(script.Finished()) << test::Narrow(name);
        ASSERT_EQ(script.BoxTexts().size(), 1u);
        EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_NOENTRY));
    }
    SetCursor(main->LeftPanel(), L"a.txt");
    // An FTP panel on either side.
    main->RightPanel().drive = L"FTP";
    Script script({Box()});
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FILECOMP, 0);
    EXPECT_TRUE(script.Finished());
    ASSERT_EQ(script.BoxTexts().size(), 1u);
    EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_NOTONFTP_PRINT));
    main->RightPanel().drive = right.substr(0, 3);
}

TEST_F(CompareFiles, AFileThatCannotBeReadIsNamed)
{
    StartOn("a\n", "b\n");
    std::wstring locked = right + L"\\b.txt";
    HANDLE lock = ::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Script script({Box()});
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_FILECOMP, 0);
    ::CloseHandle(lock);
    EXPECT_TRUE(script.Finished());
    ASSERT_EQ(script.BoxTexts().size(), 1u);
    EXPECT_EQ(script.BoxTexts()[0].find(fw::LoadStr(IDS_FC_CANTREAD) + locked), 0u);
    EXPECT_EQ(CFileCompareDialog::Current(), nullptr);
}

TEST_F(CompareFiles, ItOpensOnTheFirstDifferenceAndStepsBetweenBlocks)
{
    // Rows: 0-1 x/y, 2-41 equal, 42-43 old/new, 44-83 equal, 84 gone.
    std::string common1 = Numbered("same ", 0, 40), common2 = Numbered("more ", 0, 40);
    StartOn("x\n" + common1 + "old\n" + common2 + "gone\n", "y\n" + common1 + "new\n" + common2);
    WhileOpen([&](CFileCompareDialog& d) {
        EXPECT_EQ(fw::GetText(d.Item(IDC_FC_LEFTPATH)), left + L"\\a.txt");
        EXPECT_EQ(fw::GetText(d.Item(IDC_FC_RIGHTPATH)), right + L"\\b.txt");
        ASSERT_EQ(d.Comparison().Items(0).size(), 85u);
        EXPECT_EQ(::SendMessageW(d.List(0), LB_GETCOUNT, 0, 0), 85);
        EXPECT_EQ(::SendMessageW(d.List(1), LB_GETCOUNT, 0, 0), 85);
        // The first line differs: the window opens on it, not on the second difference.
        test::Pump(300);
        EXPECT_TRUE(OnTop(d, 0));
        auto press = [&](UINT id) { ::SendMessageW(d.Handle(), WM_COMMAND, id, 0); };
        press(IDM_FC_NEXTDIFF);
        EXPECT_TRUE(OnTop(d, 42));
        press(IDM_FC_NEXTSAME);
        EXPECT_TRUE(OnTop(d, 44));
        press(IDM_FC_PREVSAME);
        EXPECT_TRUE(OnTop(d, 2));
        press(IDM_FC_PREVDIFF);
        EXPECT_TRUE(OnTop(d, 0));
        {
            Script script({Box()});
            press(IDM_FC_PREVDIFF);
            EXPECT_TRUE(script.Finished());
            ASSERT_EQ(script.BoxTexts().size(), 1u);
            EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_FC_ATSTART));
        }
        EXPECT_TRUE(OnTop(d, 0));
        // Beyond the last difference: the end of the lists, and the message.
        {
            Script script({Box()});
            press(IDM_FC_NEXTDIFF);
            press(IDM_FC_NEXTDIFF);
            EXPECT_EQ(d.TopIndex(), 84);
            press(IDM_FC_NEXTDIFF);
            EXPECT_TRUE(script.Finished());
            ASSERT_EQ(script.BoxTexts().size(), 1u);
            EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_FC_ATEND));
        }
        EXPECT_EQ(d.TopIndex(), 84);
        int shown = ListTop(d.List(0));
        EXPECT_EQ(ListTop(d.List(1)), shown);
        EXPECT_EQ(::GetScrollPos(d.Item(IDC_FC_SCROLL), SB_CTL), shown);
        EXPECT_GT(shown, 40);
        // Back from the end goes to the last difference's start.
        press(IDM_FC_PREVDIFF);
        EXPECT_TRUE(OnTop(d, 42));
    });
}

TEST_F(CompareFiles, OneScrollBarMovesBothLists)
{
    StartOn(Numbered("line ", 0, 200), Numbered("line ", 0, 200) + "extra\n");
    WhileOpen([&](CFileCompareDialog& d) {
        HWND bar = d.Item(IDC_FC_SCROLL);
        SCROLLINFO info = {sizeof(info), SIF_ALL};
        ASSERT_TRUE(::GetScrollInfo(bar, SB_CTL, &info));
        EXPECT_EQ(info.nMax, 201);
        EXPECT_EQ(static_cast<int>(info.nPage), d.VisibleLines());
        // The lists have no vertical bar of their own.
        EXPECT_FALSE(::GetWindowLongW(d.List(0), GWL_STYLE) & WS_VSCROLL);
        EXPECT_EQ(::SendMessageW(d.List(0), LB_GETHORIZONTALEXTENT, 0, 0), 4000);
        // The opening stands on the one difference, the last row; the lists show their last page.
        EXPECT_TRUE(test::PumpUntil([&] { return d.TopIndex() == 200; }));
        EXPECT_EQ(ListTop(d.List(0)), ListTop(d.List(1)));
        EXPECT_GT(ListTop(d.List(0)), 150);
        d.ScrollTo(0);
        auto scroll = [&](int code) { ::SendMessageW(d.Handle(), WM_VSCROLL, code, reinterpret_cast<LPARAM>(bar)); };
        scroll(SB_LINEDOWN);
        EXPECT_TRUE(OnTop(d, 1));
        scroll(SB_PAGEDOWN);
        EXPECT_TRUE(OnTop(d, 1 + d.VisibleLines()));
        scroll(SB_LINEUP);
        EXPECT_TRUE(OnTop(d, d.VisibleLines()));
        EXPECT_EQ(::GetScrollPos(bar, SB_CTL), d.VisibleLines());
        // Keys and the wheel in one list move the other as well.
        ::SendMessageW(d.List(1), WM_KEYDOWN, VK_HOME, 0);
        EXPECT_TRUE(OnTop(d, 0));
        ::SendMessageW(d.List(0), WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_TRUE(OnTop(d, 1));
        ::SendMessageW(d.List(1), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
        EXPECT_TRUE(OnTop(d, 4));
    });
}

TEST_F(CompareFiles, EqualRowsAreBlackAndDifferencesRed)
{
    StartOn("equal one\nequal two\nonly left\n", "equal one\nequal two\nonly right\n");
    WhileOpen([&](CFileCompareDialog& d) {
        EXPECT_TRUE(test::PumpUntil([&] { return d.TopIndex() == 2; }));
        for (int side = 0; side < 2; ++side) ::UpdateWindow(d.List(side));
        SaveCapture(CaptureWindow(d.Handle()), test::BinDirectory() + L"\\compare.bmp");
        for (int side = 0; side < 2; ++side) {
            HWND list = d.List(side);
            Capture shot = CaptureWindow(list, true);
            const std::vector<cmp::CompareItem>& items = d.Comparison().Items(side);
            for (int row = 0; row < static_cast<int>(items.size()); ++row) {
                RECT r = {};
                ::SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
                int red = 0, black = 0;
                for (int y = r.top; y < r.bottom && y < shot.height; ++y)
                    for (int x = r.left; x < r.right && x < shot.width && x < 200; ++x) {
                        COLORREF c = shot.At(x, y);
                        red += GetRValue(c) > 150 && GetGValue(c) < 90 && GetBValue(c) < 90;
                        black += GetRValue(c) < 90 && GetGValue(c) < 90 && GetBValue(c) < 90;
                    }
                if (!items[row].line) {
                    EXPECT_EQ(red + black, 0) << side << " " << row; // a filler is empty
                } else if (items[row].same) {
                    EXPECT_GT(black, 10) << side << " " << row;
                    EXPECT_EQ(red, 0) << side << " " << row;
                } else {
                    EXPECT_GT(red, 10) << side << " " << row;
                    EXPECT_EQ(black, 0) << side << " " << row;
                }
            }
        }
    });
}

TEST_F(CompareFiles, EitherFileOpensInTheChosenEditor)
{
    StartOn("a\n", "b\n");
    WhileOpen([&](CFileCompareDialog& d) {
        // No editor chosen: the internal one, while the compare window stays.
        ::SendMessageW(d.Handle(), WM_COMMAND, IDM_FC_EDITLEFT, 0);
        ASSERT_EQ(te::CTextEditDialog::OpenWindows().size(), 1u);
        te::CTextEditDialog* editor = te::CTextEditDialog::OpenWindows()[0];
        EXPECT_EQ(editor->Path(), left + L"\\a.txt");
        EXPECT_FALSE(editor->IsViewer());
        EXPECT_TRUE(::IsWindow(d.Handle()));
        WriteProfileString(L"Paden", L"Editor", test::Recorder());
        ::SendMessageW(d.Handle(), WM_COMMAND, IDM_FC_EDITRIGHT, 0);
        std::vector<Record> records = WaitForRecords(1);
        ASSERT_EQ(records.size(), 1u);
        ASSERT_EQ(records[0].args.size(), 2u);
        EXPECT_TRUE(test::SameName(records[0].args[1], right + L"\\b.txt"));
    });
    // The editor outlives the compare window.
    EXPECT_EQ(te::CTextEditDialog::OpenWindows().size(), 1u);
}

TEST_F(CompareFiles, AnEditorOpenedFromTheCompareWindowGetsItsKeys)
{
    StartOn("a\n", "right file\n");
    std::wstring marker = L"/tmp/pdcmp-" + std::to_wstring(::GetCurrentProcessId());
    std::wstring windowsMarker = L"Z:" + marker;
    for (wchar_t& c : windowsMarker)
        if (c == L'/') c = L'\\';
    te::CTextEditDialog* editor = nullptr;
    DWORD started = 0;
    WhileOpen(
        [&](CFileCompareDialog& d) {
            ::SendMessageW(d.Handle(), WM_COMMAND, IDM_FC_EDITRIGHT, 0);
            ASSERT_EQ(te::CTextEditDialog::OpenWindows().size(), 1u);
            editor = te::CTextEditDialog::OpenWindows()[0];
            ASSERT_TRUE(test::FocusForKeys(editor->Handle()));
            // The keys arrive while the compare window's own modal loop runs: the editor's filter must
            // still see f, h, Tab and Ctrl+S.
            std::wstring line = L"/bin/sh -c \"/usr/bin/xdotool key --delay 30 f h Tab ctrl+s; touch " + marker + L"\"";
            STARTUPINFOW si = {sizeof(si)};
            PROCESS_INFORMATION pi = {};
            // A Unix program leaves stale values in pi under Wine: closing them could close one of ours.
            ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
            started = ::GetTickCount();
        },
        [&] {
            bool typed = ::GetFileAttributesW(windowsMarker.c_str()) != INVALID_FILE_ATTRIBUTES;
            bool saved = test::ReadAll(right + L"\\b.txt") != "right file\n";
            return (typed && saved) || ::GetTickCount() - started > 15000;
        });
    ::DeleteFileW(windowsMarker.c_str());
    EXPECT_EQ(test::ReadAll(right + L"\\b.txt"), "fh\tright file\n");
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->IsModified());
}

TEST_F(CompareFiles, TheSettingsDecideWhatIsEqual)
{
    StartOn("a  b\nSAME\n", "a b\nsame\n");
    {
        auto fields = Fields({{IDC_FCS_TAB, L"8"}}, {{IDC_FCS_BLANKS, true}, {IDC_FCS_CASE, true}});
        Script script({{L"FILECOMPSETTINGS", IDOK, fields}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_COMPSETTINGS, 0);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(GetProfileInt(L"FileComp", L"NegeerSpaties", 0), 1);
    EXPECT_EQ(GetProfileInt(L"FileComp", L"NegeerCase", 0), 1);
    EXPECT_EQ(GetProfileInt(L"FileComp", L"PerTab", 0), 8);
    std::vector<std::wstring> boxes;
    WhileOpen(
        [&](CFileCompareDialog& d) {
            // The opening finds nothing to stand on and says so.
            EXPECT_TRUE(test::PumpUntil([&] { return !active->BoxTexts().empty(); }));
            boxes = active->BoxTexts();
            for (const cmp::CompareItem& item : d.Comparison().Items(0)) EXPECT_TRUE(item.same);
        },
        {}, {Box()});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], fw::LoadStr(IDS_FC_NODIFFERENCES));
}

TEST_F(CompareFiles, ATabWidthOutsideItsRangeIsRefused)
{
    StartOn("a\n", "a\n");
    cmp::CCompareSettingsDialog dialog;
    ASSERT_TRUE(dialog.CreateModeless(main->Handle()));
    HWND wnd = dialog.Handle();
    EXPECT_EQ(fw::GetText(::GetDlgItem(wnd, IDC_FCS_TAB)), L"4");
    for (const wchar_t* typed : {L"0", L"33", L""}) {
        ::SetDlgItemTextW(wnd, IDC_FCS_TAB, typed);
        Script script({Box()});
        ::SendMessageW(wnd, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(script.Finished()) << test::Narrow(typed);
        ASSERT_EQ(script.BoxTexts().size(), 1u);
        EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_FC_BADTAB));
        EXPECT_TRUE(::IsWindow(wnd));
    }
    EXPECT_EQ(GetProfileInt(L"FileComp", L"PerTab", -1), -1);
    ::SetDlgItemTextW(wnd, IDC_FCS_TAB, L"32");
    ::SendMessageW(wnd, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(::IsWindow(wnd));
    EXPECT_EQ(GetProfileInt(L"FileComp", L"PerTab", -1), 32);
}

TEST_F(CompareFiles, PlacementAndFontAreKept)
{
    StartOn("a\n", "b\n");
    WhileOpen([&](CFileCompareDialog& d) {
        ::MoveWindow(d.Handle(), 40, 50, 700, 500, TRUE);
        Script script({{L"Font", IDOK}});
        ::SendMessageW(d.Handle(), WM_COMMAND, IDM_FC_FONT, 0);
        EXPECT_TRUE(script.Finished());
    });
    EXPECT_EQ(GetProfileInt(L"FileComp", L"wp.left", 0), 40);
    EXPECT_EQ(GetProfileInt(L"FileComp", L"wp.top", 0), 50);
    EXPECT_EQ(GetProfileInt(L"FileComp", L"wp.right", 0), 740);
    EXPECT_EQ(GetProfileInt(L"FileComp", L"wp.bottom", 0), 550);
    EXPECT_EQ(GetProfileInt(L"FileComp", L"wp.showCmd", 0), SW_SHOWNORMAL);
    EXPECT_FALSE(GetProfileString(L"FileComp", L"FontName", L"").empty());
    EXPECT_NE(GetProfileInt(L"FileComp", L"FontHeight", 0), 0);
    // A stored minimised state comes back as a normal window, where it was.
    WriteProfileInt(L"FileComp", L"wp.showCmd", SW_SHOWMINIMIZED);
    WhileOpen([&](CFileCompareDialog& d) {
        EXPECT_TRUE(test::PumpUntil([&] {
            RECT r = {};
            ::GetWindowRect(d.Handle(), &r);
            return r.left == 40 && r.top == 50 && r.right == 740 && r.bottom == 550;
        }));
        EXPECT_FALSE(::IsIconic(d.Handle()));
    });
}
