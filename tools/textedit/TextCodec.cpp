// Encodings, line ends and whole-file reads of text files.
#include "tools/textedit/TextCodec.h"
#include <algorithm>
#include <cstring>
#include <vector>

namespace te {

namespace {
int64_t readFailureAfter = -1;
UINT ansiCodePage = CP_ACP;

std::wstring Widen(const char* data, size_t n, UINT codePage)
{
    if (n == 0) return {};
    int length = ::MultiByteToWideChar(codePage, 0, data, static_cast<int>(n), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, data, static_cast<int>(n), text.data(), length);
    return text;
}

bool Narrow(const std::wstring& text, UINT codePage, std::string& out)
{
    out.clear();
    if (text.empty()) return true;
    BOOL lost = FALSE;
    bool utf8 = codePage == CP_UTF8;
    DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int n = static_cast<int>(text.size());
    int length = ::WideCharToMultiByte(codePage, flags, text.data(), n, nullptr, 0, nullptr, utf8 ? nullptr : &lost);
    out.resize(static_cast<size_t>(length));
    ::WideCharToMultiByte(codePage, flags, text.data(), n, out.data(), length, nullptr, utf8 ? nullptr : &lost);
    return !lost;
}
}

bool IsValidUtf8(const char* data, size_t n)
{
    const auto* p = reinterpret_cast<const uint8_t*>(data);
    for (size_t i = 0; i < n;) {
        // Plain ASCII eight bytes at a time.
        if (n - i >= 8) {
            uint64_t word;
            std::memcpy(&word, p + i, 8);
            if (!(word & 0x8080808080808080ull)) {
                i += 8;
                continue;
            }
        }
        uint8_t c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t extra;
        uint32_t min, value;
        if ((c & 0xE0) == 0xC0) { extra = 1; min = 0x80; value = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { extra = 2; min = 0x800; value = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { extra = 3; min = 0x10000; value = c & 0x07; }
        else return false;
        if (n - i <= extra) return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) return false;
            value = (value << 6) | (p[i + k] & 0x3F);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

LineEnds DetectLineEnds(const std::wstring& text)
{
    size_t crlf = 0, lf = 0, cr = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
        } else if (text[i] == L'\n') {
            ++lf;
        }
    }
    int kinds = (crlf > 0) + (lf > 0) + (cr > 0);
    if (kinds > 1) return LineEnds::Mixed;
    if (lf) return LineEnds::Lf;
    if (cr) return LineEnds::Cr;
    return LineEnds::CrLf;
}

std::wstring ToFileLineEnds(const std::wstring& text, LineEnds ends)
{
    if (ends != LineEnds::Lf && ends != LineEnds::Cr) return text;
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            out += ends == LineEnds::Lf ? L'\n' : L'\r';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

DecodedText DecodeText(const std::string& bytes)
{
    DecodedText result;
    size_t n = bytes.size();
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
    if (n >= 2 && n % 2 == 0 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
        bool little = p[0] == 0xFF;
        result.encoding = little ? TextEncoding::Utf16Le : TextEncoding::Utf16Be;
        result.text.resize(n / 2 - 1);
        for (size_t i = 2; i < n; i += 2)
            result.text[i / 2 - 1] = static_cast<wchar_t>(little ? p[i] | (p[i + 1] << 8) : (p[i] << 8) | p[i + 1]);
    } else if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF && IsValidUtf8(bytes.data() + 3, n - 3)) {
        result.encoding = TextEncoding::Utf8Bom;
        result.text = Widen(bytes.data() + 3, n - 3, CP_UTF8);
    } else if (std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<uint8_t>(c) >= 0x80; }) &&
               IsValidUtf8(bytes.data(), n)) {
        result.encoding = TextEncoding::Utf8;
        result.text = Widen(bytes.data(), n, CP_UTF8);
    } else {
        result.text = Widen(bytes.data(), n, ansiCodePage);
    }
    result.lineEnds = DetectLineEnds(result.text);
    return result;
}

bool EncodeText(const std::wstring& text, TextEncoding encoding, std::string& out)
{
    switch (encoding) {
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be: {
        bool little = encoding == TextEncoding::Utf16Le;
        out.resize(2 + text.size() * 2);
        out[0] = static_cast<char>(little ? 0xFF : 0xFE);
        out[1] = static_cast<char>(little ? 0xFE : 0xFF);
        for (size_t i = 0; i < text.size(); ++i) {
            auto c = static_cast<uint16_t>(text[i]);
            out[2 + i * 2] = static_cast<char>(little ? c & 0xFF : c >> 8);
            out[3 + i * 2] = static_cast<char>(little ? c >> 8 : c & 0xFF);
        }
        return true;
    }
    case TextEncoding::Utf8:
        return Narrow(text, CP_UTF8, out);
    case TextEncoding::Utf8Bom: {
        Narrow(text, CP_UTF8, out);
        out.insert(0, "\xEF\xBB\xBF");
        return true;
    }
    case TextEncoding::Ansi:
        break;
    }
    return Narrow(text, ansiCodePage, out);
}

void SetReadFailureAfter(int64_t bytes) { readFailureAfter = bytes; }

void SetAnsiCodePage(UINT codePage) { ansiCodePage = codePage ? codePage : CP_ACP; }

DWORD ReadFileBytes(const std::wstring& path, std::string& out, bool* opened)
{
    out.clear();
    if (opened) *opened = false;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return ::GetLastError();
    if (opened) *opened = true;
    DWORD error = 0;
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file, &size)) {
        error = ::GetLastError();
    } else if (static_cast<uint64_t>(size.QuadPart) >= static_cast<uint64_t>(INT32_MAX)) {
        error = ERROR_NOT_ENOUGH_MEMORY;
    } else {
        constexpr DWORD Chunk = 4 << 20;
        out.resize(static_cast<size_t>(size.QuadPart));
        size_t done = 0;
        while (done < out.size()) {
            DWORD part = static_cast<DWORD>(std::min<size_t>(out.size() - done, Chunk)), got = 0;
            if (readFailureAfter >= 0 && static_cast<int64_t>(done + part) > readFailureAfter) {
                error = ERROR_READ_FAULT;
                part = static_cast<DWORD>(std::max<int64_t>(readFailureAfter - static_cast<int64_t>(done), 0));
                if (part) ::ReadFile(file, &out[done], part, &got, nullptr);
                done += got;
                break;
            }
            if (!::ReadFile(file, &out[done], part, &got, nullptr)) {
                error = ::GetLastError();
                break;
            }
            // The file shrank while it was read: what is here is all there is to show.
            if (got == 0) {
                error = ERROR_HANDLE_EOF;
                break;
            }
            done += got;
        }
        out.resize(done);
    }
    ::CloseHandle(file);
    return error;
}

} // namespace te
