// Fills the page once, when it opens.
#include "tools/sysinfo/SystemInfoDialog.h"
#include "framework/Handles.h"
#include "resource.h"
#include "tools/sysinfo/SystemInfo.h"

bool CSystemInfoDialog::OnInit()
{
    SystemFacts facts;
    {
        fw::WaitCursor wait;
        facts = GatherSystemFacts();
    }
    SetItemText(IDC_SYS_MANUFACTURER, facts.manufacturer);
    SetItemText(IDC_SYS_MEMORY, facts.memory);
    SetItemText(IDC_SYS_PAGEFILE, facts.pageFile);
    SetItemText(IDC_SYS_BIOS, facts.bios);
    SetItemText(IDC_SYS_DISPLAY, facts.display);
    SetItemText(IDC_SYS_DRIVER, facts.displayDriver);
    SetItemText(IDC_SYS_PRINTER, facts.printer);
    SetItemText(IDC_SYS_OS, facts.os);
    return true;
}
