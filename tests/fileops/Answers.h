// Answers every modal dialog and message box of a test by template, recording what was shown.
#pragma once
#include <windows.h>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace test {

struct Rule {
    // Command ids for the first, second, ... appearance; the last one repeats.
    std::vector<int> commands;
    // Runs when the dialog appears, before it is answered (set texts, read controls).
    std::function<void(HWND)> onShow;
};

class Answers {
public:
    // Keys are template names ("COPY", "OVERWRITE") or "#32770" for message boxes.
    explicit Answers(std::map<std::wstring, Rule> rules);
    ~Answers();
    Answers(const Answers&) = delete;
    Answers& operator=(const Answers&) = delete;

    int Count(const std::wstring& templateName) const;
    // The static texts of every message box shown, in order.
    const std::vector<std::wstring>& Boxes() const { return boxes; }
    bool BoxContains(const std::wstring& text) const;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp);
    std::map<std::wstring, Rule> rules;
    std::map<std::wstring, int> counts;
    std::vector<std::wstring> boxes;
    HHOOK hook = nullptr;
};

// A target text for "COPY"/"RENMOVE", optionally with the "only newer" option.
Rule TypeTarget(const std::wstring& target, std::wstring* shownTarget = nullptr, bool onlyNewer = false);

} // namespace test
