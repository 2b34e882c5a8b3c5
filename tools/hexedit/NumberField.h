// Offsets and counts typed into the hex editor's dialogs: "x" and hexadecimal digits, or decimal.
#pragma once
#include "tools/hexedit/ByteBuffer.h"
#include <string>
#include <string_view>

namespace hex {

// The whole field must be the number (blanks around it aside); false for "12abc", an empty
// field or a value beyond 64 bits. Decimal numbers may be negative.
bool ParseNumber(std::wstring_view text, Offset& value);
// Go-to: an optional leading '+' or '-' makes the number relative to the cursor. False when the
// text is no number or the target lies outside 0 .. last.
bool ParseGoToTarget(std::wstring_view text, Offset cursor, Offset last, Offset& target);

} // namespace hex
