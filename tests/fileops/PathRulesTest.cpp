// Rename patterns, path parts, the self checks and the drive texts, without any window.
#include "fileops/FileIdentity.h"
#include "fileops/FileOperation.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "panel/DriveMedia.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>

namespace {
struct PatternCase {
    const wchar_t* name;
    const wchar_t* pattern;
    const wchar_t* expected;
};

const PatternCase PatternCases[] = {
    {L"report.txt", L"*.bak", L"report.bak"},
    {L"report.txt", L"?\?-*.*", L"re-ort.txt"},
    {L"README", L"*.txt", L"README.txt"},
    {L"report.txt", L"*.*", L"report.txt"},
    {L"report.txt", L"*", L"report"},             // a pattern without a dot has no extension
    {L"report.txt", L"new*", L"newort"},          // literal characters take the place of name characters
    {L"report.txt", L"x?????.?", L"xeport.t"},
    {L"ab.txt", L"????.*", L"ab.txt"},            // "?" past the end ends the part
    {L"README", L"*.*", L"README"},               // no "README.*"
    {L"README", L"*", L"README"},
    {L"README", L"?????", L"READM"},
    {L"archive.tar.gz", L"*.tgz", L"archive.tar.tgz"}, // the last dot splits
    {L".profile", L"*.bak", L".bak"},
    {L"\u0436\u0443\u043a.txt", L"*.\u03a9", L"\u0436\u0443\u043a.\u03a9"},
    {L"report.txt", L"copy of *.*", L"copy of .txt"}, // seven literals use up "report"
};
}

TEST(RenamePattern, Table)
{
    for (const PatternCase& c : PatternCases)
        EXPECT_EQ(ApplyRenamePattern(c.name, c.pattern), c.expected)
            << test::Narrow(c.name) << " + " << test::Narrow(c.pattern);
}

TEST(PathParts, LastAndDirectoryParts)
{
    EXPECT_EQ(LastPart(L"C:\\OUT\\*.BAK"), L"*.BAK");
    EXPECT_EQ(DirectoryPart(L"C:\\OUT\\*.BAK"), L"C:\\OUT");
    EXPECT_EQ(DirectoryPart(L"C:\\X.TXT"), L"C:\\");
    EXPECT_EQ(LastPart(L"C:X.TXT"), L"X.TXT");
    EXPECT_EQ(LastPart(L"C:\\OUT\\"), L"");
    EXPECT_EQ(JoinPath(L"C:\\", L"NAME"), L"C:\\NAME");
    EXPECT_EQ(JoinPath(L"C:\\A", L"NAME"), L"C:\\A\\NAME");
    EXPECT_EQ(JoinPath(L"C:\\A\\", L"NAME"), L"C:\\A\\NAME");
}

TEST(PathParts, TargetNames)
{
    EXPECT_EQ(CFileOperation::TargetName(L"D:\\src\\DIR", L"C:\\", true), L"C:\\DIR");
    EXPECT_EQ(CFileOperation::TargetName(L"D:\\src\\a.txt", L"C:\\OUT\\*.BAK", false), L"C:\\OUT\\a.BAK");
    EXPECT_EQ(CFileOperation::TargetName(L"D:\\src\\a.txt", L"C:\\OUT\\b.txt", false), L"C:\\OUT\\b.txt");
}

TEST(PathParts, RenameInPlaceIsANameWithoutPath)
{
    EXPECT_TRUE(IsRenameInPlace(L"new.txt"));
    EXPECT_TRUE(IsRenameInPlace(L"*.bak"));
    EXPECT_FALSE(IsRenameInPlace(L"sub\\new.txt"));
    EXPECT_FALSE(IsRenameInPlace(L"D:new.txt"));
    EXPECT_FALSE(IsRenameInPlace(L"C:\\x"));
}

TEST(SelfChecks, SamePathIgnoresCaseAndTrailingBackslash)
{
    EXPECT_TRUE(SamePath(L"C:\\Dir\\File.TXT", L"c:\\dir\\file.txt"));
    EXPECT_TRUE(SamePath(L"C:\\Dir\\", L"C:\\DIR"));
    EXPECT_TRUE(SamePath(L"C:\\", L"c:\\"));
    EXPECT_FALSE(SamePath(L"C:\\Dir\\a", L"C:\\Dir\\b"));
}

