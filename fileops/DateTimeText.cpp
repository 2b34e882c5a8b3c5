// Reading and writing the typed dates and times of the attribute dialogs.
#include "fileops/DateTimeText.h"
#include <cstdio>
#include <utility>
#include <vector>

namespace {
// The numbers of text; false when anything but digits and the given separators appears.
bool ReadNumbers(const std::wstring& text, const std::wstring& separators, std::vector<int>& numbers)
{
    size_t i = 0;
    while (i < text.size()) {
        wchar_t c = text[i];
        if (c == L' ' || separators.find(c) != std::wstring::npos) {
            ++i;
            continue;
        }
        if (c < L'0' || c > L'9') return false;
        int value = 0, digits = 0;
        while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
            if (++digits > 4) return false;
            value = value * 10 + (text[i++] - L'0');
        }
        numbers.push_back(value);
    }
    return true;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}
}

bool ParseDateTime(const std::wstring& dateText, const std::wstring& timeText, wchar_t order, wchar_t separator,
                   LocalDateTime& out)
{
    std::vector<int> date, time;
    std::wstring dateSeparators = L"-/.";
    if (separator) dateSeparators += separator;
    if (!ReadNumbers(dateText, dateSeparators, date) || date.size() != 3) return false;
    if (!ReadNumbers(timeText, L":.", time) || time.size() != 2) return false;
    LocalDateTime v;
    switch (order) {
    case L'0': v.month = date[0]; v.day = date[1]; v.year = date[2]; break;
    case L'2': v.year = date[0]; v.month = date[1]; v.day = date[2]; break;
    default: v.day = date[0]; v.month = date[1]; v.year = date[2]; break;
    }
    if (v.year <= 80) v.year += 2000;
    else if (v.year < 100) v.year += 1900;
    v.hour = time[0];
    v.minute = time[1];
    if (v.year < 1601 || v.month < 1 || v.month > 12 || v.day < 1 || v.day > DaysInMonth(v.year, v.month)) return false;
    if (v.hour > 23 || v.minute > 59) return false;
    out = v;
    return true;
}

std::wstring FormatDialogDate(const LocalDateTime& value, wchar_t order, wchar_t separator)
{
    int first = value.day, second = value.month, third = value.year % 100;
    if (order == L'0') std::swap(first, second);
    else if (order == L'2') {
        first = value.year % 100;
        second = value.month;
        third = value.day;
    }
    wchar_t text[16];
    std::swprintf(text, 16, L"%0.2d-%0.2d-%0.2d", first, second, third);
    text[2] = text[5] = separator ? separator : L'-';
    return text;
}

std::wstring FormatDialogTime(const LocalDateTime& value)
{
    wchar_t text[8];
    std::swprintf(text, 8, L"%0.2d:%0.2d", value.hour, value.minute);
    return text;
}
