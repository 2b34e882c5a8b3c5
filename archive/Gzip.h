// The gzip reader: header fields and a decoder fed in pieces (RFC 1952 over zlib's inflate).
#pragma once
#include "archive/ByteSource.h"
#include "archive/Tar.h"
#include <cstdint>
#include <memory>
#include <string>

namespace arc {

enum class GzipStatus {
    Ok,
    NotGzip,       // no 0x1F 0x8B
    BadMethod,     // not deflate
    RefusedFlags,  // multi-part (0x02), extra field (0x04), encrypted (0x20) or a reserved bit
    BadData,       // the deflate stream is broken, or a header field runs past its bound
    CrcMismatch,
    SizeMismatch,  // the trailer's length (modulo 4 GB) differs from what came out
    Truncated,     // the input ended before the trailer
    Stopped,       // the receiver wanted no more
};

struct GzipHeader {
    uint8_t flags = 0;
    uint32_t mtime = 0; // seconds since 1970, UTC; 0 when the writer gave none
    bool hasName = false;
    std::string name;   // ISO 8859-1 as RFC 1952 says
    size_t size = 0;    // bytes the header takes
};

// The header at the start of data: Ok, Truncated when more bytes are needed, or the refusal.
GzipStatus ParseGzipHeader(const uint8_t* data, size_t size, GzipHeader& header);

// Inflates one gzip stream (concatenated members included) into a sink, checking every trailer.
class CGzipDecoder {
public:
    CGzipDecoder();
    ~CGzipDecoder();
    CGzipDecoder(const CGzipDecoder&) = delete;
    CGzipDecoder& operator=(const CGzipDecoder&) = delete;

    // The next compressed piece; Ok while everything is in order.
    GzipStatus Feed(const uint8_t* data, size_t size, IDataSink& sink);
    // After the last piece: Ok when the stream ended with a good trailer.
    GzipStatus Finish();
    const GzipHeader& FirstHeader() const { return first; }
    bool HasFirstHeader() const { return headerCount > 0; }
    uint64_t Produced() const { return produced; }

    static constexpr size_t MaxHeaderSize = 64 * 1024;

private:
    enum class State { Header, Body, Trailer, Done, Failed };
    GzipStatus Fail(GzipStatus status);

    struct Inflater;
    std::unique_ptr<Inflater> inflater;
    State state = State::Header;
    GzipStatus failure = GzipStatus::Ok;
    std::string pending; // header or trailer bytes collected across pieces
    GzipHeader first;
    int headerCount = 0;
    uint32_t crc = 0;
    uint64_t memberBytes = 0;
    uint64_t produced = 0;
};

// Sorts inflated gzip output: a tar stream goes to the tar reader, anything else is one file.
class IGzipContent : public ITarListener {
public:
    // The content is not a tar stream; the sink for it, or null when it is not wanted.
    virtual IDataSink* OnSingleFile() = 0;
};

class CGzipContentSink : public IDataSink {
public:
    explicit CGzipContentSink(IGzipContent& content) : content(content), tar(content) {}
    bool Write(const uint8_t* data, size_t size) override;
    // The stream is over: content shorter than a tar header is decided now.
    void Finish();
    bool IsTar() const { return decided && isTar; }
    bool Decided() const { return decided; }
    CTarStream& Tar() { return tar; }

private:
    bool Decide();
    IGzipContent& content;
    CTarStream tar;
    std::string head;
    bool decided = false, isTar = false;
    IDataSink* single = nullptr;
};

} // namespace arc
