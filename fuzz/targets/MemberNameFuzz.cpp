// A member name never leaves the target directory once it passed the name rules.
#include "archive/MemberName.h"
#include "fuzz/FuzzTarget.h"

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

} // namespace

FUZZ_TARGET(member_name)
{
    fuzz::Input in(data, size);
    bool keepFolders = in.Byte() & 1;
    std::wstring stored = in.Text();
    std::wstring relative;
    NameProblem problem = SafeRelativePath(stored, keepFolders, relative);
    BareName(stored);
    HasFolders(stored, true);
    if (problem != NameProblem::None) return;
    FUZZ_CHECK(!relative.empty());
    FUZZ_CHECK(!IsSeparator(relative.front()) && !IsSeparator(relative.back()));
    FUZZ_CHECK(relative.find(L':') == std::wstring::npos);
    FUZZ_CHECK(relative.find(L'/') == std::wstring::npos);
    if (!keepFolders) FUZZ_CHECK(relative.find(L'\\') == std::wstring::npos);
    // No part may lead up or be empty.
    size_t start = 0;
    for (;;) {
        size_t end = relative.find(L'\\', start);
        std::wstring part = relative.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        FUZZ_CHECK(!part.empty() && part != L"." && part != L"..");
        for (wchar_t c : part) FUZZ_CHECK(c >= 32);
        if (end == std::wstring::npos) break;
        start = end + 1;
    }
}
