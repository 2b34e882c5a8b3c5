// CFileList: one file panel, an owner-drawn, owner-data report list view over the panel's own rows.
#pragma once
#include "framework/Controls.h"
#include "framework/Window.h"
#include "panel/FileEntry.h"
#include "panel/RefreshTimings.h"
#include <windows.h>
#include <memory>
#include <string>
#include <vector>

// Colours of the rows ("Kleuren"), read once at start by the main window.
struct PanelColors {
    COLORREF fileFg = 0xFFFFFF, fileBg = 0x000000;
    COLORREF fileSelFg = 0xFFFFFF, fileSelBg = 0x0000FF;
    COLORREF sysFileFg = 0x40FF00, sysFileBg = 0x004080;
    COLORREF dirFg = 0x40FF00, dirBg = 0x000000;
    COLORREF dirSelFg = 0xFFFFFF, dirSelBg = 0x0000FF;
    COLORREF sysDirFg = 0x40FF00, sysDirBg = 0x004080;
};

struct OperationState;
struct IContextMenu2;
struct IContextMenu3;

// What a panel needs from the main window that owns it.
struct PanelContext {
    HWND owner = nullptr;          // receives the WM_USER+n reports
    HWND markedNames = nullptr;    // the main window's hidden list box; the panels carry marks by name without it
    HWND selectionLine = nullptr;  // this panel's selection line
    HWND pathLine = nullptr;       // the line above the panel; a result list puts its caption there
    const PanelColors* colors = nullptr;
    OperationState* operation = nullptr; // the main window's busy and cancel flags
};

constexpr int PanelDepths = 10;

class CFileList : public fw::CWindow {
public:
    CFileList() = default;
    ~CFileList() override;

    // ---- FileList.cpp: creation and messages
    bool CreatePanel(HWND parent, int id, bool isLeft, const PanelContext& context);
    bool IsLeft() const { return isLeft; }
    fw::CListView& List() { return list; }
    void SetFont(HFONT font, int rowHeight);
    int RowHeight() const { return rowHeight; }
    void SetDirectory(const std::wstring& newDrive, const std::wstring& newPath);
    // The name of the cursor row, empty when there is none or it is "..".
    std::wstring CurrentName() const;
    int VisibleRows() const;

    // ---- FileListRead.cpp: the content model
    bool AddEntry(int kind, int index, const std::wstring& name, bool isDirectory, bool isSystem,
                  bool isHidden, bool isArchive, bool isReadOnly, uint64_t lastWrite, uint32_t sizeHigh,
                  uint32_t sizeLow, bool showSystem, bool showHidden, bool marked);
    int ReadLocalDirectory();
    void OnUpdate();
    void ClearEntries();
    const FileEntry* Entry(int row) const
    {
        return row >= 0 && row < RowCount() ? entries[static_cast<size_t>(row)].entry.get() : nullptr;
    }
    int RowCount() const { return static_cast<int>(entries.size()); }
    void SortEntries();
    void RestorePosition(int counted);
    void RememberPosition();

    // ---- FileListRows.cpp: the rows' marks; the list view's state messages answered from them
    bool IsMarked(int row) const { return row >= 0 && row < RowCount() && entries[static_cast<size_t>(row)].marked; }
    int MarkedCount() const;
    // Marks or unmarks one row (-1: every row); the summary follows unless summaryBusy.
    void SetMark(int row, bool mark);
    void ClickSelect(int row, bool control, bool shift);
    // The row under a point of the client area by the list's own hit test (any font, any
    // header height); -1 over the header, below the last row or outside.
    int RowFromPoint(int x, int y) const;

    // ---- FileListSummary.cpp
    void UpdateSelectionSummary();
    std::wstring SelectionSummaryText() const;

    // ---- FileListSort.cpp: sort commands, header, column fitting
    void ApplySortKey(int key);
    void SetSortArrow(int column, bool ascending);
    void OnHeaderClick(int column);
    void MakeHeaderOwnerDrawn();
    void DrawHeaderItem(const DRAWITEMSTRUCT& item);
    int FitColumn(int column);

    // ---- FileListSelect.cpp: marking by mask, all, inverting
    void MarkByMask(const std::wstring& mask, bool mark, bool all);
    void InvertMarks();

    // ---- FileListKeys.cpp: keyboard, quick search, range selection
    enum ExtendKind { ExtendDown, ExtendUp, ExtendPageDown, ExtendPageUp, ExtendHome, ExtendEnd };
    bool OnKeyDown(UINT key);
    void OnChar(wchar_t ch);
    void ExtendSelection(int kind);
    bool FocusEntryByName(const std::wstring& name);
    bool MarkEntryByName(const std::wstring& name);
    void MoveCursor(int row);
    int FullyVisibleRows() const;
    void JumpToRoot();

    // ---- FileListOpen.cpp: open, view, edit dispatch and directory changes
    void OpenCurrentEntry();
    void ViewOrEditCurrent(bool edit);
    void EditNewFile();
    void ChangeDirectory();
    bool EnterDirectory(const std::wstring& name, bool parent);
    std::wstring FullName(const FileEntry& entry) const;

