// Start-up, cursor and view request for the viewer's tests.
#include "imageview/ViewerTest.h"
#include "common/Settings.h"
#include "panel/PanelRequests.h"

namespace test {

void ViewerTest::SetUp()
{
    AppTest::SetUp();
    record = tmp / L"record.txt";
    ::SetEnvironmentVariableW(L"PD_RECORD", record.c_str());
}

void ViewerTest::StartIn(const std::wstring& dir)
{
    WriteProfileString(L"Paden", L"Links", dir);
    WriteProfileString(L"Paden", L"Rechts", dir);
    ASSERT_TRUE(AppTest::Start());
    WaitForPanels();
}

void ViewerTest::View(const std::wstring& name)
{
    int row = RowOf(P(), name);
    ASSERT_GE(row, 0) << Narrow(name);
    P().List().SetItemState(row, LVIS_FOCUSED, LVIS_FOCUSED);
    ::SendMessageW(P().Handle(), req::View, 0, 0);
}

std::string RosePicture(int width, int height)
{
    return "rose: -resize " + std::to_string(width) + "x" + std::to_string(height) + "! +repage";
}

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    wchar_t longA[MAX_PATH * 2] = {}, longB[MAX_PATH * 2] = {};
    ::GetLongPathNameW(a.c_str(), longA, MAX_PATH * 2);
    ::GetLongPathNameW(b.c_str(), longB, MAX_PATH * 2);
    return longA[0] && ::lstrcmpiW(longA, longB) == 0;
}

} // namespace test
