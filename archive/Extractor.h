// The rules every archive type follows when it writes members: safe names, the overwrite
// question, a temporary file beside the target, and the target replaced only by a whole member.
#pragma once
#include "archive/ArchiveEvents.h"
#include "archive/ByteSource.h"
#include "framework/Handles.h"
#include <windows.h>
#include <set>
#include <string>

// One member's output. A target that does not exist yet is created under its own name, exclusively,
// and deleted again unless Commit is called; an existing target is replaced only by a temporary
// file beside it, renamed over it by Commit.
class CMemberFile : public arc::IDataSink {
public:
    explicit CMemberFile(IArchiveEvents* events = nullptr) : events(events) {}
    ~CMemberFile() override { Discard(); }
    CMemberFile(const CMemberFile&) = delete;
    CMemberFile& operator=(const CMemberFile&) = delete;

    // The target itself, when nothing of that name exists; false with the system's error set.
    bool CreateNew(const std::wstring& target);
    // A temporary file beside the target, which the user agreed to replace.
    bool CreateReplacement(const std::wstring& target);
    bool Write(const uint8_t* data, size_t size) override;
    // Sets the times (when time is not 0) and puts the finished file in place.
    bool Commit(uint64_t time);
    void Discard();
    // A write failed (not a cancel); Error has the system's code.
    bool WriteFailed() const { return error != 0; }
    DWORD Error() const { return error; }
    bool CancelledByUser() const { return cancelled; }

private:
    bool Open(const std::wstring& path);
    IArchiveEvents* events;
    fw::UniqueFile file;
    std::wstring target, written; // written: the file being written, removed unless committed
    DWORD error = 0;
    bool cancelled = false;
};

class CExtractor {
public:
    CExtractor(IArchiveEvents& events, const std::wstring& targetDirectory, bool keepFolders, bool askOverwrite,
               bool offerAll);

    enum class Outcome { Write, Skip, Stop };
    // Decides the member's target path, makes its folders and asks the overwrite question: Write
    // when it is to be written to path; Skip and Stop as for Begin.
    Outcome Prepare(const MemberInfo& member, std::wstring& path);
    // Write: out is open for the member. Skip: the member was refused (and reported), passed over
    // at the overwrite question, or was a directory (made here). Stop: the user cancelled.
    Outcome Begin(const MemberInfo& member, CMemberFile& out);
    // Ends a member begun with Write: without a problem it takes its place, otherwise what was
    // written goes and the problem is reported. False when the extraction must stop.
    bool End(const MemberInfo& member, CMemberFile& out, const std::wstring& problem);
    // Ends a member that a library wrote to the prepared path itself.
    bool Finish(const MemberInfo& member, const std::wstring& problem);
    // Reports a member that is not written; false when the user asked to stop.
    bool Refuse(const std::wstring& name, const std::wstring& reason);
    bool Stopped() const { return stopped; }
    int Written() const { return written; }
    int Refused() const { return refused; }

private:
    Outcome Locate(const MemberInfo& member, std::wstring& path);
    Outcome ConfirmReplace(const MemberInfo& member, const std::wstring& path);
    bool MakeDirectories(const std::wstring& relative, bool whole, const std::wstring& name);
    Outcome RefuseMember(const MemberInfo& member, const std::wstring& reason)
    {
        return Refuse(member.name, reason) ? Outcome::Skip : Outcome::Stop;
    }

    IArchiveEvents& events;
    std::wstring target;
    bool keepFolders, askOverwrite, offerAll;
    bool overwriteAll = false;
    bool stopped = false;
    int written = 0, refused = 0;
    std::set<std::wstring> madeDirectories;
};

// The system's text for an error code, without its final full stop.
std::wstring ShortSystemText(DWORD error);
