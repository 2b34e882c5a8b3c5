// The texts of the system-information page, made from plain values.
#pragma once
#include <cstdint>
#include <string>

struct Manufacturer {
    int code;
    const wchar_t* name;
};
// The processor's 12-character vendor string, compared exactly; anything else is code 9.
Manufacturer ManufacturerOf(const std::string& vendor);

// "16", "256", "64K", "16M", "32-bits", or nothing for another depth.
std::wstring ColourCountText(int bitsPerPixel);
// "%dx%d, " with the resolution, the colour count and the suffix.
std::wstring DisplayModeText(int width, int height, int bitsPerPixel, const std::wstring& suffix);
// "Windows NT 6.1 (build 7601), Service Pack 1"; a build whose low 16 bits are 0 is left out.
std::wstring OsText(unsigned long platformId, unsigned long major, unsigned long minor, unsigned long build,
                    const std::wstring& servicePack);
// "windows"/"device" ("name,driver,port") as the name, the joining text and the port; without a
// comma the whole value; when empty the none text.
std::wstring PrinterText(const std::wstring& device, const std::wstring& joining, const std::wstring& none);
// The version and the date, joined by ", " when there are both; "?" when both are empty.
std::wstring BiosText(const std::wstring& version, const std::wstring& date);
// Bytes as kilobytes in the panels' number format, with " K".
std::wstring MemoryText(uint64_t bytes, wchar_t thousandSeparator);
