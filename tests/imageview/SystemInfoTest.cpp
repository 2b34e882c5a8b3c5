// The system-information texts from plain values, the registry branches on a scratch key, and
// the facts checked against the system's own calls.
#include "common/Program.h"
#include "framework/Resources.h"
#include "support/TestEnv.h"
#include "tools/sysinfo/SystemInfo.h"
#include "tools/sysinfo/SystemInfoText.h"
#include <gtest/gtest.h>
#include <cpuid.h>

TEST(SystemInfoText, VendorsAreComparedExactly)
{
    const std::pair<const char*, int> rows[] = {
        {"AuthenticAMD", 0}, {"AMD ISBETTER", 0}, {"GenuineIntel", 1}, {"Geode By NSC", 2}, {"UMC UMC UMC ", 3},
        {"CyrixInstead", 4}, {"NexGenDriven", 5}, {"CentaurHauls", 6}, {"RiseRiseRise", 7}, {"GenuineTMx86", 8},
        {"TransmetaCPU", 8},
        // near misses: case, a missing or an extra character, the blank of "UMC UMC UMC "
        {"AuthenticAMd", 9}, {"AMD ISBETTE", 9}, {"GenuineIntel ", 9}, {"UMC UMC UMC", 9}, {"", 9}};
    for (const auto& [vendor, code] : rows) EXPECT_EQ(ManufacturerOf(vendor).code, code) << vendor;
    EXPECT_STREQ(ManufacturerOf("AMD ISBETTER").name, L"Advanced Micro Devices");
    EXPECT_STREQ(ManufacturerOf("CentaurHauls").name, L"IDT\\Centaur, Via Inc.");
    EXPECT_STREQ(ManufacturerOf("AuthenticAMd").name, L"Unknown Manufacturer");
}

TEST(SystemInfoText, ColoursVersionsPrintersBiosAndMemory)
{
    const std::pair<int, const wchar_t*> colours[] = {{4, L"16"}, {8, L"256"}, {15, L""}, {16, L"64K"}, {24, L"16M"}, {32, L"32-bits"}};
    for (const auto& [bits, text] : colours) EXPECT_EQ(ColourCountText(bits), text) << bits;
    EXPECT_EQ(DisplayModeText(1280, 1024, 16, L" colours"), L"1280x1024, 64K colours");
    EXPECT_EQ(DisplayModeText(800, 600, 15, L" colours"), L"800x600,  colours") << "only the resolution and the suffix";

    EXPECT_EQ(OsText(0, 1, 30, 0, L""), L"Win32S 1.30");
    EXPECT_EQ(OsText(1, 4, 10, 0x040A08AE, L" A "), L"Windows 95 4.10 (build 2222),  A ");
    EXPECT_EQ(OsText(2, 6, 1, 7601, L"Service Pack 1"), L"Windows NT 6.1 (build 7601), Service Pack 1");
    EXPECT_EQ(OsText(2, 10, 0, 0x10000, L""), L"Windows NT 10.0") << "low 16 bits of the build are 0";

    EXPECT_EQ(PrinterText(L"HP LaserJet 4,winspool,LPT1:", L" on ", L"(none)"), L"HP LaserJet 4 on LPT1:");
    EXPECT_EQ(PrinterText(L"Label,drv,Ne01:,extra", L" on ", L"(none)"), L"Label on extra") << "the part after the last comma";
    EXPECT_EQ(PrinterText(L"Just a name", L" on ", L"(none)"), L"Just a name");
    EXPECT_EQ(PrinterText(L"", L" on ", L"(none)"), L"(none)");

    EXPECT_EQ(BiosText(L"", L""), L"?");
    EXPECT_EQ(BiosText(L"Award 4.51", L"06/11/24"), L"Award 4.51, 06/11/24");
    EXPECT_EQ(BiosText(L"", L"06/11/24"), L"06/11/24");
    EXPECT_EQ(BiosText(L"Award 4.51", L""), L"Award 4.51");

    EXPECT_EQ(MemoryText(uint64_t(24683768) * 1024 + 1023, L','), L"24,683,768 K");
    EXPECT_EQ(MemoryText(uint64_t(6) << 40, L'.'), L"6.442.450.944 K") << "beyond 4 GB in 64 bits";
}

