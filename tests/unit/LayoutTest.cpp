// The layout table of the main window for several sizes and bar options.
#include "frame/Layout.h"
#include <gtest/gtest.h>

namespace {
bool Same(const RECT& r, int l, int t, int rr, int b) { return r.left == l && r.top == t && r.right == rr && r.bottom == b; }
}

TEST(Layout, DefaultBarsAt640)
{
    MainLayout L = ComputeLayout(640, 456, LayoutOptions{});
    // u = 61, h = 300
    EXPECT_TRUE(Same(L.appButton[0], 6, 10, 66, 35));
    EXPECT_TRUE(Same(L.appButton[9], 555, 10, 615, 35));
    EXPECT_TRUE(Same(L.appButton[10], 6, 36, 66, 61));
    EXPECT_TRUE(Same(L.left.total, 6, 68, 230, 85));
    EXPECT_TRUE(Same(L.left.driveBox, 6, 45, 159, 250));
    EXPECT_TRUE(Same(L.left.nav[0], 161, 45, 195, 65));
    EXPECT_TRUE(Same(L.left.nav[3], 266, 45, 300, 65));
    EXPECT_TRUE(Same(L.left.back, 231, 65, 300, 85));
    EXPECT_TRUE(Same(L.left.pathLine, 6, 85, 300, 102));
    EXPECT_TRUE(Same(L.left.panel, 6, 102, 300, 307));
    EXPECT_TRUE(Same(L.left.selectionLine, 6, 307, 300, 325));
    EXPECT_TRUE(Same(L.right.total, 324, 68, 548, 85));
    EXPECT_TRUE(Same(L.right.driveBox, 324, 45, 477, 250));
    EXPECT_TRUE(Same(L.right.nav[0], 479, 45, 513, 65));
    EXPECT_TRUE(Same(L.right.back, 549, 65, 618, 85));
    EXPECT_TRUE(Same(L.right.panel, 324, 102, 618, 307));
    EXPECT_TRUE(Same(L.prompt, 6, 340, 320, 359));
    EXPECT_TRUE(Same(L.cmdLine, 324, 337, 549, 456));
    EXPECT_TRUE(Same(L.cmdButton, 555, 337, 615, 360));
    EXPECT_TRUE(Same(L.help, 6, 370, 66, 395));
    EXPECT_TRUE(Same(L.functionKey[0], 67, 370, 127, 395));
    EXPECT_TRUE(Same(L.functionKey[8], 555, 370, 615, 395));
}

TEST(Layout, BarsOffMoveThePanels)
{
    LayoutOptions noButtons;
    noButtons.applButtons = false;
    LayoutOptions twoRows;
    twoRows.secondRow = true;
    MainLayout base = ComputeLayout(800, 600, LayoutOptions{});
    MainLayout up = ComputeLayout(800, 600, noButtons);
    MainLayout down = ComputeLayout(800, 600, twoRows);
    EXPECT_EQ(up.left.panel.top, base.left.panel.top - 35);
    EXPECT_EQ(down.left.panel.top, base.left.panel.top + 26);
    EXPECT_EQ(down.right.pathLine.top, base.right.pathLine.top + 26);

    LayoutOptions noCmd;
    noCmd.cmdPrompt = false;
    LayoutOptions noKeys;
    noKeys.functionKeys = false;
    MainLayout c = ComputeLayout(800, 600, noCmd);
    MainLayout f = ComputeLayout(800, 600, noKeys);
    EXPECT_EQ(c.left.panel.bottom, base.left.panel.bottom + 30);
    EXPECT_EQ(f.left.panel.bottom, base.left.panel.bottom + 30);
    EXPECT_EQ(f.prompt.top, base.prompt.top + 30);
    EXPECT_EQ(c.prompt.top, base.prompt.top);
}
