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

// The whole file as bytes; empty when it cannot be read.
std::string FileBytes(const std::wstring& path);

// The Unix name of a Windows path (Wine); empty when there is none.
std::string UnixPath(const std::wstring& path);
// Starts a program of the Unix side without waiting for it (Wine gives no handle to wait on).
bool StartUnixProgram(std::wstring commandLine);
// Runs a Unix shell command to its end; true when it exited with 0.
bool RunShell(const std::string& command);
// Runs a Unix shell command to its end (up to timeoutMs): its exit status, or -1 when it did
// not finish; output gets what it wrote to stdout and stderr. The command holds no double quote.
int RunUnix(const std::string& command, std::string* output = nullptr, int timeoutMs = 60000);
// Single quotes for the Unix shell.
std::string ShellQuote(const std::string& text);

} // namespace test
