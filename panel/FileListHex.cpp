// The panel's hex-edit request: the file under the cursor in a new hex window.
#include "panel/FileListHex.h"
#include "common/Program.h"
#include "common/RecentDirectories.h"
#include "panel/FileList.h"
#include "tools/hexedit/HexEditDialog.h"
#include "resource.h"

void HexEditCurrent(CFileList& panel)
{
    const FileEntry* entry = panel.Entry(panel.List().GetFocusedItem());
    if (!entry) return;
    if (entry->kind != EntryFile) {
        ShowWarning(IDS_NOENTRY);
        return;
    }
    RecordRecentDirectory(panel.path);
    HelpContextScope help(5057);
    std::wstring file = panel.FullName(*entry);
    if (panel.drive == L"FTP" && !panel.FetchFtpFile(entry->name, file)) return;
    ::BringWindowToTop(::GetAncestor(panel.Handle(), GA_ROOT));
    hex::CHexEditDialog::Open(panel.Handle(), file);
}
