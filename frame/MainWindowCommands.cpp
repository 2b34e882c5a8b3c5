// Commands the main window carries out itself.
#include "frame/MainWindow.h"
#include "app/CommanderApp.h"
#include "framework/Dialog.h"
#include "panel/PanelRequests.h"
#include "resource.h"

bool CMainWindow::RunCommand(UINT id)
{
    switch (id) {
    case IDM_EXIT:
        ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
        return true;
    case IDM_REFRESH:
        ActivePanel().keepMarks = false;
        ::PostMessageW(hwnd, pm::ScreenUpdate, reinterpret_cast<WPARAM>(ActivePanel().Handle()), 0);
        return true;
    // Copy and move run in the active panel.
    case IDM_COPY:
    case IDM_RENMOVE:
        ::PostMessageW(ActivePanel().Handle(), id == IDM_COPY ? req::Copy : req::RenMove, 0, 0);
        ::SetFocus(ActivePanel().Handle());
        return true;
    case IDM_TOGGLEPANEL:
        TogglePanel();
        return true;
    case IDM_PANELFONT: {
        HelpContextScope help(IDM_PANELFONT);
        ChoosePanelFont();
        return true;
    }
    case IDM_GENFONT: {
        HelpContextScope help(IDM_GENFONT);
        ChooseGeneralFont();
        return true;
    }
    case IDM_ABOUT: {
        HelpContextScope help(IDM_ABOUT);
        fw::CDialog about(L"ABOUTDLG");
        about.DoModal(hwnd);
        return true;
    }
    }
    return false;
}

bool CMainWindow::OnCommand(UINT id, UINT code, HWND control)
{
    return RunCommand(id);
}
