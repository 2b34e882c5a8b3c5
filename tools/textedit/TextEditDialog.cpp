// The text window's start, loading in steps, first showing, layout, stored position, key filter
// and close rule.
#include "tools/textedit/TextEditDialog.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "common/ToolColors.h"
#include "framework/Resources.h"
#include "resource.h"
#include <richedit.h>
#include <algorithm>
#include <new>

namespace te {

namespace {
std::vector<CTextEditDialog*> openWindows;
// Characters streamed into the control per step: Wine's RichEdit takes about half a second a
// megabyte, so a big file comes in while the window answers.
constexpr size_t LoadChunk = 64 * 1024;
// Well beyond the 32767 characters a user must be able to type after the loaded text: pasting
// or inserting a file is never cut short.
constexpr LPARAM TextLimit = 0x7FFFFFFE;
UINT findMessage = 0;

struct StreamSource {
    const wchar_t* next;
    size_t left;
};

DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done)
{
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    size_t n = std::min(source->left, static_cast<size_t>(size) / sizeof(wchar_t));
    std::copy(source->next, source->next + n, reinterpret_cast<wchar_t*>(buffer));
    source->next += n;
    source->left -= n;
    *done = static_cast<LONG>(n * sizeof(wchar_t));
    return 0;
}

DWORD CALLBACK StreamOutText(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done)
{
    auto* out = reinterpret_cast<std::wstring*>(cookie);
    out->append(reinterpret_cast<const wchar_t*>(buffer), static_cast<size_t>(size) / sizeof(wchar_t));
    *done = size;
    return 0;
}

// The keys that only the accelerator table sees, and never the dialog manager.
bool IsAcceleratorKey(const MSG& msg)
{
    if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
        switch (msg.wParam) {
        case 'F': case 'H': case 'S': case VK_CONTROL: case VK_F3:
            return true;
        }
        return false;
    }
    return msg.message == WM_CHAR && (msg.wParam == 6 || msg.wParam == 8);
}
}

void CTextEditDialog::StreamInto(HWND control, const wchar_t* text, size_t length, bool selection)
{
    StreamSource source = {text, length};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&source), 0, StreamIn};
    ::SendMessageW(control, EM_STREAMIN, SF_TEXT | SF_UNICODE | (selection ? SFF_SELECTION : 0),
                   reinterpret_cast<LPARAM>(&stream));
}

CTextEditDialog* CTextEditDialog::Open(HWND parent, const std::wstring& path, bool readOnly, bool newFile)
{
    static HMODULE richEdit = ::LoadLibraryW(L"RICHED32.DLL");
    if (!findMessage) findMessage = ::RegisterWindowMessageW(FINDMSGSTRINGW);
    auto* window = new CTextEditDialog(path, readOnly, newFile);
    if (!richEdit || !window->CreateModeless(parent, false)) {
        delete window;
        ShowLastError(IDS_UNKNOWNERROR);
        return nullptr;
    }
    ::ShowWindow(window->Handle(), SW_SHOW);
    return window;
}

const std::vector<CTextEditDialog*>& CTextEditDialog::OpenWindows() { return openWindows; }

CTextEditDialog::CTextEditDialog(const std::wstring& path, bool readOnly, bool newFile)
    : CDialog(L"REDIT"), filePath(path), newFile(newFile), viewer(readOnly), readOnly(readOnly)
{
    openWindows.push_back(this);
}

CTextEditDialog::~CTextEditDialog()
{
    openWindows.erase(std::remove(openWindows.begin(), openWindows.end(), this), openWindows.end());
    if (background) ::DeleteObject(background);
}

HWND CTextEditDialog::Control() const { return Item(IDC_TE_TEXT); }

bool CTextEditDialog::IsModified() const
{
    return !viewer && hwnd && ::SendMessageW(Control(), EM_GETMODIFY, 0, 0) != 0;
}

