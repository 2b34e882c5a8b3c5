// The placeholders of command lines and application buttons ("&as" ... "&bf") and their replacement.
#pragma once
#include <cstddef>
#include <string>

// The six values one panel gives its placeholders s, p, d, n, e and f.
struct PlaceholderValues {
    std::wstring full;      // "&?s": the entry's full name
    std::wstring directory; // "&?p": the panel's directory
    std::wstring drive;     // "&?d": the directory up to its first backslash
    std::wstring name;      // "&?n": the entry's name up to its first dot
    std::wstring extension; // "&?e": the text after that dot
    std::wstring fileName;  // "&?f": the entry's name with its extension
};

// The values of a directory and the full name of one of its entries (empty: no entry).
PlaceholderValues MakePlaceholderValues(const std::wstring& directory, const std::wstring& entry);

// True when the text names the active panel's entry or directory ("&as", "&ap", "&ad", "&an", "&ae"):
// the command then runs once for every chosen entry. "&af" alone does not count.
bool UsesPerEntryPlaceholders(const std::wstring& text);

enum class Quoting {
    None,   // working directories: the values as they are
    Blanks, // parameters: a value with a blank is quoted unless the text already quotes it
};

// Replaces every "&a?" with the active panel's value and every "&b?" with the other panel's.
std::wstring ExpandPlaceholders(const std::wstring& text, const PlaceholderValues& active,
                                const PlaceholderValues& other, Quoting quoting);

// The longest command line the command interpreter accepts; started programs get no more either.
constexpr std::size_t MaxCommandLineLength = 8191;
// True when program, a blank and the parameters fit one command line.
bool FitsCommandLine(const std::wstring& program, const std::wstring& parameters);
