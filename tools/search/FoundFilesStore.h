// The last result list of the file search in the settings store ("GevondenBestanden").
#pragma once
#include "tools/search/FileSearch.h"
#include <string>
#include <vector>

namespace search {

constexpr size_t StoredResultLimit = 100;

struct StoredSearch {
    std::vector<CFoundFile> files;
    std::wstring directory, mask, text;
};

// Replaces the stored list with the first 100 results and the search's texts. A failed write
// shows 8250 and ends the list there; "Aantal" counts what was written. False after a failure.
bool StoreResults(const std::vector<CFoundFile>& files, const std::wstring& directory, const std::wstring& mask,
                  const std::wstring& text);
// "Aantal": how many results are stored.
int StoredResultCount();
StoredSearch LoadResults();

} // namespace search
