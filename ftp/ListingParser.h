// One line of a server's directory listing read into a record: EPLF, UNIX long, VMS/Multinet, MS-DOS.
#pragma once
#include <cstddef>
#include <cstdint>

struct ListingEntry {
    const char* name = nullptr;
    size_t nameLength = 0;
    bool mayBeDirectory = false;
    bool mayBeFile = false;
    int sizeKind = 0; // 0 unknown, 1 bytes
    int64_t size = 0;
    int timeKind = 0; // 0 unknown, 1 absolute, 2 server's local time to the minute, 3 server's local day only
    int64_t time = 0; // seconds since 1970-01-01 00:00
    int idKind = 0;
    const char* id = nullptr;
    size_t idLength = 0;
};

// 1 when the line was recognised, else 0; names and identifiers point into the line.
// now (seconds since 1970) decides the year of entries listed without one.
int ParseListingLine(const char* line, size_t length, ListingEntry& entry, int64_t now);
int ParseListingLine(const char* line, size_t length, ListingEntry& entry);

// Days since 1970-01-01 of a Gregorian date (month 0-11).
int64_t ListingDayNumber(int64_t year, int month, int day);
// The time of a day and month without a year: in the first year from last year on in which it lies
// less than 350 days before now; 0 when none does.
int64_t ListingGuessYearTime(int month, int day, int64_t now);
