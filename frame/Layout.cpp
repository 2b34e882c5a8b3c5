// The main window's layout table.
#include "frame/Layout.h"

MainLayout ComputeLayout(int W, int H, const LayoutOptions& o)
{
    MainLayout L = {};
    int T = !o.applButtons ? -35 : (o.secondRow ? 26 : 0);
    int C = o.cmdPrompt ? 0 : 30;
    int F = o.functionKeys ? 0 : 30;
    int u = (W - 30) / 10;
    int h = (W - 40) / 2;
    int bottom = H + C + F;
    for (int i = 1; i <= 10; ++i) {
        L.appButton[i - 1] = {(i - 1) * u + 6, 10, i * u + 5, 35};
        L.appButton[i + 9] = {(i - 1) * u + 6, 36, i * u + 5, 61};
    }
    PanelSideLayout& l = L.left;
    l.total = {6, T + 68, h - 70, T + 85};
    l.driveBox = {6, T + 45, h - 141, T + 250};
    for (int k = 0; k < 4; ++k) l.nav[k] = {h + 35 * k - 139, T + 45, h + 35 * k - 105, T + 65};
    l.back = {h - 69, T + 65, h, T + 85};
    l.pathLine = {6, T + 85, h, T + 102};
    l.panel = {6, T + 102, h, bottom - 149};
    l.selectionLine = {6, bottom - 149, h, bottom - 131};
    PanelSideLayout& r = L.right;
    r.total = {W / 2 + 4, T + 68, W - 92, T + 85};
    r.driveBox = {W / 2 + 4, T + 45, W - 163, T + 250};
    for (int k = 0; k < 4; ++k) r.nav[k] = {W + 35 * k - 161, T + 45, W + 35 * k - 127, T + 65};
    r.back = {W - 91, T + 65, W - 22, T + 85};
    r.pathLine = {W / 2 + 4, T + 85, W - 22, T + 102};
    r.panel = {W / 2 + 4, T + 102, W - 22, bottom - 149};
    r.selectionLine = {W / 2 + 4, bottom - 149, W - 22, bottom - 131};
    L.prompt = {6, H + F - 116, W / 2, H + F - 97};
    L.cmdLine = {W / 2 + 4, H + F - 119, 9 * u, H + F};
    L.cmdButton = {9 * u + 6, H + F - 119, 10 * u + 5, H + F - 96};
    L.help = {6, H - 86, u + 5, H - 61};
    for (int k = 0; k < 9; ++k) L.functionKey[k] = {(k + 1) * u + 6, H - 86, (k + 2) * u + 5, H - 61};
    return L;
}
