// The viewer's eight save formats, its file-name rule and the texts of the codec's error codes.
#pragma once
#include <string>

struct SaveFormatRow {
    const wchar_t* description; // in the save dialog's type list
    const wchar_t* pattern;
    const wchar_t* extension;   // appended when the name lacks it
    int option;                 // the codec's save option
    bool atMostEightBits;
};

// Rows 1 to 8; any other index is BMP's row.
const SaveFormatRow& SaveFormatAt(int index);
// "LastFileType" as the dialog's type index: 1-8, anything else 1.
int FileTypeIndex(int stored);
// The type list of the save dialog: description and pattern of each row, double-zero ended.
std::wstring SaveFilter();
// The name as the chosen type saves it: the type's extension appended unless the name's own
// extension, upper-cased, is already that extension.
std::wstring SaveTargetName(const std::wstring& chosen, int index);
// The message for a failed save; codes outside the table get "Cannot save the picture".
std::wstring SaveErrorText(int code);
