// The real zip tools as the zip creation tests call them.
#pragma once
#include <string>
#include <vector>

namespace test {
// "7zz" where it exists, else "7z".
std::string Sevenzip();
// The member names as unzip lists them, sorted.
std::vector<std::string> Listed(const std::wstring& archive);
}
