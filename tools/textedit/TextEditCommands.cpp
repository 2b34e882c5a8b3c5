// The text window's menu commands: saving, the clipboard, inserting a file, font, colours, wrap.
#include "tools/textedit/TextEditDialog.h"
#include "common/FileWrite.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "common/ToolColors.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include <richedit.h>
#include <vector>

namespace te {

namespace {
COLORREF customColors[16] = {};

// The common open and save dialogs, with a buffer for names of any length the system allows.
bool AskFileName(HWND owner, bool save, std::wstring& name)
{
    std::vector<wchar_t> buffer(32768, L'\0');
    name.copy(buffer.data(), std::min(name.size(), buffer.size() - 1));
    OPENFILENAMEW ofn = {sizeof(ofn)};
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"All files (*.*)\0*.*\0";
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = save ? OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST
                     : OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!(save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn))) return false;
    name = buffer.data();
    return true;
}
}

void CTextEditDialog::OnCommandId(UINT id)
{
    HWND control = Control();
    bool edits = !readOnly && !loading;
    switch (id) {
    case IDM_TE_SAVE: if (edits) Save(); break;
    case IDM_TE_SAVEAS: if (!loading) SaveAs(); break;
    case IDM_TE_CLOSE: TryClose(); break;
    case IDM_TE_UNDO: if (edits) { ::SendMessageW(control, EM_UNDO, 0, 0); MarkModified(); } break;
    case IDM_TE_CUT: if (edits) { ::SendMessageW(control, WM_CUT, 0, 0); MarkModified(); } break;
    case IDM_TE_COPY: ::SendMessageW(control, WM_COPY, 0, 0); break;
    case IDM_TE_SAVESEL: if (!loading) SaveSelection(); break;
    case IDM_TE_PASTE: if (edits) { ::SendMessageW(control, WM_PASTE, 0, 0); MarkModified(); } break;
    case IDM_TE_INSERTFILE: if (edits) InsertFile(); break;
    case IDM_TE_DELETE: if (edits) { ::SendMessageW(control, WM_CLEAR, 0, 0); MarkModified(); } break;
    case IDM_TE_SELECTALL: ::SendMessageW(control, EM_SETSEL, 0, TextLength()); break;
    case IDM_TE_FIND: OpenFindDialog(false); break;
    case IDM_TE_FINDNEXT: FindNextCommand(); break;
    case IDM_TE_REPLACE: if (edits) OpenFindDialog(true); break;
    case IDM_TE_FONT: ChooseFontCommand(); break;
    case IDM_TE_WORDWRAP: ToggleWordWrap(); break;
    case IDM_TE_TEXTCOLOR: ChooseColorCommand(true); break;
    case IDM_TE_BKCOLOR: ChooseColorCommand(false); break;
    }
}

void CTextEditDialog::UpdateMenu(HMENU menu)
{
    HWND control = Control();
    CHARRANGE selection = {};
    ::SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    bool hasSelection = selection.cpMax > selection.cpMin;
    bool hasText = TextLength() > 0;
    bool edits = !readOnly && !loading;
    auto enable = [menu](UINT id, bool on) {
        ::EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    enable(IDM_TE_SAVE, edits);
    enable(IDM_TE_SAVEAS, !loading);
    enable(IDM_TE_SAVESEL, hasSelection && !loading);
    enable(IDM_TE_INSERTFILE, edits);
    enable(IDM_TE_UNDO, edits && ::SendMessageW(control, EM_CANUNDO, 0, 0));
    enable(IDM_TE_CUT, edits && hasSelection);
    enable(IDM_TE_COPY, hasSelection);
    enable(IDM_TE_DELETE, edits && hasSelection);
    enable(IDM_TE_PASTE, edits && ::SendMessageW(control, EM_CANPASTE, 0, 0));
    enable(IDM_TE_FIND, hasText);
    enable(IDM_TE_REPLACE, edits && hasText);
    ::CheckMenuItem(menu, IDM_TE_WORDWRAP, MF_BYCOMMAND | (wordWrap ? MF_CHECKED : MF_UNCHECKED));
}

void CTextEditDialog::MarkModified()
{
    if (!viewer) ::SendMessageW(Control(), EM_SETMODIFY, TRUE, 0);
}

bool CTextEditDialog::FileBytes(const std::wstring& text, std::string& bytes, TextEncoding& encoding)
{
    std::wstring converted = ToFileLineEnds(text, file.lineEnds);
    encoding = file.encoding;
    if (EncodeText(converted, encoding, bytes)) return true;
    // Characters the code page cannot hold are never written as substitutes.
    if (ShowMessage(hwnd, fw::LoadStr(IDS_TE_UNMAPPABLE), MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    encoding = TextEncoding::Utf8;
    return EncodeText(converted, encoding, bytes);
}

bool CTextEditDialog::WriteText(const std::wstring& path, const std::wstring& text)
{
    std::string bytes;
    TextEncoding encoding;
    if (!FileBytes(text, bytes, encoding)) return false;
    fw::WaitCursor wait;
    auto body = [&](HANDLE handle) { return WriteAllBytes(handle, bytes.data(), bytes.size()); };
    DWORD error = WriteFileSafely(path, body);
    if (error) {
        ::SetLastError(error);
        ShowLastError(IDS_COPY_CANTCREATE);
        return false;
    }
    savedEncoding = encoding;
    return true;
}

bool CTextEditDialog::Save()
{
    if (!WriteText(filePath, StreamOut())) return false;
    file.encoding = savedEncoding;
    newFile = false;
    ::SendMessageW(Control(), EM_SETMODIFY, FALSE, 0);
    return true;
}

bool CTextEditDialog::SaveAs()
{
    HWND control = Control();
    CHARRANGE keep = {};
    ::SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    std::wstring name = filePath;
    bool chosen = AskFileName(hwnd, true, name);
    ::SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    if (!chosen || !WriteText(name, StreamOut())) return false;
    file.encoding = savedEncoding;
    filePath = name;
    titlePrefix = L"PD - ";
    newFile = false;
    ::SendMessageW(control, EM_SETMODIFY, FALSE, 0);
    UpdateTitle();
    return true;
}

void CTextEditDialog::SaveSelection()
{
    HWND control = Control();
    CHARRANGE keep = {};
    ::SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    if (keep.cpMax <= keep.cpMin) return;
    std::wstring text = StreamOut(true);
    std::wstring name;
    if (AskFileName(hwnd, true, name)) WriteText(name, text);
    ::SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
}

void CTextEditDialog::InsertFile()
{
    HWND control = Control();
    CHARRANGE keep = {};
    ::SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    std::wstring name;
    bool chosen = AskFileName(hwnd, false, name);
    ::SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&keep));
    if (!chosen) return;
    std::string bytes;
    bool opened = false;
    DWORD error = ReadFileBytes(name, bytes, &opened);
    if (error) {
        // Nothing of a file that was not read whole goes in.
        ::SetLastError(error);
        ShowLastError(opened ? IDS_COPY_READERROR : IDS_COPY_CANTOPEN);
        return;
    }
    fw::WaitCursor wait;
    std::wstring text = DecodeText(bytes).text;
    StreamInto(control, text.data(), text.size(), true);
    MarkModified();
}

void CTextEditDialog::SetDefaultFormat(const CHARFORMATW& format)
{
    HWND control = Control();
    LRESULT modified = ::SendMessageW(control, EM_GETMODIFY, 0, 0);
    CHARFORMATW copy = format;
    // In plain-text mode the default format is the whole text's.
    ::SendMessageW(control, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&copy));
    // A new look is no change to the text.
    ::SendMessageW(control, EM_SETMODIFY, modified, 0);
}

