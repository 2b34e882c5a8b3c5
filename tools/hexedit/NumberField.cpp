// Whole-field number parsing in range, for offsets, counts and go-to targets.
#include "tools/hexedit/NumberField.h"
#include <limits>

namespace hex {

namespace {
std::wstring_view Trim(std::wstring_view text)
{
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.remove_suffix(1);
    return text;
}

// Digits only, no sign; false on overflow of Offset or a character that is no digit of the base.
bool ParseDigits(std::wstring_view digits, int base, Offset& value)
{
    if (digits.empty()) return false;
    uint64_t v = 0;
    for (wchar_t c : digits) {
        int d = -1;
        if (c >= L'0' && c <= L'9') d = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f') d = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F') d = c - L'A' + 10;
        if (d < 0) return false;
        if (v > (static_cast<uint64_t>(std::numeric_limits<Offset>::max()) - d) / base) return false;
        v = v * base + d;
    }
    value = static_cast<Offset>(v);
    return true;
}

bool ParseUnsigned(std::wstring_view text, Offset& value)
{
    if (!text.empty() && (text[0] == L'x' || text[0] == L'X')) return ParseDigits(text.substr(1), 16, value);
    return ParseDigits(text, 10, value);
}
}

bool ParseNumber(std::wstring_view text, Offset& value)
{
    text = Trim(text);
    if (!text.empty() && text[0] == L'-') {
        Offset magnitude = 0;
        if (!ParseDigits(text.substr(1), 10, magnitude)) return false;
        value = -magnitude;
        return true;
    }
    return ParseUnsigned(text, value);
}

bool ParseGoToTarget(std::wstring_view text, Offset cursor, Offset last, Offset& target)
{
    text = Trim(text);
    int sign = 0;
    if (!text.empty() && (text[0] == L'+' || text[0] == L'-')) {
        sign = text[0] == L'+' ? 1 : -1;
        text.remove_prefix(1);
    }
    Offset value = 0;
    if (!ParseUnsigned(text, value)) return false;
    Offset result = value;
    if (sign > 0) {
        if (value > last - cursor) return false;
        result = cursor + value;
    } else if (sign < 0) {
        if (value > cursor) return false;
        result = cursor - value;
    }
    if (result < 0 || result > last) return false;
    target = result;
    return true;
}

} // namespace hex