long CTextEditDialog::TextLength() const
{
    GETTEXTLENGTHEX length = {GTL_DEFAULT, 1200};
    return static_cast<long>(::SendMessageW(Control(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
}

std::wstring CTextEditDialog::StreamOut(bool selectionOnly) const
{
    HWND control = Control();
    std::wstring text;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&text), 0, StreamOutText};
    // A selection may reach past the text into the closing paragraph mark, which no file holds.
    CHARRANGE selection = {};
    bool clamp = false;
    if (selectionOnly) {
        ::SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        long length = TextLength();
        clamp = selection.cpMax > length || selection.cpMax < 0;
        if (clamp) {
            CHARRANGE inside = {std::min(selection.cpMin, length), length};
            ::SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&inside));
        }
    }
    ::SendMessageW(control, EM_STREAMOUT, SF_TEXT | SF_UNICODE | (selectionOnly ? SFF_SELECTION : 0),
                   reinterpret_cast<LPARAM>(&stream));
    if (clamp) ::SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    return text;
}

bool CTextEditDialog::OnInit()
{
    accelerators = ::LoadAcceleratorsW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDR_TEXTEDIT));
    background = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    HWND control = Control();
    // One format for all the text: pasted text brings none of its own.
    ::SendMessageW(control, EM_SETTEXTMODE, TM_PLAINTEXT | TM_MULTILEVELUNDO, 0);
    ::SendMessageW(control, EM_EXLIMITTEXT, 0, TextLimit);
    ApplySettings();
    if (viewer) {
        HMENU menu = ::GetMenu(hwnd);
        for (UINT id : {IDM_TE_SAVE, IDM_TE_CUT, IDM_TE_PASTE, IDM_TE_INSERTFILE, IDM_TE_DELETE, IDM_TE_REPLACE})
            ::DeleteMenu(menu, id, MF_BYCOMMAND);
        ::DrawMenuBar(hwnd);
    }
    StartLoading();
    UpdateTitle();
    findFlags = 0;
    firstShow = true;
    ::SetFocus(control);
    ::SendMessageW(control, EM_SETSEL, 0, 0);
    return false;
}

void CTextEditDialog::ApplySettings()
{
    CHARFORMATW format = {sizeof(format)};
    format.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE |
                    CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK;
    format.yHeight = GetProfileInt(L"FileEdit", L"FontHeight", 180);
    format.bCharSet = static_cast<BYTE>(GetProfileInt(L"FileEdit", L"FontCharSet", 0));
    format.bPitchAndFamily = FIXED_PITCH;
    std::wstring face = GetProfileString(L"FileEdit", L"FontName", L"Courier New");
    lstrcpynW(format.szFaceName, face.c_str(), LF_FACESIZE);
    // Bold, italic and underline; a stored strike-out is kept but not shown.
    format.dwEffects = static_cast<DWORD>(GetProfileInt(L"FileEdit", L"FontEffects", 0)) & 7;
    format.crTextColor = ReadToolColor(L"TextColor", RGB(0, 0, 0));
    SetDefaultFormat(format);
    ::SendMessageW(Control(), EM_SETBKGNDCOLOR, 0, ReadToolColor(L"BkColor", RGB(255, 255, 255)));
    wordWrap = GetProfileInt(L"FileEdit", L"WordWrap", 0) == 1;
    findText = SeedFindText(GetProfileString(L"ZoekReeksen", L"Reeks1", L""));
    replaceText.clear();
}

void CTextEditDialog::StartLoading()
{
    HWND control = Control();
    if (newFile) {
        ::SendMessageW(control, EM_EMPTYUNDOBUFFER, 0, 0);
        ::SendMessageW(control, EM_SETMODIFY, FALSE, 0);
        return;
    }
    // Empty, and never saved over the file it could not read.
    auto leaveEmpty = [&] {
        readOnly = true;
        ::SendMessageW(control, EM_SETREADONLY, TRUE, 0);
    };
    std::string bytes;
    bool opened = false;
    DWORD error = 0;
    try {
        error = ReadFileBytes(filePath, bytes, &opened);
        if (opened) {
            file = DecodeText(bytes);
            if (!viewer && !error) {
                std::string back;
                exact = EncodeText(file.text, file.encoding, back) && back == bytes;
            }
        }
    } catch (const std::bad_alloc&) {
        file = DecodedText();
        leaveEmpty();
        ShowWarning(IDS_OUTOFMEMORY);
        return;
    }
    if (!opened) {
        leaveEmpty();
        ::SetLastError(error);
        ShowLastError(IDS_COPY_CANTCREATE);
        return;
    }
    readFailed = error != 0;
    if (readFailed || !exact) readOnly = true;
    loaded = 0;
    loading = true;
    ::SendMessageW(control, EM_SETREADONLY, TRUE, 0);
    LoadStep();
}