TEST(SelfChecks, BelowItselfNeedsAComponentBoundary)
{
    EXPECT_TRUE(IsSameOrBelow(L"C:\\A\\B", L"C:\\A\\B"));
    EXPECT_TRUE(IsSameOrBelow(L"C:\\A\\B\\C\\D", L"c:\\a\\b"));
    EXPECT_TRUE(IsSameOrBelow(L"C:\\A", L"C:\\"));
    EXPECT_FALSE(IsSameOrBelow(L"C:\\A\\BC", L"C:\\A\\B"));
    EXPECT_FALSE(IsSameOrBelow(L"C:\\A", L"C:\\A\\B"));
}

TEST(PathParts, ParentsStopAtTheRoot)
{
    EXPECT_EQ(ParentDirectory(L"C:\\A\\B"), L"C:\\A");
    EXPECT_EQ(ParentDirectory(L"C:\\A\\B\\"), L"C:\\A");
    EXPECT_EQ(ParentDirectory(L"C:\\A"), L"C:\\");
    EXPECT_EQ(ParentDirectory(L"C:\\"), L"");
    EXPECT_EQ(ParentDirectory(L"\\\\srv\\share\\a\\b"), L"\\\\srv\\share\\a");
    EXPECT_EQ(ParentDirectory(L"\\\\srv\\share\\a"), L"\\\\srv\\share\\");
    EXPECT_EQ(ParentDirectory(L"\\\\srv\\share\\"), L"");
    EXPECT_EQ(ParentDirectory(L"\\\\srv\\share"), L"");
    EXPECT_EQ(ParentDirectory(L"relative\\name"), L"");
    EXPECT_EQ(RootLength(L"D:\\x"), 3u);
    EXPECT_EQ(RootLength(L"\\\\srv\\share\\x"), 12u);
}

TEST(PathParts, ExtendedLengthForms)
{
    EXPECT_EQ(PlainPath(L"\\\\?\\C:\\A"), L"C:\\A");
    EXPECT_EQ(PlainPath(L"\\\\?\\UNC\\srv\\share\\A"), L"\\\\srv\\share\\A");
    EXPECT_EQ(PlainPath(L"C:\\A"), L"C:\\A");
    // Every path long enough to fail in the plain calls gets the extended form, network ones too.
    std::wstring deep = L"C:\\" + std::wstring(300, L'd');
    EXPECT_EQ(LongPath(deep), L"\\\\?\\" + deep);
    std::wstring share = L"\\\\srv\\share\\" + std::wstring(300, L'd');
    EXPECT_EQ(LongPath(share), L"\\\\?\\UNC\\srv\\share\\" + std::wstring(300, L'd'));
    EXPECT_EQ(LongPath(L"\\\\?\\" + deep), L"\\\\?\\" + deep);
    EXPECT_EQ(LongPath(L"C:\\short"), L"C:\\short");
    EXPECT_EQ(PlainPath(LongPath(share)), share);
}

