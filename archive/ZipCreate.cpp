// "Zip" and "ZipSelf": options, archive name, password, then the packer under the progress
// window, its questions and warnings turned into boxes.
#include "archive/ZipCreate.h"
#include "common/Program.h"
#include "common/RecentDirectories.h"
#include "common/Settings.h"
#include "fileops/CopyProgress.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Resources.h"
#include "resource.h"
#include <commctrl.h>

namespace {
const wchar_t* const ZipCaption = L"Pandect Commander - Zip";

std::wstring Lower(std::wstring text)
{
    if (!text.empty()) ::CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring Trim(const std::wstring& text)
{
    size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

std::wstring ExecutableDirectory()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::wstring();
        if (n < buffer.size()) break;
        buffer.resize(buffer.size() * 2);
    }
    return DirectoryPart(buffer.data());
}

class CZipEvents : public zip::IPackEvents {
public:
    CZipEvents(CCopyProgress& ui, const std::wstring& archive) : ui(ui), archive(archive) {}
    bool Cancelled() override
    {
        ui.Pump();
        return ui.CancelRequested();
    }
    void OnProcessing(const std::wstring& name) override
    {
        if (name == shown) return;
        shown = name;
        ui.ShowNames(name, archive);
    }
    void OnProgress(int percent) override
    {
        if (ui.Dialog()) ::SendDlgItemMessageW(ui.Dialog(), IDC_STATUS_PROGRESS, PBM_SETPOS, percent, 0);
    }
    OverwriteAnswer OnMemberExists(const OverwriteQuestion& question) override
    {
        OverwriteAnswer answer = ui.ConfirmOverwrite(question);
        if (answer == OverwriteAnswer::Cancel) ui.RequestCancel();
        return answer;
    }
    void OnSkipping(const std::wstring& name, const std::wstring& reason) override
    {
        std::wstring text = L"Skipping " + name + L": " + reason.substr(0, 200);
        ::MessageBoxW(ui.Owner(), text.c_str(), ZipCaption, MB_OK | MB_ICONWARNING);
    }
    bool OnNextDisk(int disk) override
    {
        bool on = AskNextDisk(ui.Owner(), disk);
        if (!on) ui.RequestCancel();
        return on;
    }

private:
    CCopyProgress& ui;
    std::wstring archive, shown;
};
}

std::function<int(HWND, const std::wstring&, UINT)> zipDiskBox;

bool AskNextDisk(HWND owner, int disk)
{
    std::wstring text;
    UINT type = MB_OKCANCEL;
    if (disk > 0) {
        text = fw::LoadStr(IDS_ZIP_DISK1) + std::to_wstring(disk) + fw::LoadStr(IDS_ZIP_DISK2);
        type |= MB_ICONSTOP;
    } else {
        text = L"Cannot write to disk. Please insert an empty, writable disk.";
        type |= MB_ICONEXCLAMATION;
    }
    int answer = zipDiskBox ? zipDiskBox(owner, text, type) : ::MessageBoxW(owner, text.c_str(), ZipCaption, type);
    return answer == IDOK;
}

std::wstring DefaultArchiveName(const ZipRequest& request)
{
    if (!request.selfExtracting && !request.otherCurrentFile.empty() && !request.otherDirectory.empty())
        return JoinPath(request.otherDirectory, request.otherCurrentFile);
    std::wstring base;
    if (request.directories == 1 && request.files == 0 && !request.onlyDirectory.empty()) {
        base = LastPart(request.onlyDirectory);
    } else {
        std::wstring directory = request.panelDirectory;
        while (directory.size() > 3 && directory.back() == L'\\') directory.pop_back();
        base = directory.size() <= 3 ? std::wstring() : LastPart(directory);
        base = base.substr(0, base.find(L'.'));
        if (base.empty()) base = L"temp";
    }
    // A search result's or an FTP neighbour's directory is no place to write to: the panel's own.
    std::wstring target = request.otherDirectory.empty() ? request.panelDirectory : request.otherDirectory;
    return Lower(JoinPath(target, base + (request.selfExtracting ? L".exe" : L".zip")));
}

int InitialPathMode(const ZipRequest& request)
{
    if (request.showsFoundFiles) return 2;
    return request.directories > 0 ? 1 : 0;
}

bool CZipOptionsDialog::OnInit()
{
    SetChecked(IDC_ZIP_MODE0 + pathMode, true);
    SetChecked(IDC_ZIP_PASSWORD, withPassword);
    return true;
}

void CZipOptionsDialog::OnOK()
{
    pathMode = IsChecked(IDC_ZIP_MODE2) ? 2 : IsChecked(IDC_ZIP_MODE1) ? 1 : 0;
    withPassword = IsChecked(IDC_ZIP_PASSWORD);
    End(IDOK);
}

bool CZipNameDialog::OnInit()
{
    SetItemText(IDC_ZIP_NAME, name);
    return true;
}

