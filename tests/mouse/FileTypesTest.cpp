// File types: the extension rules, and the associate command on types of the test's own in the
// prefix's registry (a known type, a new one, refusals, Cancel).
#include "common/Settings.h"
#include "fileops/FileTypes.h"
#include "framework/Resources.h"
#include "mouse/MouseSupport.h"
#include "support/Scripted.h"
#include "resource.h"
#include <shellapi.h>

using mt::ClassKeyExists;
using mt::ClassValue;
using mt::SetClassValue;

TEST(FileTypes, ExtensionsAndComponentClasses)
{
    struct { const wchar_t* name; const wchar_t* extension; } names[] = {
        {L"notes.txt", L".txt"}, {L"archive.tar.gz", L".gz"}, {L"README", L""}, {L"file.", L""},
        {L".profile", L".profile"}, {L"dir.d\\name", L""}, {L"\u0392\u03AE\u03C4\u03B1.\u03B1\u03B2", L".\u03B1\u03B2"},
    };
    for (const auto& n : names) EXPECT_EQ(ExtensionOf(n.name), n.extension) << test::Narrow(n.name);
    for (const wchar_t* type : {L"CLSID\\{00021401-0000-0000-C000-000000000046}", L"clsid\\abc", L"{x}"})
        EXPECT_TRUE(IsComponentClassType(type)) << test::Narrow(type);
    for (const wchar_t* type : {L"CLSID\\", L"txtfile", L"{open", L"CLSIDfile", L""})
        EXPECT_FALSE(IsComponentClassType(type)) << test::Narrow(type);
    EXPECT_EQ(NewTypeName(L".pdq", L"_auto_file"), L"pdq_auto_file");
}

class Associate : public mt::PanelPair {
protected:
    void SetUp() override
    {
        PanelPair::SetUp();
        longCommand = L"%SystemRoot%\\" + std::wstring(380, L'x') + L".exe \"%1\"";
        ASSERT_GT(longCommand.size(), 390u);
    }
    // Puts the cursor on a new file of that name and runs the command through the menu route.
    void RunOn(const std::wstring& name)
    {
        // Windows drops a trailing dot from a new name: such a file comes from the Unix side.
        if (name.back() == L'.')
            ASSERT_TRUE(test::RunShell("printf data > " + test::ShellQuote(test::UnixPath(left.Path()) + "/" + test::Narrow(name))));
        else
            ASSERT_TRUE(test::MakeFile(left / name, "data"));
        Show(L(), left.Path());
        Cursor(L(), name);
        ::SendMessageW(main->Handle(), WM_COMMAND, IDM_ASSOCIATE, 0);
        test::Pump(50);
    }
    mt::ClassKeys keys{{L".pdmknown", L"pdmknown_type", L".pdmnew", L"pdmnew_auto_file", L".pdmclsid", L".pdmbrace",
                        L".pdmtaken", L"pdmtaken_auto_file", L".pdmcancel", L"pdmcancel_auto_file"}};
    std::wstring longCommand;
};

