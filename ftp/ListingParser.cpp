// Directory listing lines of the common server families, read without any window or socket.
#include "ftp/ListingParser.h"
#include <ctime>

namespace {

const char Months[12][4] = {"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Month index 0-11 of a three-letter field in any letter case, else -1.
int MonthOf(const char* field, size_t length)
{
    if (length != 3) return -1;
    for (int m = 0; m < 12; ++m) {
        bool same = true;
        for (int i = 0; i < 3 && same; ++i) {
            char c = field[i];
            char lower = Months[m][i];
            same = c == lower || c == static_cast<char>(lower - 'a' + 'A');
        }
        if (same) return m;
    }
    return -1;
}

int64_t Number(const char* p, size_t length)
{
    int64_t value = 0;
    for (size_t i = 0; i < length && IsDigit(p[i]); ++i) {
        if (value > (INT64_MAX - 9) / 10) break;
        value = value * 10 + (p[i] - '0');
    }
    return value;
}

// Days, months, years, hours and minutes: no real one has more than five digits, and the cap keeps
// the date arithmetic of a hostile line inside 64 bits.
int64_t DateField(const char* p, size_t length)
{
    int64_t value = Number(p, length);
    return value > 99999 ? 99999 : value;
}

// The times a file can have on Windows (1601 on) up to the end of year 9999.
constexpr int64_t EarliestTime = -11644473600LL, LatestTime = 253402300799LL;

int ParseEplf(const char* line, size_t length, ListingEntry& e)
{
    size_t i = 1;
    while (i < length) {
        size_t start = i;
        while (i < length && line[i] != ',' && line[i] != '\t') ++i;
        if (i >= length) return 0;
        const char* fact = line + start;
        size_t factLength = i - start;
        if (factLength > 0) {
            switch (fact[0]) {
            case '/': e.mayBeDirectory = true; break;
            case 'r': e.mayBeFile = true; break;
            case 's':
                e.sizeKind = 1;
                e.size = Number(fact + 1, factLength - 1);
                break;
            case 'm':
                e.timeKind = 1;
                e.time = Number(fact + 1, factLength - 1);
                break;
            case 'i':
                e.idKind = 1;
                e.id = fact + 1;
                e.idLength = factLength - 1;
                break;
            default: break;
            }
        }
        if (line[i] == '\t') {
            e.name = line + i + 1;
            e.nameLength = length - i - 1;
            return 1;
        }
        ++i;
    }
    return 0;
}

int ParseUnix(const char* line, size_t length, ListingEntry& e, int64_t now)
{
    switch (line[0]) {
    case 'd': e.mayBeDirectory = true; break;
    case '-': e.mayBeFile = true; break;
    case 'l':
        e.mayBeDirectory = true;
        e.mayBeFile = true;
        break;
    default: break;
    }
    int state = 1;
    int month = 0;
    int64_t day = 0;
    size_t start = 0;
    for (size_t i = 1; i < length; ++i) {
        if (line[i] != ' ' || line[i - 1] == ' ') continue;
        const char* field = line + start;
        size_t fieldLength = i - start;
        switch (state) {
        case 1: state = 2; break;
        case 2:
            state = fieldLength == 6 && field[0] == 'f' ? 4 : 3;
            break;
        case 3: state = 4; break;
        case 4:
            e.sizeKind = 1;
            e.size = Number(field, fieldLength);
            state = 5;
            break;
        case 5: {
            int m = MonthOf(field, fieldLength);
            if (m >= 0) {
                month = m;
                state = 6;
            } else {
                e.sizeKind = 1;
                e.size = Number(field, fieldLength);
            }
            break;
        }
        case 6:
            day = DateField(field, fieldLength);
            state = 7;
            break;
        case 7: {
            if ((fieldLength == 4 && field[1] == ':') || (fieldLength == 5 && field[2] == ':')) {
                const char* colon = field + (fieldLength == 4 ? 1 : 2);
                int64_t hours = DateField(field, static_cast<size_t>(colon - field));
                int64_t minutes = DateField(colon + 1, 2);
                e.timeKind = 2;
                e.time = ListingGuessYearTime(month, static_cast<int>(day), now) + hours * 3600 + minutes * 60;
            } else if (fieldLength >= 4) {
                e.timeKind = 3;
                e.time = ListingDayNumber(DateField(field, fieldLength), month, static_cast<int>(day)) * 86400;
            } else {
                return 0;
            }
            e.name = line + i + 1;
            e.nameLength = length - i - 1;
            if (line[0] == 'l') {
                for (size_t k = 0; k + 4 <= e.nameLength; ++k)
                    if (e.name[k] == ' ' && e.name[k + 1] == '-' && e.name[k + 2] == '>' && e.name[k + 3] == ' ') {
                        e.nameLength = k;
                        break;
                    }
            }
            if ((line[1] == ' ' || line[1] == '[') && e.nameLength > 3 && e.name[0] == ' ' && e.name[1] == ' ' &&
                e.name[2] == ' ') {
                e.name += 3;
                e.nameLength -= 3;
            }
            return 1;
        }
        default: break;
        }
        start = i + 1;
        while (start < length && line[start] == ' ') ++start;
        i = start > i ? start - 1 : i;
    }
    return 0;
}

int ParseDos(const char* line, size_t length, ListingEntry& e)
{
    size_t i = 0;
    auto digits = [&](int64_t& value) {
        size_t from = i;
        while (i < length && IsDigit(line[i])) ++i;
        value = DateField(line + from, i - from);
        return i < length;
    };
    auto skip = [&](char c) {
        while (i < length && line[i] == c) ++i;
        return i < length;
    };
    int64_t month = 0, day = 0, year = 0, hours = 0, minutes = 0;
    if (!digits(month) || line[i] != '-' || !skip('-')) return 0;
    if (!digits(day) || line[i] != '-' || !skip('-')) return 0;
    if (!digits(year) || line[i] != ' ') return 0;
    if (year < 50) year += 2000;
    if (year < 1000) year += 1900;
    if (!skip(' ')) return 0;
    if (!digits(hours) || line[i] != ':') return 0;
    ++i;
    if (!digits(minutes)) return 0;
    while (i < length && line[i] != 'A' && line[i] != 'P') ++i;
    if (i >= length) return 0;
    if (hours == 12) hours = 0;
    if (line[i] == 'P') hours += 12;
    ++i;
    if (i < length && line[i] == 'M') ++i;
    if (!skip(' ')) return 0;
    if (line[i] == '<') {
        e.mayBeDirectory = true;
        while (i < length && line[i] != ' ') ++i;
    } else {
        size_t from = i;
        while (i < length && IsDigit(line[i])) ++i;
        int64_t size = Number(line + from, i - from);
        e.mayBeFile = true;
        e.sizeKind = 1;
        e.size = size;
        while (i < length && line[i] != ' ') ++i;
    }
    if (!skip(' ')) return 0;
    e.name = line + i;
    e.nameLength = length - i;
    e.timeKind = 2;
    e.time = ListingDayNumber(year, static_cast<int>(month) - 1, static_cast<int>(day)) * 86400 + hours * 3600 +
             minutes * 60;
    return 1;
}

// 1 recognised, 0 not, -1 the month is no month name (the caller tries the MS-DOS form).
int ParseVms(const char* line, size_t length, ListingEntry& e)
{
    size_t i = 0;
    while (i < length && line[i] != ' ' && line[i] != '\r' && line[i] != '\t') ++i;
    e.name = line;
    e.nameLength = i;
    size_t semicolon = 0;
    while (semicolon < i && line[semicolon] != ';') ++semicolon;
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    if (semicolon > 4 && line[semicolon - 4] == '.' && upper(line[semicolon - 3]) == 'D' &&
        upper(line[semicolon - 2]) == 'I' && upper(line[semicolon - 1]) == 'R')
        e.mayBeDirectory = true;
    else
        e.mayBeFile = true;
    while (i < length && line[i] == ' ') ++i;
    size_t from = i;
    while (i < length && IsDigit(line[i])) ++i;
    e.sizeKind = 1;
    int64_t blocks = Number(line + from, i - from);
    e.size = blocks > INT64_MAX / 512 ? INT64_MAX : blocks * 512;
    // "used/allocated" block counts: the allocation is not the size.
    while (i < length && line[i] != ' ') ++i;
    while (i < length && line[i] == ' ') ++i;
    from = i;
    while (i < length && IsDigit(line[i])) ++i;
    if (i >= length || line[i] != '-') return 0;
    int64_t day = DateField(line + from, i - from);
    from = ++i;
    while (i < length && line[i] != '-') ++i;
    if (i >= length) return 0;
    int month = MonthOf(line + from, i - from);
    if (month < 0) return -1;
    from = ++i;
    while (i < length && IsDigit(line[i])) ++i;
    if (i >= length) return 0;
    int64_t year = DateField(line + from, i - from);
    while (i < length && line[i] == ' ') ++i;
    from = i;
    while (i < length && IsDigit(line[i])) ++i;
    if (i >= length || line[i] != ':' || i == from) return 0;
    int64_t hours = DateField(line + from, i - from);
    from = ++i;
    while (i < length && IsDigit(line[i])) ++i;
    if (i == from) return 0;
    int64_t minutes = DateField(line + from, i - from);
    e.timeKind = 2;
    e.time = ListingDayNumber(year, month, static_cast<int>(day)) * 86400 + hours * 3600 + minutes * 60;
    return 1;
}
}

int64_t ListingDayNumber(int64_t year, int month, int day)
{
    // Days from civil: March-based years make the leap day the year's last.
    int64_t y = year - (month < 2 ? 1 : 0);
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t yoe = y - era * 400;
    int64_t mp = (month + 10) % 12;
    int64_t doy = (153 * mp + 2) / 5 + day - 1;
    int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int64_t ListingGuessYearTime(int month, int day, int64_t now)
{
    int64_t thisYear = 1970;
    while (ListingDayNumber(thisYear + 1, 0, 1) * 86400 <= now) ++thisYear;
    while (ListingDayNumber(thisYear, 0, 1) * 86400 > now) --thisYear;
    for (int64_t year = thisYear - 1; year <= thisYear + 99; ++year) {
        int64_t t = ListingDayNumber(year, month, day) * 86400;
        if (now - t < 30240000) return t;
    }
    return 0;
}

static int ParseLine(const char* line, size_t length, ListingEntry& entry, int64_t now)
{
    entry = ListingEntry{};
    if (!line || length < 2) return 0;
    switch (line[0]) {
    case '+': return ParseEplf(line, length, entry);
    case 'b':
    case 'c':
    case 'd':
    case 'l':
    case 'p':
    case 's':
    case '-': return ParseUnix(line, length, entry, now);
    default: break;
    }
    bool hasSemicolon = false;
    for (size_t i = 0; i < length && !hasSemicolon; ++i) hasSemicolon = line[i] == ';';
    if (hasSemicolon) {
        int r = ParseVms(line, length, entry);
        if (r >= 0) return r;
        entry = ListingEntry{};
    }
    if (IsDigit(line[0])) {
        int r = ParseDos(line, length, entry);
        if (!r) entry = ListingEntry{};
        return r;
    }
    return 0;
}

int ParseListingLine(const char* line, size_t length, ListingEntry& entry, int64_t now)
{
    int r = ParseLine(line, length, entry, now);
    // A time no file can have is no time: the caller turns it into a file time.
    if (r == 1 && entry.timeKind != 0 && (entry.time < EarliestTime || entry.time > LatestTime)) {
        entry.timeKind = 0;
        entry.time = 0;
    }
    return r;
}

int ParseListingLine(const char* line, size_t length, ListingEntry& entry)
{
    return ParseListingLine(line, length, entry, static_cast<int64_t>(std::time(nullptr)));
}
