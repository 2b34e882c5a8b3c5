// Program resolution, quoting for the reader of the parameters, interpreter routing, ShellExecuteEx
// and the wait between runs.
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

bool SameFileName(const std::wstring& a, const std::wstring& b) { return ::lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// The program the shell finds for run.program becomes the program. When the configured name was a
// document rather than that program, returns the document, which becomes the only parameter.
std::wstring ResolveProgram(StartedRun& run)
{
    wchar_t found[MAX_PATH + 1] = {};
    const wchar_t* where = run.directory.empty() ? nullptr : run.directory.c_str();
    if (reinterpret_cast<INT_PTR>(::FindExecutableW(run.program.c_str(), where, found)) <= 31) return {};
    std::wstring program = LongPathName(found);
    std::wstring configured = FilePart(run.program);
    if (configured.find(L'.') == std::wstring::npos) configured += L".exe";
    std::wstring document;
    if (!SameFileName(configured, FilePart(program))) {
        document = run.program;
        if (where && document.find_first_of(L"\\/:") == std::wstring::npos) document = run.directory + L"\\" + document;
    }
    // An association may name its program without a directory.
    run.program = SearchProgram(program);
    return document;
}

bool NeedsInterpreter(const std::wstring& programWord, const std::wstring& program)
{
    if (IsBuiltinCommand(programWord)) return true;
    int kind = GetProgramKind(SearchProgram(program));
    return kind == 1 || kind == 4 || kind == -1;
}

// A program started directly that is itself the interpreter parses its parameters as a command line too.
bool IsCommandInterpreter(const std::wstring& program)
{
    std::wstring name = FilePart(SearchProgram(program));
    return SameFileName(name, L"cmd.exe") || SameFileName(name, L"cmd") ||
           SameFileName(name, FilePart(CommandInterpreter()));
}

// The name the user knows behind a refused placeholder ("&as", "&bp" ...).
std::wstring RefusedName(const RunRequest& request, const std::wstring& placeholder)
{
    bool directory = placeholder[2] == L'p' || placeholder[2] == L'd';
    if (placeholder[1] == L'a') return directory ? request.activeDirectoryName : request.activeEntryName;
    return directory ? request.otherDirectoryName : request.otherEntryName;
}
}

std::wstring PrepareRun(const RunRequest& request, StartedRun& run)
{
    run.program = request.programWord;
    run.directory = request.directory;
    std::wstring document = ResolveProgram(run);
    run.interpreted = NeedsInterpreter(request.programWord, run.program);
    Quoting quoting = run.interpreted || IsCommandInterpreter(run.program) ? Quoting::Interpreter : Quoting::Arguments;
    if (document.empty()) {
        Expansion parameters = ExpandPlaceholders(request.parameterText, request.active, request.other, quoting);
        if (!parameters.refused.empty()) return RefusedName(request, parameters.refused);
        run.parameters = parameters.text;
    } else {
        PlaceholderValues asValue = MakePlaceholderValues(std::wstring(), ShortPathName(document));
        Expansion parameter = ExpandPlaceholders(L"&as", asValue, asValue, quoting);
        if (!parameter.refused.empty()) return document;
        run.parameters = parameter.text;
    }
    if (run.interpreted) {
        // A word that names no file is the user's own interpreter text and stays as it is.
        std::wstring path = SearchProgram(run.program);
        bool isFile = ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        std::wstring program = isFile && !IsBuiltinCommand(request.programWord) ? InterpreterProgram(run.program)
                                                                                 : run.program;
        run.parameters = InterpreterParameters(program + L" " + run.parameters, request.closeWhenDone);
        run.program = CommandInterpreter();
    }
    return {};
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
