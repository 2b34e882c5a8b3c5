// Drives the real program in-process: start-up with a prepared store, message pumping,
// panel rows, answers to modal dialogs and screenshots.
#pragma once
#include "app/CommanderApp.h"
#include "frame/MainWindow.h"
#include "framework/Resources.h"
#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace test {

// Dispatches messages until cond() holds or timeoutMs passes; returns cond().
bool PumpUntil(const std::function<bool()>& cond, int timeoutMs = 5000);
// When set, offered each message after the modeless dialogs, as the program's loop offers it to
// the main window's accelerators (tests that press real keys set it).
extern std::function<bool(MSG&)> extraPreTranslate;
// Dispatches messages for the given time.
void Pump(int ms);

// The stored names of a panel's rows in display order ("..": the parent row).
std::vector<std::wstring> RowNames(CFileList& panel);
std::vector<std::wstring> MarkedNames(CFileList& panel);
int RowOf(CFileList& panel, const std::wstring& name);

// Answers the next modal dialog made from templateName (or a message box, with
// templateName "#32770") by posting it WM_COMMAND id; records the box's text.
class DialogAnswerer {
public:
    // onShow runs when the dialog appears, before it is answered.
    DialogAnswerer(const std::wstring& templateName, int commandId, std::function<void(HWND)> onShow = {});
    ~DialogAnswerer();
    int Answered() const;
    std::wstring LastText() const;
};

// The first command line the recorder program wrote to record, split as a C runtime splits it;
// waits for it up to timeoutMs.
std::vector<std::wstring> RecordedArgs(const std::wstring& record, int timeoutMs = 10000);

// Saves what the window shows as a .bmp file.
bool Screenshot(HWND wnd, const std::wstring& path);

// Starts the program in this process with an empty store (plus whatever Prepare writes).
class AppTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Called after the store was emptied and before start-up.
    virtual void Prepare() {}
    // Starts up; returns false when InitInstance refused.
    bool Start();
    // Waits until both panels have been read after start-up.
    void WaitForPanels();

    std::unique_ptr<CCommanderApp> app;
    CMainWindow* main = nullptr;
};

} // namespace test
