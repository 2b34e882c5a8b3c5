// Printing on a real (PostScript) printer, saving listings through the save dialog, the printer dialogs.
#include "common/Settings.h"
#include "fileops/Listing.h"
#include "fileops/PrinterDialogs.h"
#include "fileops/TextPrinter.h"
#include "framework/Dialog.h"
#include "print/PrintSupport.h"
#include "resource.h"
#include "support/Harness.h"
#include "support/TestEnv.h"

using test::AppTest;

namespace {
const wchar_t* const Greek = L"\u0392\u03AE\u03C4\u03B1.txt";

class PrintFixture : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        dir = tmp / L"list";
        ASSERT_TRUE(test::MakeDir(dir));
        ASSERT_TRUE(test::MakeFile(dir + L"\\alpha.txt", "first line\r\nsecond line\r\n"));
        ASSERT_TRUE(test::MakeFile(dir + L"\\" + Greek, "x"));
        ASSERT_TRUE(test::MakeDir(dir + L"\\sub"));
        ASSERT_TRUE(test::MakeFile(dir + L"\\sub\\deep.txt", "deep"));
        WriteProfileString(L"Paden", L"Links", dir);
        WriteProfileString(L"Paden", L"Rechts", tmp.Path());
        ASSERT_TRUE(Start());
        WaitForPanels();
    }
    void Command(UINT id)
    {
        ::SendMessageW(main->Handle(), WM_COMMAND, id, 0);
        test::Pump(50);
    }
    std::wstring Printed()
    {
        EXPECT_TRUE(test::WaitForPostScript(ps));
        test::Pump(100);
        return test::PostScriptText(ps);
    }
    test::TempDir tmp;
    std::wstring dir;
    std::wstring ps = tmp / L"out.ps";
};

class Printing : public PrintFixture {
protected:
    void SetUp() override
    {
        PrintFixture::SetUp();
        ASSERT_TRUE(test::TestPrinters::Install(L"PD Test Printer", L"LPT1:", ps));
        ASSERT_TRUE(test::TestPrinters::MakeDefault(L"PD Test Printer"));
    }
    void TearDown() override
    {
        test::TestPrinters::RemoveAll();
        PrintFixture::TearDown();
    }
};

std::wstring Upper(std::wstring text)
{
    ::CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}
}

