// Extraction through the real dialogs: byte-identical trees and times from every archive kind,
// the folders question, the target question, marked rows, overwrite answers and passwords.
#include "archive/ArchiveBytes.h"
#include "archive/ArchiveSupport.h"
#include "archive/ArchiveText.h"
#include "common/Settings.h"
#include "framework/Resources.h"
#include "resource.h"
#include <cwchar>

using namespace test;

class ArchiveExtract : public ArchiveTest {
protected:
    std::map<std::wstring, std::string> Source(bool withLong = false) const
    {
        std::map<std::wstring, std::string> tree = Tree(Fixture(L"src"));
        if (withLong)
            for (auto& [name, content] : Tree(Fixture(L"long"))) tree[name] = content;
        return tree;
    }
    std::wstring Out(const std::wstring& name) const { return target / name; }
};

TEST_F(ArchiveExtract, ZipArchivesGiveTheTreeBackByteForByteWithItsTimes)
{
    for (const wchar_t* name : {L"info.zip", L"sevenzip.zip", L"zip64.zip", L"stored.zip"}) {
        SCOPED_TRACE(Narrow(name));
        TempDir into;
        Extraction how;
        how.target = into.Path();
        EXPECT_EQ(Extract(Fixture(name), how), IDOK);
        EXPECT_EQ(Tree(into.Path()), Source());
        EXPECT_EQ(WriteTime(into / L"text.txt"), SourceTime());
        EXPECT_EQ(WriteTime(into / L"\u0436\u0443\u043a\\\u03a9mega.txt"), SourceTime());
        EXPECT_TRUE(TemporaryFiles(into.Path()).empty());
        ASSERT_EQ(boxes.size(), 1u); // the folders question only
        EXPECT_NE(boxes[0].find(fw::LoadStr(IDS_UNZIP_FOLDERS).substr(0, 20)), std::wstring::npos);
    }
}

TEST_F(ArchiveExtract, TarAndGzipArchivesGiveTheTreeBack)
{
    for (const wchar_t* name : {L"pax.tar", L"gnu.tar", L"gnu.tgz", L"pax.tar.gz"}) {
        SCOPED_TRACE(Narrow(name));
        TempDir into;
        Extraction how;
        how.target = into.Path();
        EXPECT_EQ(Extract(Fixture(name), how), IDOK);
        EXPECT_EQ(Tree(into.Path()), Source(true));
        EXPECT_EQ(WriteTime(into / L"random.bin"), SourceTime());
        EXPECT_TRUE(TemporaryFiles(into.Path()).empty());
    }
    TempDir ustar;
    Extraction how;
    how.target = ustar.Path();
    EXPECT_EQ(Extract(Fixture(L"ustar.tar"), how), IDOK);
    EXPECT_EQ(Tree(ustar.Path()), Source());
}

TEST_F(ArchiveExtract, AGzippedFileTakesTheHeadersTimeWithoutSeconds)
{
    EXPECT_EQ(Extract(Fixture(L"single.txt.gz"), Extraction()), IDOK);
    EXPECT_EQ(ReadAll(Out(L"single.txt")), ReadAll(Fixture(L"src\\text.txt")));
    EXPECT_EQ(WriteTime(Out(L"single.txt")), DropSeconds(SourceTime()));
    EXPECT_TRUE(boxes.empty()); // no folders, no question
    EXPECT_EQ(Extract(Fixture(L"noname.gz"), Extraction()), IDOK);
    EXPECT_EQ(ReadAll(Out(L"noname")), ReadAll(Fixture(L"src\\text.txt")));
}

TEST_F(ArchiveExtract, CabinetsFromGcab)
{
    EXPECT_EQ(Extract(Fixture(L"files.cab"), Extraction()), IDOK);
    for (const wchar_t* name : {L"hello.txt", L"random.bin", L"text.txt", L"empty.bin", L"nested\\deeper\\leaf.txt",
                                L"\u0436\u0443\u043a\\\u03a9mega.txt"})
        EXPECT_EQ(ReadAll(Out(name)), ReadAll(Fixture(std::wstring(L"src\\") + name))) << Narrow(name);
    // Cabinets keep DOS times: two-second steps.
    EXPECT_EQ(WriteTime(Out(L"hello.txt")), SourceTime() - 10000000);
}

