// The copy, move and tree-delete engine on local files, driven through a COperationUi.
#pragma once
#include "fileops/OperationUi.h"
#include "framework/Handles.h"
#include <windows.h>
#include <functional>
#include <string>

// Our methods carry the names of the design; the Win32 calls are used by their W names.
#undef CopyFile
#undef MoveFile

// Results of the copy and move calls: 0 done, 1 failed or skipped, -1 abort everything.
constexpr int OpDone = 0;
constexpr int OpFailed = 1;
constexpr int OpAbort = -1;

// How the removal of one file ended: Declined when the recycle bin could not take it and the
// user kept it rather than delete it for good.
enum class Removal { Done, Declined, Failed };

class CFileOperation {
public:
    explicit CFileOperation(COperationUi& ui) : ui(ui) {}

    int CopyFile(const std::wstring& source, const std::wstring& target, bool targetIsDirectory);
    // Copies source to exactly this file name (no pattern), with the same checks and questions.
    int CopyFileAs(const std::wstring& source, const std::wstring& targetName);
    int CopyDirectory(const std::wstring& source, const std::wstring& target, bool targetIsDirectory);
    int MoveFile(const std::wstring& source, const std::wstring& target, bool targetIsDirectory);
    int MoveDirectory(const std::wstring& source, const std::wstring& target, bool targetIsDirectory);
    // 0 when the directory and everything in it is gone, 1 otherwise.
    int DeleteTree(const std::wstring& directory);

    // Deletes one file (recycle bin or final, as the ui says); a link is removed as a link or kept.
    Removal DeleteOneFile(const std::wstring& path);
    // True for links and junctions (name-surrogate reparse points), also for the Unix links Wine
    // shows as plain entries; other reparse points (cloud placeholders...) are ordinary entries.
    static bool IsLink(const std::wstring& path, DWORD attributes);
    // Removes a link itself, never what it points to; false when that cannot be done safely.
    static bool RemoveLink(const std::wstring& path);

    // The name a source gets under a target directory, or under a name or pattern.
    static std::wstring TargetName(const std::wstring& source, const std::wstring& target, bool targetIsDirectory);

    bool onlyNewer = false;
    bool overwriteAll = false;
    int itemCount = 0;
    // Writes one block; replaceable so that a failing disk can be imitated.
    std::function<bool(HANDLE file, const void* data, DWORD size, DWORD* written)> writeBlock;
    // A target that does not exist yet is created under its own name at once (tests switch this off to
    // reach the temporary file that protects a target which appears while the copy is written).
    bool newTargetsDirectly = true;

    static constexpr DWORD BufferSize = 65536;
    static constexpr DWORD BlockSize = 65535;

private:
    int CopyChecked(const std::wstring& source, const std::wstring& targetName, bool moving);
    int CopyData(const std::wstring& source, const std::wstring& targetName, bool moving);
    // Results of CopyToNewFile besides the three above: the target was not made there.
    static constexpr int OpNotTaken = 2;
    int CopyToNewFile(const std::wstring& source, const std::wstring& targetName, bool moving);
    int CopyBlocks(fw::UniqueFile& in, fw::UniqueFile& out, const std::wstring& outName, char* buffer);
    // Whether an existing target may be replaced (asking as the settings say); when not, result
    // holds what the copy of this file ends with.
    bool MayReplace(const WIN32_FILE_ATTRIBUTE_DATA& source, const std::wstring& targetName, bool moving, int& result);
    // Puts the finished copy in the target's place; a target that appeared meanwhile is asked about.
    bool PlaceCopy(const std::wstring& tempName, const std::wstring& targetName,
                   const WIN32_FILE_ATTRIBUTE_DATA& source, bool mayReplace, bool moving, int& result);
    int RemoveMovedFile(const std::wstring& source, HANDLE opened, bool byHandle, DWORD attributes);
    int CopyDirectoryAs(const std::wstring& source, const std::wstring& newDirectory, bool moving, bool outermost);
    Removal Recycle(const std::wstring& path);

    COperationUi& ui;
};
