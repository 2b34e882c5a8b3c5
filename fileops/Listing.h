// Directory listings made by the command interpreter, printed or saved as Unicode text.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// "$$$DIR.TXT" in the temporary directory.
std::wstring ListingTempFile();

// The interpreter's parameters for a listing of directory (with the file mask, and every
// subdirectory when tree) written to output. A directory with a "%" in it is not put on the command
// line, where the interpreter would expand it: inDirectory then says the listing runs there.
std::wstring ListingParameters(const std::wstring& directory, const std::wstring& mask, bool tree,
                               const std::wstring& output, bool& inDirectory);

// Runs the interpreter and waits for it; the listing lands in output as UTF-16 without a byte-order
// mark (names outside the code page intact). False, with the system's error, when it did not run.
bool MakeListing(const std::wstring& directory, const std::wstring& mask, bool tree, const std::wstring& output,
                 DWORD& error);

// Copies a UTF-16 listing into target with a byte-order mark. False, with the error, on failure.
bool SaveUnicodeText(const std::wstring& source, const std::wstring& target, DWORD& error);

// A shell drop-file list (wide names) in shareable global memory; null when out of memory.
HGLOBAL MakeDropList(const std::vector<std::wstring>& paths);
// The names of a drop-file list, wide or not.
std::vector<std::wstring> ReadDropList(HGLOBAL list);
