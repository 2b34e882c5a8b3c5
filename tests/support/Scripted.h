// Answering the modal windows of a test in order, real keys and mouse through xdotool, and the
// clipboard: what the tests of every tool window share.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace test {

// One expected modal window: kind is a template name ("IDD_FINDDIALOG"), "box" for a message
// box, "save" for the save dialog, or the title of another common dialog ("Font", "Color").
struct Step {
    std::wstring kind;
    int command = IDOK;
    std::function<void(HWND)> onShow = {};
};

// Answers the modal windows of a test in the order given; what else appears is cancelled and noted.
// Modeless common dialogs (find and replace) are left alone. A script made while another one is
// alive (inside a modal window) answers until it ends, then the other one answers again.
class Script {
public:
    explicit Script(std::vector<Step> steps);
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;
    bool Finished() const;
    // The texts and captions of the message boxes answered, in order.
    const std::vector<std::wstring>& BoxTexts() const { return texts; }
    const std::vector<std::wstring>& BoxCaptions() const { return captions; }
    const std::vector<std::wstring>& Unexpected() const { return unexpected; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);
    std::vector<Step> steps;
    size_t next = 0;
    std::vector<std::wstring> texts, captions, unexpected;
    HHOOK hook = nullptr;
    Script* outer;
};

// A message box is expected.
Step Box(int command = IDOK);
// Sets a dialog's fields (id, text) and check boxes (id, checked) before it is answered.
std::function<void(HWND)> Fields(std::vector<std::pair<int, std::wstring>> texts,
                                 std::vector<std::pair<int, bool>> checks = {});

// The common save dialog, answered with this name; the open dialog the same way.
Step SaveDialog(const std::wstring& name);
Step OpenDialog(const std::wstring& name);

// Runs xdotool with these arguments and waits for it to end.
bool Xdotool(const std::wstring& arguments);
// The X window of a top-level window, for xdotool.
std::wstring XWindowId(HWND wnd);
// Gives a window the keyboard focus through the window manager and waits until it has it.
bool FocusForKeys(HWND wnd);

// Loads PDDLL.DLL as the resource library for tool windows opened without the program.
bool UseResourceLibrary();

bool SetClipboardText(const std::string& text);
std::string ClipboardText();

} // namespace test
