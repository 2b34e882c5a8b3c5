// Loading and saving in the text window: unchanged saves give the same bytes, line ends and
// encodings are kept, failed reads and writes lose nothing, big files load while the window answers.
#include "textedit/TextSupport.h"
#include "common/FileWrite.h"
#include "common/Program.h"
#include "framework/Resources.h"
#include "resource.h"
#include "support/Harness.h"

using test::Box;
using test::Script;
using texttest::TextWindowTest;

namespace {
struct Sample {
    const char* name;
    std::string bytes;
    te::TextEncoding encoding;
};

bool SetClipboardUnicode(const std::wstring& text)
{
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    memcpy(::GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    bool ok = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    ::CloseClipboard();
    return ok;
}

std::string Lines(int count, const char* end)
{
    std::string text;
    for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + " of the long file" + end;
    return text;
}
}

class TextFiles : public TextWindowTest {};

TEST_F(TextFiles, AnUnchangedSaveGivesBackTheSameBytes)
{
    std::string hundredThousand;
    while (hundredThousand.size() < 100000) hundredThousand += "0123456789abcdefghi\r\n";
    hundredThousand.resize(100000);
    const Sample samples[] = {
        {"crlf.txt", "one\r\ntwo\r\n", te::TextEncoding::Ansi},
        {"lf.txt", "one\ntwo\n", te::TextEncoding::Ansi},
        {"cr.txt", "one\rtwo\r", te::TextEncoding::Ansi},
        {"mixed.txt", "one\r\ntwo\nthree\r", te::TextEncoding::Ansi},
        {"noend.txt", "one\r\ntwo", te::TextEncoding::Ansi},
        {"empty.txt", "", te::TextEncoding::Ansi},
        {"big.txt", hundredThousand, te::TextEncoding::Ansi},
        {"ansi.txt", "caf\xE9 cr\xE8me \x80\r\n", te::TextEncoding::Ansi},
        {"utf8.txt", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80\n", te::TextEncoding::Utf8},
        {"utf8bom.txt", "\xEF\xBB\xBF" "caf\xC3\xA9\r\n", te::TextEncoding::Utf8Bom},
        {"utf16.txt", std::string("\xFF\xFE" "a\0\xE9\0\r\0\n\0", 10), te::TextEncoding::Utf16Le},
        {"utf16be.txt", std::string("\xFE\xFF\0a\0\xE9\0\n", 8), te::TextEncoding::Utf16Be},
        {"tabs.txt", "\tindented\t\tx \r\n", te::TextEncoding::Ansi},
        {"zero.txt", std::string("a\0b\r\r\n\x01", 7), te::TextEncoding::Ansi},
    };
    for (const Sample& sample : samples) {
        std::wstring path = tmp / test::Widen(sample.name);
        ASSERT_TRUE(test::MakeFile(path, sample.bytes));
        te::CTextEditDialog* w = Open(path);
        ASSERT_NE(w, nullptr) << sample.name;
        EXPECT_FALSE(w->IsReadOnly()) << sample.name;
        EXPECT_FALSE(w->IsModified()) << sample.name;
        EXPECT_EQ(w->Encoding(), sample.encoding) << sample.name;
        // The file changes under the window, so the save must really write.
        ASSERT_TRUE(test::MakeFile(path, "x"));
        Script script({});
        Command(w, IDM_TE_SAVE);
        EXPECT_TRUE(script.Finished()) << sample.name;
        EXPECT_TRUE(test::ReadAll(path) == sample.bytes) << sample.name;
        EXPECT_FALSE(w->IsModified());
        texttest::CloseAllTextWindows();
    }
    EXPECT_EQ(test::FilesIn(tmp.Path()), static_cast<int>(std::size(samples)));
}

TEST_F(TextFiles, TypedLinesTakeTheFileLineEndsAndItsEncoding)
{
    std::wstring lf = tmp / L"lf.txt", utf16 = tmp / L"wide.txt";
    ASSERT_TRUE(test::MakeFile(lf, "one\ntwo\n"));
    ASSERT_TRUE(test::MakeFile(utf16, std::string("\xFF\xFE" "a\0", 4)));
    te::CTextEditDialog* w = Open(lf);
    SetSelection(w, 4, 4);
    Type(w, L"new\r");
    EXPECT_TRUE(w->IsModified());
    Command(w, IDM_TE_SAVE);
    EXPECT_EQ(test::ReadAll(lf), "one\nnew\ntwo\n");
    texttest::CloseAllTextWindows();
    w = Open(utf16);
    SetSelection(w, 1, 1);
    Type(w, L"\x20AC");
    Command(w, IDM_TE_SAVE);
    EXPECT_EQ(test::ReadAll(utf16), std::string("\xFF\xFE" "a\0\xAC\x20", 6));
}

TEST_F(TextFiles, ACharacterTheCodePageCannotHoldAsksForUtf8)
{
    std::wstring path = tmp / L"plain.txt";
    ASSERT_TRUE(test::MakeFile(path, "abc"));
    te::CTextEditDialog* w = Open(path);
    SetSelection(w, 3, 3);
    // RichEdit 1.0 types only what the code page holds; pasted text can be anything.
    ASSERT_TRUE(SetClipboardUnicode(L"\x4E2D"));
    Command(w, IDM_TE_PASTE);
    EXPECT_EQ(w->StreamOut(), L"abc\x4E2D");
    {
        Script script({Box(IDNO)});
        Command(w, IDM_TE_SAVE);
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(script.BoxTexts().size(), 1u);
        EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_TE_UNMAPPABLE));
    }
    EXPECT_EQ(test::ReadAll(path), "abc");
    EXPECT_TRUE(w->IsModified());
    {
        Script script({Box(IDYES)});
        Command(w, IDM_TE_SAVE);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(test::ReadAll(path), "abc\xE4\xB8\xAD");
    EXPECT_EQ(w->Encoding(), te::TextEncoding::Utf8);
    EXPECT_FALSE(w->IsModified());
}

TEST_F(TextFiles, AFailedSaveKeepsTheOldFileAndTheChangedText)
{
    std::wstring path = tmp / L"keep.txt";
    std::string original(5000, 'k');
    ASSERT_TRUE(test::MakeFile(path, original));
    te::CTextEditDialog* w = Open(path);
    Type(w, L"new");
    SetWriteFailureAfter(1000);
    {
        Script script({Box()});
        Command(w, IDM_TE_SAVE);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(test::ReadAll(path), original);
    EXPECT_TRUE(w->IsModified());
    EXPECT_EQ(test::FilesIn(tmp.Path()), 1);
    SetWriteFailureAfter(-1);
    // A read-only file is not replaced either.
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    {
        Script script({Box()});
        Command(w, IDM_TE_SAVE);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(test::ReadAll(path), original);
    EXPECT_TRUE(w->IsModified());
    // The close rule's Yes with a save that fails keeps the window.
    {
        Script script({Box(IDYES), Box()});
        Command(w, IDM_TE_CLOSE);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_TRUE(::IsWindow(w->Handle()));
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN));
    Command(w, IDM_TE_SAVE);
    EXPECT_EQ(test::ReadAll(path), "new" + original);
    EXPECT_FALSE(w->IsModified());
    // The attributes stay those of the file that was replaced.
    EXPECT_TRUE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(test::FilesIn(tmp.Path()), 1);
}

TEST_F(TextFiles, AReadThatFailsOpensReadOnlyAndSaysSo)
{
    std::wstring path = tmp / L"cut.txt";
    ASSERT_TRUE(test::MakeFile(path, std::string(300, 'r')));
    te::SetReadFailureAfter(100);
    Script script({Box()});
    te::CTextEditDialog* w = Open(path);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(script.Finished());
    ASSERT_EQ(script.BoxTexts().size(), 1u);
    EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_TE_READFAILED));
    EXPECT_TRUE(w->IsReadOnly());
    EXPECT_EQ(w->StreamOut(), std::wstring(100, L'r'));
    EXPECT_NE(texttest::Title(w->Handle()).find(fw::LoadStr(IDS_TE_READONLYTITLE)), std::wstring::npos);
    // Nothing can change the text or write the part over the whole.
    Type(w, L"x\t");
    Command(w, IDM_TE_SAVE);
    test::Pump(50);
    EXPECT_EQ(w->StreamOut(), std::wstring(100, L'r'));
    EXPECT_EQ(test::ReadAll(path), std::string(300, 'r'));
    EXPECT_FALSE(w->IsModified());
}

