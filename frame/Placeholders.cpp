// Placeholder values, the per-entry test, the replacement and its quoting; no system calls, so they are
// tested directly.
#include "frame/Placeholders.h"

PlaceholderValues MakePlaceholderValues(const std::wstring& directory, const std::wstring& entry)
{
    PlaceholderValues v;
    v.directory = directory;
    v.drive = directory.substr(0, directory.find(L'\\'));
    v.full = entry;
    size_t slash = entry.find_last_of(L'\\');
    v.fileName = slash == std::wstring::npos ? entry : entry.substr(slash + 1);
    size_t dot = v.fileName.find(L'.');
    v.name = v.fileName.substr(0, dot);
    v.extension = dot == std::wstring::npos ? std::wstring() : v.fileName.substr(dot + 1);
    return v;
}

bool UsesPerEntryPlaceholders(const std::wstring& text)
{
    for (const wchar_t* p : {L"&as", L"&ap", L"&ad", L"&an", L"&ae"})
        if (text.find(p) != std::wstring::npos) return true;
    return false;
}

namespace {
const std::wstring* ValueFor(wchar_t key, const PlaceholderValues& v)
{
    switch (key) {
    case L's': return &v.full;
    case L'p': return &v.directory;
    case L'd': return &v.drive;
    case L'n': return &v.name;
    case L'e': return &v.extension;
    case L'f': return &v.fileName;
    }
    return nullptr;
}

// Characters that mean nothing to the interpreter, so they may share a value's quotes.
bool IsPlainForInterpreter(wchar_t c)
{
    if (c >= 0x80) return true;
    if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return true;
    for (wchar_t p : std::wstring(L"\\:._-~$#{}[]'`"))
        if (c == p) return true;
    return false;
}

bool HoldsBlank(const std::wstring& value) { return value.find_first_of(L" \t") != std::wstring::npos; }

bool CanPass(const std::wstring& value, Quoting quoting)
{
    switch (quoting) {
    case Quoting::None: return true;
    case Quoting::Arguments: return value.find(L'"') == std::wstring::npos;
    case Quoting::Interpreter:
        for (wchar_t c : value)
            if (c == L'"' || c == L'%' || c < 0x20) return false;
        return true;
    }
    return false;
}

size_t TrailingBackslashes(const std::wstring& text)
{
    size_t last = text.find_last_not_of(L'\\');
    return last == std::wstring::npos ? text.size() : text.size() - 1 - last;
}

// Builds the text. Outside the text's own quotes, values and the plain characters around them
// gather in a word that is written quoted when one of its values needs it. A program's argument
// splitter reads backslashes before a quote as escapes, so those are doubled wherever a quote follows.
class Expander {
public:
    explicit Expander(Quoting quoting) : quoting(quoting) {}

    void AddValue(const std::wstring& value)
    {
        if (insideQuotes) {
            out += value;
            if (!value.empty()) valueBackslashes = TrailingBackslashes(value);
            return;
        }
        word += value;
        if (quoting == Quoting::Interpreter ? !value.empty() : quoting == Quoting::Arguments && HoldsBlank(value))
            quoteWord = true;
    }

    void AddChar(wchar_t c)
    {
        if (!insideQuotes && IsWordChar(c)) {
            word += c;
            return;
        }
        FlushWord();
        if (c == L'"' && quoting != Quoting::None) out.append(valueBackslashes, L'\\');
        valueBackslashes = 0;
        out += c;
        Track(c);
    }

    std::wstring Finish()
    {
        FlushWord();
        return out;
    }

private:
    bool IsWordChar(wchar_t c) const
    {
        switch (quoting) {
        case Quoting::None: return true;
        case Quoting::Arguments: return c != L' ' && c != L'\t' && c != L'"';
        case Quoting::Interpreter: return IsPlainForInterpreter(c);
        }
        return false;
    }

    void FlushWord()
    {
        if (word.empty()) return;
        if (quoteWord) {
            // A caret in front would turn the opening quote into a plain character: give it one to eat.
            if (caretPending) out += L'"';
            out += L'"';
            out += word;
            out.append(TrailingBackslashes(word), L'\\');
            out += L'"';
        } else {
            out += word;
        }
        caretPending = false;
        valueBackslashes = 0;
        word.clear();
        quoteWord = false;
    }

    // Follows the quotes of the text as its reader will: the interpreter toggles at every quote
    // except one escaped by a caret outside quotes.
    void Track(wchar_t c)
    {
        if (quoting != Quoting::Interpreter) {
            if (c == L'"') insideQuotes = !insideQuotes;
            return;
        }
        if (insideQuotes) {
            if (c == L'"') insideQuotes = false;
        } else if (caretPending) {
            caretPending = false;
        } else if (c == L'^') {
            caretPending = true;
        } else if (c == L'"') {
            insideQuotes = true;
        }
    }

    Quoting quoting;
    std::wstring out;
    std::wstring word;
    bool quoteWord = false;
    bool insideQuotes = false;
    bool caretPending = false;
    size_t valueBackslashes = 0;
};
}

Expansion ExpandPlaceholders(const std::wstring& text, const PlaceholderValues& active,
                             const PlaceholderValues& other, Quoting quoting)
{
    Expander expander(quoting);
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'&' && i + 2 < text.size() && (text[i + 1] == L'a' || text[i + 1] == L'b')) {
            const std::wstring* value = ValueFor(text[i + 2], text[i + 1] == L'a' ? active : other);
            if (value) {
                if (!CanPass(*value, quoting)) return {std::wstring(), text.substr(i, 3)};
                expander.AddValue(*value);
                i += 2;
                continue;
            }
        }
        expander.AddChar(c);
    }
    return {expander.Finish(), std::wstring()};
}

std::wstring InterpreterProgram(const std::wstring& program)
{
    if (program.find(L'"') != std::wstring::npos) return program;
    for (wchar_t c : program)
        if (!IsPlainForInterpreter(c)) return L"\"" + program + L"\"";
    return program;
}

std::wstring InterpreterParameters(const std::wstring& line, bool closeWhenDone)
{
    return std::wstring(L"/s /v:off ") + (closeWhenDone ? L"/c \"" : L"/k \"") + line + L"\"";
}

bool FitsCommandLine(const std::wstring& program, const std::wstring& parameters)
{
    return program.size() + 1 + parameters.size() <= MaxCommandLineLength;
}
