// The placeholders of command lines and application buttons ("&as" ... "&bf"), their replacement,
// and the quoting that lets a replaced name reach the started command as one literal argument.
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

// Who reads the text once the placeholders are replaced.
enum class Quoting {
    None,        // the system, as a working directory: the values as they are
    Arguments,   // a program's own argument splitter: a value with a blank is quoted
    Interpreter, // the command interpreter: every value is quoted, so & | ^ ( ) < > , ; = and blanks in it
                 // are inert; a value the interpreter would still expand (%) or that would end the
                 // quotes (") is refused
};

struct Expansion {
    std::wstring text;
    // The placeholder whose value could not be passed safely ("&as" ...); empty when all were.
    // The text is then empty: nothing of it may run.
    std::wstring refused;
};

// Replaces every "&a?" with the active panel's value and every "&b?" with the other panel's.
// Outside quotes of the text, a value and the plain characters around it (letters, digits,
// \ : . _ - ~ and the like) are quoted as one argument, so "&bp\&an.bak" stays one argument.
Expansion ExpandPlaceholders(const std::wstring& text, const PlaceholderValues& active,
                             const PlaceholderValues& other, Quoting quoting);

// The program as the first word of an interpreter line: quoted when it holds a blank or a character
// the interpreter reads; built-in commands and other bare words stay as typed.
std::wstring InterpreterProgram(const std::wstring& program);

// The interpreter's parameters for one command line: "/c " (closeWhenDone) or "/k " and the line in one
// more pair of quotes, which the interpreter strips again ("/s"); delayed expansion is off, so a "!" in
// a name stays a "!".
std::wstring InterpreterParameters(const std::wstring& line, bool closeWhenDone);

// The longest command line the command interpreter accepts; started programs get no more either.
constexpr std::size_t MaxCommandLineLength = 8191;
// True when program, a blank and the parameters fit one command line.
bool FitsCommandLine(const std::wstring& program, const std::wstring& parameters);
