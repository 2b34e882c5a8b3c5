// Page arithmetic of printed text.
#include "fileops/PrintLayout.h"
#include <windows.h>
#include <algorithm>
#include <cwchar>

PrintOptions MakePrintOptions(int cut, int lineNumbers, int perA4, int bA4, int perTab, int charSet)
{
    PrintOptions o;
    o.cut = cut == 1;
    o.lineNumbers = lineNumbers == 1;
    if (perA4 != 1 && perA4 != 2) perA4 = 1;
    if (bA4 < -1 || bA4 > 2) bA4 = -1;
    o.layout = bA4 == -1 ? (perA4 == 1 ? 0 : 2) : bA4;
    o.tabWidth = perTab >= 1 ? perTab : 4;
    o.ansiCharSet = charSet == 1;
    return o;
}

int CharsPerLine(const PageMetrics& m, int layout)
{
    int cw = std::max(1, m.charWidth);
    int width = layout == 2 ? m.pageWidth / 2 : m.pageWidth;
    return std::max(1, width / cw - 7);
}

std::wstring ExpandTabs(const std::wstring& text, int tabWidth)
{
    if (tabWidth < 1) tabWidth = 1;
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c != L'\t') {
            out += c;
            continue;
        }
        size_t next = (out.size() / tabWidth + 1) * tabWidth;
        out.append(next - out.size(), L' ');
    }
    return out;
}

std::vector<std::wstring> OutputLines(const std::wstring& text, int number, const PrintOptions& options,
                                      int charsPerLine)
{
    std::wstring prefix;
    if (options.lineNumbers) {
        wchar_t digits[24];
        std::swprintf(digits, 24, L"%03d ", number);
        prefix = digits;
    }
    std::wstring body = ExpandTabs(text, options.tabWidth);
    // At least one character a piece, so that a tiny page cannot wrap forever.
    size_t width = static_cast<size_t>(std::max(1, charsPerLine - static_cast<int>(prefix.size())));
    std::vector<std::wstring> lines;
    if (options.cut) {
        lines.push_back(prefix + body.substr(0, width));
        return lines;
    }
    std::wstring indent(prefix.size(), L' ');
    size_t start = 0;
    do {
        lines.push_back((start == 0 ? prefix : indent) + body.substr(start, width));
        start += width;
    } while (start < body.size());
    return lines;
}

std::wstring HeaderLine(const std::wstring& title, const std::wstring& pageWord, int page, int charsPerLine)
{
    std::wstring tail = pageWord + std::to_wstring(page);
    size_t width = static_cast<size_t>(std::max(1, charsPerLine));
    if (tail.size() >= width) return tail;
    size_t room = width - tail.size();
    std::wstring head = title.substr(0, room);
    head.append(room - head.size(), L' ');
    return head + tail;
}

CPageComposer::CPageComposer(IPrintTarget& target, const PageMetrics& metrics, int layout, std::wstring title,
                             std::wstring pageWord)
    : target(target), metrics(metrics), layout(layout), title(std::move(title)), pageWord(std::move(pageWord)),
      charsPerLine(::CharsPerLine(metrics, layout))
{
    this->metrics.charWidth = std::max(1, metrics.charWidth);
    this->metrics.lineHeight = std::max(1, metrics.lineHeight);
    // So far down that the first line opens a page.
    y = 1000 * this->metrics.lineHeight;
}

bool CPageComposer::NewPage()
{
    int cw = metrics.charWidth, lh = metrics.lineHeight;
    if (layout == 2 && page % 2 == 1) {
        // The second page of a pair: the right half of the sheet, with a line between the halves.
        x = (charsPerLine + 12) * cw;
        int between = (charsPerLine + 7) * cw;
        target.Line(between, lh, between, metrics.pageHeight);
    } else {
        if (sheetOpen && !target.EndSheet()) failed = true;
        sheetOpen = !failed && target.StartSheet();
        if (!sheetOpen) failed = true;
        x = 5 * cw;
    }
    if (failed) return false;
    ++page;
    y = lh;
    target.Text(x, y, HeaderLine(title, pageWord, page, charsPerLine));
    int under = lh * 5 / 2;
    target.Line(x, under, x + charsPerLine * cw, under);
    y += 3 * lh;
    if (onNewPage) onNewPage(page);
    return true;
}

