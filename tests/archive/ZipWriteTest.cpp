// The zip packer and writer checked by the real tools: unzip and 7-Zip test and extract what we
// write, byte for byte; path modes, passwords, zip64, names outside the code page, existing
// archives, cancels, unreadable files and links.
#include "archive/FileSource.h"
#include "archive/ZipCreate.h"
#include "archive/zip/ZipPacker.h"
#include "archive/zip/ZipReader.h"
#include "archive/zip/ZipSpan.h"
#include "support/TestEnv.h"
#include "archive/ZipTools.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <sstream>

using namespace test;
using zip::PackResult;

namespace {
std::string Compressible(size_t n)
{
    std::string s;
    for (size_t i = 0; s.size() < n; ++i) s += "line " + std::to_string(i) + " of a compressible text\n";
    return s.substr(0, n);
}

std::string Random(size_t n, unsigned seed)
{
    std::mt19937 r(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(r());
    return s;
}

// What the packing asked and reported.
class CRecorder : public zip::IPackEvents {
public:
    bool Cancelled() override { return cancelAfter >= 0 && processed > cancelAfter; }
    void OnProcessing(const std::wstring& name) override
    {
        ++processed;
        names.push_back(name);
    }
    void OnProgress(int percent) override { lastPercent = percent; }
    OverwriteAnswer OnMemberExists(const OverwriteQuestion& question) override
    {
        questions.push_back(question.name);
        return answer;
    }
    void OnSkipping(const std::wstring& name, const std::wstring& reason) override { skipped.push_back(name); }
    bool OnNextDisk(int disk) override
    {
        disks.push_back(disk);
        return disk != cancelAtDisk;
    }

    int cancelAfter = -1, processed = 0, lastPercent = -1, cancelAtDisk = -1;
    std::vector<int> disks;
    OverwriteAnswer answer = OverwriteAnswer::Overwrite;
    std::vector<std::wstring> names, questions, skipped;
};

class ZipWriteTest : public testing::Test {
protected:
    void SetUp() override
    {
        base = source / L"src";
        MakeDir(base);
        MakeDir(base + L"\\nested");
        MakeDir(base + L"\\nested\\deeper");
        MakeDir(base + L"\\жук");
        files = {
            {L"hello.txt", "hello\n"},
            {L"empty.bin", ""},
            {L"text.txt", Compressible(400000)},
            {L"random.bin", Random(300000, 7)},
            {L"nested\\deeper\\leaf.txt", "leaf\n"},
            {L"жук\\Ωmega 中文.txt", "omega\n"},
        };
        for (const auto& [name, content] : files) ASSERT_TRUE(MakeFile(base + L"\\" + name, content));
    }

    PackResult Pack(const std::wstring& archive, std::vector<std::wstring> names, int mode,
                    std::function<void(zip::CZipPacker&)> more = {})
    {
        zip::CZipPacker packer;
        packer.SetEventCallback(&events);
        packer.SetArchiveName(archive);
        packer.SetRecurse(true);
        packer.SetUseFolderNames(mode != 0);
        if (mode == 1) packer.SetBaseDirectory(base);
        for (const std::wstring& name : names) packer.AddFileToProcess(mode == 1 ? name : base + L"\\" + name);
        if (more) more(packer);
        PackResult result = packer.Pack();
        added = packer.Added();
        return result;
    }
    PackResult PackSpanned(zip::IDiskDrive& drive)
    {
        return Pack(out / L"set.zip", All(), 1, [&](zip::CZipPacker& p) {
            p.SetSpanning(true);
            p.SetDiskDrive(&drive);
        });
    }
    std::vector<std::wstring> All() const { return {L"hello.txt", L"empty.bin", L"text.txt", L"random.bin", L"nested", L"жук"}; }

    void ExpectToolsAccept(const std::wstring& archive, const std::string& password = "")
    {
        std::string out, unix = ShellQuote(UnixPath(archive));
        std::string unzipPassword = password.empty() ? "" : "-P " + ShellQuote(password) + " ";
        EXPECT_EQ(RunUnix("LC_ALL=C.UTF-8 unzip -t " + unzipPassword + unix, &out), 0) << out;
        std::string sevenPassword = password.empty() ? "" : "-p" + ShellQuote(password) + " ";
        EXPECT_EQ(RunUnix(Sevenzip() + " t " + sevenPassword + unix, &out), 0) << out;
    }
    // Extracts with both tools and compares every file with its source.
    void ExpectExtractedAlike(const std::wstring& archive, const std::string& password = "")
    {
        std::string unix = ShellQuote(UnixPath(archive));
        TempDir byUnzip, bySeven;
        std::string out;
        std::string unzipPassword = password.empty() ? "" : "-P " + ShellQuote(password) + " ";
        std::string sevenPassword = password.empty() ? "" : "-p" + ShellQuote(password) + " ";
        ASSERT_EQ(RunUnix("LC_ALL=C.UTF-8 unzip -q " + unzipPassword + unix + " -d " + ShellQuote(UnixPath(byUnzip.Path())), &out), 0) << out;
        ASSERT_EQ(RunUnix(Sevenzip() + " x -y " + sevenPassword + "-o" + ShellQuote(UnixPath(bySeven.Path())) + " " + unix, &out), 0) << out;
        for (const auto& [name, content] : files) {
            EXPECT_EQ(FileBytes(byUnzip / name), content) << Narrow(name);
            EXPECT_EQ(FileBytes(bySeven / name), content) << Narrow(name);
            if (content.empty()) {
                EXPECT_NE(::GetFileAttributesW((bySeven / name).c_str()), INVALID_FILE_ATTRIBUTES);
            }
        }
    }

    TempDir source, out;
    std::wstring base;
    std::map<std::wstring, std::string> files;
    CRecorder events;
    int added = 0;
};
}

TEST_F(ZipWriteTest, TreeTestedAndExtractedByUnzipAnd7Zip)
{
    std::wstring archive = out / L"tree.zip";
    ASSERT_EQ(Pack(archive, All(), 1), PackResult::Done);
    EXPECT_EQ(added, 6);
    EXPECT_EQ(events.lastPercent, 100);
    ExpectToolsAccept(archive);
    ExpectExtractedAlike(archive);
    EXPECT_EQ(Listed(archive),
              (std::vector<std::string>{"empty.bin", "hello.txt", "nested/", "nested/deeper/", "nested/deeper/leaf.txt",
                                        "random.bin", "text.txt", "\xD0\xB6\xD1\x83\xD0\xBA/",
                                        "\xD0\xB6\xD1\x83\xD0\xBA/\xCE\xA9mega \xE4\xB8\xAD\xE6\x96\x87.txt"}));

    // Random data is stored, text deflated; only names outside ASCII carry the UTF-8 flag.
    arc::CFileSource file;
    ASSERT_TRUE(file.Open(archive));
    zip::CZipArchive reader;
    ASSERT_EQ(reader.Open(file), zip::ZipStatus::Ok);
    for (const zip::ZipEntry& e : reader.Entries()) {
        if (e.name == "random.bin") {
            EXPECT_EQ(e.method, zip::MethodStored);
        }
        if (e.name == "text.txt") {
            EXPECT_EQ(e.method, zip::MethodDeflated);
            EXPECT_LT(e.compressedSize, 400000u / 4);
        }
        bool ascii = std::all_of(e.name.begin(), e.name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        EXPECT_EQ((e.flags & zip::FlagUtf8) != 0, !ascii) << e.name;
        EXPECT_EQ(e.IsDirectory(), e.name.back() == '/') << e.name;
    }
}

// Small files are deflated ahead on worker threads: the members come out as the writer makes them
// itself, in the order they were walked.
TEST_F(ZipWriteTest, MembersMadeAheadAreTheWritersOwnInOrder)
{
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(MakeFile(base + L"\\nested\\many" + std::to_wstring(i) + L".txt", Compressible(1000 + 997 * i)));
    std::wstring archive = out / L"ahead.zip";
    ASSERT_EQ(Pack(archive, All(), 1), PackResult::Done);
    std::wstring single = out / L"single.zip";
    zip::CZipWriter writer;
    ASSERT_TRUE(writer.Create(single));
    for (const std::wstring& path : events.names) {
        std::wstring name = path.substr(base.size() + 1);
        std::replace(name.begin(), name.end(), L'\\', L'/');
        ASSERT_EQ(writer.AddFile(path, name), zip::WriteStatus::Ok);
    }
    ASSERT_EQ(writer.Finish(), zip::WriteStatus::Ok);

    arc::CFileSource aheadFile, singleFile;
    ASSERT_TRUE(aheadFile.Open(archive));
    ASSERT_TRUE(singleFile.Open(single));
    zip::CZipArchive ahead, alone;
    ASSERT_EQ(ahead.Open(aheadFile), zip::ZipStatus::Ok);
    ASSERT_EQ(alone.Open(singleFile), zip::ZipStatus::Ok);
    std::vector<zip::ZipEntry> members;
    for (const zip::ZipEntry& e : ahead.Entries())
        if (!e.IsDirectory()) members.push_back(e);
    ASSERT_EQ(members.size(), alone.Entries().size());
    for (size_t i = 0; i < members.size(); ++i) {
        const zip::ZipEntry &a = members[i], &b = alone.Entries()[i];
        EXPECT_EQ(a.name, b.name) << i;
        EXPECT_EQ(a.method, b.method) << a.name;
        EXPECT_EQ(a.crc, b.crc) << a.name;
        EXPECT_EQ(a.compressedSize, b.compressedSize) << a.name;
        EXPECT_EQ(a.uncompressedSize, b.uncompressedSize) << a.name;
    }
    ExpectToolsAccept(archive);
}

TEST_F(ZipWriteTest, TimesAreTheFilesLastWriteTimes)
{
    // An odd second: the DOS time keeps two-second steps, the extended field the second itself.
    std::wstring path = base + L"\\hello.txt";
    SYSTEMTIME st = {2021, 3, 0, 4, 5, 6, 7, 0};
    FILETIME ft;
    ::SystemTimeToFileTime(&st, &ft);
    HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::SetFileTime(h, nullptr, nullptr, &ft);
    ::CloseHandle(h);
    std::wstring archive = out / L"time.zip";
    ASSERT_EQ(Pack(archive, {L"hello.txt"}, 0), PackResult::Done);
    std::string listing;
    ASSERT_EQ(RunUnix("TZ=UTC " + Sevenzip() + " x -y -o" + ShellQuote(UnixPath(out / L"x")) + " " +
                          ShellQuote(UnixPath(archive)) + " && TZ=UTC stat -c %y " + ShellQuote(UnixPath(out.Path()) + "/x/hello.txt"),
                      &listing),
              0)
        << listing;
    EXPECT_NE(listing.find("2021-03-04 05:06:07"), std::string::npos) << listing;
}

TEST_F(ZipWriteTest, PathModes)
{
    std::wstring bare = out / L"bare.zip", full = out / L"full.zip";
    ASSERT_EQ(Pack(bare, {L"hello.txt", L"nested"}, 0), PackResult::Done);
    EXPECT_EQ(Listed(bare), (std::vector<std::string>{"hello.txt", "leaf.txt"}));
    ASSERT_EQ(Pack(full, {L"hello.txt", L"nested"}, 2), PackResult::Done);
    std::string root = Narrow(base.substr(3));
    std::replace(root.begin(), root.end(), '\\', '/');
    EXPECT_EQ(Listed(full), (std::vector<std::string>{root + "/hello.txt", root + "/nested/", root + "/nested/deeper/",
                                                      root + "/nested/deeper/leaf.txt"}));
    ExpectToolsAccept(full);
}

TEST_F(ZipWriteTest, NamesKeptWithoutFoldersAreNotRepeated)
{
    MakeFile(base + L"\\nested\\hello.txt", "other hello\n");
    std::wstring archive = out / L"flat.zip";
    ASSERT_EQ(Pack(archive, {L"hello.txt", L"nested"}, 0), PackResult::Done);
    EXPECT_EQ(Listed(archive), (std::vector<std::string>{"hello.txt", "leaf.txt"}));
    ASSERT_EQ(events.skipped.size(), 1u);
    EXPECT_EQ(events.skipped[0], base + L"\\nested\\hello.txt");
}

TEST_F(ZipWriteTest, PasswordOpensIn7ZipAndUnzip)
{
    std::wstring archive = out / L"secret.zip";
    ASSERT_EQ(Pack(archive, All(), 1, [](zip::CZipPacker& p) { p.SetPassword(L"s3cret pass"); }), PackResult::Done);
    ExpectToolsAccept(archive, "s3cret pass");
    ExpectExtractedAlike(archive, "s3cret pass");
    std::string output;
    EXPECT_NE(RunUnix(Sevenzip() + " t -pwrong " + ShellQuote(UnixPath(archive)), &output), 0) << output;
    // Our own reader agrees.
    arc::CFileSource file;
    ASSERT_TRUE(file.Open(archive));
    zip::CZipArchive reader;
    ASSERT_EQ(reader.Open(file), zip::ZipStatus::Ok);
    for (size_t i = 0; i < reader.Entries().size(); ++i) {
        if (reader.Entries()[i].name != "text.txt") continue;
        EXPECT_TRUE(reader.Entries()[i].IsEncrypted());
        arc::CStringSink sink;
        EXPECT_EQ(reader.Extract(i, sink, "s3cret pass"), zip::ZipStatus::Ok);
        EXPECT_EQ(sink.bytes, files[L"text.txt"]);
        EXPECT_EQ(reader.TestPassword(i, "wrong"), zip::ZipStatus::WrongPassword);
    }
}

TEST_F(ZipWriteTest, ForcedZip64ReadByTheTools)
{
    std::wstring archive = out / L"zip64.zip";
    ASSERT_EQ(Pack(archive, All(), 1, [](zip::CZipPacker& p) { p.ForceZip64(true); }), PackResult::Done);
    std::string bytes = FileBytes(archive);
    EXPECT_NE(bytes.find(std::string("PK\x06\x06", 4)), std::string::npos);
    EXPECT_NE(bytes.find(std::string("PK\x06\x07", 4)), std::string::npos);
    ExpectToolsAccept(archive);
    ExpectExtractedAlike(archive);
    arc::CFileSource file;
    ASSERT_TRUE(file.Open(archive));
    zip::CZipArchive reader;
    ASSERT_EQ(reader.Open(file), zip::ZipStatus::Ok);
    EXPECT_EQ(reader.Entries().size(), 9u);
}

TEST_F(ZipWriteTest, ReplacingAMemberKeepsTheOthersUnchanged)
{
    std::wstring archive = out / L"update.zip";
    ASSERT_EQ(Pack(archive, All(), 1, [](zip::CZipPacker& p) { p.SetPassword(L"pw"); }), PackResult::Done);
    // Everything once more with the password: the kept members are copied, not recompressed.
    files[L"hello.txt"] = "hello, changed\n";
    MakeFile(base + L"\\hello.txt", files[L"hello.txt"]);
    ASSERT_EQ(Pack(archive, {L"hello.txt"}, 1, [](zip::CZipPacker& p) {
                  p.SetPassword(L"pw");
                  p.SetOverwriteQuestion(true);
              }),
              PackResult::Done);
    EXPECT_EQ(events.questions, std::vector<std::wstring>{L"hello.txt"});
    EXPECT_EQ(Listed(archive).size(), 9u);
    ExpectToolsAccept(archive, "pw");
    ExpectExtractedAlike(archive, "pw");
}

TEST_F(ZipWriteTest, KeptWhenTheAnswerIsSkip)
{
    std::wstring archive = out / L"keep.zip";
    ASSERT_EQ(Pack(archive, {L"hello.txt"}, 1), PackResult::Done);
    MakeFile(base + L"\\hello.txt", "new\n");
    events.answer = OverwriteAnswer::Skip;
    ASSERT_EQ(Pack(archive, {L"hello.txt", L"text.txt"}, 1, [](zip::CZipPacker& p) { p.SetOverwriteQuestion(true); }),
              PackResult::Done);
    EXPECT_EQ(events.questions.size(), 1u);
    std::string output;
    ASSERT_EQ(RunUnix("unzip -p " + ShellQuote(UnixPath(archive)) + " hello.txt", &output), 0);
    EXPECT_EQ(output, "hello\n");
    EXPECT_EQ(Listed(archive), (std::vector<std::string>{"hello.txt", "text.txt"}));
}

TEST_F(ZipWriteTest, ACancelLeavesTheOldArchiveIntact)
{
    std::wstring archive = out / L"old.zip";
    ASSERT_EQ(Pack(archive, {L"hello.txt"}, 1), PackResult::Done);
    std::string before = FileBytes(archive);
    events.cancelAfter = 2;
    EXPECT_EQ(Pack(archive, All(), 1), PackResult::Cancelled);
    EXPECT_EQ(FileBytes(archive), before);
    EXPECT_EQ(FilesIn(out.Path()), 1); // no temporary file left beside it
    // A cancel at the question too.
    events.cancelAfter = -1;
    events.answer = OverwriteAnswer::Cancel;
    EXPECT_EQ(Pack(archive, All(), 1, [](zip::CZipPacker& p) { p.SetOverwriteQuestion(true); }), PackResult::Cancelled);
    EXPECT_EQ(FileBytes(archive), before);
    EXPECT_EQ(FilesIn(out.Path()), 1);
}

TEST_F(ZipWriteTest, ATargetThatIsNoArchiveIsLeftAlone)
{
    std::wstring target = out / L"notes.zip";
    MakeFile(target, "not an archive at all");
    EXPECT_EQ(Pack(target, {L"hello.txt"}, 1), PackResult::NotAnArchive);
    EXPECT_EQ(FileBytes(target), "not an archive at all");
    EXPECT_EQ(FilesIn(out.Path()), 1);
}

TEST_F(ZipWriteTest, UnreadableFileIsSkippedAndTheArchiveStaysValid)
{
    HANDLE locked = ::CreateFileW((base + L"\\hello.txt").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    std::wstring archive = out / L"locked.zip";
    PackResult result = Pack(archive, All(), 1);
    ::CloseHandle(locked);
    ASSERT_EQ(result, PackResult::Done);
    EXPECT_EQ(events.skipped, std::vector<std::wstring>{base + L"\\hello.txt"});
    files.erase(L"hello.txt");
    ExpectToolsAccept(archive);
    ExpectExtractedAlike(archive);
}

TEST_F(ZipWriteTest, TheArchiveIsNeverPackedIntoItself)
{
    // The archive goes into a directory that is packed: neither it nor its temporary file gets in.
    std::wstring archive = base + L"\\nested\\self.zip";
    ASSERT_EQ(Pack(archive, {L"nested"}, 1), PackResult::Done);
    EXPECT_EQ(Listed(archive), (std::vector<std::string>{"nested/", "nested/deeper/", "nested/deeper/leaf.txt"}));
    // Once more, now that the archive exists.
    ASSERT_EQ(Pack(archive, {L"nested"}, 1), PackResult::Done);
    EXPECT_EQ(Listed(archive), (std::vector<std::string>{"nested/", "nested/deeper/", "nested/deeper/leaf.txt"}));
}

TEST_F(ZipWriteTest, DirectoryLinksAreNotFollowed)
{
    // Made by the test command: copy\T\loop is a link to copy\T itself; followed, it would never end.
    wchar_t fixture[MAX_PATH * 2] = {};
    ASSERT_TRUE(::GetEnvironmentVariableW(L"PD_LINK_FIXTURE", fixture, MAX_PATH * 2)) << "run through scripts/test.sh";
    base = std::wstring(fixture) + L"\\copy";
    std::wstring archive = out / L"links.zip";
    ASSERT_EQ(Pack(archive, {L"T"}, 1), PackResult::Done);
    EXPECT_EQ(events.skipped, std::vector<std::wstring>{base + L"\\T\\loop"});
    EXPECT_EQ(Listed(archive), (std::vector<std::string>{"T/", "T/keep.txt"}));
}

TEST(ZipNames, MemberNamesByPathMode)
{
    using zip::CZipPacker;
    EXPECT_EQ(CZipPacker::MemberName(L"C:\\work\\src\\a\\b.txt", L"src\\a\\b.txt", false, true), L"b.txt");
    EXPECT_EQ(CZipPacker::MemberName(L"C:\\work\\src\\a\\b.txt", L"src\\a\\b.txt", true, true), L"src/a/b.txt");
    EXPECT_EQ(CZipPacker::MemberName(L"C:\\work\\src\\a\\b.txt", L"", true, false), L"work/src/a/b.txt");
    EXPECT_EQ(CZipPacker::MemberName(L"\\\\server\\share\\a\\b.txt", L"", true, false), L"a/b.txt");
    EXPECT_EQ(CZipPacker::MemberName(L"\\\\?\\C:\\long\\b.txt", L"", true, false), L"long/b.txt");
}

TEST(ZipNames, OnlyRemovableDrivesSpanAndNeverForASelfExtractor)
{
    EXPECT_TRUE(zip::SpansDisks(DRIVE_REMOVABLE, false));
    EXPECT_FALSE(zip::SpansDisks(DRIVE_REMOVABLE, true));
    for (UINT type : {DRIVE_FIXED, DRIVE_REMOTE, DRIVE_CDROM, DRIVE_RAMDISK, DRIVE_UNKNOWN})
        EXPECT_FALSE(zip::SpansDisks(type, false)) << type;
}

// A member over 4 GB from a sparse file.
using ZipWriteLarge = ZipWriteTest;
TEST_F(ZipWriteLarge, MemberOver4GB)
{
    std::wstring big = base + L"\\big.bin";
    ASSERT_TRUE(MakeSparseFile(big, 4400000000ull));
    std::wstring archive = out / L"big.zip";
    ASSERT_EQ(Pack(archive, {L"big.bin", L"hello.txt"}, 1), PackResult::Done);
    ::DeleteFileW(big.c_str());
    std::string output;
    EXPECT_EQ(RunUnix(Sevenzip() + " t " + ShellQuote(UnixPath(archive)), &output, 300000), 0) << output;
    EXPECT_NE(output.find("Size:       4400000006"), std::string::npos) << output; // the big member and hello.txt
    arc::CFileSource file;
    ASSERT_TRUE(file.Open(archive));
    zip::CZipArchive reader;
    ASSERT_EQ(reader.Open(file), zip::ZipStatus::Ok);
    ASSERT_EQ(reader.Entries().size(), 2u);
    EXPECT_EQ(reader.Entries()[0].uncompressedSize, 4400000000ull);
}

TEST(ZipNames, SearchResultsOutsideTheBaseKeepFoldersWithoutDrive)
{
    EXPECT_EQ(zip::CZipPacker::MemberName(L"D:\\other\\x.txt", L"D:\\other\\x.txt", true, true), L"other/x.txt");
}

TEST(ZipNames, ProposedArchiveNames)
{
    ZipRequest one;
    one.panelDirectory = L"C:\\Work";
    one.otherDirectory = L"D:\\";
    one.directories = 1;
    one.onlyDirectory = L"Docs";
    one.rows = {L"Docs"};
    EXPECT_EQ(DefaultArchiveName(one), L"d:\\docs.zip");
    one.selfExtracting = true;
    EXPECT_EQ(DefaultArchiveName(one), L"d:\\docs.exe");

    ZipRequest files;
    files.panelDirectory = L"C:\\work\\src.old";
    files.otherDirectory = L"C:\\Out";
    files.files = 2;
    EXPECT_EQ(DefaultArchiveName(files), L"c:\\out\\src.zip");
    // Files and a directory: the panel's directory names the archive.
    files.directories = 1;
    files.onlyDirectory = L"sub";
    EXPECT_EQ(DefaultArchiveName(files), L"c:\\out\\src.zip");

    ZipRequest root;
    root.panelDirectory = L"C:\\";
    root.otherDirectory = L"E:\\Backup";
    root.files = 1;
    EXPECT_EQ(DefaultArchiveName(root), L"e:\\backup\\temp.zip");

    // The other panel's current file is the proposal, except for a self-extractor.
    root.otherCurrentFile = L"Old.zip";
    EXPECT_EQ(DefaultArchiveName(root), L"E:\\Backup\\Old.zip");
    root.selfExtracting = true;
    EXPECT_EQ(DefaultArchiveName(root), L"e:\\backup\\temp.exe");

    // No local directory on the other side: the panel's own.
    ZipRequest ftp;
    ftp.panelDirectory = L"C:\\Work";
    ftp.files = 1;
    EXPECT_EQ(DefaultArchiveName(ftp), L"c:\\work\\work.zip");
}

TEST(ZipNames, InitialPathModes)
{
    ZipRequest r;
    r.files = 2;
    EXPECT_EQ(InitialPathMode(r), 0);
    r.directories = 1;
    EXPECT_EQ(InitialPathMode(r), 1);
    r.showsFoundFiles = true;
    EXPECT_EQ(InitialPathMode(r), 2);
}

namespace {
// Disks as directories: each disk's part in a directory of its own, every disk of one size. A disk
// can be made unwritable or too small the first time it is asked for.
class CDiskShelf : public zip::IDiskDrive {
public:
    CDiskShelf(const TempDir& root, uint64_t size) : root(root), size(size) {}
    std::wstring PartPath(int disk) override
    {
        if (++asked[disk] == 1 && disk == unwritable) return root / L"no such disk\\set.zip";
        std::wstring directory = root / (L"disk" + std::to_wstring(disk));
        ::CreateDirectoryW(directory.c_str(), nullptr);
        return directory + L"\\set.zip";
    }
    uint64_t FreeBytes(int disk) override { return disk == tooSmall && asked[disk] == 1 ? 1000 : size; }
    std::wstring Part(int disk) const { return root / (L"disk" + std::to_wstring(disk) + L"\\set.zip"); }
    int Written() const
    {
        int n = 0;
        while (::GetFileAttributesW(Part(n + 1).c_str()) != INVALID_FILE_ATTRIBUTES) ++n;
        return n;
    }
    // The parts side by side as a split archive is named: set.z01, set.z02, ..., set.zip last.
    std::wstring Gather(const TempDir& into) const
    {
        int n = Written();
        for (int disk = 1; disk <= n; ++disk) {
            wchar_t suffix[8];
            swprintf(suffix, 8, L"z%02d", disk);
            std::wstring name = into / (disk == n ? std::wstring(L"set.zip") : L"set." + std::wstring(suffix));
            EXPECT_TRUE(::CopyFileW(Part(disk).c_str(), name.c_str(), FALSE));
        }
        return into / L"set.zip";
    }

    int unwritable = -1, tooSmall = -1;

private:
    const TempDir& root;
    uint64_t size;
    std::map<int, int> asked;
};

int Matching(const std::wstring& mask)
{
    int n = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(mask.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do ++n;
    while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return n;
}

// No temporary file of the packer or of a part stays anywhere.
int LeftoverTemporaries(const TempDir& disks)
{
    wchar_t temp[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, temp);
    int n = Matching(std::wstring(temp) + L"pdspan.zip.~" + std::to_wstring(::GetCurrentProcessId()) + L"-*");
    for (int disk = 1; disk <= 20; ++disk) n += Matching(disks / (L"disk" + std::to_wstring(disk) + L"\\*.~pd"));
    return n;
}

uint32_t Get32(const std::string& b, size_t at)
{
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 | static_cast<uint8_t>(b[at + 2]) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t Get16(const std::string& b, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}
}

using ZipSpan = ZipWriteTest;

// Every disk within its size, the signature first, each member's header whole on the disk its
// directory record names, the end record on the last disk; 7-Zip reads the set.
TEST_F(ZipSpan, PartsMakeOneArchiveThat7ZipReads)
{
    TempDir disks, gathered;
    CDiskShelf shelf(disks, 100000);
    ASSERT_EQ(PackSpanned(shelf), PackResult::Done);
    int n = shelf.Written();
    ASSERT_GE(n, 3);
    std::vector<int> asked;
    for (int disk = 2; disk <= n; ++disk) asked.push_back(disk);
    EXPECT_EQ(events.disks, asked);
    EXPECT_EQ(::GetFileAttributesW((out / L"set.zip").c_str()), INVALID_FILE_ATTRIBUTES); // only on the disks
    EXPECT_EQ(LeftoverTemporaries(disks), 0);

    std::vector<std::string> parts;
    for (int disk = 1; disk <= n; ++disk) {
        parts.push_back(FileBytes(shelf.Part(disk)));
        EXPECT_LE(parts.back().size(), 100000u) << disk;
    }
    ASSERT_EQ(parts[0].substr(0, 8), std::string("PK\x07\x08PK\x03\x04", 8));
    const std::string& last = parts.back();
    size_t endAt = last.rfind(std::string("PK\x05\x06", 4));
    ASSERT_NE(endAt, std::string::npos);
    EXPECT_EQ(Get16(last, endAt + 4), n - 1); // this disk
    EXPECT_EQ(Get16(last, endAt + 10), 9);   // members in all
    // The directory, which may itself run over disks, read from the parts laid end to end.
    std::string all;
    std::vector<size_t> starts;
    for (const std::string& part : parts) {
        starts.push_back(all.size());
        all += part;
    }
    size_t at = starts[Get16(last, endAt + 6)] + Get32(last, endAt + 16);
    for (int i = 0; i < 9; ++i) {
        ASSERT_EQ(Get32(all, at), zip::CentralHeaderSignature) << i;
        uint16_t disk = Get16(all, at + 34);
        ASSERT_LT(disk, n);
        size_t header = starts[disk] + Get32(all, at + 42);
        EXPECT_EQ(Get32(all, header), zip::LocalHeaderSignature) << i;
        size_t headerEnd = header + zip::LocalHeaderSize + Get16(all, header + 26) + Get16(all, header + 28);
        EXPECT_LE(headerEnd, starts[disk] + parts[disk].size()) << "header cut by the end of disk " << disk + 1;
        at += zip::CentralHeaderSize + Get16(all, at + 28) + Get16(all, at + 30) + Get16(all, at + 32);
    }

    std::wstring set = shelf.Gather(gathered);
    std::string output;
    ASSERT_EQ(RunUnix(Sevenzip() + " t " + ShellQuote(UnixPath(set)), &output), 0) << output;
    EXPECT_NE(output.find("Volumes = " + std::to_string(n)), std::string::npos) << output;
    TempDir extracted;
    ASSERT_EQ(RunUnix(Sevenzip() + " x -y -o" + ShellQuote(UnixPath(extracted.Path())) + " " + ShellQuote(UnixPath(set)),
                      &output),
              0)
        << output;
    for (const auto& [name, content] : files) EXPECT_EQ(FileBytes(extracted / name), content) << Narrow(name);
}

TEST_F(ZipSpan, ADiskThatCannotTakeItsPartIsAskedForAgain)
{
    TempDir disks, gathered;
    CDiskShelf shelf(disks, 100000);
    shelf.tooSmall = 1;   // the first disk in the drive is nearly full
    shelf.unwritable = 2; // the first disk offered as disk 2 cannot be written
    ASSERT_EQ(PackSpanned(shelf), PackResult::Done);
    ASSERT_GE(events.disks.size(), 4u);
    EXPECT_EQ(std::vector<int>(events.disks.begin(), events.disks.begin() + 4), (std::vector<int>{0, 2, 0, 3}));
    EXPECT_EQ(LeftoverTemporaries(disks), 0);
    std::string output;
    EXPECT_EQ(RunUnix(Sevenzip() + " t " + ShellQuote(UnixPath(shelf.Gather(gathered))), &output), 0) << output;
}

TEST_F(ZipSpan, CancelAtADiskQuestionKeepsWhatWasWritten)
{
    TempDir disks;
    CDiskShelf shelf(disks, 100000);
    events.cancelAtDisk = 3;
    EXPECT_EQ(PackSpanned(shelf), PackResult::Cancelled);
    EXPECT_EQ(events.disks, (std::vector<int>{2, 3}));
    EXPECT_EQ(shelf.Written(), 2);
    EXPECT_EQ(LeftoverTemporaries(disks), 0);
    // Cancel at the question for another disk as well.
    TempDir others;
    CDiskShelf second(others, 100000);
    events.disks.clear();
    events.cancelAtDisk = 0;
    second.unwritable = 2;
    EXPECT_EQ(PackSpanned(second), PackResult::Cancelled);
    EXPECT_EQ(events.disks, (std::vector<int>{2, 0}));
    EXPECT_EQ(second.Written(), 1);
    EXPECT_EQ(LeftoverTemporaries(others), 0);
}

TEST_F(ZipSpan, AnArchiveThatFitsOneDiskIsAPlainArchive)
{
    TempDir disks;
    CDiskShelf shelf(disks, 10 * 1024 * 1024);
    ASSERT_EQ(PackSpanned(shelf), PackResult::Done);
    EXPECT_TRUE(events.disks.empty());
    EXPECT_EQ(shelf.Written(), 1);
    EXPECT_EQ(FileBytes(shelf.Part(1)).substr(0, 4), std::string("PK\x03\x04", 4));
    ExpectToolsAccept(shelf.Part(1));
    ExpectExtractedAlike(shelf.Part(1));
}
