// The rules that keep every extracted member inside the target directory; plain text work.
#pragma once
#include <string>

enum class NameProblem {
    None,
    Empty,           // nothing but separators and "." parts
    Absolute,        // begins with "\" or "/"
    DriveOrStream,   // "C:", or ":" anywhere (a drive or an alternate data stream)
    ParentReference, // a ".." part
    DeviceName,      // CON, NUL, COM1 ... (with any extension)
    BadCharacter,    // control characters or <>"|?*
    TrailingDotOrSpace,
    PartTooLong,     // a part longer than a file system allows
};

// The path under the target directory for a member name as stored ("/" or "\" separated), with
// backslashes; only the last part without keepFolders. The name is refused as a whole when any
// part is unsafe, whether or not that part would be kept.
NameProblem SafeRelativePath(const std::wstring& stored, bool keepFolders, std::wstring& relative);

// The member name without its folders, as the list shows it when folders are not kept.
std::wstring BareName(const std::wstring& stored);

bool HasFolders(const std::wstring& stored, bool slashCounts);
