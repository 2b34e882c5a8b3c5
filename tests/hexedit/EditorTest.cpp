// The editor without a window: typing, removing, pasting, finding, keys, selection, lines and scroll bars.
#include "tools/hexedit/HexEditor.h"
#include <gtest/gtest.h>
#include <cstring>

using hex::CHexEditor;
using hex::Key;
using hex::Offset;
using hex::Pane;

namespace {
void Load(CHexEditor& ed, const std::string& bytes)
{
    ed.Reset();
    auto& b = ed.doc.Buffer();
    ASSERT_TRUE(b.SetCapacity(static_cast<Offset>(bytes.size())));
    b.SetLast(static_cast<Offset>(bytes.size()) - 1);
    if (!bytes.empty()) std::memcpy(b.Data(), bytes.data(), bytes.size());
    ed.visibleLines = 4;
    ed.visibleColumns = 80;
}
std::string Bytes(const CHexEditor& ed)
{
    const auto& b = ed.doc.Buffer();
    return b.Size() ? std::string(reinterpret_cast<const char*>(b.Data()), b.Size()) : std::string();
}
void TypeHex(CHexEditor& ed, const wchar_t* digits)
{
    for (; *digits; ++digits) ed.TypeHexDigit(*digits);
}
std::vector<uint8_t> V(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }
wchar_t cells[256];
struct CellsInit {
    CellsInit()
    {
        for (int i = 0; i < 256; ++i) cells[i] = i >= 32 && i < 127 ? static_cast<wchar_t>(i) : L'.';
    }
} cellsInit;
}

TEST(EditorTyping, OverwriteReplacesNibblesAndMovesOn)
{
    CHexEditor ed;
    Load(ed, "ABCD");
    TypeHex(ed, L"4f");
    EXPECT_EQ(Bytes(ed), "OBCD");
    EXPECT_EQ(ed.cursor, 1);
    EXPECT_EQ(ed.nibble, 0);
    EXPECT_TRUE(ed.modified);
    EXPECT_TRUE(ed.titleStale);
    TypeHex(ed, L"6");
    EXPECT_EQ(Bytes(ed), "ObCD");
    EXPECT_EQ(ed.nibble, 1);
    EXPECT_EQ(ed.TypeHexDigit(L'g'), hex::Ignored);
    EXPECT_EQ(ed.TypeHexDigit(L'\x0151'), hex::Ignored);
    ed.pane = Pane::Text;
    ed.nibble = 0;
    ed.TypeByte('z');
    EXPECT_EQ(Bytes(ed), "OzCD");
    EXPECT_EQ(ed.cursor, 2);
}

TEST(EditorTyping, TheAppendPositionGrowsTheDataAndAnEmptyFileToo)
{
    CHexEditor ed;
    Load(ed, "");
    EXPECT_EQ(ed.LineCount(), 1);
    TypeHex(ed, L"41");
    TypeHex(ed, L"4");
    EXPECT_EQ(Bytes(ed), "A@");
    EXPECT_EQ(ed.cursor, 1);
    EXPECT_EQ(ed.nibble, 1);
    EXPECT_FALSE(ed.insertMode);
    ed.pane = Pane::Text;
    ed.cursor = 2;
    ed.TypeByte('!');
    EXPECT_EQ(Bytes(ed), "A@!");
    EXPECT_EQ(ed.cursor, 3);
}

TEST(EditorTyping, InsertModeInsertsWholeBytesAndStaysInInsertMode)
{
    CHexEditor ed;
    Load(ed, "AB");
    ed.insertMode = true;
    ed.cursor = 1;
    TypeHex(ed, L"3132");
    EXPECT_EQ(Bytes(ed), "A12B");
    EXPECT_EQ(ed.cursor, 3);
    ed.cursor = 4;
    TypeHex(ed, L"43");
    EXPECT_EQ(Bytes(ed), "A12BC");
    EXPECT_TRUE(ed.insertMode);
    ed.pane = Pane::Text;
    ed.cursor = 0;
    ed.TypeByte('>');
    EXPECT_EQ(Bytes(ed), ">A12BC");
}

