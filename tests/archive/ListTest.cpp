// Listing through the real archive dialog: archives made by zip, 7z, gzip, tar and gcab, and rar
// archives written here; names, sizes and times as the rows show them.
#include "archive/ArchiveBytes.h"
#include "archive/ArchiveSupport.h"
#include "archive/ArchiveText.h"
#include "common/Program.h"
#include "common/Settings.h"
#include <commctrl.h>
#include "framework/Resources.h"
#include "resource.h"

using namespace test;

class ArchiveList : public ArchiveTest {};

namespace {
const std::wstring Unicode = L"\u0436\u0443\u043a/\u03a9mega.txt";
const std::wstring Chinese = L"\u4e2d\u6587/\u6587\u4ef6.txt";
}

TEST_F(ArchiveList, ZipArchivesOfZipAnd7zListEveryMemberWithSizeAndTime)
{
    for (const wchar_t* name : {L"info.zip", L"sevenzip.zip", L"zip64.zip", L"stored.zip"}) {
        SCOPED_TRACE(Narrow(name));
        EXPECT_EQ(List(Fixture(name)), IDCANCEL);
        EXPECT_EQ(type, ArchiveZip);
        const ArchiveRow* text = Row(L"text.txt");
        ASSERT_TRUE(text);
        EXPECT_EQ(text->size, 262890);
        // The listing shows the time to the minute, converted from local time.
        EXPECT_EQ(text->lastWrite, DropSeconds(SourceTime()));
        ASSERT_TRUE(Row(L"random.bin"));
        EXPECT_EQ(Row(L"random.bin")->size, 300000);
        EXPECT_EQ(Row(L"empty.bin")->size, 0);
        EXPECT_TRUE(Row(Unicode)) << "names outside the ANSI code page";
        EXPECT_TRUE(Row(Chinese));
        EXPECT_TRUE(Row(L"nested/deeper/leaf.txt"));
        EXPECT_TRUE(hasFolders);
        EXPECT_FALSE(damaged);
        EXPECT_EQ(titles.back(), fw::LoadStr(IDS_ARC_TITLE) + Fixture(name) + L":");
    }
}

TEST_F(ArchiveList, MoreThan65535MembersFromTheZip64EndRecord)
{
    EXPECT_EQ(List(Fixture(L"many.zip")), IDCANCEL);
    ASSERT_EQ(rows.size(), 70000u);
    EXPECT_TRUE(Row(L"d69/f69999"));
    EXPECT_TRUE(Row(L"d00/f00000"));
    EXPECT_FALSE(damaged);
}

TEST_F(ArchiveList, TarFormatsKeepLongNamesWhole)
{
    const std::wstring longName = L"./" + std::wstring(60, L'd') + L"/" + std::wstring(60, L'e') + L"/" +
                                  std::wstring(120, L'f') + L".txt";
    for (const wchar_t* name : {L"pax.tar", L"gnu.tar", L"gnu.tgz", L"pax.tar.gz"}) {
        SCOPED_TRACE(Narrow(name));
        EXPECT_EQ(List(Fixture(name)), IDCANCEL);
        ASSERT_TRUE(Row(longName)) << "a name of " << longName.size() << " characters";
        EXPECT_TRUE(Row(L"./" + Unicode));
        ASSERT_TRUE(Row(L"./text.txt"));
        EXPECT_EQ(Row(L"./text.txt")->size, 262890);
        EXPECT_EQ(Row(L"./text.txt")->lastWrite, DropSeconds(SourceTime()));
        EXPECT_FALSE(damaged);
    }
    EXPECT_EQ(List(Fixture(L"ustar.tar")), IDCANCEL);
    EXPECT_EQ(type, ArchiveTar);
    EXPECT_TRUE(Row(L"./" + Chinese));
    EXPECT_EQ(List(Fixture(L"v7.tar")), IDCANCEL);
    EXPECT_TRUE(Row(L"nested/deeper/leaf.txt"));
}

TEST_F(ArchiveList, GzipOfOneFileShowsOneRowOfUnknownSize)
{
    EXPECT_EQ(List(Fixture(L"single.txt.gz")), IDCANCEL);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, L"single.txt");
    EXPECT_EQ(rows[0].size, -1);
    EXPECT_EQ(rows[0].lastWrite, DropSeconds(SourceTime()));
    // Without a stored name: the archive's own name without its last extension.
    EXPECT_EQ(List(Fixture(L"noname.gz")), IDCANCEL);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, L"noname");
    EXPECT_EQ(rows[0].lastWrite, 0u);
}

