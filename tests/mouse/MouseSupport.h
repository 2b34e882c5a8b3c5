// What the mouse, drag and shell tests share: a started program with both panels on directories
// of the test, registry keys of the test's own under the classes root, and menu choices.
#pragma once
#include "support/Harness.h"
#include "support/TestEnv.h"
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace mt {

// The program with its panels on two fresh directories.
class PanelPair : public test::AppTest {
protected:
    void SetUp() override;
    CFileList& L() { return main->LeftPanel(); }
    CFileList& R() { return main->RightPanel(); }
    // Shows dir in the panel and waits until it is read.
    void Show(CFileList& panel, const std::wstring& dir);
    void Mark(CFileList& panel, const std::wstring& name, bool on = true);
    void Cursor(CFileList& panel, const std::wstring& name);
    test::TempDir left, right;
};

// Keys under HKEY_CLASSES_ROOT named by the test, removed before and after it (the prefix
// outlives a run).
class ClassKeys {
public:
    explicit ClassKeys(std::vector<std::wstring> names);
    ~ClassKeys();
    void Clean();

private:
    std::vector<std::wstring> names;
};

bool SetClassValue(const std::wstring& key, const std::wstring& value, DWORD type = REG_SZ);
// The default value of a key under the classes root; "<missing>" when there is none.
std::wstring ClassValue(const std::wstring& key, DWORD* type = nullptr);
bool ClassKeyExists(const std::wstring& key);

// The shell's command id of a verb in the menu of path, as the panel's menu numbers it (ids
// from 1); 0 when the menu has no such verb.
UINT ShellMenuId(const std::wstring& path, const std::wstring& verb);

// While alive: every pop-up menu of this thread that opens is recorded and then answered by a
// real click on the item with menu id chooseId (0: the menu is closed with Escape).
class MenuChooser {
public:
    explicit MenuChooser(UINT chooseId);
    ~MenuChooser();
    int MenusSeen() const;
    // The number of items the last menu had.
    int LastItemCount() const;
};

// Real mouse input through SendInput, in screen coordinates.
void MouseTo(POINT screen);
void MouseButton(bool down);

} // namespace mt
