// The zip library as the archive dialog (and later the packer) drives it: one instance, an event
// callback, an archive name, the files to process, then the listing or the extraction.
#pragma once
#include "archive/ArchiveEvents.h"
#include "archive/zip/ZipReader.h"
#include <string>
#include <unordered_set>

namespace zip {

class CZipComponent {
public:
    void SetEventCallback(IArchiveEvents* callback) { events = callback; }
    void SetArchiveName(const std::wstring& path) { archiveName = path; }
    // "*" takes every member; otherwise the names added one by one.
    void SetFilesToProcess(const std::wstring& mask);
    void ClearFilesToProcess();
    void AddFileToProcess(const std::wstring& name);
    void SetUseFolderNames(bool on) { useFolderNames = on; }
    void SetTargetDirectory(const std::wstring& directory) { targetDirectory = directory; }
    void SetOverwriteQuestion(bool ask, bool offerAll)
    {
        askOverwrite = ask;
        offerAllAnswers = offerAll;
    }

    // One OnMember event per member; the status of the directory (Ok, or Damaged with what was read).
    ZipStatus List();
    // Writes the members to process; the archive's status, members' problems go to OnSkipping.
    ZipStatus Extract();
    // The text for a member's problem.
    static std::wstring ErrorText(ZipStatus status, const ZipEntry* entry = nullptr);

private:
    MemberInfo Describe(const CZipArchive& archive, size_t index) const;
    bool SettlePassword(CZipArchive& archive, size_t index, const std::wstring& name, std::string& password);

    IArchiveEvents* events = nullptr;
    IArchiveEvents silent;
    std::wstring archiveName, targetDirectory;
    bool allFiles = true;
    std::unordered_set<std::wstring> files;
    bool useFolderNames = false, askOverwrite = true, offerAllAnswers = true;
};

} // namespace zip