namespace {
// HKEY_LOCAL_MACHINE of this process redirected to an empty key of its own.
class ScratchMachineKey : public testing::Test {
protected:
    void SetUp() override
    {
        path = L"Software\\PDTest\\Machine-" + std::to_wstring(::GetCurrentProcessId());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr), ERROR_SUCCESS);
        ASSERT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, root), ERROR_SUCCESS);
    }
    void TearDown() override
    {
        ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        ::RegCloseKey(root);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
    }
    void Set(const wchar_t* key, const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ, bool terminated = true)
    {
        HKEY k = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
        DWORD bytes = static_cast<DWORD>((value.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
        ::RegSetValueExW(k, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
        ::RegCloseKey(k);
    }
    std::wstring path;
    HKEY root = nullptr;
};
}

using SystemInfoBios = ScratchMachineKey;

TEST_F(SystemInfoBios, NtReadsTheDateOrElseTheBiosSubkey)
{
    EXPECT_EQ(ReadBiosText(VER_PLATFORM_WIN32_NT), L"?") << "no key";
    Set(L"Hardware\\Description\\System", L"Other", L"x");
    EXPECT_EQ(ReadBiosText(VER_PLATFORM_WIN32_NT), L"?") << "the key without the value, as under Wine";
    Set(L"Hardware\\Description\\System\\BIOS", L"BIOSVersion", L"");
    Set(L"Hardware\\Description\\System\\BIOS", L"BIOSReleaseDate", L"");
    EXPECT_EQ(ReadBiosText(VER_PLATFORM_WIN32_NT), L"?") << "empty values";
    Set(L"Hardware\\Description\\System\\BIOS", L"BIOSVersion", L"1.2.3", REG_SZ, false);
    Set(L"Hardware\\Description\\System\\BIOS", L"BIOSReleaseDate", L"11/05/2024");
    EXPECT_EQ(ReadBiosText(VER_PLATFORM_WIN32_NT), L"1.2.3, 11/05/2024") << "a value without its terminator";
    Set(L"Hardware\\Description\\System", L"SystemBiosDate", L"06/11/24");
    EXPECT_EQ(ReadBiosText(VER_PLATFORM_WIN32_NT), L"06/11/24");
    EXPECT_EQ(ReadBiosText(0), L"?") << "Win32s has none";
}

TEST_F(SystemInfoBios, Windows95ReadsVersionAndDate)
{
    const wchar_t* key = L"Enum\\Root\\*PNP0C01\\0000";
    EXPECT_EQ(ReadBiosText(VER_PLATFORM_WIN32_WINDOWS), L"?");
    Set(key, L"BIOSDate", L"01/15/98");
    EXPECT_EQ(ReadBiosText(VER_PLATFORM_WIN32_WINDOWS), L"01/15/98");
    Set(key, L"BIOSVersion", std::wstring(L"Phoenix\0v4\0", 11), REG_MULTI_SZ);
    EXPECT_EQ(ReadBiosText(VER_PLATFORM_WIN32_WINDOWS), L"Phoenix v4, 01/15/98");
    DWORD number = 7;
    HKEY k = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(root, key, 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    ::RegSetValueExW(k, L"BIOSVersion", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    bool found = true;
    EXPECT_EQ(RegistryText(k, L"BIOSVersion", found), L"");
    EXPECT_FALSE(found) << "a number is no text";
    EXPECT_EQ(RegistryText(k, L"Missing", found), L"");
    EXPECT_FALSE(found);
    ::RegCloseKey(k);
    EXPECT_EQ(ReadBiosText(VER_PLATFORM_WIN32_WINDOWS), L"01/15/98");
}

TEST(SystemInfoFacts, EveryFieldIsFilledFromTheSystem)
{
    // The texts of the page come from the resource library.
    HMODULE library = ::LoadLibraryExW((test::BinDirectory() + L"\\PDDLL.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(library, nullptr);
    fw::SetResourceInstance(library);
    ReadRegionalValues();
    SystemFacts facts = GatherSystemFacts();
    unsigned a, b, c, d;
    ASSERT_TRUE(__get_cpuid(0, &a, &b, &c, &d));
    EXPECT_EQ(CpuVendor().size(), 12u);
    EXPECT_EQ(facts.manufacturer, ManufacturerOf(CpuVendor()).name);
    MEMORYSTATUSEX memory = {sizeof(memory)};
    ASSERT_TRUE(::GlobalMemoryStatusEx(&memory));
    EXPECT_EQ(facts.memory, MemoryText(memory.ullTotalPhys, Program().thousandSeparator[0]));
    EXPECT_EQ(facts.pageFile, MemoryText(memory.ullTotalPageFile, Program().thousandSeparator[0]));
    for (const std::wstring* field : {&facts.manufacturer, &facts.memory, &facts.pageFile, &facts.bios, &facts.display,
                                      &facts.displayDriver, &facts.printer, &facts.os})
        EXPECT_FALSE(field->empty());
    EXPECT_EQ(facts.os.rfind(L"Windows NT ", 0), 0u) << test::Narrow(facts.os);
    EXPECT_EQ(facts.printer, L"(none)") << "no printer in the test prefix";
    fw::SetResourceInstance(nullptr);
    ::FreeLibrary(library);
}

TEST(SystemInfoFacts, TheRealVersionUnderWindows10)
{
    // Wine reads a program's Windows version from its AppDefaults key when the program starts.
    const wchar_t* key = L"Software\\Wine\\AppDefaults\\osversion.exe";
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
    ::RegSetValueExW(k, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"win10"), 12);
    ::RegCloseKey(k);
    test::TempDir tmp;
    std::wstring out = tmp / L"version.txt";
    std::wstring commandLine = L"\"" + test::BinDirectory() + L"\\osversion.exe\" \"" + out + L"\"";
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key);
    std::wstring text = test::ReadRecord(out);
    EXPECT_EQ(text.rfind(L"Windows NT 10.0 (build ", 0), 0u) << test::Narrow(text);
    EXPECT_NE(text.find(L"\n6.2.9200\n"), std::wstring::npos) << "what a program without a manifest is told";
}
