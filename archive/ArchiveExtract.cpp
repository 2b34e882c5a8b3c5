// The extract command: the target, the status window, and the extraction by archive type.
#include "archive/ArchiveDialog.h"
#include "archive/ArchiveText.h"
#include "archive/Cabinet.h"
#include "archive/Extractor.h"
#include "archive/FileSource.h"
#include "archive/StreamMembers.h"
#include "archive/rar/UnRar.h"
#include "archive/zip/ZipComponent.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/CopyProgress.h"
#include "fileops/FileSystem.h"
#include "framework/Resources.h"
#include "framework/TextDialog.h"
#include "resource.h"
#include <new>

namespace {
std::wstring Trimmed(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L" \t");
    size_t last = text.find_last_not_of(L" \t");
    return first == std::wstring::npos ? std::wstring() : text.substr(first, last - first + 1);
}

// Writes the members of a tar stream (inside gzip or not), or a gzip's single file.
class CStreamExtraction : public arc::IGzipContent {
public:
    CStreamExtraction(CExtractor& extractor, IArchiveEvents& events, const std::function<bool(size_t)>& takesPart)
        : extractor(extractor), file(&events), takesPart(takesPart) {}

    bool OnEntry(const arc::TarEntry& entry) override
    {
        size_t index = next++;
        if (extractor.Stopped() || !takesPart(index)) return false;
        current = DescribeTar(entry);
        writing = extractor.Begin(current, file) == CExtractor::Outcome::Write;
        return writing;
    }
    bool OnData(const uint8_t* data, size_t size) override { return file.Write(data, size); }
    void OnEntryEnd(bool complete) override
    {
        if (!writing) return;
        writing = false;
        std::wstring problem = complete ? std::wstring() : streamProblem.empty() ? fw::LoadStr(IDS_ARC_TRUNCATED) : streamProblem;
        extractor.End(current, file, problem);
    }
    void OnDamage(uint64_t offset, arc::TarProblem problem) override
    {
        if (problem != arc::TarProblem::Truncated)
            extractor.Refuse(archiveName, fw::Format(fw::LoadStr(IDS_ARC_BADHEADER).c_str(), static_cast<unsigned long long>(offset)));
    }
    arc::IDataSink* OnSingleFile() override
    {
        if (extractor.Stopped() || !takesPart(0)) return nullptr;
        current = single;
        writing = extractor.Begin(current, file) == CExtractor::Outcome::Write;
        return writing ? &file : nullptr;
    }
    // The end of a gzip's single file: it replaces its target only when the trailer checked out.
    void EndSingle(arc::GzipStatus status)
    {
        if (!writing) return;
        writing = false;
        extractor.End(current, file, status == arc::GzipStatus::Ok ? std::wstring() : GzipProblemText(status));
    }

    std::wstring archiveName;
    MemberInfo single;
    std::wstring streamProblem; // why the stream broke off, for the member it cut short

private:
    CExtractor& extractor;
    CMemberFile file;
    std::function<bool(size_t)> takesPart;
    MemberInfo current;
    size_t next = 0;
    bool writing = false;
};

class CCabExtraction : public cab::ICabHandler {
public:
    CCabExtraction(CExtractor& extractor, IArchiveEvents& events, const std::function<bool(size_t)>& takesPart)
        : extractor(extractor), file(&events), takesPart(takesPart) {}
    arc::IDataSink* OnMember(const cab::CabMember& member) override
    {
        size_t index = next++;
        if (extractor.Stopped() || !takesPart(index)) return nullptr;
        current.name = member.name;
        current.size = static_cast<int64_t>(member.size);
        current.time = DosTimeToFileTime(member.date, member.time);
        return extractor.Begin(current, file) == CExtractor::Outcome::Write ? &file : nullptr;
    }
    void OnMemberEnd(const cab::CabMember&, bool complete) override
    {
        extractor.End(current, file, complete ? std::wstring() : fw::LoadStr(IDS_ARC_DAMAGEDDATA));
    }

private:
    CExtractor& extractor;
    CMemberFile file;
    std::function<bool(size_t)> takesPart;
    MemberInfo current;
    size_t next = 0;
};
}

