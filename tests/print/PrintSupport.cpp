// Test printers, PostScript read back through ghostscript, answers to a sequence of dialogs.
#include "print/PrintSupport.h"
#include "support/Harness.h"
#include "support/TestEnv.h"
#include "framework/Resources.h"
#include <winspool.h>
#include <fstream>

namespace test {

namespace {
const wchar_t* const DriverName = L"PD Test PostScript";
const char* const Ppd =
    "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n*PCFileName: \"PDTEST.PPD\"\n*Manufacturer: \"PD\"\n*Product: \"(PD Test)\"\n"
    "*PSVersion: \"(3010) 0\"\n*ModelName: \"PD Test\"\n*NickName: \"PD Test\"\n*ColorDevice: False\n"
    "*DefaultPageSize: A4\n*PageSize A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*DefaultPageRegion: A4\n"
    "*PageRegion A4/A4: \"<</PageSize[595 842]>>setpagedevice\"\n*DefaultImageableArea: A4\n"
    "*ImageableArea A4/A4: \"18 18 577 824\"\n*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n"
    "*DefaultResolution: 300dpi\n";
std::vector<std::wstring> installed;

bool InstallDriver()
{
    wchar_t directory[MAX_PATH] = {};
    DWORD needed = 0;
    if (!::GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory), sizeof(directory),
                                      &needed))
        return false;
    std::wstring ppd = std::wstring(directory) + L"\\pdtest.ppd";
    if (!MakeFile(ppd, Ppd)) return false;
    DRIVER_INFO_3W info = {};
    info.cVersion = 3;
    info.pName = const_cast<wchar_t*>(DriverName);
    info.pDriverPath = const_cast<wchar_t*>(L"wineps.drv");
    info.pDataFile = ppd.data();
    info.pConfigFile = const_cast<wchar_t*>(L"wineps.drv");
    return ::AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES) ||
           ::GetLastError() == ERROR_PRINTER_DRIVER_ALREADY_INSTALLED;
}
}

bool TestPrinters::Install(const std::wstring& name, const std::wstring& port, const std::wstring& output)
{
    if (!InstallDriver()) return false;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\Printing\\Spooler", 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    std::wstring target = Widen(UnixPath(output));
    ::RegSetValueExW(key, port.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(target.c_str()),
                     static_cast<DWORD>((target.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    PRINTER_INFO_2W info = {};
    info.pPrinterName = const_cast<wchar_t*>(name.c_str());
    info.pPortName = const_cast<wchar_t*>(port.c_str());
    info.pDriverName = const_cast<wchar_t*>(DriverName);
    info.pPrintProcessor = const_cast<wchar_t*>(L"WinPrint");
    info.pDatatype = const_cast<wchar_t*>(L"RAW");
    HANDLE printer = ::AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (printer) ::ClosePrinter(printer);
    else if (::GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) return false;
    installed.push_back(name);
    return true;
}

bool TestPrinters::MakeDefault(const std::wstring& name) { return ::SetDefaultPrinterW(name.c_str()) != FALSE; }

void TestPrinters::RemoveAll()
{
    for (const std::wstring& name : installed) {
        HANDLE printer = nullptr;
        PRINTER_DEFAULTSW access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (::OpenPrinterW(const_cast<wchar_t*>(name.c_str()), &printer, &access)) {
            ::DeletePrinter(printer);
            ::ClosePrinter(printer);
        }
    }
    installed.clear();
    ::WriteProfileStringW(L"windows", L"device", nullptr);
}

bool WaitForPostScript(const std::wstring& file, int timeoutMs)
{
    return PumpUntil([&] {
        std::string text = ReadAll(file);
        return text != "<missing>" && text.find("%%EOF") != std::string::npos;
    }, timeoutMs);
}

std::wstring PostScriptText(const std::wstring& file)
{
    std::wstring done = file + L".txt";
    std::wstring partial = file + L".part";
    ::DeleteFileW(done.c_str());
    // ghostscript is a Unix program: started through Wine's start, which does not wait for it,
    // so the text appears under its final name only when it is complete.
    std::string script = "gs -q -dNOPAUSE -dBATCH -sDEVICE=txtwrite -sOutputFile='" + UnixPath(partial) + "' '" +
                         UnixPath(file) + "' && mv '" + UnixPath(partial) + "' '" + UnixPath(done) + "'";
    std::wstring command = L"start.exe /unix /bin/sh -c \"" + Widen(script) + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                          &pi))
        return L"<gs failed>";
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    if (!PumpUntil([&] { return ::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000))
        return L"<gs failed>";
    std::string bytes = ReadAll(done);
    int n = ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

namespace {
struct SequenceState {
    std::vector<AnswerSequence::Step> steps;
    size_t next = 0;
    std::vector<std::wstring> texts;
    HHOOK hook = nullptr;
};
SequenceState* sequence = nullptr;

BOOL CALLBACK CollectStatic(HWND child, LPARAM lp)
{
    wchar_t cls[32] = {};
    ::GetClassNameW(child, cls, 32);
    if (!lstrcmpiW(cls, L"Static")) {
        std::wstring text = fw::GetText(child);
        auto* out = reinterpret_cast<std::wstring*>(lp);
        if (!text.empty()) *out += (out->empty() ? L"" : L"\n") + text;
    }
    return TRUE;
}

LRESULT CALLBACK SequenceHook(int code, WPARAM wp, LPARAM lp)
{
    if (code == HCBT_ACTIVATE && sequence && sequence->next < sequence->steps.size()) {
        HWND wnd = reinterpret_cast<HWND>(wp);
        wchar_t cls[32] = {};
        ::GetClassNameW(wnd, cls, 32);
        AnswerSequence::Step& next = sequence->steps[sequence->next];
        if (!lstrcmpW(cls, L"#32770") && (next.again || !::GetPropW(wnd, L"PD.Sequence"))) {
            ::SetPropW(wnd, L"PD.Sequence", reinterpret_cast<HANDLE>(1));
            AnswerSequence::Step& step = sequence->steps[sequence->next++];
            std::wstring text;
            ::EnumChildWindows(wnd, CollectStatic, reinterpret_cast<LPARAM>(&text));
            sequence->texts.push_back(text);
            if (step.onShow) step.onShow(wnd);
            ::PostMessageW(wnd, WM_COMMAND, MAKEWPARAM(step.command, BN_CLICKED), 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, wp, lp);
}
}

AnswerSequence::AnswerSequence(std::vector<Step> steps)
{
    sequence = new SequenceState{std::move(steps)};
    sequence->hook = ::SetWindowsHookExW(WH_CBT, SequenceHook, nullptr, ::GetCurrentThreadId());
}

AnswerSequence::~AnswerSequence()
{
    ::UnhookWindowsHookEx(sequence->hook);
    delete sequence;
    sequence = nullptr;
}

int AnswerSequence::Answered() const { return static_cast<int>(sequence->next); }

std::vector<std::wstring> AnswerSequence::Texts() const { return sequence->texts; }

} // namespace test
