// Gathering the facts: CPUID, memory in 64 bits, the display, the printer setting, the kernel's
// version and the BIOS keys.
#include "tools/sysinfo/SystemInfo.h"
#include "common/Program.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include "tools/sysinfo/SystemInfoText.h"
#include <cpuid.h>
#include <cstring>
#include <vector>

namespace {
std::wstring OpenAndRead(const wchar_t* subkey, const wchar_t* value, bool& opened, bool& found)
{
    HKEY raw = nullptr;
    opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, &raw) == ERROR_SUCCESS;
    fw::UniqueKey key(raw);
    found = false;
    return opened ? RegistryText(key.Get(), value, found) : std::wstring();
}

std::wstring DisplayText()
{
    fw::WindowDC screen(nullptr);
    int bits = ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES);
    return DisplayModeText(::GetDeviceCaps(screen, HORZRES), ::GetDeviceCaps(screen, VERTRES), bits,
                           fw::LoadStr(IDS_SYSINFO_COLOURS));
}

// SYSTEM.INI names a driver only on old systems; then the primary display device's description.
std::wstring DisplayDriverText()
{
    wchar_t driver[512] = {};
    ::GetPrivateProfileStringW(L"boot.description", L"display.drv", L"", driver, 512, L"SYSTEM.INI");
    if (driver[0]) return driver;
    DISPLAY_DEVICEW device = {sizeof(device)};
    for (DWORD i = 0; ::EnumDisplayDevicesW(nullptr, i, &device, 0); ++i)
        if ((device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) && device.DeviceString[0]) return device.DeviceString;
    return L"?";
}

std::wstring PrinterDevice()
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        DWORD n = ::GetProfileStringW(L"windows", L"device", L"", buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size() - 1 || buffer.size() >= 32768) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 4);
    }
}
}

std::string CpuVendor()
{
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(0, &eax, &ebx, &ecx, &edx)) return std::string();
    char vendor[12];
    std::memcpy(vendor, &ebx, 4);
    std::memcpy(vendor + 4, &edx, 4);
    std::memcpy(vendor + 8, &ecx, 4);
    return std::string(vendor, 12);
}

OsVersion RealOsVersion()
{
    OSVERSIONINFOEXW info = {sizeof(info)};
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    if (!rtlGetVersion || rtlGetVersion(&info) != 0) {
        info = OSVERSIONINFOEXW{sizeof(info)};
        ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
    }
    info.szCSDVersion[127] = L'\0';
    return OsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.szCSDVersion};
}

std::wstring RegistryText(HKEY key, const wchar_t* value, bool& found)
{
    found = false;
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(key, value, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::wstring();
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return std::wstring();
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
    DWORD size = static_cast<DWORD>((buffer.size() - 2) * sizeof(wchar_t));
    if (::RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return std::wstring();
    size_t length = std::min<size_t>(size / sizeof(wchar_t), buffer.size() - 2);
    std::wstring text(buffer.data(), length);
    // The strings of a multi-string joined by blanks; trailing terminators dropped.
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    for (wchar_t& c : text)
        if (c == L'\0') c = L' ';
    found = true;
    return text;
}

std::wstring ReadBiosText(unsigned long platformId)
{
    bool opened = false, found = false;
    if (platformId == VER_PLATFORM_WIN32_WINDOWS) {
        std::wstring version = OpenAndRead(L"Enum\\Root\\*PNP0C01\\0000", L"BIOSVersion", opened, found);
        if (!opened) return L"?";
        std::wstring date = OpenAndRead(L"Enum\\Root\\*PNP0C01\\0000", L"BIOSDate", opened, found);
        return BiosText(version, date);
    }
    if (platformId != VER_PLATFORM_WIN32_NT) return L"?";
    std::wstring date = OpenAndRead(L"Hardware\\Description\\System", L"SystemBiosDate", opened, found);
    if (!opened) return L"?";
    if (!date.empty()) return date;
    // Current systems keep the BIOS in a subkey of its own.
    std::wstring version = OpenAndRead(L"Hardware\\Description\\System\\BIOS", L"BIOSVersion", opened, found);
    date = OpenAndRead(L"Hardware\\Description\\System\\BIOS", L"BIOSReleaseDate", opened, found);
    return BiosText(version, date);
}

SystemFacts GatherSystemFacts()
{
    SystemFacts facts;
    facts.manufacturer = ManufacturerOf(CpuVendor()).name;
    MEMORYSTATUSEX memory = {sizeof(memory)};
    bool haveMemory = ::GlobalMemoryStatusEx(&memory) != FALSE;
    wchar_t separator = Program().thousandSeparator[0];
    facts.memory = haveMemory ? MemoryText(memory.ullTotalPhys, separator) : L"?";
    facts.pageFile = haveMemory ? MemoryText(memory.ullTotalPageFile, separator) : L"?";
    OsVersion version = RealOsVersion();
    facts.bios = ReadBiosText(version.platformId);
    facts.display = DisplayText();
    facts.displayDriver = DisplayDriverText();
    facts.printer = PrinterText(PrinterDevice(), fw::LoadStr(IDS_ON), fw::LoadStr(IDS_SYSINFO_NONE));
    facts.os = OsText(version.platformId, version.major, version.minor, version.build, version.servicePack);
    return facts;
}
