// Access to the resource library that holds every template, menu, icon and text.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

void SetResourceInstance(HINSTANCE instance);
HINSTANCE ResourceInstance();

// The string-table text with this id; empty when there is none.
std::wstring LoadStr(UINT id);

// printf-style formatting into a std::wstring of any length.
std::wstring Format(const wchar_t* format, ...);

// The text of a window or control.
std::wstring GetText(HWND wnd);

} // namespace fw
