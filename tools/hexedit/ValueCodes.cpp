// Value codes in, clipboard form out.
#include "tools/hexedit/ValueCodes.h"
#include <charconv>
#include <cstring>

namespace hex {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsValueChar(char format, char c)
{
    switch (format) {
    case 'd': return IsDigit(c) || c == '-';
    case 'h': return IsDigit(c) || (c >= 'a' && c <= 'f');
    case 'l':
    case 'o': return IsDigit(c) || c == '-' || c == '.' || c == 'e' || c == 'E';
    }
    return false;
}

int TypeWidth(char type)
{
    switch (type) {
    case 'b': return 1;
    case 'w': return 2;
    case 'l':
    case 'f': return 4;
    case 'd': return 8;
    }
    return 0;
}

bool FormatFits(char type, char format)
{
    if (type == 'f') return format == 'l';
    if (type == 'd') return format == 'o';
    return format == 'd' || format == 'h';
}

void AppendLittleEndian(std::vector<uint8_t>& out, uint64_t value, int width)
{
    for (int i = 0; i < width; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

template <typename Float, typename Bits>
bool AppendFloat(const char* first, const char* last, std::vector<uint8_t>& out)
{
    Float number = 0;
    auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last) return false;
    Bits bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    AppendLittleEndian(out, bits, sizeof bits);
    return true;
}

// The bytes of one code's value; false when the value is no number of its format.
bool ConvertValue(char type, char format, std::string_view value, std::vector<uint8_t>& out)
{
    const char* first = value.data();
    const char* last = first + value.size();
    int width = TypeWidth(type);
    if (format == 'd') {
        int64_t number = 0;
        auto [end, error] = std::from_chars(first, last, number, 10);
        if (error != std::errc() || end != last) return false;
        AppendLittleEndian(out, static_cast<uint64_t>(number), width);
        return true;
    }
    if (format == 'h') {
        uint64_t number = 0;
        auto [end, error] = std::from_chars(first, last, number, 16);
        if (error != std::errc() || end != last) return false;
        AppendLittleEndian(out, number, width);
        return true;
    }
    if (format == 'l') return AppendFloat<float, uint32_t>(first, last, out);
    return AppendFloat<double, uint64_t>(first, last, out);
}

// At text[i] == '<': the length of the code there with its bytes appended, or 0 when none starts here.
size_t TryCode(std::string_view text, size_t i, std::vector<uint8_t>& out)
{
    if (i + 5 > text.size()) return 0;
    char type = text[i + 1], format = text[i + 2];
    if (!TypeWidth(type) || !FormatFits(type, format) || text[i + 3] != ':') return 0;
    size_t start = i + 4, end = start;
    while (end < text.size() && IsValueChar(format, text[end])) ++end;
    if (end == start || end >= text.size() || text[end] != '>') return 0;
    if (!ConvertValue(type, format, text.substr(start, end - start), out)) return 0;
    return end + 1 - i;
}

constexpr char HexDigits[] = "0123456789abcdef";

bool Plain(uint8_t b) { return (b >= 32 && b <= 126) || b == '\r' || b == '\n'; }

} // namespace

std::vector<uint8_t> DecodeValueCodes(std::string_view text, const CodePageTable* oemTable)
{
    std::vector<uint8_t> out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '<' || text[i + 1] == '\\')) {
            out.push_back(static_cast<uint8_t>(text[i + 1]));
            i += 2;
            continue;
        }
        if (c == '<') {
            if (size_t length = TryCode(text, i, out)) {
                i += length;
                continue;
            }
        }
        uint8_t b = static_cast<uint8_t>(c);
        out.push_back(oemTable ? (*oemTable)[b] : b);
        ++i;
    }
    return out;
}

uint64_t ClipboardFormLength(const uint8_t* bytes, size_t n)
{
    uint64_t length = 0;
    for (size_t i = 0; i < n; ++i) {
        uint8_t b = bytes[i];
        length += b == '<' || b == '\\' ? 2 : Plain(b) ? 1 : 7;
    }
    return length;
}

void AppendClipboardForm(std::string& out, const uint8_t* bytes, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        uint8_t b = bytes[i];
        if (b == '<' || b == '\\') {
            out += '\\';
            out += static_cast<char>(b);
        } else if (Plain(b)) {
            out += static_cast<char>(b);
        } else {
            char code[] = {'<', 'b', 'h', ':', HexDigits[b >> 4], HexDigits[b & 15], '>'};
            out.append(code, sizeof code);
        }
    }
}

std::string ClipboardForm(const uint8_t* bytes, size_t n)
{
    std::string out;
    out.reserve(static_cast<size_t>(ClipboardFormLength(bytes, n)));
    AppendClipboardForm(out, bytes, n);
    return out;
}

} // namespace hex
