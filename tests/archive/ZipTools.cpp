// The real zip tools as the zip creation tests call them.
#include "archive/ZipTools.h"
#include "support/TestEnv.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <sstream>

namespace test {

std::string Sevenzip() { return RunUnix("command -v 7zz") == 0 ? "7zz" : "7z"; }

std::vector<std::string> Listed(const std::wstring& archive)
{
    std::string out;
    EXPECT_EQ(RunUnix("LC_ALL=C.UTF-8 unzip -Z1 " + ShellQuote(UnixPath(archive)), &out), 0) << out;
    std::vector<std::string> names;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty()) names.push_back(line);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace test
