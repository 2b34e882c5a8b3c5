// Listing by archive type: zip through the zip library, gzip and tar through our own readers,
// cabinets through the platform's decompressor, rar through the rar library.
#include "archive/ArchiveDialog.h"
#include "archive/ArchiveText.h"
#include "archive/Cabinet.h"
#include "archive/FileSource.h"
#include "archive/Gzip.h"
#include "archive/MemberName.h"
#include "archive/StreamMembers.h"
#include "archive/rar/UnRar.h"
#include "archive/zip/ZipComponent.h"
#include "common/Program.h"
#include "fileops/PathRules.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include <vector>

namespace {
void Unreadable() { ShowWarning(IDS_ARC_UNREADABLE); }

void ShowPlain(const std::wstring& text) { ::MessageBoxW(nullptr, text.c_str(), ProductName, MB_OK | MB_ICONSTOP); }

// Rows for the members of a tar stream, wherever it comes from.
class CTarLister : public arc::IGzipContent {
public:
    CTarLister(IArchiveEvents& rows, const std::wstring& singleName, uint64_t singleTime)
        : rows(rows), singleName(singleName), singleTime(singleTime) {}
    bool OnEntry(const arc::TarEntry& entry) override
    {
        rows.OnMember(DescribeTar(entry));
        return false;
    }
    bool OnData(const uint8_t*, size_t) override { return false; }
    void OnEntryEnd(bool) override {}
    void OnDamage(uint64_t offset, arc::TarProblem) override
    {
        if (damage.empty()) damage = fw::Format(fw::LoadStr(IDS_ARC_BADHEADER).c_str(), static_cast<unsigned long long>(offset));
    }
    arc::IDataSink* OnSingleFile() override
    {
        MemberInfo m;
        m.name = singleName;
        m.time = singleTime;
        rows.OnMember(m);
        return nullptr;
    }
    std::wstring damage;

private:
    IArchiveEvents& rows;
    std::wstring singleName;
    uint64_t singleTime;
};

class CCabLister : public cab::ICabHandler {
public:
    explicit CCabLister(IArchiveEvents& rows) : rows(rows) {}
    arc::IDataSink* OnMember(const cab::CabMember& member) override
    {
        MemberInfo m;
        m.name = member.name;
        m.size = static_cast<int64_t>(member.size);
        m.time = DosTimeToFileTime(member.date, member.time);
        rows.OnMember(m);
        return nullptr;
    }
    void OnMemberEnd(const cab::CabMember&, bool) override {}

private:
    IArchiveEvents& rows;
};
}

void CArchiveDialog::AddRow(const std::wstring& name, uint64_t time, int64_t size, bool slashIsSeparator)
{
    if (rows.size() >= MaxRows) {
        if (!damaged) damage = fw::LoadStr(IDS_ARC_TOOMANY);
        damaged = true;
        return;
    }
    if (!hasFolders && ::HasFolders(name, slashIsSeparator)) hasFolders = true;
    rows.push_back(ArchiveRow{name, DropSeconds(time), size});
}

void CArchiveDialog::OnMember(const MemberInfo& member) { AddRow(member.name, member.time, member.size, slashCounts); }

bool CArchiveDialog::ListArchive()
{
    type = DetectArchiveType(archivePath);
    // Only cabinets keep "/" as part of a name.
    slashCounts = type != ArchiveCabinet;
    switch (type) {
    case ArchiveZip: return ListZip();
    case ArchiveGzip: return ListGzip();
    case ArchiveTar: return ListTar();
    case ArchiveCabinet: return ListCabinet();
    case ArchiveRar: return ListRar();
    }
    return false;
}

bool CArchiveDialog::ListZip()
{
    zip::CZipComponent library;
    library.SetEventCallback(this);
    library.SetArchiveName(archivePath);
    library.SetFilesToProcess(L"*");
    zip::ZipStatus status;
    {
        fw::RedrawOff redraw(list.Handle());
        status = library.List();
    }
    switch (status) {
    case zip::ZipStatus::Ok: return true;
    case zip::ZipStatus::Damaged:
    case zip::ZipStatus::TooManyMembers:
        if (rows.empty()) break;
        damaged = true;
        if (damage.empty()) damage = status == zip::ZipStatus::TooManyMembers ? fw::LoadStr(IDS_ARC_TOOMANY) : std::wstring();
        return true;
    case zip::ZipStatus::Spanned: ShowPlain(fw::LoadStr(IDS_ARC_SPANNED)); return false;
    default: break;
    }
    Unreadable();
    return false;
}

