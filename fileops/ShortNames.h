// Short (8.3) forms of names, and names made safe to pass as one parameter of a started program.
#pragma once
#include <string>

// The short form of an existing name; the name itself when the system has none.
std::wstring ShortPathName(const std::wstring& name);
// The short form in quotes, so that the started program receives it whole and a batch program run by
// the command interpreter takes & ^ ( ) in it literally.
std::wstring ParameterName(const std::wstring& name);
// True for a program the shell starts through the command interpreter (.bat, .cmd), which would still
// expand a % inside a quoted parameter.
bool RunsThroughInterpreter(const std::wstring& program);
// The long form of every component; the name itself when a component cannot be found.
std::wstring LongPathName(const std::wstring& name);
