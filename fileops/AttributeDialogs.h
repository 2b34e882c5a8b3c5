// "FILEATTR", "FILEATTRALL", "DIRATTR", "DIRATTRALL": attributes and last-write time of entries.
#pragma once
#include "framework/Dialog.h"
#include <windows.h>
#include <string>
#include <vector>

// What to do with one attribute bit: turn it on, off, or leave each entry's own.
enum class BitChoice { Keep, Set, Clear };

struct AttributeChange {
    BitChoice readOnly = BitChoice::Keep, archive = BitChoice::Keep, hidden = BitChoice::Keep,
              system = BitChoice::Keep;
    bool newTime = false;
    FILETIME lastWrite = {}; // UTC, when newTime
};

// Applies the change to one file or directory; false (last error set) when it failed.
// A read-only entry is made writable first, so that its time can be written.
bool ApplyAttributeChange(const std::wstring& path, const AttributeChange& change);

// UTC file time of a typed local date and time, daylight saving as the system decides.
bool LocalToFileTime(int year, int month, int day, int hour, int minute, FILETIME& out);

class CAttributeDialog : public fw::CDialog {
public:
    // One entry (its pairs start at its attributes) or several (pairs start unset).
    CAttributeDialog(const wchar_t* templateName, std::vector<std::wstring> entries, bool several);
    std::wstring prompt;
    DWORD initialAttributes = 0;
    std::wstring dateText, timeText;
    // How many entries the dialog changed and how many it could not change.
    int changed = 0, failed = 0;

protected:
    bool OnInit() override;
    void OnOK() override;

private:
    BitChoice ReadPair(int setId, int clearId) const;
    void InitPair(int setId, int clearId, DWORD bit);
    std::vector<std::wstring> entries;
    bool several;
};
