// The placeholder table, the per-entry switch, the quoting for the program and for the interpreter,
// and the command-line length limit.
#include "frame/Placeholders.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <vector>

namespace {
const PlaceholderValues Active = MakePlaceholderValues(L"C:\\WORK\\DIR", L"C:\\WORK\\DIR\\REPORT.TXT");
const PlaceholderValues Other = MakePlaceholderValues(L"D:\\OTHER", L"D:\\OTHER\\README");

std::wstring Expand(const std::wstring& text, const PlaceholderValues& a = Active, const PlaceholderValues& b = Other,
                    Quoting quoting = Quoting::Arguments)
{
    Expansion e = ExpandPlaceholders(text, a, b, quoting);
    EXPECT_TRUE(e.refused.empty()) << "refused " << std::string(e.refused.begin(), e.refused.end());
    return e.text;
}

std::wstring ForInterpreter(const std::wstring& text, const PlaceholderValues& a = Active,
                            const PlaceholderValues& b = Other)
{
    return Expand(text, a, b, Quoting::Interpreter);
}

// The interpreter's view of a line: the characters it acts on (& | < > ( )) outside quotes, and the
// line with quotes and escaping carets taken out, as its commands see their arguments.
struct InterpreterView {
    std::wstring live;
    std::wstring literal;
};

InterpreterView ReadAsInterpreter(const std::wstring& line)
{
    InterpreterView view;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        wchar_t c = line[i];
        if (c == L'"') {
            quoted = !quoted;
        } else if (!quoted && c == L'^' && i + 1 < line.size()) {
            view.literal += line[++i];
        } else {
            if (!quoted && std::wstring(L"&|<>()").find(c) != std::wstring::npos) view.live += c;
            view.literal += c;
        }
    }
    return view;
}

std::vector<std::wstring> SplitAsProgram(const std::wstring& parameters)
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW((L"prog.exe " + parameters).c_str(), &argc);
    std::vector<std::wstring> args(argv + 1, argv + argc);
    ::LocalFree(argv);
    return args;
}
}

TEST(Placeholders, EveryPlaceholderOfBothPanels)
{
    struct Row {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"&as", L"C:\\WORK\\DIR\\REPORT.TXT"}, {L"&ap", L"C:\\WORK\\DIR"}, {L"&ad", L"C:"},
        {L"&an", L"REPORT"},                    {L"&ae", L"TXT"},           {L"&af", L"REPORT.TXT"},
        {L"&bs", L"D:\\OTHER\\README"},         {L"&bp", L"D:\\OTHER"},     {L"&bd", L"D:"},
        {L"&bn", L"README"},                    {L"&be", L""},              {L"&bf", L"README"},
    };
    for (const Row& r : rows) EXPECT_EQ(Expand(r.text), r.expected) << r.text;
}

TEST(Placeholders, ReplacedWhereverTheyStandAndOnlyInLowerCase)
{
    EXPECT_EQ(Expand(L"copy &as &bp\\&an.bak"), L"copy C:\\WORK\\DIR\\REPORT.TXT D:\\OTHER\\REPORT.bak");
    EXPECT_EQ(Expand(L"&AS &aS &cs & &a"), L"&AS &aS &cs & &a");
    EXPECT_EQ(Expand(L"&as&as"), L"C:\\WORK\\DIR\\REPORT.TXTC:\\WORK\\DIR\\REPORT.TXT");
}

TEST(Placeholders, NamesWithSeveralDotsSplitAtTheFirst)
{
    PlaceholderValues v = MakePlaceholderValues(L"C:\\X", L"C:\\X\\ARCHIVE.TAR.GZ");
    EXPECT_EQ(v.name, L"ARCHIVE");
    EXPECT_EQ(v.extension, L"TAR.GZ");
    EXPECT_EQ(v.fileName, L"ARCHIVE.TAR.GZ");
}

TEST(Placeholders, ADirectoryAtADriveRoot)
{
    PlaceholderValues root = MakePlaceholderValues(L"C:\\", L"C:\\AUTOEXEC.BAT");
    EXPECT_EQ(Expand(L"&ap|&ad|&as|&af", root), L"C:\\|C:|C:\\AUTOEXEC.BAT|AUTOEXEC.BAT");
}

TEST(Placeholders, NoEntryGivesEmptyText)
{
    PlaceholderValues none = MakePlaceholderValues(L"C:\\WORK", L"");
    EXPECT_EQ(Expand(L"[&as][&an][&ae][&af]&ap", none, none), L"[][][][]C:\\WORK");
    EXPECT_EQ(ForInterpreter(L"echo [&as][&an]", none, none), L"echo [][]");
}

