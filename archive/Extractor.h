// The rules every archive type follows when it writes members: safe names, the overwrite
// question, a temporary file beside the target, and the target replaced only by a whole member.
#pragma once
#include "archive/ArchiveEvents.h"
#include "archive/ByteSource.h"
#include "framework/Handles.h"
#include <windows.h>
#include <set>
#include <string>

// One member's output: a temporary file that becomes the target only when Commit is called.
class CMemberFile : public arc::IDataSink {
public:
    explicit CMemberFile(IArchiveEvents* events = nullptr) : events(events) {}
    ~CMemberFile() override { Discard(); }
    CMemberFile(const CMemberFile&) = delete;
    CMemberFile& operator=(const CMemberFile&) = delete;

    bool Create(const std::wstring& target);
    bool Write(const uint8_t* data, size_t size) override;
    // Sets the times (when time is not 0) and moves the finished file over the target.
    bool Commit(uint64_t time);
    void Discard();
    bool IsOpen() const { return static_cast<bool>(file); }
    // A write failed (not a cancel); Error has the system's code.
    bool WriteFailed() const { return error != 0; }
    DWORD Error() const { return error; }
    bool CancelledByUser() const { return cancelled; }
    uint64_t Written() const { return written; }

private:
    IArchiveEvents* events;
    fw::UniqueFile file;
    std::wstring target, temporary;
    uint64_t written = 0;
    DWORD error = 0;
    bool cancelled = false;
};

class CExtractor {
public:
    CExtractor(IArchiveEvents& events, const std::wstring& targetDirectory, bool keepFolders, bool askOverwrite,
               bool offerAll);

    enum class Outcome { Write, Skip, Stop };
    // Decides the member's target path (folders made, the overwrite question asked): Write when
    // it is to be written to path; Skip and Stop as for Begin.
    Outcome Prepare(const MemberInfo& member, std::wstring& path);
    // Write: out is open on the member's temporary file. Skip: the member was refused (and
    // reported), passed over at the overwrite question, or was a directory (made here).
    // Stop: the user cancelled.
    Outcome Begin(const MemberInfo& member, CMemberFile& out);
    // Ends a member begun with Write: without a problem it replaces its target, otherwise the
    // temporary file goes and the problem is reported. False when the extraction must stop.
    bool End(const MemberInfo& member, CMemberFile& out, const std::wstring& problem);
    // Ends a member that a library wrote to the prepared path itself.
    bool Finish(const MemberInfo& member, const std::wstring& problem);
    // Reports a member that is not written; false when the user asked to stop.
    bool Refuse(const std::wstring& name, const std::wstring& reason);
    bool Stopped() const { return stopped; }
    int Written() const { return written; }
    int Refused() const { return refused; }

private:
    bool MakeDirectories(const std::wstring& relative, bool whole, const std::wstring& name);

    IArchiveEvents& events;
    std::wstring target;
    bool keepFolders, askOverwrite, offerAll;
    bool overwriteAll = false;
    bool stopped = false;
    int written = 0, refused = 0;
    std::set<std::wstring> madeDirectories;
};

// The text for a name the rules refuse, and for a system error.
std::wstring SystemErrorText(DWORD error);
