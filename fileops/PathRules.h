// Path and name rules of copy and move that need no file system: patterns, parts, self checks.
#pragma once
#include <cstddef>
#include <string>

// Merges a name with a rename pattern ("report.txt" + "*.bak" gives "report.bak").
std::wstring ApplyRenamePattern(const std::wstring& name, const std::wstring& pattern);

bool HasWildcard(const std::wstring& text);
// The part after the last backslash (or after "X:"); the whole text when there is none.
std::wstring LastPart(const std::wstring& path);
// Everything before the last part, without its trailing backslash except for a root ("C:\").
std::wstring DirectoryPart(const std::wstring& path);
// directory + name with exactly one backslash between them (a root keeps its own).
std::wstring JoinPath(const std::wstring& directory, const std::wstring& name);
// The length of the root that begins path: 3 for "C:\", the whole "\\server\share\" of a
// network path, 0 for a path without one.
size_t RootLength(const std::wstring& path);
// The directory that holds path ("C:\a" gives "C:\", "\\srv\share\a" gives "\\srv\share\");
// empty for a root or a path without one.
std::wstring ParentDirectory(const std::wstring& path);
// The plain form of an extended-length path ("\\?\C:\a" gives "C:\a", "\\?\UNC\s\h" gives "\\s\h").
std::wstring PlainPath(const std::wstring& path);
// A typed move target without a backslash and without a drive is a new name in place.
bool IsRenameInPlace(const std::wstring& target);

// Both paths absolute and normalised; the comparison ignores case and a trailing backslash.
bool SamePath(const std::wstring& a, const std::wstring& b);
// True when path is directory itself or lies anywhere below it.
bool IsSameOrBelow(const std::wstring& path, const std::wstring& directory);