TEST(Placeholders, ANameWithBlanksReachesAProgramAsOneArgument)
{
    PlaceholderValues blanks = MakePlaceholderValues(L"C:\\my dir", L"C:\\my dir\\my file.txt");
    EXPECT_EQ(Expand(L"/x &as", blanks), L"/x \"C:\\my dir\\my file.txt\"");
    // The plain text around a value shares its quotes.
    EXPECT_EQ(Expand(L"&ap\\&an.bak", blanks), L"\"C:\\my dir\\my file.bak\"");
    // Already between quotes in the text: left as it is.
    EXPECT_EQ(Expand(L"\"&ap\\new\"", blanks), L"\"C:\\my dir\\new\"");
    EXPECT_EQ(ExpandPlaceholders(L"&ap", blanks, blanks, Quoting::None).text, L"C:\\my dir");
    // A backslash before a closing quote would escape it: each such backslash is doubled.
    PlaceholderValues root = MakePlaceholderValues(L"C:\\", L"C:\\a b");
    for (const wchar_t* text : {L"&as &ap\\ x", L"&as \"&ap\" x", L"&as&ap \"&bp\" x"}) {
        std::vector<std::wstring> args = SplitAsProgram(Expand(text, root, blanks));
        ASSERT_EQ(args.size(), 3u) << text;
        EXPECT_EQ(args[2], L"x") << text;
    }
    EXPECT_EQ(SplitAsProgram(Expand(L"&as &ap\\ x", root, blanks))[1], L"C:\\\\");
    EXPECT_EQ(SplitAsProgram(Expand(L"&as &as\\\\ x", root, blanks))[1], L"C:\\a b\\\\");
    EXPECT_EQ(SplitAsProgram(Expand(L"&as \"&ap\" x", root, blanks))[1], L"C:\\");
}

TEST(Placeholders, AProgramGetsEveryOtherCharacterAsItIs)
{
    PlaceholderValues odd = MakePlaceholderValues(L"C:\\50%", L"C:\\50%\\b&evil^(1)");
    EXPECT_EQ(Expand(L"&as &ap", odd), L"C:\\50%\\b&evil^(1) C:\\50%");
    Expansion quote = ExpandPlaceholders(L"x &bf", odd, MakePlaceholderValues(L"D:\\", L"D:\\say \"hi\""),
                                         Quoting::Arguments);
    EXPECT_EQ(quote.refused, L"&bf");
    EXPECT_EQ(quote.text, L"");
}

TEST(Placeholders, EveryValueReachesTheInterpreterQuotedAndInert)
{
    const std::vector<std::wstring> names = {
        L"b&evil", L"a|b", L"a^z.txt", L"c(1).txt", L"x)y", L"in<out", L"out>in", L"my file.txt",
        L"a,b;c=d", L"^", L"^^&", L"&", L"a!b!c", L"@x", L"x\\", L"\\\\",
    };
    const std::vector<std::wstring> texts = {
        L"&as", L"type &as> out.txt", L"del &as", L"copy &as &bp\\&an.bak", L"x^&as", L"x^^&as", L"\"&as\"",
        L"\"a\"&as", L"&as&bs", L"for %f in (&as) do echo %f", L"if exist &af echo &an", L"echo ^\"&as",
        L"x&as^", L"%&an%",
    };
    for (const std::wstring& name : names) {
        PlaceholderValues v = MakePlaceholderValues(L"C:\\D", L"C:\\D\\" + name);
        for (const std::wstring& text : texts) {
            std::wstring line = ForInterpreter(text, v, v);
            InterpreterView got = ReadAsInterpreter(line);
            PlaceholderValues plain = MakePlaceholderValues(L"C:\\D", L"C:\\D\\N");
            InterpreterView expected = ReadAsInterpreter(ForInterpreter(text, plain, plain));
            EXPECT_EQ(got.live, expected.live) << "name [" << std::string(name.begin(), name.end()) << "] text ["
                                               << std::string(text.begin(), text.end()) << "] gives ["
                                               << std::string(line.begin(), line.end()) << "]";
        }
    }
}

