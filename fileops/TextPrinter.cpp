// Printing text files on the default printer.
#include "fileops/TextPrinter.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/CopyProgress.h"
#include "fileops/OperationUi.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include <winspool.h>
#include <vector>

PrintOptions ReadPrintOptions()
{
    return MakePrintOptions(GetProfileInt(L"Algemeen", L"Afkappen", 0), GetProfileInt(L"Algemeen", L"RegelNummers", 0),
                            GetProfileInt(L"Algemeen", L"PerA4", 1), GetProfileInt(L"Algemeen", L"bA4", -1),
                            GetProfileInt(L"Algemeen", L"PerTab", 4), GetProfileInt(L"Algemeen", L"bCharSet", 1));
}

std::wstring DefaultPrinterName()
{
    DWORD size = 0;
    ::GetDefaultPrinterW(nullptr, &size);
    if (size == 0) return {};
    std::wstring name(size, L'\0');
    if (!::GetDefaultPrinterW(name.data(), &size)) return {};
    name.resize(lstrlenW(name.c_str()));
    return name;
}

namespace {
// The printer's own document settings, turned to landscape when the layout asks for it.
std::vector<BYTE> DeviceMode(const std::wstring& printer, bool landscape)
{
    HANDLE handle = nullptr;
    if (!::OpenPrinterW(const_cast<wchar_t*>(printer.c_str()), &handle, nullptr)) return {};
    std::vector<BYTE> mode;
    LONG size = ::DocumentPropertiesW(nullptr, handle, const_cast<wchar_t*>(printer.c_str()), nullptr, nullptr, 0);
    if (size >= static_cast<LONG>(sizeof(DEVMODEW))) {
        mode.resize(static_cast<size_t>(size));
        auto* dm = reinterpret_cast<DEVMODEW*>(mode.data());
        if (::DocumentPropertiesW(nullptr, handle, const_cast<wchar_t*>(printer.c_str()), dm, nullptr,
                                  DM_OUT_BUFFER) == IDOK) {
            dm->dmOrientation = static_cast<short>(landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT);
            dm->dmFields |= DM_ORIENTATION;
            ::DocumentPropertiesW(nullptr, handle, const_cast<wchar_t*>(printer.c_str()), dm, dm,
                                  DM_IN_BUFFER | DM_OUT_BUFFER);
        } else {
            mode.clear();
        }
    }
    ::ClosePrinter(handle);
    return mode;
}

// Reads a file through a Win32 handle, for the line reader.
struct FileSource {
    HANDLE file;
    size_t operator()(char* buffer, size_t n) const
    {
        DWORD got = 0;
        if (!::ReadFile(file, buffer, static_cast<DWORD>(n), &got, nullptr)) return 0;
        return got;
    }
};
}

CGdiPrintTarget::~CGdiPrintTarget()
{
    EndDocument();
    if (dc) {
        if (oldFont) ::SelectObject(dc, oldFont);
        ::DeleteDC(dc);
    }
    if (font) ::DeleteObject(font);
}

