// File contents, snapshots, times and the two-panel fixture of the copy tests.
#include "fileops/FileCheck.h"
#include "panel/PanelRequests.h"
#include <random>

namespace test {

std::string RandomBytes(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

bool Exists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {
void Walk(const std::wstring& root, const std::wstring& relative, std::map<std::wstring, std::string>& out)
{
    WIN32_FIND_DATAW data;
    std::wstring dir = relative.empty() ? root : root + L"\\" + relative;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring rel = relative.empty() ? name : relative + L"\\" + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out[rel] = "<dir>";
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) Walk(root, rel, out);
        } else {
            out[rel] = ReadAll(root + L"\\" + rel);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
}

uint64_t Times(const std::wstring& path, bool creation)
{
    WIN32_FILE_ATTRIBUTE_DATA info = {};
    ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info);
    FILETIME t = creation ? info.ftCreationTime : info.ftLastWriteTime;
    return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}
}

std::map<std::wstring, std::string> Snapshot(const std::wstring& root)
{
    std::map<std::wstring, std::string> out;
    Walk(root, L"", out);
    return out;
}

uint64_t WriteTime(const std::wstring& path) { return Times(path, false); }
uint64_t CreationTime(const std::wstring& path) { return Times(path, true); }

void SetWriteTime(const std::wstring& path, int64_t secondsFromNow)
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    t.QuadPart += secondsFromNow * 10000000LL;
    FILETIME ft = {t.LowPart, t.HighPart};
    HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    ::SetFileTime(h, nullptr, nullptr, &ft);
    ::CloseHandle(h);
}

std::wstring ThroughUnixRoot(const std::wstring& path)
{
    std::string unix = UnixPath(path);
    if (unix.empty()) return std::wstring();
    std::wstring wide = Widen(unix);
    for (wchar_t& c : wide)
        if (c == L'/') c = L'\\';
    return L"Z:" + wide;
}

std::vector<std::wstring> TemporaryFiles(const std::wstring& directory)
{
    std::vector<std::wstring> names;
    for (auto& [name, content] : Snapshot(directory))
        if (name.find(L"~pd") != std::wstring::npos) names.push_back(name);
    return names;
}

void CopyFixture::SetUp()
{
    AppTest::SetUp();
    ASSERT_TRUE(Start());
    WaitForPanels();
}

void CopyFixture::TearDown()
{
    AppTest::TearDown();
    // The panels made the temporary directories current; a current directory cannot be removed.
    ::SetCurrentDirectoryW(L"C:\\");
}

void CopyFixture::Show(CFileList& panel, const std::wstring& dir)
{
    panel.SetDirectory(dir.substr(0, 3), dir);
    panel.keepMarks = false;
    panel.OnUpdate();
}

void CopyFixture::ShowBoth()
{
    Show(Left(), src.Path());
    Show(Right(), dst.Path());
}

void CopyFixture::Mark(const std::vector<std::wstring>& names)
{
    for (const std::wstring& name : names) {
        int row = RowOf(Left(), name);
        ASSERT_GE(row, 0) << Narrow(name);
        Left().List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
}

void CopyFixture::Cursor(const std::wstring& name)
{
    int row = RowOf(Left(), name);
    ASSERT_GE(row, 0) << Narrow(name);
    Left().List().SetItemState(-1, 0, LVIS_SELECTED);
    Left().List().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
}

void CopyFixture::Run(UINT request)
{
    ::SendMessageW(Left().Handle(), request, 0, 0);
    EXPECT_FALSE(main->operation.busy);
    EXPECT_TRUE(::IsWindowEnabled(main->Handle()));
}

} // namespace test
