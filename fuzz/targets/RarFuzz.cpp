// The rar 4 and rar 5 header readers, the encoded Unicode names, and the data of stored members.
#include "archive/rar/RarFormat.h"
#include "fuzz/targets/ArchiveSinks.h"

FUZZ_TARGET(rar)
{
    arc::CMemorySource source(data, size);
    rar::CRarReader reader;
    if (reader.Open(source) != rar::RarStatus::Ok) return;
    for (int members = 0; members < 256; ++members) {
        rar::RarEntry entry;
        rar::RarStatus status = reader.Next(entry);
        if (status != rar::RarStatus::Ok) break;
        FUZZ_CHECK(entry.dataOffset <= size);
        fuzz::CountingSink sink;
        if (members % 2 == 0) reader.ExtractStored(entry, sink);
    }
}

FUZZ_TARGET(rar_name)
{
    size_t split = size ? data[0] : 0;
    if (size < 1 || split > size - 1) return;
    rar::DecodeRarUnicodeName(data + 1, split, data + 1 + split, size - 1 - split);
}
