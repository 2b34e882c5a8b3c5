// Recognising archives by their first bytes, and the rules that keep members inside the target.
#include "archive/ArchiveBytes.h"
#include "archive/ArchiveType.h"
#include "archive/MemberName.h"
#include <gtest/gtest.h>

namespace {
ArchiveType Detect(const std::string& bytes)
{
    return DetectArchiveType(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}
}

TEST(Detect, SignaturesOfEveryType)
{
    EXPECT_EQ(Detect(std::string("PK\x03\x04rest", 8)), ArchiveZip);
    EXPECT_EQ(Detect(std::string("PK00PK\x03\x04", 8)), ArchiveZip);
    EXPECT_EQ(Detect(std::string("PKaZ", 4)), ArchiveZip);
    EXPECT_EQ(Detect(std::string("PK\x07\x08", 4)), ArchiveZip);
    EXPECT_EQ(Detect(std::string("PK\x05\x06", 4)), ArchiveZip); // an empty zip is only its end record
    EXPECT_EQ(Detect(std::string("\x1F\x8B\x08\x00", 4)), ArchiveGzip);
    EXPECT_EQ(Detect("MSCF\0\0\0\0"), ArchiveCabinet);
    EXPECT_EQ(Detect(std::string("Rar!\x1A\x07\x00", 7)), ArchiveRar);
    EXPECT_EQ(Detect(std::string("Rar!\x1A\x07\x01\x00", 8)), ArchiveRar);
    EXPECT_EQ(Detect(test::TarMember("a.txt", "x")), ArchiveTar);
    EXPECT_EQ(Detect("just some text"), ArchiveTar);
    EXPECT_EQ(Detect(""), ArchiveZip);
    // Near misses are tar: the rest of the program then refuses them.
    EXPECT_EQ(Detect("PK\x03"), ArchiveTar);
    EXPECT_EQ(Detect(std::string("Rar!\x1A\x07\x02", 7)), ArchiveTar);
    EXPECT_EQ(Detect("\x1F"), ArchiveTar);
}

TEST(MemberNames, SafeNamesKeepOrDropTheirFolders)
{
    std::wstring out;
    EXPECT_EQ(SafeRelativePath(L"dir/sub\\file.txt", true, out), NameProblem::None);
    EXPECT_EQ(out, L"dir\\sub\\file.txt");
    EXPECT_EQ(SafeRelativePath(L"dir/sub/file.txt", false, out), NameProblem::None);
    EXPECT_EQ(out, L"file.txt");
    EXPECT_EQ(SafeRelativePath(L"./dir//./file.txt", true, out), NameProblem::None);
    EXPECT_EQ(out, L"dir\\file.txt");
    EXPECT_EQ(SafeRelativePath(L"dir/", true, out), NameProblem::None);
    EXPECT_EQ(out, L"dir");
    EXPECT_EQ(SafeRelativePath(L"\u0436\u0443\u043a/\u03a9mega..txt", true, out), NameProblem::None);
    EXPECT_EQ(out, L"\u0436\u0443\u043a\\\u03a9mega..txt");
    EXPECT_EQ(SafeRelativePath(L"CONSOLE.txt", true, out), NameProblem::None);
    EXPECT_EQ(SafeRelativePath(L"com10", true, out), NameProblem::None);
}

TEST(MemberNames, EveryWayOutOfTheTargetIsRefused)
{
    std::wstring out;
    const struct {
        const wchar_t* name;
        NameProblem problem;
    } cases[] = {
        {L"../evil", NameProblem::ParentReference},
        {L"a/../../evil", NameProblem::ParentReference},
        {L"a\\..\\b", NameProblem::ParentReference},
        {L"/etc/passwd", NameProblem::Absolute},
        {L"\\Windows\\win.ini", NameProblem::Absolute},
        {L"\\\\server\\share\\x", NameProblem::Absolute},
        {L"C:\\evil.txt", NameProblem::DriveOrStream},
        {L"C:evil.txt", NameProblem::DriveOrStream},
        {L"file.txt:stream", NameProblem::DriveOrStream},
        {L"dir/CON", NameProblem::DeviceName},
        {L"nul.txt", NameProblem::DeviceName},
        {L"Com1.log", NameProblem::DeviceName},
        {L"LPT9", NameProblem::DeviceName},
        {L"aux .c", NameProblem::DeviceName},
        {L"a/b?c", NameProblem::BadCharacter},
        {L"tab\there", NameProblem::BadCharacter},
        {L"dir./x", NameProblem::TrailingDotOrSpace},
        {L"...", NameProblem::TrailingDotOrSpace},
        {L"x ", NameProblem::TrailingDotOrSpace},
        {L"", NameProblem::Empty},
        {L"./", NameProblem::Empty},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SafeRelativePath(c.name, true, out), c.problem) << std::string(c.name, c.name + wcslen(c.name));
        // Dropping the folders does not make an unsafe name acceptable.
        EXPECT_EQ(SafeRelativePath(c.name, false, out), c.problem);
    }
    EXPECT_EQ(SafeRelativePath(std::wstring(256, L'n'), true, out), NameProblem::PartTooLong);
    EXPECT_EQ(SafeRelativePath(std::wstring(255, L'n'), true, out), NameProblem::None);
}

TEST(MemberNames, FoldersAndBareNames)
{
    EXPECT_TRUE(HasFolders(L"a/b", true));
    EXPECT_FALSE(HasFolders(L"a/b", false)); // cabinets keep "/" in names
    EXPECT_TRUE(HasFolders(L"a\\b", false));
    EXPECT_FALSE(HasFolders(L"a.txt", true));
    EXPECT_EQ(BareName(L"dir/sub/"), L"sub");
    EXPECT_EQ(BareName(L"dir\\f.txt"), L"f.txt");
}
