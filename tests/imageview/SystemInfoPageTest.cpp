// "THISCOMPUTER" opened from the main window, every field checked against the system.
#include "common/Program.h"
#include "imageview/ModalDriver.h"
#include "resource.h"
#include "support/Harness.h"
#include "tools/sysinfo/SystemInfo.h"
#include "tools/sysinfo/SystemInfoText.h"

using test::ModalDriver;

namespace {
class SystemInfoPage : public test::AppTest {};
}

TEST_F(SystemInfoPage, EveryFieldIsFilledAsTheSystemSays)
{
    ASSERT_TRUE(Start());
    WaitForPanels();
    EXPECT_TRUE(main->IsCommandAvailable(IDM_SYSINFO));
    std::map<int, std::wstring> fields;
    int helpContext = 0;
    ModalDriver driver;
    size_t page = driver.On(ModalDriver::Template(L"THISCOMPUTER"), [&](HWND w) {
        for (int id : {IDC_SYS_MANUFACTURER, IDC_SYS_MEMORY, IDC_SYS_PAGEFILE, IDC_SYS_BIOS, IDC_SYS_DISPLAY, IDC_SYS_DRIVER,
                       IDC_SYS_PRINTER, IDC_SYS_OS})
            fields[id] = fw::GetText(::GetDlgItem(w, id));
        helpContext = Program().helpContext;
        return true;
    }, IDOK);
    ::SendMessageW(main->Handle(), WM_COMMAND, IDM_SYSINFO, 0);
    ASSERT_EQ(driver.Count(page), 1);
    EXPECT_EQ(helpContext, IDM_SYSINFO);
    for (const auto& [id, text] : fields) EXPECT_FALSE(text.empty()) << id;

    EXPECT_EQ(fields[IDC_SYS_MANUFACTURER], ManufacturerOf(CpuVendor()).name);
    MEMORYSTATUSEX memory = {sizeof(memory)};
    ASSERT_TRUE(::GlobalMemoryStatusEx(&memory));
    EXPECT_EQ(fields[IDC_SYS_MEMORY], MemoryText(memory.ullTotalPhys, Program().thousandSeparator[0]));
    EXPECT_EQ(fields[IDC_SYS_PAGEFILE], MemoryText(memory.ullTotalPageFile, Program().thousandSeparator[0]));
    HDC screen = ::GetDC(nullptr);
    std::wstring display = DisplayModeText(::GetDeviceCaps(screen, HORZRES), ::GetDeviceCaps(screen, VERTRES),
                                           ::GetDeviceCaps(screen, BITSPIXEL) * ::GetDeviceCaps(screen, PLANES),
                                           fw::LoadStr(IDS_SYSINFO_COLOURS));
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(fields[IDC_SYS_DISPLAY], display);
    DISPLAY_DEVICEW device = {sizeof(device)};
    std::wstring adapter = L"?";
    for (DWORD i = 0; ::EnumDisplayDevicesW(nullptr, i, &device, 0); ++i)
        if (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) adapter = device.DeviceString;
    EXPECT_EQ(fields[IDC_SYS_DRIVER], adapter) << "SYSTEM.INI names no display driver here";
    EXPECT_EQ(fields[IDC_SYS_PRINTER], fw::LoadStr(IDS_SYSINFO_NONE)) << "the test prefix has no printer";
    OsVersion version = RealOsVersion();
    EXPECT_EQ(fields[IDC_SYS_OS], OsText(version.platformId, version.major, version.minor, version.build, version.servicePack));
    EXPECT_EQ(fields[IDC_SYS_OS].rfind(L"Windows NT ", 0), 0u);
}
