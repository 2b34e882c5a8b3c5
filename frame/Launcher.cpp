// Interpreter routing, ShellExecuteEx and the wait between runs.
#include "frame/Launcher.h"
#include "fileops/ShortNames.h"
#include "frame/ProgramKind.h"
#include <shellapi.h>

std::wstring CommandInterpreter()
{
    wchar_t value[MAX_PATH * 2] = {};
    DWORD n = ::GetEnvironmentVariableW(L"COMSPEC", value, MAX_PATH * 2);
    if (n == 0 || n >= MAX_PATH * 2) return L"cmd.exe";
    return value;
}

std::wstring SearchProgram(const std::wstring& program)
{
    if (program.empty() || program.find_first_of(L"\\/:") != std::wstring::npos) return program;
    wchar_t found[MAX_PATH * 2] = {};
    DWORD n = ::SearchPathW(nullptr, program.c_str(), L".exe", MAX_PATH * 2, found, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(found) : program;
}

namespace {
std::wstring FilePart(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/:");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
}

void ResolveProgram(StartedRun& run)
{
    wchar_t found[MAX_PATH + 1] = {};
    const wchar_t* where = run.directory.empty() ? nullptr : run.directory.c_str();
    if (reinterpret_cast<INT_PTR>(::FindExecutableW(run.program.c_str(), where, found)) <= 31) return;
    std::wstring program = LongPathName(found);
    std::wstring configured = FilePart(run.program);
    if (configured.find(L'.') == std::wstring::npos) configured += L".exe";
    if (::lstrcmpiW(configured.c_str(), FilePart(program).c_str()) != 0) {
        std::wstring document = run.program;
        if (where && document.find_first_of(L"\\/:") == std::wstring::npos) document = run.directory + L"\\" + document;
        run.parameters = ParameterName(document);
    }
    // An association may name its program without a directory.
    run.program = SearchProgram(program);
}

void RouteThroughInterpreter(const std::wstring& programWord, StartedRun& run, bool closeWhenDone)
{
    if (!IsBuiltinCommand(programWord)) {
        int kind = GetProgramKind(SearchProgram(run.program));
        if (kind != 1 && kind != 4 && kind != -1) return;
    }
    run.interpreted = true;
    std::wstring program = run.program.find(L' ') != std::wstring::npos ? ParameterName(run.program) : run.program;
    run.parameters = (closeWhenDone ? L"/c " : L"/k ") + program + L" " + run.parameters;
    run.program = CommandInterpreter();
}

bool StartRun(HWND owner, int show, bool quiet, StartedRun& run)
{
    SHELLEXECUTEINFOW info = {sizeof(info)};
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | (quiet ? SEE_MASK_FLAG_NO_UI : 0);
    info.hwnd = owner;
    info.lpVerb = L"Open";
    info.lpFile = run.program.c_str();
    info.lpParameters = run.parameters.empty() ? nullptr : run.parameters.c_str();
    info.lpDirectory = run.directory.empty() ? nullptr : run.directory.c_str();
    info.nShow = show;
    run.started = ::ShellExecuteExW(&info) != FALSE;
    if (!run.started) return false;
    run.process.Reset(info.hProcess);
    if (info.hProcess) ::WaitForInputIdle(info.hProcess, INFINITE);
    return true;
}

void WaitForProcessOrInput(HANDLE process)
{
    if (!process) return;
    ::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_KEY | QS_MOUSEBUTTON);
}
