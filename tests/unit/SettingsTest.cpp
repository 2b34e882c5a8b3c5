// The settings store over the real registry of the test prefix.
#include "common/Settings.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>

class SettingsStore : public testing::Test {
protected:
    void SetUp() override { test::ResetStore(); }
    void TearDown() override { test::ResetStore(); }
};

TEST_F(SettingsStore, MissingKeysGiveTheDefaultAndWriteNothing)
{
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"ApplButtons", 1), 1);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"ApplButtons", -99), -99);
    EXPECT_EQ(GetProfileString(L"Paden", L"Links", L"C:\\"), L"C:\\");
    HKEY key = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Brennmark\\PD\\Algemeen", 0, KEY_READ, &key),
              ERROR_SUCCESS);
}

TEST_F(SettingsStore, IntegersAndTextsRoundTripWithTheirTypes)
{
    ASSERT_TRUE(WriteProfileInt(L"Kleuren", L"cFRect", -1));
    ASSERT_TRUE(WriteProfileInt(L"WinPositie", L"wp.left", 123456));
    ASSERT_TRUE(WriteProfileString(L"Paden", L"Links", L"C:\\Program Files\\\u00e9\u4e2d"));
    ASSERT_TRUE(WriteProfileString(L"Algemeen", L"Titel", L""));
    EXPECT_EQ(GetProfileInt(L"Kleuren", L"cFRect", 0), -1);
    EXPECT_EQ(GetProfileInt(L"WinPositie", L"wp.left", 0), 123456);
    EXPECT_EQ(GetProfileString(L"Paden", L"Links", L""), L"C:\\Program Files\\\u00e9\u4e2d");
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Titel", L"x"), L"");

    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Brennmark\\PD\\WinPositie", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    DWORD type = 0;
    ::RegQueryValueExW(key, L"wp.left", nullptr, &type, nullptr, nullptr);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    ::RegCloseKey(key);
}

TEST_F(SettingsStore, WrongTypedValuesGiveTheDefault)
{
    WriteProfileString(L"Algemeen", L"CmdPrompt", L"1");
    WriteProfileInt(L"Algemeen", L"FontName", 5);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"CmdPrompt", 7), 7);
    EXPECT_EQ(GetProfileString(L"Algemeen", L"FontName", L"MS Sans Serif"), L"MS Sans Serif");
    HKEY key = nullptr;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Brennmark\\PD\\Algemeen", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                      &key, nullptr);
    BYTE bytes[2] = {1, 2};
    ::RegSetValueExW(key, L"Short", 0, REG_BINARY, bytes, 2);
    ::RegCloseKey(key);
    EXPECT_EQ(GetProfileInt(L"Algemeen", L"Short", 3), 3);
}

TEST_F(SettingsStore, LongTextsAreNotCut)
{
    std::wstring longText(5000, L'x');
    WriteProfileString(L"Algemeen", L"Commando1", longText);
    EXPECT_EQ(GetProfileString(L"Algemeen", L"Commando1", L""), longText);
}
