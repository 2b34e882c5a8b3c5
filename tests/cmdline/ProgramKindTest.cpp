// Program kinds of real files and the built-in commands.
#include "frame/ProgramKind.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>
#include <string>

using test::BinDirectory;

namespace {
// An executable header: "MZ", the word at 0x18, the new header's offset at 0x3C and its signature.
std::string Header(unsigned relocations, const char* signature)
{
    std::string h(128, '\0');
    h[0] = 'M';
    h[1] = 'Z';
    h[0x18] = static_cast<char>(relocations & 0xFF);
    h[0x19] = static_cast<char>(relocations >> 8);
    h[0x3C] = 0x60;
    if (signature) {
        h[0x60] = signature[0];
        h[0x61] = signature[1];
    }
    return h;
}
}

TEST(ProgramKind, TheProgramItselfIsA32BitWindowsProgram)
{
    EXPECT_EQ(GetProgramKind(BinDirectory() + L"\\PD.EXE"), 3);
}

TEST(ProgramKind, HeadersOnDisk)
{
    test::TempDir tmp;
    ASSERT_TRUE(test::MakeFile(tmp / L"dos.com", Header(0x1C, nullptr)));
    ASSERT_TRUE(test::MakeFile(tmp / L"win16.exe", Header(0x40, "NE")));
    ASSERT_TRUE(test::MakeFile(tmp / L"win32.exe", Header(0x40, "PE")));
    ASSERT_TRUE(test::MakeFile(tmp / L"short.exe", "MZ12345678"));
    ASSERT_TRUE(test::MakeFile(tmp / L"text.exe", std::string(200, 'a')));
    ASSERT_TRUE(test::MakeFile(tmp / L"Setup.PIF", std::string(200, 'a')));
    EXPECT_EQ(GetProgramKind(tmp / L"dos.com"), 1);
    EXPECT_EQ(GetProgramKind(tmp / L"win16.exe"), 2);
    EXPECT_EQ(GetProgramKind(tmp / L"win32.exe"), 3);
    EXPECT_EQ(GetProgramKind(tmp / L"short.exe"), -1);
    EXPECT_EQ(GetProgramKind(tmp / L"text.exe"), -1);
    EXPECT_EQ(GetProgramKind(tmp / L"Setup.PIF"), 4);
    EXPECT_EQ(GetProgramKind(tmp / L"missing.pif"), 4);
    EXPECT_EQ(GetProgramKind(tmp / L"missing.exe"), -1);
}

TEST(ProgramKind, BuiltinCommands)
{
    int count = 0;
    for (const wchar_t* w : {L"dir", L"call", L"chcp", L"rename", L"ren", L"erase", L"del", L"type", L"copy",
                             L"pause", L"date", L"time", L"ver", L"vol", L"cd", L"chdir", L"md", L"mkdir", L"rd",
                             L"rmdir", L"verify", L"set", L"prompt", L"path", L"lock", L"unlock", L"goto",
                             L"shift", L"if", L"for", L"cls", L"loadhigh", L"lh"}) {
        EXPECT_TRUE(IsBuiltinCommand(w)) << test::Narrow(w);
        ++count;
    }
    EXPECT_EQ(count, 33);
    EXPECT_TRUE(IsBuiltinCommand(L"DIR"));
    EXPECT_TRUE(IsBuiltinCommand(L"Copy"));
    for (const wchar_t* w : {L"echo", L"notepad", L"dir.exe", L"", L"dirx"}) EXPECT_FALSE(IsBuiltinCommand(w));
}
