// Painting of one panel row: colours by kind and state, texts cut with "..." to fit.
#include "panel/FileList.h"
#include "common/Program.h"
#include "framework/Handles.h"
#include "panel/ListingFormat.h"

namespace {
std::wstring DateColumnText(const FileEntry& entry)
{
    if (entry.kind == EntryParent) return {};
    FILETIME utc = {static_cast<DWORD>(entry.lastWrite), static_cast<DWORD>(entry.lastWrite >> 32)};
    FILETIME local;
    SYSTEMTIME st = {};
    if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st)) st = SYSTEMTIME{};
    return FormatDateParts(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, Program().dateOrder[0],
                           Program().dateSeparator[0]) +
           L"  " + FormatAttributes(entry.attributes);
}
}

std::wstring CFileList::FitText(HDC dc, std::wstring text, int width)
{
    if (width - 4 < 5) return {};
    // One measurement gives the longest beginning that fits, instead of one per dropped character.
    int fit = 0;
    SIZE size = {};
    if (!::GetTextExtentExPointW(dc, text.c_str(), static_cast<int>(text.size()), width - 8, &fit, nullptr, &size))
        return {};
    if (fit >= static_cast<int>(text.size())) return text;
    if (fit <= 1) return {};
    text.resize(static_cast<size_t>(fit - 1));
    return text + L"...";
}

std::wstring CFileList::ColumnText(const FileEntry& entry, int column) const
{
    switch (column) {
    case 0: return NameColumnText(entry, Program().fileNameStyle);
    case 1: return SizeColumnText(entry, Program().thousandSeparator[0]);
    default: return DateColumnText(entry);
    }
}

void CFileList::DrawRow(const DRAWITEMSTRUCT& item)
{
    int rowIndex = static_cast<int>(item.itemID);
    const FileEntry* entry = Entry(rowIndex);
    if (!entry || !context.colors) return;
    const PanelColors& c = *context.colors;
    bool marked = IsMarked(rowIndex);
    bool directory = entry->IsDirectoryLike();
    COLORREF fg, bg;
    if (marked) {
        fg = directory ? c.dirSelFg : c.fileSelFg;
        bg = directory ? c.dirSelBg : c.fileSelBg;
    } else if (entry->IsHiddenOrSystem()) {
        fg = directory ? c.sysDirFg : c.sysFileFg;
        bg = directory ? c.sysDirBg : c.sysFileBg;
    } else {
        fg = directory ? c.dirFg : c.fileFg;
        bg = directory ? c.dirBg : c.fileBg;
    }
    // The directory a drag would drop into.
    if (rowIndex == dropHighlight) {
        fg = c.dirBg;
        bg = c.dirFg;
    }
    HDC dc = item.hDC;
    RECT row = item.rcItem;
    fw::UniqueGdi brush(::CreateSolidBrush(bg));
    ::FillRect(dc, &row, static_cast<HBRUSH>(brush.Get()));
    fw::SelectScope useFont(dc, font);
    ::SetTextColor(dc, fg);
    ::SetBkColor(dc, bg);
    ::SetBkMode(dc, OPAQUE);
    int x = row.left;
    static const UINT align[3] = {DT_LEFT, DT_RIGHT, DT_LEFT};
    for (int column = 0; column < 3; ++column) {
        int width = list.GetColumnWidth(column);
        std::wstring text = FitText(dc, ColumnText(*entry, column), width);
        RECT cell = {x + 2, row.top, x + width - 2, row.bottom};
        if (!text.empty())
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell,
                        align[column] | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
        x += width;
    }
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &row);
}
