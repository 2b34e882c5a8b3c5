// Resource library handle, string loading and small text helpers.
#include "framework/Resources.h"
#include <cstdarg>
#include <cwchar>
#include <vector>

namespace fw {

namespace {
HINSTANCE resourceInstance = nullptr;
}

void SetResourceInstance(HINSTANCE instance) { resourceInstance = instance; }

HINSTANCE ResourceInstance() { return resourceInstance ? resourceInstance : ::GetModuleHandle(nullptr); }

std::wstring LoadStr(UINT id)
{
    // String-table entries are at most 4097 characters; grow until the text fits.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        int n = ::LoadStringW(ResourceInstance(), id, buffer.data(), static_cast<int>(buffer.size()));
        if (n <= 0) return {};
        if (n < static_cast<int>(buffer.size()) - 1) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 4);
        if (buffer.size() > 65536) return std::wstring(buffer.data(), n);
    }
}

std::wstring Format(const wchar_t* format, ...)
{
    std::vector<wchar_t> buffer(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        int n = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::wstring GetText(HWND wnd)
{
    int length = ::GetWindowTextLengthW(wnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int n = ::GetWindowTextW(wnd, text.data(), length + 1);
    text.resize(n > 0 ? n : 0);
    return text;
}

} // namespace fw
