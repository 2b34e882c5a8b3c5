// Member names checked part by part before anything is written.
#include "archive/MemberName.h"
#include <cwctype>
#include <vector>

namespace {
constexpr size_t MaxPartLength = 255;

bool IsDeviceName(const std::wstring& part)
{
    // The device is reached whatever follows the first dot, and with trailing blanks.
    std::wstring base = part.substr(0, part.find(L'.'));
    while (!base.empty() && base.back() == L' ') base.pop_back();
    for (wchar_t& c : base) c = static_cast<wchar_t>(std::towupper(c));
    static const wchar_t* const fixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* d : fixed)
        if (base == d) return true;
    // COM1-9 and LPT1-9, also with the superscript digits the platform treats alike.
    if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0)) {
        wchar_t d = base[3];
        return (d >= L'1' && d <= L'9') || d == L'\u00B9' || d == L'\u00B2' || d == L'\u00B3';
    }
    return false;
}

NameProblem CheckPart(const std::wstring& part)
{
    if (part == L"..") return NameProblem::ParentReference;
    if (part.size() > MaxPartLength) return NameProblem::PartTooLong;
    for (wchar_t c : part) {
        if (c < 0x20 || c == 0x7F) return NameProblem::BadCharacter;
        if (c == L':') return NameProblem::DriveOrStream;
        if (c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*') return NameProblem::BadCharacter;
    }
    // The platform drops trailing dots and blanks, so "a." would land on "a" and "..." on ".".
    if (part.back() == L'.' || part.back() == L' ') return NameProblem::TrailingDotOrSpace;
    if (IsDeviceName(part)) return NameProblem::DeviceName;
    return NameProblem::None;
}
}

NameProblem SafeRelativePath(const std::wstring& stored, bool keepFolders, std::wstring& relative)
{
    relative.clear();
    if (!stored.empty() && (stored[0] == L'\\' || stored[0] == L'/')) return NameProblem::Absolute;
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= stored.size()) {
        size_t end = stored.find_first_of(L"\\/", start);
        if (end == std::wstring::npos) end = stored.size();
        std::wstring part = stored.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == L".") continue;
        NameProblem problem = CheckPart(part);
        if (problem != NameProblem::None) return problem;
        parts.push_back(std::move(part));
    }
    if (parts.empty()) return NameProblem::Empty;
    if (!keepFolders) {
        relative = parts.back();
        return NameProblem::None;
    }
    for (const std::wstring& part : parts) {
        if (!relative.empty()) relative += L'\\';
        relative += part;
    }
    return NameProblem::None;
}

std::wstring BareName(const std::wstring& stored)
{
    std::wstring name = stored;
    while (!name.empty() && (name.back() == L'/' || name.back() == L'\\')) name.pop_back();
    size_t slash = name.find_last_of(L"\\/");
    return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

bool HasFolders(const std::wstring& stored, bool slashCounts)
{
    return stored.find(L'\\') != std::wstring::npos || (slashCounts && stored.find(L'/') != std::wstring::npos);
}
