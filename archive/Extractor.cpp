// Safe targets, the overwrite question, and members written so that nothing half-written or
// damaged is left in place of a file.
#include "archive/Extractor.h"
#include "archive/MemberName.h"
#include "common/Program.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Resources.h"
#include "resource.h"
#include <algorithm>

namespace {
// Beyond this the platform's extended paths end.
constexpr size_t MaxTargetLength = 32000;

int ReasonFor(NameProblem problem)
{
    switch (problem) {
    case NameProblem::Absolute:
    case NameProblem::DriveOrStream:
    case NameProblem::ParentReference: return IDS_ARC_OUTSIDETARGET;
    case NameProblem::DeviceName: return IDS_ARC_DEVICENAME;
    case NameProblem::BadCharacter:
    case NameProblem::TrailingDotOrSpace: return IDS_ARC_BADCHARACTER;
    case NameProblem::PartTooLong: return IDS_ARC_TOOLONG;
    case NameProblem::Empty:
    case NameProblem::None: break;
    }
    return IDS_ARC_EMPTYNAME;
}

std::wstring CannotWrite(DWORD error) { return fw::LoadStr(IDS_ARC_CANTWRITE) + ShortSystemText(error); }
}

std::wstring ShortSystemText(DWORD error)
{
    std::wstring result = SystemErrorText(error);
    if (result.empty()) return fw::Format(L"error %lu", error);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L'.'))
        result.pop_back();
    return result;
}

bool CMemberFile::Open(const std::wstring& path)
{
    file.Reset(::CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file) written = path;
    return static_cast<bool>(file);
}

bool CMemberFile::CreateNew(const std::wstring& targetName)
{
    Discard();
    target = targetName;
    error = 0;
    cancelled = false;
    return Open(target);
}

bool CMemberFile::CreateReplacement(const std::wstring& targetName)
{
    Discard();
    target = targetName;
    error = 0;
    cancelled = false;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring name = fw::Format(L"~pd%04lx%06x.tmp", ::GetCurrentProcessId() & 0xFFFF, ++counter & 0xFFFFFF);
        if (Open(JoinPath(DirectoryPart(target), name))) return true;
        if (::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    return false;
}

bool CMemberFile::Write(const uint8_t* data, size_t size)
{
    if (!file || error) return false;
    if (events && events->Cancelled()) {
        cancelled = true;
        return false;
    }
    while (size > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30)), done = 0;
        if (!::WriteFile(file.Get(), data, chunk, &done, nullptr) || done != chunk) {
            error = ::GetLastError();
            if (error == 0) error = ERROR_DISK_FULL;
            return false;
        }
        data += chunk;
        size -= chunk;
        if (events) events->OnProgress(chunk);
    }
    return true;
}

bool CMemberFile::Commit(uint64_t time)
{
    if (!file) return false;
    if (time) {
        FILETIME ft = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
        ::SetFileTime(file.Get(), &ft, &ft, &ft);
    }
    if (!::CloseHandle(file.Release())) {
        error = ::GetLastError();
        Discard();
        return false;
    }
    if (written != target) {
        // The user agreed to replace the target, read-only or not.
        DWORD attributes = ::GetFileAttributesW(LongPath(target).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            ::SetFileAttributesW(LongPath(target).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        if (!::MoveFileExW(LongPath(written).c_str(), LongPath(target).c_str(), MOVEFILE_REPLACE_EXISTING)) {
            error = ::GetLastError();
            Discard();
            return false;
        }
    }
    written.clear();
    return true;
}

void CMemberFile::Discard()
{
    file.Reset();
    if (!written.empty()) ::DeleteFileW(LongPath(written).c_str());
    written.clear();
}

CExtractor::CExtractor(IArchiveEvents& events, const std::wstring& targetDirectory, bool keepFolders,
                       bool askOverwrite, bool offerAll)
    : events(events), target(targetDirectory), keepFolders(keepFolders), askOverwrite(askOverwrite), offerAll(offerAll)
{
    while (target.size() > 3 && (target.back() == L'\\' || target.back() == L'/')) target.pop_back();
}

bool CExtractor::Refuse(const std::wstring& name, const std::wstring& reason)
{
    ++refused;
    if (!events.OnSkipping(name, reason)) stopped = true;
    return !stopped;
}

// Makes the folders of relative (all of it when whole) below the target; never through a link.
bool CExtractor::MakeDirectories(const std::wstring& relative, bool whole, const std::wstring& name)
{
    size_t last = whole ? relative.size() : relative.find_last_of(L'\\');
    if (last == std::wstring::npos) return true;
    for (size_t pos = 0; pos <= last; ++pos) {
        if (pos != last && relative[pos] != L'\\') continue;
        std::wstring part = relative.substr(0, pos);
        if (part.empty() || madeDirectories.count(part)) continue;
        std::wstring path = LongPath(JoinPath(target, part));
        if (!::CreateDirectoryW(path.c_str(), nullptr)) {
            DWORD error = ::GetLastError();
            DWORD attributes = ::GetFileAttributesW(path.c_str());
            std::wstring reason;
            if (attributes == INVALID_FILE_ATTRIBUTES) reason = CannotWrite(error);
            else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) reason = fw::LoadStr(IDS_ARC_THROUGHLINK);
            else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) reason = fw::LoadStr(IDS_ARC_INTHEWAY);
            if (!reason.empty()) {
                Refuse(name, reason);
                return false;
            }
        }
        madeDirectories.insert(part);
    }
    return true;
}

