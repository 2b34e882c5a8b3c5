// Code page conversions and the local-time rules of DOS and Unix member times.
#include "archive/ArchiveText.h"

std::wstring DecodeText(const std::string& bytes, UINT codePage)
{
    if (bytes.empty()) return std::wstring();
    int n = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

std::string EncodeText(const std::wstring& text, UINT codePage)
{
    if (text.empty()) return std::string();
    int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr, nullptr);
    return bytes;
}

namespace {
// Asking the platform for the time zone on every conversion costs more than the conversion
// itself (a listing converts every member's time); it is read again after a second.
const TIME_ZONE_INFORMATION* TimeZone()
{
    static TIME_ZONE_INFORMATION zone;
    static DWORD readAt = 0;
    static bool read = false;
    DWORD now = ::GetTickCount();
    if (!read || now - readAt > 1000) {
        ::GetTimeZoneInformation(&zone);
        readAt = now;
        read = true;
    }
    return &zone;
}

uint64_t FromLocal(const SYSTEMTIME& local)
{
    SYSTEMTIME utc;
    FILETIME ft;
    // The rule of the member's own date, summer time included.
    if (!::TzSpecificLocalTimeToSystemTime(TimeZone(), &local, &utc) || !::SystemTimeToFileTime(&utc, &ft)) return 0;
    return static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
}
}

uint64_t DosTimeToFileTime(uint16_t date, uint16_t time)
{
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(1980 + (date >> 9));
    local.wMonth = static_cast<WORD>((date >> 5) & 15);
    local.wDay = static_cast<WORD>(date & 31);
    local.wHour = static_cast<WORD>(time >> 11);
    local.wMinute = static_cast<WORD>((time >> 5) & 63);
    local.wSecond = static_cast<WORD>((time & 31) * 2);
    if (local.wMonth < 1 || local.wMonth > 12 || local.wDay < 1 || local.wHour > 23 || local.wMinute > 59 ||
        local.wSecond > 59)
        return 0;
    return FromLocal(local);
}

uint64_t UnixTimeToFileTime(int64_t seconds, uint32_t hundredNanoseconds)
{
    constexpr int64_t EpochSeconds = 11644473600; // 1601 to 1970
    if (seconds < -EpochSeconds || seconds > 900000000000) return 0;
    return static_cast<uint64_t>(seconds + EpochSeconds) * 10000000ull + hundredNanoseconds;
}

uint64_t DropSeconds(uint64_t fileTime)
{
    if (fileTime == 0) return 0;
    FILETIME utc = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME u, local;
    if (!::FileTimeToSystemTime(&utc, &u) || !::SystemTimeToTzSpecificLocalTime(TimeZone(), &u, &local)) return fileTime;
    local.wSecond = 0;
    local.wMilliseconds = 0;
    uint64_t result = FromLocal(local);
    return result ? result : fileTime;
}

bool FileTimeToDosTime(uint64_t fileTime, uint16_t& date, uint16_t& time)
{
    FILETIME utc = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME u, local;
    if (!::FileTimeToSystemTime(&utc, &u) || !::SystemTimeToTzSpecificLocalTime(TimeZone(), &u, &local) ||
        local.wYear < 1980) {
        date = (1 << 5) | 1; // 1980-01-01 00:00
        time = 0;
        return false;
    }
    if (local.wYear > 2107) {
        date = static_cast<uint16_t>(127 << 9 | 12 << 5 | 31);
        time = static_cast<uint16_t>(23 << 11 | 59 << 5 | 29);
        return false;
    }
    date = static_cast<uint16_t>((local.wYear - 1980) << 9 | local.wMonth << 5 | local.wDay);
    time = static_cast<uint16_t>(local.wHour << 11 | local.wMinute << 5 | local.wSecond / 2);
    return true;
}