void CArchiveDialog::OnExtract()
{
    selectedCount = list.GetSelectedCount();
    if (selectedCount == 0 && !extractAll) return;
    fw::CTextDialog ask(L"UNZIP", IDC_UNZIP_TARGET, targetDirectory);
    if (ask.DoModal(hwnd) != IDOK) {
        extractAll = false;
        return;
    }
    std::wstring typed = Trimmed(ask.Text());
    if (typed.empty()) {
        ShowWarning(IDS_UNZIP_NOTARGET);
        extractAll = false;
        return;
    }
    std::wstring target = ResolveTarget(typed, CurrentDirectory());
    if (!DirectoryExists(target)) {
        std::wstring question = fw::LoadStr(IDS_UNZIP_CREATE1) + target + fw::LoadStr(IDS_UNZIP_CREATE2);
        if (ShowMessage(hwnd, question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            extractAll = false;
            return;
        }
        if (!MakeDirectoryPath(target)) {
            ShowMessage(hwnd, fw::LoadStr(IDS_ARC_MKDIRFAILED) + target, MB_OK | MB_ICONEXCLAMATION);
            extractAll = false;
            return;
        }
    }
    targetDirectory = target;
    askOverwrite = GetProfileInt(L"Algemeen", L"BevestigingOverwrite", 1) == 1;
    {
        CCopyProgress status(operation, hwnd, fw::LoadStr(IDS_ARC_STATUSTITLE), L"STATUSUNZIP");
        ::ShowWindow(::GetDlgItem(status.Dialog(), IDC_STATUS_BYTES), SW_SHOW);
        progress = &status;
        try {
            ExtractMembers();
        } catch (const std::bad_alloc&) {
            ShowWarning(IDS_OUTOFMEMORY);
        }
        progress = nullptr;
    }
    extractAll = false;
    SaveColumnWidths();
    End(IDOK);
}

void CArchiveDialog::ExtractMembers()
{
    operation.cancelRequested = false;
    doneCount = memberCount = 0;
    totalBytes = doneBytes = 0;
    lastPercent = -1;
    marked.assign(rows.size(), 0);
    for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = list.GetNextItem(row, LVNI_SELECTED))
        if (static_cast<size_t>(row) < marked.size()) marked[static_cast<size_t>(row)] = 1;
    for (size_t row = 0; row < rows.size(); ++row) {
        if (!TakesPart(row)) continue;
        ++memberCount;
        if (rows[row].size > 0) totalBytes += static_cast<uint64_t>(rows[row].size);
    }
    if (hasFolders && !folderQuestionAnswered) {
        keepFolders = ShowMessage(QuestionOwner(), fw::LoadStr(IDS_UNZIP_FOLDERS), MB_YESNO | MB_ICONQUESTION) == IDYES;
        folderQuestionAnswered = true;
    }
    switch (type) {
    case ArchiveZip: ExtractZip(); break;
    case ArchiveGzip: ExtractStream(true); break;
    case ArchiveTar: ExtractStream(false); break;
    case ArchiveCabinet: ExtractCabinet(); break;
    case ArchiveRar: ExtractRar(); break;
    }
}

void CArchiveDialog::ReportArchiveProblem(const std::wstring& text)
{
    ::MessageBoxW(QuestionOwner(), text.c_str(), ProductName, MB_OK | MB_ICONWARNING);
}

void CArchiveDialog::ExtractZip()
{
    zip::CZipComponent library;
    library.SetEventCallback(this);
    library.SetArchiveName(archivePath);
    library.SetFilesToProcess(L"*");
    library.SetUseFolderNames(keepFolders);
    if (!extractAll) {
        library.ClearFilesToProcess();
        for (size_t row = 0; row < rows.size(); ++row)
            if (marked[row]) library.AddFileToProcess(rows[row].name);
    }
    library.SetTargetDirectory(targetDirectory);
    library.SetOverwriteQuestion(askOverwrite, memberCount >= 2);
    zip::ZipStatus status = library.Extract();
    if (status == zip::ZipStatus::NotZip || status == zip::ZipStatus::ReadError) ShowWarning(IDS_ARC_UNREADABLE);
    else if (status == zip::ZipStatus::Spanned) ReportArchiveProblem(fw::LoadStr(IDS_ARC_SPANNED));
}

void CArchiveDialog::ExtractStream(bool gzip)
{
    arc::CFileSource source;
    if (!source.Open(archivePath)) {
        ShowWarning(IDS_ARC_UNREADABLE);
        return;
    }
    CExtractor extractor(*this, targetDirectory, keepFolders, askOverwrite, memberCount >= 2);
    CStreamExtraction work(extractor, *this, [this](size_t row) { return TakesPart(row); });
    work.archiveName = archivePath;
    if (!gzip) {
        uint8_t first[arc::TarBlock];
        if (!arc::ReadExact(source, 0, first, sizeof(first)) || !arc::TarChecksumMatches(first)) {
            ShowWarning(IDS_ARC_UNREADABLE);
            return;
        }
        arc::CTarStream tar(work);
        bool read = ReadInPieces(source, [&](const uint8_t* data, size_t size) {
            tar.Feed(data, size);
            return !tar.Ended() && !extractor.Stopped();
        });
        if (!read) work.streamProblem = ShortSystemText(::GetLastError());
        tar.Finish();
        return;
    }
    std::vector<uint8_t> head(static_cast<size_t>(std::min<uint64_t>(source.Size(), arc::CGzipDecoder::MaxHeaderSize)));
    arc::GzipHeader header;
    if (!arc::ReadExact(source, 0, head.data(), head.size()) ||
        arc::ParseGzipHeader(head.data(), head.size(), header) != arc::GzipStatus::Ok) {
        ShowWarning(IDS_ARC_UNREADABLE);
        return;
    }
    work.single.name = GzipMemberName(header.name, header.hasName);
    // The header's time in local time and back, without its seconds.
    work.single.time = header.mtime ? DropSeconds(UnixTimeToFileTime(header.mtime)) : 0;
    arc::CGzipContentSink content(work);
    arc::CGzipDecoder decoder;
    arc::GzipStatus status = arc::GzipStatus::Ok;
    bool read = ReadInPieces(source, [&](const uint8_t* data, size_t size) {
        status = decoder.Feed(data, size, content);
        return status == arc::GzipStatus::Ok && !extractor.Stopped();
    });
    if (!read) status = arc::GzipStatus::Truncated;
    if (status == arc::GzipStatus::Ok && !extractor.Stopped()) status = decoder.Finish();
    if (status != arc::GzipStatus::Ok && status != arc::GzipStatus::Stopped) work.streamProblem = GzipProblemText(status);
    content.Finish();
    if (content.IsTar()) {
        // Members of a tar stream were checked by the gzip trailer only after they were written.
        if (!work.streamProblem.empty() && !extractor.Stopped()) extractor.Refuse(archivePath, work.streamProblem);
    } else {
        work.EndSingle(status);
    }
}

