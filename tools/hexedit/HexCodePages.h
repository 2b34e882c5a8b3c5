// The system's ANSI and OEM code pages as the hex editor needs them.
#pragma once
#include "tools/hexedit/ValueCodes.h"
#include <string>
#include <vector>

namespace hex {

// The character shown for each byte value in the text pane (ANSI: printable bytes, else '.';
// OEM: every byte but 0, with the code page's glyphs for the control bytes).
void BuildCellCharacters(int charset, wchar_t (&cells)[256]);
// ANSI byte to OEM byte, as the value codes convert ordinary characters in OEM mode.
const CodePageTable& AnsiToOemTable();
// The byte of a typed character in the window's code page; false when the code page lacks it.
bool CharacterByte(wchar_t ch, int charset, uint8_t& byte);
// A text in the window's code page; false when a character is missing from it.
bool TextBytes(const std::wstring& text, int charset, std::string& bytes);

} // namespace hex
