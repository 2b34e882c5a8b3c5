// The hex window on real files: short and long files, layout, painting, status, real keys and mouse.
#include "hexedit/HexSupport.h"
#include "common/Settings.h"
#include "resource.h"
#include "support/Harness.h"
#include <commctrl.h>

using hextest::HexWindowTest;

namespace {
std::wstring StatusPart(hex::CHexEditDialog* w, int part)
{
    wchar_t text[256] = {};
    ::SendMessageW(w->View().StatusBar(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
    return text;
}
}

// A top-down 32-bit image as a .bmp file, to look at after the run.
void SaveBitmap(const std::wstring& path, const uint32_t* bits, int width, int height)
{
    BITMAPINFOHEADER header = {sizeof(header), width, -height, 1, 32, BI_RGB};
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof(file) + sizeof(header)};
    file.bfSize = file.bfOffBits + width * height * 4;
    HANDLE out = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    ::WriteFile(out, &file, sizeof(file), &n, nullptr);
    ::WriteFile(out, &header, sizeof(header), &n, nullptr);
    ::WriteFile(out, bits, width * height * 4, &n, nullptr);
    ::CloseHandle(out);
}

class HexWindow : public HexWindowTest {};

TEST_F(HexWindow, ShortFilesOpenWithTheAppendCell)
{
    for (size_t size : {0, 12, 16}) {
        std::wstring path = tmp / (L"short" + std::to_wstring(size) + L".bin");
        ASSERT_TRUE(test::MakeFile(path, std::string(size, 'Q')));
        hex::CHexEditDialog* w = Open(path);
        ASSERT_NE(w, nullptr);
        hex::CHexEditor& ed = w->View().Editor();
        EXPECT_EQ(ed.Size(), static_cast<hex::Offset>(size));
        EXPECT_EQ(ed.LineCount(), static_cast<hex::Offset>(size / 16 + 1));
        EXPECT_EQ(fw::GetText(w->Handle()), L" PD Hex Editor - " + path);
        EXPECT_EQ(StatusPart(w, 2), L"\tSize: " + std::to_wstring(size));
        EXPECT_EQ(StatusPart(w, 0), L"Offset 0=0x0\t");
        EXPECT_EQ(StatusPart(w, 1), L"\tANSI / OVR");
        ::UpdateWindow(w->Handle());
        Command(w, IDM_HEX_BOTTOM);
        EXPECT_EQ(ed.cursor, static_cast<hex::Offset>(size));
        ::SendMessageW(w->Handle(), WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(w->View().VerticalBar()));
        ::UpdateWindow(w->Handle());
        EXPECT_TRUE(::IsWindow(w->Handle()));
        ::DestroyWindow(w->Handle());
    }
}

TEST_F(HexWindow, ABigFileScrollsToItsLastLine)
{
    std::wstring path = tmp / L"two.bin";
    std::string bytes(2 << 20, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 13);
    ASSERT_TRUE(test::MakeFile(path, bytes));
    hex::CHexEditDialog* w = Open(path);
    hex::CHexEditor& ed = w->View().Editor();
    ASSERT_EQ(ed.Size(), 2 << 20);
    HWND bar = w->View().VerticalBar();
    SCROLLINFO info = {sizeof(info), SIF_ALL};
    ::GetScrollInfo(bar, SB_CTL, &info);
    EXPECT_EQ(info.nMax, 65535);
    ::SendMessageW(w->Handle(), WM_VSCROLL, SB_BOTTOM, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(ed.top, ed.LastLine());
    ::GetScrollInfo(bar, SB_CTL, &info);
    EXPECT_EQ(info.nPos, 65535);
    ::SendMessageW(w->Handle(), WM_VSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(ed.top, ed.LastLine() - ed.visibleLines);
    ::SendMessageW(w->Handle(), WM_VSCROLL, SB_TOP, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(ed.top, 0);
    Command(w, IDM_HEX_BOTTOM);
    EXPECT_EQ(ed.cursor, 2 << 20);
    EXPECT_EQ(ed.top, ed.LastLine() - ed.visibleLines + 1);
    ::UpdateWindow(w->Handle());
    EXPECT_EQ(StatusPart(w, 0), L"Offset 2097152=0x200000\t");
}

TEST_F(HexWindow, MaximisedStatusPartsUseTheWholeWidth)
{
    std::wstring path = tmp / L"a.bin";
    ASSERT_TRUE(test::MakeFile(path, "abc"));
    hex::CHexEditDialog* w = Open(path);
    auto edges = [&] {
        int parts[3] = {};
        ::SendMessageW(w->View().StatusBar(), SB_GETPARTS, 3, reinterpret_cast<LPARAM>(parts));
        return std::vector<int>(parts, parts + 3);
    };
    int area = w->View().AreaWidth();
    EXPECT_EQ(edges(), (std::vector<int>{area * 4 / 6, area * 5 / 6, area}));
    ::ShowWindow(w->Handle(), SW_MAXIMIZE);
    test::PumpUntil([&] { return ::IsZoomed(w->Handle()) != FALSE; });
    RECT client;
    ::GetClientRect(w->Handle(), &client);
    EXPECT_EQ(edges(), (std::vector<int>{client.right * 4 / 6, client.right * 5 / 6, client.right}));
    ::ShowWindow(w->Handle(), SW_RESTORE);
    test::Pump(50);
    area = w->View().AreaWidth();
    EXPECT_EQ(edges()[2], area);
}

TEST_F(HexWindow, OneLineLooksAsLaidOut)
{
    WriteProfileInt(L"Colors", L"SeparatorColorRed", 255); // pure red separators
    WriteProfileInt(L"Colors", L"SeparatorColorGreen", 0);
    WriteProfileInt(L"Colors", L"SeparatorColorBlue", 0);
    std::wstring path = tmp / L"line.bin";
    ASSERT_TRUE(test::MakeFile(path, "0123456789ABCDEF"));
    hex::CHexEditDialog* w = Open(path);
    hex::CHexView& v = w->View();
    const int cw = v.CharWidth(), lh = v.LineHeight();
    // The view paints into a bitmap of its area, as it paints the window.
    const int width = v.AreaWidth(), height = v.AreaHeight();
    HDC mem = ::CreateCompatibleDC(nullptr);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    uint32_t* bits = nullptr;
    HBITMAP bmp = ::CreateDIBSection(mem, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, bmp);
    RECT all = {0, 0, width, height};
    v.Paint(mem, all);
    ::GdiFlush();
    SaveBitmap(test::BinDirectory() + L"\\hexedit-line.bmp", bits, width, 2 * lh + 4);
    auto pixel = [&](int x, int y) {
        uint32_t p = bits[y * width + x];
        return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
    };
    // Pixels of the first line's cells in [x0, x1) that are ink (neither background nor separator),
    // and those that are dark (an inverted cell).
    auto count = [&](int x0, int x1, bool darkOnly) {
        int n = 0;
        for (int x = x0; x < x1; ++x)
            for (int y = 2; y < 2 + lh; ++y) {
                COLORREF c = pixel(x, y);
                if (darkOnly) n += GetRValue(c) + GetGValue(c) + GetBValue(c) < 384;
                else n += c != RGB(255, 255, 255) && c != RGB(255, 0, 0);
            }
        return n;
    };
    auto dark = [&](int x0, int x1) { return count(x0, x1, false); };
    auto cell = [&](int column) { return 2 + column * cw; };
    EXPECT_GT(dark(cell(0), cell(6)), 0);              // the offset
    EXPECT_EQ(dark(cell(6), cell(8) - cw / 2 - 1), 0); // its two blanks
    EXPECT_GT(dark(cell(8), cell(10)), 0);             // "30"
    EXPECT_EQ(dark(cell(10), cell(11)), 0);            // the blank behind it
    EXPECT_GT(dark(cell(58), cell(59)), 0);            // "1"
    // The caret is in the hex pane: the character of byte 0 is shown inverted.
    EXPECT_GT(count(cell(57), cell(58), true), cw * lh / 2);
    // Separators before bytes 0, 4, 8, 12 and after 15, and before the characters.
    for (int k = 0; k <= 4; ++k) {
        int x = cw * (8 + 12 * k) - cw / 2 + 2;
        EXPECT_EQ(pixel(x, 2 + lh / 2), RGB(255, 0, 0)) << k;
    }
    EXPECT_EQ(pixel(cw * 57, 2 + lh / 2), RGB(255, 0, 0));
    // Below the last line (the append line) only the background.
    int below = 0;
    for (int x = 2; x < width - 2; x += 3)
        for (int y = 2 + 2 * lh; y < height - 2; y += 3) below += pixel(x, y) != RGB(255, 255, 255);
    EXPECT_EQ(below, 0);
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::DeleteObject(bmp);
}
