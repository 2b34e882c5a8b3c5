// The result of the space calculation.
#include "fileops/SpaceDialog.h"
#include "resource.h"

bool CSpaceDialog::OnInit()
{
    SetItemText(IDC_SPACE_PROMPT, prompt);
    SetItemText(IDC_SPACE_DIRS, directories);
    SetItemText(IDC_SPACE_FILES, files);
    SetItemText(IDC_SPACE_BYTES, bytes);
    return true;
}
