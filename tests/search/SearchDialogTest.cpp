// "File search" in the running program, driven by messages: the dialog's states, the history,
// the stored list, cancel, the refusals, and the five actions on real files.
#include "cmdline/LaunchSupport.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "framework/Resources.h"
#include "imageview/ModalDriver.h"
#include "panel/FileEntry.h"
#include "resource.h"
#include "tools/search/FileSearchDialog.h"
#include "tools/search/FoundFilesStore.h"
#include <commctrl.h>

using search::CFileSearchDialog;
using test::ModalDriver;

namespace {
using Stage = std::function<bool(HWND)>;

CFileSearchDialog* D() { return CFileSearchDialog::Current(); }

Stage Post(int id)
{
    return [id](HWND w) {
        ::PostMessageW(w, WM_COMMAND, id, 0);
        return true;
    };
}
Stage Set(int id, const std::wstring& text)
{
    return [id, text](HWND w) {
        ::SetDlgItemTextW(w, id, text.c_str());
        return true;
    };
}
Stage Click(int id)
{
    return [id](HWND w) {
        ::SendMessageW(::GetDlgItem(w, id), BM_CLICK, 0, 0);
        return true;
    };
}
// Waits until a posted search has ended.
Stage Searched()
{
    return [](HWND) { return D() && !D()->Searching(); };
}
Stage Do(std::function<void(HWND)> f)
{
    return [f](HWND w) {
        f(w);
        return true;
    };
}
bool Enabled(HWND w, int id) { return ::IsWindowEnabled(::GetDlgItem(w, id)) != FALSE; }
int DefaultId(HWND w) { return LOWORD(::SendMessageW(w, DM_GETDEFID, 0, 0)); }

class SearchDialog : public test::LaunchTest {
protected:
    void SetUp() override
    {
        LaunchTest::SetUp();
        root = tmp / L"tree";
        ASSERT_TRUE(test::MakeDir(root));
        ASSERT_TRUE(test::MakeDir(root + L"\\sub dir"));
        ASSERT_TRUE(test::MakeDir(tmp / L"other"));
        ASSERT_TRUE(test::MakeFile(root + L"\\alpha one.txt", "please find me here"));
        ASSERT_TRUE(test::MakeFile(root + L"\\gamma.log", "nothing"));
        ASSERT_TRUE(test::MakeFile(root + L"\\sub dir\\beta two.txt", "FIND ME too"));
    }
    // Opens "File search" on the active panel and runs the stages in its modal loop, one a tick;
    // message boxes are answered OK and their texts kept. closeId ends the dialog after the last
    // stage (0: a stage ends it).
    void RunDialog(std::vector<Stage> stages, int closeId = IDCANCEL)
    {
        ModalDriver driver;
        size_t next = 0;
        size_t dialog = driver.On(ModalDriver::Template(L"FILESEARCH"), [&](HWND w) {
            if (next < stages.size() && stages[next](w)) ++next;
            return next == stages.size();
        }, closeId);
        driver.On(ModalDriver::Caption(ProductName), [&](HWND w) {
            boxes.push_back(ModalDriver::Texts(w));
            return true;
        }, IDOK);
        driver.On(ModalDriver::Template(L"STATUSSEARCH"), [&](HWND w) {
            statusTitle = fw::GetText(w);
            std::wstring shown = fw::GetText(::GetDlgItem(w, IDC_STATUS_SOURCE));
            return !cancelAt.empty() && shown.find(cancelAt) != std::wstring::npos;
        }, IDCANCEL);
        ::PostMessageW(main->Handle(), WM_COMMAND, IDM_FILESEARCH, 0);
        EXPECT_TRUE(test::PumpUntil([&] { return driver.Count(dialog) == 1 && !D(); }, 60000));
        EXPECT_EQ(next, stages.size()) << "stages run";
    }
    std::wstring root;
    std::vector<std::wstring> boxes;
    std::wstring statusTitle;
    std::wstring cancelAt; // cancel once the status window shows this name
};
} // namespace

