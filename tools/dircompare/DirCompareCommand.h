// The main window's "DirComp" and "Synch" commands on the directories of the two panels.
#pragma once

class CMainWindow;

// Marks in both panels the files that the other side lacks or holds in an older version.
void CompareDirectories(CMainWindow& main);
// Copies such files both ways, after asking whether subdirectories take part.
void SynchroniseDirectories(CMainWindow& main);