    // ---- FileListFound.cpp: rows handed over by the file search
    struct FoundRow {
        std::wstring path; // full
        uint64_t size = 0;
        uint64_t lastWrite = 0;
        uint32_t attributes = 0;
    };
    // Shows the rows instead of a directory, with caption on the path line, until the next read.
    void ShowFoundFiles(const std::vector<FoundRow>& rows, const std::wstring& caption);
    // Shows the file's directory with the cursor on the file.
    bool GoToFile(const std::wstring& file);

    // ---- FileListFtp.cpp: the FTP source, directory changes on the server, remote delete, make directory, rename
    int ReadFtpDirectory();
    bool FtpEnter(const std::wstring& name, bool parent);
    bool FtpChangeTo(const std::wstring& typed, bool resetPositions);
    void FtpRoot();
    void DeleteFtpMarked();
    void MakeFtpDirectory(const std::wstring& typed);
    void RenameFtp(const std::wstring& oldName, const std::wstring& newName);
    // Makes the server's current directory the panel's; false when it could not.
    bool SyncFtpDirectory();
    // An engine call is running (the engine pumps messages while it blocks).
    static bool FtpEngineBusy();

    // ---- FileListFtpCopy.cpp: copy and move between a local panel and an FTP panel
    struct FtpRow {
        std::wstring name;
        bool isDirectory = false;
        uint64_t size = 0;
        uint64_t lastWrite = 0;
    };
    bool IsFtpTransfer(const CFileList* other) const;
    void TransferFtp(const std::vector<FtpRow>& rows, bool move, const std::wstring& targetSpec, CFileList& other);
    // A drag from or onto an FTP panel: the marked rows copied into the other panel's directory
    // (or the directory row dropped on), refused for directories where they cannot go.
    void DropWithFtp(CFileList& other, int row);
    void RenameFtpInPlace(const std::vector<std::wstring>& names, const std::wstring& newName);
    // Asks ("Confirm") and fetches a file of this FTP panel into the temporary directory; false when not.
    bool FetchFtpFile(const std::wstring& name, std::wstring& local);

    // ---- FileListArchive.cpp: the archive dialog on the cursor row (Enter or "OpenArch")
    void OpenArchiveUnderCursor();
    void BrowseArchive(const std::wstring& archivePath);
    // ---- FileListZip.cpp: "Zip" and "ZipSelf" of the marked rows
    void ZipMarked(bool selfExtracting);

    // ---- FileListRequests.cpp: WM_USER+n requests from the main window; false when not one
    bool HandleRequest(UINT msg, WPARAM wp, LPARAM lp);
    const PanelContext& Context() const { return context; }

    // ---- FileListCopy.cpp: copy, move and rename in place of the marked rows
    void CopyMarked();
    void MoveMarked();

    // ---- FileListDelete.cpp: delete to the recycle bin or for good
    void DeleteMarked();
    bool ConfirmDirectoryDelete(const std::wstring& directory);

    // ---- FileListAttributes.cpp: attributes and dates of one entry or of the marked ones
    void EditAttributes();
    void EditAttributesAll();
    void EditDirAttributes();
    void EditDirAttributesAll();
    // Requests that are ignored while this is not zero (a range or mask selection, an operation).
    int BusyCount() const;

    // ---- FileListSpace.cpp: rename, make directory, space
    void RenameEntry(const FileEntry& entry);
    void MakeDirectory();
    void CalculateSpace();
    // The row one-entry commands work on: the one marked row, else the cursor row; -1 when none.
    int SingleEntryRow() const;
    // The rows an operation takes: the marked ones, else the cursor row; never "..".
    std::vector<const FileEntry*> TakenEntries() const;

    // ---- FileListShell.cpp: file types, desktop shortcuts, the right button's menus
    void EditAssociation();
    // The result of saving the link; S_FALSE when there is no cursor row.
    HRESULT CreateShortcut();

    // ---- FileListDrag.cpp: the drag loop, the drop list and a received drop
    // The loop of a drag of the marked rows, until the button comes up (start-drag request).
    void DragMarked();
    // Copies the files of a drop list into this panel's directory, or into the directory of
    // row (-1: none); sourceDirectory is where the names' relative paths begin. Frees the list.
    void ReceiveDrop(HGLOBAL dropList, int row, const std::wstring& sourceDirectory);
    // Copies dropped files and directories (whole, links not entered) of another program.
    void ReceiveShellDrop(const std::vector<std::wstring>& items, int row);
    // Whether a drop may land here now: a local panel of a directory, no operation running.
    bool AcceptsDrops() const;
    // The row of this panel drawn as the drop target, -1 for none.
    int DropHighlight() const { return dropHighlight; }
    void SetDropHighlight(int row);

    // ---- FileListDraw.cpp
    void DrawRow(const DRAWITEMSTRUCT& item);
    std::wstring ColumnText(const FileEntry& entry, int column) const;
    // The longest beginning of text that fits a column of that width, "..." when cut.
    static std::wstring FitText(HDC dc, std::wstring text, int width);

