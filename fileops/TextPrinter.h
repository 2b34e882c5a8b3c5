// Printing text files on the default printer: the printer's device context, the status window, the job.
#pragma once
#include "fileops/PrintLayout.h"
#include <windows.h>
#include <memory>
#include <string>
#include <vector>

struct OperationState;
class CCopyProgress;

// The print options of the store ("Algemeen").
PrintOptions ReadPrintOptions();
// The default printer's name; empty when there is none.
std::wstring DefaultPrinterName();

// A printer device context with the fixed-pitch font of the layout, one document at a time.
class CGdiPrintTarget : public IPrintTarget {
public:
    CGdiPrintTarget() = default;
    ~CGdiPrintTarget() override;
    CGdiPrintTarget(const CGdiPrintTarget&) = delete;
    CGdiPrintTarget& operator=(const CGdiPrintTarget&) = delete;

    // Opens the printer in the layout's orientation and measures the font; false when it cannot.
    bool Open(const std::wstring& printer, const PrintOptions& options);
    const PageMetrics& Metrics() const { return metrics; }
    bool StartDocument(const std::wstring& name);
    // Ends the document; pages already printed come out.
    void EndDocument();

    bool StartSheet() override;
    bool EndSheet() override;
    void Text(int x, int y, const std::wstring& text) override;
    void Line(int x1, int y1, int x2, int y2) override;

private:
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ oldFont = nullptr;
    bool inDocument = false;
    PageMetrics metrics;
};

enum class PrintResult { Printed, Cancelled, CannotOpenFile, PrinterFailed };

// Prints one file through any target: reads it, breaks its lines and composes its pages.
// onPage is told each page number; keepGoing is asked before each line.
PrintResult PrintFileTo(IPrintTarget& target, const PageMetrics& metrics, const std::wstring& file,
                        const std::wstring& title, const PrintOptions& options,
                        const std::function<bool()>& keepGoing, const std::function<void(int)>& onPage,
                        bool utf16 = false);

// One printing run on the default printer under the status window "PRINTDLG", the main window
// disabled meanwhile. Says plainly when there is no default printer, and then opens nothing.
class CPrintJob {
public:
    CPrintJob(OperationState& state, HWND mainWindow);
    ~CPrintJob();
    CPrintJob(const CPrintJob&) = delete;
    CPrintJob& operator=(const CPrintJob&) = delete;

    // False (after telling the user) when there is no default printer.
    bool Begin();
    // Prints one file with its title; a file that cannot be opened is named to the user.
    PrintResult PrintFile(const std::wstring& file, const std::wstring& title, bool utf16 = false);
    bool Cancelled() const;
    // The owner of the job's message boxes: the status window while it is open.
    HWND Owner() const;

private:
    OperationState& state;
    HWND mainWindow;
    std::wstring printer;
    std::unique_ptr<CCopyProgress> status;
};

// Prints each file of the list in turn under one status window; directories and files that
// cannot be read are reported and the rest printed.
void PrintFiles(OperationState& state, HWND mainWindow, const std::vector<std::wstring>& files);
