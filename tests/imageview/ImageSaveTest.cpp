// The viewer's Save as through the system's save dialog, and Copy to the clipboard.
#include "codec/ImageCodec.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "imageview/ViewerTest.h"
#include "resource.h"
#include "tools/imageview/SaveFormats.h"

using test::ModalDriver;

namespace {
constexpr int FileNameControl = 1148;
constexpr int TypeListControl = 1136;

class ImageSave : public test::ViewerTest {
protected:
    // What the save dialog showed when it opened.
    struct Shown {
        std::wstring name;
        int type = -1;
    };
    // A rule that fills the save dialog: the type (1-8) and the name typed, then OK.
    size_t FillSaveDialog(ModalDriver& driver, int type, const std::wstring& name, Shown* shown = nullptr)
    {
        return driver.On(ModalDriver::Caption(L"Save As Graphics File"), [=](HWND w) {
            HWND list = ::GetDlgItem(w, TypeListControl);
            if (shown) {
                wchar_t text[MAX_PATH] = {};
                ::GetDlgItemTextW(w, FileNameControl, text, MAX_PATH);
                shown->name = text;
                shown->type = static_cast<int>(::SendMessageW(list, CB_GETCURSEL, 0, 0));
            }
            // As typed into the list, so that the list itself tells the dialog of the change.
            ::SendMessageW(list, WM_KEYDOWN, VK_HOME, 0);
            for (int i = 1; i < type; ++i) ::SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
            ::SetDlgItemTextW(w, FileNameControl, name.c_str());
            return true;
        }, IDOK);
    }
    // Views the file and runs one Save as in it; the title afterwards.
    std::wstring SaveFromViewer(const std::wstring& file, ModalDriver& driver)
    {
        std::wstring title;
        int stage = 0;
        driver.On(ModalDriver::Template(L"VIEW"), [&](HWND w) {
            if (stage++ == 0) {
                ::PostMessageW(w, WM_COMMAND, IDM_VIEW_SAVEAS, 0);
                return false;
            }
            title = fw::GetText(w);
            return true;
        }, IDCANCEL);
        View(file);
        return title;
    }
    std::vector<std::wstring> Names(const std::wstring& dir)
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (data.cFileName[0] != L'.') names.push_back(data.cFileName);
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
        return names;
    }
};
}

TEST_F(ImageSave, EveryTypeThroughTheSaveDialogRemembersTypeAndFolder)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"rose.png", test::RosePicture(61, 37), "PNG24:"));
    std::wstring out = tmp / L"out";
    ASSERT_TRUE(test::MakeDir(out));
    WriteProfileInt(L"Settings", L"LastFileType", 6);
    WriteProfileString(L"Settings", L"CurrentDir", out);
    StartIn(tmp.Path());
    const wchar_t* patterns[] = {L"*.tif", L"*.bmp", L"*.jpg", L"*.pcx", L"*.gif", L"*.png", L"*.eps", L"*.tga"};
    const char* magick[] = {"TIFF", "BMP", "JPEG", "PCX", "GIF", "PNG", "", "TGA"};
    wchar_t before[MAX_PATH * 2] = {};
    ::GetCurrentDirectoryW(MAX_PATH * 2, before);
    int shownType = 6;
    for (int type = 1; type <= 8; ++type) {
        SCOPED_TRACE(type);
        ModalDriver driver;
        Shown shown;
        std::wstring name = L"saved" + std::to_wstring(type);
        size_t dialog = FillSaveDialog(driver, type, name, &shown);
        std::wstring title = SaveFromViewer(L"rose.png", driver);
        ASSERT_EQ(driver.Count(dialog), 1);
        // The dialog opened on the type and folder of the save before.
        EXPECT_EQ(shown.name, patterns[shownType - 1]);
        EXPECT_EQ(shown.type, shownType - 1);
        std::wstring saved = out + L"\\" + name + SaveFormatAt(type).extension;
        EXPECT_EQ(title, L"PD - " + saved);
        EXPECT_EQ(GetProfileInt(L"Settings", L"LastFileType", 0), type);
        EXPECT_EQ(GetProfileString(L"Settings", L"CurrentDir", L""), out);
        if (*magick[type - 1]) EXPECT_EQ(test::Identify(saved, "%m").rfind(magick[type - 1], 0), 0u);
        else EXPECT_EQ(test::FileBytes(saved).rfind("%!PS-Adobe-3.0 EPSF-3.0", 0), 0u);
        wchar_t now[MAX_PATH * 2] = {};
        ::GetCurrentDirectoryW(MAX_PATH * 2, now);
        EXPECT_STREQ(now, before) << "the process's current directory is left alone";
        shownType = type;
    }
    EXPECT_EQ(Names(out).size(), 8u);
}

