// The panel's hex-edit request: the file under the cursor in a new hex window.
#pragma once

class CFileList;

void HexEditCurrent(CFileList& panel);
