// The launching tests' recorder, records and clean-up.
#include "cmdline/LaunchSupport.h"
#include "common/Settings.h"
#include <shellapi.h>

namespace test {

std::wstring Recorder() { return BinDirectory() + L"\\recordargs.exe"; }

std::wstring ReadText(const std::wstring& path)
{
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string bytes(64 * 1024, '\0');
    DWORD n = 0;
    ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    ::CloseHandle(h);
    std::wstring text;
    for (DWORD i = 0; i < n; ++i)
        if (bytes[i] != '\r') text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return text;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SameName(const std::wstring& a, const std::wstring& b)
{
    wchar_t la[MAX_PATH] = {}, lb[MAX_PATH] = {};
    if (!::GetLongPathNameW(a.c_str(), la, MAX_PATH)) lstrcpynW(la, a.c_str(), MAX_PATH);
    if (!::GetLongPathNameW(b.c_str(), lb, MAX_PATH)) lstrcpynW(lb, b.c_str(), MAX_PATH);
    return ::lstrcmpiW(la, lb) == 0;
}

void LaunchTest::SetUp()
{
    AppTest::SetUp();
    record = tmp / L"record.txt";
    ::SetEnvironmentVariableW(L"PD_RECORD", record.c_str());
}

void LaunchTest::TearDown()
{
    if (main) EndStartedProcesses();
    AppTest::TearDown();
}

void LaunchTest::StartIn(const std::wstring& left, const std::wstring& right)
{
    WriteProfileString(L"Paden", L"Links", left);
    WriteProfileString(L"Paden", L"Rechts", right);
    ASSERT_TRUE(AppTest::Start());
    WaitForPanels();
}

void LaunchTest::Mark(const std::vector<std::wstring>& names)
{
    for (const std::wstring& name : names) {
        int row = RowOf(P(), name);
        ASSERT_GE(row, 0) << Narrow(name);
        P().List().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
    }
}

void LaunchTest::Cursor(const std::wstring& name)
{
    int row = RowOf(P(), name);
    ASSERT_GE(row, 0) << Narrow(name);
    P().List().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
}

std::vector<LaunchTest::Record> LaunchTest::Records()
{
    std::vector<Record> records;
    std::wstring text = ReadRecord(record);
    size_t pos = 0;
    for (;;) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos) break;
        size_t dirEnd = text.find(L'\n', end + 1);
        if (dirEnd == std::wstring::npos) break;
        Record r;
        int argc = 0;
        wchar_t** argv = ::CommandLineToArgvW(text.substr(pos, end - pos).c_str(), &argc);
        r.args.assign(argv, argv + argc);
        ::LocalFree(argv);
        r.directory = text.substr(end + 1, dirEnd - end - 1);
        records.push_back(r);
        pos = dirEnd + 1;
    }
    return records;
}

std::vector<LaunchTest::Record> LaunchTest::WaitForRecords(size_t count, int timeoutMs)
{
    PumpUntil([&] { return Records().size() >= count; }, timeoutMs);
    return Records();
}

void LaunchTest::EndStartedProcesses()
{
    for (StartedRun& run : main->lastRuns)
        if (run.process && ::WaitForSingleObject(run.process.Get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(run.process.Get(), 1);
            ::WaitForSingleObject(run.process.Get(), 5000);
        }
}

} // namespace test
