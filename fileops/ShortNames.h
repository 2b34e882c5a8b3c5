// Short (8.3) forms of names, and names made safe to pass as one parameter of a started program.
#pragma once
#include <string>

// The short form of an existing name; the name itself when the system has none.
std::wstring ShortPathName(const std::wstring& name);
// The short form, quoted when it still holds a blank, so that the started program receives it whole.
std::wstring ParameterName(const std::wstring& name);
// The long form of every component; the name itself when a component cannot be found.
std::wstring LongPathName(const std::wstring& name);
