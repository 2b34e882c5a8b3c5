// Pure formatting of the panel's columns, shared with every dialog that shows sizes and dates.
#include "panel/ListingFormat.h"
#include <cmath>
#include <cstdio>
#include <cwctype>

std::wstring EntryPath(const std::wstring& directory, const std::wstring& name)
{
    // Rows of the file search carry a full path, on a drive or on a network share.
    if (name.size() >= 2 && (name[1] == L':' || (name[0] == L'\\' && name[1] == L'\\'))) return name;
    std::wstring path = directory;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path + name;
}

namespace {
std::wstring GroupDigits(const std::wstring& digits, wchar_t separator)
{
    if (!separator) return digits;
    std::wstring out;
    size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}
}

std::wstring FormatSize(uint64_t bytes, wchar_t thousandSeparator)
{
    return GroupDigits(std::to_wstring(bytes), thousandSeparator);
}

std::wstring FormatSize(double bytes, wchar_t thousandSeparator)
{
    if (!(bytes >= 0)) bytes = 0;
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"%.0f", std::floor(bytes + 0.5));
    return GroupDigits(buffer, thousandSeparator);
}

std::wstring FormatDateParts(int year, int month, int day, int hour, int minute, wchar_t order,
                             wchar_t separator)
{
    int first = day, second = month, third = year % 100;
    if (order == L'0') { first = month; second = day; }
    else if (order == L'2') { first = year % 100; second = month; third = day; }
    wchar_t buffer[40];
    std::swprintf(buffer, 40, L"  %0.2d-%0.2d-%0.2d  %0.2d:%0.2d", first, second, third, hour, minute);
    std::wstring text = buffer;
    if (separator && text.size() > 7) text[4] = text[7] = separator;
    return text;
}

std::wstring FormatAttributes(uint32_t attributes)
{
    std::wstring text;
    text += (attributes & AttrReadOnly) ? L'r' : L'-';
    text += (attributes & AttrArchive) ? L'a' : L'-';
    text += (attributes & AttrHidden) ? L'h' : L'-';
    text += (attributes & AttrSystem) ? L's' : L'-';
    return text;
}

std::wstring NameColumnText(const FileEntry& entry, int fileNameStyle)
{
    bool directory = entry.IsDirectoryLike();
    std::wstring text = directory ? L"[" + entry.name + L"]" : entry.name;
    bool upper = false, lower = false;
    switch (fileNameStyle) {
    case 2450: upper = true; break;
    case 2460: lower = true; break;
    case 2463: upper = !directory; lower = directory; break;
    case 2467: upper = directory; lower = !directory; break;
    default: break;
    }
    for (wchar_t& c : text) {
        if (upper) c = static_cast<wchar_t>(std::towupper(c));
        else if (lower) c = static_cast<wchar_t>(std::towlower(c));
    }
    return text;
}

std::wstring SizeColumnText(const FileEntry& entry, wchar_t thousandSeparator)
{
    if (entry.IsDirectoryLike()) return L"<DIR>   ";
    return FormatSize(entry.Size(), thousandSeparator);
}
