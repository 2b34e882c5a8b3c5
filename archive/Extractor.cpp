// Safe targets, the overwrite question and the temporary-file-then-rename writing of members.
#include "archive/Extractor.h"
#include "archive/MemberName.h"
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

uint64_t FileTimeOf(const WIN32_FILE_ATTRIBUTE_DATA& data)
{
    return static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}
}

std::wstring SystemErrorText(DWORD error)
{
    wchar_t* text = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                               nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = n && text ? std::wstring(text, n) : fw::Format(L"error %lu", error);
    if (text) ::LocalFree(text);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L'.'))
        result.pop_back();
    return result;
}

bool CMemberFile::Create(const std::wstring& targetName)
{
    Discard();
    target = targetName;
    written = 0;
    error = 0;
    cancelled = false;
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = JoinPath(DirectoryPart(target),
                             fw::Format(L"~pd%04lx%06x.tmp", ::GetCurrentProcessId() & 0xFFFF, ++counter & 0xFFFFFF));
        file.Reset(::CreateFileW(LongPath(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (file) return true;
        if (::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    temporary.clear();
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
            error = done != chunk && ::GetLastError() == 0 ? ERROR_DISK_FULL : ::GetLastError();
            if (error == 0) error = ERROR_WRITE_FAULT;
            return false;
        }
        data += chunk;
        size -= chunk;
        written += chunk;
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
    // The user agreed to replace the target, read-only or not.
    DWORD attributes = ::GetFileAttributesW(LongPath(target).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        ::SetFileAttributesW(LongPath(target).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!::MoveFileExW(LongPath(temporary).c_str(), LongPath(target).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = ::GetLastError();
        Discard();
        return false;
    }
    temporary.clear();
    return true;
}

void CMemberFile::Discard()
{
    file.Reset();
    if (!temporary.empty()) ::DeleteFileW(LongPath(temporary).c_str());
    temporary.clear();
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
        std::wstring path = JoinPath(target, part);
        DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
        std::wstring reason;
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (!::CreateDirectoryW(LongPath(path).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
                reason = fw::LoadStr(IDS_ARC_CANTWRITE) + SystemErrorText(::GetLastError());
        } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            reason = fw::LoadStr(IDS_ARC_THROUGHLINK);
        } else if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            reason = fw::LoadStr(IDS_ARC_INTHEWAY);
        }
        if (!reason.empty()) {
            Refuse(name, reason);
            return false;
        }
        madeDirectories.insert(part);
    }
    return true;
}

CExtractor::Outcome CExtractor::Prepare(const MemberInfo& member, std::wstring& path)
{
    if (stopped) return Outcome::Stop;
    events.OnProcessing(member.name);
    if (events.Cancelled()) {
        stopped = true;
        return Outcome::Stop;
    }
    auto refuse = [&](const std::wstring& reason) { return Refuse(member.name, reason) ? Outcome::Skip : Outcome::Stop; };
    if (member.kind == arc::MemberKind::SymLink || member.kind == arc::MemberKind::HardLink)
        return refuse(fw::LoadStr(IDS_ARC_LINK));
    if (member.kind == arc::MemberKind::Other) return refuse(fw::LoadStr(IDS_ARC_OTHERKIND));
    bool directory = member.kind == arc::MemberKind::Directory;
    std::wstring relative;
    NameProblem problem = SafeRelativePath(member.name, keepFolders, relative);
    // "./" of a tar made from a directory is the target itself.
    if (problem == NameProblem::Empty && directory) return Outcome::Skip;
    if (problem != NameProblem::None) return refuse(fw::LoadStr(ReasonFor(problem)));
    path = JoinPath(target, relative);
    if (path.size() > MaxTargetLength) return refuse(fw::LoadStr(IDS_ARC_TOOLONG));
    if (directory) {
        // Without folders a directory member has nothing to make.
        if (keepFolders && !MakeDirectories(relative, true, member.name)) return stopped ? Outcome::Stop : Outcome::Skip;
        return Outcome::Skip;
    }
    if (!MakeDirectories(relative, false, member.name)) return stopped ? Outcome::Stop : Outcome::Skip;

    WIN32_FILE_ATTRIBUTE_DATA existing;
    if (::GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &existing)) {
        if (existing.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            return refuse(fw::LoadStr((existing.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? IDS_ARC_THROUGHLINK
                                                                                                   : IDS_ARC_INTHEWAY));
        if (askOverwrite && !overwriteAll) {
            OverwriteQuestion question;
            question.targetDirectory = DirectoryPart(path);
            question.name = LastPart(path);
            question.sourceSize = member.size < 0 ? 0 : static_cast<uint64_t>(member.size);
            question.sourceTime = member.time;
            question.targetSize = static_cast<uint64_t>(existing.nFileSizeHigh) << 32 | existing.nFileSizeLow;
            question.targetTime = FileTimeOf(existing);
            question.offerAll = offerAll;
            switch (events.OnFileExists(question)) {
            case OverwriteAnswer::Overwrite: break;
            case OverwriteAnswer::OverwriteAll: overwriteAll = true; break;
            case OverwriteAnswer::Skip: return Outcome::Skip;
            case OverwriteAnswer::Cancel: stopped = true; return Outcome::Stop;
            }
        }
    }
    return Outcome::Write;
}

CExtractor::Outcome CExtractor::Begin(const MemberInfo& member, CMemberFile& out)
{
    std::wstring path;
    Outcome outcome = Prepare(member, path);
    if (outcome != Outcome::Write) return outcome;
    if (!out.Create(path))
        return Refuse(member.name, fw::LoadStr(IDS_ARC_CANTWRITE) + SystemErrorText(::GetLastError())) ? Outcome::Skip
                                                                                                         : Outcome::Stop;
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
        return Refuse(member.name, fw::LoadStr(IDS_ARC_CANTWRITE) + SystemErrorText(out.Error()));
    }
    out.Discard();
    if (out.WriteFailed()) return Refuse(member.name, fw::LoadStr(IDS_ARC_CANTWRITE) + SystemErrorText(out.Error()));
    return Refuse(member.name, problem);
}
