// The texts of the drive boxes that need no system calls: media and drive-type descriptions.
#pragma once
#include <string>

enum class DriveKind { Unknown, Removable, Fixed, Remote, CdRom, Other };

// The description of a removable drive by the media type of its last reported geometry.
std::wstring MediaDescription(int mediaType, wchar_t driveLetter);
// The description after "[-X-]" for the non-removable kinds.
std::wstring DriveDescription(DriveKind kind, const std::wstring& label, const std::wstring& networkName,
                              bool networkNameKnown, const std::wstring& notConnectedText);
// "[-X-]" + description.
std::wstring DriveEntryText(wchar_t driveLetter, const std::wstring& description);
// Pads with blanks to 120 characters, so that a shorter line covers a longer one.
std::wstring PadLine(const std::wstring& text);
