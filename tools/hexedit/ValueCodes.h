// The text form of bytes: value codes such as <bh:ff> or <wd:258>, and the clipboard form.
#pragma once
#include "tools/hexedit/ByteBuffer.h"
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace hex {

// Maps each ANSI byte to its OEM byte; the window side fills it from the system's code pages.
using CodePageTable = std::array<uint8_t, 256>;

// Bytes of a text with value codes and escapes; ordinary characters go through oemTable when
// it is given (OEM mode), unchanged otherwise (ANSI mode).
std::vector<uint8_t> DecodeValueCodes(std::string_view text, const CodePageTable* oemTable = nullptr);

// Length of the clipboard form of these bytes, without the closing zero.
uint64_t ClipboardFormLength(const uint8_t* bytes, size_t n);
// "\<" for '<', "\\" for '\', printable ASCII, CR and LF as they are, "<bh:xx>" for the rest.
std::string ClipboardForm(const uint8_t* bytes, size_t n);
// Appends the clipboard form of these bytes to out (for forms built piece by piece).
void AppendClipboardForm(std::string& out, const uint8_t* bytes, size_t n);

} // namespace hex