TEST_F(TextFiles, AFileThatCannotComeBackExactlyOpensReadOnlyWithANote)
{
    // A double-byte code page, and a lead byte with nothing after it.
    te::SetAnsiCodePage(932);
    std::wstring broken = tmp / L"broken.txt", fine = tmp / L"fine.txt";
    ASSERT_TRUE(test::MakeFile(broken, "abc\x81"));
    ASSERT_TRUE(test::MakeFile(fine, "abc\x82\xA0"));
    {
        Script script({Box()});
        te::CTextEditDialog* w = Open(broken);
        ASSERT_NE(w, nullptr);
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(script.BoxTexts().size(), 1u);
        EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_TE_NOTEXACT));
        EXPECT_TRUE(w->IsReadOnly());
        EXPECT_NE(texttest::Title(w->Handle()).find(fw::LoadStr(IDS_TE_READONLYTITLE)), std::wstring::npos);
        Command(w, IDM_TE_SAVE);
        EXPECT_EQ(test::ReadAll(broken), "abc\x81");
    }
    // The viewer shows it without a note; a whole double-byte text is edited as usual.
    Script script({});
    te::CTextEditDialog* viewer = Open(broken, true);
    te::CTextEditDialog* editor = Open(fine);
    EXPECT_TRUE(script.Finished());
    ASSERT_NE(viewer, nullptr);
    ASSERT_NE(editor, nullptr);
    EXPECT_FALSE(editor->IsReadOnly());
    EXPECT_EQ(editor->StreamOut(), L"abc\x3042");
    Command(editor, IDM_TE_SAVE);
    EXPECT_EQ(test::ReadAll(fine), "abc\x82\xA0");
}

