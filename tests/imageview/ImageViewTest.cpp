// The viewer window: which files open it, its title and menu, scrolling, centring, Open with.
#include "codec/ImageCodec.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/AssociatedProgram.h"
#include "imageview/ViewerTest.h"
#include "resource.h"
#include "tools/textedit/TextEditDialog.h"

using test::ModalDriver;

namespace {
class ImageView : public test::ViewerTest {};

// The window's client area as the screen shows it, 0x00RRGGBB a pixel.
std::vector<uint32_t> ClientPixels(HWND wnd, int& width, int& height)
{
    RECT client;
    ::GetClientRect(wnd, &client);
    width = client.right;
    height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
    void* bits = nullptr;
    HDC dc = ::GetDC(wnd);
    HDC memory = ::CreateCompatibleDC(dc);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    ::GdiFlush();
    std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits), static_cast<const uint32_t*>(bits) + width * height);
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(wnd, dc);
    for (uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}
}

TEST_F(ImageView, PngAndPcxOpenTheViewerWithTitleAndMenu)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"rose picture.png", test::RosePicture(70, 46), "PNG24:"));
    ASSERT_TRUE(test::MakePicture(tmp / L"rose.pcx", test::RosePicture(70, 46) + " -colors 40 +dither"));
    StartIn(tmp.Path());
    for (const wchar_t* name : {L"rose picture.png", L"rose.pcx"}) {
        std::wstring title;
        bool visible = false, menu = false;
        int helpContext = 0;
        ModalDriver driver;
        size_t viewer = driver.On(ModalDriver::Template(L"VIEW"), [&](HWND w) {
            title = fw::GetText(w);
            visible = ::IsWindowVisible(w) != FALSE;
            HMENU bar = ::GetMenu(w);
            menu = bar && ::GetMenuState(bar, IDM_VIEW_SAVEAS, MF_BYCOMMAND) != UINT(-1) &&
                   ::GetMenuState(bar, IDM_VIEW_COPY, MF_BYCOMMAND) != UINT(-1) &&
                   ::GetMenuState(bar, IDM_VIEW_OPENWITH, MF_BYCOMMAND) != UINT(-1);
            helpContext = Program().helpContext;
            return true;
        }, IDCANCEL);
        View(name);
        EXPECT_EQ(driver.Count(viewer), 1) << test::Narrow(name);
        EXPECT_EQ(title, L"PD Viewer - " + tmp / name);
        EXPECT_TRUE(visible);
        EXPECT_TRUE(menu);
        EXPECT_EQ(helpContext, 5190);
    }
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Dir1", L""), tmp.Path());
}

TEST_F(ImageView, ATextFileIsDeclinedAndTheTextViewerFollows)
{
    ASSERT_TRUE(test::MakeFile(tmp / L"notes.txt", "Not a picture at all.\r\n"));
    ASSERT_TRUE(test::MakeFile(tmp / L"fake.png", "Not a picture either, whatever its name says."));
    StartIn(tmp.Path());
    for (const wchar_t* name : {L"notes.txt", L"fake.png"}) {
        ModalDriver driver;
        size_t viewer = driver.On(ModalDriver::Template(L"VIEW"), [](HWND) { return true; }, IDCANCEL);
        size_t box = driver.On(ModalDriver::Caption(ProductName), [](HWND) { return true; }, IDOK);
        View(name);
        EXPECT_EQ(driver.Count(viewer), 0) << test::Narrow(name);
        EXPECT_EQ(driver.Count(box), 0) << test::Narrow(name);
        const auto& open = te::CTextEditDialog::OpenWindows();
        ASSERT_EQ(open.size(), 1u) << test::Narrow(name);
        EXPECT_TRUE(open.back()->IsViewer());
        EXPECT_TRUE(test::SameFile(open.back()->Path(), tmp / name));
        ::DestroyWindow(open.back()->Handle());
        EXPECT_TRUE(te::CTextEditDialog::OpenWindows().empty());
    }
}

TEST_F(ImageView, AnExternalViewerComesBeforeTheImageViewer)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"rose.png", test::RosePicture(20, 10), "PNG24:"));
    WriteProfileInt(L"Paden", L"InternalViewer", 1);
    WriteProfileString(L"Paden", L"Viewer", test::BinDirectory() + L"\\recordargs.exe");
    StartIn(tmp.Path());
    ModalDriver driver;
    size_t viewer = driver.On(ModalDriver::Template(L"VIEW"), [](HWND) { return true; }, IDCANCEL);
    View(L"rose.png");
    auto args = RecordedArgs();
    ASSERT_EQ(args.size(), 2u);
    EXPECT_TRUE(test::SameFile(args[1], tmp / L"rose.png"));
    EXPECT_EQ(driver.Count(viewer), 0);
}

