// File-system helpers of the file operations: directory tests and creation, long paths, targets.
#pragma once
#include <string>

// The process's current directory, of any length.
std::wstring CurrentDirectory();

bool DirectoryExists(const std::wstring& path);
// Makes path the process's current directory when the system can hold it there; false when it did
// not change. A path longer than the current-directory limit is refused: Windows refuses it too,
// and under Wine 8 it would break the loading of libraries by name for the rest of the process.
bool MakeCurrentDirectory(const std::wstring& path);
// Creates path and every missing parent; false only when the last directory cannot be made.
bool MakeDirectoryPath(const std::wstring& path);
// The extended-length form ("\\?\C:\...") for paths too long for the plain calls.
std::wstring LongPath(const std::wstring& path);
// A typed target made absolute against the panel's directory and normalised ("..", "/").
std::wstring ResolveTarget(const std::wstring& typed, const std::wstring& baseDirectory);