TEST(Placeholders, TheInterpreterSeesTheValueItself)
{
    PlaceholderValues v = MakePlaceholderValues(L"C:\\D", L"C:\\D\\a^z (1)&b.txt");
    EXPECT_EQ(ForInterpreter(L"del &as", v), L"del \"C:\\D\\a^z (1)&b.txt\"");
    EXPECT_EQ(ReadAsInterpreter(ForInterpreter(L"del &as", v)).literal, L"del C:\\D\\a^z (1)&b.txt");
    // Plain text beside a value joins its quotes; the interpreter's own characters stay outside.
    EXPECT_EQ(ForInterpreter(L"echo &an>> runs.txt"), L"echo \"REPORT\">> runs.txt");
    EXPECT_EQ(ForInterpreter(L"copy &as &bp\\&an.bak"),
              L"copy \"C:\\WORK\\DIR\\REPORT.TXT\" \"D:\\OTHER\\REPORT.bak\"");
    EXPECT_EQ(ForInterpreter(L"type \"&ap\\new\""), L"type \"C:\\WORK\\DIR\\new\"");
    EXPECT_EQ(ForInterpreter(L"%&an%"), L"%\"REPORT\"%");
    // A caret in front of a value gets a quote of its own to escape.
    EXPECT_EQ(ForInterpreter(L"echo ^&an"), L"echo ^\"\"REPORT\"");
    // A drive root keeps its backslash for the programs the interpreter starts.
    PlaceholderValues root = MakePlaceholderValues(L"C:\\", L"");
    EXPECT_EQ(ForInterpreter(L"dir &ap", root), L"dir \"C:\\\\\"");
}

TEST(Placeholders, AValueTheInterpreterWouldStillReadIsRefused)
{
    for (const wchar_t* name : {L"50%off.txt", L"%PATH%", L"say \"hi\"", L"line\nbreak", L"cr\r"}) {
        PlaceholderValues v = MakePlaceholderValues(L"C:\\D", std::wstring(L"C:\\D\\") + name);
        for (const wchar_t* text : {L"type &as", L"type \"&as\"", L"echo &an&ae"}) {
            Expansion e = ExpandPlaceholders(text, v, Active, Quoting::Interpreter);
            EXPECT_EQ(e.text, L"") << text;
            EXPECT_EQ(e.refused.substr(0, 2), L"&a") << text;
            Expansion other = ExpandPlaceholders(std::wstring(text).replace(std::wstring(text).find(L"&a"), 2, L"&b"),
                                                 Active, v, Quoting::Interpreter);
            EXPECT_EQ(other.refused.substr(0, 2), L"&b") << text;
        }
    }
    Expansion e = ExpandPlaceholders(L"type &as &bp", Active, MakePlaceholderValues(L"D:\\100%", L""),
                                     Quoting::Interpreter);
    EXPECT_EQ(e.refused, L"&bp");
    // The text's own percent signs are the user's.
    EXPECT_EQ(ForInterpreter(L"echo %PATH% &an"), L"echo %PATH% \"REPORT\"");
    // A directory may hold a percent sign when no interpreter reads it.
    EXPECT_EQ(ExpandPlaceholders(L"&ap", MakePlaceholderValues(L"C:\\100%", L""), Other, Quoting::None).text,
              L"C:\\100%");
}

TEST(Placeholders, TheInterpreterLineKeepsItsQuotes)
{
    EXPECT_EQ(InterpreterParameters(L"\"C:\\my tools\\run it.bat\" \"a b\"", false),
              L"/s /v:off /k \"\"C:\\my tools\\run it.bat\" \"a b\"\"");
    EXPECT_EQ(InterpreterParameters(L"echo x", true), L"/s /v:off /c \"echo x\"");
    EXPECT_EQ(InterpreterProgram(L"C:\\my tools\\run it.bat"), L"\"C:\\my tools\\run it.bat\"");
    EXPECT_EQ(InterpreterProgram(L"C:\\R&D\\x.bat"), L"\"C:\\R&D\\x.bat\"");
    EXPECT_EQ(InterpreterProgram(L"C:\\TOOLS\\X.BAT"), L"C:\\TOOLS\\X.BAT");
    EXPECT_EQ(InterpreterProgram(L"dir"), L"dir");
}

TEST(Placeholders, WhichPlaceholdersSwitchPerEntryMode)
{
    for (const wchar_t* t : {L"&as", L"&ap", L"&ad", L"&an", L"&ae", L"x &af &as"})
        EXPECT_TRUE(UsesPerEntryPlaceholders(t)) << t;
    for (const wchar_t* t : {L"&af", L"&bs &bp &bd &bn &be &bf", L"&AS", L"", L"plain"})
        EXPECT_FALSE(UsesPerEntryPlaceholders(t)) << t;
}

TEST(Placeholders, ACommandLongerThanACommandLineIsRefusedNotCut)
{
    std::wstring program(10, L'p');
    EXPECT_TRUE(FitsCommandLine(program, std::wstring(MaxCommandLineLength - 11, L'x')));
    EXPECT_FALSE(FitsCommandLine(program, std::wstring(MaxCommandLineLength - 10, L'x')));
}
