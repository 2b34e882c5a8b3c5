// The byte forms of site texts; the program converts with the system's code pages.
#pragma once
#include <string>

std::string SiteTextUtf8(const std::wstring& text);
// UTF-8 when the bytes are valid UTF-8, else the ANSI code page (passwords scrambled by other means).
std::wstring SiteTextFromBytes(const std::string& bytes);
