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

void ShowLastError(int stringId)
{
    DWORD error = ::GetLastError();
    std::wstring text;
    if (error != 0) {
        wchar_t* buffer = nullptr;
        DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                   reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
        if (n && buffer) text.assign(buffer, n);
        if (buffer) ::LocalFree(buffer);
    }
    if (text.empty()) text = fw::LoadStr(stringId > 0 ? stringId : 8190);
    ShowMessage(nullptr, text, MB_OK | MB_ICONSTOP);
}