TEST_F(TextFiles, AFileThatCannotBeOpenedLeavesAnEmptyWindowThatCannotOverwriteIt)
{
    std::wstring path = tmp / L"locked.txt";
    ASSERT_TRUE(test::MakeFile(path, "locked"));
    HANDLE lock = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Script script({Box()});
    te::CTextEditDialog* w = Open(path);
    ::CloseHandle(lock);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(script.Finished());
    EXPECT_TRUE(w->IsReadOnly());
    EXPECT_TRUE(w->StreamOut().empty());
    Command(w, IDM_TE_SAVE);
    EXPECT_EQ(test::ReadAll(path), "locked");
}

TEST_F(TextFiles, ABigFileShowsAtOnceAndLoadsWhileTheWindowAnswers)
{
    std::wstring path = tmp / L"big.txt";
    std::string text = Lines(60000, "\r\n"); // about 2 MB
    ASSERT_TRUE(test::MakeFile(path, text));
    te::CTextEditDialog* w = te::CTextEditDialog::Open(nullptr, path, false, false);
    ASSERT_NE(w, nullptr);
    HWND wnd = w->Handle();
    EXPECT_TRUE(::IsWindowVisible(wnd));
    EXPECT_TRUE(w->IsLoading());
    EXPECT_NE(texttest::Title(wnd).find(fw::LoadStr(IDS_TE_LOADING)), std::wstring::npos);
    // Typing waits for the whole text; Save is not offered meanwhile.
    Type(w, L"x");
    Command(w, IDM_TE_SAVE);
    ASSERT_TRUE(test::PumpUntil([&] { return !w->IsLoading(); }, 60000));
    EXPECT_EQ(texttest::Title(wnd), L"PD Editor - " + path);
    EXPECT_FALSE(w->IsReadOnly());
    EXPECT_FALSE(w->IsModified());
    EXPECT_EQ(::SendMessageW(w->Control(), EM_CANUNDO, 0, 0), 0);
    CHARRANGE at = Selection(w);
    EXPECT_EQ(at.cpMin, 0);
    EXPECT_EQ(test::Narrow(w->StreamOut()), text);
    ::DeleteFileW(path.c_str());
    Command(w, IDM_TE_SAVE);
    EXPECT_TRUE(test::ReadAll(path) == text);

    // Closing in the middle of loading ends the window without a question.
    te::CTextEditDialog* second = te::CTextEditDialog::Open(nullptr, path, true, false);
    ASSERT_NE(second, nullptr);
    HWND secondWindow = second->Handle();
    EXPECT_TRUE(second->IsLoading());
    Script script({});
    ::SendMessageW(secondWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(secondWindow));
    test::Pump(100);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(te::CTextEditDialog::OpenWindows().size(), 1u);
}

