// Reading the search's date range the way the attribute dialogs read a typed date.
#include "tools/search/SearchDates.h"
#include "fileops/DateTimeText.h"
#include <windows.h>
#include <cstdio>

namespace search {

bool ParseSearchDate(const std::wstring& text, wchar_t order, wchar_t separator, uint64_t& utcTime)
{
    LocalDateTime day;
    if (!ParseDateTime(text, L"00:00", order, separator == L' ' ? 0 : separator, day)) return false;
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(day.year);
    local.wMonth = static_cast<WORD>(day.month);
    local.wDay = static_cast<WORD>(day.day);
    SYSTEMTIME utc = {};
    FILETIME ft = {};
    if (!::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !::SystemTimeToFileTime(&utc, &ft)) return false;
    utcTime = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return true;
}

std::wstring DefaultDateText(int year, int month, int day, wchar_t order, wchar_t separator)
{
    wchar_t text[32];
    if (order == L'2') std::swprintf(text, 32, L"%04d-%02d-%02d", year, month, day);
    else if (order == L'0') std::swprintf(text, 32, L"%02d-%02d-%04d", month, day, year);
    else std::swprintf(text, 32, L"%02d-%02d-%04d", day, month, year);
    std::wstring result = text;
    if (separator && separator != L' ')
        for (wchar_t& c : result)
            if (c == L'-') c = separator;
    return result;
}

} // namespace search