// The member's path below the target, its folders made; Write when it is a file to write.
CExtractor::Outcome CExtractor::Locate(const MemberInfo& member, std::wstring& path)
{
    if (stopped) return Outcome::Stop;
    events.OnProcessing(member.name);
    if (events.Cancelled()) {
        stopped = true;
        return Outcome::Stop;
    }
    if (member.kind == arc::MemberKind::SymLink || member.kind == arc::MemberKind::HardLink)
        return RefuseMember(member, fw::LoadStr(IDS_ARC_LINK));
    if (member.kind == arc::MemberKind::Other) return RefuseMember(member, fw::LoadStr(IDS_ARC_OTHERKIND));
    bool directory = member.kind == arc::MemberKind::Directory;
    std::wstring relative;
    NameProblem problem = SafeRelativePath(member.name, keepFolders, relative);
    // "./" of a tar made from a directory is the target itself.
    if (problem == NameProblem::Empty && directory) return Outcome::Skip;
    if (problem != NameProblem::None) return RefuseMember(member, fw::LoadStr(ReasonFor(problem)));
    path = JoinPath(target, relative);
    if (path.size() > MaxTargetLength) return RefuseMember(member, fw::LoadStr(IDS_ARC_TOOLONG));
    if (directory) {
        // Without folders a directory member has nothing to make.
        bool made = !keepFolders || MakeDirectories(relative, true, member.name);
        return made || !stopped ? Outcome::Skip : Outcome::Stop;
    }
    if (!MakeDirectories(relative, false, member.name)) return stopped ? Outcome::Stop : Outcome::Skip;
    return Outcome::Write;
}

// An existing target: refused when it is a directory or a link, else the overwrite question.
CExtractor::Outcome CExtractor::ConfirmReplace(const MemberInfo& member, const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA existing;
    if (!::GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &existing))
        return RefuseMember(member, CannotWrite(::GetLastError()));
    if (existing.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return RefuseMember(member, fw::LoadStr(IDS_ARC_THROUGHLINK));
    if (existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return RefuseMember(member, fw::LoadStr(IDS_ARC_INTHEWAY));
    if (!askOverwrite || overwriteAll) return Outcome::Write;
    OverwriteQuestion question;
    question.targetDirectory = DirectoryPart(path);
    question.name = LastPart(path);
    question.sourceSize = member.size < 0 ? 0 : static_cast<uint64_t>(member.size);
    question.sourceTime = member.time;
    question.targetSize = static_cast<uint64_t>(existing.nFileSizeHigh) << 32 | existing.nFileSizeLow;
    question.targetTime =
        static_cast<uint64_t>(existing.ftLastWriteTime.dwHighDateTime) << 32 | existing.ftLastWriteTime.dwLowDateTime;
    question.offerAll = offerAll;
    switch (events.OnFileExists(question)) {
    case OverwriteAnswer::Overwrite: return Outcome::Write;
    case OverwriteAnswer::OverwriteAll: overwriteAll = true; return Outcome::Write;
    case OverwriteAnswer::Skip: return Outcome::Skip;
    case OverwriteAnswer::Cancel: break;
    }
    stopped = true;
    return Outcome::Stop;
}

CExtractor::Outcome CExtractor::Prepare(const MemberInfo& member, std::wstring& path)
{
    Outcome outcome = Locate(member, path);
    if (outcome != Outcome::Write) return outcome;
    DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? Outcome::Write : ConfirmReplace(member, path);
}

CExtractor::Outcome CExtractor::Begin(const MemberInfo& member, CMemberFile& out)
{
    std::wstring path;
    Outcome outcome = Locate(member, path);
    if (outcome != Outcome::Write) return outcome;
    // Creating the target exclusively is also the test whether something of that name is there.
    if (out.CreateNew(path)) return Outcome::Write;
    DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
        return RefuseMember(member, CannotWrite(error));
    outcome = ConfirmReplace(member, path);
    if (outcome != Outcome::Write) return outcome;
    if (!out.CreateReplacement(path)) return RefuseMember(member, CannotWrite(::GetLastError()));
    return Outcome::Write;
}

bool CExtractor::Finish(const MemberInfo& member, const std::wstring& problem)
{
    if (problem.empty()) {
        ++written;
        return true;
    }
    return Refuse(member.name, problem);
}

bool CExtractor::End(const MemberInfo& member, CMemberFile& out, const std::wstring& problem)
{
    if (out.CancelledByUser()) {
        out.Discard();
        stopped = true;
        return false;
    }
    if (problem.empty() && !out.WriteFailed()) {
        if (out.Commit(member.time)) {
            ++written;
            return true;
        }
        return Refuse(member.name, CannotWrite(out.Error()));
    }
    out.Discard();
    if (out.WriteFailed()) return Refuse(member.name, CannotWrite(out.Error()));
    return Refuse(member.name, problem);
}
