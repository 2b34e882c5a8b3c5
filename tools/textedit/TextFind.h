// The plain parts of finding in the text window: the first find text, and where the find dialog
// moves so that it does not cover the match. No windows here.
#pragma once
#include <string>

namespace te {

// The longest find or replace text the common find dialog holds (its buffers have one more place).
constexpr size_t FindTextLimit = 259;

// The find text a new window starts with, from the file search's newest string: leading blanks
// skipped; a quoted text up to its closing quote (or the end), cut to 16 characters; otherwise the
// first word. Never longer than FindTextLimit.
std::wstring SeedFindText(const std::wstring& stored);

struct Box {
    int left, top, right, bottom;
};
struct Point {
    int x, y;
};
// The find dialog's new top-left corner when it covers the match's start (screen coordinates):
// above it when there is room, else below it; its own corner when it covers nothing.
Point FindDialogCorner(const Box& dialog, const Point& match, int screenHeight);

} // namespace te
