// The commands of the hex window: clipboard, cut, paste, find, go to, character set, font, colours.
#include "tools/hexedit/HexView.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "common/ToolColors.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "tools/hexedit/HexCodePages.h"
#include "tools/hexedit/HexDialogs.h"
#include "tools/hexedit/NumberField.h"
#include "tools/hexedit/ValueCodes.h"
#include "resource.h"
#include <commdlg.h>
#include <algorithm>
#include <cstring>
#include <limits>

namespace hex {

namespace {
// Shared by every hex window for as long as the program runs.
struct SharedChoices {
    bool searched = false;
    std::wstring searchText, searchHex;
    bool matchCase = false, backwards = false;
    std::wstring goToText;
    bool cutToClipboard = true;
    COLORREF customColors[16] = {};
};
SharedChoices shared;

// Clipboard text is capped like the data in memory: seven characters a byte would be too much.
uint64_t ClipboardLimit() { return static_cast<uint64_t>(InMemoryLimit()); }

// The search the last find dialog described, as bytes in this window's character set.
bool SearchPattern(int charset, std::vector<uint8_t>& pattern, bool& exact)
{
    exact = shared.searchText.empty();
    if (exact) {
        std::string digits;
        for (wchar_t c : shared.searchHex) digits += c < 128 ? static_cast<char>(c) : ' ';
        pattern = ParseHexBytes(digits);
        return true;
    }
    std::string text;
    if (!TextBytes(shared.searchText, charset, text)) return false;
    pattern = DecodeValueCodes(text);
    return true;
}
}

void CHexView::OnCommand(UINT id)
{
    switch (id) {
    case IDM_HEX_TOP: ed.ToStart(); break;
    case IDM_HEX_BOTTOM: ed.ToEnd(); break;
    case IDM_HEX_COLUMNLEFT: ed.ScrollColumns(-1); break;
    case IDM_HEX_COLUMNRIGHT: ed.ScrollColumns(1); break;
    case IDM_HEX_LINEUP: ed.ScrollLines(-1); break;
    case IDM_HEX_LINEDOWN: ed.ScrollLines(1); break;
    case IDM_HEX_SAVE: Save(); break;
    case IDM_HEX_SAVEAS: SaveAs(); break;
    case IDM_HEX_PANE: ed.SwitchPane(); break;
    case IDM_HEX_FIND: FindCommand(); break;
    case IDM_HEX_GOTO: GoToCommand(); break;
    case IDM_HEX_NOTHING: break;
    case IDM_HEX_SELRIGHT: case IDM_HEX_SELLEFT: case IDM_HEX_SELUP: case IDM_HEX_SELDOWN:
    case IDM_HEX_SELLINEEND: case IDM_HEX_SELLINESTART: case IDM_HEX_SELTOSTART: case IDM_HEX_SELTOEND:
    case IDM_HEX_SELPAGEDOWN: case IDM_HEX_SELPAGEUP:
        ed.ExtendSelection(static_cast<int>(id));
        break;
    case IDM_HEX_TEXTCOLOR: case IDM_HEX_BKCOLOR: case IDM_HEX_SEPCOLOR: ColorCommand(id); break;
    case IDM_HEX_CHARSET: CharsetCommand(); break;
    case IDM_HEX_DELETE: CutCommand(false); break;
    case IDM_HEX_INSERT: ed.insertMode = !ed.insertMode; break;
    case IDM_HEX_BACKSPACE: TellOutcome(ed.Backspace()); break;
    case IDM_HEX_SELECTALL: ed.SelectAll(); break;
    case IDM_HEX_CUT: CutCommand(true); break;
    case IDM_HEX_COPY: CopyCommand(); break;
    case IDM_HEX_PASTE: PasteCommand(); break;
    case IDM_HEX_FINDNEXT: FindNextCommand(); break;
    case IDM_HEX_FONT: FontCommand(); break;
    default:
        ::MessageBoxW(dialog, fw::Format(L"Unknown COMMAND-ID %d.", id).c_str(), L"HEXEDERROR", MB_OK | MB_ICONSTOP);
        return;
    }
    Refresh();
}

bool CHexView::PutOnClipboard(Offset start, Offset count)
{
    fw::WaitCursor wait;
    const uint8_t* whole = ed.doc.Contiguous();
    std::vector<uint8_t> block;
    constexpr Offset BlockSize = 1 << 20;
    // Pass one: the length, in 64 bits; pass two: the text into the clipboard's memory.
    auto eachBlock = [&](auto&& use) {
        for (Offset at = start; at < start + count; at += BlockSize) {
            size_t n = static_cast<size_t>(std::min(BlockSize, start + count - at));
            const uint8_t* bytes = whole ? whole + at : nullptr;
            if (!bytes) {
                block.resize(n);
                if (!ed.doc.Read(at, block.data(), n)) return false;
                bytes = block.data();
            }
            use(bytes, n);
        }
        return true;
    };
    uint64_t length = 0;
    if (!eachBlock([&](const uint8_t* bytes, size_t n) { length += ClipboardFormLength(bytes, n); }) ||
        length + 1 > ClipboardLimit())
        return false;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(length + 1));
    if (!memory) return false;
    char* text = static_cast<char*>(::GlobalLock(memory));
    size_t used = 0;
    std::string piece;
    eachBlock([&](const uint8_t* bytes, size_t n) {
        piece.clear();
        AppendClipboardForm(piece, bytes, n);
        std::memcpy(text + used, piece.data(), piece.size());
        used += piece.size();
    });
    text[used] = 0;
    ::GlobalUnlock(memory);
    if (!::OpenClipboard(dialog)) {
        ::GlobalFree(memory);
        return false;
    }
    ::EmptyClipboard();
    bool ok = ::SetClipboardData(CF_TEXT, memory) != nullptr;
    ::CloseClipboard();
    if (!ok) ::GlobalFree(memory);
    return ok;
}

