// The panel's printing requests: print files, print or save the directory listing or tree.
#pragma once
#include <windows.h>
#include <string>

class CFileList;

// msg: req::Print (wp: a drop-file list, freed here), PrintDir, PrintTree, SaveDir or SaveTree.
void HandlePrintRequest(CFileList& panel, UINT msg, WPARAM wp);

// The title of a printed listing: the fixed words and the directory in capitals.
std::wstring ListingTitle(const std::wstring& directory, bool tree);
