// Typing, backspace, cut, paste, find and go-to on the hex editor's bytes.
#include "tools/hexedit/HexEditor.h"
#include <algorithm>
#include <limits>

namespace hex {

namespace {
int HexDigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// The pattern repeated into a block of whole copies, written block by block.
bool WriteRepeated(CHexDocument& doc, Offset at, const std::vector<uint8_t>& pattern, Offset total)
{
    const size_t length = pattern.size();
    size_t copies = std::max<size_t>(1, (1 << 20) / length);
    std::vector<uint8_t> block;
    block.reserve(copies * length);
    for (size_t i = 0; i < copies && static_cast<Offset>(block.size()) < total; ++i)
        block.insert(block.end(), pattern.begin(), pattern.end());
    while (total > 0) {
        size_t n = static_cast<size_t>(std::min<Offset>(total, static_cast<Offset>(block.size())));
        if (!doc.Write(at, block.data(), n)) return false;
        at += static_cast<Offset>(n);
        total -= static_cast<Offset>(n);
    }
    return true;
}
}

void CHexEditor::Reset()
{
    doc.Clear();
    cursor = 0;
    nibble = 0;
    sel = Selection();
    top = 0;
    firstColumn = 0;
    modified = false;
    titleStale = true;
}

Outcome CHexEditor::Store(uint8_t value, bool highNibbleOnly, bool lowNibbleOnly)
{
    uint8_t old = doc.At(cursor);
    if (highNibbleOnly) value = static_cast<uint8_t>((value << 4) | (old & 0x0F));
    if (lowNibbleOnly) value = static_cast<uint8_t>((old & 0xF0) | value);
    if (!doc.Write(cursor, value)) return NoRoom;
    MarkChanged();
    return Done;
}

Outcome CHexEditor::TypeHexDigit(wchar_t digit)
{
    int value = HexDigitValue(digit);
    if (sel.active || value < 0) return Ignored;
    bool atEnd = cursor >= Size();
    // A new byte for the append position, and in insert mode for every first digit.
    if (atEnd || (insertMode && nibble == 0)) {
        if (doc.IsPaged()) return NotWhenPaged;
        if (!doc.Buffer().InsertAt(cursor, 0, 1)) return NoRoom;
        nibble = 0;
    }
    Outcome result = Store(static_cast<uint8_t>(value), nibble == 0, nibble == 1);
    if (result != Done) return result;
    if (nibble == 0) {
        nibble = 1;
    } else if (cursor < Size()) {
        ++cursor;
        nibble = 0;
    }
    FollowCaretColumn();
    EnsureLineVisible(CursorLine());
    return Done;
}

Outcome CHexEditor::TypeByte(uint8_t value)
{
    if (sel.active) return Ignored;
    if (cursor >= Size() || insertMode) {
        if (doc.IsPaged()) return NotWhenPaged;
        if (!doc.Buffer().InsertAt(cursor, value, 1)) return NoRoom;
        MarkChanged();
    } else {
        Outcome result = Store(value, false, false);
        if (result != Done) return result;
    }
    ++cursor;
    nibble = 0;
    FollowCaretColumn();
    EnsureLineVisible(CursorLine());
    return Done;
}

Outcome CHexEditor::Backspace()
{
    if (cursor <= 0) return Done;
    if (insertMode) {
        if (doc.IsPaged()) return NotWhenPaged;
        if (!doc.Buffer().RemoveAt(cursor - 1, 1)) return BackspaceFailed;
        MarkChanged();
    }
    --cursor;
    nibble = 0;
    EnsureLineVisible(CursorLine());
    FollowCaretColumn();
    return Done;
}

Outcome CHexEditor::RemoveRange(Offset start, Offset count)
{
    if (doc.IsPaged()) return NotWhenPaged;
    if (start < 0 || count < 1 || start >= Size() || count > Size() - start) return BadRange;
    if (!doc.Buffer().RemoveAt(start, count)) return BadRange;
    cursor = std::max<Offset>(0, std::min(start, Last()));
    nibble = 0;
    sel.active = false;
    MarkChanged();
    SetTop(top);
    return Done;
}

Outcome CHexEditor::Paste(const std::vector<uint8_t>& pattern, Offset count, bool overwrite)
{
    if (pattern.empty() || count < 1) return Ignored;
    Offset length = static_cast<Offset>(pattern.size());
    if (count > std::numeric_limits<Offset>::max() / length) return NoRoom;
    Offset total = length * count;
    if (total > InMemoryLimit()) return NoRoom;
    if (overwrite) {
        if (Size() - cursor < total) return NoRoom;
    } else {
        if (doc.IsPaged()) return NotWhenPaged;
        if (total > InMemoryLimit() - Size()) return NoRoom;
        CByteBuffer& buffer = doc.Buffer();
        if (!buffer.SetCapacity(Size() + total)) return NoRoom;
        if (!buffer.InsertAt(cursor, 0, total)) return NoRoom;
    }
    if (!WriteRepeated(doc, cursor, pattern, total)) return NoRoom;
    MarkChanged();
    return Done;
}

bool CHexEditor::Find(const CPatternSearch& search, bool backwards, bool again)
{
    Offset length = static_cast<Offset>(search.Length());
    Offset position = cursor;
    if (again) position = backwards ? cursor + length - 1 : cursor + 1;
    Offset found = FindInDocument(doc, search, backwards, position);
    return found >= 0 && GoTo(found);
}

bool CHexEditor::GoTo(Offset target)
{
    if (target < 0 || target > Last()) return false;
    cursor = target;
    nibble = 0;
    sel.active = false;
    SetTop(CursorLine());
    FollowCaretColumn();
    return true;
}

} // namespace hex