std::wstring CArchiveDialog::GzipMemberName(const std::string& storedName, bool hasName) const
{
    if (hasName) return DecodeText(storedName, 28591); // ISO 8859-1
    std::wstring name = LastPart(archivePath);
    size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

bool CArchiveDialog::ListGzip()
{
    arc::CFileSource source;
    if (!source.Open(archivePath)) {
        Unreadable();
        return false;
    }
    std::vector<uint8_t> head(static_cast<size_t>(std::min<uint64_t>(source.Size(), arc::CGzipDecoder::MaxHeaderSize)));
    arc::GzipHeader header;
    if (!arc::ReadExact(source, 0, head.data(), head.size()) ||
        arc::ParseGzipHeader(head.data(), head.size(), header) != arc::GzipStatus::Ok) {
        Unreadable();
        return false;
    }
    // The header's time is taken as the member's; 0 means none was stored.
    uint64_t time = header.mtime ? UnixTimeToFileTime(header.mtime) : 0;
    CTarLister lister(*this, GzipMemberName(header.name, header.hasName), time);
    arc::CGzipContentSink content(lister);
    arc::CGzipDecoder decoder;
    arc::GzipStatus status = arc::GzipStatus::Ok;
    {
        fw::RedrawOff redraw(list.Handle());
        bool read = ReadInPieces(source, [&](const uint8_t* data, size_t size) {
            status = decoder.Feed(data, size, content);
            return status == arc::GzipStatus::Ok;
        });
        if (!read) status = arc::GzipStatus::Truncated;
        if (status == arc::GzipStatus::Ok) status = decoder.Finish();
        content.Finish();
    }
    // A single compressed file is listed from its header; its data is checked when it is extracted.
    bool single = content.Decided() && !content.IsTar();
    if (!single && status != arc::GzipStatus::Ok) {
        damaged = true;
        damage = GzipProblemText(status);
    }
    if (content.IsTar() && content.Tar().Damaged()) {
        damaged = true;
        damage = lister.damage;
    }
    return true;
}

bool CArchiveDialog::ListTar()
{
    arc::CFileSource source;
    uint8_t first[arc::TarBlock];
    if (!source.Open(archivePath) || !arc::ReadExact(source, 0, first, sizeof(first)) || !arc::TarChecksumMatches(first)) {
        Unreadable();
        return false;
    }
    CTarLister lister(*this, std::wstring(), 0);
    arc::CTarStream tar(lister);
    {
        fw::RedrawOff redraw(list.Handle());
        ReadInPieces(source, [&](const uint8_t* data, size_t size) {
            tar.Feed(data, size);
            return !tar.Ended();
        });
        tar.Finish();
    }
    if (tar.Damaged()) {
        damaged = true;
        damage = lister.damage;
    }
    return true;
}

bool CArchiveDialog::ListCabinet()
{
    CCabLister lister(*this);
    cab::CabResult result;
    {
        fw::RedrawOff redraw(list.Handle());
        result = cab::RunCabinet(archivePath, lister);
    }
    switch (result.stage) {
    case cab::CabStage::Ok: return true;
    case cab::CabStage::NotCabinet: Unreadable(); return false;
    case cab::CabStage::OpenFailed: ShowPlain(fw::Format(L"Unable to open '%ls' for input", archivePath.c_str())); return false;
    case cab::CabStage::CreateFailed:
        ShowPlain(fw::Format(L"FDICreate() failed: code %d [%ls]", result.code, cab::FdiErrorText(result.code)));
        return false;
    case cab::CabStage::CopyFailed:
        ShowPlain(fw::Format(L"FDICopy() failed: code %d [%ls]", result.code, cab::FdiErrorText(result.code)));
        return false;
    case cab::CabStage::DestroyFailed:
        ShowPlain(fw::Format(L"FDIDestroy() failed: code %d [%ls]", result.code, cab::FdiErrorText(result.code)));
        return false;
    }
    return false;
}

RarArchive* CArchiveDialog::OpenRar(unsigned mode)
{
    std::vector<char> comment(16384);
    RAROpenArchiveDataEx open;
    open.ArcNameW = archivePath;
    open.CmtBuf = comment.data();
    open.CmtBufSize = static_cast<unsigned>(comment.size());
    open.OpenMode = mode;
    RarHandle archive = RAROpenArchiveEx(&open);
    if (!archive && open.OpenResult == ERAR_MISSING_PASSWORD) ShowPlain(fw::LoadStr(IDS_ARC_ENCRYPTEDLIST));
    else if (!archive) Unreadable();
    return archive;
}

bool CArchiveDialog::ListRar()
{
    RarHandle archive = OpenRar(RAR_OM_LIST);
    if (!archive) return false;
    int result = ERAR_SUCCESS;
    {
        fw::RedrawOff redraw(list.Handle());
        RARHeaderDataEx header;
        while ((result = RARReadHeaderEx(archive, &header)) == ERAR_SUCCESS) {
            AddRow(header.FileNameW, header.FileTime, static_cast<int64_t>(std::min<uint64_t>(header.UnpSize, INT64_MAX)), true);
            RARProcessFile(archive, RAR_SKIP, nullptr, nullptr);
        }
    }
    RARCloseArchive(archive);
    if (result == ERAR_MISSING_PASSWORD && rows.empty()) {
        ShowPlain(fw::LoadStr(IDS_ARC_ENCRYPTEDLIST));
        return false;
    }
    if (result != ERAR_END_ARCHIVE) damaged = true;
    return true;
}
