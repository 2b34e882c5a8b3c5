// The attribute and date dialogs on real files and directories, through the panel and the commands.
#include "common/Settings.h"
#include "delete/DeleteSupport.h"
#include "fileops/AttributeDialogs.h"
#include "panel/PanelRequests.h"
#include "resource.h"

using namespace test;

namespace {
uint64_t LocalTime(int y, int mo, int d, int h, int mi)
{
    FILETIME ft;
    EXPECT_TRUE(LocalToFileTime(y, mo, d, h, mi, ft));
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

void Choose(HWND w, int first, int last, int id) { ::CheckRadioButton(w, first, last, id); }

void TypeDate(HWND w, const wchar_t* date, const wchar_t* time)
{
    Choose(w, IDC_ATTR_KEEPTIME, IDC_ATTR_TYPEDTIME, IDC_ATTR_TYPEDTIME);
    ::SetDlgItemTextW(w, IDC_ATTR_DATE, date);
    ::SetDlgItemTextW(w, IDC_ATTR_TIME, time);
}

DWORD AttributesOf(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }
}

class Attributes : public DeleteFixture {
protected:
    void SetUp() override
    {
        DeleteFixture::SetUp();
        Program().dateOrder[0] = L'1';
        Program().dateSeparator[0] = L'-';
    }
    void TearDown() override
    {
        for (const std::wstring& root : {src.Path(), dst.Path()})
            for (auto& [name, content] : Snapshot(root)) ::SetFileAttributesW((root + L"\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFixture::TearDown();
    }
};

TEST_F(Attributes, ReadOnlyClearedAndANewDateSetInOneStep)
{
    ASSERT_TRUE(MakeFile(src / L"ro.txt", "data", FILE_ATTRIBUTE_READONLY));
    ShowBoth();
    Cursor(L"ro.txt");
    bool startedReadOnly = false;
    std::wstring prompt, shownDate, shownTime;
    Answers answers({{L"FILEATTR", Rule{{IDOK}, [&](HWND w) {
                          startedReadOnly = ::IsDlgButtonChecked(w, IDC_ATTR_READONLY_SET) == BST_CHECKED &&
                                            ::IsDlgButtonChecked(w, IDC_ATTR_READONLY_CLEAR) != BST_CHECKED;
                          prompt = fw::GetText(::GetDlgItem(w, IDC_ATTR_NAME));
                          shownDate = fw::GetText(::GetDlgItem(w, IDC_ATTR_DATE));
                          shownTime = fw::GetText(::GetDlgItem(w, IDC_ATTR_TIME));
                          Choose(w, IDC_ATTR_READONLY_SET, IDC_ATTR_READONLY_CLEAR, IDC_ATTR_READONLY_CLEAR);
                          TypeDate(w, L"31-12-04", L"23:59");
                      }}},
                     {L"#32770", Rule{{IDOK}}}});
    Run(req::AttributesOne);
    EXPECT_TRUE(answers.Boxes().empty());
    EXPECT_TRUE(startedReadOnly);
    EXPECT_EQ(prompt, fw::LoadStr(IDS_ATTR_FILEPROMPT) + (src / L"ro.txt"));
    EXPECT_EQ(shownDate.size(), 8u);
    EXPECT_EQ(shownDate[2], L'-');
    EXPECT_EQ(shownTime.size(), 5u);
    EXPECT_FALSE(AttributesOf(src / L"ro.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(WriteTime(src / L"ro.txt"), LocalTime(2004, 12, 31, 23, 59));
    EXPECT_EQ(ReadAll(src / L"ro.txt"), "data");
}

TEST_F(Attributes, AReadOnlyFileKeepsItsBitAndGetsTheNewDate)
{
    ASSERT_TRUE(MakeFile(src / L"ro.txt", "data", FILE_ATTRIBUTE_READONLY));
    ShowBoth();
    Cursor(L"ro.txt");
    Answers answers({{L"FILEATTR", Rule{{IDOK}, [&](HWND w) { TypeDate(w, L"15-06-85", L"08:30"); }}},
                     {L"#32770", Rule{{IDOK}}}});
    Run(req::AttributesOne);
    EXPECT_TRUE(answers.Boxes().empty());
    EXPECT_TRUE(AttributesOf(src / L"ro.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(WriteTime(src / L"ro.txt"), LocalTime(1985, 6, 15, 8, 30));
}

TEST_F(Attributes, ABadDateIsRefusedAndNothingChanges)
{
    ASSERT_TRUE(MakeFile(src / L"ro.txt", "data", FILE_ATTRIBUTE_READONLY));
    SetWriteTime(src / L"ro.txt", -3600);
    uint64_t before = WriteTime(src / L"ro.txt");
    ShowBoth();
    for (auto [date, time] : std::vector<std::pair<const wchar_t*, const wchar_t*>>{
             {L"31-13-04", L"10:00"}, {L"31-12-04", L"25:00"}, {L"31-02-05", L"10:00"}, {L"12-05", L"10:00"}, {L"ab", L"cd"}}) {
        Cursor(L"ro.txt");
        Answers answers({{L"FILEATTR", Rule{{IDOK}, [&, date = date, time = time](HWND w) {
                              Choose(w, IDC_ATTR_READONLY_SET, IDC_ATTR_READONLY_CLEAR, IDC_ATTR_READONLY_CLEAR);
                              TypeDate(w, date, time);
                          }}},
                         // The refusal keeps the dialog open; then the user gives up.
                         {L"#32770", Rule{{IDOK}, [](HWND box) {
                              ::PostMessageW(::GetWindow(box, GW_OWNER), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                          }}}});
        Run(req::AttributesOne);
        EXPECT_EQ(answers.Count(L"#32770"), 1) << Narrow(date);
        EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_DATE_INVALID))) << Narrow(date);
        EXPECT_TRUE(AttributesOf(src / L"ro.txt") & FILE_ATTRIBUTE_READONLY) << Narrow(date);
        EXPECT_EQ(WriteTime(src / L"ro.txt"), before) << Narrow(date);
    }
}

TEST_F(Attributes, TheAllDialogKeepsEachFilesOwnBitForAnUnsetPair)
{
    ASSERT_TRUE(MakeFile(src / L"h.txt", "h", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(MakeFile(src / L"n.txt", "n"));
    ASSERT_TRUE(MakeFile(src / L"other.txt", "o"));
    WriteProfileInt(L"Algemeen", L"Hidden", 1);
    ShowBoth();
    Mark({L"h.txt", L"n.txt"});
    bool hiddenUnset = false;
    Answers answers({{L"FILEATTRALL", Rule{{IDOK}, [&](HWND w) {
                          hiddenUnset = ::IsDlgButtonChecked(w, IDC_ATTR_HIDDEN_SET) != BST_CHECKED &&
                                        ::IsDlgButtonChecked(w, IDC_ATTR_HIDDEN_CLEAR) != BST_CHECKED;
                          Choose(w, IDC_ATTR_ARCHIVE_SET, IDC_ATTR_ARCHIVE_CLEAR, IDC_ATTR_ARCHIVE_SET);
                          Choose(w, IDC_ATTR_READONLY_SET, IDC_ATTR_READONLY_CLEAR, IDC_ATTR_READONLY_SET);
                      }}},
                     {L"FILEATTR", Rule{{IDCANCEL}}}, {L"#32770", Rule{{IDOK}}}});
    Command(IDM_ATTRIBUTES);
    EXPECT_EQ(answers.Count(L"FILEATTRALL"), 1);
    EXPECT_EQ(answers.Count(L"FILEATTR"), 0);
    EXPECT_TRUE(hiddenUnset);
    EXPECT_EQ(AttributesOf(src / L"h.txt") & 0x27, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(AttributesOf(src / L"n.txt") & 0x27, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_FALSE(AttributesOf(src / L"other.txt") & FILE_ATTRIBUTE_READONLY);
}

TEST_F(Attributes, SeveralFilesGetTheTypedDateAndMarkedDirectoriesTheirOwnDialog)
{
    ASSERT_TRUE(MakeFile(src / L"a.txt", "a"));
    ASSERT_TRUE(MakeDir(src / L"D"));
    ASSERT_TRUE(MakeFile(src / L"D\\inner.txt", "d"));
    ASSERT_TRUE(MakeFile(src / L"z.txt", "z"));
    ShowBoth();
    Mark({L"a.txt", L"z.txt"});
    Answers answers({{L"FILEATTRALL", Rule{{IDOK}, [&](HWND w) { TypeDate(w, L"01-02-03", L"04:05"); }}},
                     {L"#32770", Rule{{IDOK}}}});
    Command(IDM_DATETIME);
    EXPECT_EQ(WriteTime(src / L"a.txt"), LocalTime(2003, 2, 1, 4, 5));
    EXPECT_EQ(WriteTime(src / L"z.txt"), LocalTime(2003, 2, 1, 4, 5));
    // Directories sort first: with one marked, the directory dialog opens and files stay as they are.
    Show(Left(), src.Path());
    Mark({L"D", L"a.txt"});
    Answers dirs({{L"#32770", Rule{{IDOK}}}, {L"FILEATTRALL", Rule{{IDCANCEL}}},
                  {L"DIRATTRALL", Rule{{IDOK}, [&](HWND w) { TypeDate(w, L"05-06-07", L"08:09"); }}}});
    Command(IDM_ATTRIBUTES);
    EXPECT_EQ(dirs.Count(L"DIRATTRALL"), 1);
    EXPECT_EQ(WriteTime(src / L"D"), LocalTime(2007, 6, 5, 8, 9));
    EXPECT_EQ(WriteTime(src / L"a.txt"), LocalTime(2003, 2, 1, 4, 5));
    // The file dialog itself refuses a directory as the first marked row.
    Answers refused({{L"#32770", Rule{{IDOK}}}, {L"FILEATTRALL", Rule{{IDCANCEL}}}});
    Left().EditAttributesAll();
    EXPECT_TRUE(refused.BoxContains(fw::LoadStr(IDS_NOENTRY)));
    EXPECT_EQ(refused.Count(L"FILEATTRALL"), 0);
}

TEST_F(Attributes, DirectoryTimesAndAttributesAreWritten)
{
    ASSERT_TRUE(MakeDir(src / L"D"));
    ASSERT_TRUE(MakeDir(src / L"E"));
    ASSERT_TRUE(MakeDir(src / L"F"));
    ShowBoth();
    Cursor(L"D");
    std::wstring prompt;
    Answers answers({{L"DIRATTR", Rule{{IDOK}, [&](HWND w) {
                          prompt = fw::GetText(::GetDlgItem(w, IDC_ATTR_NAME));
                          TypeDate(w, L"24-12-99", L"18:00");
                      }}},
                     {L"#32770", Rule{{IDOK}}}});
    Command(IDM_DATETIME);
    EXPECT_EQ(prompt, fw::LoadStr(IDS_ATTR_DIRPROMPT) + (src / L"D"));
    EXPECT_EQ(WriteTime(src / L"D"), LocalTime(1999, 12, 24, 18, 0));
    // Several directories: hidden on for both, times now.
    Show(Left(), src.Path());
    Mark({L"E", L"F"});
    uint64_t old = WriteTime(src / L"E");
    Answers all({{L"DIRATTRALL", Rule{{IDOK}, [&](HWND w) {
                      Choose(w, IDC_ATTR_HIDDEN_SET, IDC_ATTR_HIDDEN_CLEAR, IDC_ATTR_HIDDEN_SET);
                      Choose(w, IDC_ATTR_KEEPTIME, IDC_ATTR_TYPEDTIME, IDC_ATTR_TYPEDTIME);
                      ::SetDlgItemTextW(w, IDC_ATTR_DATE, L"01-01-01");
                      ::SetDlgItemTextW(w, IDC_ATTR_TIME, L"01:01");
                  }}},
                 {L"#32770", Rule{{IDOK}}}});
    Command(IDM_ATTRIBUTES);
    EXPECT_EQ(all.Count(L"DIRATTRALL"), 1);
    for (const wchar_t* d : {L"E", L"F"}) {
        EXPECT_TRUE(AttributesOf(src / d) & FILE_ATTRIBUTE_HIDDEN) << Narrow(d);
        EXPECT_TRUE(AttributesOf(src / d) & FILE_ATTRIBUTE_DIRECTORY);
        EXPECT_EQ(WriteTime(src / d), LocalTime(2001, 1, 1, 1, 1));
    }
    EXPECT_NE(old, WriteTime(src / L"E"));
    EXPECT_TRUE(all.Boxes().empty());
}

TEST_F(Attributes, TheCommandIsRefusedWhileThePanelIsBusy)
{
    ASSERT_TRUE(MakeFile(src / L"a.txt", "a"));
    ShowBoth();
    Cursor(L"a.txt");
    Left().summaryBusy = true;
    Answers answers({{L"#32770", Rule{{IDOK}}}, {L"FILEATTR", Rule{{IDCANCEL}}}});
    Command(IDM_ATTRIBUTES);
    Left().summaryBusy = false;
    EXPECT_TRUE(answers.BoxContains(fw::LoadStr(IDS_NOENTRY)));
    EXPECT_EQ(answers.Count(L"FILEATTR"), 0);
    Command(IDM_ATTRIBUTES);
    EXPECT_EQ(answers.Count(L"FILEATTR"), 1);
}
