// Typed texts of the file operations: rename patterns and the attribute dialogs' date and time.
#include "fileops/DateTimeText.h"
#include "fileops/PathRules.h"
#include "fuzz/FuzzTarget.h"

FUZZ_TARGET(rename_pattern)
{
    fuzz::Input in(data, size);
    std::wstring name = in.Text(1024), pattern = in.Text(1024);
    std::wstring result = ApplyRenamePattern(name, pattern);
    FUZZ_CHECK(result.find(L'\0') == std::wstring::npos || (name + pattern).find(L'\0') != std::wstring::npos);
    HasWildcard(pattern);
    LastPart(name);
    DirectoryPart(name);
    RootLength(name);
    ParentDirectory(name);
    PlainPath(name);
    IsRenameInPlace(pattern);
}

FUZZ_TARGET(datetime)
{
    fuzz::Input in(data, size);
    wchar_t order = static_cast<wchar_t>(L'0' + in.Byte() % 3);
    static const wchar_t separators[] = {L'-', L'/', L'.'};
    wchar_t separator = separators[in.Byte() % 3];
    std::wstring date = in.Text(256), time = in.Text(256);
    LocalDateTime value;
    if (!ParseDateTime(date, time, order, separator, value)) return;
    FUZZ_CHECK(value.month >= 1 && value.month <= 12 && value.day >= 1 && value.day <= 31);
    FUZZ_CHECK(value.hour >= 0 && value.hour < 24 && value.minute >= 0 && value.minute < 60);
    // What the dialog writes (two-digit years), it reads back as the same moment.
    if (value.year < 1981 || value.year > 2080) return;
    LocalDateTime again;
    FUZZ_CHECK(ParseDateTime(FormatDialogDate(value, order, separator), FormatDialogTime(value), order, separator, again));
    FUZZ_CHECK(again.year == value.year && again.month == value.month && again.day == value.day);
    FUZZ_CHECK(again.hour == value.hour && again.minute == value.minute);
}
