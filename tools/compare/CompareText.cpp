// Reading the files to compare, the stored options and the rows' text.
#include "tools/compare/CompareText.h"
#include "common/Settings.h"
#include "tools/textedit/TextCodec.h"
#include <algorithm>

namespace cmp {

DWORD ReadCompareFile(const std::wstring& path, CompareFile& out)
{
    out = CompareFile();
    DWORD error = te::ReadFileBytes(path, out.bytes);
    if (error) {
        out.bytes.clear();
        return error;
    }
    const std::string& b = out.bytes;
    if (b.size() >= 2 && (b.compare(0, 2, "\xFF\xFE") == 0 || b.compare(0, 2, "\xFE\xFF") == 0)) {
        te::DecodedText text = te::DecodeText(b);
        if (text.encoding == te::TextEncoding::Utf16Le || text.encoding == te::TextEncoding::Utf16Be) {
            te::EncodeText(text.text, te::TextEncoding::Utf8, out.bytes);
            out.utf8 = true;
            return 0;
        }
    }
    if (b.size() >= 3 && b.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        out.bytes.erase(0, 3);
        out.utf8 = true;
        return 0;
    }
    out.utf8 = te::IsValidUtf8(out.bytes.data(), out.bytes.size());
    return 0;
}

CompareOptions ReadCompareOptions(bool anyUtf8)
{
    // The code page's own capitals for single-byte text; ASCII letters only inside UTF-8.
    static uint8_t ansiUpper[256];
    static bool made = [] {
        char chars[256];
        for (int i = 0; i < 256; ++i) chars[i] = static_cast<char>(i);
        ::CharUpperBuffA(chars + 1, 255);
        for (int i = 0; i < 256; ++i) ansiUpper[i] = static_cast<uint8_t>(chars[i]);
        return true;
    }();
    (void)made;
    CompareOptions options;
    options.ignoreBlanks = GetProfileInt(L"FileComp", L"NegeerSpaties", 0) == 1;
    options.ignoreCase = GetProfileInt(L"FileComp", L"NegeerCase", 0) == 1;
    options.upper = anyUtf8 ? nullptr : ansiUpper;
    return options;
}

int ReadTabWidth()
{
    int width = GetProfileInt(L"FileComp", L"PerTab", 4);
    return width >= 1 && width <= 32 ? width : 4;
}

std::wstring ItemText(const CompareItem& item, int perTab, bool utf8)
{
    std::wstring out;
    if (!item.line) return out;
    const CCompareLine& line = *item.line;
    // A line longer than the row can show is cut before it is decoded.
    uint32_t bytes = std::min<uint32_t>(line.content, static_cast<uint32_t>(ItemTextLimit * 4));
    std::wstring text;
    if (bytes) {
        UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
        int n = ::MultiByteToWideChar(codePage, 0, line.text, static_cast<int>(bytes), nullptr, 0);
        text.resize(static_cast<size_t>(n));
        ::MultiByteToWideChar(codePage, 0, line.text, static_cast<int>(bytes), text.data(), n);
    }
    out.reserve(std::min(text.size() + 8, ItemTextLimit));
    for (wchar_t c : text) {
        if (out.size() >= ItemTextLimit) break;
        if (c == L'\t') {
            size_t next = (out.size() / static_cast<size_t>(perTab) + 1) * static_cast<size_t>(perTab);
            out.append(std::min(next, ItemTextLimit) - out.size(), L' ');
        } else {
            out += c < 32 ? L' ' : c;
        }
    }
    return out;
}

} // namespace cmp