    // Panel state shared with the rest of the program.
    std::wstring drive;
    std::wstring path;
    bool keepMarks = false;
    int depth = 0;
    int topIndex[PanelDepths] = {};
    int focusIndex[PanelDepths] = {};
    int sortMode = 128;
    int lastNameSortMode = 128;
    int sortColumn = 0;
    bool sortAscending = true;
    int markedFiles = 0;
    int totalFiles = 0;
    int markedDirs = 0;
    uint32_t markedBytes32 = 0;
    double markedBytes = 0;
    bool summaryBusy = false;
    bool showsFoundFiles = false;
    wchar_t searchKey = 0;
    int searchPos = -1;
    bool searchFound = false;
    bool deleteFinal = false;
    // The answer "yes to all" of the directory question; cleared at the start of every delete.
    bool deleteAllDirs = false;
    int dirCount = 0;
    // The result of the last space calculation.
    int spaceFiles = 0;
    int spaceDirs = 0;
    double spaceBytes = 0;
    // How often OnUpdate ran; the refresh timers are judged by it.
    int updates = 0;
    RefreshTimings timings;

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnReflectedNotify(NMHDR* header);
    // ---- FileListRows.cpp
    bool OnRowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void SyncRowCount();
    void RedrawRow(int row);
    int anchorRow = -1;
    void ToggleMark(int row);
    void CreateNameTip();
    void TrackNameTip(int x, int y);
    std::wstring NameTipText() const;
    fw::CToolTip nameTip;
    int tipRow = -1;
    std::wstring tipText;

    // ---- FileListMouse.cpp: clicks, the press that may become a drag, the right button
    void OnMouseButton(UINT msg, LPARAM lp);
    void OnMouseMove(WPARAM wp, LPARAM lp);
    POINT pressPoint = {}, mousePoint = {};
    bool dragArmed = false;
    bool pressedOnMarked = false;
    int hitRow = -1;

    // ---- FileListShell.cpp
    void OnRightButton(int row, POINT screenPoint);
    void ShowShellMenu(const FileEntry& entry, POINT screenPoint);
    bool ForwardMenuMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The shell's menu object while its menu is open; owner-drawn items need its messages.
    IContextMenu2* contextMenu = nullptr;
    IContextMenu3* contextMenu3 = nullptr;

    // ---- FileListDrag.cpp
    int dropRow = -1;
    int highlightRow = -1;
    bool dropAllowed = false;
    bool nonClientDrop = false;
    int dropHighlight = -1;
    // The drag loop runs and sets the cursor itself.
    bool dragging = false;
    struct DroppedFile {
        std::wstring source, relative;
    };
    void CopyDropped(const std::vector<DroppedFile>& files, int row);
    // Hands a drag that left the main window to OLE, with the shell's data object of the paths.
    void DragOut(const std::vector<std::wstring>& paths);
    class CPanelDropTarget* dropTarget = nullptr;

    // ---- FileListCopy.cpp
    void TransferMarked(bool move);
    void RenameInPlace(const std::vector<std::wstring>& sources, const std::wstring& newName);

public:
    CFileList* OtherPanel() const;

private:

    // ---- FileListDelete.cpp
    void DeleteOneFileRow(const std::wstring& fullPath, const std::wstring& name, class CFileOperation& operation);
    // The open progress dialog, owner of the questions asked during a delete.
    HWND progressWindow = nullptr;
    // ---- FileListAttributes.cpp
    void RefreshAfterChange();
    // ---- FileListSpace.cpp
    bool WalkSpace(const std::wstring& directory, class CCopyProgress& progress);

    fw::CListView list;
    PanelContext context;
    bool isLeft = false;
    int rowHeight = 16;
    HFONT font = nullptr;
    // The rows in display order; the list view only knows their count. An entry keeps its
    // address until the rows are cleared, also across sorting.
    struct PanelRow {
        std::unique_ptr<FileEntry> entry;
        bool marked = false;
    };
    std::vector<PanelRow> entries;
    // Rows were added since the list view was last told the count.
    bool rowCountStale = false;
};

// Window messages between the panels and the main window.
namespace pm {
constexpr UINT ScreenUpdate = WM_USER + 0;
constexpr UINT PanelActivated = WM_USER + 1;
constexpr UINT DriveUpdate = WM_USER + 2;
constexpr UINT DriveStatistics = WM_USER + 3;
constexpr UINT SelectionChanged = WM_USER + 4;
constexpr UINT NameActive = WM_USER + 5;
constexpr UINT NameInactive = WM_USER + 6;
constexpr UINT FileChangeL = WM_USER + 7;
constexpr UINT FileChangeR = WM_USER + 8;
// Sent (not posted) before a panel leaves its directory by a user's navigation.
constexpr UINT PushHistory = WM_USER + 9;
constexpr UINT DirActive = WM_USER + 26;
constexpr UINT DirInactive = WM_USER + 27;
constexpr UINT OpenRequest = WM_USER + 38;
constexpr UINT Forward = WM_USER + 61;
}