TEST_F(ArchiveExtract, WithoutFoldersEveryMemberLandsInTheTarget)
{
    Extraction how;
    how.keepFolders = false;
    EXPECT_EQ(Extract(Fixture(L"info.zip"), how), IDOK);
    EXPECT_EQ(ReadAll(Out(L"leaf.txt")), "leaf\n");
    EXPECT_EQ(ReadAll(Out(L"\u03a9mega.txt")), "omega\n");
    EXPECT_FALSE(Exists(Out(L"nested")));
}

TEST_F(ArchiveExtract, OnlyTheMarkedRowsAndNothingWithoutMarks)
{
    EXPECT_EQ(List(Fixture(L"info.zip")), IDCANCEL);
    std::vector<int> wanted;
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].name == L"hello.txt" || rows[i].name == L"nested/deeper/leaf.txt") wanted.push_back(static_cast<int>(i));
    ASSERT_EQ(wanted.size(), 2u);
    Extraction how;
    how.all = false;
    how.mark = wanted;
    EXPECT_EQ(Extract(Fixture(L"info.zip"), how), IDOK);
    EXPECT_EQ(Tree(target.Path()), (std::map<std::wstring, std::string>{
                                        {L"hello.txt", "hello\n"}, {L"nested", "<dir>"}, {L"nested\\deeper", "<dir>"},
                                        {L"nested\\deeper\\leaf.txt", "leaf\n"}}));

    // Extract with no row marked does nothing at all: no target question.
    CArchiveDialog dialog(Fixture(L"info.zip"), target.Path(), operation);
    Rule extractThenClose{{IDCANCEL}, [](HWND w) {
                              ::PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDM_ARC_EXTRACT, BN_CLICKED), 0);
                          }};
    Answers answers({{L"FILECONT", extractThenClose}, {L"UNZIP", Rule{{IDCANCEL}}}});
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    EXPECT_EQ(answers.Count(L"UNZIP"), 0);
}

TEST_F(ArchiveExtract, AMissingTargetIsMadeOnYesAndLeftOnNo)
{
    std::wstring deep = target / L"new\\deeper\\still";
    Extraction how;
    how.target = deep;
    EXPECT_EQ(Extract(Fixture(L"single.txt.gz"), how, {{L"#32770", AnswerAndClose(IDNO)}}), IDCANCEL);
    EXPECT_FALSE(Exists(target / L"new"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(deep), std::wstring::npos);
    EXPECT_NE(boxes[0].find(fw::LoadStr(IDS_UNZIP_CREATE1)), std::wstring::npos);

    EXPECT_EQ(Extract(Fixture(L"single.txt.gz"), how, {{L"#32770", Rule{{IDYES}}}}), IDOK);
    EXPECT_EQ(ReadAll(deep + L"\\single.txt"), ReadAll(Fixture(L"src\\text.txt")));

    Extraction empty;
    empty.target = L"   ";
    EXPECT_EQ(Extract(Fixture(L"single.txt.gz"), empty, {{L"#32770", AnswerAndClose(IDOK)}}), IDCANCEL);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(fw::LoadStr(IDS_UNZIP_NOTARGET)), std::wstring::npos);
}

TEST_F(ArchiveExtract, RarStoredMembersOfBothFormatsAndACompressedOneRefusedPlainly)
{
    RarFields readme, unicode, packed;
    readme.name = "docs/readme.txt";
    readme.data = std::string(70000, 'r');
    unicode.name = "?uk.txt";
    unicode.unicodeName = L"\u0436uk.txt";
    unicode.data = "zhuk";
    packed.name = "packed.bin";
    packed.data = "compressed bytes";
    packed.compressed = true;
    for (int format : {4, 5}) {
        SCOPED_TRACE(format);
        TempDir into;
        if (format == 5) unicode.name = "\xD0\xB6uk.txt";
        std::wstring archive = Write(format == 4 ? L"four.rar" : L"five.rar",
                                     format == 4 ? Rar4({readme, unicode, packed}) : Rar5({readme, unicode, packed}));
        Extraction how;
        how.target = into.Path();
        EXPECT_EQ(Extract(archive, how), IDOK);
        EXPECT_EQ(ReadAll(into / L"docs\\readme.txt"), readme.data);
        EXPECT_EQ(ReadAll(into / L"\u0436uk.txt"), "zhuk");
        EXPECT_FALSE(Exists(into / L"packed.bin"));
        EXPECT_TRUE(TemporaryFiles(into.Path()).empty());
        ASSERT_EQ(boxes.size(), 2u); // the folders question, then the refusal
        EXPECT_NE(boxes[1].find(L"Skipping packed.bin: " + fw::LoadStr(IDS_ARC_RARCOMPRESSED)), std::wstring::npos)
            << Narrow(boxes[1]);
    }
}

