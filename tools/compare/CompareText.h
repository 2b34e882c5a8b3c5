// The files of a comparison as bytes, and the text each list row shows.
#pragma once
#include "tools/compare/CompareEngine.h"
#include <windows.h>
#include <string>

namespace cmp {

// A file made ready for comparing: UTF-16 (with its byte-order mark) becomes UTF-8, a UTF-8
// byte-order mark is dropped; utf8 tells how to show its lines.
struct CompareFile {
    std::string bytes;
    bool utf8 = false;
};
// 0, or the system error when the file cannot be read whole.
DWORD ReadCompareFile(const std::wstring& path, CompareFile& out);

// The options as stored ("FileComp"), with the case table the files need.
CompareOptions ReadCompareOptions(bool anyUtf8);
int ReadTabWidth();

constexpr size_t ItemTextLimit = 1000;
// What a row shows after its mark: the line without its line end, tabs expanded with blanks to
// the next multiple of perTab, other control characters as blanks, at most ItemTextLimit characters.
std::wstring ItemText(const CompareItem& item, int perTab, bool utf8);
// The mark a row starts with: "0" for equal lines, "1" for the rest and for fillers.
inline wchar_t ItemMark(const CompareItem& item) { return item.same ? L'0' : L'1'; }

} // namespace cmp
