// Synchronises two directory trees both ways so that each holds the newest version of every file.
#pragma once
#include "fileops/FileOperation.h"
#include "tools/dircompare/NameTable.h"
#include <string>
#include <vector>

// What was left alone, and why.
enum class SyncProblem { Twins, FileAndDirectory, Unlistable, Link, NotCreated };
struct SyncNote {
    SyncProblem kind;
    std::wstring path;
};

enum class SyncResult { Done, Cancelled, SameOrNested, Missing };

class CDirSync {
public:
    // The copies go through operation, whose onlyNewer is switched on: every copy looks at its
    // target again and replaces only an older one, by a finished temporary file.
    CDirSync(COperationUi& ui, CFileOperation& operation);

    SyncResult Run(const std::wstring& left, const std::wstring& right, bool subdirectories);

    bool showSystem = false, showHidden = false;
    std::vector<SyncNote> notes;
    int copied = 0, created = 0;

private:
    // false when cancelled.
    bool SyncPair(const std::wstring& left, const std::wstring& right, bool subdirectories);
    bool CopyNewer(const std::wstring& fromDir, const SideEntry& from, const std::wstring& toDir, const SideEntry* to);
    void Note(SyncProblem kind, const std::wstring& path) { notes.push_back({kind, path}); }

    COperationUi& ui;
    CFileOperation& operation;
};
