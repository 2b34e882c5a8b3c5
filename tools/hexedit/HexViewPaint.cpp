// Painting of the hex listing: lines, separators, the mirror cursor, the selection and the edge.
#include "tools/hexedit/HexView.h"
#include <algorithm>
#include <vector>

namespace hex {

void CHexView::Paint(HDC dc, const RECT& update)
{
    RECT area = {0, 0, areaWidth, areaHeight};
    RECT inner = {2, 2, std::max(2, areaWidth - 2), std::max(2, areaHeight - 2)};
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FIXED_FONT));
    ::SetTextColor(dc, textColor);
    ::SetBkColor(dc, bkColor);

    const LineLayout layout = ed.Layout();
    const Offset lastDrawn = std::min(ed.top + ed.visibleLines, ed.LastLine());
    std::vector<INT> advance(static_cast<size_t>(layout.Width()), charWidth);
    HPEN pen = ::CreatePen(PS_SOLID, 1, separatorColor);
    HGDIOBJ oldPen = ::SelectObject(dc, pen);
    for (Offset line = ed.top; line <= lastDrawn; ++line) {
        int y = static_cast<int>(line - ed.top) * lineHeight + 2;
        if (y >= update.bottom || y + lineHeight <= update.top) continue;
        std::wstring text = ed.LineText(line, cells);
        RECT row = {inner.left, y, inner.right, y + lineHeight};
        int from = std::min(ed.firstColumn, static_cast<int>(text.size()));
        ::ExtTextOutW(dc, 2, y, ETO_OPAQUE | ETO_CLIPPED, &row, text.c_str() + from,
                      static_cast<UINT>(text.size() - from), advance.data());
        // Before bytes 0, 4, 8 and 12, after byte 15, and at the left edge of the characters.
        for (int k = 0; k <= 4; ++k) {
            int x = charWidth * (layout.HexColumn(0) + 12 * k - ed.firstColumn) - charWidth / 2 + 2;
            ::MoveToEx(dc, x, y, nullptr);
            ::LineTo(dc, x, y + lineHeight);
        }
        int x = charWidth * (layout.CharColumn(0) - ed.firstColumn);
        ::MoveToEx(dc, x, y, nullptr);
        ::LineTo(dc, x, y + lineHeight);
    }
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pen);

    RECT below = {inner.left, static_cast<int>(lastDrawn - ed.top + 1) * lineHeight + 2, inner.right, inner.bottom};
    if (below.top < below.bottom) {
        HBRUSH brush = ::CreateSolidBrush(bkColor);
        ::FillRect(dc, &below, brush);
        ::DeleteObject(brush);
    }

    auto invert = [&](int firstColumn, int columns, Offset line, int extra) {
        POINT at = CellPoint(firstColumn, line);
        RECT r = {at.x, at.y, at.x + columns * charWidth + extra, at.y + lineHeight};
        ::InvertRect(dc, &r);
    };
    const Offset size = ed.Size();
    if (ed.sel.active) {
        Offset low = ed.sel.Low(), high = ed.sel.High();
        Offset firstLine = std::max(ed.top, low / BytesPerLine);
        Offset lastLine = std::min(lastDrawn, high / BytesPerLine);
        for (Offset line = firstLine; line <= lastLine; ++line) {
            int a = static_cast<int>(std::max(low, line * BytesPerLine) % BytesPerLine);
            int b = static_cast<int>(std::min(high, line * BytesPerLine + BytesPerLine - 1) % BytesPerLine);
            invert(layout.HexColumn(a), layout.HexColumn(b) + 2 - layout.HexColumn(a), line, 0);
            invert(layout.CharColumn(a), b - a + 1, line, 0);
        }
    } else if (ed.CursorLine() >= ed.top && ed.CursorLine() <= lastDrawn && ed.cursor <= size) {
        int within = static_cast<int>(ed.cursor % BytesPerLine);
        if (ed.pane == Pane::Hex) invert(layout.CharColumn(within), 1, ed.CursorLine(), 0);
        else invert(layout.HexColumn(within), 2, ed.CursorLine(), 2);
    }
    ::RestoreDC(dc, saved);
    ::DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT);
    PlaceCaret();
}

} // namespace hex
