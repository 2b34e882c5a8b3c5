// The placeholder replacement: no name may change how the command interpreter reads the line.
#include "frame/Placeholders.h"
#include "fuzz/FuzzTarget.h"

namespace {

// What the interpreter acts on, as it reads the line: operators and separators outside quotes (a
// caret there takes the next character literally), and every '%' wherever it stands.
std::wstring Structure(const std::wstring& line)
{
    static const std::wstring active = L"&|<>()^ \t,;=";
    std::wstring s;
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        wchar_t c = line[i];
        if (c == L'%' || c < 0x20) s += c;
        if (c == L'"') {
            quoted = !quoted;
            s += c;
        } else if (!quoted && c == L'^') {
            s += c;
            if (i + 1 < line.size()) s += line[++i] == L'"' ? L'q' : L'c';
        } else if (!quoted && active.find(c) != std::wstring::npos) {
            s += c;
        }
    }
    return s;
}

// The same values with nothing in them but a plain letter; empty stays empty.
PlaceholderValues Plain(const PlaceholderValues& v)
{
    auto plain = [](const std::wstring& s) { return s.empty() ? std::wstring() : std::wstring(L"x"); };
    return {plain(v.full), plain(v.directory), plain(v.drive), plain(v.name), plain(v.extension), plain(v.fileName)};
}

PlaceholderValues ReadValues(fuzz::Input& in)
{
    if (in.Byte() & 1) {
        std::wstring directory = in.Text(128);
        return MakePlaceholderValues(directory, directory + L"\\" + in.Text(128));
    }
    PlaceholderValues v;
    for (std::wstring* s : {&v.full, &v.directory, &v.drive, &v.name, &v.extension, &v.fileName}) *s = in.Text(64);
    return v;
}

} // namespace

FUZZ_TARGET(placeholders)
{
    fuzz::Input in(data, size);
    Quoting quoting = static_cast<Quoting>(in.Byte() % 3);
    PlaceholderValues active = ReadValues(in), other = ReadValues(in);
    std::wstring text = in.Text(512);
    UsesPerEntryPlaceholders(text);
    Expansion expansion = ExpandPlaceholders(text, active, other, quoting);
    if (!expansion.refused.empty()) {
        FUZZ_CHECK(expansion.text.empty());
        return;
    }
    InterpreterParameters(expansion.text, true);
    InterpreterProgram(active.full);
    if (quoting != Quoting::Interpreter) return;
    Expansion plain = ExpandPlaceholders(text, Plain(active), Plain(other), quoting);
    FUZZ_CHECK(plain.refused.empty());
    FUZZ_CHECK(Structure(expansion.text) == Structure(plain.text));
}
