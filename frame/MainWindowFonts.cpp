// The panel font, the general font and the two font commands.
#include "frame/MainWindow.h"
#include "common/Settings.h"
#include "framework/Handles.h"
#include <commdlg.h>

HFONT CMainWindow::MakeFont(int height, int weight, const std::wstring& face)
{
    LOGFONTW lf = {};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    return ::CreateFontIndirectW(&lf);
}

void CMainWindow::MeasurePanelFont()
{
    fw::WindowDC dc(hwnd);
    fw::SelectScope use(dc, panelFont);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(dc, &tm);
    averageCharWidth = tm.tmAveCharWidth;
    lineHeight = tm.tmHeight + tm.tmExternalLeading;
    rowHeight = lineHeight + 1 + (::GetDeviceCaps(dc, LOGPIXELSX) != 96 ? 1 : 0);
}

void CMainWindow::BuildFonts()
{
    int dpi = 96;
    {
        fw::WindowDC dc(hwnd);
        dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
    }
    bool standard = dpi == 96;
    panelFont = MakeFont(GetProfileInt(L"Algemeen", L"FontHeight", standard ? -10 : -12),
                         GetProfileInt(L"Algemeen", L"FontWeight", 400),
                         GetProfileString(L"Algemeen", L"FontName", standard ? L"MS Sans Serif" : L"Small Fonts"));
    MeasurePanelFont();
    buttonFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    generalFont = buttonFont;
    ownGeneralFont = false;
    if (GetProfileInt(L"Algemeen", L"GenFontHeight", -99) != -99) {
        generalFont = MakeFont(GetProfileInt(L"Algemeen", L"GenFontHeight", -12),
                               GetProfileInt(L"Algemeen", L"GenFontWeight", 400),
                               GetProfileString(L"Algemeen", L"GenFontName", L"MS Sans Serif"));
        ownGeneralFont = true;
    }
}

namespace {
// Runs the standard font dialog from font; true with the chosen LOGFONT on OK.
bool PickFont(HWND owner, HFONT font, LOGFONTW& chosen)
{
    ::GetObjectW(font, sizeof(chosen), &chosen);
    CHOOSEFONTW cf = {sizeof(cf)};
    cf.hwndOwner = owner;
    cf.lpLogFont = &chosen;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
    return ::ChooseFontW(&cf) != FALSE;
}
}

void CMainWindow::ChoosePanelFont()
{
    LOGFONTW lf;
    if (!PickFont(hwnd, panelFont, lf)) return;
    HFONT font = ::CreateFontIndirectW(&lf);
    if (!font) return;
    ::DeleteObject(panelFont);
    panelFont = font;
    MeasurePanelFont();
    left.panel.SetFont(panelFont, rowHeight);
    right.panel.SetFont(panelFont, rowHeight);
    WriteProfileInt(L"Algemeen", L"FontHeight", lf.lfHeight);
    WriteProfileInt(L"Algemeen", L"FontWeight", lf.lfWeight);
    WriteProfileString(L"Algemeen", L"FontName", lf.lfFaceName);
    UpdateLayout();
    ::InvalidateRect(hwnd, nullptr, TRUE);
}

void CMainWindow::ApplyGeneralFont()
{
    for (bool isLeft : {true, false}) {
        PanelSide& side = Side(isLeft);
        side.pathLine.SetFont(generalFont);
        side.totalLine.SetFont(generalFont);
        side.selectionLine.SetFont(generalFont);
    }
    prompt.SetFont(generalFont);
    cmdLine.SetFont(generalFont);
}

void CMainWindow::ChooseGeneralFont()
{
    LOGFONTW lf;
    if (!PickFont(hwnd, generalFont, lf)) return;
    HFONT font = ::CreateFontIndirectW(&lf);
    if (!font) return;
    HFONT old = ownGeneralFont ? generalFont : nullptr;
    generalFont = font;
    ownGeneralFont = true;
    ApplyGeneralFont();
    if (old) ::DeleteObject(old);
    WriteProfileInt(L"Algemeen", L"GenFontHeight", lf.lfHeight);
    WriteProfileInt(L"Algemeen", L"GenFontWeight", lf.lfWeight);
    WriteProfileString(L"Algemeen", L"GenFontName", lf.lfFaceName);
    ::InvalidateRect(hwnd, nullptr, TRUE);
}