TEST_F(SearchDialog, StatesSearchHistoryAndStore)
{
    StartIn(root, tmp / L"other");
    RunDialog({
        Do([&](HWND w) {
            EXPECT_EQ(fw::GetText(::GetDlgItem(w, IDC_FS_DIRECTORY)), root);
            EXPECT_EQ(fw::GetText(::GetDlgItem(w, IDC_FS_MASK)), L"*.*");
            EXPECT_TRUE(::IsDlgButtonChecked(w, IDC_FS_SUBDIRS));
            EXPECT_TRUE(::IsDlgButtonChecked(w, IDC_FS_IGNORECASE));
            EXPECT_TRUE(::IsDlgButtonChecked(w, IDC_FS_ALLWORDS));
            EXPECT_FALSE(Enabled(w, IDC_FS_MINSIZE));
            EXPECT_FALSE(Enabled(w, IDC_FS_FIRSTDATE));
            EXPECT_FALSE(Enabled(w, IDC_FS_PREVIOUS)); // nothing stored yet
            for (int id : {IDM_EDIT, IDM_VIEW, IDC_FS_RUN, IDC_FS_GOTO, IDC_FS_FEED}) EXPECT_FALSE(Enabled(w, id));
            EXPECT_EQ(DefaultId(w), IDC_FS_START);
        }),
        Click(IDC_FS_SIZEBETWEEN),
        Do([](HWND w) {
            EXPECT_TRUE(Enabled(w, IDC_FS_MINSIZE));
            EXPECT_EQ(::GetFocus(), ::GetDlgItem(w, IDC_FS_MINSIZE));
        }),
        Click(IDC_FS_ANYSIZE),
        Do([](HWND w) { EXPECT_FALSE(Enabled(w, IDC_FS_MAXSIZE)); }),
        Set(IDC_FS_TEXT, L"find me"),
        Post(IDC_FS_START),
        Searched(),
        Do([&](HWND w) {
            ASSERT_EQ(D()->Results().size(), 2u);
            EXPECT_EQ(D()->Results()[0].path, root + L"\\alpha one.txt");
            EXPECT_EQ(D()->Results()[1].path, root + L"\\sub dir\\beta two.txt");
            EXPECT_EQ(ListView_GetItemCount(::GetDlgItem(w, IDC_FS_RESULTS)), 2);
            for (int id : {IDM_EDIT, IDM_VIEW, IDC_FS_RUN, IDC_FS_GOTO, IDC_FS_FEED}) EXPECT_TRUE(Enabled(w, id));
            EXPECT_EQ(DefaultId(w), IDC_FS_GOTO);
            EXPECT_TRUE(Enabled(w, IDC_FS_PREVIOUS));
            EXPECT_EQ(statusTitle, fw::LoadStr(IDS_FS_SEARCHING));
            wchar_t size[32] = {};
            ListView_GetItemText(::GetDlgItem(w, IDC_FS_RESULTS), 0, 1, size, 32);
            EXPECT_STREQ(size, L"19");
        }),
        // Typing makes Start the default again; a second text goes on top of the history.
        Set(IDC_FS_DIRECTORY, root),
        Do([](HWND w) { EXPECT_EQ(DefaultId(w), IDC_FS_START); }),
        Set(IDC_FS_TEXT, L"absent words"),
        Post(IDC_FS_START),
        Searched(),
        Do([&](HWND w) {
            EXPECT_TRUE(D()->Results().empty());
            EXPECT_FALSE(Enabled(w, IDC_FS_GOTO));
            EXPECT_EQ(::SendMessageW(::GetDlgItem(w, IDC_FS_TEXT), CB_GETCOUNT, 0, 0), 2);
        }),
        Set(IDC_FS_TEXT, L"find me"),
        Post(IDC_FS_START),
        Searched(),
        // A drive that is not there.
        Set(IDC_FS_DIRECTORY, L"Q:\\no such place"),
        Post(IDC_FS_START),
        Searched(),
        // A bad date is shown, and nothing is searched.
        Set(IDC_FS_DIRECTORY, root),
        Click(IDC_FS_DATEBETWEEN),
        Set(IDC_FS_FIRSTDATE, L"31-02-2020"),
        Post(IDC_FS_START),
        Searched(),
        Do([&](HWND) { EXPECT_TRUE(D()->Results().empty()); }),
    });
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0], fw::LoadStr(IDS_FS_NOTFOUND));
    EXPECT_EQ(boxes[1], fw::LoadStr(IDS_FS_NODRIVE));
    EXPECT_EQ(boxes[2], fw::LoadStr(IDS_FS_BADDATE) + L"31-02-2020");
    EXPECT_EQ(GetProfileString(L"ZoekReeksen", L"Reeks1", L""), L"find me");
    EXPECT_EQ(GetProfileString(L"ZoekReeksen", L"Reeks2", L""), L"absent words");
    EXPECT_EQ(GetProfileString(L"ZoekReeksen", L"Reeks3", L""), L"");
    EXPECT_EQ(GetProfileInt(L"GevondenBestanden", L"Aantal", 0), 2);
    EXPECT_EQ(GetProfileString(L"GevondenBestanden", L"Bestand2", L""), root + L"\\sub dir\\beta two.txt");
    EXPECT_EQ(GetProfileInt(L"GevondenBestanden", L"Grootte2", 0), 11);
    EXPECT_EQ(GetProfileString(L"GevondenBestanden", L"ZoekTekst", L""), L"find me");
    EXPECT_GT(GetProfileInt(L"SearchPositie", L"Col1", 0), 0);
}