void CTextEditDialog::LoadStep()
{
    if (!loading) return;
    HWND control = Control();
    const std::wstring& text = file.text;
    size_t n = std::min(LoadChunk, text.size() - loaded);
    // A CR LF pair or a surrogate pair stays in one step.
    size_t end = loaded + n;
    if (end < text.size() && (text[end - 1] == L'\r' || IS_HIGH_SURROGATE(text[end - 1]))) ++n;
    if (loaded == 0) {
        StreamInto(control, text.data(), n, false);
    } else {
        // Appended at the end without moving the user's caret or view.
        CHARRANGE keep = {};
        ::SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&keep));
        LRESULT firstLine = ::SendMessageW(control, EM_GETFIRSTVISIBLELINE, 0, 0);
        ::SendMessageW(control, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(-1), -1);
        StreamInto(control, text.data() + loaded, n, true);
        ::SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
        LRESULT nowFirst = ::SendMessageW(control, EM_GETFIRSTVISIBLELINE, 0, 0);
        if (nowFirst != firstLine) ::SendMessageW(control, EM_LINESCROLL, 0, firstLine - nowFirst);
        ::SendMessageW(control, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(control, nullptr, TRUE);
    }
    loaded += n;
    if (loaded < text.size()) ::PostMessageW(hwnd, WM_LOADSTEP, 0, 0);
    else FinishLoading();
}

void CTextEditDialog::FinishLoading()
{
    HWND control = Control();
    loading = false;
    // What the control holds must be what was read, or the window would show less than the file and
    // Save would change it.
    if (TextLength() != static_cast<long>(file.text.size()) || (!readOnly && StreamOut() != file.text)) {
        exact = false;
        readOnly = true;
    }
    file.text = std::wstring();
    ::SendMessageW(control, EM_SETREADONLY, readOnly, 0);
    ::SendMessageW(control, EM_EMPTYUNDOBUFFER, 0, 0);
    ::SendMessageW(control, EM_SETMODIFY, FALSE, 0);
    UpdateTitle();
    if (readFailed) Tell(IDS_TE_READFAILED);
    else if (!exact) Tell(IDS_TE_NOTEXACT, MB_ICONINFORMATION);
}

void CTextEditDialog::UpdateTitle()
{
    std::wstring prefix = titlePrefix.empty() ? std::wstring(viewer ? L"PD Viewer - " : L"PD Editor - ") : titlePrefix;
    std::wstring title = prefix + filePath;
    if (loading) title += fw::LoadStr(IDS_TE_LOADING);
    else if (readOnly && !viewer) title += fw::LoadStr(IDS_TE_READONLYTITLE);
    ::SetWindowTextW(hwnd, title.c_str());
}

void CTextEditDialog::OnFirstShow()
{
    firstShow = false;
    ::SendMessageW(Control(), EM_SETSEL, 0, 0);
    ::PostMessageW(hwnd, WM_RESTOREPOSITION, 0, 0);
    ApplyWordWrap();
}

void CTextEditDialog::RestorePosition()
{
    int right = GetProfileInt(L"DlgPositie", L"cx", 0);
    if (right != 0) {
        int left = GetProfileInt(L"DlgPositie", L"x", 0), top = GetProfileInt(L"DlgPositie", L"y", 0);
        int bottom = GetProfileInt(L"DlgPositie", L"cy", 0);
        if (right > left && bottom > top) ::MoveWindow(hwnd, left, top, right - left, bottom - top, TRUE);
    }
    Layout();
}