TEST_F(Printing, TheDirectoryListingIsPrintedWithItsTitleAndNames)
{
    Command(IDM_PRTDIR);
    std::wstring text = Printed();
    EXPECT_NE(text.find(L"PD - Print directory " + Upper(dir).substr(0, 20)), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"alpha.txt"), std::wstring::npos) << text;
    EXPECT_NE(text.find(Greek), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"Page 1"), std::wstring::npos) << text;
    EXPECT_EQ(text.find(L"deep.txt"), std::wstring::npos) << text;
    EXPECT_TRUE(::IsWindowEnabled(main->Handle()));
    EXPECT_EQ(::GetFileAttributesW(ListingTempFile().c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Printing, TheTreeListingReachesTheSubdirectories)
{
    Command(IDM_PRTTREE);
    std::wstring text = Printed();
    EXPECT_NE(text.find(L"PD - Print directory tree"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"deep.txt"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"alpha.txt"), std::wstring::npos) << text;
}

TEST_F(Printing, PrintSendsTheMarkedFilesWithTheirPathsAsTitles)
{
    CFileList& panel = main->LeftPanel();
    int row = test::RowOf(panel, L"alpha.txt");
    ASSERT_GE(row, 0);
    panel.List().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    Command(IDM_PRINT);
    std::wstring text = Printed();
    EXPECT_NE(text.find(L"first line"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"second line"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"alpha.txt"), std::wstring::npos) << text;
    std::string raw = test::ReadAll(ps);
    EXPECT_NE(raw.find("%%Orientation: Portrait"), std::string::npos);
}

TEST_F(Printing, LandscapeLayoutsTurnThePage)
{
    WriteProfileInt(L"Algemeen", L"bA4", 1);
    CFileList& panel = main->LeftPanel();
    panel.List().SetItemState(test::RowOf(panel, L"alpha.txt"), LVIS_FOCUSED, LVIS_FOCUSED);
    Command(IDM_PRINT);
    ASSERT_TRUE(test::WaitForPostScript(ps));
    EXPECT_NE(test::ReadAll(ps).find("%%Orientation: Landscape"), std::string::npos);
    ::DeleteFileW(ps.c_str());
    WriteProfileInt(L"Algemeen", L"bA4", 2);
    Command(IDM_PRINT);
    ASSERT_TRUE(test::WaitForPostScript(ps));
    EXPECT_NE(test::ReadAll(ps).find("%%Orientation: Landscape"), std::string::npos);
}

TEST_F(Printing, ADirectoryAmongTheFilesIsReportedAndTheRestPrinted)
{
    CFileList& panel = main->LeftPanel();
    panel.List().SetItemState(test::RowOf(panel, L"sub"), LVIS_SELECTED, LVIS_SELECTED);
    panel.List().SetItemState(test::RowOf(panel, L"alpha.txt"), LVIS_SELECTED, LVIS_SELECTED);
    test::DialogAnswerer answer(L"#32770", IDOK);
    Command(IDM_PRINT);
    std::wstring text = Printed();
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_NE(answer.LastText().find(fw::LoadStr(IDS_PRINT_ISDIRECTORY)), std::wstring::npos);
    EXPECT_NE(text.find(L"first line"), std::wstring::npos) << text;
}

TEST_F(Printing, AFileThatCannotBeOpenedIsNamedAndNothingPrinted)
{
    CPrintJob job(main->operation, main->Handle());
    ASSERT_TRUE(job.Begin());
    test::DialogAnswerer answer(L"#32770", IDOK);
    EXPECT_EQ(job.PrintFile(tmp / L"missing.txt", L"title"), PrintResult::CannotOpenFile);
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_NE(answer.LastText().find(tmp / L"missing.txt"), std::wstring::npos);
    EXPECT_EQ(::GetFileAttributesW(ps.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Printing, ThePrinterSetupListsThePrintersAndMakesOneTheDefault)
{
    ASSERT_TRUE(test::TestPrinters::Install(L"PD Second Printer", L"LPT2:", tmp / L"second.ps"));
    ASSERT_TRUE(test::TestPrinters::MakeDefault(L"PD Test Printer"));
    std::wstring shown, listed;
    test::DialogAnswerer answer(L"PRSETUP", IDCANCEL, [&](HWND dlg) {
        shown = fw::GetText(::GetDlgItem(dlg, IDC_PRSETUP_DEFAULT));
        HWND list = ::GetDlgItem(dlg, IDC_PRSETUP_LIST);
        LRESULT found = ::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(L"PD Second Printer"));
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        ::SendMessageW(dlg, WM_COMMAND, IDC_PRSETUP_SETDEFAULT, 0);
        listed = fw::GetText(::GetDlgItem(dlg, IDC_PRSETUP_DEFAULT));
    });
    Command(IDM_PRSETUP);
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(shown, L"PD Test Printer" + fw::LoadStr(IDS_ON) + L"LPT1:");
    EXPECT_EQ(listed, L"PD Second Printer" + fw::LoadStr(IDS_ON) + L"LPT2:");
    EXPECT_EQ(DefaultPrinterName(), L"PD Second Printer");
    wchar_t device[256] = {};
    ::GetProfileStringW(L"windows", L"device", L"", device, 256);
    EXPECT_EQ(std::wstring(device).substr(0, 18), L"PD Second Printer,");
}

TEST_F(Printing, ThePrintSettingsDialogShowsAndWritesTheSixKeys)
{
    WriteProfileInt(L"Algemeen", L"PerTab", 0); // out of range: shown as the default
    WriteProfileInt(L"Algemeen", L"RegelNummers", 1);
    bool numbers = false, portrait = false;
    std::wstring tab;
    test::DialogAnswerer answer(L"PRINTSETTINGS", IDOK, [&](HWND dlg) {
        numbers = ::IsDlgButtonChecked(dlg, IDC_PS_NUMBERS) == BST_CHECKED;
        portrait = ::IsDlgButtonChecked(dlg, IDC_PS_PORTRAIT) == BST_CHECKED;
        tab = fw::GetText(::GetDlgItem(dlg, IDC_PS_TAB));
        ::CheckRadioButton(dlg, IDC_PS_PORTRAIT, IDC_PS_TWOPAGES, IDC_PS_TWOPAGES);
        ::CheckDlgButton(dlg, IDC_PS_CUT, BST_CHECKED);
        ::SetDlgItemTextW(dlg, IDC_PS_TAB, L"8");
        ::CheckRadioButton(dlg, IDC_PS_ANSI, IDC_PS_OEM, IDC_PS_OEM);
    });
    Command(IDM_PRINTSETTINGS);
    EXPECT_TRUE(numbers);
    EXPECT_TRUE(portrait);
    EXPECT_EQ(tab, L"4");
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"bA4", -9), 2);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"PerA4", -9), 2);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"Afkappen", -9), 1);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"PerTab", -9), 8);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"bCharSet", -9), 0);
}

class NoPrinter : public PrintFixture {};

