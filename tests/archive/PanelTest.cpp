// The archive dialog reached from a panel: Enter on an archive and the "OpenArch" command.
#include "archive/ArchiveSupport.h"
#include "fileops/FileCheck.h"
#include "framework/Resources.h"
#include "resource.h"

using namespace test;

class ArchivePanel : public CopyFixture {
protected:
    void SetUp() override
    {
        CopyFixture::SetUp();
        std::wstring fixture = FixtureDirectory();
        ASSERT_FALSE(fixture.empty()) << "PD_ARCHIVE_FIXTURE is set by ctest's archive_fixtures";
        ASSERT_TRUE(::CopyFileW((fixture + L"\\info.zip").c_str(), (src / L"Pack.ZIP").c_str(), FALSE));
        ASSERT_TRUE(MakeDir(src / L"folder"));
        ShowBoth();
    }
};

TEST_F(ArchivePanel, EnterOnAnArchiveExtractsIntoTheOtherPanel)
{
    Cursor(L"Pack.ZIP");
    std::wstring offered;
    Answers answers({{L"FILECONT", Rule{{IDC_ARC_ALL}}},
                     {L"UNZIP", Rule{{IDOK}, [&](HWND w) { offered = fw::GetText(::GetDlgItem(w, IDC_UNZIP_TARGET)); }}},
                     {L"#32770", Rule{{IDYES}}}});
    ::SendMessageW(Left().Handle(), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(PumpUntil([&] { return answers.Count(L"FILECONT") == 1 && !main->operation.busy; }, 5000));
    EXPECT_EQ(offered, dst.Path());
    EXPECT_EQ(ReadAll(dst / L"nested\\deeper\\leaf.txt"), "leaf\n");
    // The panels are read again afterwards.
    EXPECT_TRUE(PumpUntil([&] { return RowOf(Right(), L"text.txt") >= 0; }, 3000));
    EXPECT_FALSE(main->operation.busy);
}

TEST_F(ArchivePanel, OpenArchWorksOnFilesAndRefusesDirectories)
{
    Cursor(L"folder");
    {
        Answers answers({{L"#32770", Rule{{IDOK}}}});
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_OPENARCH, 0);
        Pump(100);
        ASSERT_EQ(answers.Boxes().size(), 1u);
        EXPECT_NE(answers.Boxes()[0].find(fw::LoadStr(IDS_NOENTRY)), std::wstring::npos);
        EXPECT_EQ(answers.Count(L"FILECONT"), 0);
    }
    Cursor(L"Pack.ZIP");
    Answers answers({{L"FILECONT", Rule{{IDCANCEL}}}});
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_OPENARCH, 0);
    EXPECT_TRUE(PumpUntil([&] { return answers.Count(L"FILECONT") == 1; }, 3000));
    EXPECT_TRUE(PumpUntil([&] { return !main->operation.busy; }, 3000));
}
