// Texts of a panel row: sizes, dates, attribute letters and the name with its case rule.
#pragma once
#include "panel/FileEntry.h"
#include <cstdint>
#include <string>

// Digits grouped by threes from the right with the separator (none when it is 0).
std::wstring FormatSize(uint64_t bytes, wchar_t thousandSeparator);
std::wstring FormatSize(double bytes, wchar_t thousandSeparator);

// "  dd-mm-yy  hh:mm" in the regional order ('0' m-d-y, '1' d-m-y, '2' y-m-d) and separator.
std::wstring FormatDateParts(int year, int month, int day, int hour, int minute, wchar_t order,
                             wchar_t separator);
// "r"/"a"/"h"/"s" or "-" for each attribute.
std::wstring FormatAttributes(uint32_t attributes);

// Column texts of a row; the date needs the local-time conversion done by the caller.
std::wstring NameColumnText(const FileEntry& entry, int fileNameStyle);
std::wstring SizeColumnText(const FileEntry& entry, wchar_t thousandSeparator);
