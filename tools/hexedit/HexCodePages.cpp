// Code-page conversions between what the user types or sees and the bytes of the file.
#include "tools/hexedit/HexCodePages.h"
#include "tools/hexedit/HexEditor.h"
#include <windows.h>

namespace hex {

namespace {
UINT CodePage(int charset) { return charset == CharsetOem ? CP_OEMCP : CP_ACP; }

bool ShownInAnsi(int b) { return (b >= 32 && b <= 126) || b == 145 || b == 146 || b >= 160; }

// Single-byte result without a substitute; a code page like UTF-8 refuses what needs more.
int ToCodePage(UINT codePage, const wchar_t* text, int length, char* out, int size)
{
    BOOL usedDefault = FALSE;
    bool utf = ::GetACP() == CP_UTF8 && codePage == CP_ACP;
    int n = ::WideCharToMultiByte(codePage, utf ? 0 : WC_NO_BEST_FIT_CHARS, text, length, out, size, nullptr,
                                  utf ? nullptr : &usedDefault);
    return usedDefault ? 0 : n;
}
}

void BuildCellCharacters(int charset, wchar_t (&cells)[256])
{
    for (int b = 0; b < 256; ++b) {
        cells[b] = L'.';
        char c = static_cast<char>(b);
        wchar_t w = 0;
        if (charset == CharsetOem) {
            if (b != 0 && ::MultiByteToWideChar(CP_OEMCP, MB_USEGLYPHCHARS, &c, 1, &w, 1) == 1) cells[b] = w;
        } else if (ShownInAnsi(b) && ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &c, 1, &w, 1) == 1) {
            cells[b] = w;
        }
    }
}

const CodePageTable& AnsiToOemTable()
{
    static CodePageTable table = [] {
        CodePageTable t{};
        for (int b = 0; b < 256; ++b) {
            char in[2] = {static_cast<char>(b), 0}, out[2] = {};
            t[b] = ::CharToOemBuffA(in, out, 1) ? static_cast<uint8_t>(out[0]) : static_cast<uint8_t>(b);
        }
        return t;
    }();
    return table;
}

bool CharacterByte(wchar_t ch, int charset, uint8_t& byte)
{
    char out[8] = {};
    if (ToCodePage(CodePage(charset), &ch, 1, out, sizeof out) != 1) return false;
    byte = static_cast<uint8_t>(out[0]);
    return true;
}

bool TextBytes(const std::wstring& text, int charset, std::string& bytes)
{
    if (text.empty()) {
        bytes.clear();
        return true;
    }
    int length = static_cast<int>(text.size());
    bytes.assign(text.size() * 4, '\0');
    int n = ToCodePage(CodePage(charset), text.data(), length, bytes.data(), static_cast<int>(bytes.size()));
    if (n <= 0) return false;
    bytes.resize(static_cast<size_t>(n));
    return true;
}

} // namespace hex
