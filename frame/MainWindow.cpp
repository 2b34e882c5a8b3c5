// Main window creation in its fixed order, the window placement and the saving at close.
#include "frame/MainWindow.h"
#include "framework/Dialog.h"
#include "common/Program.h"
#include "fileops/FileSystem.h"
#include "common/Settings.h"
#include "framework/Resources.h"
#include "resource.h"
#include <shellapi.h>
#include <algorithm>
#include <cwctype>

namespace {
struct ColorKey {
    const wchar_t* key;
    COLORREF PanelColors::*field;
    COLORREF fallback;
};
const ColorKey ColorKeys[12] = {
    {L"cFileFg", &PanelColors::fileFg, 0xFFFFFF},     {L"cFileBg", &PanelColors::fileBg, 0x000000},
    {L"cFileSelFg", &PanelColors::fileSelFg, 0xFFFFFF}, {L"cFileSelBg", &PanelColors::fileSelBg, 0x0000FF},
    {L"cSysFileFg", &PanelColors::sysFileFg, 0x40FF00}, {L"cSysFileBg", &PanelColors::sysFileBg, 0x004080},
    {L"cDirFg", &PanelColors::dirFg, 0x40FF00},       {L"cDirBg", &PanelColors::dirBg, 0x000000},
    {L"cDirSelFg", &PanelColors::dirSelFg, 0xFFFFFF},   {L"cDirSelBg", &PanelColors::dirSelBg, 0x0000FF},
    {L"cSysDirFg", &PanelColors::sysDirFg, 0x40FF00},   {L"cSysDirBg", &PanelColors::sysDirBg, 0x004080},
};

struct NavButton {
    int leftId, rightId;
    UINT textId;
    const wchar_t* text;
    UINT tipId;
};
const NavButton NavButtons[5] = {
    {IDC_SELALLL, IDC_SELALLR, IDS_NAV_SELALL, nullptr, IDS_TIP_SELALL},
    {IDC_DESELALLL, IDC_DESELALLR, IDS_NAV_DESELALL, nullptr, IDS_TIP_DESELALL},
    {IDC_ROOTL, IDC_ROOTR, 0, L"CD \\", IDS_TIP_ROOT},
    {IDC_PARENTL, IDC_PARENTR, 0, L"CD ..", IDS_TIP_PARENT},
    {IDC_BACKL, IDC_BACKR, IDS_NAV_BACK, nullptr, IDS_TIP_BACK},
};

HMENU ControlId(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

HWND MakeControl(const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent, int id, DWORD exStyle = 0)
{
    return ::CreateWindowExW(exStyle, cls, text, WS_CHILD | style, 0, 0, 10, 10, parent, ControlId(id),
                             ::GetModuleHandle(nullptr), nullptr);
}

}

CMainWindow::CMainWindow() = default;

CMainWindow::~CMainWindow()
{
    if (hwnd) ::DestroyWindow(hwnd);
    if (ownGeneralFont && generalFont) ::DeleteObject(generalFont);
    if (panelFont) ::DeleteObject(panelFont);
}

bool CMainWindow::CreateFrame()
{
    Program().fileNameStyle = GetProfileInt(L"Algemeen", L"Bestandsnamen", NamesLower);
    accelerators = ::LoadAcceleratorsW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDR_MAIN));
    ReadPlacement();
    ReadColors();
    std::wstring title = GetProfileString(L"Algemeen", L"Titel", L"");
    if (title.empty()) title = ProductName;
    HMENU menu = ::LoadMenuW(fw::ResourceInstance(), MAKEINTRESOURCEW(IDR_MAIN));
    if (!Create(MainClassName, title.c_str(), WS_OVERLAPPEDWINDOW, WS_EX_CLIENTEDGE, 0, 0, 640, 460, nullptr, menu,
                nullptr))
        return false;
    ::SetWindowPlacement(hwnd, &placement);
    ::SetErrorMode(NormalErrorMode);
    return true;
}

