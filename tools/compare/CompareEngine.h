// The file comparison: lines linked where they are unique in both files, links grown to their
// equal neighbours, the same again between linked blocks, and the result laid out as blocks that
// are the same, on one side only, or moved. No windows here.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace cmp {

struct CompareOptions {
    bool ignoreBlanks = false; // blanks and tabs do not count; blank lines are fillers
    bool ignoreCase = false;
    // Upper-case of every byte when ignoring case; null: ASCII letters only.
    const uint8_t* upper = nullptr;
};

struct CCompareLine {
    const char* text = nullptr; // the line as read, line feed included
    uint32_t length = 0;        // bytes of text
    uint32_t content = 0;       // bytes before the line end (trailing carriage returns and the line feed)
    int number = 0;             // 1-based
    CCompareLine* link = nullptr;
    uint32_t hash = 0;
    bool blank = false;         // only blanks and tabs before the line end (found when blanks are ignored)
};

enum SectionState {
    StateSame = 1,
    StateLeftOnly = 7,
    StateRightOnly = 8,
    StateMovedLeft = 9,
    StateMovedRight = 10,
    StatePlaced = 99,
};

struct CCompareSection {
    CCompareLine* first = nullptr;
    CCompareLine* last = nullptr;
    CCompareSection* link = nullptr;       // the other file's section holding the partners of these lines
    CCompareSection* correspond = nullptr; // the other file's unmatched section in the same gap
    int state = 0;
    int leftLine = 0, rightLine = 0;       // first line numbers (result sections only; 0: none on that side)
    int Count() const { return static_cast<int>(last - first) + 1; }
};

// One row of a list: a line, or a filler (null) that keeps the two lists facing each other.
struct CompareItem {
    const CCompareLine* line = nullptr;
    bool same = false; // drawn black with the mark "0"; otherwise red with the mark "1"
};

// Line hash: characters counted from 1 (blanks and tabs skipped when ignoring them), each as a
// signed byte, weighted by k * 6293815^k in 32-bit arithmetic.
uint32_t LineHash(const char* text, uint32_t length, const CompareOptions& options);
// Equal under the options; the line ends do not count.
bool LinesEqual(const CCompareLine& a, const CCompareLine& b, const CompareOptions& options);

class CFileComparison {
public:
    explicit CFileComparison(const CompareOptions& options) : options(options) {}
    CFileComparison(const CFileComparison&) = delete;
    CFileComparison& operator=(const CFileComparison&) = delete;

    // The bytes of one file (side 0 left, 1 right); a file that could not be read is given empty.
    void SetText(int side, std::string bytes);
    // Links, sections, the result and both item lists.
    void Run();

    const std::vector<CCompareLine>& Lines(int side) const { return lines[side]; }
    const std::vector<CCompareSection>& Result() const { return result; }
    const std::vector<CompareItem>& Items(int side) const { return items[side]; }

private:
    using Range = std::pair<CCompareLine*, CCompareLine*>; // first and last line, or two nulls
    void SplitLines(int side);
    bool CanLink(const CCompareLine* a, const CCompareLine* b) const;
    bool MatchAndExpand(Range a, Range b, CCompareLine* x, CCompareLine* y);
    bool MatchUnique(Range a, Range b);
    void BuildSections(int side);
    void LinkSections();
    bool PairUnmatched();
    void LayOut();
    void Place(CCompareSection& from, CCompareSection* other, int state);
    void FillItems();
    Range Whole(int side);
    bool Follows(const CCompareLine* previous, const CCompareLine* next) const;

    CompareOptions options;
    std::string text[2];
    std::vector<CCompareLine> lines[2];
    std::vector<CCompareSection> sections[2];
    std::vector<int> sectionOfLine[2];
    std::vector<CCompareSection> result;
    std::vector<CompareItem> items[2];
    // The unique-line count: a hash, and packed beside it the second section's line that has it
    // (28 bits) and how often it occurs in each section (2 bits each, 2: more than once). Reused by
    // every matching; a slot with both counts 0 is free.
    struct CountSlot {
        uint32_t hash;
        uint32_t packed;
    };
    std::vector<CountSlot> slots;
    std::vector<char> opens;
};

// Where navigation ends: the new top item, and whether it ran past the end (or the start).
struct Jump {
    int top = 0;
    bool outside = false;
};
// The next block of differences (equal false) or of equal lines (true) below the top item.
Jump NextBlock(const std::vector<CompareItem>& items, int top, bool equal);
// The start of the block of that kind above the top item.
Jump PreviousBlock(const std::vector<CompareItem>& items, int top, bool equal);
// The first difference at or below item 0: where the window opens.
int FirstDifference(const std::vector<CompareItem>& items);

} // namespace cmp
