// Listing and extraction of a zip archive through the reader, the extractor and the events.
#include "archive/zip/ZipComponent.h"
#include "archive/ArchiveText.h"
#include "archive/Extractor.h"
#include "archive/FileSource.h"
#include "framework/Resources.h"
#include "resource.h"

namespace zip {

void CZipComponent::SetFilesToProcess(const std::wstring& mask)
{
    files.clear();
    allFiles = mask == L"*";
    if (!allFiles) files.insert(mask);
}

void CZipComponent::ClearFilesToProcess()
{
    allFiles = false;
    files.clear();
}

void CZipComponent::AddFileToProcess(const std::wstring& name) { files.insert(name); }

MemberInfo CZipComponent::Describe(const CZipArchive& archive, size_t index) const
{
    const ZipEntry& e = archive.Entries()[index];
    MemberInfo m;
    NameCharset charset;
    std::string bytes = archive.NameBytes(index, charset);
    m.name = DecodeText(bytes, charset == NameCharset::Utf8 ? CP_UTF8 : CP_OEMCP);
    m.kind = e.IsSymLink() ? arc::MemberKind::SymLink : e.IsDirectory() ? arc::MemberKind::Directory : arc::MemberKind::File;
    m.size = static_cast<int64_t>(std::min<uint64_t>(e.uncompressedSize, INT64_MAX));
    int64_t unixTime = 0;
    uint32_t fraction = 0;
    m.time = archive.PreciseTime(index, unixTime, fraction) ? UnixTimeToFileTime(unixTime, fraction)
                                                            : DosTimeToFileTime(e.dosDate, e.dosTime);
    return m;
}

ZipStatus CZipComponent::List()
{
    IArchiveEvents& out = events ? *events : silent;
    arc::CFileSource source;
    if (!source.Open(archiveName)) return ZipStatus::ReadError;
    CZipArchive archive;
    ZipStatus status = archive.Open(source);
    for (size_t i = 0; i < archive.Entries().size(); ++i) out.OnMember(Describe(archive, i));
    return status;
}

std::wstring CZipComponent::ErrorText(ZipStatus status, const ZipEntry* entry)
{
    switch (status) {
    case ZipStatus::Ok: return std::wstring();
    case ZipStatus::UnsupportedMethod: {
        const char* method = entry ? MethodName(entry->method) : nullptr;
        if (!method) return L"Compression method not supported or corrupted data";
        return fw::Format(fw::LoadStr(IDS_ARC_METHOD).c_str(), DecodeText(method, CP_ACP).c_str());
    }
    case ZipStatus::UnsupportedEncryption: return fw::LoadStr(IDS_ARC_ENCRYPTION);
    case ZipStatus::NeedPassword: return fw::LoadStr(IDS_ARC_NOPASSWORD);
    case ZipStatus::WrongPassword: return fw::LoadStr(IDS_ARC_WRONGPASSWORD);
    case ZipStatus::CrcMismatch: return fw::LoadStr(IDS_ARC_CRC);
    case ZipStatus::SizeMismatch: return fw::LoadStr(IDS_ARC_SIZE);
    case ZipStatus::BadData: return L"Compression method not supported or corrupted data";
    case ZipStatus::Truncated: return fw::LoadStr(IDS_ARC_TRUNCATED);
    case ZipStatus::OutsideFile: return fw::LoadStr(IDS_ARC_OUTSIDEFILE);
    case ZipStatus::Overlapping: return fw::LoadStr(IDS_ARC_OVERLAP);
    case ZipStatus::Spanned: return fw::LoadStr(IDS_ARC_SPANNED);
    case ZipStatus::TooManyMembers: return fw::LoadStr(IDS_ARC_TOOMANY);
    case ZipStatus::ReadError: return ShortSystemText(::GetLastError());
    case ZipStatus::NotZip:
    case ZipStatus::Damaged:
    case ZipStatus::Stopped: break;
    }
    return fw::LoadStr(IDS_ARC_DAMAGEDDATA);
}

bool CZipComponent::SettlePassword(CZipArchive& archive, size_t index, const std::wstring& name, std::string& password)
{
    IArchiveEvents& out = events ? *events : silent;
    std::wstring typed;
    if (out.OnPassword(name, typed) == PasswordAnswer::Cancel) return false;
    // Tools differ in how they turn a password into bytes: UTF-8, or the ANSI code page.
    for (UINT codePage : {static_cast<UINT>(CP_UTF8), static_cast<UINT>(CP_ACP)}) {
        password = EncodeText(typed, codePage);
        if (!password.empty() && archive.TestPassword(index, password) == ZipStatus::Ok) return true;
    }
    password.clear();
    return true;
}

ZipStatus CZipComponent::Extract()
{
    IArchiveEvents& out = events ? *events : silent;
    arc::CFileSource source;
    if (!source.Open(archiveName)) return ZipStatus::ReadError;
    CZipArchive archive;
    ZipStatus status = archive.Open(source);
    if (status == ZipStatus::NotZip || status == ZipStatus::Spanned) return status;
    CExtractor extractor(out, targetDirectory, useFolderNames, askOverwrite, offerAllAnswers);
    for (size_t i = 0; i < archive.Entries().size() && !extractor.Stopped(); ++i) {
        MemberInfo member = Describe(archive, i);
        if (!allFiles && !files.count(member.name)) continue;
        const ZipEntry& entry = archive.Entries()[i];
        ZipStatus check = archive.Check(i);
        if (check != ZipStatus::Ok && member.kind != arc::MemberKind::Directory) {
            extractor.Refuse(member.name, ErrorText(check, &entry));
            continue;
        }
        std::string password;
        if (entry.IsEncrypted() && member.kind == arc::MemberKind::File) {
            if (!SettlePassword(archive, i, member.name, password)) break;
            if (password.empty()) {
                out.OnWrongPassword();
                extractor.Refuse(member.name, ErrorText(ZipStatus::WrongPassword));
                continue;
            }
        }
        CMemberFile file(&out);
        CExtractor::Outcome outcome = extractor.Begin(member, file);
        if (outcome == CExtractor::Outcome::Stop) break;
        if (outcome == CExtractor::Outcome::Skip) continue;
        ZipStatus result = archive.Extract(i, file, password);
        extractor.End(member, file, result == ZipStatus::Ok || result == ZipStatus::Stopped ? std::wstring()
                                                                                            : ErrorText(result, &entry));
    }
    return status;
}

} // namespace zip
