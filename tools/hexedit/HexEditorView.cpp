// Cursor keys, selection commands, scrolling, hit tests and the texts of lines and status bar.
#include "tools/hexedit/HexEditor.h"
#include <algorithm>

namespace hex {

namespace {
std::wstring HexText(uint64_t value, int digits = 1)
{
    static const wchar_t hexDigits[] = L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), hexDigits[value & 15]);
        value >>= 4;
    } while (value);
    if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), L'0');
    return text;
}

std::wstring OffsetText(Offset value) { return std::to_wstring(value) + L"=0x" + HexText(static_cast<uint64_t>(value)); }
}

LineLayout CHexEditor::Layout() const
{
    LineLayout layout;
    layout.offsetDigits = std::max(6, static_cast<int>(HexText(static_cast<uint64_t>(Size())).size()));
    return layout;
}

void CHexEditor::EndSelectionForMove()
{
    if (!sel.active) return;
    sel.active = false;
    cursor = sel.activeEnd;
}

void CHexEditor::AfterCursorMove()
{
    EnsureLineVisible(CursorLine());
    FollowCaretColumn();
}

void CHexEditor::MoveKey(Key key)
{
    EndSelectionForMove();
    const Offset size = Size();
    const Offset page = static_cast<Offset>(visibleLines) * BytesPerLine;
    const Offset column = cursor % BytesPerLine;
    switch (key) {
    case Key::PageUp:
        if (CursorLine() < visibleLines) {
            top = 0;
            cursor = column;
        } else {
            cursor -= page;
            top -= visibleLines;
            if (top < 0) top = CursorLine();
        }
        break;
    case Key::PageDown:
        if (cursor + page > size) {
            cursor = std::min(size / BytesPerLine * BytesPerLine + column, size);
            top = CursorLine();
        } else {
            cursor += page;
            top += visibleLines;
            if (top > LastLine()) top = CursorLine();
        }
        break;
    case Key::End:
        cursor = std::min(CursorLine() * BytesPerLine + BytesPerLine - 1, size);
        nibble = 1;
        break;
    case Key::Home:
        cursor = CursorLine() * BytesPerLine;
        nibble = 0;
        break;
    case Key::Left:
        if (pane == Pane::Text) {
            if (cursor > 0) --cursor;
        } else if (nibble == 1) {
            nibble = 0;
        } else if (cursor > 0) {
            --cursor;
            nibble = 1;
        }
        break;
    case Key::Right:
        if (pane == Pane::Text) {
            if (cursor < size) ++cursor;
        } else if (nibble == 0) {
            nibble = 1;
        } else if (cursor < size) {
            ++cursor;
            nibble = 0;
        }
        break;
    case Key::Up:
        if (cursor >= BytesPerLine) cursor -= BytesPerLine;
        break;
    case Key::Down:
        if (cursor + BytesPerLine <= size) cursor += BytesPerLine;
        break;
    }
    AfterCursorMove();
}

void CHexEditor::ExtendSelection(int command)
{
    const Offset last = Last();
    if (cursor < 0 || cursor > last) return;
    const Offset page = static_cast<Offset>(visibleLines) * BytesPerLine;
    bool started = !sel.active;
    if (started) sel = Selection{true, cursor, cursor};
    Offset& end = sel.activeEnd;
    switch (command) {
    case 40029: if (!started) end = std::min(end + 1, last); break;
    case 40030: if (!started) end = std::max<Offset>(end - 1, 0); break;
    case 40031: if (!started) end = end >= BytesPerLine ? end - BytesPerLine : 0; break;
    case 40032: if (!started) end = end + BytesPerLine <= last ? end + BytesPerLine : last; break;
    case 40033: end = std::min(end / BytesPerLine * BytesPerLine + BytesPerLine - 1, last); break;
    case 40034: end = end / BytesPerLine * BytesPerLine; break;
    case 40035: sel.anchor = cursor; end = 0; break;
    case 40036: sel.anchor = cursor; end = last; break;
    case 40056: end = std::min(end + page, last); break;
    case 40057: end = std::max<Offset>(end - page, 0); break;
    default: return;
    }
    cursor = end;
    EnsureLineVisible(CursorLine());
}

void CHexEditor::SelectAll()
{
    if (Size() > 0) sel = Selection{true, 0, Last()};
}

void CHexEditor::ToStart()
{
    sel.active = false;
    cursor = 0;
    nibble = 0;
    top = 0;
    FollowCaretColumn();
}

void CHexEditor::ToEnd()
{
    sel.active = false;
    cursor = Size();
    nibble = 1;
    SetTop(CursorLine() - visibleLines + 1);
    FollowCaretColumn();
}

void CHexEditor::SwitchPane()
{
    if (sel.active) return;
    pane = pane == Pane::Hex ? Pane::Text : Pane::Hex;
    if (pane == Pane::Text) nibble = 0;
    FollowCaretColumn();
}