void CMainWindow::ReadPlacement()
{
    placement = {};
    placement.length = sizeof(placement);
    placement.flags = 0;
    placement.showCmd = GetProfileInt(L"WinPositie", L"wp.showCmd", SW_SHOW);
    placement.ptMinPosition = {GetProfileInt(L"WinPositie", L"wp.ptMinPosition.x", 0),
                               GetProfileInt(L"WinPositie", L"wp.ptMinPosition.y", 0)};
    placement.ptMaxPosition = {GetProfileInt(L"WinPositie", L"wp.ptMaxPosition.x", 0),
                               GetProfileInt(L"WinPositie", L"wp.ptMaxPosition.y", 0)};
    placement.rcNormalPosition = {GetProfileInt(L"WinPositie", L"wp.left", 0),
                                  GetProfileInt(L"WinPositie", L"wp.top", 0),
                                  GetProfileInt(L"WinPositie", L"wp.right", 640),
                                  GetProfileInt(L"WinPositie", L"wp.bottom", 466)};
}

void CMainWindow::SavePlacement()
{
    WINDOWPLACEMENT wp = {sizeof(wp)};
    if (!::GetWindowPlacement(hwnd, &wp)) return;
    WriteProfileInt(L"WinPositie", L"wp.showCmd", static_cast<int>(wp.showCmd));
    WriteProfileInt(L"WinPositie", L"wp.ptMinPosition.x", wp.ptMinPosition.x);
    WriteProfileInt(L"WinPositie", L"wp.ptMinPosition.y", wp.ptMinPosition.y);
    WriteProfileInt(L"WinPositie", L"wp.ptMaxPosition.x", wp.ptMaxPosition.x);
    WriteProfileInt(L"WinPositie", L"wp.ptMaxPosition.y", wp.ptMaxPosition.y);
    WriteProfileInt(L"WinPositie", L"wp.left", wp.rcNormalPosition.left);
    WriteProfileInt(L"WinPositie", L"wp.right", wp.rcNormalPosition.right);
    WriteProfileInt(L"WinPositie", L"wp.top", wp.rcNormalPosition.top);
    WriteProfileInt(L"WinPositie", L"wp.bottom", wp.rcNormalPosition.bottom);
}

void CMainWindow::SaveColumnWidths()
{
    static const wchar_t* const leftKeys[3] = {L"ColL", L"ColL1", L"ColL2"};
    static const wchar_t* const rightKeys[3] = {L"ColR", L"ColR1", L"ColR2"};
    for (int c = 0; c < 3; ++c) {
        WriteProfileInt(L"WinPositie", leftKeys[c], left.panel.List().GetColumnWidth(c));
        WriteProfileInt(L"WinPositie", rightKeys[c], right.panel.List().GetColumnWidth(c));
    }
}

void CMainWindow::ReadColors()
{
    for (const ColorKey& k : ColorKeys)
        colors.*(k.field) = static_cast<COLORREF>(GetProfileInt(L"Kleuren", k.key, static_cast<int>(k.fallback)));
    int frame = GetProfileInt(L"Kleuren", L"cFRect", -1);
    frameColorIsSystem = frame == -1;
    frameColor = static_cast<COLORREF>(frame);
}

bool CMainWindow::OnCreate(CREATESTRUCT*)
{
    LoadCommandNames();
    InitFtp();
    functionKeyMap = ReadFunctionKeyMap();
    BuildFonts();
    RECT r;
    ::GetWindowRect(hwnd, &r);
    windowW = r.right - r.left;
    windowH = (r.bottom - r.top) - ::GetSystemMetrics(SM_CYCAPTION) / 2;

    hiddenList.Attach(MakeControl(L"LISTBOX", L"", LBS_SORT | LBS_HASSTRINGS, hwnd, 0));
    CreateBars();
    CreatePanelSide(true);
    CreatePanelSide(false);
    SetStartDirectories();

    ::SetFocus(left.panel.Handle());
    ::DragAcceptFiles(right.panel.Handle(), TRUE);
    SetPathLine(true);
    SetPathLine(false);
    CreateToolTips();

    left.panel.sortMode = GetProfileInt(L"Paden", L"LSort", 128);
    right.panel.sortMode = GetProfileInt(L"Paden", L"RSort", 128);
    for (CFileList* p : {&left.panel, &right.panel}) {
        p->lastNameSortMode = 128;
        p->SetSortArrow((p->sortMode & 0xC0) ? 0 : ((p->sortMode & 0x20) ? 1 : 2), (p->sortMode & 1) == 0);
    }
    UpdateFunctionKeyStates();
    StartWatcher(true);
    StartWatcher(false);

    trayIcons.ApplyStoredOptions(hwnd);
    if (GetProfileInt(L"Algemeen", L"DatumInTitel", 1)) ::SetTimer(hwnd, TimerClock, 1000, nullptr);

    bool wantLeft = GetProfileInt(L"WinPositie", L"LeftActive", 1) != 0;
    leftActive = !wantLeft;
    TogglePanel();
    UpdateLayout();
    return true;
}

