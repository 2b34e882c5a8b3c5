// Desktop shortcuts on a desktop folder of the test's own: directories and files, names with
// blanks and outside the code page, a name already taken, read back through the link object.
#include "fileops/Shortcut.h"
#include "framework/Resources.h"
#include "mouse/MouseSupport.h"
#include "resource.h"

namespace {
const wchar_t* const ShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::wstring ReadDesktopSetting()
{
    wchar_t value[1024] = {};
    DWORD size = sizeof(value);
    if (::RegGetValueW(HKEY_CURRENT_USER, ShellFolders, L"Desktop", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                       nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

void WriteDesktopSetting(const std::wstring& value)
{
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, ShellFolders, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (value.empty()) ::RegDeleteValueW(key, L"Desktop");
    else
        ::RegSetValueExW(key, L"Desktop", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
}
}

class Shortcut : public mt::PanelPair {
protected:
    // A fresh prefix's desktop is the user's real home: the suite puts it in the test tree first.
    static void SetUpTestSuite()
    {
        desktop = new test::TempDir;
        saved = ReadDesktopSetting();
        WriteDesktopSetting(desktop->Path());
    }
    static void TearDownTestSuite()
    {
        WriteDesktopSetting(saved);
        delete desktop;
        desktop = nullptr;
    }
    std::wstring LinkName(const std::wstring& name) { return *desktop / (fw::LoadStr(IDS_SHORTCUT_PREFIX) + name); }
    HRESULT MakeFor(const std::wstring& name)
    {
        Show(L(), left.Path());
        Cursor(L(), name);
        return L().CreateShortcut();
    }
    static test::TempDir* desktop;
    static std::wstring saved;
};
test::TempDir* Shortcut::desktop = nullptr;
std::wstring Shortcut::saved;

TEST_F(Shortcut, TheDesktopIsTheTestsOwn)
{
    EXPECT_EQ(lstrcmpiW(DesktopDirectory().c_str(), desktop->Path().c_str()), 0) << test::Narrow(DesktopDirectory());
}

TEST_F(Shortcut, ToADirectoryAndToFilesWithAnyName)
{
    ASSERT_TRUE(test::MakeDir(left / L"Tools"));
    const std::wstring odd = L"my \u0392\u03AE\u03C4\u03B1 notes.txt";
    ASSERT_TRUE(test::MakeFile(left / odd, "text"));
    ASSERT_EQ(MakeFor(L"Tools"), S_OK);
    ASSERT_EQ(MakeFor(odd), S_OK);
    std::wstring target, workDir;
    ASSERT_TRUE(ReadShortcut(LinkName(L"Tools.lnk"), target, workDir));
    EXPECT_EQ(lstrcmpiW(target.c_str(), (left / L"Tools").c_str()), 0) << test::Narrow(target);
    EXPECT_EQ(lstrcmpiW(workDir.c_str(), left.Path().c_str()), 0) << test::Narrow(workDir);
    ASSERT_TRUE(ReadShortcut(LinkName(odd + L".lnk"), target, workDir));
    EXPECT_EQ(target, left / odd);
    EXPECT_EQ(test::FileBytes(LinkName(L"Tools.lnk")).empty(), false);
}

TEST_F(Shortcut, ATakenNameIsKeptAndTheNewLinkGetsANumber)
{
    ASSERT_TRUE(test::MakeFile(left / L"x.txt"));
    ASSERT_TRUE(test::MakeFile(LinkName(L"x.txt.lnk"), "someone else's"));
    ASSERT_TRUE(test::MakeFile(LinkName(L"x.txt (2).lnk"), "and this"));
    ASSERT_EQ(MakeFor(L"x.txt"), S_OK);
    EXPECT_EQ(test::ReadAll(LinkName(L"x.txt.lnk")), "someone else's");
    EXPECT_EQ(test::ReadAll(LinkName(L"x.txt (2).lnk")), "and this");
    std::wstring target, workDir;
    ASSERT_TRUE(ReadShortcut(LinkName(L"x.txt (3).lnk"), target, workDir));
    EXPECT_EQ(target, left / L"x.txt");
}

TEST_F(Shortcut, RefusalsAndAFailedSaveAreReported)
{
    Show(L(), left.Path());
    Cursor(L(), L"..");
    {
        test::DialogAnswerer box(L"#32770", IDOK);
        EXPECT_TRUE(FAILED(L().CreateShortcut()));
        EXPECT_EQ(box.LastText(), fw::LoadStr(IDS_COPY_NOTHING));
    }
    ASSERT_TRUE(test::MakeFile(left / L"y.txt"));
    Show(L(), left.Path());
    Cursor(L(), L"y.txt");
    L().drive = L"FTP";
    {
        test::DialogAnswerer box(L"#32770", IDOK);
        EXPECT_TRUE(FAILED(L().CreateShortcut()));
        EXPECT_EQ(box.LastText(), fw::LoadStr(IDS_NOTONFTP));
    }
    L().drive = left.Path().substr(0, 3);
    // A link name longer than a name may be: the failure is told and nothing is left behind.
    const std::wstring longName = std::wstring(246, L'n') + L".txt";
    ASSERT_TRUE(test::MakeFile(left / longName));
    int before = test::FilesIn(desktop->Path());
    {
        test::DialogAnswerer box(L"#32770", IDOK);
        EXPECT_TRUE(FAILED(MakeFor(longName)));
        EXPECT_EQ(box.LastText().rfind(fw::LoadStr(IDS_SHORTCUT_FAILED), 0), 0u) << test::Narrow(box.LastText());
    }
    EXPECT_EQ(test::FilesIn(desktop->Path()), before);
}