namespace {
// Presses Cancel in the status window once it counts a few members done.
void CALLBACK CancelStatus(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND w, LPARAM timerId) {
        fw::CDialog* dialog = fw::CDialog::FromHandle(w);
        if (!dialog || dialog->TemplateName() != L"STATUSUNZIP") return TRUE;
        std::wstring count = fw::GetText(::GetDlgItem(w, IDC_STATUS_BYTES));
        size_t digit = count.find_first_of(L"0123456789");
        if (digit == std::wstring::npos || std::wcstol(count.c_str() + digit, nullptr, 10) < 20) return FALSE;
        ::PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        ::KillTimer(nullptr, static_cast<UINT_PTR>(timerId));
        return FALSE;
    }, static_cast<LPARAM>(timer));
}
}

TEST_F(ArchiveExtract, CancelInTheStatusWindowStopsAndLeavesNothingHalfDone)
{
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CancelStatus);
    EXPECT_EQ(Extract(Fixture(L"many.zip"), Extraction()), IDOK);
    ::KillTimer(nullptr, timer);
    size_t files = 0;
    for (auto& [name, content] : Tree(target.Path())) files += content != "<dir>";
    EXPECT_GE(files, 19u);
    EXPECT_LT(files, 70000u);
    EXPECT_TRUE(TemporaryFiles(target.Path()).empty());
    EXPECT_TRUE(operation.cancelRequested);
    EXPECT_FALSE(operation.busy);
}

class ArchiveOverwrite : public ArchiveExtract {
protected:
    void Existing()
    {
        ASSERT_TRUE(MakeFile(Out(L"hello.txt"), "old hello"));
        ASSERT_TRUE(MakeFile(Out(L"text.txt"), "old text"));
        ASSERT_TRUE(MakeFile(Out(L"random.bin"), "old random"));
    }
    Extraction Flat()
    {
        Extraction how;
        how.keepFolders = false;
        return how;
    }
};

TEST_F(ArchiveOverwrite, TheQuestionNamesTheFileAndSkipKeepsIt)
{
    Existing();
    std::wstring text;
    bool allOffered = false;
    Rule ask{{IDC_OVERWRITE_SKIP, IDOK}, [&](HWND w) {
                 if (!text.empty()) return;
                 text = fw::GetText(::GetDlgItem(w, IDC_OVERWRITE_TEXT));
                 allOffered = ::IsWindowEnabled(::GetDlgItem(w, IDC_OVERWRITE_ALL));
             }};
    EXPECT_EQ(Extract(Fixture(L"sevenzip.zip"), Flat(), {{L"OVERWRITE", ask}}), IDOK);
    EXPECT_NE(text.find(target.Path()), std::wstring::npos) << Narrow(text);
    EXPECT_TRUE(allOffered);
    // 7z stores empty.bin, hello.txt ... in name order: hello.txt is asked first and kept.
    EXPECT_EQ(ReadAll(Out(L"hello.txt")), "old hello");
    EXPECT_EQ(ReadAll(Out(L"random.bin")), ReadAll(Fixture(L"src\\random.bin")));
    EXPECT_EQ(ReadAll(Out(L"text.txt")), ReadAll(Fixture(L"src\\text.txt")));
}