TEST_F(Associate, AKnownTypeShowsItsWholeCommandAndOnlyThatChanges)
{
    ASSERT_TRUE(SetClassValue(L".pdmknown", L"pdmknown_type"));
    ASSERT_TRUE(SetClassValue(L"pdmknown_type", L"Known test type"));
    ASSERT_TRUE(SetClassValue(L"pdmknown_type\\shell\\open\\command", longCommand, REG_EXPAND_SZ));
    ASSERT_TRUE(SetClassValue(L"pdmknown_type\\shell\\print\\command", L"printer.exe \"%1\""));
    std::wstring shownExtension, shownDescription, shownCommand;
    std::wstring edited = L"%ProgramFiles%\\" + std::wstring(390, L'y') + L".exe /open \"%1\"";
    test::DialogAnswerer answer(L"ASSOCIATE", IDOK, [&](HWND dlg) {
        shownExtension = fw::GetText(::GetDlgItem(dlg, IDC_ASSOC_EXTENSION));
        shownDescription = fw::GetText(::GetDlgItem(dlg, IDC_ASSOC_DESCRIPTION));
        shownCommand = fw::GetText(::GetDlgItem(dlg, IDC_ASSOC_COMMAND));
        ::SetDlgItemTextW(dlg, IDC_ASSOC_COMMAND, edited.c_str());
    });
    RunOn(L"notes.pdmknown");
    ASSERT_EQ(answer.Answered(), 1);
    EXPECT_EQ(shownExtension, L".pdmknown");
    EXPECT_EQ(shownDescription, L"Known test type");
    EXPECT_EQ(shownCommand, longCommand);
    DWORD type = 0;
    EXPECT_EQ(ClassValue(L"pdmknown_type\\shell\\open\\command", &type), edited);
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(ClassValue(L"pdmknown_type\\shell\\print\\command"), L"printer.exe \"%1\"");
    EXPECT_EQ(ClassValue(L"pdmknown_type"), L"Known test type");
    EXPECT_EQ(ClassValue(L".pdmknown"), L"pdmknown_type");
    EXPECT_EQ(ClassValue(L"pdmknown_type\\shell"), L"open");
}

TEST_F(Associate, AnUnknownExtensionGetsATypeThatFindExecutableAndEnterUse)
{
    std::wstring program = test::BinDirectory() + L"\\recordargs.exe";
    std::wstring record = left / L"record.txt";
    ::SetEnvironmentVariableW(L"PD_RECORD", record.c_str());
    test::DialogAnswerer answer(L"ASSOCIATE", IDOK, [&](HWND dlg) {
        EXPECT_EQ(fw::GetText(::GetDlgItem(dlg, IDC_ASSOC_COMMAND)), L"");
        ::SetDlgItemTextW(dlg, IDC_ASSOC_DESCRIPTION, L"New \u0392\u03AE\u03C4\u03B1 type");
        ::SetDlgItemTextW(dlg, IDC_ASSOC_COMMAND, (L"\"" + program + L"\" \"%1\"").c_str());
    });
    RunOn(L"paper.pdmnew");
    ASSERT_EQ(answer.Answered(), 1);
    std::wstring typeName = L"pdmnew" + fw::LoadStr(IDS_ASSOC_TYPESUFFIX);
    EXPECT_EQ(ClassValue(L".pdmnew"), typeName);
    EXPECT_EQ(ClassValue(typeName), L"New \u0392\u03AE\u03C4\u03B1 type");
    EXPECT_EQ(ClassValue(typeName + L"\\shell\\open\\command"), L"\"" + program + L"\" \"%1\"");
    wchar_t found[MAX_PATH] = {};
    EXPECT_GT(reinterpret_cast<INT_PTR>(::FindExecutableW((left / L"paper.pdmnew").c_str(), nullptr, found)), 32);
    EXPECT_EQ(lstrcmpiW(found, program.c_str()), 0) << test::Narrow(found);
    // Enter on such a file runs the program with the file.
    ::SendMessageW(L().Handle(), WM_KEYDOWN, VK_RETURN, 0);
    std::vector<std::wstring> args = test::RecordedArgs(record);
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(lstrcmpiW(args[1].c_str(), (left / L"paper.pdmnew").c_str()), 0) << test::Narrow(args[1]);
}

