// The attribute and date dialogs and the writing of attributes and times.
#include "fileops/AttributeDialogs.h"
#include "common/Program.h"
#include "fileops/DateTimeText.h"
#include "fileops/FileSystem.h"
#include "framework/Handles.h"
#include "framework/Resources.h"
#include "resource.h"

namespace {
constexpr DWORD ShownBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

DWORD Apply(DWORD value, BitChoice choice, DWORD bit)
{
    if (choice == BitChoice::Set) return value | bit;
    if (choice == BitChoice::Clear) return value & ~bit;
    return value;
}

bool SetAttributes(const std::wstring& path, DWORD value)
{
    return ::SetFileAttributesW(LongPath(path).c_str(), value ? value : FILE_ATTRIBUTE_NORMAL) != FALSE;
}
}

bool LocalToFileTime(int year, int month, int day, int hour, int minute, FILETIME& out)
{
    SYSTEMTIME local = {};
    local.wYear = static_cast<WORD>(year);
    local.wMonth = static_cast<WORD>(month);
    local.wDay = static_cast<WORD>(day);
    local.wHour = static_cast<WORD>(hour);
    local.wMinute = static_cast<WORD>(minute);
    SYSTEMTIME utc;
    return ::TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) && ::SystemTimeToFileTime(&utc, &out);
}

bool ApplyAttributeChange(const std::wstring& path, const AttributeChange& change)
{
    DWORD current = ::GetFileAttributesW(LongPath(path).c_str());
    if (current == INVALID_FILE_ATTRIBUTES) return false;
    DWORD before = current & ShownBits;
    DWORD wanted = before;
    wanted = Apply(wanted, change.readOnly, FILE_ATTRIBUTE_READONLY);
    wanted = Apply(wanted, change.archive, FILE_ATTRIBUTE_ARCHIVE);
    wanted = Apply(wanted, change.hidden, FILE_ATTRIBUTE_HIDDEN);
    wanted = Apply(wanted, change.system, FILE_ATTRIBUTE_SYSTEM);
    bool attributesChange = wanted != before;
    bool lifted = false;
    if (current & FILE_ATTRIBUTE_READONLY) {
        if (change.newTime) {
            if (!SetAttributes(path, before & ~FILE_ATTRIBUTE_READONLY)) return false;
            lifted = true;
        } else if (attributesChange) {
            return SetAttributes(path, wanted);
        }
    }
    if (change.newTime) {
        bool directory = (current & FILE_ATTRIBUTE_DIRECTORY) != 0;
        fw::UniqueFile file(::CreateFileW(LongPath(path).c_str(), FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                          directory ? FILE_FLAG_BACKUP_SEMANTICS : 0, nullptr));
        // Creation and last-access times stay exactly as they are.
        if (!file || !::SetFileTime(file.Get(), nullptr, nullptr, &change.lastWrite)) {
            DWORD error = ::GetLastError();
            file.Reset();
            if (lifted) SetAttributes(path, before);
            ::SetLastError(error);
            return false;
        }
    }
    // Only what still differs is set again (Wine resets a time just written otherwise).
    DWORD present = lifted ? (before & ~FILE_ATTRIBUTE_READONLY) : before;
    if (wanted != present) return SetAttributes(path, wanted);
    return true;
}

CAttributeDialog::CAttributeDialog(const wchar_t* templateName, std::vector<std::wstring> entries, bool several)
    : CDialog(templateName), entries(std::move(entries)), several(several)
{
}

void CAttributeDialog::InitPair(int setId, int clearId, DWORD bit)
{
    if (several) return;
    SetChecked(setId, (initialAttributes & bit) != 0);
    SetChecked(clearId, (initialAttributes & bit) == 0);
}

bool CAttributeDialog::OnInit()
{
    SetItemText(IDC_ATTR_NAME, prompt);
    InitPair(IDC_ATTR_READONLY_SET, IDC_ATTR_READONLY_CLEAR, FILE_ATTRIBUTE_READONLY);
    InitPair(IDC_ATTR_ARCHIVE_SET, IDC_ATTR_ARCHIVE_CLEAR, FILE_ATTRIBUTE_ARCHIVE);
    InitPair(IDC_ATTR_HIDDEN_SET, IDC_ATTR_HIDDEN_CLEAR, FILE_ATTRIBUTE_HIDDEN);
    InitPair(IDC_ATTR_SYSTEM_SET, IDC_ATTR_SYSTEM_CLEAR, FILE_ATTRIBUTE_SYSTEM);
    SetChecked(IDC_ATTR_KEEPTIME, true);
    ::SendMessageW(Item(IDC_ATTR_DATE), EM_LIMITTEXT, 8, 0);
    ::SendMessageW(Item(IDC_ATTR_TIME), EM_LIMITTEXT, 5, 0);
    SetItemText(IDC_ATTR_DATE, dateText);
    SetItemText(IDC_ATTR_TIME, timeText);
    return true;
}

BitChoice CAttributeDialog::ReadPair(int setId, int clearId) const
{
    if (IsChecked(setId)) return BitChoice::Set;
    if (IsChecked(clearId)) return BitChoice::Clear;
    return BitChoice::Keep;
}

void CAttributeDialog::OnOK()
{
    AttributeChange change;
    change.readOnly = ReadPair(IDC_ATTR_READONLY_SET, IDC_ATTR_READONLY_CLEAR);
    change.archive = ReadPair(IDC_ATTR_ARCHIVE_SET, IDC_ATTR_ARCHIVE_CLEAR);
    change.hidden = ReadPair(IDC_ATTR_HIDDEN_SET, IDC_ATTR_HIDDEN_CLEAR);
    change.system = ReadPair(IDC_ATTR_SYSTEM_SET, IDC_ATTR_SYSTEM_CLEAR);
    if (IsChecked(IDC_ATTR_NOW)) {
        change.newTime = true;
        ::GetSystemTimeAsFileTime(&change.lastWrite);
    } else if (IsChecked(IDC_ATTR_TYPEDTIME)) {
        LocalDateTime typed;
        if (!ParseDateTime(ItemText(IDC_ATTR_DATE), ItemText(IDC_ATTR_TIME), Program().dateOrder[0], Program().dateSeparator[0],
                           typed) ||
            !LocalToFileTime(typed.year, typed.month, typed.day, typed.hour, typed.minute, change.lastWrite)) {
            // The dialog stays open with what was typed; nothing has been changed.
            ::MessageBoxW(hwnd, fw::LoadStr(IDS_DATE_INVALID).c_str(), ProductName, MB_OK | MB_ICONEXCLAMATION);
            ::SetFocus(Item(IDC_ATTR_DATE));
            return;
        }
        change.newTime = true;
    }
    {
        fw::WaitCursor wait;
        for (const std::wstring& entry : entries) {
            if (ApplyAttributeChange(entry, change)) {
                ++changed;
                continue;
            }
            ++failed;
            if (several) ShowWarning(IDS_ATTR_FAILED);
            else ShowLastError(IDS_UNKNOWNERROR);
        }
    }
    End(IDOK);
}
