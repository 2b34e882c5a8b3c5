// The dialogs of copy and move: target entry, progress and the overwrite confirmation.
#include "fileops/CopyDialogs.h"
#include "common/Program.h"
#include "framework/Resources.h"
#include "panel/ListingFormat.h"
#include "resource.h"
#include <commctrl.h>

bool CCopyDialog::OnInit()
{
    SetItemText(IDC_COPY_PROMPT, prompt);
    SetItemText(IDC_COPY_TARGET, target);
    SetChecked(IDC_COPY_ONLYNEWER, onlyNewer);
    HWND types = Item(IDC_COPY_XFERTYPE);
    if (offerTransferType) {
        for (UINT text : {IDS_FTP_XFERBINARY, IDS_FTP_XFERASCII, IDS_FTP_XFERL8, IDS_FTP_XFERAUTO})
            ::SendMessageW(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fw::LoadStr(text).c_str()));
        int shown = transferType >= 1 && transferType <= 4 ? transferType : 4;
        ::SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(shown - 1), 0);
    } else {
        ::ShowWindow(types, SW_HIDE);
    }
    HWND edit = Item(IDC_COPY_TARGET);
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    return false;
}

void CCopyDialog::OnOK()
{
    target = ItemText(IDC_COPY_TARGET);
    size_t first = target.find_first_not_of(L" \t");
    size_t last = target.find_last_not_of(L" \t");
    target = first == std::wstring::npos ? std::wstring() : target.substr(first, last - first + 1);
    onlyNewer = IsChecked(IDC_COPY_ONLYNEWER);
    if (offerTransferType) {
        LRESULT chosen = ::SendMessageW(Item(IDC_COPY_XFERTYPE), CB_GETCURSEL, 0, 0);
        if (chosen >= 0 && chosen <= 3) transferType = static_cast<int>(chosen) + 1;
    }
    End(IDOK);
}

bool CStatusCopyDialog::OnInit()
{
    if (!title.empty()) ::SetWindowTextW(hwnd, title.c_str());
    ::SendMessageW(Item(IDC_STATUS_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::ShowWindow(Item(IDC_STATUS_BYTES), SW_HIDE);
    return true;
}

std::wstring COverwriteDialog::FileLine(uint64_t size, uint64_t fileTime)
{
    FILETIME utc = {static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)}, local;
    SYSTEMTIME st = {};
    ::FileTimeToLocalFileTime(&utc, &local);
    ::FileTimeToSystemTime(&local, &st);
    // The listing's "  dd-mm-yy  hh:mm" becomes the dialogs' "dd-mm-yy   hh:mm".
    std::wstring date = FormatDateParts(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, Program().dateOrder[0],
                                        Program().dateSeparator[0]);
    date.erase(0, 2);
    size_t gap = date.find(L"  ");
    if (gap != std::wstring::npos) date.insert(gap, L" ");
    return FormatSize(size, Program().thousandSeparator[0]) + fw::LoadStr(IDS_OVERWRITE_BYTES) + date;
}

bool COverwriteDialog::OnInit()
{
    SetItemText(IDC_OVERWRITE_TEXT, fw::LoadStr(IDS_OVERWRITE_TEXT) + question.targetDirectory +
                                        fw::LoadStr(IDS_OVERWRITE_NAME) + question.name + L".");
    SetItemText(IDC_OVERWRITE_SOURCE, FileLine(question.sourceSize, question.sourceTime));
    SetItemText(IDC_OVERWRITE_TARGET, FileLine(question.targetSize, question.targetTime));
    ::EnableWindow(Item(IDC_OVERWRITE_ALL), question.offerAll);
    return true;
}

bool COverwriteDialog::OnCommand(UINT id, UINT code, HWND)
{
    if ((id == IDC_OVERWRITE_ALL || id == IDC_OVERWRITE_SKIP) && code == BN_CLICKED) {
        if (id == IDC_OVERWRITE_ALL && !question.offerAll) return true;
        End(id);
        return true;
    }
    return false;
}

OverwriteAnswer COverwriteDialog::Ask(HWND parent)
{
    switch (DoModal(parent)) {
    case IDOK: return OverwriteAnswer::Overwrite;
    case IDC_OVERWRITE_ALL: return OverwriteAnswer::OverwriteAll;
    case IDC_OVERWRITE_SKIP: return OverwriteAnswer::Skip;
    default: return OverwriteAnswer::Cancel;
    }
}
