// Writing and reading the stored result list. Sizes are 64-bit: "Grootte%d" keeps the low half
// as it always did, "GrootteHoog%d" the high half.
#include "tools/search/FoundFilesStore.h"
#include "common/Program.h"
#include "common/Settings.h"
#include "resource.h"
#include <windows.h>

namespace search {

namespace {
const wchar_t* const Section = L"GevondenBestanden";

std::wstring Key(const wchar_t* name, size_t n) { return name + std::to_wstring(n); }
} // namespace

bool StoreResults(const std::vector<CFoundFile>& files, const std::wstring& directory, const std::wstring& mask,
                  const std::wstring& text)
{
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (ProfileKeyPath() + L"\\" + Section).c_str());
    size_t written = 0;
    bool ok = true;
    for (const CFoundFile& f : files) {
        if (written == StoredResultLimit) break;
        size_t n = written + 1;
        bool unknown = f.size == CFoundFile::UnknownSize;
        if (!WriteProfileString(Section, Key(L"Bestand", n).c_str(), f.path) ||
            !WriteProfileInt(Section, Key(L"Grootte", n).c_str(), static_cast<int>(static_cast<uint32_t>(f.size))) ||
            !WriteProfileInt(Section, Key(L"GrootteHoog", n).c_str(),
                             unknown ? -1 : static_cast<int>(static_cast<uint32_t>(f.size >> 32))) ||
            !WriteProfileInt(Section, Key(L"DatHi", n).c_str(), static_cast<int>(f.timeHigh)) ||
            !WriteProfileInt(Section, Key(L"DatLo", n).c_str(), static_cast<int>(f.timeLow))) {
            ShowLastError(IDS_FS_STOREFAILED);
            ok = false;
            break;
        }
        ++written;
    }
    WriteProfileInt(Section, L"Aantal", static_cast<int>(written));
    WriteProfileString(Section, L"ZoekPad", directory);
    WriteProfileString(Section, L"ZoekMask", mask);
    WriteProfileString(Section, L"ZoekTekst", text);
    return ok;
}

int StoredResultCount() { return GetProfileInt(Section, L"Aantal", 0); }

StoredSearch LoadResults()
{
    StoredSearch stored;
    int count = StoredResultCount();
    for (int n = 1; n <= count; ++n) {
        CFoundFile f;
        f.path = GetProfileString(Section, Key(L"Bestand", static_cast<size_t>(n)).c_str(), L"");
        if (f.path.empty()) continue;
        uint32_t low = static_cast<uint32_t>(GetProfileInt(Section, Key(L"Grootte", static_cast<size_t>(n)).c_str(), 0));
        // Lists stored before the high half existed wrote -1 for an unknown size.
        int high = GetProfileInt(Section, Key(L"GrootteHoog", static_cast<size_t>(n)).c_str(),
                                 low == 0xFFFFFFFFu ? -1 : 0);
        f.size = high == -1 && low == 0xFFFFFFFFu ? CFoundFile::UnknownSize
                                                  : (static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | low;
        f.timeHigh = static_cast<uint32_t>(GetProfileInt(Section, Key(L"DatHi", static_cast<size_t>(n)).c_str(), 0));
        f.timeLow = static_cast<uint32_t>(GetProfileInt(Section, Key(L"DatLo", static_cast<size_t>(n)).c_str(), 0));
        stored.files.push_back(std::move(f));
    }
    stored.directory = GetProfileString(Section, L"ZoekPad", L"");
    stored.mask = GetProfileString(Section, L"ZoekMask", L"");
    stored.text = GetProfileString(Section, L"ZoekTekst", L"");
    return stored;
}

} // namespace search
