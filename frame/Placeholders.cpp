// Placeholder values, the per-entry test and the replacement; no system calls, so they are tested directly.
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
}

std::wstring ExpandPlaceholders(const std::wstring& text, const PlaceholderValues& active,
                                const PlaceholderValues& other, Quoting quoting)
{
    std::wstring out;
    bool insideQuotes = false;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'&' && i + 2 < text.size() && (text[i + 1] == L'a' || text[i + 1] == L'b')) {
            const std::wstring* value = ValueFor(text[i + 2], text[i + 1] == L'a' ? active : other);
            if (value) {
                // A name with a blank must reach the program as one parameter.
                bool quote = quoting == Quoting::Blanks && !insideQuotes && value->find(L' ') != std::wstring::npos;
                if (quote) out += L'"';
                out += *value;
                if (quote) out += L'"';
                i += 2;
                continue;
            }
        }
        if (c == L'"') insideQuotes = !insideQuotes;
        out += c;
    }
    return out;
}

bool FitsCommandLine(const std::wstring& program, const std::wstring& parameters)
{
    return program.size() + 1 + parameters.size() <= MaxCommandLineLength;
}
