// Vendor table, colour counts, version, printer, BIOS and memory texts.
#include "tools/sysinfo/SystemInfoText.h"
#include "panel/ListingFormat.h"

namespace {
struct VendorRow {
    const char* vendor;
    Manufacturer manufacturer;
};
const VendorRow Vendors[] = {
    {"AuthenticAMD", {0, L"Advanced Micro Devices"}},
    {"AMD ISBETTER", {0, L"Advanced Micro Devices"}},
    {"GenuineIntel", {1, L"Intel Corporation"}},
    {"Geode By NSC", {2, L"National Semiconductor"}},
    {"UMC UMC UMC ", {3, L"United Microelectronics Corp."}},
    {"CyrixInstead", {4, L"Cyrix Corp., VIA Inc."}},
    {"NexGenDriven", {5, L"NexGen Inc., Advanced Micro Devices"}},
    {"CentaurHauls", {6, L"IDT\\Centaur, Via Inc."}},
    {"RiseRiseRise", {7, L"Rise"}},
    {"GenuineTMx86", {8, L"Transmeta"}},
    {"TransmetaCPU", {8, L"Transmeta"}},
};
}

Manufacturer ManufacturerOf(const std::string& vendor)
{
    for (const VendorRow& row : Vendors)
        if (vendor == row.vendor) return row.manufacturer;
    return {9, L"Unknown Manufacturer"};
}

std::wstring ColourCountText(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 4: return L"16";
    case 8: return L"256";
    case 16: return L"64K";
    case 24: return L"16M";
    case 32: return L"32-bits";
    }
    return std::wstring();
}

std::wstring DisplayModeText(int width, int height, int bitsPerPixel, const std::wstring& suffix)
{
    return std::to_wstring(width) + L"x" + std::to_wstring(height) + L", " + ColourCountText(bitsPerPixel) + suffix;
}

std::wstring OsText(unsigned long platformId, unsigned long major, unsigned long minor, unsigned long build,
                    const std::wstring& servicePack)
{
    std::wstring text = platformId == 0 ? L"Win32S" : platformId == 1 ? L"Windows 95" : platformId == 2 ? L"Windows NT" : L"Windows";
    text += L" " + std::to_wstring(major) + L"." + std::to_wstring(minor);
    if (build & 0xFFFF) text += L" (build " + std::to_wstring(build & 0xFFFF) + L")";
    if (!servicePack.empty()) text += L", " + servicePack;
    return text;
}

std::wstring PrinterText(const std::wstring& device, const std::wstring& joining, const std::wstring& none)
{
    if (device.empty()) return none;
    size_t first = device.find(L','), last = device.rfind(L',');
    if (first == std::wstring::npos) return device;
    return device.substr(0, first) + joining + device.substr(last + 1);
}

std::wstring BiosText(const std::wstring& version, const std::wstring& date)
{
    if (version.empty() && date.empty()) return L"?";
    return version + (version.empty() || date.empty() ? L"" : L", ") + date;
}

std::wstring MemoryText(uint64_t bytes, wchar_t thousandSeparator)
{
    return FormatSize(bytes / 1024, thousandSeparator) + L" K";
}