bool CPageComposer::PrintLine(const std::wstring& line, bool formFeed)
{
    if (failed) return false;
    int lh = metrics.lineHeight;
    if (formFeed || y > metrics.pageHeight - lh * 5 / 2)
        if (!NewPage()) return false;
    if (formFeed && line.empty()) return true;
    target.Text(x, y, line);
    y += lh;
    return true;
}

bool CPageComposer::Finish()
{
    if (!failed && page == 0) NewPage();
    if (sheetOpen && !target.EndSheet()) failed = true;
    sheetOpen = false;
    return !failed;
}

CTextLineReader::CTextLineReader(std::function<size_t(char*, size_t)> source, unsigned codePage, bool forceUtf16)
    : source(std::move(source)), codePage(codePage), utf16(forceUtf16)
{
}

bool CTextLineReader::Fill()
{
    if (ended) return false;
    if (pos > 0) {
        buffer.erase(0, pos);
        pos = 0;
    }
    char chunk[16384];
    size_t n = source(chunk, sizeof(chunk));
    if (n == 0) {
        ended = true;
        return false;
    }
    buffer.append(chunk, n);
    return true;
}

std::wstring CTextLineReader::Decode(const char* bytes, size_t n) const
{
    if (n == 0) return {};
    if (utf16) {
        std::wstring text(n / 2, L'\0');
        for (size_t i = 0; i < n / 2; ++i)
            text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                           (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
        return text;
    }
    int count = ::MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(n), nullptr, 0);
    std::wstring text(static_cast<size_t>(std::max(count, 0)), L'\0');
    if (count > 0) ::MultiByteToWideChar(codePage, 0, bytes, static_cast<int>(n), text.data(), count);
    return text;
}

bool CTextLineReader::Next(std::wstring& line)
{
    if (!started) {
        started = true;
        while (buffer.size() < 3 && Fill()) {}
        if (buffer.compare(0, 2, "\xFF\xFE") == 0) {
            utf16 = true;
            pos = 2;
        } else if (buffer.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            utf16 = false;
            codePage = CP_UTF8;
            pos = 3;
        }
    }
    size_t unit = utf16 ? 2 : 1;
    size_t scan = pos;
    for (;;) {
        size_t end = std::wstring::npos;
        for (size_t i = scan; i + unit <= buffer.size(); i += unit)
            if (buffer[i] == '\n' && (unit == 1 || buffer[i + 1] == 0)) {
                end = i;
                break;
            }
        if (end != std::wstring::npos) {
            line = Decode(buffer.data() + pos, end - pos);
            pos = end + unit;
            break;
        }
        scan = pos + (buffer.size() - pos) / unit * unit;
        size_t before = pos;
        if (!Fill()) {
            if (buffer.size() <= pos) return false;
            // The last line has no line feed: it is printed whole.
            line = Decode(buffer.data() + pos, buffer.size() - pos);
            pos = buffer.size();
            break;
        }
        scan -= before - pos;
    }
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    return true;
}

bool PrintLines(CTextLineReader& reader, CPageComposer& composer, const PrintOptions& options,
                const std::function<bool()>& keepGoing)
{
    std::wstring text;
    int number = 0;
    while (reader.Next(text)) {
        if (keepGoing && !keepGoing()) break;
        ++number;
        bool formFeed = !text.empty() && text[0] == L'\f';
        if (formFeed) text.erase(0, 1);
        if (formFeed && text.empty()) {
            if (!composer.PrintLine(text, true)) return false;
            continue;
        }
        bool first = true;
        for (const std::wstring& out : OutputLines(text, number, options, composer.CharsPerLine())) {
            if (!composer.PrintLine(out, formFeed && first)) return false;
            first = false;
        }
    }
    return composer.Finish();
}
