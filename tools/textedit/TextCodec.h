// Text files as the editor and the comparison see them: their bytes, their encoding and their line
// ends, read whole and written back byte for byte. No windows here.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

namespace te {

enum class TextEncoding {
    Ansi,    // the system's code page (plain ASCII too)
    Utf8,    // valid UTF-8 with characters beyond ASCII, no byte-order mark
    Utf8Bom,
    Utf16Le, // with its byte-order mark
    Utf16Be,
};

// The line ends a text uses; typed lines (CR LF) are given the file's own on saving.
enum class LineEnds { CrLf, Lf, Cr, Mixed };

struct DecodedText {
    std::wstring text;
    TextEncoding encoding = TextEncoding::Ansi;
    LineEnds lineEnds = LineEnds::CrLf;
};

DecodedText DecodeText(const std::string& bytes);
// The bytes of text in the encoding, byte-order mark included; false when a character has no
// place in the ANSI code page (out then holds a substitute).
bool EncodeText(const std::wstring& text, TextEncoding encoding, std::string& out);
// The code page of files that are not Unicode: the system's (CP_ACP) unless a test sets another.
void SetAnsiCodePage(UINT codePage);
LineEnds DetectLineEnds(const std::wstring& text);
// CR LF pairs become the file's own line end when it uses LF only or CR only.
std::wstring ToFileLineEnds(const std::wstring& text, LineEnds ends);
bool IsValidUtf8(const char* data, size_t n);

// Reads the whole file: 0, or the system error that stopped it; out keeps what was read before a
// failure, and opened says whether the file could be opened at all.
DWORD ReadFileBytes(const std::wstring& path, std::string& out, bool* opened = nullptr);
// Tests make reads fail after this many bytes (negative: never).
void SetReadFailureAfter(int64_t bytes);

} // namespace te
