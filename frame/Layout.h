// Every rectangle of the main window, computed from its size and the bar options.
#pragma once
#include <windows.h>

struct LayoutOptions {
    bool applButtons = true;
    bool secondRow = false;
    bool cmdPrompt = true;
    bool functionKeys = true;
};

struct PanelSideLayout {
    RECT total, driveBox, nav[4], back, pathLine, panel, selectionLine;
};

struct MainLayout {
    RECT appButton[20];  // row 1: 0-9, row 2: 10-19
    PanelSideLayout left, right;
    RECT prompt, cmdLine, cmdButton, help, functionKey[9];
};

// W is the frame's outer width, H its outer height less half the caption height.
MainLayout ComputeLayout(int W, int H, const LayoutOptions& options);
