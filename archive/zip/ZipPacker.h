// Packing files and directories into a zip archive, in the roles the "Zip" command drives: the
// files to process, folder names, recursion, password, stub, spanning; events for progress,
// questions and skipped files. The archive is written under a temporary name beside the target
// and put in place only when it is complete, so a failed or cancelled run harms nothing.
#pragma once
#include "archive/zip/ZipWriter.h"
#include "fileops/OperationUi.h"
#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace zip {

class IPackEvents {
public:
    virtual ~IPackEvents() = default;
    virtual bool Cancelled() { return false; }
    virtual void OnProcessing(const std::wstring& name) { (void)name; }
    virtual void OnProgress(int percent) { (void)percent; }
    // A member of that name is in the archive already.
    virtual OverwriteAnswer OnMemberExists(const OverwriteQuestion& question)
    {
        (void)question;
        return OverwriteAnswer::Overwrite;
    }
    // A file left out, with the reason; the rest goes on.
    virtual void OnSkipping(const std::wstring& name, const std::wstring& reason) { (void)name, (void)reason; }
    // The next disk of a spanned archive (0: the disk could not be written); false cancels.
    virtual bool OnNextDisk(int disk) { (void)disk; return false; }
};

class IDiskDrive;
class CPrepareQueue;

enum class PackResult {
    Done,
    Cancelled,
    WriteFailed,  // the archive could not be written; Error() has the system's code
    NotAnArchive, // the target exists and is no readable zip archive: it is left alone
};

// Whether an archive written to a drive of this type spans disks.
bool SpansDisks(UINT driveType, bool selfExtracting);

class CZipPacker {
public:
    void SetEventCallback(IPackEvents* callback) { events = callback; }
    void SetArchiveName(const std::wstring& path) { archiveName = path; }
    void SetRecurse(bool on) { recurse = on; }
    void SetUseFolderNames(bool on) { useFolderNames = on; }
    // Path mode 1: names are stored relative to this directory.
    void SetBaseDirectory(const std::wstring& directory) { baseDirectory = directory; }
    void ClearFilesToProcess() { files.clear(); }
    // A full path, or one relative to the base directory.
    void AddFileToProcess(const std::wstring& path) { files.push_back(path); }
    void SetStub(const std::wstring& path) { stub = path; }
    // A spanned archive is made in the temporary directory and then spread over the disks of the
    // drive (by default the removable drive of the archive's name).
    void SetSpanning(bool on) { spanning = on; }
    void SetDiskDrive(IDiskDrive* disks) { drive = disks; }
    // The password as typed; stored as the ANSI code page's bytes when it fits, else UTF-8.
    void SetPassword(const std::wstring& typed);
    void SetLevel(int value) { level = value; }
    void SetOverwriteQuestion(bool ask) { askOverwrite = ask; }
    // Whether the question offers the answers for all files; by default when two files or more are packed.
    void SetOfferAllAnswers(bool on) { offerAll = on ? 1 : 0; }
    void ForceZip64(bool on) { forceZip64 = on; }

    PackResult Pack();
    DWORD Error() const { return error; }
    // The files written and the files left out in the last run.
    int Added() const { return added; }
    int Skipped() const { return skipped; }

    // How a file is named in the archive (path mode 0, 1 or 2); public for the tests.
    static std::wstring MemberName(const std::wstring& fullPath, const std::wstring& relative, bool useFolderNames,
                                   bool relativeToBase);

private:
    struct Item {
        std::wstring path, name;
        bool directory = false;
        uint64_t size = 0, lastWrite = 0;
        DWORD attributes = 0;
    };
    void Collect(std::vector<Item>& items);
    void Push(std::vector<Item>& items, const Item& item);
    void Walk(const std::wstring& directory, const std::wstring& relative, std::vector<Item>& items);
    void AddItem(const std::wstring& path, const std::wstring& relative, const WIN32_FIND_DATAW& data,
                 std::vector<Item>& items);
    bool IsArchiveItself(const std::wstring& path) const;
    PackResult Write(const std::wstring& tempName);

    IPackEvents* events = nullptr;
    IPackEvents silent;
    IDiskDrive* drive = nullptr;
    CPrepareQueue* ahead = nullptr; // fed while the files are listed
    std::wstring archiveName, baseDirectory, stub, tempName;
    std::vector<std::wstring> files;
    std::string password;
    int level = 6;
    bool recurse = false, useFolderNames = false, spanning = false, askOverwrite = true, forceZip64 = false;
    int offerAll = -1;
    DWORD error = 0;
    int added = 0, skipped = 0;
};

} // namespace zip
