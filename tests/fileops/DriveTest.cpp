// The drive boxes: entries of the drives there are, choosing a drive, the totals line, fall-back, FTP hook.
#include "fileops/FileCheck.h"
#include "panel/DriveMedia.h"
#include "panel/ListingFormat.h"
#include "resource.h"

using namespace test;

class Drives : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        ASSERT_TRUE(Start());
        WaitForPanels();
    }
    void TearDown() override
    {
        CDriveCombo::ftp = DriveFtpHook();
        AppTest::TearDown();
    }
    std::vector<std::wstring> Entries(bool isLeft)
    {
        fw::CComboBox box = main->Side(isLeft).driveBox.Box();
        std::vector<std::wstring> out;
        for (int i = 0; i < box.GetCount(); ++i) out.push_back(box.GetItemText(i));
        return out;
    }
    int IndexOf(bool isLeft, const std::wstring& prefix)
    {
        auto entries = Entries(isLeft);
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
        return -1;
    }
};

TEST_F(Drives, EveryLogicalDriveIsListedAndTheCurrentOneSelected)
{
    EXPECT_GE(IndexOf(true, L"[-C-] "), 0);
    EXPECT_GE(IndexOf(true, L"[-Z-]"), 0);
    EXPECT_EQ(Entries(true), Entries(false));
    CFileList& p = main->LeftPanel();
    fw::CComboBox box = main->Side(true).driveBox.Box();
    wchar_t letter = static_cast<wchar_t>(towupper(p.drive[0]));
    EXPECT_EQ(box.GetItemText(box.GetCurSel()).substr(0, 5), std::wstring(L"[-") + letter + L"-]");
}

TEST_F(Drives, TheInformationLineShowsTotalAndFreeSpace)
{
    std::wstring line = fw::GetText(main->Side(true).totalLine.Handle());
    EXPECT_EQ(line.size(), 120u);
    EXPECT_NE(line.find(fw::LoadStr(IDS_DRIVE_TOTAL)), std::wstring::npos) << Narrow(line);
    EXPECT_NE(line.find(fw::LoadStr(IDS_DRIVE_FREE)), std::wstring::npos);
    ULARGE_INTEGER available, total, free;
    ASSERT_TRUE(::GetDiskFreeSpaceExW(main->LeftPanel().drive.substr(0, 3).c_str(), &available, &total, &free));
    EXPECT_EQ(line.rfind(FormatSize(static_cast<double>(total.QuadPart), Program().thousandSeparator[0]), 0), 0u);
    EXPECT_EQ(line, main->Side(true).driveBox.infoText);
}

TEST_F(Drives, ChoosingADriveSwitchesThePanel)
{
    PanelSide& side = main->Side(true);
    int z = IndexOf(true, L"[-Z-]");
    ASSERT_GE(z, 0);
    side.driveBox.Box().SetCurSel(z);
    ::SendMessageW(main->Handle(), WM_COMMAND, MAKEWPARAM(IDC_DRIVEL, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(side.driveBox.Handle()));
    EXPECT_EQ(side.driveBox.drive, L"z:\\");
    EXPECT_EQ(main->LeftPanel().drive, L"z:\\");
    EXPECT_TRUE(PumpUntil([&] { return towupper(main->LeftPanel().path[0]) == L'Z' && main->LeftPanel().RowCount() > 0; }));

    int c = IndexOf(true, L"[-C-]");
    side.driveBox.Box().SetCurSel(c);
    ::SendMessageW(main->Handle(), WM_COMMAND, MAKEWPARAM(IDC_DRIVEL, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(side.driveBox.Handle()));
    EXPECT_EQ(main->LeftPanel().drive, L"c:\\");
}

TEST_F(Drives, ADriveThatCannotBeUsedFallsBackToC)
{
    wchar_t missing = 0;
    DWORD mask = ::GetLogicalDrives();
    for (int i = 'Q' - 'A'; i < 26 && !missing; ++i)
        if (!(mask & (1u << i))) missing = static_cast<wchar_t>(L'A' + i);
    ASSERT_NE(missing, 0);
    CFileList& p = main->LeftPanel();
    p.SetDirectory(std::wstring(1, missing) + L":\\", std::wstring(1, missing) + L":\\");
    Answers answers({{L"#32770", Rule{{IDOK}}}});
    ::SendMessageW(main->Handle(), pm::ScreenUpdate, reinterpret_cast<WPARAM>(p.Handle()), 0);
    EXPECT_EQ(answers.Boxes().size(), 1u);
    EXPECT_EQ(p.drive, L"C:\\");
    EXPECT_EQ(p.path, L"C:\\");
    fw::CComboBox box = main->Side(true).driveBox.Box();
    EXPECT_EQ(box.GetItemText(box.GetCurSel()).substr(0, 5), L"[-C-]");
}

TEST_F(Drives, TheFtpEntryComesLastWhileConnected)
{
    bool connected = true;
    CDriveCombo::ftp.connected = [&] { return connected; };
    CDriveCombo::ftp.siteName = [] { return std::wstring(L"example site"); };
    CDriveCombo::ftp.statusText = [] { return std::wstring(L"connected to example"); };
    CDriveCombo& box = main->Side(false).driveBox;
    box.BuildDriveList();
    EXPECT_EQ(Entries(false).back(), L"[FTP] example site");
    box.Box().SetCurSel(box.Box().GetCount() - 1);
    ::SendMessageW(main->Handle(), WM_COMMAND, MAKEWPARAM(IDC_DRIVER, CBN_SELENDOK), reinterpret_cast<LPARAM>(box.Handle()));
    EXPECT_EQ(box.drive, L"FTP");
    EXPECT_EQ(main->RightPanel().drive, L"FTP");
    EXPECT_EQ(fw::GetText(main->Side(false).totalLine.Handle()), PadLine(L"connected to example"));
    // The connection is gone: the panel returns to C:\.
    connected = false;
    main->UpdateDriveBox(false);
    EXPECT_EQ(main->RightPanel().drive, L"C:\\");
    EXPECT_NE(Entries(false).back().rfind(L"[FTP]", 0), 0u);
}