void CZipNameDialog::OnOK()
{
    name = Trim(ItemText(IDC_ZIP_NAME));
    if (name.empty()) {
        ::MessageBoxW(hwnd, fw::LoadStr(IDS_ZIP_NONAME).c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    End(IDOK);
}

bool CNewPasswordDialog::OnInit()
{
    ::SetFocus(Item(IDC_NEWPASSWORD_TEXT));
    return false;
}

void CNewPasswordDialog::OnOK()
{
    std::wstring first = ItemText(IDC_NEWPASSWORD_TEXT), second = ItemText(IDC_NEWPASSWORD_AGAIN);
    int problem = first.empty() ? IDS_ZIP_EMPTYPASSWORD : first != second ? IDS_ZIP_MISMATCH : 0;
    if (problem) {
        ::MessageBoxW(hwnd, fw::LoadStr(problem).c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
        ::SetFocus(Item(IDC_NEWPASSWORD_TEXT));
        return;
    }
    password = first;
    End(IDOK);
}

void RunZipCommand(const ZipRequest& request, HWND owner, OperationState& operation)
{
    if (request.files + request.directories == 0 || operation.busy) return;
    HelpContextScope help(request.selfExtracting ? IDM_ZIPSELF : IDM_ZIP);
    CZipOptionsDialog options;
    options.pathMode = InitialPathMode(request);
    if (options.DoModal(owner) != IDOK) return;
    RecordRecentDirectory(request.panelDirectory);

    CZipNameDialog nameDialog;
    nameDialog.name = DefaultArchiveName(request);
    if (nameDialog.DoModal(owner) != IDOK) return;
    if (nameDialog.name.size() < 2 || nameDialog.name[1] != L':') {
        ShowWarning(IDS_NOTONFTP);
        return;
    }
    std::wstring archive = ResolveTarget(nameDialog.name, request.panelDirectory);
    std::wstring directory = DirectoryPart(archive);
    if (!DirectoryExists(directory) && !MakeDirectoryPath(directory)) {
        std::wstring text = fw::LoadStr(IDS_COPY_MKDIRFAILED) + directory;
        ::MessageBoxW(owner, text.c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::wstring stub;
    if (request.selfExtracting) {
        stub = JoinPath(ExecutableDirectory(), L"pdsfx32.bin");
        if (::GetFileAttributesW(LongPath(stub).c_str()) == INVALID_FILE_ATTRIBUTES) {
            std::wstring text = fw::LoadStr(IDS_ZIP_NOSTUB) + stub;
            ::MessageBoxW(owner, text.c_str(), ProductName, MB_OK | MB_ICONSTOP);
            return;
        }
    }
    std::wstring password;
    if (options.withPassword) {
        CNewPasswordDialog ask;
        if (ask.DoModal(owner) != IDOK) return;
        password = ask.password;
    }

    zip::CZipPacker packer;
    packer.SetArchiveName(archive);
    packer.SetRecurse(request.directories > 0);
    packer.ClearFilesToProcess();
    packer.SetUseFolderNames(options.pathMode != 0);
    if (options.pathMode == 1) packer.SetBaseDirectory(request.panelDirectory);
    packer.SetLevel(6);
    std::wstring root = archive.substr(0, 3);
    packer.SetSpanning(zip::SpansDisks(::GetDriveTypeW(root.c_str()), request.selfExtracting));
    if (request.selfExtracting) packer.SetStub(stub);
    packer.SetOverwriteQuestion(GetProfileInt(L"Algemeen", L"BevestigingOverwrite", 1) == 1);
    packer.SetOfferAllAnswers(request.files + (request.directories > 0 ? 2 : 0) >= 2);
    if (!password.empty()) packer.SetPassword(password);
    std::wstring prefix = request.panelDirectory;
    if (!prefix.empty() && prefix.back() != L'\\') prefix += L'\\';
    for (const std::wstring& row : request.rows) {
        std::wstring full = row.size() >= 2 && row[1] == L':' ? row : prefix + row;
        bool under = options.pathMode == 1 && full.size() > prefix.size() &&
                     ::CompareStringOrdinal(full.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                            static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
        packer.AddFileToProcess(under ? full.substr(prefix.size()) : full);
    }

    zip::PackResult result;
    {
        CCopyProgress progress(operation, owner, fw::LoadStr(IDS_ZIP_TITLE));
        if (progress.Dialog()) {
            ::SendDlgItemMessageW(progress.Dialog(), IDC_STATUS_PROGRESS, PBM_SETRANGE32, 0, 100);
            ::ShowWindow(::GetDlgItem(progress.Dialog(), IDC_STATUS_BYTES), SW_SHOW);
            ::SetDlgItemTextW(progress.Dialog(), IDC_STATUS_TARGET, archive.c_str());
        }
        CZipEvents events(progress, archive);
        packer.SetEventCallback(&events);
        result = packer.Pack();
    }
    if (result == zip::PackResult::WriteFailed) {
        std::wstring text = fw::LoadStr(IDS_ZIP_WRITEFAILED) + archive;
        std::wstring reason = SystemErrorText(packer.Error());
        if (!reason.empty()) text += L"\n" + reason;
        ::MessageBoxW(owner, text.c_str(), ZipCaption, MB_OK | MB_ICONSTOP);
    } else if (result == zip::PackResult::NotAnArchive) {
        std::wstring text = fw::LoadStr(IDS_ZIP_NOTARCHIVE) + archive;
        ::MessageBoxW(owner, text.c_str(), ZipCaption, MB_OK | MB_ICONEXCLAMATION);
    }
}
