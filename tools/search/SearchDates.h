// The date range of the file search: typed dates read as local midnights, and the default texts.
#pragma once
#include <cstdint>
#include <string>

namespace search {

// The UTC file time of local midnight at the start of the typed day, by the time-zone rules of
// that day. order and separator as the regional settings give them. False for anything that is
// not an existing day.
bool ParseSearchDate(const std::wstring& text, wchar_t order, wchar_t separator, uint64_t& utcTime);

// "dd-mm-yyyy", "mm-dd-yyyy" or "yyyy-mm-dd" with the separator in place of the hyphens.
std::wstring DefaultDateText(int year, int month, int day, wchar_t order, wchar_t separator);

} // namespace search
