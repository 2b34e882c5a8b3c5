// The options dialogs "CONFIG", "PATHS", "CONFIRMATIONS" and "COLORS": each reads its keys when it
// opens and writes them on OK; the main window applies them afterwards.
#pragma once
#include "framework/Dialog.h"
#include "panel/FileList.h"
#include <windows.h>

// The radio button of a group whose id equals the stored value; the default when none does.
int RadioOrDefault(int stored, const int* ids, int count, int fallback);

class CConfigDialog : public fw::CDialog {
public:
    CConfigDialog() : CDialog(L"CONFIG") {}

protected:
    bool OnInit() override;
    void OnOK() override;
};

class CPathsDialog : public fw::CDialog {
public:
    CPathsDialog() : CDialog(L"PATHS") {}

protected:
    bool OnInit() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    void UpdateEnabled();
};

class CConfirmationsDialog : public fw::CDialog {
public:
    CConfirmationsDialog() : CDialog(L"CONFIRMATIONS") {}

protected:
    bool OnInit() override;
    void OnOK() override;
};

// The thirteen panel colours, held while the dialog is open.
struct ColorSet {
    PanelColors rows;
    COLORREF frame = 0;
    bool frameIsSystem = true; // "cFRect" -1: the system's active caption colour
};

// The colours the defaults button sets.
ColorSet DefaultColorSet();
// Writes the thirteen colours to "Kleuren".
void WriteColorSet(const ColorSet& colors);

class CColorsDialog : public fw::CDialog {
public:
    explicit CColorsDialog(const ColorSet& current) : CDialog(L"COLORS"), colors(current) {}
    ~CColorsDialog() override { FreeBrushes(); }
    const ColorSet& Colors() const { return colors; }

protected:
    bool OnInit() override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    COLORREF* ColorOf(UINT buttonId);
    ColorSet colors;
    HBRUSH brushes[7] = {};
    void FreeBrushes();
};
