// ParseTarStream: ustar, pax, GNU long names and base-256 numbers, fed in pieces of any size.
#include "fuzz/targets/ArchiveSinks.h"

FUZZ_TARGET(tar)
{
    if (size < 1) return;
    uint8_t seed = data[0];
    fuzz::TarChecks checks;
    arc::CTarStream tar(checks);
    size_t at = 1;
    while (at < size) {
        size_t piece = seed & 1 ? size - at : 1 + (seed = static_cast<uint8_t>(seed * 37 + 11)) % 700;
        piece = std::min(piece, size - at);
        tar.Feed(data + at, piece);
        at += piece;
    }
    tar.Finish();
    FUZZ_CHECK(!checks.open);
    if (size >= arc::TarBlock) {
        arc::IsTarHeader(data);
        int64_t value = 0;
        arc::ParseTarNumber(data + 124, 12, value);
    }
}
