// Shell links on the desktop: a free name beside the others and the link saved under it.
#pragma once
#include <windows.h>
#include <string>

// The desktop directory of the user, of any length; empty when the shell names none.
std::wstring DesktopDirectory();

// Saves a shell link to target (working directory workDir, no arguments) in directory under
// base + ".lnk", or base + " (2).lnk", " (3).lnk" ... when that is taken: an existing file is never
// replaced. linkPath gets the file written. Returns the result of the save; on failure nothing is left.
HRESULT SaveShortcut(const std::wstring& directory, const std::wstring& base, const std::wstring& target,
                     const std::wstring& workDir, std::wstring& linkPath);

// What a saved link holds, read back through the link object (for checking).
bool ReadShortcut(const std::wstring& linkPath, std::wstring& target, std::wstring& workDir);
