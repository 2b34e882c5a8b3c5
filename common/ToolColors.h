// The text and background colours that the hex editor and the text window share ("Colors").
#pragma once
#include <windows.h>

// name is the key's stem: "TextColor" reads "TextColorRed", "TextColorGreen", "TextColorBlue".
COLORREF ReadToolColor(const wchar_t* name, COLORREF fallback);
void WriteToolColor(const wchar_t* name, COLORREF color);
