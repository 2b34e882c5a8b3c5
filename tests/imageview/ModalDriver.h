// Drives modal windows from inside their own modal loops: a rule matches a window when it is
// activated, then its step runs on a thread timer, tick after tick, until it says it is done;
// between ticks the window's own loop handles what the step posted.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace test {

class ModalDriver {
public:
    using Match = std::function<bool(HWND)>;
    // Returns true when done; the driver then posts closeId (0: the step closes it itself).
    using Step = std::function<bool(HWND)>;

    ModalDriver();
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Returns the rule's number, for Count.
    size_t On(Match match, Step step, int closeId);
    // The windows of the rule that were shown and whose step ran.
    int Count(size_t rule) const { return rules[rule].count; }

    // A dialog of the program made from this template.
    static Match Template(const std::wstring& name);
    // A dialog-class window with this caption (message boxes, common dialogs).
    static Match Caption(const std::wstring& caption);
    // The static texts of a window, one a line.
    static std::wstring Texts(HWND wnd);

private:
    struct Rule {
        Match match;
        Step step;
        int closeId;
        int count = 0;
    };
    struct Active {
        size_t rule;
        HWND wnd;
        bool started = false;
    };
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);

    std::vector<Rule> rules;
    std::vector<Active> active;
    HHOOK hook = nullptr;
    UINT_PTR timer = 0;
};

} // namespace test
