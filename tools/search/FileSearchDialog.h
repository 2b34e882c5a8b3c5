// CFileSearchDialog: the "FILESEARCH" dialog over the walk, its result list and the five actions.
#pragma once
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "tools/search/FileSearch.h"
#include <string>
#include <vector>

class CFileList;

namespace search {

class CFileSearchDialog : public fw::CDialog {
public:
    // panel: the active panel; its directory is searched, its rows take a fed list.
    explicit CFileSearchDialog(CFileList& panel);
    const std::vector<CFoundFile>& Results() const { return results; }
    bool Searching() const { return searching; }
    // The dialog that is open, for the tests; null when none.
    static CFileSearchDialog* Current() { return current; }

protected:
    bool OnInit() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnDestroyed() override;

private:
    void Start();
    void ShowPrevious();
    void ShowResults(bool focusList);
    void EnableResultButtons(bool on);
    void SetDefaultButton(int id);
    void EnableRange(int between, int first, int last, UINT clicked);
    void RememberSearchText(const std::wstring& text);
    void LoadHistory();
    const CFoundFile* Selected() const;
    void ViewOrEdit(bool edit);
    void Run();
    void GoToFile();
    void FeedToPanel();
    bool ReadCriteria(SearchCriteria& criteria);
    std::wstring CellText(const CFoundFile& file, int column) const;

    CFileList& panel;
    fw::CListView list;
    std::vector<CFoundFile> results;
    bool searching = false;
    mutable std::wstring cellText; // the list keeps a pointer to the text it asked for
    static CFileSearchDialog* current;
};

// The "File search" command on the active panel.
void SearchFromPanel(CFileList& panel);

} // namespace search
