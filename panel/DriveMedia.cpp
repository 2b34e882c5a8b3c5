// Media descriptions of removable drives and the drive-type descriptions of the drive boxes.
#include "panel/DriveMedia.h"
#include <cwctype>

namespace {
const wchar_t* const Inch525 = L" 5\u00bc\" ";
const wchar_t* const Inch35 = L" 3\u00bd\" ";
}

std::wstring MediaDescription(int mediaType, wchar_t driveLetter)
{
    wchar_t letter = static_cast<wchar_t>(std::towupper(driveLetter));
    switch (mediaType) {
    case 1: return std::wstring(Inch525) + L"1.2 Mb";
    case 2:
        // Sticks report the diskette type too; only A and B are diskette drives.
        if (letter == L'A' || letter == L'B') return std::wstring(Inch35) + L"1.44 Mb";
        return L" Removable";
    case 3: return std::wstring(Inch35) + L"2.88 Mb";
    case 4: return std::wstring(Inch35) + L"20.8 Mb";
    case 5: return std::wstring(Inch35) + L"720 Kb";
    case 6: return std::wstring(Inch525) + L"360 Kb";
    case 7:
    case 8: return std::wstring(Inch525) + L"320 Kb";
    case 9: return std::wstring(Inch525) + L"180 Kb";
    case 10: return std::wstring(Inch525) + L"160 Kb";
    default: return L" Removable";
    }
}

std::wstring DriveDescription(DriveKind kind, const std::wstring& label, const std::wstring& networkName,
                              bool networkNameKnown, const std::wstring& notConnectedText)
{
    switch (kind) {
    case DriveKind::Fixed: return L" " + label;
    case DriveKind::Remote: return networkNameKnown ? L" " + networkName : notConnectedText;
    case DriveKind::CdRom: return label.empty() ? L" CD-ROM" : L" " + label;
    case DriveKind::Removable: return L" Removable";
    default: return std::wstring();
    }
}

std::wstring DriveEntryText(wchar_t driveLetter, const std::wstring& description)
{
    std::wstring text = L"[-";
    text += static_cast<wchar_t>(std::towupper(driveLetter));
    return text + L"-]" + description;
}

std::wstring PadLine(const std::wstring& text)
{
    return text.size() >= 120 ? text : text + std::wstring(120 - text.size(), L' ');
}
