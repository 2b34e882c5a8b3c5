// The shell's verbs and the associated-program fallback shared by the panels and the tools.
#include "fileops/AssociatedProgram.h"
#include "common/Program.h"
#include "framework/Handles.h"
#include "resource.h"
#include <shellapi.h>
#include <vector>

bool ShellOpenFile(HWND owner, const wchar_t* verb, const std::wstring& file, const std::wstring& parameters, bool quiet)
{
    SHELLEXECUTEINFOW info = {sizeof(info)};
    info.fMask = SEE_MASK_NOASYNC | (quiet ? SEE_MASK_FLAG_NO_UI : 0);
    info.hwnd = owner;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

bool StartAssociatedProgram(HWND owner, const std::wstring& file)
{
    wchar_t found[MAX_PATH + 1] = {};
    INT_PTR result = reinterpret_cast<INT_PTR>(::FindExecutableW(file.c_str(), nullptr, found));
    if (result <= 31) {
        ShowWarning(result >= 2 ? IDS_NOPROGRAM : IDS_OUTOFMEMORY);
        return false;
    }
    // A program text with switches behind its name is cut right after the first "exe".
    std::wstring program = found;
    if (program.size() < 4 || ::lstrcmpiW(program.c_str() + program.size() - 4, L".exe") != 0) {
        program += L' ';
        ::CharLowerBuffW(program.data(), static_cast<DWORD>(program.size()));
        size_t exe = program.find(L"exe");
        if (exe != std::wstring::npos) program = program.substr(0, exe + 3);
    }
    size_t slash = file.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? file : file.substr(slash + 1);
    bool isFileItself = program.size() >= name.size() &&
                        ::lstrcmpiW(program.c_str() + program.size() - name.size(), name.c_str()) == 0;
    if (!isFileItself) {
        if (::lstrcmpiW(program.c_str(), L"explorer ") == 0) {
            if (ShellOpenFile(owner, L"OPEN", file, L"", true)) return true;
            ShowWarning(IDS_CANTSTART);
            return false;
        }
        // The file is one parameter, whatever blanks its name holds.
        program += file.find_first_of(L" \t") == std::wstring::npos ? L" " + file : L" \"" + file + L"\"";
    }
    STARTUPINFOW si = {sizeof(si)};
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi = {};
    std::vector<wchar_t> commandLine(program.begin(), program.end());
    commandLine.push_back(0);
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        ShowWarning(IDS_CANTSTART);
        return false;
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

bool OpenWithAssociation(HWND owner, const std::wstring& file)
{
    fw::ErrorModeScope errors(0);
    return ShellOpenFile(owner, L"open", file, L"", true) || StartAssociatedProgram(owner, file);
}