void CMainWindow::CreateBars()
{
    for (int i = 1; i <= 20; ++i) {
        std::wstring section = L"Knop" + std::to_wstring(i);
        auto button = std::make_unique<CAppButton>();
        button->CreateButton(hwnd, IDC_APPBUTTON1 + i - 1, i, false,
                             GetProfileString(section.c_str(), L"Naam", L""), buttonFont);
        appButtons[i] = std::move(button);
    }
    bool anyNamed = false;
    for (int i = 1; i <= 20; ++i) anyNamed = anyNamed || !fw::GetText(appButtons[i]->Handle()).empty();
    if (!anyNamed) {
        WriteProfileString(L"Knop1", L"Naam", L"Notepad");
        WriteProfileString(L"Knop1", L"Programma", L"notepad.exe");
        WriteProfileString(L"Knop1", L"Parms", L"&as");
        WriteProfileString(L"Knop2", L"Naam", L"Solitaire");
        WriteProfileString(L"Knop2", L"Programma", L"sol.exe");
        WriteProfileString(L"Knop3", L"Naam", L"Prompt");
        WriteProfileString(L"Knop3", L"Programma", L"cmd.exe");
        WriteProfileString(L"Knop3", L"WerkDir", L"&ap");
        appButtons[1]->SetCaption(L"Notepad");
        appButtons[2]->SetCaption(L"Solitaire");
        appButtons[3]->SetCaption(L"Prompt");
    }

    functionKeys[0] = std::make_unique<CAppButton>();
    functionKeys[0]->CreateButton(hwnd, IDM_HELP, 1, true, L"Help", buttonFont);
    for (int k = 0; k < 9; ++k) {
        functionKeys[k + 1] = std::make_unique<CAppButton>();
        functionKeys[k + 1]->CreateButton(hwnd, IDM_FKEY_F2 + k, k + 2, true,
                                          CommandNameAt(functionKeyMap.position[k]), buttonFont);
    }

    prompt.Attach(MakeControl(L"STATIC", L"C:\\>", SS_RIGHT | SS_NOPREFIX, hwnd, IDC_PROMPT));
    cmdLine.Attach(MakeControl(L"COMBOBOX", L"", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, hwnd,
                               IDC_CMDLINE));
    cmdLine.Init(hwnd);
    cmdButton.Attach(MakeControl(L"BUTTON", fw::LoadStr(IDS_CMDBUTTON).c_str(), BS_PUSHBUTTON, hwnd, IDM_CMDBUTTON));
    for (HWND w : {prompt.Handle(), cmdLine.Handle(), cmdButton.Handle()})
        ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(w == cmdButton.Handle() ? buttonFont : generalFont),
                       FALSE);
}

void CMainWindow::CreatePanelSide(bool isLeft)
{
    PanelSide& side = Side(isLeft);
    side.totalLine.Attach(MakeControl(L"STATIC", L"totaal", SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_VISIBLE, hwnd, -1));
    side.driveBox.Attach(MakeControl(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | CBS_AUTOHSCROLL | WS_VISIBLE,
                                     hwnd, isLeft ? IDC_DRIVEL : IDC_DRIVER),
                         side.totalLine.Handle());
    side.pathLine.Attach(MakeControl(L"STATIC", L"pad", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS | WS_VISIBLE, hwnd, -1));
    side.selectionLine.Attach(MakeControl(L"STATIC", L"Geen bestanden geselecteerd",
                                          SS_LEFTNOWORDWRAP | SS_NOPREFIX | WS_VISIBLE, hwnd, -1));
    for (int k = 0; k < 5; ++k) {
        const NavButton& b = NavButtons[k];
        std::wstring text = b.text ? b.text : fw::LoadStr(b.textId);
        HWND w = MakeControl(L"BUTTON", text.c_str(), BS_PUSHBUTTON | WS_VISIBLE, hwnd, isLeft ? b.leftId : b.rightId);
        ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont), FALSE);
        if (k < 4) side.nav[k].Attach(w);
        else side.back.Attach(w);
    }
    for (HWND w : {side.driveBox.Handle(), side.totalLine.Handle(), side.pathLine.Handle(),
                   side.selectionLine.Handle()})
        ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(w == side.driveBox.Handle() ? buttonFont : generalFont),
                       FALSE);
    PanelContext context;
    context.owner = hwnd;
    context.markedNames = hiddenList.Handle();
    context.selectionLine = side.selectionLine.Handle();
    context.pathLine = side.pathLine.Handle();
    context.colors = &colors;
    context.operation = &operation;
    side.panel.CreatePanel(hwnd, isLeft ? IDC_PANELL : IDC_PANELR, isLeft, context);
    side.panel.SetFont(panelFont, rowHeight);
}

