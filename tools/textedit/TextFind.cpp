// The first find text and the find dialog's place.
#include "tools/textedit/TextFind.h"
#include <algorithm>

namespace te {

std::wstring SeedFindText(const std::wstring& stored)
{
    size_t start = stored.find_first_not_of(L' ');
    if (start == std::wstring::npos) return {};
    std::wstring seed;
    if (stored[start] == L'"') {
        size_t close = stored.find(L'"', start + 1);
        seed = stored.substr(start + 1, close == std::wstring::npos ? std::wstring::npos : close - start - 1);
        seed = seed.substr(0, 16);
    } else {
        seed = stored.substr(start, stored.find(L' ', start) - start);
    }
    return seed.substr(0, FindTextLimit);
}

Point FindDialogCorner(const Box& dialog, const Point& match, int screenHeight)
{
    Point corner = {dialog.left, dialog.top};
    bool covered = match.x >= dialog.left && match.x < dialog.right && match.y >= dialog.top && match.y < dialog.bottom;
    if (!covered) return corner;
    int height = dialog.bottom - dialog.top;
    if (height < match.y) corner.y = match.y - 20 - height;
    else if (match.y + height < screenHeight) corner.y = match.y + 40;
    return corner;
}

} // namespace te
