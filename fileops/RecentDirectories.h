// The persistent list of recent directories ("Algemeen"/"Dir1" ... "Dir15").
#pragma once
#include <string>

// Puts directory first, removing an older entry of it; the fifteenth entry falls off.
void RecordRecentDirectory(const std::wstring& directory);
