// The panel's printing requests: print files, print or save the directory listing or tree.
#include "panel/FileListPrint.h"
#include "common/Program.h"
#include "fileops/Listing.h"
#include "fileops/OperationUi.h"
#include "fileops/TextPrinter.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/FileList.h"
#include "panel/PanelRequests.h"
#include "resource.h"
#include <commdlg.h>
#include <vector>

std::wstring ListingTitle(const std::wstring& directory, bool tree)
{
    std::wstring upper = directory;
    if (!upper.empty()) ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    return (tree ? L"PD - Print directory tree " : L"PD - Print directory ") + upper;
}

namespace {
HWND MainOf(CFileList& panel)
{
    HWND owner = panel.Context().owner;
    return owner ? owner : ::GetAncestor(panel.Handle(), GA_ROOT);
}

void ShowListingError(HWND owner, UINT textId, const std::wstring& detail, DWORD error)
{
    std::wstring text = fw::LoadStr(textId) + detail;
    wchar_t* system = nullptr;
    if (error && ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<wchar_t*>(&system), 0, nullptr) &&
        system)
        text += L"\n\n" + std::wstring(system);
    if (system) ::LocalFree(system);
    ShowMessage(owner, text, MB_OK | MB_ICONEXCLAMATION);
}

// The file chosen in the save dialog; empty when cancelled.
std::wstring AskListingFile(HWND owner, const std::wstring& directory, bool tree)
{
    std::vector<wchar_t> name(32768, L'\0');
    lstrcpynW(name.data(), tree ? L"Tree.txt" : L"Dir.txt", 32);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"*.TXT\0*.TXT\0";
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = directory.c_str();
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameW(&ofn)) {
        if (::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) ShowWarning(IDS_LISTING_NAMETOOLONG);
        return {};
    }
    return name.data();
}

// The panel's listing in the file listing; false after telling the user why not.
bool MakePanelListing(CFileList& panel, bool tree, const std::wstring& listing)
{
    DWORD error = 0;
    bool made;
    {
        fw::WaitCursor wait;
        made = MakeListing(panel.path, Program().fileMask, tree, listing, error);
    }
    if (!made) ShowListingError(MainOf(panel), IDS_LISTING_FAILED, panel.path, error);
    return made;
}

void PrintListing(CFileList& panel, bool tree)
{
    OperationState* state = panel.Context().operation;
    HWND main = MainOf(panel);
    if (!state || state->busy) return;
    // Asked before the listing is made, so that nothing runs for a printer that is not there.
    if (DefaultPrinterName().empty()) {
        ShowMessage(main, fw::LoadStr(IDS_PRINT_NOPRINTER), MB_OK | MB_ICONWARNING);
        return;
    }
    std::wstring listing = ListingTempFile();
    if (!MakePanelListing(panel, tree, listing)) return;
    {
        CPrintJob job(*state, main);
        if (job.Begin()) job.PrintFile(listing, ListingTitle(panel.path, tree), true);
    }
    ::DeleteFileW(listing.c_str());
}

void SaveListing(CFileList& panel, bool tree)
{
    HWND main = MainOf(panel);
    std::wstring target = AskListingFile(main, panel.path, tree);
    if (target.empty()) return;
    std::wstring listing = ListingTempFile();
    if (!MakePanelListing(panel, tree, listing)) return;
    DWORD error = 0;
    if (!SaveUnicodeText(listing, target, error)) ShowListingError(main, IDS_LISTING_CANTWRITE, target, error);
    ::DeleteFileW(listing.c_str());
}
}

void HandlePrintRequest(CFileList& panel, UINT msg, WPARAM wp)
{
    std::vector<std::wstring> files;
    if (msg == req::Print && wp) {
        HGLOBAL list = reinterpret_cast<HGLOBAL>(wp);
        files = ReadDropList(list);
        ::GlobalFree(list);
    }
    if (panel.showsFoundFiles) {
        ShowWarning(IDS_NOTONFOUNDFILES);
        return;
    }
    // The FTP panel source has not come yet: its listings cannot be made here.
    if (panel.drive == L"FTP") {
        ShowWarning(msg == req::Print ? IDS_NOTONFTP_PRINT : IDS_NOTONFTP);
        return;
    }
    switch (msg) {
    case req::Print:
        if (panel.Context().operation && !panel.Context().operation->busy)
            PrintFiles(*panel.Context().operation, MainOf(panel), files);
        break;
    case req::PrintDir: PrintListing(panel, false); break;
    case req::PrintTree: PrintListing(panel, true); break;
    case req::SaveDir: SaveListing(panel, false); break;
    case req::SaveTree: SaveListing(panel, true); break;
    }
}
