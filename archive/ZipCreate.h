// The "Zip" and "ZipSelf" commands: the proposed archive name, the dialogs, and the packing run
// with its progress window and questions.
#pragma once
#include "archive/zip/ZipPacker.h"
#include "fileops/OperationUi.h"
#include "framework/Dialog.h"
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// What the command takes from the panels.
struct ZipRequest {
    std::wstring panelDirectory;
    std::wstring otherDirectory;    // empty when the other panel is not a local directory
    std::wstring otherCurrentFile;  // the other panel's cursor row when that is a file, else empty
    std::vector<std::wstring> rows; // the names of the rows taken (full paths for search results)
    int files = 0, directories = 0;
    std::wstring onlyDirectory;     // the one directory's name when only one directory is taken
    bool selfExtracting = false;
    bool showsFoundFiles = false;
};

// The archive name proposed: the other panel's current file, else a name made from the one
// directory taken or the panel's directory (".zip" or ".exe"), in the other panel's directory.
std::wstring DefaultArchiveName(const ZipRequest& request);
// The path mode the options dialog opens with.
int InitialPathMode(const ZipRequest& request);

class CZipOptionsDialog : public fw::CDialog {
public:
    CZipOptionsDialog() : CDialog(L"ZIPOPTIONS") {}
    int pathMode = 0;
    bool withPassword = false;

protected:
    bool OnInit() override;
    void OnOK() override;
};

class CZipNameDialog : public fw::CDialog {
public:
    CZipNameDialog() : CDialog(L"ZIPNAME") {}
    std::wstring name;

protected:
    bool OnInit() override;
    void OnOK() override;
};

// "NEWPASSWORD": the password typed twice.
class CNewPasswordDialog : public fw::CDialog {
public:
    CNewPasswordDialog() : CDialog(L"NEWPASSWORD") {}
    std::wstring password;

protected:
    bool OnInit() override;
    void OnOK() override;
};

// The two questions of a spanned archive; true goes on. Tests replace the box.
bool AskNextDisk(HWND owner, int disk);
extern std::function<int(HWND, const std::wstring&, UINT)> zipDiskBox;

// Runs the whole command for the request; owner is the main window.
void RunZipCommand(const ZipRequest& request, HWND owner, OperationState& operation);
