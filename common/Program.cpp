// The program-wide values and the user message boxes.
#include "common/Program.h"
#include "framework/Resources.h"

const wchar_t* const ProductName = L"Pandect Commander";
const wchar_t* const MainClassName = L"PDClass";

ProgramValues& Program()
{
    static ProgramValues values;
    return values;
}

namespace {
void ReadLocaleValue(LCTYPE type, wchar_t (&target)[2])
{
    wchar_t buffer[16] = {};
    if (::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 16) > 0 && buffer[0]) target[0] = buffer[0];
    target[1] = L'\0';
}
}

void ReadRegionalValues()
{
    ReadLocaleValue(LOCALE_STHOUSAND, Program().thousandSeparator);
    ReadLocaleValue(LOCALE_SDATE, Program().dateSeparator);
    ReadLocaleValue(LOCALE_IDATE, Program().dateOrder);
}

int ShowMessage(HWND owner, const std::wstring& text, UINT type)
{
    return ::MessageBoxW(owner, text.c_str(), ProductName, type);
}

void ShowWarning(UINT stringId)
{
    ShowMessage(nullptr, fw::LoadStr(stringId), MB_OK | MB_ICONWARNING);
}

std::wstring SystemErrorText(DWORD error)
{
    if (error == 0) return {};
    wchar_t* buffer = nullptr;
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD n = ::FormatMessageW(flags, nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                               reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) ::LocalFree(buffer);
    return text;
}

void ShowLastError(int stringId)
{
    std::wstring text = SystemErrorText(::GetLastError());
    if (text.empty()) text = fw::LoadStr(stringId > 0 ? stringId : 8190);
    ShowMessage(nullptr, text, MB_OK | MB_ICONSTOP);
}
