// Shared ground of the copy tests: file contents, tree snapshots and a fixture with two real panels.
#pragma once
#include "fileops/Answers.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include <map>
#include <string>
#include <vector>

namespace test {

std::string RandomBytes(size_t size, unsigned seed);
bool Exists(const std::wstring& path);
// Relative path -> content ("<dir>" for directories) of everything under root.
std::map<std::wstring, std::string> Snapshot(const std::wstring& root);
uint64_t WriteTime(const std::wstring& path);
uint64_t CreationTime(const std::wstring& path);
void SetWriteTime(const std::wstring& path, int64_t secondsFromNow);
// The same file reached through Wine's Z: drive, which maps the Unix root ("Z:\\...\\drive_c\\...").
std::wstring ThroughUnixRoot(const std::wstring& path);
// Names in a directory that look like our temporary files.
std::vector<std::wstring> TemporaryFiles(const std::wstring& directory);

// Left panel on src, right panel on dst; requests go to the left panel.
class CopyFixture : public AppTest {
protected:
    void SetUp() override;
    void TearDown() override;
    void Show(CFileList& panel, const std::wstring& dir);
    void ShowBoth();
    void Mark(const std::vector<std::wstring>& names);
    void Cursor(const std::wstring& name);
    // Sends the request to the left panel; it returns when the whole run is over.
    void Run(UINT request);
    CFileList& Left() { return main->LeftPanel(); }
    CFileList& Right() { return main->RightPanel(); }
    TempDir src, dst;
};

} // namespace test
