// The drive list, the choice of a drive and the total/free line of a panel.
#include "panel/DriveCombo.h"
#include "common/Program.h"
#include "fileops/FileSystem.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "panel/DriveMedia.h"
#include "panel/FileList.h"
#include "panel/ListingFormat.h"
#include "resource.h"
#include <winioctl.h>
#include <cwctype>
#include <vector>

DriveFtpHook CDriveCombo::ftp;

namespace {

std::wstring VolumeLabel(const std::wstring& root)
{
    wchar_t label[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) return {};
    return label;
}

bool NetworkName(const std::wstring& deviceName, std::wstring& out)
{
    DWORD length = MAX_PATH;
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::wstring buffer(length, L'\0');
        DWORD result = ::WNetGetConnectionW(deviceName.c_str(), buffer.data(), &length);
        if (result == NO_ERROR) {
            out = buffer.c_str();
            return true;
        }
        if (result != ERROR_MORE_DATA) return false;
    }
    return false;
}

DriveKind KindOf(UINT type)
{
    switch (type) {
    case DRIVE_REMOVABLE: return DriveKind::Removable;
    case DRIVE_FIXED: return DriveKind::Fixed;
    case DRIVE_REMOTE: return DriveKind::Remote;
    case DRIVE_CDROM: return DriveKind::CdRom;
    case DRIVE_RAMDISK: return DriveKind::Other;
    default: return DriveKind::Unknown;
    }
}

void ShowSystemError()
{
    ShowLastError(IDS_UNKNOWNERROR);
}
}

bool CDriveCombo::Attach(HWND combo, HWND info)
{
    infoLine.Attach(info);
    return Subclass(combo);
}

