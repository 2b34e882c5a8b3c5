// pdsfx32.bin: the program part of a self-extracting archive. It finds the zip archive appended to
// itself, asks for the target directory (its own directory by default) and extracts with the
// program's reader and its rules: no member outside the target, the overwrite question, passwords.
#include "archive/PasswordDialogs.h"
#include "archive/zip/ZipComponent.h"
#include "fileops/FileSystem.h"
#include "fileops/PathRules.h"
#include "framework/Dialog.h"
#include "framework/Resources.h"
#include "resource.h"
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <vector>

namespace {
const wchar_t* const Caption = L"Self-extracting archive";

std::wstring OwnPath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::wstring();
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

int Box(HWND owner, const std::wstring& text, UINT type) { return ::MessageBoxW(owner, text.c_str(), Caption, type); }

class CTargetDialog : public fw::CDialog {
public:
    CTargetDialog() : CDialog(L"SFXTARGET") {}
    std::wstring target;

protected:
    bool OnInit() override
    {
        SetItemText(IDC_SFX_PROMPT, fw::LoadStr(IDS_SFX_PROMPT));
        SetItemText(IDC_SFX_TARGET, target);
        return true;
    }
    void OnOK() override
    {
        target = ItemText(IDC_SFX_TARGET);
        if (target.empty()) return;
        End(IDOK);
    }
    bool OnCommand(UINT id, UINT code, HWND) override
    {
        if (id != IDC_SFX_BROWSE || code != BN_CLICKED) return false;
        BROWSEINFOW info = {};
        info.hwndOwner = hwnd;
        info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
        PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
        if (chosen) {
            std::vector<wchar_t> path(32768);
            if (::SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT))
                SetItemText(IDC_SFX_TARGET, path.data());
            ::CoTaskMemFree(chosen);
        }
        return true;
    }
};

// The questions of the extraction as message boxes of their own.
class CSfxEvents : public IArchiveEvents {
public:
    OverwriteAnswer OnFileExists(const OverwriteQuestion& question) override
    {
        std::wstring text = JoinPath(question.targetDirectory, question.name) + fw::LoadStr(IDS_SFX_EXISTS);
        switch (Box(nullptr, text, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return OverwriteAnswer::Overwrite;
        case IDNO: return OverwriteAnswer::Skip;
        default: return OverwriteAnswer::Cancel;
        }
    }
    bool OnSkipping(const std::wstring& name, const std::wstring& reason) override
    {
        ++problems;
        std::wstring text = fw::Format(fw::LoadStr(IDS_SFX_SKIPPING).c_str(), name.c_str(), reason.c_str());
        if (Box(nullptr, text, MB_YESNO | MB_ICONWARNING) == IDYES) return true;
        stopped = true;
        return false;
    }
    PasswordAnswer OnPassword(const std::wstring& member, std::wstring& password) override
    {
        if (forAll && !remembered.empty()) {
            password = remembered;
            return PasswordAnswer::Use;
        }
        CPasswordDialog ask(member);
        ask.password = remembered;
        ask.forAll = forAll;
        if (ask.DoModal(nullptr) != IDOK) {
            stopped = true;
            return PasswordAnswer::Cancel;
        }
        password = remembered = ask.password;
        forAll = ask.forAll;
        return PasswordAnswer::Use;
    }
    void OnWrongPassword() override { forAll = false; }

    int problems = 0;
    bool stopped = false;

private:
    std::wstring remembered;
    bool forAll = true;
};
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    std::wstring self = OwnPath();
    zip::CZipComponent archive;
    archive.SetArchiveName(LongPath(self));
    if (self.empty() || archive.List() != zip::ZipStatus::Ok) {
        Box(nullptr, fw::LoadStr(IDS_SFX_NOARCHIVE), MB_OK | MB_ICONSTOP);
        return 2;
    }

    CTargetDialog dialog;
    dialog.target = DirectoryPart(self);
    if (dialog.DoModal(nullptr) != IDOK) return 1;
    std::wstring target = ResolveTarget(dialog.target, CurrentDirectory());
    if (!DirectoryExists(target) && !MakeDirectoryPath(target)) {
        Box(nullptr, fw::LoadStr(IDS_SFX_MKDIRFAILED) + target, MB_OK | MB_ICONSTOP);
        return 3;
    }

    CSfxEvents events;
    archive.SetEventCallback(&events);
    archive.SetTargetDirectory(target);
    archive.SetUseFolderNames(true);
    archive.SetFilesToProcess(L"*");
    archive.SetOverwriteQuestion(true, false);
    zip::ZipStatus status = archive.Extract();
    if (events.stopped) return 1;
    bool clean = status == zip::ZipStatus::Ok && events.problems == 0;
    Box(nullptr, fw::LoadStr(clean ? IDS_SFX_DONE : IDS_SFX_PROBLEMS) + target + L".",
        MB_OK | (clean ? MB_ICONINFORMATION : MB_ICONWARNING));
    return clean ? 0 : 4;
}
