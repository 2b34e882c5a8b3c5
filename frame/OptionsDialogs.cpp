// The options dialogs "CONFIG", "PATHS", "CONFIRMATIONS" and "COLORS".
#include "frame/OptionsDialogs.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "framework/Resources.h"
#include "resource.h"
#include <commdlg.h>

namespace {
struct CheckKey {
    const wchar_t* section;
    const wchar_t* key;
    int fallback;
    int control;
};

const CheckKey ConfigChecks[] = {
    {L"Algemeen", L"System", 0, IDC_CFG_SYSTEM},
    {L"Algemeen", L"Hidden", 0, IDC_CFG_HIDDEN},
    {L"Algemeen", L"SystemDir", 0, IDC_CFG_SYSTEMDIR},
    {L"Algemeen", L"HiddenDir", 0, IDC_CFG_HIDDENDIR},
};

// In the order they are written.
const CheckKey PathsChecks[] = {
    {L"Algemeen", L"ApplButtons", 1, IDC_PATHS_APPLBUTTONS}, {L"Algemeen", L"SecondRow", 0, IDC_PATHS_SECONDROW},
    {L"Algemeen", L"ShowIcon", 1, IDC_PATHS_SHOWICON},       {L"Algemeen", L"CmdPrompt", 1, IDC_PATHS_CMDPROMPT},
    {L"Algemeen", L"StopIcon", 1, IDC_PATHS_STOPICON},       {L"Algemeen", L"MenuIcon", 1, IDC_PATHS_MENUICON},
    {L"Algemeen", L"CPLIcon", 1, IDC_PATHS_CPLICON},         {L"Algemeen", L"FunctionKeys", 1, IDC_PATHS_FUNCTIONKEYS},
};

const CheckKey ConfirmationChecks[] = {
    {L"Algemeen", L"BevestigingOverwrite", 1, IDC_CONF_OVERWRITE},
    {L"Algemeen", L"BevestigingDelFiles", 1, IDC_CONF_DELFILES},
    {L"Algemeen", L"BevestigingDelDirs", 1, IDC_CONF_DELDIRS},
    {L"Algemeen", L"BevestigingStopIcon", 0, IDC_CONF_STOPICON},
};

template <size_t N>
void ReadChecks(const fw::CDialog& dialog, const CheckKey (&checks)[N])
{
    for (const CheckKey& c : checks) dialog.SetChecked(c.control, GetProfileInt(c.section, c.key, c.fallback) != 0);
}

template <size_t N>
void WriteChecks(const fw::CDialog& dialog, const CheckKey (&checks)[N])
{
    for (const CheckKey& c : checks) WriteProfileInt(c.section, c.key, dialog.IsChecked(c.control) ? 1 : 0);
}

const int NameButtons[] = {IDC_CFG_NAMES_UPPER, IDC_CFG_NAMES_LOWER, IDC_CFG_NAMES_UPPERFILES,
                           IDC_CFG_NAMES_LOWERFILES, IDC_CFG_NAMES_ASIS};
const int MenuButtons[] = {IDC_CFG_MENU_SHELL, IDC_CFG_MENU_OWN};

struct ColorSlot {
    const wchar_t* key;
    COLORREF PanelColors::*field;
    COLORREF fallback;
};
// Buttons 2770 ... 2781 in this order; each pair of rows is one sample.
const ColorSlot ColorSlots[12] = {
    {L"cFileFg", &PanelColors::fileFg, 0xFFFFFF},       {L"cFileBg", &PanelColors::fileBg, 0x000000},
    {L"cFileSelFg", &PanelColors::fileSelFg, 0xFFFFFF}, {L"cFileSelBg", &PanelColors::fileSelBg, 0x0000FF},
    {L"cDirFg", &PanelColors::dirFg, 0x40FF00},         {L"cDirBg", &PanelColors::dirBg, 0x000000},
    {L"cDirSelFg", &PanelColors::dirSelFg, 0xFFFFFF},   {L"cDirSelBg", &PanelColors::dirSelBg, 0x0000FF},
    {L"cSysFileFg", &PanelColors::sysFileFg, 0xFFFFFF}, {L"cSysFileBg", &PanelColors::sysFileBg, 0x004080},
    {L"cSysDirFg", &PanelColors::sysDirFg, 0x40FF00},   {L"cSysDirBg", &PanelColors::sysDirBg, 0x004080},
};
}