void CTextEditDialog::ChooseFontCommand()
{
    CHARFORMATW current = {sizeof(current)};
    ::SendMessageW(Control(), EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&current));
    LOGFONTW font = {};
    {
        fw::WindowDC dc(hwnd);
        font.lfHeight = -::MulDiv(current.yHeight, ::GetDeviceCaps(dc, LOGPIXELSY), 1440);
    }
    font.lfWeight = (current.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (current.dwEffects & CFE_ITALIC) != 0;
    font.lfUnderline = (current.dwEffects & CFE_UNDERLINE) != 0;
    font.lfStrikeOut = (current.dwEffects & CFE_STRIKEOUT) != 0;
    font.lfCharSet = current.bCharSet;
    font.lfPitchAndFamily = current.bPitchAndFamily;
    lstrcpynW(font.lfFaceName, current.szFaceName, LF_FACESIZE);
    CHOOSEFONTW choose = {sizeof(choose)};
    choose.hwndOwner = hwnd;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_FIXEDPITCHONLY | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    if (!::ChooseFontW(&choose)) return;
    CHARFORMATW format = current;
    format.cbSize = sizeof(format);
    format.dwMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE |
                    CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK;
    format.yHeight = choose.iPointSize * 2;
    DWORD effects = (font.lfWeight >= FW_BOLD ? CFE_BOLD : 0) | (font.lfItalic ? CFE_ITALIC : 0) |
                    (font.lfUnderline ? CFE_UNDERLINE : 0) | (font.lfStrikeOut ? CFE_STRIKEOUT : 0);
    format.dwEffects = effects;
    format.bCharSet = font.lfCharSet;
    format.bPitchAndFamily = font.lfPitchAndFamily;
    lstrcpynW(format.szFaceName, font.lfFaceName, LF_FACESIZE);
    SetDefaultFormat(format);
    WriteProfileInt(L"FileEdit", L"FontHeight", format.yHeight);
    WriteProfileInt(L"FileEdit", L"FontCharSet", format.bCharSet);
    WriteProfileInt(L"FileEdit", L"FontEffects", static_cast<int>(effects));
    WriteProfileString(L"FileEdit", L"FontName", format.szFaceName);
}

void CTextEditDialog::ChooseColorCommand(bool text)
{
    HWND control = Control();
    CHARFORMATW current = {sizeof(current)};
    ::SendMessageW(control, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&current));
    CHOOSECOLORW choose = {sizeof(choose)};
    choose.hwndOwner = hwnd;
    choose.rgbResult = text ? current.crTextColor : ReadToolColor(L"BkColor", RGB(255, 255, 255));
    choose.lpCustColors = customColors;
    choose.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!::ChooseColorW(&choose)) return;
    if (text) {
        CHARFORMATW format = {sizeof(format)};
        format.dwMask = CFM_COLOR;
        format.crTextColor = choose.rgbResult;
        SetDefaultFormat(format);
    } else {
        ::SendMessageW(control, EM_SETBKGNDCOLOR, 0, choose.rgbResult);
    }
    WriteToolColor(text ? L"TextColor" : L"BkColor", choose.rgbResult);
}

void CTextEditDialog::ApplyWordWrap()
{
    // Line width 0 wraps at the window's edge; a width of one unit means no wrapping.
    ::SendMessageW(Control(), EM_SETTARGETDEVICE, 0, wordWrap ? 0 : 1);
}

void CTextEditDialog::ToggleWordWrap()
{
    wordWrap = !wordWrap;
    ApplyWordWrap();
    WriteProfileInt(L"FileEdit", L"WordWrap", wordWrap ? 1 : 0);
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

} // namespace te