TEST(EditorTyping, NothingIsTypedWhileASelectionIsActive)
{
    CHexEditor ed;
    Load(ed, "ABCD");
    ed.ExtendSelection(40029);
    ASSERT_TRUE(ed.sel.active);
    EXPECT_EQ(ed.TypeHexDigit(L'1'), hex::Ignored);
    EXPECT_EQ(ed.TypeByte('x'), hex::Ignored);
    EXPECT_EQ(Bytes(ed), "ABCD");
    EXPECT_FALSE(ed.modified);
}

TEST(EditorEditing, BackspaceMovesInOverwriteAndRemovesInInsertMode)
{
    CHexEditor ed;
    Load(ed, "ABC");
    ed.cursor = 2;
    EXPECT_EQ(ed.Backspace(), hex::Done);
    EXPECT_EQ(ed.cursor, 1);
    EXPECT_EQ(Bytes(ed), "ABC");
    ed.insertMode = true;
    EXPECT_EQ(ed.Backspace(), hex::Done);
    EXPECT_EQ(Bytes(ed), "BC");
    EXPECT_EQ(ed.cursor, 0);
    EXPECT_EQ(ed.Backspace(), hex::Done);
    EXPECT_EQ(Bytes(ed), "BC");
}

TEST(EditorEditing, RemoveRangeChecksTheWholeRangeFirst)
{
    CHexEditor ed;
    Load(ed, "0123456789");
    ed.cursor = 9;
    EXPECT_EQ(ed.RemoveRange(-1, 2), hex::BadRange);
    EXPECT_EQ(ed.RemoveRange(8, 3), hex::BadRange);
    EXPECT_EQ(ed.RemoveRange(10, 1), hex::BadRange);
    EXPECT_EQ(ed.RemoveRange(2, 0), hex::BadRange);
    EXPECT_EQ(ed.RemoveRange(2, INT64_MAX), hex::BadRange);
    EXPECT_EQ(Bytes(ed), "0123456789");
    EXPECT_FALSE(ed.modified);
    ed.ExtendSelection(40029);
    EXPECT_EQ(ed.RemoveRange(7, 3), hex::Done);
    EXPECT_EQ(Bytes(ed), "0123456");
    EXPECT_EQ(ed.cursor, 6); // at most the last byte
    EXPECT_FALSE(ed.sel.active);
    EXPECT_EQ(ed.RemoveRange(0, 7), hex::Done);
    EXPECT_EQ(ed.cursor, 0);
    EXPECT_EQ(ed.Size(), 0);
}

TEST(EditorEditing, PasteOverwritesOrInsertsRepeatedPatternsWithoutMovingTheCursor)
{
    CHexEditor ed;
    Load(ed, "abcdefgh");
    ed.cursor = 2;
    EXPECT_EQ(ed.Paste(V("XY"), 3, true), hex::Done);
    EXPECT_EQ(Bytes(ed), "abXYXYXY");
    EXPECT_EQ(ed.cursor, 2);
    EXPECT_EQ(ed.Paste(V("XY"), 4, true), hex::NoRoom); // 8 bytes from offset 2 do not fit
    EXPECT_EQ(Bytes(ed), "abXYXYXY");
    EXPECT_EQ(ed.Paste(V("-"), 2, false), hex::Done);
    EXPECT_EQ(Bytes(ed), "ab--XYXYXY");
    ed.cursor = ed.Size();
    EXPECT_EQ(ed.Paste(V("!?"), 2, false), hex::Done);
    EXPECT_EQ(Bytes(ed), "ab--XYXYXY!?!?");
}

