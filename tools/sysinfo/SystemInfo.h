// What the system-information page shows, read from the processor, the system and the registry.
#pragma once
#include <windows.h>
#include <string>

struct SystemFacts {
    std::wstring manufacturer;
    std::wstring memory;
    std::wstring pageFile;
    std::wstring bios;
    std::wstring display;
    std::wstring displayDriver;
    std::wstring printer;
    std::wstring os;
};
// Every field filled: "?" (or "(none)" for the printer) where the system tells nothing.
SystemFacts GatherSystemFacts();

// The processor's 12-character vendor string; empty without the identification instruction.
std::string CpuVendor();

struct OsVersion {
    unsigned long platformId = 0;
    unsigned long major = 0;
    unsigned long minor = 0;
    unsigned long build = 0;
    std::wstring servicePack;
};
// The version the kernel reports, not the one a program without a compatibility manifest is told.
OsVersion RealOsVersion();

// The BIOS text for the platform, from the hardware keys under HKEY_LOCAL_MACHINE.
std::wstring ReadBiosText(unsigned long platformId);
// A text value read with its length and type and terminated here; found is false when the value
// is missing or not text.
std::wstring RegistryText(HKEY key, const wchar_t* value, bool& found);
