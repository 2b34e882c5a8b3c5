// Colours of the tool windows in the settings store, one key per component.
#include "common/ToolColors.h"
#include "common/Settings.h"
#include <string>

COLORREF ReadToolColor(const wchar_t* name, COLORREF fallback)
{
    std::wstring key = name;
    int r = GetProfileInt(L"Colors", (key + L"Red").c_str(), GetRValue(fallback));
    int g = GetProfileInt(L"Colors", (key + L"Green").c_str(), GetGValue(fallback));
    int b = GetProfileInt(L"Colors", (key + L"Blue").c_str(), GetBValue(fallback));
    return RGB(r & 255, g & 255, b & 255);
}

void WriteToolColor(const wchar_t* name, COLORREF color)
{
    std::wstring key = name;
    WriteProfileInt(L"Colors", (key + L"Red").c_str(), GetRValue(color));
    WriteProfileInt(L"Colors", (key + L"Green").c_str(), GetGValue(color));
    WriteProfileInt(L"Colors", (key + L"Blue").c_str(), GetBValue(color));
}