TEST_F(ImageView, ScrollingStaysWithinThePicture)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"large.png", "-size 1000x800 gradient:red-navy", "PNG24:"));
    StartIn(tmp.Path());
    ModalDriver driver;
    int stage = 0, maxX = -1, maxY = -1;
    auto at = [](HWND w, int x, int y) {
        EXPECT_EQ(::GetScrollPos(w, SB_HORZ), x);
        EXPECT_EQ(::GetScrollPos(w, SB_VERT), y);
    };
    auto key = [](HWND w, UINT vk) { ::PostMessageW(w, WM_KEYDOWN, vk, 0); };
    auto bar = [](HWND w, UINT msg, int code) { ::PostMessageW(w, msg, code, 0); };
    driver.On(ModalDriver::Template(L"VIEW"), [&](HWND w) {
        switch (stage++) {
        case 0: {
            RECT client;
            ::GetClientRect(w, &client);
            int low = -1;
            ::GetScrollRange(w, SB_HORZ, &low, &maxX);
            EXPECT_EQ(low, 0);
            ::GetScrollRange(w, SB_VERT, &low, &maxY);
            // The visible area is the client area less 2 pixels on each side.
            EXPECT_EQ(maxX, 1000 - (client.right - 4));
            EXPECT_EQ(maxY, 800 - (client.bottom - 4));
            at(w, 0, 0);
            key(w, VK_NEXT);
            return false;
        }
        case 1: at(w, 0, 25); key(w, VK_DOWN); return false;
        case 2: at(w, 0, 30); key(w, VK_UP); return false;
        case 3: at(w, 0, 25); key(w, VK_PRIOR); key(w, VK_PRIOR); return false;
        case 4: at(w, 0, 0); key(w, VK_RIGHT); key(w, VK_RIGHT); return false;
        case 5: at(w, 10, 0); key(w, VK_LEFT); key(w, VK_LEFT); key(w, VK_LEFT); return false;
        case 6: at(w, 0, 0); bar(w, WM_VSCROLL, SB_BOTTOM); return false;
        case 7: at(w, 0, maxY); key(w, VK_NEXT); key(w, VK_DOWN); return false;
        case 8: at(w, 0, maxY); bar(w, WM_VSCROLL, SB_LINEUP); bar(w, WM_HSCROLL, SB_PAGEDOWN); return false;
        case 9: at(w, 25, maxY - 5); bar(w, WM_HSCROLL, SB_BOTTOM); bar(w, WM_HSCROLL, SB_LINEDOWN); return false;
        case 10: at(w, maxX, maxY - 5); bar(w, WM_VSCROLL, SB_PAGEUP); bar(w, WM_HSCROLL, SB_TOP); return false;
        case 11: at(w, 0, maxY - 30); return true;
        }
        return true;
    }, IDCANCEL);
    View(L"large.png");
    EXPECT_EQ(stage, 12);
    EXPECT_GT(maxX, 0);
    EXPECT_GT(maxY, 0);
}

TEST_F(ImageView, ASmallPictureIsCentredOnWhiteAndDoesNotScroll)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"small.bmp", "-size 40x30 xc:#C02040", "BMP3:"));
    StartIn(tmp.Path());
    ModalDriver driver;
    int stage = 0;
    driver.On(ModalDriver::Template(L"VIEW"), [&](HWND w) {
        if (stage++ == 0) {
            ::PostMessageW(w, WM_KEYDOWN, VK_NEXT, 0);
            ::PostMessageW(w, WM_KEYDOWN, VK_RIGHT, 0);
            return false;
        }
        ::UpdateWindow(w);
        SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_POS};
        ::GetScrollInfo(w, SB_VERT, &info);
        EXPECT_EQ(info.nMax, 0);
        EXPECT_EQ(info.nPos, 0);
        int width = 0, height = 0;
        std::vector<uint32_t> pixels = ClientPixels(w, width, height);
        auto pixel = [&](int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; };
        const int left = 2 + (width - 4 - 40) / 2, top = 2 + (height - 4 - 30) / 2;
        const uint32_t picture = 0xC02040, white = 0xFFFFFF;
        EXPECT_EQ(pixel(left, top), picture);
        EXPECT_EQ(pixel(left + 39, top + 29), picture);
        EXPECT_EQ(pixel(left - 1, top), white);
        EXPECT_EQ(pixel(left, top - 1), white);
        EXPECT_EQ(pixel(left + 40, top + 29), white);
        EXPECT_EQ(pixel(left + 39, top + 30), white);
        EXPECT_EQ(pixel(0, 0), white);
        EXPECT_EQ(pixel(width - 1, height - 1), white);
        int count = 0;
        for (uint32_t p : pixels) count += p == picture;
        EXPECT_EQ(count, 40 * 30);
        test::Screenshot(w, test::BinDirectory() + L"\\imageview-centred.bmp");
        return true;
    }, IDCANCEL);
    View(L"small.bmp");
    EXPECT_EQ(stage, 2);
}

TEST_F(ImageView, OpenWithHandsTheWholeNameToTheAssociatedProgram)
{
    // An association of our own, read by the shell from the machine's classes.
    const wchar_t* classes = L"Software\\Classes\\";
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(classes) + L".pdtestpic").c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"pdtestpicfile"), 28);
    ::RegCloseKey(key);
    std::wstring command = L"\"" + test::BinDirectory() + L"\\recordargs.exe\" \"%1\"";
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(classes) + L"pdtestpicfile\\shell\\open\\command").c_str(), 0,
                                nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    std::wstring picture = tmp / L"my holiday picture.pdtestpic";
    ASSERT_TRUE(test::MakePicture(picture, test::RosePicture(30, 20), "PNG24:"));
    StartIn(tmp.Path());
    {
        ModalDriver driver;
        driver.On(ModalDriver::Template(L"VIEW"), [](HWND w) {
            ::PostMessageW(w, WM_COMMAND, IDM_VIEW_OPENWITH, 0);
            return true;
        }, 0);
        View(L"my holiday picture.pdtestpic");
    }
    auto args = RecordedArgs();
    ASSERT_EQ(args.size(), 2u);
    EXPECT_TRUE(test::SameFile(args[1], picture)) << test::Narrow(args[1]);

    // The fallback when the shell cannot open it: the program FindExecutable names, the file whole.
    ::DeleteFileW(record.c_str());
    EXPECT_TRUE(StartAssociatedProgram(main->Handle(), picture));
    args = RecordedArgs();
    ASSERT_EQ(args.size(), 2u);
    EXPECT_TRUE(test::SameFile(args[1], picture)) << test::Narrow(args[1]);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(classes) + L"pdtestpicfile").c_str());
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(classes) + L".pdtestpic").c_str());
}