TEST_F(TextFiles, ANewFileStartsEmptyAndSaveCreatesIt)
{
    std::wstring path = tmp / L"fresh.txt";
    te::CTextEditDialog* w = Open(path, false, true);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->IsReadOnly());
    EXPECT_TRUE(w->StreamOut().empty());
    EXPECT_EQ(test::ReadAll(path), "<missing>");
    Type(w, L"hello\r");
    Command(w, IDM_TE_SAVE);
    EXPECT_EQ(test::ReadAll(path), "hello\r\n");
}

TEST_F(TextFiles, SaveAsSaveSelectionAndInsertFile)
{
    std::wstring path = tmp / L"from.txt", other = tmp / L"other.txt", part = tmp / L"part.txt";
    std::wstring insert = tmp / L"insert.txt";
    ASSERT_TRUE(test::MakeFile(path, "alpha beta gamma\n"));
    ASSERT_TRUE(test::MakeFile(insert, "INSERTED"));
    te::CTextEditDialog* w = Open(path);
    SetSelection(w, 6, 10);
    {
        Script script({test::SaveDialog(part)});
        Command(w, IDM_TE_SAVESEL);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(test::ReadAll(part), "beta");
    CHARRANGE kept = Selection(w);
    EXPECT_EQ(kept.cpMin, 6);
    EXPECT_EQ(kept.cpMax, 10);
    EXPECT_EQ(texttest::Title(w->Handle()), L"PD Editor - " + path);
    {
        Script script({test::OpenDialog(insert)});
        Command(w, IDM_TE_INSERTFILE);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(w->StreamOut(), L"alpha INSERTED gamma\n");
    EXPECT_TRUE(w->IsModified());
    {
        Script script({test::SaveDialog(other)});
        Command(w, IDM_TE_SAVEAS);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(test::ReadAll(other), "alpha INSERTED gamma\n");
    EXPECT_EQ(test::ReadAll(path), "alpha beta gamma\n");
    EXPECT_EQ(w->Path(), other);
    EXPECT_EQ(texttest::Title(w->Handle()), L"PD - " + other);
    EXPECT_FALSE(w->IsModified());
}

TEST_F(TextFiles, FailuresOfSaveSelectionAndInsertFileChangeNothing)
{
    std::wstring path = tmp / L"text.txt", locked = tmp / L"locked.txt", target = tmp / L"target.txt";
    ASSERT_TRUE(test::MakeFile(path, "one two three"));
    ASSERT_TRUE(test::MakeFile(locked, "secret"));
    ASSERT_TRUE(test::MakeFile(target, "old", FILE_ATTRIBUTE_READONLY));
    te::CTextEditDialog* w = Open(path);
    SetSelection(w, 4, 7);
    {
        Script script({test::SaveDialog(target), Box(IDYES), Box()});
        Command(w, IDM_TE_SAVESEL);
        EXPECT_TRUE(script.Finished());
    }
    EXPECT_EQ(test::ReadAll(target), "old");
    CHARRANGE kept = Selection(w);
    EXPECT_EQ(kept.cpMin, 4);
    EXPECT_EQ(kept.cpMax, 7);
    HANDLE lock = ::CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    {
        Script script({test::OpenDialog(locked), Box()});
        Command(w, IDM_TE_INSERTFILE);
        EXPECT_TRUE(script.Finished());
    }
    ::CloseHandle(lock);
    EXPECT_EQ(w->StreamOut(), L"one two three");
    kept = Selection(w);
    EXPECT_EQ(kept.cpMin, 4);
    EXPECT_EQ(kept.cpMax, 7);
    EXPECT_FALSE(w->IsModified());
    ::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(TextFiles, NamesOutsideTheCodePageSurvive)
{
    std::wstring path = tmp / L"\x65E5\x672C \x0416.txt";
    ASSERT_TRUE(test::MakeFile(path, "wide name\r\n"));
    te::CTextEditDialog* w = Open(path);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(texttest::Title(w->Handle()), L"PD Editor - " + path);
    Type(w, L"+");
    Command(w, IDM_TE_SAVE);
    EXPECT_EQ(test::ReadAll(path), "+wide name\r\n");
}