void CMainWindow::CreateToolTips()
{
    if (!toolTips.Create(hwnd)) return;
    for (auto& key : functionKeys) toolTips.AddTool(hwnd, key->Handle(), fw::LoadStr(IDS_TIP_FKEY));
    for (bool isLeft : {true, false}) {
        PanelSide& side = Side(isLeft);
        for (int k = 0; k < 4; ++k) toolTips.AddTool(hwnd, side.nav[k].Handle(), fw::LoadStr(NavButtons[k].tipId));
        toolTips.AddTool(hwnd, side.back.Handle(), fw::LoadStr(IDS_TIP_BACK));
    }
    for (int i = 1; i <= 20; ++i)
        if (!fw::GetText(appButtons[i]->Handle()).empty())
            toolTips.AddTool(hwnd, appButtons[i]->Handle(), fw::LoadStr(IDS_TIP_APPBUTTON));
}

void CMainWindow::SetStartDirectories()
{
    for (bool isLeft : {true, false}) {
        std::wstring stored = GetProfileString(L"Paden", isLeft ? L"Links" : L"Rechts",
                                               Program().defaultStartDirectory.c_str());
        std::wstring dir = stored.empty() ? CurrentDirectory() : stored;
        std::wstring drive = stored.size() >= 3 ? stored.substr(0, 3) : dir.substr(0, std::min<size_t>(3, dir.size()));
        if (!dir.empty() && !drive.empty() && std::towupper(dir[0]) != std::towupper(drive[0])) dir = drive;
        Side(isLeft).panel.SetDirectory(drive, dir);
    }
    UpdateDriveBox(true);
    UpdateDriveBox(false);
    ::SetCurrentDirectoryW(right.panel.drive.c_str());
    ScheduleRefresh(true);
    ScheduleRefresh(false);
    MakeCurrentDirectory(left.panel.path);
}

bool CMainWindow::IsPanelHandle(HWND wnd, bool isLeft)
{
    PanelSide& side = Side(isLeft);
    return wnd == side.panel.Handle() || wnd == side.driveBox.Handle();
}

bool CMainWindow::PreTranslate(MSG& msg)
{
    if (!hwnd || !accelerators) return false;
    if (msg.hwnd != hwnd && !::IsChild(hwnd, msg.hwnd)) return false;
    return ::TranslateAcceleratorW(hwnd, accelerators, &msg) != 0;
}

bool CMainWindow::OnClose()
{
    // Tool windows with unsaved work ask first; one the user keeps open keeps the program open.
    if (!fw::CDialog::CloseModelessForExit()) return true;
    trayIcons.RemoveAll(hwnd);
    ::KillTimer(hwnd, TimerClock);
    SavePlacement();
    SaveColumnWidths();
    return false; // the default handling destroys the window
}

void CMainWindow::OnDestroy()
{
    destroying = true;
    ShutdownFtp();
    StopWatchers();
    trayIcons.RemoveAll(hwnd);
    if (logoffThread) {
        ::WaitForSingleObject(logoffThread, INFINITE);
        ::CloseHandle(logoffThread);
        logoffThread = nullptr;
    }
    for (UINT_PTR id : {TimerClock, TimerRefreshLeft, TimerRefreshRight}) ::KillTimer(hwnd, id);
    if (postQuitOnDestroy) ::PostQuitMessage(0);
}