TEST(EditorEditing, APasteWhoseSizeOverflowsIsRefusedWithoutAllocating)
{
    CHexEditor ed;
    Load(ed, "abc");
    hex::SetAllocationFailureAbove(1 << 20);
    EXPECT_EQ(ed.Paste(V("1234567"), INT64_MAX / 3, false), hex::NoRoom);
    EXPECT_EQ(ed.Paste(V("1234567"), INT64_MAX / 3, true), hex::NoRoom);
    EXPECT_EQ(ed.Paste(V("12"), (Offset(1) << 62) + 1, false), hex::NoRoom);
    EXPECT_EQ(ed.Paste(V("x"), 2 << 20, false), hex::NoRoom); // allocation failure
    hex::SetAllocationFailureAbove(-1);
    EXPECT_EQ(Bytes(ed), "abc");
    EXPECT_FALSE(ed.modified);
}

TEST(EditorFind, FindNextStepsInItsDirectionAndAFailureLeavesTheCursor)
{
    CHexEditor ed;
    Load(ed, std::string(40, '.') + "ab" + std::string(30, '.') + "ab" + std::string(20, '.'));
    hex::CPatternSearch ab(V("AB"), false);
    ASSERT_TRUE(ed.Find(ab, false, false));
    EXPECT_EQ(ed.cursor, 40);
    EXPECT_EQ(ed.top, 2);
    ASSERT_TRUE(ed.Find(ab, false, true));
    EXPECT_EQ(ed.cursor, 72);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(ed.Find(ab, false, true));
        EXPECT_EQ(ed.cursor, 72);
    }
    ASSERT_TRUE(ed.Find(ab, true, true)); // backwards: the one before, not the same again
    EXPECT_EQ(ed.cursor, 40);
    EXPECT_FALSE(ed.Find(ab, true, true));
    EXPECT_EQ(ed.cursor, 40);
    ed.cursor = 73;
    EXPECT_TRUE(ed.Find(ab, true, false)); // the cursor inside a match: the earlier one
    EXPECT_EQ(ed.cursor, 40);
}

TEST(EditorFind, GoToMovesTheCursorAndItsLineToTheTop)
{
    CHexEditor ed;
    Load(ed, std::string(200, 'x'));
    EXPECT_TRUE(ed.GoTo(0x50));
    EXPECT_EQ(ed.cursor, 0x50);
    EXPECT_EQ(ed.top, 5);
    EXPECT_FALSE(ed.GoTo(200));
    EXPECT_FALSE(ed.GoTo(-1));
    EXPECT_EQ(ed.cursor, 0x50);
}

TEST(EditorKeys, ArrowsHomeEndAndPagesFollowTheRules)
{
    CHexEditor ed;
    Load(ed, std::string(100, 'x')); // lines 0..6, the append cell at 100 on line 6
    ed.MoveKey(Key::Right);
    EXPECT_EQ(ed.cursor, 0);
    EXPECT_EQ(ed.nibble, 1);
    ed.MoveKey(Key::Right);
    EXPECT_EQ(ed.cursor, 1);
    EXPECT_EQ(ed.nibble, 0);
    ed.MoveKey(Key::Left);
    EXPECT_EQ(ed.cursor, 0);
    EXPECT_EQ(ed.nibble, 1);
    ed.MoveKey(Key::End);
    EXPECT_EQ(ed.cursor, 15);
    ed.MoveKey(Key::Home);
    EXPECT_EQ(ed.cursor, 0);
    ed.MoveKey(Key::Up);
    EXPECT_EQ(ed.cursor, 0);
    ed.cursor = 5;
    ed.MoveKey(Key::PageDown); // 4 lines a page
    EXPECT_EQ(ed.cursor, 69);
    EXPECT_EQ(ed.top, 4);
    ed.MoveKey(Key::PageDown); // past the append position: same column of its line, at most 100
    EXPECT_EQ(ed.cursor, 100);
    EXPECT_EQ(ed.top, 6);
    ed.MoveKey(Key::PageUp);
    EXPECT_EQ(ed.cursor, 36);
    EXPECT_EQ(ed.top, 2);
    ed.MoveKey(Key::PageUp); // within the first page
    EXPECT_EQ(ed.cursor, 4);
    EXPECT_EQ(ed.top, 0);
    ed.cursor = 96;
    ed.MoveKey(Key::Down);
    EXPECT_EQ(ed.cursor, 96);
    ed.MoveKey(Key::End);
    EXPECT_EQ(ed.cursor, 100);
    ed.pane = Pane::Text;
    ed.MoveKey(Key::Right);
    EXPECT_EQ(ed.cursor, 100);
}

