// Loading, saving and the close rule of a hex window.
#include "tools/hexedit/HexView.h"
#include "common/Program.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include <commdlg.h>
#include <vector>

namespace hex {

bool CHexView::Load(const std::wstring& path)
{
    fw::WaitCursor wait;
    ed.Reset();
    ed.filePath = L"Untitled";
    ed.untitled = true;
    FileResult result = LoadDocument(path, ed.doc);
    if (!result) {
        // An empty, untitled editor: no Save can write over the file that failed to load.
        ed.Reset();
        if (result.message == IDS_HEX_NOROOM) Tell(IDS_HEX_NOROOM);
        else ShowSystemError(result.message, result.error);
        Layout(clientWidth, clientHeight);
        return false;
    }
    ed.filePath = path;
    ed.untitled = false;
    ed.titleStale = true;
    Layout(clientWidth, clientHeight);
    return true;
}

bool CHexView::Save()
{
    if (ed.untitled) {
        ::MessageBoxW(dialog, L"Can't save because file is untitled.\nPlease choose \"Save As...\" from menu", L"Save",
                      MB_OK | MB_ICONINFORMATION);
        return false;
    }
    fw::WaitCursor wait;
    FileResult result;
    if (ed.doc.IsPaged()) {
        result = WritePagedChanges(ed.doc, ed.filePath);
    } else {
        result = WriteDocumentAs(ed.doc, ed.filePath);
    }
    if (!result) {
        ShowSystemError(result.message, result.error);
        return false;
    }
    ed.modified = false;
    ed.titleStale = true;
    return true;
}

bool CHexView::SaveAs()
{
    std::vector<wchar_t> name(32768, L'\0');
    ed.filePath.copy(name.data(), std::min(ed.filePath.size(), name.size() - 1));
    OPENFILENAMEW ofn = {sizeof(ofn)};
    ofn.hwndOwner = dialog;
    ofn.lpstrFilter = L"All Files (*.*)\0*.*\0";
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.Flags = OFN_HIDEREADONLY | OFN_CREATEPROMPT;
    if (!::GetSaveFileNameW(&ofn)) return false;
    std::wstring path = name.data();
    bool samePath = !ed.untitled && ::lstrcmpiW(path.c_str(), ed.filePath.c_str()) == 0;
    if (!samePath && ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        ShowMessage(dialog, path + fw::LoadStr(IDS_HEX_REPLACE), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    fw::WaitCursor wait;
    FileResult result = WriteDocumentAs(ed.doc, path);
    if (!result) {
        ShowSystemError(result.message, result.error);
        return false;
    }
    // A paged document reads on from the new file, which now holds its changes.
    if (ed.doc.IsPaged()) {
        Offset cursor = ed.cursor, top = ed.top;
        if (!Load(path)) return false;
        ed.cursor = cursor;
        ed.SetTop(top);
    }
    ed.filePath = path;
    ed.untitled = false;
    ed.modified = false;
    ed.titleStale = true;
    return true;
}

bool CHexView::MayClose()
{
    if (ed.modified && ::MessageBoxW(dialog, fw::LoadStr(IDS_HEX_UNSAVED).c_str(), ed.filePath.c_str(),
                                     MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    WriteSettings();
    return true;
}

} // namespace hex
