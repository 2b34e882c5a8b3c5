// The viewer's commands: save as another format, copy to the clipboard, open with the
// associated program.
#include "tools/imageview/ImageViewDialog.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "fileops/AssociatedProgram.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"
#include "tools/imageview/SaveFormats.h"
#include <commdlg.h>
#include <vector>

namespace {
bool IsFile(const std::wstring& path)
{
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring DirectoryOf(const std::wstring& path)
{
    size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::wstring();
    // "C:\" keeps its backslash: "C:" alone would mean the drive's current directory.
    return path.substr(0, slash == 2 && path[1] == L':' ? 3 : slash);
}
}

void CImageViewDialog::OnSaveAs()
{
    const int storedType = FileTypeIndex(GetProfileInt(L"Settings", L"LastFileType", 0));
    const std::wstring directory = GetProfileString(L"Settings", L"CurrentDir", L"");
    const std::wstring filter = SaveFilter();
    // Room for any path the system takes; the process's current directory is left alone.
    std::vector<wchar_t> name(32768, L'\0');
    std::wstring pattern = SaveFormatAt(storedType).pattern;
    std::copy(pattern.begin(), pattern.end(), name.begin());
    OPENFILENAMEW ofn = {sizeof(ofn)};
    ofn.hwndOwner = hwnd;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(storedType);
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = directory.empty() ? nullptr : directory.c_str();
    ofn.lpstrTitle = L"Save As Graphics File";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameW(&ofn)) {
        if (::CommDlgExtendedError() == FNERR_BUFFERTOOSMALL)
            ShowMessage(hwnd, fw::LoadStr(IDS_VIEW_NAMETOOLONG), MB_OK | MB_ICONSTOP);
        return;
    }
    const std::wstring chosen = name.data();
    const int type = static_cast<int>(ofn.nFilterIndex);
    WriteProfileString(L"Settings", L"CurrentDir", DirectoryOf(chosen));
    WriteProfileInt(L"Settings", L"LastFileType", type);

    // The dialog asked about the typed name only; the extension rule may name another file.
    const std::wstring target = SaveTargetName(chosen, type);
    if (target != chosen && IsFile(target) &&
        ShowMessage(hwnd, target + fw::LoadStr(IDS_VIEW_REPLACE), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    const SaveFormatRow& row = SaveFormatAt(type);
    const SaveFormat format = type >= 1 && type <= 8 ? static_cast<SaveFormat>(type) : SaveBmp;
    int result;
    {
        fw::WaitCursor wait;
        Image reduced;
        const Image* source = &image;
        result = ImgOk;
        if (row.atMostEightBits && image.bitsPerPixel > 8) {
            result = ImgReduce(image, reduced);
            source = &reduced;
        }
        if (result == ImgOk) result = ImgSave(target, *source, format, row.option);
        ImgFree(reduced);
    }
    if (result == ImgOk) ::SetWindowTextW(hwnd, (L"PD - " + target).c_str());
    else ShowMessage(hwnd, SaveErrorText(result), MB_OK | MB_ICONSTOP);
}

void CImageViewDialog::OnCopy()
{
    HGLOBAL dib = nullptr;
    int result;
    {
        fw::WaitCursor wait;
        result = ImgToDib(image, dib);
    }
    bool placed = false;
    if (result == ImgOk && ::OpenClipboard(hwnd)) {
        ::EmptyClipboard();
        placed = ::SetClipboardData(CF_DIB, dib) != nullptr;
        ::CloseClipboard();
    }
    // The clipboard owns the memory only once it took it.
    if (!placed) {
        if (dib) ::GlobalFree(dib);
        ShowMessage(hwnd, fw::LoadStr(IDS_VIEW_NOCLIPBOARD), MB_OK | MB_ICONSTOP);
    }
}

void CImageViewDialog::OnOpenWith()
{
    // The system's own error boxes may show during the attempt.
    fw::ErrorModeScope errors(0);
    if (ShellOpenFile(hwnd, L"open", path, L"", false) || StartAssociatedProgram(hwnd, path)) End(IDOK);
}