TEST(EditorKeys, SelectionCommandsMoveTheActiveEnd)
{
    CHexEditor ed;
    Load(ed, std::string(100, 'x'));
    ed.cursor = 20;
    ed.ExtendSelection(40029); // starts one, nothing else
    EXPECT_TRUE(ed.sel.active);
    EXPECT_EQ(ed.sel.Count(), 1);
    ed.ExtendSelection(40029);
    ed.ExtendSelection(40032);
    EXPECT_EQ(ed.sel.anchor, 20);
    EXPECT_EQ(ed.sel.activeEnd, 37);
    EXPECT_EQ(ed.cursor, 37);
    ed.ExtendSelection(40033);
    EXPECT_EQ(ed.sel.activeEnd, 47);
    ed.ExtendSelection(40036);
    EXPECT_EQ(ed.sel.anchor, 47);
    EXPECT_EQ(ed.sel.activeEnd, 99);
    ed.ExtendSelection(40056);
    EXPECT_EQ(ed.sel.activeEnd, 99);
    ed.ExtendSelection(40031);
    EXPECT_EQ(ed.sel.activeEnd, 83);
    ed.MoveKey(Key::Left); // ends the selection on its active end first
    EXPECT_FALSE(ed.sel.active);
    EXPECT_EQ(ed.cursor, 82);
    ed.cursor = 100; // the append position takes no selection
    ed.ExtendSelection(40029);
    EXPECT_FALSE(ed.sel.active);
    ed.SelectAll();
    EXPECT_EQ(ed.sel.Low(), 0);
    EXPECT_EQ(ed.sel.High(), 99);
    Load(ed, "");
    ed.SelectAll();
    EXPECT_FALSE(ed.sel.active);
}

TEST(EditorLines, ShortFilesShowTheAppendCellAndNoDivisionByZero)
{
    CHexEditor ed;
    for (size_t size : {0, 12, 16}) {
        Load(ed, std::string(size, 'A'));
        EXPECT_EQ(ed.LineCount(), static_cast<Offset>(size / 16 + 1));
        EXPECT_EQ(ed.ScrollRange(), static_cast<int>(size / 16));
        EXPECT_EQ(ed.ScrollPosition(), 0);
        ed.SetTopFromScroll(5);
        EXPECT_EQ(ed.top, static_cast<Offset>(size / 16));
    }
    Load(ed, std::string(12, 'A'));
    std::wstring line = ed.LineText(0, cells);
    EXPECT_EQ(line.size(), 73u);
    EXPECT_EQ(line, L"000000  41 41 41 41 41 41 41 41 41 41 41 41 __           AAAAAAAAAAAA    ");
    Load(ed, std::string(16, '\x01'));
    EXPECT_EQ(ed.LineText(1, cells), L"000010  __" + std::wstring(73 - 10, L' '));
    EXPECT_EQ(ed.LineText(0, cells).substr(57), std::wstring(16, L'.'));
}