TEST_F(NoPrinter, PrintingSaysSoAndLeavesTheWindowUsable)
{
    test::TestPrinters::RemoveAll();
    ASSERT_EQ(DefaultPrinterName(), L"");
    for (UINT command : {IDM_PRTDIR, IDM_PRINT}) {
        test::DialogAnswerer answer(L"#32770", IDOK);
        if (command == IDM_PRINT)
            main->LeftPanel().List().SetItemState(test::RowOf(main->LeftPanel(), L"alpha.txt"), LVIS_FOCUSED,
                                                  LVIS_FOCUSED);
        Command(command);
        test::Pump(100);
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(answer.LastText(), fw::LoadStr(IDS_PRINT_NOPRINTER));
        EXPECT_TRUE(::IsWindowEnabled(main->Handle()));
        EXPECT_FALSE(main->operation.busy);
    }
    std::wstring shown;
    test::DialogAnswerer answer(L"PRSETUP", IDCANCEL,
                                [&](HWND dlg) { shown = fw::GetText(::GetDlgItem(dlg, IDC_PRSETUP_DEFAULT)); });
    Command(IDM_PRSETUP);
    EXPECT_EQ(shown, fw::LoadStr(IDS_PRSETUP_NONE));
}

class Listings : public PrintFixture {
protected:
    // Saves through the real save dialog, typing the name into its file-name field.
    void SaveAs(UINT command, const std::wstring& target, std::vector<test::AnswerSequence::Step> more = {})
    {
        std::vector<test::AnswerSequence::Step> steps = {
            {[target](HWND dlg) { ::SetDlgItemTextW(dlg, 1148, target.c_str()); }, IDOK}};
        steps.insert(steps.end(), more.begin(), more.end());
        test::AnswerSequence answers(steps);
        Command(command);
        test::PumpUntil([&] { return answers.Answered() == static_cast<int>(steps.size()); });
        test::Pump(100);
        answered = answers.Answered();
        texts = answers.Texts();
    }
    std::wstring SavedText(const std::wstring& file)
    {
        std::string bytes = test::ReadAll(file);
        if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0) return L"<no byte-order mark>";
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    }
    int answered = 0;
    std::vector<std::wstring> texts;
};

TEST_F(Listings, TheSavedListingKeepsNamesOutsideTheCodePage)
{
    std::wstring target = tmp / L"listing.txt";
    SaveAs(IDM_SAVEDIR, target);
    EXPECT_EQ(answered, 1);
    std::wstring text = SavedText(target);
    EXPECT_NE(text.find(Greek), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"alpha.txt"), std::wstring::npos) << text;
    EXPECT_EQ(text.find(L"deep.txt"), std::wstring::npos) << text;
}

TEST_F(Listings, TheTreeListingHoldsTheSubdirectories)
{
    std::wstring target = tmp / L"tree.txt";
    SaveAs(IDM_SAVETREE, target);
    std::wstring text = SavedText(target);
    EXPECT_NE(text.find(L"deep.txt"), std::wstring::npos) << text;
    EXPECT_NE(text.find(Greek), std::wstring::npos) << text;
}

TEST_F(Listings, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo)
{
    std::wstring target = tmp / L"exists.txt";
    ASSERT_TRUE(test::MakeFile(target, "keep me"));
    SaveAs(IDM_SAVEDIR, target, {{{}, IDNO}, {{}, IDCANCEL, true}});
    EXPECT_EQ(answered, 3);
    EXPECT_EQ(test::ReadAll(target), "keep me");
    SaveAs(IDM_SAVEDIR, target, {{{}, IDYES}});
    EXPECT_EQ(answered, 2);
    EXPECT_NE(SavedText(target).find(L"alpha.txt"), std::wstring::npos);
}

TEST_F(Listings, ADirectoryWithAPercentSignIsListedAsItIs)
{
    std::wstring odd = tmp / L"p%PATH%q";
    ASSERT_TRUE(test::MakeDir(odd));
    ASSERT_TRUE(test::MakeFile(odd + L"\\inside.txt", "i"));
    main->LeftPanel().SetDirectory(dir.substr(0, 3), odd);
    std::wstring target = tmp / L"odd.txt";
    SaveAs(IDM_SAVEDIR, target);
    EXPECT_NE(SavedText(target).find(L"inside.txt"), std::wstring::npos) << SavedText(target);
}

TEST_F(Listings, FoundFilesAndFtpPanelsAreRefused)
{
    main->LeftPanel().showsFoundFiles = true;
    for (UINT command : {IDM_SAVEDIR, IDM_PRTDIR, IDM_PRTTREE}) {
        test::DialogAnswerer answer(L"#32770", IDOK);
        Command(command);
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(answer.LastText(), fw::LoadStr(IDS_NOTONFOUNDFILES));
    }
    main->LeftPanel().showsFoundFiles = false;
    std::wstring drive = main->LeftPanel().drive;
    main->LeftPanel().drive = L"FTP";
    for (UINT command : {IDM_PRTTREE, IDM_SAVETREE, IDM_PRTDIR}) {
        test::DialogAnswerer answer(L"#32770", IDOK);
        Command(command);
        EXPECT_EQ(answer.Answered(), 1);
        EXPECT_EQ(answer.LastText(), fw::LoadStr(IDS_NOTONFTP));
    }
    main->LeftPanel().drive = drive;
}
