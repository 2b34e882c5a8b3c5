// Finding a byte pattern in the hex editor's data, and the hexadecimal field of the find dialog.
#pragma once
#include "tools/hexedit/HexDocument.h"
#include <string>
#include <string_view>
#include <vector>

namespace hex {

// Each pair of hexadecimal digits (either case) is one byte; a trailing single digit is dropped,
// other characters (blanks) are skipped. Zero bytes are bytes like any other.
std::vector<uint8_t> ParseHexBytes(std::string_view text);
// Two upper-case digits per byte, as the find dialog shows a hexadecimal search.
std::string HexBytesText(const std::vector<uint8_t>& bytes);

// A skipping search over one piece of memory. Without matchCase, A-Z equal a-z and nothing else folds.
class CPatternSearch {
public:
    CPatternSearch(std::vector<uint8_t> pattern, bool matchCase);
    size_t Length() const { return pattern.size(); }
    // The first match starting at or after from, or -1.
    Offset Forward(const uint8_t* data, Offset size, Offset from) const;
    // The last match that ends at or before end (its last byte lies before end), or -1.
    Offset Backward(const uint8_t* data, Offset size, Offset end) const;

private:
    bool Equal(const uint8_t* at) const;
    std::vector<uint8_t> pattern; // folded when case does not matter
    uint8_t fold[256];
    size_t forwardShift[256];
    size_t backwardShift[256];
};

// The whole document: one piece when in memory, block by block when paged.
// Forward: the first match at or after from. Backward: the last match ending at or before end.
// -1 when there is none or the data could not be read.
Offset FindInDocument(const CHexDocument& doc, const CPatternSearch& search, bool backwards, Offset position);

} // namespace hex