TEST_F(ArchiveList, CabinetsFromGcab)
{
    EXPECT_EQ(List(Fixture(L"files.cab")), IDCANCEL);
    EXPECT_EQ(type, ArchiveCabinet);
    ASSERT_EQ(rows.size(), 6u);
    ASSERT_TRUE(Row(L"nested\\deeper\\leaf.txt"));
    EXPECT_TRUE(Row(L"\u0436\u0443\u043a\\\u03a9mega.txt"));
    EXPECT_EQ(Row(L"random.bin")->size, 300000);
    EXPECT_EQ(Row(L"hello.txt")->lastWrite, DropSeconds(SourceTime()));
    EXPECT_TRUE(hasFolders);
}

TEST_F(ArchiveList, RarArchivesOfBothFormats)
{
    RarFields a, b, dir;
    a.name = "docs/readme.txt";
    a.data = "read me";
    b.name = "?uk.txt";
    b.unicodeName = L"\u0436uk.txt";
    b.data = "zhuk";
    EXPECT_EQ(List(Write(L"four.rar", Rar4({a, b}))), IDCANCEL);
    EXPECT_EQ(type, ArchiveRar);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"docs/readme.txt", L"\u0436uk.txt"}));
    EXPECT_EQ(rows[0].size, 7);
    EXPECT_TRUE(hasFolders);

    b.name = "\xD0\xB6uk.txt";
    dir.name = "folder";
    dir.directory = true;
    EXPECT_EQ(List(Write(L"five.rar", Rar5({a, b, dir}))), IDCANCEL);
    EXPECT_EQ(Names(), (std::vector<std::wstring>{L"docs/readme.txt", L"\u0436uk.txt", L"folder"}));
    EXPECT_EQ(rows[1].lastWrite, DropSeconds(UnixTimeToFileTime(1614834367)));
}

TEST_F(ArchiveList, TheTypeComesFromTheContentNotTheName)
{
    std::string zip = ReadAll(Fixture(L"info.zip"));
    EXPECT_EQ(List(Write(L"looks-like.rar", zip)), IDCANCEL);
    EXPECT_EQ(type, ArchiveZip);
    EXPECT_TRUE(Row(L"text.txt"));
    // An empty file is taken for a zip archive, which it is not: the dialog says so and closes.
    EXPECT_EQ(List(Write(L"empty.tar", "")), 0);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(fw::LoadStr(IDS_ARC_UNREADABLE)), std::wstring::npos);
}

TEST_F(ArchiveList, RowTextsSizesDatesAndColumnWidths)
{
    WriteProfileInt(L"ZipPositie", L"Col1", 222);
    std::wstring size, date, unknown;
    int width = 0;
    Rule read{{IDCANCEL}, [&](HWND w) {
                  HWND list = ::GetDlgItem(w, IDC_ARC_LIST);
                  wchar_t text[256] = {};
                  auto* dialog = dynamic_cast<CArchiveDialog*>(fw::CDialog::FromHandle(w));
                  for (size_t i = 0; dialog && i < dialog->Rows().size(); ++i)
                      if (dialog->Rows()[i].name == L"random.bin") {
                          ListView_GetItemText(list, static_cast<int>(i), 1, text, 256);
                          size = text;
                          ListView_GetItemText(list, static_cast<int>(i), 2, text, 256);
                          date = text;
                      }
                  width = ListView_GetColumnWidth(list, 0);
                  ListView_SetColumnWidth(list, 1, 77);
              }};
    CArchiveDialog dialog(Fixture(L"info.zip"), target.Path(), operation);
    {
        Answers answers({{L"FILECONT", read}});
        EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    }
    std::wstring separator(1, Program().thousandSeparator[0]);
    EXPECT_EQ(size, L"300" + separator + L"000");
    SYSTEMTIME st;
    FILETIME utc = {static_cast<DWORD>(SourceTime()), static_cast<DWORD>(SourceTime() >> 32)}, local;
    ::FileTimeToLocalFileTime(&utc, &local);
    ::FileTimeToSystemTime(&local, &st);
    EXPECT_NE(date.find(fw::Format(L"%02d:%02d", st.wHour, st.wMinute)), std::wstring::npos) << Narrow(date);
    EXPECT_EQ(width, 222);
    // Closing keeps the widths.
    EXPECT_EQ(GetProfileInt(L"ZipPositie", L"Col2", 0), 77);

    Rule single{{IDCANCEL}, [&](HWND w) {
                    wchar_t text[64] = {};
                    ListView_GetItemText(::GetDlgItem(w, IDC_ARC_LIST), 0, 1, text, 64);
                    unknown = text;
                }};
    CArchiveDialog gz(Fixture(L"single.txt.gz"), target.Path(), operation);
    Answers answers({{L"FILECONT", single}});
    gz.DoModal(nullptr);
    EXPECT_EQ(unknown, L"?");
}