bool CHexView::ClipboardText(std::string& text) const
{
    if (!::OpenClipboard(dialog)) return false;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    const char* chars = data ? static_cast<const char*>(::GlobalLock(data)) : nullptr;
    if (chars) {
        text.assign(chars, strnlen(chars, ::GlobalSize(data)));
        ::GlobalUnlock(data);
    }
    ::CloseClipboard();
    return chars != nullptr;
}

bool CHexView::AskRange(CHexRangeDialog& box, Offset& start, Offset& count)
{
    Offset low = ed.sel.active ? ed.sel.Low() : ed.cursor;
    Offset high = ed.sel.active ? ed.sel.High() : ed.cursor;
    box.start = std::to_wstring(low);
    box.end = std::to_wstring(high);
    box.count = std::to_wstring(high - low + 1);
    if (box.DoModal(dialog) != IDOK) return false;
    if (!ParseNumber(box.start, start)) return Tell(IDS_HEX_BADSTART), false;
    if (box.useEnd && !box.end.empty()) {
        Offset end = 0;
        if (!ParseNumber(box.end, end)) return Tell(IDS_HEX_BADEND), false;
        if (end < start) return Tell(IDS_HEX_ENDBEFORESTART), false;
        if (__builtin_sub_overflow(end, start, &count) || count == std::numeric_limits<Offset>::max())
            return Tell(IDS_HEX_BADCOUNT), false;
        ++count;
        return true;
    }
    if (!ParseNumber(box.count, count)) return Tell(IDS_HEX_BADCOUNT), false;
    return true;
}

void CHexView::CopyCommand()
{
    CHexRangeDialog box(false);
    Offset start = 0, count = 0;
    if (!AskRange(box, start, count)) return;
    if (count < 1 || start < 0 || start > ed.Last() || count > ed.Size() - start) return Tell(IDS_HEX_BADCOUNT);
    if (!PutOnClipboard(start, count)) return Tell(IDS_HEX_NOROOM);
    if (ed.sel.active) ed.EnsureLineVisible(ed.sel.activeEnd / BytesPerLine);
}

void CHexView::CutCommand(bool cut)
{
    if (ed.doc.IsPaged()) return TellOutcome(NotWhenPaged);
    CHexRangeDialog box(true);
    box.toClipboard = cut && shared.cutToClipboard;
    Offset start = 0, count = 0;
    if (!AskRange(box, start, count)) return;
    if (cut) shared.cutToClipboard = box.toClipboard;
    // The range is checked before anything is read from it.
    if (count < 1) return Tell(IDS_HEX_BADCOUNT);
    if (start < 0 || start >= ed.Size() || count > ed.Size() - start) return Tell(IDS_HEX_CUTBEYOND);
    if (box.toClipboard && !PutOnClipboard(start, count)) return Tell(IDS_HEX_NOROOM);
    TellOutcome(ed.RemoveRange(start, count));
}

void CHexView::PasteCommand()
{
    CHexPasteDialog box;
    if (box.DoModal(dialog) != IDOK) return;
    Offset count = 0;
    if (!ParseNumber(box.count, count) || count < 1) return Tell(IDS_HEX_BADCOUNT);
    std::string text;
    if (!ClipboardText(text)) return;
    std::vector<uint8_t> pattern;
    if (box.literal) pattern.assign(text.begin(), text.end());
    else pattern = DecodeValueCodes(text, ed.charset == CharsetOem ? &AnsiToOemTable() : nullptr);
    fw::WaitCursor wait;
    TellOutcome(ed.Paste(pattern, count, box.overwrite));
}

