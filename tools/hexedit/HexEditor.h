// The hex editor's state and every change to it, without a window: cursor, selection, typing,
// cut, paste, find, go-to, scrolling and the text of the lines and the status bar.
#pragma once
#include "tools/hexedit/HexDocument.h"
#include "tools/hexedit/HexSearch.h"
#include <string>
#include <vector>

namespace hex {

constexpr int BytesPerLine = 16;
constexpr int CharsetOem = 10;
constexpr int CharsetAnsi = 11;
// The vertical scroll bar's range is at most this; positions map to lines proportionally.
constexpr int MaxScrollRange = 65535;

enum class Pane { Hex, Text };

// Message ids the editor answers with (0: done).
enum Outcome {
    Done = 0,
    Ignored = -1,
    NoRoom = 4177,
    BadRange = 8110,
    BackspaceFailed = 8160,
    NotWhenPaged = 9500,
};

struct Selection {
    bool active = false;
    Offset anchor = 0;
    Offset activeEnd = 0;
    Offset Low() const { return anchor < activeEnd ? anchor : activeEnd; }
    Offset High() const { return anchor < activeEnd ? activeEnd : anchor; }
    Offset Count() const { return High() - Low() + 1; }
};

// Columns of a line: the offset (at least 6 digits, more for files beyond 16 MiB), two blanks,
// 16 hex cells of three characters, one blank, 16 characters.
struct LineLayout {
    int offsetDigits = 6;
    int HexColumn(int i) const { return offsetDigits + 2 + 3 * i; }
    int CharColumn(int i) const { return offsetDigits + 51 + i; }
    int Width() const { return offsetDigits + 67; }
};

struct Hit {
    bool hit = false;
    Offset byte = 0;
    int nibble = 0;
    Pane pane = Pane::Hex;
};

enum class Key { PageUp, PageDown, End, Home, Left, Right, Up, Down };

class CHexEditor {
public:
    CHexEditor() { doc.Buffer().SetGrowStep(100); }

    // ---- HexEditor.cpp: typing and the commands that change the bytes
    Outcome TypeHexDigit(wchar_t digit);
    Outcome TypeByte(uint8_t value);
    Outcome Backspace();
    // Removes count bytes at start after checking that they all lie within the data.
    Outcome RemoveRange(Offset start, Offset count);
    // Writes the pattern count times from the cursor on, over the bytes there or inserted.
    Outcome Paste(const std::vector<uint8_t>& pattern, Offset count, bool overwrite);
    // Find: forwards from the cursor, backwards to it; again: one step on in the search's
    // direction. Found: the cursor moves there and its line becomes the top line; else nothing moves.
    bool Find(const CPatternSearch& search, bool backwards, bool again);
    bool GoTo(Offset target);
    // Forgets everything the last file left: data, cursor, selection, view position.
    void Reset();
    void MarkChanged() { modified = true; titleStale = true; }

    // ---- HexEditorView.cpp: cursor, selection, scrolling, hit tests and texts
    void MoveKey(Key key);
    // Selection commands 40029-40036, 40056, 40057.
    void ExtendSelection(int command);
    void SelectAll();
    void ToStart();
    void ToEnd();
    void SwitchPane();
    void ScrollLines(Offset delta);
    void ScrollColumns(int delta);
    void SetTop(Offset line);
    void SetFirstColumn(int column);
    void EnsureLineVisible(Offset line);
    void FollowCaretColumn();
    // Cursor and nibble at a hit (a click), up to the append position.
    void Place(const Hit& hit);
    Hit HitTest(int column, Offset line) const;
    int CaretColumn() const;
    int ScrollRange() const;
    int ScrollPosition() const;
    void SetTopFromScroll(int position);
    // The text of one line; cells holds the character shown for each byte value.
    std::wstring LineText(Offset line, const wchar_t* cells) const;
    // Status bar parts 0, 1 and 2.
    std::wstring StatusText(int part) const;
    std::wstring Title() const { return L" PD Hex Editor - " + filePath; }

    Offset Size() const { return doc.Size(); }
    Offset Last() const { return doc.Size() - 1; }
    Offset LineCount() const { return doc.Size() / BytesPerLine + 1; }
    Offset LastLine() const { return LineCount() - 1; }
    Offset CursorLine() const { return cursor / BytesPerLine; }
    LineLayout Layout() const;

    CHexDocument doc;
    std::wstring filePath = L"Untitled";
    bool untitled = true;
    bool modified = false;
    bool titleStale = true;
    Offset cursor = 0;
    int nibble = 0;
    Pane pane = Pane::Hex;
    bool insertMode = false;
    Selection sel;
    int charset = CharsetAnsi;

    Offset top = 0;
    int firstColumn = 0;
    int visibleLines = 1;
    int visibleColumns = 1;

private:
    Outcome Store(uint8_t value, bool highNibbleOnly, bool lowNibbleOnly);
    void EndSelectionForMove();
    void AfterCursorMove();
};

} // namespace hex