TEST_F(ArchiveOverwrite, AllReplacesTheRestAndCancelStops)
{
    Existing();
    std::map<std::wstring, Rule> all{{L"OVERWRITE", Rule{{IDC_OVERWRITE_ALL}}}};
    EXPECT_EQ(Extract(Fixture(L"info.zip"), Flat(), all), IDOK);
    EXPECT_EQ(ReadAll(Out(L"hello.txt")), "hello\n");
    EXPECT_EQ(ReadAll(Out(L"text.txt")), ReadAll(Fixture(L"src\\text.txt")));

    TempDir other;
    ASSERT_TRUE(MakeFile(other / L"hello.txt", "kept"));
    std::wstring tar = Write(L"three.tar", TarMember("first.txt", "1") + TarMember("hello.txt", "new") +
                                               TarMember("third.txt", "3") + TarEnd());
    Extraction how = Flat();
    how.target = other.Path();
    int asked = 0;
    Rule cancel{{IDCANCEL}, [&](HWND) { ++asked; }};
    EXPECT_EQ(Extract(tar, how, {{L"OVERWRITE", cancel}}), IDOK);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadAll(other / L"hello.txt"), "kept");
    EXPECT_EQ(ReadAll(other / L"first.txt"), "1");
    EXPECT_FALSE(Exists(other / L"third.txt")); // nothing after the cancel
}

TEST_F(ArchiveOverwrite, WithoutConfirmationFilesAreReplacedSilently)
{
    Existing();
    WriteProfileInt(L"Algemeen", L"BevestigingOverwrite", 0);
    int asked = 0;
    EXPECT_EQ(Extract(Fixture(L"files.cab"), Flat(), {{L"OVERWRITE", Rule{{IDCANCEL}, [&](HWND) { ++asked; }}}}), IDOK);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ReadAll(Out(L"hello.txt")), "hello\n");
    EXPECT_EQ(ReadAll(Out(L"random.bin")), ReadAll(Fixture(L"src\\random.bin")));
}

class ArchivePassword : public ArchiveExtract {};

TEST_F(ArchivePassword, TheRightPasswordOpensTheMembersAndIsOfferedAgain)
{
    int asked = 0, reuse = 0;
    Rule password{{IDOK}, [&](HWND w) {
                      ++asked;
                      ::SetDlgItemTextW(w, IDC_PASSWORD_TEXT, L"secret");
                  }};
    Rule use{{IDC_PASSWORDUSE_ONCE}, [&](HWND) { ++reuse; }};
    EXPECT_EQ(Extract(Fixture(L"encrypted.zip"), Extraction(), {{L"PASSWORD", password}, {L"PASSWORDUSE", use}}), IDOK);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(reuse, 1); // the second member asks whether to use it again
    EXPECT_EQ(ReadAll(Out(L"hello.txt")), "hello\n");
    EXPECT_EQ(ReadAll(Out(L"text.txt")), ReadAll(Fixture(L"src\\text.txt")));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ArchivePassword, ForAllAsksOnceAndAWrongPasswordWritesNothing)
{
    int reuse = 0;
    Rule all{{IDOK}, [&](HWND w) {
                 ::SetDlgItemTextW(w, IDC_PASSWORD_TEXT, L"secret");
                 ::CheckDlgButton(w, IDC_PASSWORD_FORALL, BST_CHECKED);
             }};
    EXPECT_EQ(Extract(Fixture(L"encrypted.zip"), Extraction(),
                      {{L"PASSWORD", all}, {L"PASSWORDUSE", Rule{{IDCANCEL}, [&](HWND) { ++reuse; }}}}),
              IDOK);
    EXPECT_EQ(reuse, 0);
    EXPECT_EQ(ReadAll(Out(L"hello.txt")), "hello\n");

    TempDir other;
    Extraction how;
    how.target = other.Path();
    Rule wrong{{IDOK}, [&](HWND w) { ::SetDlgItemTextW(w, IDC_PASSWORD_TEXT, L"not it"); }};
    EXPECT_EQ(Extract(Fixture(L"encrypted.zip"), how, {{L"PASSWORD", wrong}}), IDOK);
    EXPECT_TRUE(Tree(other.Path()).empty());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].find(L"Skipping hello.txt: " + fw::LoadStr(IDS_ARC_WRONGPASSWORD)), std::wstring::npos);
}

TEST_F(ArchivePassword, CancelAtThePasswordEndsTheExtraction)
{
    EXPECT_EQ(Extract(Fixture(L"encrypted.zip"), Extraction(), {{L"PASSWORD", Rule{{IDCANCEL}}}}), IDOK);
    EXPECT_TRUE(Tree(target.Path()).empty());
}