TEST_F(Associate, NamesWithoutAnExtensionAndComponentTypesAreRefused)
{
    ASSERT_TRUE(SetClassValue(L".pdmclsid", L"CLSID\\{00021401-0000-0000-C000-000000000046}"));
    ASSERT_TRUE(SetClassValue(L".pdmbrace", L"{00021401-0000-0000-C000-000000000046}"));
    struct { const wchar_t* name; int text; } cases[] = {
        {L"README", IDS_ASSOC_NOEXTENSION}, {L"file.", IDS_ASSOC_NOEXTENSION},
        {L"a.pdmclsid", IDS_ASSOC_COMPONENT}, {L"b.pdmbrace", IDS_ASSOC_COMPONENT},
    };
    for (const auto& c : cases) {
        test::DialogAnswerer box(L"#32770", IDOK);
        RunOn(c.name);
        EXPECT_EQ(box.Answered(), 1) << test::Narrow(c.name);
        EXPECT_EQ(box.LastText(), fw::LoadStr(c.text)) << test::Narrow(c.name);
    }
    EXPECT_FALSE(ClassKeyExists(L"."));
    EXPECT_EQ(ClassValue(L".pdmclsid"), L"CLSID\\{00021401-0000-0000-C000-000000000046}");
    // A directory is not a file.
    ASSERT_TRUE(test::MakeDir(left / L"folder.pdmnew"));
    Show(L(), left.Path());
    Cursor(L(), L"folder.pdmnew");
    test::DialogAnswerer box(L"#32770", IDOK);
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_ASSOCIATE, 0);
    test::Pump(50);
    EXPECT_EQ(box.LastText(), fw::LoadStr(IDS_NOENTRY));
    EXPECT_FALSE(ClassKeyExists(L".pdmnew"));
}

TEST_F(Associate, ATakenTypeNameIsRefusedAndCancelWritesNothing)
{
    ASSERT_TRUE(SetClassValue(L"pdmtaken" + fw::LoadStr(IDS_ASSOC_TYPESUFFIX), L"Someone else's"));
    {
        test::Script script({{L"ASSOCIATE", IDOK, test::Fields({{IDC_ASSOC_COMMAND, L"x.exe \"%1\""}})}, test::Box()});
        RunOn(L"t.pdmtaken");
        EXPECT_TRUE(script.Finished());
        ASSERT_EQ(script.BoxTexts().size(), 1u);
        EXPECT_EQ(script.BoxTexts()[0], fw::LoadStr(IDS_ASSOC_COMPONENT));
    }
    EXPECT_FALSE(ClassKeyExists(L".pdmtaken"));
    EXPECT_EQ(ClassValue(L"pdmtaken" + fw::LoadStr(IDS_ASSOC_TYPESUFFIX)), L"Someone else's");

    // Cancel on a known type and on a new one: no key, no value, no default verb is written.
    ASSERT_TRUE(SetClassValue(L".pdmknown", L"pdmknown_type"));
    ASSERT_TRUE(SetClassValue(L"pdmknown_type", L"Known"));
    test::DialogAnswerer cancel(L"ASSOCIATE", IDCANCEL, [](HWND dlg) {
        ::SetDlgItemTextW(dlg, IDC_ASSOC_COMMAND, L"changed.exe");
        ::SetDlgItemTextW(dlg, IDC_ASSOC_DESCRIPTION, L"changed");
    });
    RunOn(L"k.pdmknown");
    RunOn(L"c.pdmcancel");
    EXPECT_EQ(cancel.Answered(), 2);
    EXPECT_FALSE(ClassKeyExists(L"pdmknown_type\\shell"));
    EXPECT_EQ(ClassValue(L"pdmknown_type"), L"Known");
    EXPECT_FALSE(ClassKeyExists(L".pdmcancel"));
    EXPECT_FALSE(ClassKeyExists(L"pdmcancel" + fw::LoadStr(IDS_ASSOC_TYPESUFFIX)));
}

TEST_F(Associate, IsRefusedOnAnFtpPanel)
{
    ASSERT_TRUE(test::MakeFile(left / L"f.pdmnew"));
    Show(L(), left.Path());
    Cursor(L(), L"f.pdmnew");
    L().drive = L"FTP";
    test::DialogAnswerer box(L"#32770", IDOK);
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_ASSOCIATE, 0);
    test::Pump(50);
    L().drive = left.Path().substr(0, 3);
    EXPECT_EQ(box.LastText(), fw::LoadStr(IDS_NOTONFTP));
    EXPECT_FALSE(ClassKeyExists(L".pdmnew"));
}