void CTextEditDialog::StorePosition()
{
    WINDOWPLACEMENT placement = {sizeof(placement)};
    if (!::GetWindowPlacement(hwnd, &placement)) return;
    const RECT& r = placement.rcNormalPosition;
    WriteProfileInt(L"DlgPositie", L"x", r.left);
    WriteProfileInt(L"DlgPositie", L"y", r.top);
    WriteProfileInt(L"DlgPositie", L"cx", r.right);
    WriteProfileInt(L"DlgPositie", L"cy", r.bottom);
}

void CTextEditDialog::Layout()
{
    HWND control = Control();
    if (!control || firstShow) return;
    RECT client = {};
    ::GetClientRect(hwnd, &client);
    ::MoveWindow(control, 2, 0, std::max<int>(client.right - 4, 0), std::max<int>(client.bottom - 2, 0), TRUE);
}

void CTextEditDialog::OnTab()
{
    // The viewer never changes its text.
    if (readOnly || loading) return;
    ::SendMessageW(Control(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\t"));
    MarkModified();
}

bool CTextEditDialog::TryClose()
{
    if (!hwnd) return true;
    if (IsModified()) {
        int answer = ShowQuestion(MB_YESNOCANCEL);
        if (answer == IDCANCEL) return false;
        // A save that failed keeps the window and its changes.
        if (answer == IDYES && !Save()) return false;
        ::SendMessageW(Control(), EM_SETMODIFY, FALSE, 0);
    }
    End(IDCANCEL);
    return true;
}

int CTextEditDialog::ShowQuestion(UINT buttons)
{
    return ::MessageBoxW(hwnd, fw::LoadStr(IDS_TE_SAVECHANGES).c_str(), (L"PD - " + filePath).c_str(),
                         buttons | MB_ICONQUESTION);
}

void CTextEditDialog::OnDestroying()
{
    StorePosition();
    if (findDialog) {
        fw::CDialog::UntrackModeless(findDialog);
        findDialog = nullptr;
    }
    loading = false;
    if (IsModified() && ShowQuestion(MB_YESNO) == IDYES) Save();
}

void CTextEditDialog::OnDestroyed() { delete this; }

bool CTextEditDialog::PreTranslateMessage(MSG& msg)
{
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    // Tab is typed into the text; it never moves the focus.
    if (msg.wParam == VK_TAB && (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_CHAR)) {
        if (msg.message == WM_KEYDOWN) ::PostMessageW(hwnd, WM_TABKEY, 0, 0);
        return true;
    }
    if (!IsAcceleratorKey(msg)) return false;
    if (accelerators && ::TranslateAcceleratorW(hwnd, accelerators, &msg)) return true;
    // Not an accelerator: still a key to type (f, h, s, Backspace).
    DispatchDirectly(msg);
    return true;
}

INT_PTR CTextEditDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == findMessage && findMessage) {
        OnFindMessage(*reinterpret_cast<FINDREPLACEW*>(lp));
        return TRUE;
    }
    switch (msg) {
    case WM_CTLCOLORDLG:
    case WM_SHOWWINDOW:
        if (firstShow && (msg == WM_CTLCOLORDLG || wp)) OnFirstShow();
        if (msg == WM_CTLCOLORDLG) return reinterpret_cast<INT_PTR>(background);
        break;
    case WM_RESTOREPOSITION: RestorePosition(); return TRUE;
    case WM_TABKEY: OnTab(); return TRUE;
    case WM_LOADSTEP: LoadStep(); return TRUE;
    case WM_SIZE: Layout(); return TRUE;
    case WM_INITMENUPOPUP: UpdateMenu(reinterpret_cast<HMENU>(wp)); return TRUE;
    case WM_COMMAND:
        // Notifications of the control itself, and Enter that the control left to the dialog.
        if (lp || LOWORD(wp) == IDOK) return TRUE;
        if (LOWORD(wp) != IDCANCEL) {
            OnCommandId(LOWORD(wp));
            return TRUE;
        }
        break;
    case WM_DESTROY:
        OnDestroying();
        break;
    }
    return CDialog::OnMessage(msg, wp, lp);
}

} // namespace te
