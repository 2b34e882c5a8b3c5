// What the archive readers report while they list and extract, and what they ask the user.
#pragma once
#include "archive/Tar.h"
#include "fileops/OperationUi.h"
#include <cstdint>
#include <string>

// One member as every archive type describes it.
struct MemberInfo {
    std::wstring name;             // as stored, with its folders
    arc::MemberKind kind = arc::MemberKind::File;
    int64_t size = -1;             // -1 when unknown
    uint64_t time = 0;             // file time, UTC; 0 when there is none
};

enum class PasswordAnswer { Use, Cancel };

// The event callback of the archive libraries: the dialog implements it once for every type.
class IArchiveEvents {
public:
    virtual ~IArchiveEvents() = default;
    // Listing: one call per member, in archive order.
    virtual void OnMember(const MemberInfo& member) { (void)member; }
    // Extraction. Cancelled also keeps the status window alive.
    virtual bool Cancelled() { return false; }
    virtual void OnProcessing(const std::wstring& name) { (void)name; }
    virtual void OnProgress(uint64_t bytes) { (void)bytes; }
    virtual OverwriteAnswer OnFileExists(const OverwriteQuestion& question)
    {
        (void)question;
        return OverwriteAnswer::Overwrite;
    }
    // A member that is not written, with the reason; false asks to stop the extraction.
    virtual bool OnSkipping(const std::wstring& name, const std::wstring& reason)
    {
        (void)name, (void)reason;
        return true;
    }
    // The password for an encrypted member (the current one is offered); Cancel ends the extraction.
    virtual PasswordAnswer OnPassword(const std::wstring& member, std::wstring& password)
    {
        (void)member, (void)password;
        return PasswordAnswer::Cancel;
    }
    // A password that did not fit: the next encrypted member asks afresh.
    virtual void OnWrongPassword() {}
};
