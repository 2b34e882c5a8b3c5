// Finding and replacing in the text window, with the common find dialog or without it.
#include "tools/textedit/TextEditDialog.h"
#include "common/Program.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include <richedit.h>
#include <algorithm>

namespace te {

namespace {
// Copies a text into a find dialog buffer, never beyond its last place.
void CopyBounded(const std::wstring& text, wchar_t (&buffer)[FindTextLimit + 1])
{
    size_t n = std::min(text.size(), FindTextLimit);
    std::copy(text.begin(), text.begin() + static_cast<ptrdiff_t>(n), buffer);
    buffer[n] = L'\0';
}

std::wstring FromBuffer(const wchar_t (&buffer)[FindTextLimit + 1])
{
    return std::wstring(buffer, std::find(buffer, buffer + FindTextLimit, L'\0'));
}
}

void CTextEditDialog::Tell(UINT stringId, UINT icon) { ShowMessage(hwnd, fw::LoadStr(stringId), MB_OK | icon); }

void CTextEditDialog::OpenFindDialog(bool replace)
{
    if (findDialog) {
        if (findIsReplace == replace) {
            ::SetActiveWindow(findDialog);
            return;
        }
        fw::CDialog::UntrackModeless(findDialog);
        ::DestroyWindow(findDialog);
        findDialog = nullptr;
    }
    if (!replace) {
        CHARRANGE selection = {};
        ::SendMessageW(Control(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        if (selection.cpMax > selection.cpMin) findText = StreamOut(true).substr(0, FindTextLimit);
    }
    CopyBounded(findText, findBuffer);
    CopyBounded(replaceText, replaceBuffer);
    findRequest = {};
    findRequest.lStructSize = sizeof(findRequest);
    findRequest.hwndOwner = hwnd;
    findRequest.Flags = FR_DOWN | FR_HIDEUPDOWN | FR_HIDEWHOLEWORD | (findFlags & FR_MATCHCASE);
    findRequest.lpstrFindWhat = findBuffer;
    findRequest.wFindWhatLen = FindTextLimit + 1;
    findRequest.lpstrReplaceWith = replaceBuffer;
    findRequest.wReplaceWithLen = FindTextLimit + 1;
    findDialog = replace ? ::ReplaceTextW(&findRequest) : ::FindTextW(&findRequest);
    findIsReplace = replace;
    if (findDialog) fw::CDialog::TrackModeless(findDialog);
}

void CTextEditDialog::OnFindMessage(FINDREPLACEW& request)
{
    if (request.Flags & FR_DIALOGTERM) {
        fw::CDialog::UntrackModeless(findDialog);
        findDialog = nullptr;
        return;
    }
    findText = FromBuffer(findBuffer);
    replaceText = FromBuffer(replaceBuffer);
    DWORD matchCase = request.Flags & FR_MATCHCASE;
    if (request.Flags & FR_FINDNEXT) {
        findFlags = matchCase;
        CHARRANGE match = {};
        if (!FindFrom(SearchStart(), findFlags, match)) {
            Tell(IDS_TE_NOTFOUND);
            return;
        }
        Select(match);
        MoveFindDialogAside();
    } else if (request.Flags & FR_REPLACE) {
        if (!readOnly && !loading) ReplaceOnce(matchCase);
    } else if (request.Flags & FR_REPLACEALL) {
        if (!readOnly && !loading) ReplaceAll(request.Flags & (FR_MATCHCASE | FR_WHOLEWORD));
    }
}

long CTextEditDialog::SearchStart() const
{
    // The character at the caret is skipped, unless the caret is at the very start.
    CHARRANGE selection = {};
    ::SendMessageW(Control(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return selection.cpMin > 0 || selection.cpMax > selection.cpMin ? selection.cpMin + 1 : 0;
}

void CTextEditDialog::FindNextCommand()
{
    if (findText.empty()) {
        OpenFindDialog(false);
        return;
    }
    CHARRANGE match = {};
    if (FindFrom(SearchStart(), findFlags, match)) Select(match);
    else Tell(IDS_TE_NOTFOUND);
}

bool CTextEditDialog::FindFrom(long start, DWORD flags, CHARRANGE& match) const
{
    if (findText.empty()) return false;
    FINDTEXTEXW find = {};
    find.chrg.cpMin = start;
    find.chrg.cpMax = -1;
    find.lpstrText = findText.c_str();
    LRESULT found = ::SendMessageW(Control(), EM_FINDTEXTEXW, FR_DOWN | (flags & (FR_MATCHCASE | FR_WHOLEWORD)),
                                   reinterpret_cast<LPARAM>(&find));
    if (found < 0) return false;
    match = find.chrgText;
    return true;
}

void CTextEditDialog::Select(const CHARRANGE& range)
{
    CHARRANGE copy = range;
    ::SendMessageW(Control(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&copy));
    ::SendMessageW(Control(), EM_SCROLLCARET, 0, 0);
}

void CTextEditDialog::ReplaceOnce(DWORD flags)
{
    HWND control = Control();
    findFlags = flags;
    CHARRANGE selection = {}, match = {};
    ::SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    // Only a selection that is the find text itself is replaced; else the next match is found first.
    bool selectionIsMatch = selection.cpMax > selection.cpMin && FindFrom(selection.cpMin, flags, match) &&
                            match.cpMin == selection.cpMin && match.cpMax == selection.cpMax;
    if (!selectionIsMatch) {
        if (!FindFrom(selection.cpMin, flags, match)) {
            Tell(IDS_TE_NOTFOUND);
            return;
        }
        Select(match);
    }
    ::SendMessageW(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(replaceText.c_str()));
    MarkModified();
    CHARRANGE next = {};
    if (FindFrom(match.cpMin + static_cast<long>(replaceText.size()), flags, next)) Select(next);
}

void CTextEditDialog::ReplaceAll(DWORD flags)
{
    HWND control = Control();
    findFlags = flags;
    CHARRANGE selection = {}, match = {};
    ::SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    long at = selection.cpMin;
    int count = 0;
    {
        fw::WaitCursor wait;
        fw::RedrawOff quiet(control);
        while (FindFrom(at, flags, match)) {
            ::SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&match));
            ::SendMessageW(control, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(replaceText.c_str()));
            ++count;
            // Just behind the inserted text, so a replacement that holds the find text ends.
            at = match.cpMin + static_cast<long>(replaceText.size());
        }
    }
    if (count == 0) Tell(IDS_TE_NOTFOUND);
    else MarkModified();
}

void CTextEditDialog::MoveFindDialogAside()
{
    if (!findDialog) return;
    CHARRANGE selection = {};
    ::SendMessageW(Control(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    POINTL at = {};
    ::SendMessageW(Control(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), selection.cpMin);
    POINT point = {at.x, at.y};
    ::ClientToScreen(Control(), &point);
    RECT r = {};
    ::GetWindowRect(findDialog, &r);
    Point corner = FindDialogCorner({r.left, r.top, r.right, r.bottom}, {point.x, point.y}, ::GetSystemMetrics(SM_CYSCREEN));
    if (corner.x != r.left || corner.y != r.top)
        ::SetWindowPos(findDialog, nullptr, corner.x, corner.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace te
