// One line of a server's directory listing.
#include "ftp/ListingParser.h"
#include "fuzz/FuzzTarget.h"
#include <vector>

FUZZ_TARGET(ftp_listing)
{
    if (size < 8) return;
    int64_t now = 0;
    for (int i = 0; i < 8; ++i) now = now << 8 | data[i];
    now = now % (int64_t(400) * 365 * 86400); // 1970 to 2370
    if (now < 0) now = -now;
    // An allocation of exactly the line's bytes: the parser is handed a length, not a terminated text.
    std::vector<char> line(data + 8, data + size);
    ListingEntry entry;
    if (ParseListingLine(line.data(), line.size(), entry, now) == 1) {
        const char* begin = line.data();
        const char* end = begin + line.size();
        FUZZ_CHECK(entry.name >= begin && entry.name + entry.nameLength <= end);
        // An empty name (a line that ends after its date) is the caller's to pass over, as it does.
        if (entry.id) FUZZ_CHECK(entry.id >= begin && entry.id + entry.idLength <= end);
        FUZZ_CHECK(entry.sizeKind == 0 || entry.size >= 0);
        // The panel turns the time into a file time: 1601 to 9999 only.
        FUZZ_CHECK(entry.timeKind == 0 || (entry.time >= -11644473600LL && entry.time <= 253402300799LL));
    }
}