void CHexEditor::SetTop(Offset line) { top = std::clamp<Offset>(line, 0, LastLine()); }

void CHexEditor::SetFirstColumn(int column) { firstColumn = std::clamp(column, 0, Layout().Width() - 1); }

void CHexEditor::ScrollLines(Offset delta) { SetTop(top + delta); }

void CHexEditor::ScrollColumns(int delta) { SetFirstColumn(firstColumn + delta); }

void CHexEditor::EnsureLineVisible(Offset line)
{
    if (line < top) SetTop(line);
    else if (line >= top + visibleLines) SetTop(line - visibleLines + 1);
}

int CHexEditor::CaretColumn() const
{
    int within = static_cast<int>(cursor % BytesPerLine);
    LineLayout layout = Layout();
    return pane == Pane::Hex ? layout.HexColumn(within) + nibble : layout.CharColumn(within);
}

void CHexEditor::FollowCaretColumn()
{
    int column = CaretColumn();
    if (column < firstColumn) SetFirstColumn(column);
    else if (column >= firstColumn + visibleColumns) SetFirstColumn(column - visibleColumns + 1);
}

Hit CHexEditor::HitTest(int column, Offset line) const
{
    Hit hit;
    if (line < 0) return hit;
    LineLayout layout = Layout();
    if (column >= layout.HexColumn(0) && column <= layout.HexColumn(15) + 1) {
        int c = column - layout.HexColumn(0) + 1;
        if (c % 3 == 0) return hit;
        hit = Hit{true, line * BytesPerLine + c / 3, c % 3 - 1, Pane::Hex};
    } else if (column >= layout.CharColumn(0) && column <= layout.CharColumn(15)) {
        hit = Hit{true, line * BytesPerLine + column - layout.CharColumn(0), 0, Pane::Text};
    }
    return hit;
}

void CHexEditor::Place(const Hit& hit)
{
    if (!hit.hit) return;
    cursor = std::min(hit.byte, Size());
    nibble = hit.pane == Pane::Hex ? hit.nibble : 0;
    pane = hit.pane;
    AfterCursorMove();
}

int CHexEditor::ScrollRange() const { return static_cast<int>(std::min<Offset>(LastLine(), MaxScrollRange)); }

int CHexEditor::ScrollPosition() const
{
    Offset lines = LastLine();
    int range = ScrollRange();
    if (lines <= 0) return 0;
    if (top >= lines) return range;
    return static_cast<int>(static_cast<long double>(top) * range / lines);
}

void CHexEditor::SetTopFromScroll(int position)
{
    Offset lines = LastLine();
    Offset range = ScrollRange();
    if (range <= 0 || position <= 0) {
        SetTop(0);
        return;
    }
    if (position >= range) {
        SetTop(lines);
        return;
    }
    // lines / range * position + (lines % range) * position / range, exact without overflow.
    SetTop(lines / range * position + lines % range * position / range);
}

std::wstring CHexEditor::LineText(Offset line, const wchar_t* cells) const
{
    LineLayout layout = Layout();
    std::wstring text(static_cast<size_t>(layout.Width()), L' ');
    Offset first = line * BytesPerLine;
    std::wstring offset = HexText(static_cast<uint64_t>(first), layout.offsetDigits);
    text.replace(0, offset.size(), offset);
    const Offset size = Size();
    uint8_t bytes[BytesPerLine] = {};
    size_t present = static_cast<size_t>(std::clamp<Offset>(size - first, 0, BytesPerLine));
    doc.Read(first, bytes, present);
    static const wchar_t hexDigits[] = L"0123456789abcdef";
    for (int i = 0; i < BytesPerLine; ++i) {
        size_t h = static_cast<size_t>(layout.HexColumn(i));
        if (static_cast<size_t>(i) < present) {
            text[h] = hexDigits[bytes[i] >> 4];
            text[h + 1] = hexDigits[bytes[i] & 15];
            text[static_cast<size_t>(layout.CharColumn(i))] = cells[bytes[i]];
        } else if (first + i == size) {
            text[h] = text[h + 1] = L'_';
        }
    }
    return text;
}

std::wstring CHexEditor::StatusText(int part) const
{
    if (part == 0 && sel.active)
        return L"Selected: Offset " + OffsetText(sel.Low()) + L" to " + OffsetText(sel.High()) + L" (" +
               std::to_wstring(sel.Count()) + L" byte(s))";
    if (part == 0) return L"Offset " + OffsetText(cursor) + L"\t";
    if (part == 1)
        return std::wstring(charset == CharsetOem ? L"\tOEM" : L"\tANSI") + (insertMode ? L" / INS" : L" / OVR") +
               (doc.IsPaged() ? L" / paged" : L"");
    return L"\tSize: " + std::to_wstring(Size());
}

} // namespace hex
