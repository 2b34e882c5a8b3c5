// Names and times of archive members turned into the platform's forms.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

std::wstring DecodeText(const std::string& bytes, UINT codePage);
std::string EncodeText(const std::wstring& text, UINT codePage);

// File times (UTC, 100 ns since 1601); 0 means "no time".
// A DOS date and time in local time.
uint64_t DosTimeToFileTime(uint16_t date, uint16_t time);
uint64_t UnixTimeToFileTime(int64_t seconds, uint32_t hundredNanoseconds = 0);
// The same moment with the seconds of its local time dropped, as the listing shows times.
uint64_t DropSeconds(uint64_t fileTime);
// The other way: a file time (UTC) as a DOS date and time in local time; false before 1980
// or after 2107, when date and time hold the nearest limit.
bool FileTimeToDosTime(uint64_t fileTime, uint16_t& date, uint16_t& time);
