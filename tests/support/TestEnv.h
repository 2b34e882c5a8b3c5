// Test helpers: a clean settings store, temporary directories and files.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

namespace test {

// Removes HKCU\Software\Brennmark\PD so each test starts from an empty store.
void ResetStore();

// A fresh directory under the temporary directory, removed with all it holds.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& Path() const { return path; }
    std::wstring operator/(const std::wstring& name) const { return path + L"\\" + name; }

private:
    std::wstring path;
};

bool MakeFile(const std::wstring& path, const std::string& content = "", DWORD attributes = 0);
bool MakeDir(const std::wstring& path, DWORD attributes = 0);
// A sparse file of the given size (no data written).
bool MakeSparseFile(const std::wstring& path, uint64_t size);
void RemoveTree(const std::wstring& path);

std::string Narrow(const std::wstring& text);
std::wstring Widen(const std::string& text);
// How many files (not directories) the directory holds.
int FilesIn(const std::wstring& directory);
// The whole file; "<missing>" when it cannot be opened.
std::string ReadAll(const std::wstring& path);

// The directory of the running test program (bin/ of the build tree).
std::wstring BinDirectory();
// A UTF-16 file as the recorder program writes it; empty when it is missing.
std::wstring ReadRecord(const std::wstring& path);

} // namespace test