TEST_F(SearchDialog, OfferedOnAltF7AndWithoutTextOnAnFtpPanel)
{
    StartIn(root, tmp / L"other");
    EXPECT_TRUE(main->IsCommandAvailable(IDM_FILESEARCH));
    std::wstring drive = P().drive;
    P().drive = L"FTP";
    RunDialog({Do([](HWND w) {
        EXPECT_FALSE(Enabled(w, IDC_FS_TEXT));
        EXPECT_TRUE(Enabled(w, IDC_FS_MASK));
    })});
    P().drive = drive;
}

TEST_F(SearchDialog, PreviousResultsWhoseFirstFileIsEmpty)
{
    ASSERT_TRUE(test::MakeFile(root + L"\\empty.txt", ""));
    std::vector<search::CFoundFile> files(2);
    files[0].path = root + L"\\empty.txt";
    files[0].size = 0;
    files[1].path = root + L"\\huge.bin";
    files[1].size = 5000000000ull;
    ASSERT_TRUE(search::StoreResults(files, root, L"*.txt", L"quoted \"x\""));
    StartIn(root, tmp / L"other");
    RunDialog({
        Do([](HWND w) { EXPECT_TRUE(Enabled(w, IDC_FS_PREVIOUS)); }),
        Post(IDC_FS_PREVIOUS),
        Do([&](HWND w) {
            ASSERT_EQ(D()->Results().size(), 2u);
            EXPECT_EQ(D()->Results()[1].size, 5000000000ull);
            EXPECT_EQ(fw::GetText(::GetDlgItem(w, IDC_FS_MASK)), L"*.txt");
            EXPECT_EQ(fw::GetText(::GetDlgItem(w, IDC_FS_TEXT)), L"quoted \"x\"");
            EXPECT_FALSE(Enabled(w, IDC_FS_PREVIOUS));
            EXPECT_TRUE(Enabled(w, IDC_FS_FEED));
            wchar_t size[32] = {};
            ListView_GetItemText(::GetDlgItem(w, IDC_FS_RESULTS), 1, 1, size, 32);
            std::wstring sep = Program().thousandSeparator;
            EXPECT_EQ(std::wstring(size), L"5" + sep + L"000" + sep + L"000" + sep + L"000");
        }),
    });
}

TEST_F(SearchDialog, CancelKeepsAndStoresWhatWasFound)
{
    // The root's file comes first; the big file below it keeps the search busy until cancelled.
    ASSERT_TRUE(test::MakeDir(root + L"\\sub dir\\later"));
    ASSERT_TRUE(test::MakeSparseFile(root + L"\\sub dir\\big.bin", 4ull << 30));
    ASSERT_TRUE(test::MakeFile(root + L"\\sub dir\\later\\z.txt", "find me"));
    StartIn(root, tmp / L"other");
    cancelAt = L"big.bin";
    RunDialog({
        Set(IDC_FS_TEXT, L"find me"),
        Post(IDC_FS_START),
        Searched(),
        Do([&](HWND) {
            ASSERT_FALSE(D()->Results().empty());
            EXPECT_EQ(D()->Results()[0].path, root + L"\\alpha one.txt");
            for (const auto& f : D()->Results()) EXPECT_NE(f.path, root + L"\\sub dir\\later\\z.txt");
        }),
    });
    EXPECT_GE(GetProfileInt(L"GevondenBestanden", L"Aantal", 0), 1);
    EXPECT_FALSE(main->operation.busy);
}

TEST_F(SearchDialog, GoToFileShowsItsDirectoryWithTheCursorOnIt)
{
    StartIn(tmp / L"other", tmp / L"other");
    // The directory field is the panel's; search the tree instead.
    RunDialog({
        Set(IDC_FS_DIRECTORY, root),
        Set(IDC_FS_TEXT, L"find"),
        Post(IDC_FS_START),
        Searched(),
        Do([](HWND w) {
            HWND list = ::GetDlgItem(w, IDC_FS_RESULTS);
            ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
            ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        }),
        Post(IDC_FS_GOTO),
    }, 0);
    EXPECT_EQ(P().path, root + L"\\sub dir");
    EXPECT_EQ(P().CurrentName(), L"beta two.txt");
    // The refresh the main window arms afterwards keeps the cursor there.
    int updates = P().updates;
    ASSERT_TRUE(test::PumpUntil([&] { return P().updates > updates; }));
    EXPECT_EQ(P().CurrentName(), L"beta two.txt");
}

