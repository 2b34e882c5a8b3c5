// Viewing and editing a file with the program the user chose in "Paden": a configured viewer or
// editor, else the internal text window. The panels, the file compare and the other tools use it.
#pragma once
#include <windows.h>
#include <string>

enum class ViewEditMode { View, Edit, EditNew };

// file: a full name. owner: the window the internal one belongs to (a panel or a tool window).
// EditNew: a name that need not exist; an existing file is opened as Edit opens it.
void ViewOrEditFile(HWND owner, const std::wstring& file, ViewEditMode mode);