TEST_F(ImageSave, TheExtensionRuleAsksBeforeReplacingTheFinalName)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"rose.png", test::RosePicture(61, 37), "PNG24:"));
    ASSERT_TRUE(test::MakeFile(tmp / L"x.jpg.TIF", "the old one"));
    WriteProfileString(L"Settings", L"CurrentDir", tmp.Path());
    StartIn(tmp.Path());
    for (int answer : {IDNO, IDYES}) {
        ModalDriver driver;
        FillSaveDialog(driver, 1, L"x.jpg");
        std::wstring asked;
        size_t question = driver.On(ModalDriver::Caption(ProductName), [&](HWND w) {
            asked = ModalDriver::Texts(w);
            return true;
        }, answer);
        std::wstring title = SaveFromViewer(L"rose.png", driver);
        EXPECT_EQ(driver.Count(question), 1);
        EXPECT_NE(asked.find(tmp / L"x.jpg.TIF"), std::wstring::npos) << test::Narrow(asked);
        if (answer == IDNO) {
            EXPECT_EQ(test::FileBytes(tmp / L"x.jpg.TIF"), "the old one");
            EXPECT_EQ(title, L"PD Viewer - " + tmp / L"rose.png");
        } else {
            EXPECT_EQ(test::Identify(tmp / L"x.jpg.TIF", "%m"), "TIFF");
            EXPECT_EQ(title, L"PD - " + tmp / L"x.jpg.TIF");
        }
    }
    EXPECT_EQ(::GetFileAttributesW((tmp / L"x.jpg").c_str()), INVALID_FILE_ATTRIBUTES);

    // A name that already ends in the type's extension is saved as it is.
    ModalDriver driver;
    FillSaveDialog(driver, 1, L"y.tif");
    size_t question = driver.On(ModalDriver::Caption(ProductName), [](HWND) { return true; }, IDNO);
    EXPECT_EQ(SaveFromViewer(L"rose.png", driver), L"PD - " + tmp / L"y.tif");
    EXPECT_EQ(driver.Count(question), 0);
}

TEST_F(ImageSave, FailedSavesSayWhyAndLoseNothing)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"rose.png", test::RosePicture(200, 150), "PNG24:"));
    ASSERT_TRUE(test::MakeDir(tmp / L"d.PNG"));
    ASSERT_TRUE(test::MakeFile(tmp / L"old.PNG", "the old picture"));
    WriteProfileString(L"Settings", L"CurrentDir", tmp.Path());
    StartIn(tmp.Path());
    {
        // The final name is a directory.
        ModalDriver driver;
        FillSaveDialog(driver, 6, L"d");
        std::wstring said;
        driver.On(ModalDriver::Caption(ProductName), [&](HWND w) {
            said = ModalDriver::Texts(w);
            return true;
        }, IDOK);
        SaveFromViewer(L"rose.png", driver);
        EXPECT_EQ(said, L"Cannot create file, or directory is invalid, error -10");
    }
    {
        // The disk fills half-way through the new file: the old one stays, no temporary is left.
        ImgFailWritesAfter(500);
        ModalDriver driver;
        FillSaveDialog(driver, 6, L"old");
        std::vector<std::wstring> said;
        driver.On(ModalDriver::Caption(ProductName), [&](HWND w) {
            said.push_back(ModalDriver::Texts(w));
            return true;
        }, IDYES);
        std::wstring title = SaveFromViewer(L"rose.png", driver);
        ImgFailWritesAfter(-1);
        ASSERT_EQ(said.size(), 2u);
        EXPECT_NE(said[0].find(L"old.PNG"), std::wstring::npos) << "asked first";
        EXPECT_EQ(said[1], L"Disk full, file not written, error -3");
        EXPECT_EQ(title, L"PD Viewer - " + tmp / L"rose.png");
    }
    EXPECT_EQ(test::FileBytes(tmp / L"old.PNG"), "the old picture");
    std::vector<std::wstring> names = Names(tmp.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"d.PNG", L"old.PNG", L"rose.png"}));
}