int RadioOrDefault(int stored, const int* ids, int count, int fallback)
{
    for (int i = 0; i < count; ++i)
        if (ids[i] == stored) return stored;
    return fallback;
}

bool CConfigDialog::OnInit()
{
    ReadChecks(*this, ConfigChecks);
    int names = RadioOrDefault(GetProfileInt(L"Algemeen", L"Bestandsnamen", IDC_CFG_NAMES_LOWER), NameButtons, 5,
                               IDC_CFG_NAMES_LOWER);
    for (int id : NameButtons) SetChecked(id, id == names);
    int menus = RadioOrDefault(GetProfileInt(L"Algemeen", L"ContextMenus", IDC_CFG_MENU_SHELL), MenuButtons, 2,
                               IDC_CFG_MENU_SHELL);
    for (int id : MenuButtons) SetChecked(id, id == menus);
    return true;
}

void CConfigDialog::OnOK()
{
    WriteChecks(*this, ConfigChecks);
    int names = IDC_CFG_NAMES_UPPER;
    for (int id : {IDC_CFG_NAMES_ASIS, IDC_CFG_NAMES_UPPERFILES, IDC_CFG_NAMES_LOWERFILES, IDC_CFG_NAMES_LOWER})
        if (IsChecked(id)) {
            names = id;
            break;
        }
    WriteProfileInt(L"Algemeen", L"Bestandsnamen", names);
    Program().fileNameStyle = names;
    WriteProfileInt(L"Algemeen", L"ContextMenus", IsChecked(IDC_CFG_MENU_SHELL) ? IDC_CFG_MENU_SHELL : IDC_CFG_MENU_OWN);
    End(IDOK);
}

bool CPathsDialog::OnInit()
{
    std::wstring editor = GetProfileString(L"Paden", L"Editor", L"");
    int internalEditor = GetProfileInt(L"Paden", L"InternalEditor", 2);
    // 2: never chosen; an editor that was typed in means the external one.
    if (internalEditor == 2) internalEditor = editor.empty() ? 0 : 1;
    int internalViewer = GetProfileInt(L"Paden", L"InternalViewer", 0);
    SetItemText(IDC_PATHS_EDITOR, editor);
    SetItemText(IDC_PATHS_VIEWER, GetProfileString(L"Paden", L"Viewer", L""));
    SetChecked(IDC_PATHS_EDITOR_EXT, internalEditor == 1);
    SetChecked(IDC_PATHS_EDITOR_INT, internalEditor != 1);
    SetChecked(IDC_PATHS_VIEWER_EXT, internalViewer == 1);
    SetChecked(IDC_PATHS_VIEWER_INT, internalViewer != 1);
    ReadChecks(*this, PathsChecks);
    SetItemText(IDC_PATHS_TITLE, GetProfileString(L"Algemeen", L"Titel", ProductName));
    SetChecked(IDC_PATHS_DATE, GetProfileInt(L"Algemeen", L"DatumInTitel", 1) != 0);
    SetChecked(IDC_PATHS_ESC, GetProfileInt(L"Algemeen", L"EscActiveert", 0) != 0);
    UpdateEnabled();
    return true;
}

void CPathsDialog::UpdateEnabled()
{
    ::EnableWindow(Item(IDC_PATHS_EDITOR), IsChecked(IDC_PATHS_EDITOR_EXT));
    ::EnableWindow(Item(IDC_PATHS_VIEWER), IsChecked(IDC_PATHS_VIEWER_EXT));
    bool buttons = IsChecked(IDC_PATHS_APPLBUTTONS);
    ::EnableWindow(Item(IDC_PATHS_SECONDROW), buttons);
    ::EnableWindow(Item(IDC_PATHS_SHOWICON), buttons);
}

bool CPathsDialog::OnCommand(UINT id, UINT code, HWND)
{
    if (code == BN_CLICKED && (id == IDC_PATHS_EDITOR_INT || id == IDC_PATHS_EDITOR_EXT || id == IDC_PATHS_VIEWER_INT ||
                               id == IDC_PATHS_VIEWER_EXT || id == IDC_PATHS_APPLBUTTONS))
        UpdateEnabled();
    return false;
}