void CHexView::RunSearch(bool again)
{
    std::vector<uint8_t> pattern;
    bool exact = false;
    if (!SearchPattern(ed.charset, pattern, exact)) return Tell(IDS_HEX_NOTFOUND, MB_ICONINFORMATION);
    if (pattern.empty()) return Tell(IDS_HEX_EMPTYPATTERN);
    fw::WaitCursor wait;
    CPatternSearch search(std::move(pattern), exact || shared.matchCase);
    if (!ed.Find(search, shared.backwards, again)) Tell(IDS_HEX_NOTFOUND, MB_ICONINFORMATION);
}

void CHexView::FindCommand()
{
    CHexFindDialog box;
    box.text = shared.searchText;
    box.hexText = shared.searchHex;
    box.matchCase = shared.matchCase;
    box.backwards = shared.backwards;
    if (box.DoModal(dialog) != IDOK) return;
    shared.searched = true;
    shared.searchText = box.text;
    shared.searchHex = box.text.empty() ? box.hexText : L"";
    if (shared.searchText.empty()) {
        std::string digits;
        for (wchar_t c : box.hexText) digits += c < 128 ? static_cast<char>(c) : ' ';
        std::wstring upper;
        for (char c : HexBytesText(ParseHexBytes(digits))) upper += static_cast<wchar_t>(c);
        shared.searchHex = upper;
    }
    shared.matchCase = box.matchCase;
    shared.backwards = box.backwards;
    RunSearch(false);
}

void CHexView::FindNextCommand()
{
    if (shared.searched) RunSearch(true);
}

void CHexView::GoToCommand()
{
    CHexFieldDialog box(L"IDD_GOTODIALOG");
    box.field = shared.goToText;
    if (box.DoModal(dialog) != IDOK) return;
    shared.goToText = box.field;
    Offset target = 0;
    if (!ParseGoToTarget(box.field, ed.cursor, ed.Last(), target) || !ed.GoTo(target)) Tell(IDS_HEX_BADGOTO);
}

void CHexView::CharsetCommand()
{
    CHexFieldDialog box(L"IDD_CHARACTERSETDIALOG");
    box.field = std::to_wstring(fontSize);
    box.ansi = ed.charset == CharsetAnsi;
    if (box.DoModal(dialog) != IDOK) return;
    Offset size = 0;
    if (!ParseNumber(box.field, size) || size < -1000 || size > 1000) Tell(IDS_HEX_BADFONTSIZE);
    else fontSize = static_cast<int>(size);
    ed.charset = box.ansi ? CharsetAnsi : CharsetOem;
    BuildCellCharacters(ed.charset, cells);
    ApplyFont();
}

void CHexView::FontCommand()
{
    LOGFONTW chosen = {};
    chosen.lfHeight = fontSize;
    chosen.lfWeight = fontWeight;
    fontFace.copy(chosen.lfFaceName, LF_FACESIZE - 1);
    CHOOSEFONTW choose = {sizeof(choose)};
    choose.hwndOwner = dialog;
    choose.lpLogFont = &chosen;
    choose.Flags = CF_SCREENFONTS | CF_FIXEDPITCHONLY | CF_INITTOLOGFONTSTRUCT;
    if (!::ChooseFontW(&choose)) return;
    fontSize = chosen.lfHeight;
    fontWeight = chosen.lfWeight;
    fontFace = chosen.lfFaceName;
    ApplyFont();
}

void CHexView::ApplyFont()
{
    WriteSettings();
    CreateFontNow();
    Layout(clientWidth, clientHeight);
    // The caret takes the new cell size.
    if (hasFocus) {
        OnFocus(false);
        OnFocus(true);
    }
}

void CHexView::ColorCommand(UINT id)
{
    COLORREF& color = id == IDM_HEX_TEXTCOLOR ? textColor : id == IDM_HEX_BKCOLOR ? bkColor : separatorColor;
    CHOOSECOLORW choose = {sizeof(choose)};
    choose.hwndOwner = dialog;
    choose.rgbResult = color;
    choose.lpCustColors = shared.customColors;
    choose.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!::ChooseColorW(&choose)) return;
    color = choose.rgbResult;
    if (id != IDM_HEX_SEPCOLOR) WriteToolColor(id == IDM_HEX_TEXTCOLOR ? L"TextColor" : L"BkColor", color);
    WriteSettings();
    Layout(clientWidth, clientHeight);
}

} // namespace hex