namespace {
class ImageCopy : public test::ViewerTest {
protected:
    std::vector<uint8_t> ClipboardDib()
    {
        std::vector<uint8_t> bytes;
        if (!::OpenClipboard(main->Handle())) return bytes;
        if (HANDLE data = ::GetClipboardData(CF_DIB)) {
            const uint8_t* p = static_cast<const uint8_t*>(::GlobalLock(data));
            if (p) bytes.assign(p, p + ::GlobalSize(data));
            ::GlobalUnlock(data);
        }
        ::CloseClipboard();
        return bytes;
    }
    std::vector<uint8_t> Expected(const std::wstring& path)
    {
        Image image;
        std::vector<uint8_t> dib;
        EXPECT_EQ(ImgOpenFile(path, image), ImgOk);
        EXPECT_EQ(PackDib(image, dib), ImgOk);
        return dib;
    }
};

void PressControlAnd(WORD key)
{
    INPUT inputs[4] = {};
    WORD keys[4] = {VK_CONTROL, key, key, VK_CONTROL};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
    }
    ::SendInput(4, inputs, sizeof(INPUT));
}
}

TEST_F(ImageCopy, TheClipboardGetsTheBitmapOfThePicture)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"palette.gif", test::RosePicture(61, 37) + " -colors 40 +dither"));
    ASSERT_TRUE(test::MakePicture(tmp / L"colour.png", test::RosePicture(61, 37), "PNG24:"));
    StartIn(tmp.Path());
    {
        // Ctrl+C through the viewer's accelerator table, as typed.
        ModalDriver driver;
        int stage = 0;
        driver.On(ModalDriver::Template(L"VIEW"), [&](HWND w) {
            if (stage++ == 0) {
                ::SetForegroundWindow(w);
                PressControlAnd('C');
                return false;
            }
            return stage > 20 || ::IsClipboardFormatAvailable(CF_DIB);
        }, IDCANCEL);
        ASSERT_TRUE(::OpenClipboard(main->Handle()));
        ::EmptyClipboard();
        ::CloseClipboard();
        View(L"palette.gif");
    }
    std::vector<uint8_t> dib = ClipboardDib();
    ASSERT_GT(dib.size(), 40u);
    EXPECT_EQ(dib[14], 8) << "the picture's own depth";
    std::vector<uint8_t> expected = Expected(tmp / L"palette.gif");
    EXPECT_TRUE(dib.size() >= expected.size() && std::equal(expected.begin(), expected.end(), dib.begin()));
    {
        ModalDriver driver;
        driver.On(ModalDriver::Template(L"VIEW"), [](HWND w) {
            ::SendMessageW(w, WM_COMMAND, IDM_VIEW_COPY, 0);
            return true;
        }, IDCANCEL);
        View(L"colour.png");
    }
    dib = ClipboardDib();
    expected = Expected(tmp / L"colour.png");
    ASSERT_GT(dib.size(), 40u);
    EXPECT_EQ(dib[14], 24);
    EXPECT_TRUE(dib.size() >= expected.size() && std::equal(expected.begin(), expected.end(), dib.begin()));
}

TEST_F(ImageCopy, AClipboardThatCannotBeOpenedIsReported)
{
    ASSERT_TRUE(test::MakePicture(tmp / L"colour.png", test::RosePicture(61, 37), "PNG24:"));
    StartIn(tmp.Path());
    // Another thread holds the clipboard open.
    HANDLE opened = ::CreateEventW(nullptr, TRUE, FALSE, nullptr), release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        bool held = ::OpenClipboard(owner) != FALSE;
        ::SetEvent(opened);
        ::WaitForSingleObject(release, 30000);
        if (held) ::CloseClipboard();
        ::DestroyWindow(owner);
    });
    ASSERT_EQ(::WaitForSingleObject(opened, 10000), WAIT_OBJECT_0);
    std::wstring said;
    {
        ModalDriver driver;
        driver.On(ModalDriver::Template(L"VIEW"), [](HWND w) {
            ::PostMessageW(w, WM_COMMAND, IDM_VIEW_COPY, 0);
            return true;
        }, IDCANCEL);
        driver.On(ModalDriver::Caption(ProductName), [&](HWND w) {
            said = ModalDriver::Texts(w);
            return true;
        }, IDOK);
        View(L"colour.png");
    }
    ::SetEvent(release);
    holder.join();
    ::CloseHandle(opened);
    ::CloseHandle(release);
    EXPECT_EQ(said, fw::LoadStr(IDS_VIEW_NOCLIPBOARD));
}
