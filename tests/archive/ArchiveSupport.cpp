// The archive dialog driven through its real template: listing, the target, the folder question.
#include "archive/ArchiveSupport.h"
#include "archive/ArchiveText.h"
#include "framework/Resources.h"
#include "resource.h"
#include <commctrl.h>

namespace test {

std::wstring FixtureDirectory()
{
    wchar_t value[1024] = {};
    DWORD n = ::GetEnvironmentVariableW(L"PD_ARCHIVE_FIXTURE", value, 1024);
    if (n == 0 || n >= 1024) return std::wstring();
    std::wstring path = L"Z:" + std::wstring(value, n);
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

void ArchiveTest::SetUp()
{
    ResetStore();
    static HMODULE resources = nullptr;
    if (!resources) {
        resources = ::LoadLibraryW((BinDirectory() + L"\\PDDLL.DLL").c_str());
        fw::SetResourceInstance(resources);
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS};
        ::InitCommonControlsEx(&controls);
    }
    ASSERT_TRUE(resources) << "PDDLL.DLL beside the test program";
    fixture = FixtureDirectory();
    // The fixture test of ctest makes the archives; without them every test here must fail.
    ASSERT_FALSE(fixture.empty()) << "PD_ARCHIVE_FIXTURE is set by ctest's archive_fixtures";
    ASSERT_TRUE(Exists(fixture + L"\\ready")) << Narrow(fixture);
}

void ArchiveTest::TearDown() { ResetStore(); }

std::wstring ArchiveTest::Write(const std::wstring& name, const std::string& bytes)
{
    std::wstring path = scratch / name;
    EXPECT_TRUE(MakeFile(path, bytes));
    return path;
}

INT_PTR ArchiveTest::List(const std::wstring& archive)
{
    Extraction none;
    none.all = false;
    return Extract(archive, none, {});
}

INT_PTR ArchiveTest::Extract(const std::wstring& archive, const Extraction& how, std::map<std::wstring, Rule> more)
{
    rows.clear();
    bool listOnly = !how.all && how.mark.empty();
    Rule filecont{{listOnly ? IDCANCEL : how.all ? IDC_ARC_ALL : static_cast<int>(IDM_ARC_EXTRACT)}, [&](HWND w) {
                      auto* dialog = dynamic_cast<CArchiveDialog*>(fw::CDialog::FromHandle(w));
                      if (!dialog) return;
                      rows = dialog->Rows();
                      dialogWindow = w;
                      hasFolders = dialog->HasFolders();
                      damaged = dialog->Damaged();
                      type = dialog->Type();
                      titles.push_back(fw::GetText(::GetDlgItem(w, IDC_ARC_TITLE)));
                      HWND list = ::GetDlgItem(w, IDC_ARC_LIST);
                      for (int row : how.mark) ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
                  }};
    std::map<std::wstring, Rule> rules = std::move(more);
    rules[L"FILECONT"] = filecont;
    if (!rules.count(L"UNZIP"))
        rules[L"UNZIP"] = Rule{{IDOK}, [target = how.target.empty() ? this->target.Path() : how.target](HWND w) {
                                   ::SetDlgItemTextW(w, IDC_UNZIP_TARGET, target.c_str());
                               }};
    if (!rules.count(L"#32770")) rules[L"#32770"] = Rule{{how.keepFolders ? IDYES : IDNO}};
    CArchiveDialog dialog(archive, target.Path(), operation);
    INT_PTR result;
    {
        Answers answers(rules);
        result = dialog.DoModal(nullptr);
        boxes = answers.Boxes();
        unzipShown = answers.Count(L"UNZIP");
    }
    return result;
}

Rule ArchiveTest::AnswerAndClose(int answer)
{
    return Rule{{answer}, [this](HWND) { ::PostMessageW(dialogWindow, WM_COMMAND, IDCANCEL, 0); }};
}

std::vector<std::wstring> ArchiveTest::Names() const
{
    std::vector<std::wstring> names;
    for (const ArchiveRow& r : rows) names.push_back(r.name);
    return names;
}

const ArchiveRow* ArchiveTest::Row(const std::wstring& name) const
{
    for (const ArchiveRow& r : rows)
        if (r.name == name) return &r;
    return nullptr;
}

uint64_t ArchiveTest::SourceTime()
{
    // 2021-03-04 05:06:07 local time, as make_fixtures.sh touches every source file.
    SYSTEMTIME local = {2021, 3, 0, 4, 5, 6, 7, 0}, utc;
    ::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
    FILETIME ft;
    ::SystemTimeToFileTime(&utc, &ft);
    return static_cast<uint64_t>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime;
}

} // namespace test
