// The files a drag carries between the panels, and where each lands below the target.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct DropSource {
    std::wstring path;
    bool isDirectory = false;
};

// Each file as itself and each directory as every file below it, at any depth (directories
// themselves are not listed, so empty ones are not carried). Links to directories are not
// entered, at the top or below. bytes: the sum of the listed files' sizes. unreadable counts the
// directories that could not be listed.
void CollectDropFiles(const std::vector<DropSource>& sources, std::vector<std::wstring>& files, uint64_t& bytes,
                      int& unreadable);

// The part of name below sourceDirectory ("C:\A" and "C:\A\SUB\F.TXT" give "SUB\F.TXT"),
// compared without regard to case; the last part of name when it does not lie below it.
std::wstring RelativeDropName(const std::wstring& name, const std::wstring& sourceDirectory);