void CPathsDialog::OnOK()
{
    WriteProfileString(L"Paden", L"Editor", ItemText(IDC_PATHS_EDITOR));
    WriteProfileInt(L"Paden", L"InternalEditor", IsChecked(IDC_PATHS_EDITOR_EXT) ? 1 : 0);
    WriteProfileString(L"Paden", L"Viewer", ItemText(IDC_PATHS_VIEWER));
    WriteProfileInt(L"Paden", L"InternalViewer", IsChecked(IDC_PATHS_VIEWER_EXT) ? 1 : 0);
    WriteChecks(*this, PathsChecks);
    WriteProfileString(L"Algemeen", L"Titel", ItemText(IDC_PATHS_TITLE));
    WriteProfileInt(L"Algemeen", L"DatumInTitel", IsChecked(IDC_PATHS_DATE) ? 1 : 0);
    WriteProfileInt(L"Algemeen", L"EscActiveert", IsChecked(IDC_PATHS_ESC) ? 1 : 0);
    End(IDOK);
}

bool CConfirmationsDialog::OnInit()
{
    ReadChecks(*this, ConfirmationChecks);
    return true;
}

void CConfirmationsDialog::OnOK()
{
    WriteChecks(*this, ConfirmationChecks);
    End(IDOK);
}

ColorSet DefaultColorSet()
{
    ColorSet set;
    for (const ColorSlot& slot : ColorSlots) set.rows.*(slot.field) = slot.fallback;
    set.frame = ::GetSysColor(COLOR_ACTIVECAPTION);
    set.frameIsSystem = false;
    return set;
}

void WriteColorSet(const ColorSet& colors)
{
    for (const ColorSlot& slot : ColorSlots)
        WriteProfileInt(L"Kleuren", slot.key, static_cast<int>(colors.rows.*(slot.field)));
    WriteProfileInt(L"Kleuren", L"cFRect", colors.frameIsSystem ? -1 : static_cast<int>(colors.frame));
}

COLORREF* CColorsDialog::ColorOf(UINT buttonId)
{
    if (buttonId == IDC_COLORS_FRAME) return &colors.frame;
    if (buttonId >= IDC_COLORS_FIRST && buttonId < IDC_COLORS_FIRST + 12)
        return &(colors.rows.*(ColorSlots[buttonId - IDC_COLORS_FIRST].field));
    return nullptr;
}

void CColorsDialog::FreeBrushes()
{
    for (HBRUSH& brush : brushes) {
        if (brush) ::DeleteObject(brush);
        brush = nullptr;
    }
}

bool CColorsDialog::OnInit()
{
    if (colors.frameIsSystem) colors.frame = ::GetSysColor(COLOR_ACTIVECAPTION);
    for (int i = 0; i < 6; ++i) ::SendMessageW(Item(IDC_COLORS_SAMPLE1 + i), EM_SETREADONLY, TRUE, 0);
    return true;
}

bool CColorsDialog::OnCommand(UINT id, UINT code, HWND)
{
    if (code != BN_CLICKED) return false;
    if (id == IDC_COLORS_DEFAULTS) {
        colors = DefaultColorSet();
        ::InvalidateRect(hwnd, nullptr, TRUE);
        return true;
    }
    COLORREF* target = ColorOf(id);
    if (!target) return false;
    static COLORREF custom[16] = {};
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof(choose);
    choose.hwndOwner = hwnd;
    choose.rgbResult = *target;
    choose.lpCustColors = custom;
    choose.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (::ChooseColorW(&choose)) {
        *target = choose.rgbResult;
        if (id == IDC_COLORS_FRAME) colors.frameIsSystem = false;
        ::InvalidateRect(hwnd, nullptr, TRUE);
    }
    return true;
}

INT_PTR CColorsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT) {
        int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(lp));
        int sample = id - IDC_COLORS_SAMPLE1;
        if (sample >= 0 && sample <= 6) {
            HDC dc = reinterpret_cast<HDC>(wp);
            COLORREF fg = sample < 6 ? colors.rows.*(ColorSlots[2 * sample].field) : colors.frame;
            COLORREF bg = sample < 6 ? colors.rows.*(ColorSlots[2 * sample + 1].field) : colors.frame;
            ::SetTextColor(dc, fg);
            ::SetBkColor(dc, bg);
            if (brushes[sample]) ::DeleteObject(brushes[sample]);
            brushes[sample] = ::CreateSolidBrush(bg);
            return reinterpret_cast<INT_PTR>(brushes[sample]);
        }
    }
    return CDialog::OnMessage(msg, wp, lp);
}

void CColorsDialog::OnOK()
{
    WriteColorSet(colors);
    End(IDOK);
}