std::wstring CDriveCombo::RemovableDescription(const std::wstring& root, const std::wstring& entrySoFar) const
{
    std::wstring device = L"\\\\.\\" + root.substr(0, 2);
    fw::UniqueFile handle(::CreateFileW(device.c_str(), 0, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle) return L" Removable";
    std::vector<DISK_GEOMETRY> geometry(3456 / sizeof(DISK_GEOMETRY));
    DWORD returned = 0;
    BOOL ok = ::DeviceIoControl(handle.Get(), IOCTL_DISK_GET_MEDIA_TYPES, nullptr, 0, geometry.data(),
                                static_cast<DWORD>(geometry.size() * sizeof(DISK_GEOMETRY)), &returned, nullptr);
    if (returned == 0) {
        std::wstring label = VolumeLabel(root);
        return label.empty() ? L" Removable" : L" " + label;
    }
    if (!ok) {
        ShowSystemError();
        std::wstring text = fw::Format(L"Error while accessing drive %ls, length required %d", entrySoFar.c_str(),
                                       static_cast<int>(returned));
        ::MessageBoxW(nullptr, text.c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
        return L" Removable";
    }
    size_t records = returned / sizeof(DISK_GEOMETRY);
    return MediaDescription(static_cast<int>(geometry[records - 1].MediaType), root[0]);
}

void CDriveCombo::BuildDriveList()
{
    fw::CComboBox box = Box();
    box.ResetContent();
    DWORD length = ::GetLogicalDriveStringsW(0, nullptr);
    std::vector<wchar_t> strings(length + 1, L'\0');
    ::GetLogicalDriveStringsW(length, strings.data());
    for (const wchar_t* p = strings.data(); *p; p += lstrlenW(p) + 1) {
        std::wstring root = p;
        for (wchar_t& c : root) c = static_cast<wchar_t>(std::towupper(c));
        DriveKind kind = KindOf(::GetDriveTypeW(root.c_str()));
        std::wstring description;
        if (kind == DriveKind::Removable) {
            description = RemovableDescription(root, DriveEntryText(root[0], L""));
        } else {
            std::wstring label, network;
            bool networkKnown = false;
            if (kind == DriveKind::Fixed || kind == DriveKind::CdRom) label = VolumeLabel(root);
            if (kind == DriveKind::Remote) networkKnown = NetworkName(root.substr(0, 2), network);
            description = DriveDescription(kind, label, network, networkKnown, fw::LoadStr(IDS_DRIVE_NONETNAME));
        }
        box.AddString(DriveEntryText(root[0], description));
    }
    if (FtpConnected()) box.AddString(L"[FTP] " + (ftp.siteName ? ftp.siteName() : std::wstring()));
    SelectEntryOf(drive);
}

void CDriveCombo::SelectEntryOf(const std::wstring& source)
{
    fw::CComboBox box = Box();
    if (source == L"FTP" || source.empty()) {
        box.SetCurSel(box.GetCount() - 1);
        return;
    }
    std::wstring prefix = L"[-";
    prefix += static_cast<wchar_t>(std::towupper(source[0]));
    prefix += L"-]";
    for (int i = 0; i < box.GetCount(); ++i)
        if (box.GetItemText(i).rfind(prefix, 0) == 0) {
            box.SetCurSel(i);
            return;
        }
}

void CDriveCombo::OnDriveSelected()
{
    fw::CComboBox box = Box();
    int selected = box.GetCurSel();
    std::wstring text = selected >= 0 ? box.GetItemText(selected) : L"[-C-]";
    if (text.rfind(L"[FTP]", 0) == 0) {
        drive = L"FTP";
    } else {
        if (text.size() < 3) return;
        wchar_t letter = text[2];
        std::wstring probe = std::wstring(1, letter) + L":\\*.*";
        WIN32_FIND_DATAW data;
        bool readable;
        {
            fw::UniqueFind find(::FindFirstFileW(probe.c_str(), &data));
            readable = find || ::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_NO_MORE_FILES;
        }
        if (!readable) {
            ShowSystemError();
            // The panel stays where it was, and so does the list.
            SelectEntryOf(drive);
            return;
        }
        std::wstring current = CurrentDirectory();
        if (current.size() >= 3) {
            UINT type = ::GetDriveTypeW(current.substr(0, 3).c_str());
            // Leave the root of a removable medium current, so that it is not held.
            if (type == DRIVE_REMOVABLE || type == DRIVE_CDROM) ::SetCurrentDirectoryW(current.substr(0, 3).c_str());
        }
        std::wstring driveOnly = std::wstring(1, letter) + L":";
        ::SetCurrentDirectoryW(driveOnly.c_str());
        std::wstring now = CurrentDirectory();
        wchar_t currentLetter = now.empty() ? letter : now[0];
        drive = fw::Format(L"%lc:\\", static_cast<wint_t>(std::towlower(currentLetter)));
    }
    ::SendMessageW(hwnd, CB_SETTOPINDEX, 0, 0);
    ::SendMessageW(::GetParent(hwnd), pm::DriveUpdate, reinterpret_cast<WPARAM>(hwnd), 0);
}

void CDriveCombo::FallBackToC()
{
    drive = L"C:\\";
    ::SetCurrentDirectoryW(L"C:\\");
}

void CDriveCombo::UpdateDriveInfo()
{
    infoText.clear();
    if (drive == L"FTP" && FtpConnected()) {
        BuildDriveList();
        ShowDriveStatistics();
        return;
    }
    if (drive == L"FTP") {
        FallBackToC();
    } else {
        std::wstring remembered = CurrentDirectory();
        if (!::SetCurrentDirectoryW(drive.substr(0, 3).c_str())) {
            ShowSystemError();
            FallBackToC();
        } else {
            ::SetCurrentDirectoryW(remembered.c_str());
        }
    }
    BuildDriveList();
    ShowDriveStatistics();
}

void CDriveCombo::ShowDriveStatistics()
{
    if (drive == L"FTP") {
        if (FtpConnected() && ftp.statusText) {
            infoText = PadLine(ftp.statusText());
            infoLine.SetText(infoText);
        }
        return;
    }
    ULARGE_INTEGER available = {}, total = {}, free = {};
    double totalBytes = 0, freeBytes = 0;
    if (::GetDiskFreeSpaceExW(drive.substr(0, 3).c_str(), &available, &total, &free)) {
        totalBytes = static_cast<double>(total.QuadPart);
        freeBytes = static_cast<double>(free.QuadPart);
    }
    wchar_t separator = Program().thousandSeparator[0];
    infoText = PadLine(FormatSize(totalBytes, separator) + fw::LoadStr(IDS_DRIVE_TOTAL) +
                       FormatSize(freeBytes, separator) + fw::LoadStr(IDS_DRIVE_FREE));
    infoLine.SetText(infoText);
}

LRESULT CDriveCombo::OnMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CHAR: {
        LRESULT result = Default(msg, wp, lp);
        wchar_t c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wp)));
        if (c >= L'a' && c <= L'z' && c != L'k') Box().ShowDropDown(false);
        return result;
    }
    case WM_REFLECT_COMMAND:
        if (HIWORD(wp) == CBN_SELENDOK) {
            OnDriveSelected();
            return 1;
        }
        return 0;
    }
    return CWindow::OnMessage(msg, wp, lp);
}