TEST_F(SearchDialog, FeedToPanelGivesFullPathRowsThatCopyWithoutARead)
{
    StartIn(root, tmp / L"other");
    RunDialog({
        Set(IDC_FS_TEXT, L"find me"),
        Post(IDC_FS_START),
        Searched(),
        Post(IDC_FS_FEED),
    }, 0);
    EXPECT_TRUE(P().showsFoundFiles);
    std::vector<std::wstring> rows = test::RowNames(P());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], root + L"\\alpha one.txt");
    EXPECT_EQ(rows[1], root + L"\\sub dir\\beta two.txt");
    std::wstring caption = fw::GetText(main->Side(true).pathLine.Handle());
    EXPECT_EQ(caption.size(), 120u);
    EXPECT_EQ(caption.rfind(fw::LoadStr(IDS_FS_PANELCAPTION), 0), 0u) << test::Narrow(caption);
    EXPECT_EQ(P().FullName(*P().Entry(1)), root + L"\\sub dir\\beta two.txt");
    // Copy the second row to the other panel; the result list stays as it is.
    int updates = P().updates, otherUpdates = main->RightPanel().updates;
    Cursor(root + L"\\sub dir\\beta two.txt");
    {
        ModalDriver driver;
        driver.On(ModalDriver::Template(L"COPY"), [](HWND) { return true; }, IDOK);
        ::PostMessageW(main->Handle(), WM_COMMAND, IDM_COPY, 0);
        ASSERT_TRUE(test::PumpUntil([&] { return main->RightPanel().updates > otherUpdates; }, 20000));
    }
    EXPECT_EQ(test::ReadAll(tmp / L"other\\beta two.txt"), "FIND ME too");
    EXPECT_EQ(P().updates, updates);
    EXPECT_TRUE(P().showsFoundFiles);
    EXPECT_EQ(test::RowNames(P()).size(), 2u);
}

TEST_F(SearchDialog, RunViewAndEditHandTheWholeNameToThePrograms)
{
    const wchar_t* classes = L"Software\\Classes\\";
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(classes) + L".pdsearchrun").c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"pdsearchrunfile"), 32);
    ::RegCloseKey(key);
    std::wstring command = L"\"" + test::Recorder() + L"\" \"%1\"";
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(classes) + L"pdsearchrunfile\\shell\\open\\command").c_str(),
                                0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    std::wstring file = root + L"\\sub dir\\my found file.pdsearchrun";
    ASSERT_TRUE(test::MakeFile(file, "runnable"));
    WriteProfileInt(L"Paden", L"InternalViewer", 1);
    WriteProfileString(L"Paden", L"Viewer", test::Recorder());
    WriteProfileInt(L"Paden", L"InternalEditor", 1);
    WriteProfileString(L"Paden", L"Editor", test::Recorder());
    StartIn(root, tmp / L"other");
    RunDialog({
        Set(IDC_FS_MASK, L"*.pdsearchrun"),
        Post(IDC_FS_START),
        Searched(),
        Post(IDC_FS_RUN),
        [&](HWND) { return Records().size() >= 1; },
        Post(IDM_VIEW),
        [&](HWND) { return Records().size() >= 2; },
        Post(IDM_EDIT),
        [&](HWND) { return Records().size() >= 3; },
    });
    std::vector<Record> records = Records();
    ASSERT_EQ(records.size(), 3u);
    for (const Record& r : records) {
        ASSERT_EQ(r.args.size(), 2u);
        EXPECT_TRUE(test::SameName(r.args[1], file)) << test::Narrow(r.args[1]);
    }
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(classes) + L"pdsearchrunfile").c_str());
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(classes) + L".pdsearchrun").c_str());
}

TEST(SearchPaths, NetworkRowsStayWhole)
{
    EXPECT_EQ(EntryPath(L"C:\\dir", L"\\\\server\\share\\a b.txt"), L"\\\\server\\share\\a b.txt");
    EXPECT_EQ(EntryPath(L"C:\\dir", L"D:\\x.txt"), L"D:\\x.txt");
    EXPECT_EQ(EntryPath(L"\\\\server\\share", L"x.txt"), L"\\\\server\\share\\x.txt");
    EXPECT_EQ(EntryPath(L"C:\\", L"x.txt"), L"C:\\x.txt");
}
