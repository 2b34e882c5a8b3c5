// Page arithmetic of printed text: options, line breaking, headers, and pages placed on sheets.
#pragma once
#include <functional>
#include <string>
#include <vector>

struct PrintOptions {
    bool cut = false;         // too long lines are cut instead of wrapped
    bool lineNumbers = false;
    int layout = 0;           // 0 portrait, 1 landscape, 2 landscape with two pages a sheet
    int tabWidth = 4;
    bool ansiCharSet = true;  // false: the OEM character set
};

// The stored values ("Afkappen", "RegelNummers", "PerA4", "bA4", "PerTab", "bCharSet") as options;
// values outside their range count as their defaults.
PrintOptions MakePrintOptions(int cut, int lineNumbers, int perA4, int bA4, int perTab, int charSet);

struct PageMetrics {
    int pageWidth = 0, pageHeight = 0; // device units
    int charWidth = 1, lineHeight = 1;
};

// Characters of one printed line; never below one.
int CharsPerLine(const PageMetrics& metrics, int layout);

// Tabs become blanks up to the next multiple of tabWidth.
std::wstring ExpandTabs(const std::wstring& text, int tabWidth);

// The printed lines of one source line (numbered from 1): the number prefix, then the text cut
// or wrapped to the line width; continuations are indented by the prefix's length.
std::vector<std::wstring> OutputLines(const std::wstring& text, int number, const PrintOptions& options,
                                      int charsPerLine);

// The title, blanks, then pageWord and the number, ending at the line's width; a long title is
// cut so that the page number stays.
std::wstring HeaderLine(const std::wstring& title, const std::wstring& pageWord, int page, int charsPerLine);

// Where printed pages go: a printer, or a recording for the tests.
class IPrintTarget {
public:
    virtual ~IPrintTarget() = default;
    virtual bool StartSheet() = 0;
    virtual bool EndSheet() = 0;
    virtual void Text(int x, int y, const std::wstring& text) = 0;
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
};

// Places printed lines on pages, with a header on each, and pages on sheets (two a sheet in layout 2).
class CPageComposer {
public:
    CPageComposer(IPrintTarget& target, const PageMetrics& metrics, int layout, std::wstring title,
                  std::wstring pageWord);
    // formFeed: the line began with a form feed, which starts a new page and is not printed.
    bool PrintLine(const std::wstring& line, bool formFeed);
    // Ends the last sheet; a document without lines still gets one page with its header.
    bool Finish();
    int Pages() const { return page; }
    int CharsPerLine() const { return charsPerLine; }
    // Told the number of every page that starts.
    std::function<void(int)> onNewPage;

private:
    bool NewPage();

    IPrintTarget& target;
    PageMetrics metrics;
    int layout;
    std::wstring title, pageWord;
    int charsPerLine;
    int page = 0;
    int x = 0, y = 0;
    bool sheetOpen = false;
    bool failed = false;
};

// Splits a byte stream into whole lines of any length. A UTF-16 or UTF-8 byte-order mark decides
// the encoding; without one the text is UTF-16 when forced, else in the given code page. Line ends
// (LF or CR LF) are removed.
class CTextLineReader {
public:
    // source fills up to n bytes and returns how many; 0 at the end.
    CTextLineReader(std::function<size_t(char*, size_t)> source, unsigned codePage, bool forceUtf16 = false);
    bool Next(std::wstring& line);

private:
    bool Fill();
    std::wstring Decode(const char* bytes, size_t n) const;

    std::function<size_t(char*, size_t)> source;
    unsigned codePage;
    bool utf16;
    bool started = false, ended = false;
    std::string buffer;
    size_t pos = 0;
};

// Prints every line of reader; keepGoing is asked before each line (false: cancelled).
// Returns false when the target failed.
bool PrintLines(CTextLineReader& reader, CPageComposer& composer, const PrintOptions& options,
                const std::function<bool()>& keepGoing);
