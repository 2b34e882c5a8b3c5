// gzip headers and trailers around zlib's raw inflate; concatenated members are read in turn.
#include "archive/Gzip.h"
#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace arc {

namespace {
constexpr uint8_t FlagMultiPart = 0x02, FlagExtra = 0x04, FlagName = 0x08, FlagComment = 0x10,
                  FlagEncrypted = 0x20, FlagReserved = 0xC0;
constexpr size_t FixedHeader = 10, TrailerSize = 8, OutChunk = 64 * 1024;
}

GzipStatus ParseGzipHeader(const uint8_t* data, size_t size, GzipHeader& header)
{
    if (size >= 1 && data[0] != 0x1F) return GzipStatus::NotGzip;
    if (size >= 2 && data[1] != 0x8B) return GzipStatus::NotGzip;
    if (size < FixedHeader) return GzipStatus::Truncated;
    if (data[2] != 8) return GzipStatus::BadMethod;
    header.flags = data[3];
    if (header.flags & (FlagMultiPart | FlagExtra | FlagEncrypted | FlagReserved)) return GzipStatus::RefusedFlags;
    header.mtime = Get32(data + 4);
    size_t pos = FixedHeader;
    auto zeroEnded = [&](std::string* out) {
        const uint8_t* end = static_cast<const uint8_t*>(std::memchr(data + pos, 0, size - pos));
        if (!end) return size - pos > CGzipDecoder::MaxHeaderSize ? GzipStatus::BadData : GzipStatus::Truncated;
        if (out) out->assign(reinterpret_cast<const char*>(data + pos), end - (data + pos));
        pos = static_cast<size_t>(end - data) + 1;
        return GzipStatus::Ok;
    };
    header.hasName = (header.flags & FlagName) != 0;
    if (header.hasName) {
        GzipStatus s = zeroEnded(&header.name);
        if (s != GzipStatus::Ok) return s;
    }
    if (header.flags & FlagComment) {
        GzipStatus s = zeroEnded(nullptr);
        if (s != GzipStatus::Ok) return s;
    }
    if (pos > CGzipDecoder::MaxHeaderSize) return GzipStatus::BadData;
    header.size = pos;
    return GzipStatus::Ok;
}

struct CGzipDecoder::Inflater {
    z_stream stream = {};
    bool ready = false;
    uint8_t out[OutChunk];
    Inflater() { ready = inflateInit2(&stream, -MAX_WBITS) == Z_OK; }
    ~Inflater()
    {
        if (ready) inflateEnd(&stream);
    }
};

CGzipDecoder::CGzipDecoder() : inflater(std::make_unique<Inflater>()) {}
CGzipDecoder::~CGzipDecoder() = default;

GzipStatus CGzipDecoder::Fail(GzipStatus status)
{
    state = State::Failed;
    failure = status;
    return status;
}

GzipStatus CGzipDecoder::Feed(const uint8_t* data, size_t size, IDataSink& sink)
{
    if (state == State::Failed) return failure;
    if (!inflater->ready) return Fail(GzipStatus::BadData);
    while (size > 0) {
        switch (state) {
        case State::Done:
            // Another member follows, or the rest is padding the stream does not count.
            if (data[0] != 0x1F) return GzipStatus::Ok;
            state = State::Header;
            [[fallthrough]];
        case State::Header: {
            size_t take = std::min(size, MaxHeaderSize + FixedHeader - pending.size());
            pending.append(reinterpret_cast<const char*>(data), take);
            GzipHeader header;
            GzipStatus s = ParseGzipHeader(reinterpret_cast<const uint8_t*>(pending.data()), pending.size(), header);
            if (s == GzipStatus::Truncated) {
                if (pending.size() >= MaxHeaderSize + FixedHeader) return Fail(GzipStatus::BadData);
                data += take;
                size -= take;
                break;
            }
            if (s != GzipStatus::Ok) return Fail(headerCount > 0 && s == GzipStatus::NotGzip ? GzipStatus::BadData : s);
            if (headerCount++ == 0) first = header;
            size_t used = take - (pending.size() - header.size);
            data += used;
            size -= used;
            pending.clear();
            inflateReset(&inflater->stream);
            crc = 0;
            memberBytes = 0;
            state = State::Body;
            break;
        }
        case State::Body: {
            z_stream& z = inflater->stream;
            z.next_in = const_cast<Bytef*>(data);
            z.avail_in = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
            uInt offered = z.avail_in;
            int result = Z_OK;
            do {
                z.next_out = inflater->out;
                z.avail_out = OutChunk;
                result = inflate(&z, Z_NO_FLUSH);
                if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) return Fail(GzipStatus::BadData);
                size_t got = OutChunk - z.avail_out;
                if (got > 0) {
                    crc = Crc32(crc, inflater->out, got);
                    memberBytes += got;
                    produced += got;
                    if (!sink.Write(inflater->out, got)) return Fail(GzipStatus::Stopped);
                }
            } while (result == Z_OK && (z.avail_in > 0 || z.avail_out == 0));
            size_t used = offered - z.avail_in;
            data += used;
            size -= used;
            if (result == Z_STREAM_END) state = State::Trailer;
            break;
        }
        case State::Trailer: {
            size_t take = std::min(size, TrailerSize - pending.size());
            pending.append(reinterpret_cast<const char*>(data), take);
            data += take;
            size -= take;
            if (pending.size() < TrailerSize) break;
            const auto* t = reinterpret_cast<const uint8_t*>(pending.data());
            // The stored length is only the size modulo 4 GB: it checks, it never informs.
            if (Get32(t) != crc) return Fail(GzipStatus::CrcMismatch);
            if (Get32(t + 4) != static_cast<uint32_t>(memberBytes)) return Fail(GzipStatus::SizeMismatch);
            pending.clear();
            state = State::Done;
            break;
        }
        case State::Failed: return failure;
        }
    }
    return GzipStatus::Ok;
}

GzipStatus CGzipDecoder::Finish()
{
    if (state == State::Failed) return failure;
    if (state == State::Done) return GzipStatus::Ok;
    return Fail(GzipStatus::Truncated);
}

bool CGzipContentSink::Decide()
{
    decided = true;
    isTar = head.size() >= TarBlock && IsTarHeader(reinterpret_cast<const uint8_t*>(head.data()));
    if (isTar) {
        tar.Feed(reinterpret_cast<const uint8_t*>(head.data()), head.size());
    } else {
        single = content.OnSingleFile();
        if (!single) return false;
        if (!head.empty() && !single->Write(reinterpret_cast<const uint8_t*>(head.data()), head.size())) return false;
    }
    head.clear();
    head.shrink_to_fit();
    return true;
}

bool CGzipContentSink::Write(const uint8_t* data, size_t size)
{
    if (!decided) {
        size_t take = std::min(size, TarBlock - head.size());
        head.append(reinterpret_cast<const char*>(data), take);
        data += take;
        size -= take;
        if (head.size() < TarBlock) return true;
        if (!Decide()) return false;
    }
    if (size == 0) return true;
    if (isTar) {
        tar.Feed(data, size);
        return true; // the bytes after the end marker are read too, so the trailer is checked
    }
    return single && single->Write(data, size);
}

void CGzipContentSink::Finish()
{
    if (!decided) Decide();
    if (isTar) tar.Finish();
}

} // namespace arc
