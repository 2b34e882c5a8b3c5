// The date and time texts of the attribute dialogs: reading what was typed, writing a file's time.
#pragma once
#include <string>

struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// Order '0' month-day-year, '1' day-month-year, '2' year-month-day. Two-digit years: 80 and
// below are 2000-2080, 81-99 are 1981-1999. False, with out untouched, unless the texts hold
// exactly three and two numbers that name an existing day and time.
bool ParseDateTime(const std::wstring& dateText, const std::wstring& timeText, wchar_t order, wchar_t separator,
                   LocalDateTime& out);

// "dd-mm-yy" in the order with the separator, and "hh:mm".
std::wstring FormatDialogDate(const LocalDateTime& value, wchar_t order, wchar_t separator);
std::wstring FormatDialogTime(const LocalDateTime& value);
