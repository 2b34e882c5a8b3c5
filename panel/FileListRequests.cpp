// The panel's handlers for the requests the main window posts to it.
#include "panel/FileList.h"
#include "panel/PanelRequests.h"
#include "panel/FileListHex.h"
#include "panel/FileListPrint.h"
#include "tools/search/FileSearchDialog.h"
#include <memory>

bool CFileList::HandleRequest(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case req::SortName: ApplySortKey(128); return true;
    case req::SortExtension: ApplySortKey(64); return true;
    case req::SortSize: ApplySortKey(32); return true;
    case req::SortDate: ApplySortKey(16); return true;
    case req::HeaderClick: OnHeaderClick(static_cast<int>(wp)); return true;
    case req::RightButton: OnRightButton(static_cast<int>(wp), {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}); return true;
    case req::StartDrag: DragMarked(); return true;
    case req::ReceiveDrop: {
        CFileList* other = OtherPanel();
        ReceiveDrop(reinterpret_cast<HGLOBAL>(wp), static_cast<int>(lp), other ? other->path : std::wstring());
        return true;
    }
    case req::ReceiveShellDrop: {
        std::unique_ptr<std::vector<std::wstring>> items(reinterpret_cast<std::vector<std::wstring>*>(wp));
        if (items) ReceiveShellDrop(*items, static_cast<int>(lp));
        return true;
    }
    case req::Associate: EditAssociation(); return true;
    case req::Shortcut: CreateShortcut(); return true;
    case req::ColumnSizes:
        for (int c = 0; c < 3; ++c) FitColumn(c);
        return true;
    case req::Invert: InvertMarks(); return true;
    case req::View: ViewOrEditCurrent(false); return true;
    case req::Edit: ViewOrEditCurrent(true); return true;
    case req::EditNew: EditNewFile(); return true;
    case req::HexEdit: HexEditCurrent(*this); return true;
    case req::ChangeDir: ChangeDirectory(); return true;
    case req::OpenArchive: OpenArchiveUnderCursor(); return true;
    case req::FileSearch: search::SearchFromPanel(*this); return true;
    case req::Zip: ZipMarked(wp == 1); return true;
    case req::Copy:
        CopyMarked();
        return true;
    case req::RenMove:
        MoveMarked();
        return true;
    case req::Delete: DeleteMarked(); return true;
    case req::MkDir: MakeDirectory(); return true;
    case req::CalcSpace: CalculateSpace(); return true;
    case req::AttributesOne:
    case req::DateTimeOne: {
        int row = SingleEntryRow();
        const FileEntry* entry = row >= 0 ? Entry(row) : nullptr;
        if (entry && entry->kind == EntryDirectory) EditDirAttributes();
        else EditAttributes();
        return true;
    }
    case req::AttributesMany:
    case req::DateTimeMany: {
        int first = list.GetNextItem(-1, LVNI_SELECTED);
        const FileEntry* entry = first >= 0 ? Entry(first) : nullptr;
        if (entry && entry->kind == EntryDirectory) EditDirAttributesAll();
        else EditAttributesAll();
        return true;
    }
    case req::Print:
    case req::PrintDir:
    case req::PrintTree:
    case req::SaveDir:
    case req::SaveTree: HandlePrintRequest(*this, msg, wp); return true;
    default:
        if (msg >= req::ExtendFirst && msg <= req::ExtendLast) {
            ExtendSelection(static_cast<int>(msg - req::ExtendFirst));
            return true;
        }
        return false;
    }
}
