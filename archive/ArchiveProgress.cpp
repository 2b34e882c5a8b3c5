// The events of a running extraction: the status window, the questions and the reports.
#include "archive/ArchiveDialog.h"
#include "archive/PasswordDialogs.h"
#include "common/Program.h"
#include "fileops/CopyProgress.h"
#include "framework/Resources.h"
#include "resource.h"
#include <commctrl.h>

HWND CArchiveDialog::QuestionOwner() const
{
    return progress && progress->Dialog() ? progress->Dialog() : hwnd;
}

bool CArchiveDialog::Cancelled()
{
    if (!progress) return operation.cancelRequested;
    progress->Pump();
    return progress->CancelRequested();
}

void CArchiveDialog::UpdateProgress(bool force)
{
    if (!progress || !progress->Dialog()) return;
    int percent = totalBytes ? static_cast<int>(std::min<uint64_t>(100, doneBytes * 100 / totalBytes))
                             : memberCount ? std::min(100, doneCount * 100 / memberCount) : 0;
    // Painting is dearer than extracting a small member: a few times a second is enough.
    DWORD now = ::GetTickCount();
    if (!force && percent == lastPercent && now - lastProgressTick < 100) return;
    lastProgressTick = now;
    lastPercent = percent;
    HWND dialog = progress->Dialog();
    ::SendDlgItemMessageW(dialog, IDC_STATUS_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    ::SetDlgItemTextW(dialog, IDC_STATUS_BYTES,
                      fw::Format(fw::LoadStr(IDS_ARC_COUNT).c_str(), doneCount, std::max(memberCount, doneCount)).c_str());
}

void CArchiveDialog::OnProcessing(const std::wstring& name)
{
    ++doneCount;
    if (progress) progress->ShowNames(name, std::wstring());
    UpdateProgress(false);
}

void CArchiveDialog::OnProgress(uint64_t bytes)
{
    doneBytes += bytes;
    UpdateProgress(false);
}

OverwriteAnswer CArchiveDialog::OnFileExists(const OverwriteQuestion& question)
{
    OverwriteAnswer answer = progress ? progress->ConfirmOverwrite(question) : OverwriteAnswer::Cancel;
    if (answer == OverwriteAnswer::Cancel) operation.cancelRequested = true;
    return answer;
}

bool CArchiveDialog::OnSkipping(const std::wstring& name, const std::wstring& reason)
{
    std::wstring text = fw::Format(L"Skipping %ls: %ls", name.c_str(), reason.c_str());
    if (::MessageBoxW(QuestionOwner(), text.c_str(), ProductName, MB_OKCANCEL | MB_ICONWARNING) == IDCANCEL) {
        operation.cancelRequested = true;
        return false;
    }
    return true;
}

PasswordAnswer CArchiveDialog::OnPassword(const std::wstring& member, std::wstring& given)
{
    if (passwordMode == 1) {
        switch (CPasswordUseDialog(member).Ask(QuestionOwner())) {
        case -1: operation.cancelRequested = true; return PasswordAnswer::Cancel;
        case 0: passwordMode = 0; break;
        case 2: passwordMode = 2; break;
        default: break;
        }
    }
    if (passwordMode == 0 || password.empty()) {
        CPasswordDialog ask(member);
        if (ask.DoModal(QuestionOwner()) != IDOK) {
            operation.cancelRequested = true;
            return PasswordAnswer::Cancel;
        }
        password = ask.password;
        passwordMode = ask.forAll ? 2 : 1;
    }
    given = password;
    return PasswordAnswer::Use;
}

void CArchiveDialog::OnWrongPassword()
{
    password.clear();
    passwordMode = 0;
}
