// The gzip header and the inflate path, with a tar stream inside the way a .tar.gz is read.
#include "fuzz/targets/ArchiveSinks.h"

FUZZ_TARGET(gzip)
{
    if (size < 1) return;
    uint8_t seed = data[0];
    ++data;
    --size;
    arc::GzipHeader header;
    if (arc::ParseGzipHeader(data, size, header) == arc::GzipStatus::Ok) {
        FUZZ_CHECK(header.size <= size);
        FUZZ_CHECK(header.name.find('\0') == std::string::npos);
    }
    fuzz::TarChecks checks;
    arc::CGzipContentSink content(checks);
    arc::CGzipDecoder decoder;
    size_t at = 0;
    arc::GzipStatus status = arc::GzipStatus::Ok;
    while (at < size && status == arc::GzipStatus::Ok) {
        size_t piece = seed & 1 ? size - at : 1 + (seed = static_cast<uint8_t>(seed * 37 + 11)) % 300;
        piece = std::min(piece, size - at);
        status = decoder.Feed(data + at, piece, content);
        at += piece;
        if (decoder.Produced() > fuzz::MaxMemberOutput) break;
    }
    if (status == arc::GzipStatus::Ok) decoder.Finish();
    content.Finish();
}