bool CGdiPrintTarget::Open(const std::wstring& printer, const PrintOptions& options)
{
    std::vector<BYTE> mode = DeviceMode(printer, options.layout != 0);
    dc = ::CreateDCW(L"WINSPOOL", printer.c_str(), nullptr,
                     mode.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(mode.data()));
    if (!dc) return false;
    LOGFONTW lf = {};
    int points = options.layout == 2 ? 8 : 9;
    lf.lfHeight = -(::GetDeviceCaps(dc, LOGPIXELSY) * points / 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfPitchAndFamily = FIXED_PITCH;
    lf.lfOutPrecision = OUT_CHARACTER_PRECIS;
    lf.lfCharSet = static_cast<BYTE>(options.ansiCharSet ? ANSI_CHARSET : OEM_CHARSET);
    lstrcpynW(lf.lfFaceName, L"Terminal", LF_FACESIZE);
    font = ::CreateFontIndirectW(&lf);
    oldFont = ::SelectObject(dc, font);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(dc, &tm);
    metrics.pageWidth = ::GetDeviceCaps(dc, HORZRES);
    metrics.pageHeight = ::GetDeviceCaps(dc, VERTRES);
    metrics.charWidth = tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 1;
    metrics.lineHeight = tm.tmHeight + tm.tmExternalLeading > 0 ? tm.tmHeight + tm.tmExternalLeading : 1;
    ::SetBkMode(dc, TRANSPARENT);
    return true;
}

bool CGdiPrintTarget::StartDocument(const std::wstring& name)
{
    DOCINFOW doc = {};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = name.c_str();
    inDocument = dc && ::StartDocW(dc, &doc) > 0;
    return inDocument;
}

void CGdiPrintTarget::EndDocument()
{
    if (inDocument) ::EndDoc(dc);
    inDocument = false;
}

bool CGdiPrintTarget::StartSheet()
{
    if (::StartPage(dc) <= 0) return false;
    // Some drivers reset the device context at each page.
    ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    return true;
}

bool CGdiPrintTarget::EndSheet() { return ::EndPage(dc) > 0; }

void CGdiPrintTarget::Text(int x, int y, const std::wstring& text)
{
    ::TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

void CGdiPrintTarget::Line(int x1, int y1, int x2, int y2)
{
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

PrintResult PrintFileTo(IPrintTarget& target, const PageMetrics& metrics, const std::wstring& file,
                        const std::wstring& title, const PrintOptions& options,
                        const std::function<bool()>& keepGoing, const std::function<void(int)>& onPage, bool utf16)
{
    fw::UniqueFile handle(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle) return PrintResult::CannotOpenFile;
    CTextLineReader reader(FileSource{handle.Get()}, options.ansiCharSet ? CP_ACP : CP_OEMCP, utf16);
    CPageComposer composer(target, metrics, options.layout, title, fw::LoadStr(IDS_PRINT_PAGE));
    composer.onNewPage = onPage;
    bool cancelled = false;
    auto ask = [&] {
        if (keepGoing && !keepGoing()) cancelled = true;
        return !cancelled;
    };
    if (!PrintLines(reader, composer, options, ask)) return PrintResult::PrinterFailed;
    return cancelled ? PrintResult::Cancelled : PrintResult::Printed;
}

CPrintJob::CPrintJob(OperationState& state, HWND mainWindow) : state(state), mainWindow(mainWindow) {}

CPrintJob::~CPrintJob() = default;

bool CPrintJob::Begin()
{
    printer = DefaultPrinterName();
    if (printer.empty()) {
        ShowMessage(mainWindow, fw::LoadStr(IDS_PRINT_NOPRINTER), MB_OK | MB_ICONWARNING);
        return false;
    }
    status = std::make_unique<CCopyProgress>(state, mainWindow, L"", L"PRINTDLG");
    if (HWND dialog = status->Dialog())
        ::SetDlgItemTextW(dialog, IDC_PRINT_PRINTER,
                          (fw::LoadStr(IDS_ON) + printer + fw::LoadStr(IDS_PRINT_PRINTING)).c_str());
    status->Pump();
    return true;
}

bool CPrintJob::Cancelled() const { return state.cancelRequested; }

HWND CPrintJob::Owner() const
{
    HWND dialog = status ? status->Dialog() : nullptr;
    return dialog ? dialog : mainWindow;
}

PrintResult CPrintJob::PrintFile(const std::wstring& file, const std::wstring& title, bool utf16)
{
    HWND dialog = status ? status->Dialog() : nullptr;
    HWND owner = Owner();
    if (dialog) {
        ::SetDlgItemTextW(dialog, IDC_PRINT_FILE, file.c_str());
        ::SetDlgItemTextW(dialog, IDC_PRINT_PAGE, L"");
    }
    PrintOptions options = ReadPrintOptions();
    // The file is tried first, so that one that cannot be read starts no empty print job.
    {
        fw::UniqueFile probe(::CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
        if (!probe) {
            ShowMessage(owner, fw::LoadStr(IDS_PRINT_CANTOPENFILE) + file,
                        MB_OK | MB_ICONEXCLAMATION);
            return PrintResult::CannotOpenFile;
        }
    }
    CGdiPrintTarget target;
    if (!target.Open(printer, options) || !target.StartDocument(file)) {
        ShowMessage(owner, fw::LoadStr(IDS_PRINT_PRINTERFAILED) + printer,
                    MB_OK | MB_ICONEXCLAMATION);
        return PrintResult::PrinterFailed;
    }
    auto keepGoing = [this] {
        if (status) status->Pump();
        return !state.cancelRequested;
    };
    auto onPage = [dialog](int page) {
        if (dialog) ::SetDlgItemTextW(dialog, IDC_PRINT_PAGE, (fw::LoadStr(IDS_PRINT_PAGE) + std::to_wstring(page)).c_str());
    };
    PrintResult result = PrintFileTo(target, target.Metrics(), file, title, options, keepGoing, onPage, utf16);
    target.EndDocument();
    if (result == PrintResult::PrinterFailed)
        ShowMessage(owner, fw::LoadStr(IDS_PRINT_PRINTERFAILED) + printer,
                    MB_OK | MB_ICONEXCLAMATION);
    return result;
}

void PrintFiles(OperationState& state, HWND mainWindow, const std::vector<std::wstring>& files)
{
    if (files.empty()) return;
    CPrintJob job(state, mainWindow);
    if (!job.Begin()) return;
    for (const std::wstring& file : files) {
        if (job.Cancelled()) break;
        DWORD attributes = ::GetFileAttributesW(file.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ShowMessage(job.Owner(), fw::LoadStr(IDS_PRINT_ISDIRECTORY) + file, MB_OK | MB_ICONEXCLAMATION);
            continue;
        }
        if (job.PrintFile(file, file) == PrintResult::PrinterFailed) break;
    }
}
