// The panel's handlers for the requests the main window posts to it.
#include "panel/FileList.h"
#include "panel/PanelRequests.h"

bool CFileList::HandleRequest(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case req::Copy:
        CopyMarked();
        return true;
    case req::RenMove:
        MoveMarked();
        return true;
    default:
        return false;
    }
}
