// Save formats, the extension rule and the error table, as data.
#include "tools/imageview/SaveFormats.h"
#include <cwctype>
#include <initializer_list>
#include <string>

namespace {
const SaveFormatRow Rows[] = {
    {L"TIFF File (*.tif)", L"*.tif", L".TIF", 0, false},
    {L"BMP File (*.bmp)", L"*.bmp", L".BMP", 0, false},
    {L"JPEG File (*.jpg)", L"*.jpg", L".JPG", 75, false},
    {L"PCX File (*.pcx)", L"*.pcx", L".PCX", 0, false},
    {L"GIF File (*.gif)", L"*.gif", L".GIF", 0, true},
    {L"PNG File (*.png)", L"*.png", L".PNG", 0, false},
    {L"EPS File (*.eps)", L"*.eps", L".EPS", 0, true},
    {L"TGA File (*.tga)", L"*.tga", L".TGA", 1, false},
};

struct ErrorClass {
    std::initializer_list<int> codes;
    const wchar_t* format;
};
const ErrorClass Errors[] = {
    {{-64, -63, -62, -43, -27, -25, -17, -16, -12, -11, -9, -8, -6}, L"File format not supported or invalid data, error %d"},
    {{-52, -40, -14}, L"Insufficient local memory, error %d"},
    {{-42, -1}, L"Invalid image, error %d"},
    {{-26}, L"Invalid color depth, error %d"},
    {{-10}, L"Cannot create file, or directory is invalid, error %d"},
    {{-4}, L"Filename not found, error %d"},
    {{-3}, L"Disk full, file not written, error %d"},
};

std::wstring WithCode(const wchar_t* format, int code)
{
    std::wstring text = format;
    size_t at = text.find(L"%d");
    return text.replace(at, 2, std::to_wstring(code));
}
}

const SaveFormatRow& SaveFormatAt(int index) { return index >= 1 && index <= 8 ? Rows[index - 1] : Rows[1]; }

int FileTypeIndex(int stored) { return stored >= 1 && stored <= 8 ? stored : 1; }

std::wstring SaveFilter()
{
    std::wstring filter;
    for (const SaveFormatRow& row : Rows) {
        filter += row.description;
        filter += L'\0';
        filter += row.pattern;
        filter += L'\0';
    }
    return filter + L'\0';
}

std::wstring SaveTargetName(const std::wstring& chosen, int index)
{
    const std::wstring extension = SaveFormatAt(index).extension;
    size_t slash = chosen.find_last_of(L"\\/:");
    size_t dot = chosen.find_last_of(L'.');
    std::wstring own;
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash)) own = chosen.substr(dot + 1);
    for (wchar_t& c : own) c = static_cast<wchar_t>(std::towupper(c));
    return own == extension.substr(1) ? chosen : chosen + extension;
}

std::wstring SaveErrorText(int code)
{
    for (const ErrorClass& e : Errors)
        for (int c : e.codes)
            if (c == code) return WithCode(e.format, code);
    return WithCode(L"Cannot save the picture, error %d", code);
}
