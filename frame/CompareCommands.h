// The main window's file compare commands: "FileComp" on the two panels' current files, and the
// compare settings.
#pragma once
#include <windows.h>

class CMainWindow;

void CompareCurrentFiles(CMainWindow& main);
void EditCompareSettings(HWND owner);