void CArchiveDialog::ExtractCabinet()
{
    CExtractor extractor(*this, targetDirectory, keepFolders, askOverwrite, memberCount >= 2);
    CCabExtraction work(extractor, *this, [this](size_t row) { return TakesPart(row); });
    cab::CabResult result = cab::RunCabinet(archivePath, work);
    std::wstring text;
    switch (result.stage) {
    case cab::CabStage::Ok: return;
    case cab::CabStage::NotCabinet: ShowWarning(IDS_ARC_UNREADABLE); return;
    case cab::CabStage::OpenFailed: text = fw::Format(L"Unable to open '%ls' for input", archivePath.c_str()); break;
    case cab::CabStage::CreateFailed: text = L"FDICreate() failed: code %d [%ls]"; break;
    case cab::CabStage::CopyFailed:
        if (result.stopped || extractor.Stopped()) return; // the user cancelled, or the write failure was reported
        text = L"FDICopy() failed: code %d [%ls]";
        break;
    case cab::CabStage::DestroyFailed: text = L"FDIDestroy() failed: code %d [%ls]"; break;
    }
    if (result.stage != cab::CabStage::OpenFailed) text = fw::Format(text.c_str(), result.code, cab::FdiErrorText(result.code));
    ReportArchiveProblem(text);
}

void CArchiveDialog::ExtractRar()
{
    RarHandle archive = OpenRar(RAR_OM_EXTRACT);
    if (!archive) return;
    RARSetCallback(archive, this);
    CExtractor extractor(*this, targetDirectory, keepFolders, askOverwrite, memberCount >= 2);
    RARHeaderDataEx header;
    for (size_t row = 0; RARReadHeaderEx(archive, &header) == ERAR_SUCCESS; ++row) {
        if (Cancelled()) break;
        if (!TakesPart(row)) {
            RARProcessFile(archive, RAR_SKIP, nullptr, nullptr);
            continue;
        }
        MemberInfo member;
        member.name = header.FileNameW;
        member.kind = (header.Flags & RHDF_LINK) ? arc::MemberKind::SymLink
                      : (header.Flags & RHDF_DIRECTORY) ? arc::MemberKind::Directory : arc::MemberKind::File;
        member.size = static_cast<int64_t>(std::min<uint64_t>(header.UnpSize, INT64_MAX));
        member.time = header.FileTime;
        // Said before any question, and before anything is created.
        int refusal = member.kind != arc::MemberKind::File ? 0
                      : (header.Flags & RHDF_ENCRYPTED) ? IDS_ARC_RARENCRYPTED
                      : (header.Flags & (RHDF_SPLITBEFORE | RHDF_SPLITAFTER)) ? IDS_ARC_SPLIT
                      : (header.Flags & RHDF_COMPRESSED) ? IDS_ARC_RARCOMPRESSED : 0;
        std::wstring path;
        CExtractor::Outcome outcome = refusal ? (extractor.Refuse(member.name, fw::LoadStr(refusal)) ? CExtractor::Outcome::Skip
                                                                                                     : CExtractor::Outcome::Stop)
                                              : extractor.Prepare(member, path);
        if (outcome != CExtractor::Outcome::Write) {
            RARProcessFile(archive, RAR_SKIP, nullptr, nullptr);
            if (outcome == CExtractor::Outcome::Stop) break;
            continue;
        }
        int result = RARProcessFile(archive, RAR_EXTRACT, nullptr, path.c_str());
        if (Cancelled()) break;
        std::wstring problem;
        if (result == ERAR_BAD_DATA) problem = fw::LoadStr(IDS_ARC_CRC);
        else if (result == ERAR_EREAD) problem = fw::LoadStr(IDS_ARC_TRUNCATED);
        else if (result == ERAR_ECREATE || result == ERAR_EWRITE) problem = fw::LoadStr(IDS_ARC_CANTWRITE) + ShortSystemText(::GetLastError());
        else if (result != ERAR_SUCCESS) problem = fw::LoadStr(IDS_ARC_DAMAGEDDATA);
        if (!extractor.Finish(member, problem)) break;
    }
    RARCloseArchive(archive);
}