TEST(EditorLines, OffsetsBeyondSixDigitsWidenTheLine)
{
    CHexEditor ed;
    std::vector<uint8_t> none;
    class Empty : public hex::IFileAccess {
        bool ReadAt(Offset, uint8_t* out, size_t n) override { std::memset(out, 0, n); return true; }
        bool WriteAt(Offset, const uint8_t*, size_t) override { return false; }
    };
    ed.doc.OpenPaged(std::make_unique<Empty>(), 5000000000LL);
    hex::LineLayout layout = ed.Layout();
    EXPECT_EQ(layout.offsetDigits, 9); // 5,000,000,000 = 0x12a05f200
    std::wstring last = ed.LineText(ed.LastLine(), cells);
    EXPECT_EQ(last.size(), static_cast<size_t>(layout.Width()));
    EXPECT_EQ(last.substr(0, 9), L"12a05f200");
    EXPECT_EQ(last.substr(layout.HexColumn(0), 2), L"__");
    hex::Hit hit = ed.HitTest(layout.HexColumn(3) + 1, 2);
    EXPECT_TRUE(hit.hit);
    EXPECT_EQ(hit.byte, 35);
    EXPECT_EQ(hit.nibble, 1);
}

TEST(EditorLines, HitTestsFindNibblesCharactersAndNotTheBlanks)
{
    CHexEditor ed;
    Load(ed, std::string(40, 'x'));
    hex::Hit h = ed.HitTest(8, 1);
    EXPECT_TRUE(h.hit);
    EXPECT_EQ(h.byte, 16);
    EXPECT_EQ(h.nibble, 0);
    h = ed.HitTest(54, 0);
    EXPECT_EQ(h.byte, 15);
    EXPECT_EQ(h.nibble, 1);
    EXPECT_FALSE(ed.HitTest(10, 0).hit); // the blank between bytes 0 and 1
    EXPECT_FALSE(ed.HitTest(55, 0).hit);
    EXPECT_FALSE(ed.HitTest(3, 0).hit);
    h = ed.HitTest(60, 2);
    EXPECT_EQ(h.pane, Pane::Text);
    EXPECT_EQ(h.byte, 35);
    ed.Place(ed.HitTest(72, 5)); // beyond the data: the append position
    EXPECT_EQ(ed.cursor, 40);
    EXPECT_EQ(ed.pane, Pane::Text);
}

TEST(EditorLines, TheScrollBarMapsManyLinesProportionallyAndReachesTheLast)
{
    CHexEditor ed;
    Load(ed, std::string(2 << 20, 'x')); // 131,073 lines
    EXPECT_EQ(ed.ScrollRange(), 65535);
    ed.SetTopFromScroll(65535);
    EXPECT_EQ(ed.top, ed.LastLine());
    EXPECT_EQ(ed.ScrollPosition(), 65535);
    ed.SetTopFromScroll(32768);
    EXPECT_NEAR(static_cast<double>(ed.top), 131072.0 * 32768 / 65535, 1.0);
    ed.SetTop(1000);
    EXPECT_EQ(ed.ScrollPosition(), static_cast<int>(1000LL * 65535 / 131072));
    ed.ToEnd();
    EXPECT_EQ(ed.cursor, 2 << 20);
    EXPECT_EQ(ed.top, ed.LastLine() - ed.visibleLines + 1);
}

TEST(EditorLines, StatusTextsAndTitle)
{
    CHexEditor ed;
    Load(ed, std::string(300, 'x'));
    ed.cursor = 255;
    EXPECT_EQ(ed.StatusText(0), L"Offset 255=0xff\t");
    EXPECT_EQ(ed.StatusText(1), L"\tANSI / OVR");
    EXPECT_EQ(ed.StatusText(2), L"\tSize: 300");
    ed.insertMode = true;
    ed.charset = hex::CharsetOem;
    EXPECT_EQ(ed.StatusText(1), L"\tOEM / INS");
    ed.sel = hex::Selection{true, 20, 16};
    EXPECT_EQ(ed.StatusText(0), L"Selected: Offset 16=0x10 to 20=0x14 (5 byte(s))");
    ed.filePath = L"C:\\x.bin";
    EXPECT_EQ(ed.Title(), L" PD Hex Editor - C:\\x.bin");
}