TEST(Links, OnlyNameSurrogateReparsePointsAreLinks)
{
    const DWORD dir = FILE_ATTRIBUTE_DIRECTORY, reparse = FILE_ATTRIBUTE_REPARSE_POINT;
    EXPECT_TRUE(IsLinkTag(dir | reparse, IO_REPARSE_TAG_MOUNT_POINT)); // a junction
    EXPECT_TRUE(IsLinkTag(dir | reparse, IO_REPARSE_TAG_SYMLINK));
    EXPECT_TRUE(IsLinkTag(FILE_ATTRIBUTE_ARCHIVE | reparse, IO_REPARSE_TAG_SYMLINK));
    // Wine's Unix links carry the bit and report no tag.
    EXPECT_TRUE(IsLinkTag(dir | reparse, 0));
    // Placeholders and deduplicated files hold their own data: copied, entered and deleted as such.
    EXPECT_FALSE(IsLinkTag(dir | reparse, IO_REPARSE_TAG_CLOUD));
    EXPECT_FALSE(IsLinkTag(FILE_ATTRIBUTE_ARCHIVE | reparse, IO_REPARSE_TAG_DEDUP));
    EXPECT_FALSE(IsLinkTag(FILE_ATTRIBUTE_ARCHIVE | reparse, 0x9000601AUL)); // a cloud file of another provider
    EXPECT_FALSE(IsLinkTag(dir, IO_REPARSE_TAG_SYMLINK)); // the tag means nothing without the bit
    EXPECT_FALSE(IsLinkTag(INVALID_FILE_ATTRIBUTES, IO_REPARSE_TAG_SYMLINK));
    WIN32_FIND_DATAW data = {};
    data.dwFileAttributes = dir | reparse;
    data.dwReserved0 = IO_REPARSE_TAG_CLOUD;
    EXPECT_FALSE(IsLinkEntry(data));
    data.dwReserved0 = IO_REPARSE_TAG_MOUNT_POINT;
    EXPECT_TRUE(IsLinkEntry(data));
}

TEST(DriveTexts, MediaTable)
{
    const std::wstring five = L" 5\u00bc\" ", three = L" 3\u00bd\" ";
    EXPECT_EQ(MediaDescription(1, L'A'), five + L"1.2 Mb");
    EXPECT_EQ(MediaDescription(2, L'A'), three + L"1.44 Mb");
    EXPECT_EQ(MediaDescription(2, L'b'), three + L"1.44 Mb");
    EXPECT_EQ(MediaDescription(2, L'E'), L" Removable"); // a stick claiming to be a diskette
    EXPECT_EQ(MediaDescription(3, L'A'), three + L"2.88 Mb");
    EXPECT_EQ(MediaDescription(4, L'A'), three + L"20.8 Mb");
    EXPECT_EQ(MediaDescription(5, L'A'), three + L"720 Kb");
    EXPECT_EQ(MediaDescription(6, L'A'), five + L"360 Kb");
    EXPECT_EQ(MediaDescription(7, L'A'), five + L"320 Kb");
    EXPECT_EQ(MediaDescription(8, L'A'), five + L"320 Kb");
    EXPECT_EQ(MediaDescription(9, L'A'), five + L"180 Kb");
    EXPECT_EQ(MediaDescription(10, L'A'), five + L"160 Kb");
    EXPECT_EQ(MediaDescription(0, L'A'), L" Removable");
    EXPECT_EQ(MediaDescription(11, L'A'), L" Removable");
    EXPECT_EQ(MediaDescription(12, L'A'), L" Removable");
}

TEST(DriveTexts, EntriesOfTheExampleMachine)
{
    EXPECT_EQ(DriveEntryText(L'a', MediaDescription(2, L'a')), L"[-A-] 3\u00bd\" 1.44 Mb");
    EXPECT_EQ(DriveEntryText(L'C', DriveDescription(DriveKind::Fixed, L"SYSTEM", L"", false, L"x")), L"[-C-] SYSTEM");
    EXPECT_EQ(DriveEntryText(L'C', DriveDescription(DriveKind::Fixed, L"", L"", false, L"x")), L"[-C-] ");
    EXPECT_EQ(DriveEntryText(L'D', DriveDescription(DriveKind::CdRom, L"", L"", false, L"x")), L"[-D-] CD-ROM");
    EXPECT_EQ(DriveEntryText(L'D', DriveDescription(DriveKind::CdRom, L"DISC", L"", false, L"x")), L"[-D-] DISC");
    EXPECT_EQ(DriveEntryText(L'N', DriveDescription(DriveKind::Remote, L"", L"\\\\srv\\share", true, L"?")),
              L"[-N-] \\\\srv\\share");
    EXPECT_EQ(DriveEntryText(L'N', DriveDescription(DriveKind::Remote, L"", L"", false, L" (gone)")), L"[-N-] (gone)");
    EXPECT_EQ(DriveEntryText(L'R', DriveDescription(DriveKind::Other, L"RAM", L"", false, L"x")), L"[-R-]");
    EXPECT_EQ(PadLine(L"abc").size(), 120u);
}
