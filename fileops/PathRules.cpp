// Path and name rules of copy and move: rename patterns, path parts and the self/into-itself checks.
#include "fileops/PathRules.h"
#include <cwctype>

namespace {
struct NameParts {
    std::wstring base, extension;
    bool hasExtension = false;
};

// A name without a dot has an empty extension that "*" and "?" copy as nothing: taken as a
// literal "*" it would make names such as "README.*" that no file system accepts.
NameParts Split(const std::wstring& text, bool isName)
{
    NameParts parts;
    size_t dot = text.rfind(L'.');
    if (dot == std::wstring::npos) {
        parts.base = text;
        parts.hasExtension = isName;
    } else {
        parts.base = text.substr(0, dot);
        parts.extension = text.substr(dot + 1);
        parts.hasExtension = true;
    }
    return parts;
}

std::wstring Merge(const std::wstring& part, const std::wstring& pattern)
{
    std::wstring out;
    size_t pos = 0;
    for (wchar_t c : pattern) {
        if (c == L'*') {
            if (pos < part.size()) out += part.substr(pos);
            pos = part.size();
        } else if (c == L'?') {
            if (pos >= part.size()) break;
            out += part[pos++];
        } else {
            out += c;
            if (pos < part.size()) ++pos;
        }
    }
    return out;
}

std::wstring Normalised(const std::wstring& path)
{
    std::wstring out;
    out.reserve(path.size());
    for (wchar_t c : path) out += static_cast<wchar_t>(std::towupper(c == L'/' ? L'\\' : c));
    while (out.size() > 3 && out.back() == L'\\') out.pop_back();
    return out;
}
}

std::wstring ApplyRenamePattern(const std::wstring& name, const std::wstring& pattern)
{
    NameParts source = Split(name, true);
    NameParts mask = Split(pattern, false);
    std::wstring base = Merge(source.base, mask.base);
    std::wstring extension = mask.hasExtension ? Merge(source.extension, mask.extension) : std::wstring();
    return extension.empty() ? base : base + L"." + extension;
}

bool HasWildcard(const std::wstring& text)
{
    return text.find_first_of(L"*?") != std::wstring::npos;
}

std::wstring LastPart(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos) return path.substr(slash + 1);
    if (path.size() >= 2 && path[1] == L':') return path.substr(2);
    return path;
}

std::wstring DirectoryPart(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return path.size() >= 2 && path[1] == L':' ? path.substr(0, 2) : std::wstring();
    if (slash == 2 && path[1] == L':') return path.substr(0, 3);
    if (slash == 0) return path.substr(0, 1);
    return path.substr(0, slash);
}

std::wstring JoinPath(const std::wstring& directory, const std::wstring& name)
{
    if (directory.empty()) return name;
    wchar_t last = directory.back();
    if (last == L'\\' || last == L'/') return directory + name;
    return directory + L"\\" + name;
}

size_t RootLength(const std::wstring& path)
{
    auto isSlash = [&](size_t i) { return i < path.size() && (path[i] == L'\\' || path[i] == L'/'); };
    if (path.size() >= 2 && path[1] == L':') return isSlash(2) ? 3 : 2;
    if (!isSlash(0) || !isSlash(1)) return 0;
    size_t server = path.find_first_of(L"\\/", 2);
    if (server == std::wstring::npos) return path.size();
    size_t share = path.find_first_of(L"\\/", server + 1);
    return share == std::wstring::npos ? path.size() : share + 1;
}

std::wstring ParentDirectory(const std::wstring& path)
{
    size_t root = RootLength(path);
    if (root == 0) return std::wstring();
    std::wstring p = path;
    while (p.size() > root && (p.back() == L'\\' || p.back() == L'/')) p.pop_back();
    if (p.size() <= root) return std::wstring();
    size_t slash = p.find_last_of(L"\\/");
    if (slash == std::wstring::npos || slash < root) {
        std::wstring top = p.substr(0, root);
        if (top.back() != L'\\' && top.back() != L'/') top += L'\\';
        return top;
    }
    return p.substr(0, slash);
}

std::wstring PlainPath(const std::wstring& path)
{
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
    if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
    return path;
}

bool IsRenameInPlace(const std::wstring& target)
{
    return target.find_first_of(L"\\/") == std::wstring::npos && !(target.size() >= 2 && target[1] == L':');
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return Normalised(a) == Normalised(b);
}

bool IsSameOrBelow(const std::wstring& path, const std::wstring& directory)
{
    std::wstring p = Normalised(path), d = Normalised(directory);
    if (p.size() < d.size() || p.compare(0, d.size(), d) != 0) return false;
    return p.size() == d.size() || d.back() == L'\\' || p[d.size()] == L'\\';
}
