// Writers of test archives, kept apart from the program's readers so that each checks the other.
#include "archive/ArchiveBytes.h"
#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <zlib.h>

namespace test {

void Le16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Le32(std::string& out, uint32_t v)
{
    Le16(out, v & 0xFFFF);
    Le16(out, v >> 16);
}
void Le64(std::string& out, uint64_t v)
{
    Le32(out, static_cast<uint32_t>(v));
    Le32(out, static_cast<uint32_t>(v >> 32));
}

uint32_t CrcOf(const std::string& data)
{
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

std::string Deflate(const std::string& data)
{
    z_stream z = {};
    deflateInit2(&z, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 16, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// ---- tar
namespace {
void PutOctal(char* field, size_t length, uint64_t value)
{
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + (value & 7)));
        value >>= 3;
    } while (value);
    while (digits.size() < length - 1) digits.insert(digits.begin(), '0');
    std::memcpy(field, digits.data(), std::min(digits.size(), length - 1));
    field[length - 1] = '\0';
}

std::string Padded(const std::string& data)
{
    return data + std::string((512 - data.size() % 512) % 512, '\0');
}
}

std::string TarHeader(const TarFields& f)
{
    char h[512] = {};
    std::memcpy(h, f.name.data(), std::min<size_t>(f.name.size(), 100));
    PutOctal(h + 100, 8, 0644);
    PutOctal(h + 108, 8, 1000);
    PutOctal(h + 116, 8, 1000);
    if (f.base256Size) {
        h[124] = static_cast<char>(0x80);
        for (int i = 0; i < 8; ++i) h[135 - i] = static_cast<char>((f.size >> (8 * i)) & 0xFF);
    } else {
        PutOctal(h + 124, 12, f.size);
    }
    PutOctal(h + 136, 12, static_cast<uint64_t>(f.mtime));
    h[156] = f.type;
    std::memcpy(h + 157, f.linkName.data(), std::min<size_t>(f.linkName.size(), 100));
    if (f.gnuMagic) std::memcpy(h + 257, "ustar  \0", 8);
    else if (f.ustar) std::memcpy(h + 257, "ustar\0" "00", 8);
    std::memcpy(h + 265, "user", 4);
    std::memcpy(h + 297, "group", 5);
    if (f.ustar && !f.gnuMagic) std::memcpy(h + 345, f.prefix.data(), std::min<size_t>(f.prefix.size(), 155));
    std::memset(h + 148, ' ', 8);
    unsigned sum = 0;
    for (unsigned char c : h) sum += c;
    PutOctal(h + 148, 7, sum + static_cast<unsigned>(f.checksumDelta));
    h[155] = ' ';
    return std::string(h, 512);
}

std::string TarMember(const std::string& name, const std::string& data, char type)
{
    TarFields f;
    f.name = name;
    f.size = data.size();
    f.type = type;
    return TarHeader(f) + Padded(data);
}

std::string TarPax(const std::map<std::string, std::string>& records, char type)
{
    std::string body;
    for (const auto& [key, value] : records) {
        size_t length = key.size() + value.size() + 3;
        size_t digits = std::to_string(length).size();
        while (std::to_string(length + digits).size() != digits) ++digits;
        length += digits;
        body += std::to_string(length) + " " + key + "=" + value + "\n";
    }
    TarFields f;
    f.name = "PaxHeaders/member";
    f.size = body.size();
    f.type = type;
    return TarHeader(f) + Padded(body);
}

std::string TarGnuLong(const std::string& value, char type)
{
    TarFields f;
    f.name = "././@LongLink";
    f.size = value.size() + 1;
    f.type = type;
    f.gnuMagic = true;
    return TarHeader(f) + Padded(value + std::string(1, '\0'));
}

std::string TarEnd() { return std::string(1024, '\0'); }

// ---- gzip
std::string Gzip(const std::string& data, uint8_t flags, const std::string& name, uint32_t mtime)
{
    std::string out = "\x1F\x8B\x08";
    out += static_cast<char>(flags);
    Le32(out, mtime);
    out += '\0';
    out += '\x03';
    if (flags & 0x04) {
        Le16(out, 4);
        out += "abcd";
    }
    if (flags & 0x08) out += name + std::string(1, '\0');
    if (flags & 0x10) out += std::string("a comment") + std::string(1, '\0');
    if (flags & 0x02) Le16(out, CrcOf(out) & 0xFFFF);
    out += Deflate(data);
    Le32(out, CrcOf(data));
    Le32(out, static_cast<uint32_t>(data.size()));
    return out;
}

// ---- zip
namespace {
struct Cipher {
    uint32_t k[3] = {0x12345678, 0x23456789, 0x34567890};
    static uint32_t Step(uint32_t crc, uint8_t b) { return (crc >> 8) ^ static_cast<uint32_t>(get_crc_table()[(crc ^ b) & 0xFF]); }
    void Update(uint8_t c)
    {
        k[0] = Step(k[0], c);
        k[1] = (k[1] + (k[0] & 0xFF)) * 134775813u + 1;
        k[2] = Step(k[2], static_cast<uint8_t>(k[1] >> 24));
    }
    uint8_t Next() const
    {
        // Unsigned: two 16-bit values promoted to int would overflow.
        uint32_t t = static_cast<uint16_t>(k[2] | 2);
        return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
    }
    std::string Encrypt(const std::string& plain)
    {
        std::string out = plain;
        for (char& c : out) {
            uint8_t p = static_cast<uint8_t>(c);
            c = static_cast<char>(p ^ Next());
            Update(p);
        }
        return out;
    }
};
}

std::string Zip(const std::vector<ZipFields>& members, bool zip64)
{
    std::string out, central;
    for (const ZipFields& m : members) {
        uint32_t crc = CrcOf(m.data);
        std::string payload = m.method == 8 ? Deflate(m.data) : m.data;
        uint16_t flags = m.flags;
        if (!m.password.empty()) {
            flags |= 1;
            Cipher cipher;
            for (char c : m.password) cipher.Update(static_cast<uint8_t>(c));
            std::string header = "0123456789a";
            header += static_cast<char>((flags & 8) ? (m.dosTime >> 8) : (crc >> 24));
            payload = cipher.Encrypt(header + payload);
        }
        uint64_t offset = out.size();
        Le32(out, 0x04034B50);
        Le16(out, 20);
        Le16(out, flags);
        Le16(out, m.method);
        Le16(out, m.dosTime);
        Le16(out, m.dosDate);
        Le32(out, crc);
        Le32(out, static_cast<uint32_t>(payload.size()));
        Le32(out, static_cast<uint32_t>(m.data.size()));
        Le16(out, static_cast<uint32_t>(m.name.size()));
        Le16(out, 0);
        out += m.name + payload;

        uint64_t size = m.claimedSize >= 0 ? static_cast<uint64_t>(m.claimedSize) : m.data.size();
        uint64_t at = m.claimedOffset >= 0 ? static_cast<uint64_t>(m.claimedOffset) : offset;
        std::string extra = m.centralExtra;
        if (zip64) {
            std::string block;
            Le64(block, size);
            Le64(block, payload.size());
            Le64(block, at);
            std::string head;
            Le16(head, 1);
            Le16(head, static_cast<uint32_t>(block.size()));
            extra = head + block + extra;
        }
        Le32(central, 0x02014B50);
        Le16(central, m.versionMadeBy);
        Le16(central, zip64 ? 45 : 20);
        Le16(central, flags);
        Le16(central, m.method);
        Le16(central, m.dosTime);
        Le16(central, m.dosDate);
        Le32(central, crc + m.crcDelta);
        Le32(central, zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(payload.size()));
        Le32(central, zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(size));
        Le16(central, static_cast<uint32_t>(m.name.size()));
        Le16(central, static_cast<uint32_t>(extra.size()));
        Le16(central, 0);
        Le16(central, 0);
        Le16(central, 0);
        Le32(central, m.externalAttributes);
        Le32(central, zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(at));
        central += m.name + extra;
    }
    uint64_t directoryOffset = out.size();
    out += central;
    if (zip64) {
        uint64_t endOffset = out.size();
        Le32(out, 0x06064B50);
        Le64(out, 44);
        Le16(out, 45);
        Le16(out, 45);
        Le32(out, 0);
        Le32(out, 0);
        Le64(out, members.size());
        Le64(out, members.size());
        Le64(out, central.size());
        Le64(out, directoryOffset);
        Le32(out, 0x07064B50);
        Le32(out, 0);
        Le64(out, endOffset);
        Le32(out, 1);
    }
    Le32(out, 0x06054B50);
    Le16(out, 0);
    Le16(out, 0);
    Le16(out, zip64 ? 0xFFFF : static_cast<uint32_t>(members.size()));
    Le16(out, zip64 ? 0xFFFF : static_cast<uint32_t>(members.size()));
    Le32(out, zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(central.size()));
    Le32(out, zip64 ? 0xFFFFFFFF : static_cast<uint32_t>(directoryOffset));
    Le16(out, 0);
    return out;
}

// ---- rar
std::string EncodeRarName(const std::string& plain, const std::wstring& name)
{
    uint8_t high = 0;
    for (wchar_t c : name)
        if (c >> 8) {
            high = static_cast<uint8_t>(c >> 8);
            break;
        }
    std::string out(1, static_cast<char>(high));
    size_t flagAt = 0;
    int slot = 4;
    auto op = [&](int mode, const std::string& data) {
        if (slot == 4) {
            flagAt = out.size();
            out += '\0';
            slot = 0;
        }
        out[flagAt] = static_cast<char>(static_cast<uint8_t>(out[flagAt]) | mode << (6 - 2 * slot));
        ++slot;
        out += data;
    };
    size_t i = 0;
    while (i < name.size()) {
        auto plainAt = [&](size_t k) { return k < plain.size() ? static_cast<uint8_t>(plain[k]) : 0; };
        // A run copied from the plain name, or shifted into the high page by one correction.
        size_t run = 0;
        while (i + run < name.size() && i + run < plain.size() && name[i + run] == plainAt(i + run) && run < 129) ++run;
        if (run >= 2) {
            op(3, std::string(1, static_cast<char>(run - 2)));
            i += run;
            continue;
        }
        uint8_t correction = static_cast<uint8_t>((name[i] & 0xFF) - plainAt(i));
        run = 0;
        while (i + run < name.size() && i + run < plain.size() && (name[i + run] >> 8) == high && high &&
               static_cast<uint8_t>((name[i + run] & 0xFF) - plainAt(i + run)) == correction && run < 129)
            ++run;
        if (run >= 2) {
            std::string data;
            data += static_cast<char>(0x80 | (run - 2));
            data += static_cast<char>(correction);
            op(3, data);
            i += run;
            continue;
        }
        wchar_t c = name[i++];
        if ((c >> 8) == 0) op(0, std::string(1, static_cast<char>(c)));
        else if ((c >> 8) == high) op(1, std::string(1, static_cast<char>(c & 0xFF)));
        else op(2, std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});
    }
    return out;
}

namespace {
std::string Rar4Block(uint8_t type, uint16_t flags, const std::string& body)
{
    std::string block;
    block += static_cast<char>(type);
    Le16(block, flags);
    Le16(block, static_cast<uint32_t>(body.size() + 7));
    block += body;
    std::string out;
    Le16(out, CrcOf(block) & 0xFFFF);
    return out + block;
}

void Vint(std::string& out, uint64_t v)
{
    do {
        uint8_t b = v & 0x7F;
        v >>= 7;
        out += static_cast<char>(b | (v ? 0x80 : 0));
    } while (v);
}

std::string Rar5Block(const std::string& fields)
{
    std::string size;
    Vint(size, fields.size());
    std::string out;
    Le32(out, CrcOf(size + fields));
    return out + size + fields;
}
}

std::string Rar4(const std::vector<RarFields>& members, bool encryptedHeaders)
{
    std::string out("Rar!\x1A\x07\x00", 7);
    out += Rar4Block(0x73, encryptedHeaders ? 0x0080 : 0, std::string(6, '\0'));
    for (const RarFields& m : members) {
        std::string name = m.name;
        uint16_t flags = 0x8000;
        if (!m.unicodeName.empty()) {
            name += std::string(1, '\0') + EncodeRarName(m.name, m.unicodeName);
            flags |= 0x0200;
        }
        if (m.directory) flags |= 0x00E0;
        if (m.encrypted) flags |= 0x0004;
        std::string body;
        Le32(body, static_cast<uint32_t>(m.data.size()));
        Le32(body, static_cast<uint32_t>(m.data.size()));
        body += '\x02';
        Le32(body, CrcOf(m.data) + static_cast<uint32_t>(m.crcDelta));
        Le32(body, m.dosTime);
        body += '\x1D';
        body += m.compressed ? '\x33' : '\x30';
        Le16(body, static_cast<uint32_t>(name.size()));
        Le32(body, m.directory ? 0x10 : 0x20);
        body += name;
        out += Rar4Block(0x74, flags, body) + m.data;
    }
    out += Rar4Block(0x7B, 0x4000, "");
    return out;
}

std::string Rar5(const std::vector<RarFields>& members)
{
    std::string out("Rar!\x1A\x07\x01\x00", 8);
    std::string main;
    Vint(main, 1); // main header
    Vint(main, 0);
    Vint(main, 0); // archive flags
    out += Rar5Block(main);
    for (const RarFields& m : members) {
        std::string extra;
        if (m.encrypted) {
            std::string record;
            Vint(record, 1); // file encryption
            record += std::string(8, '\x01');
            Vint(extra, record.size());
            extra += record;
        }
        std::string fields;
        Vint(fields, 2); // file header
        Vint(fields, 0x02 | (extra.empty() ? 0 : 0x01));
        if (!extra.empty()) Vint(fields, extra.size());
        Vint(fields, m.data.size());
        Vint(fields, (m.directory ? 1 : 0) | 2 | 4);
        Vint(fields, m.data.size());
        Vint(fields, m.directory ? 0x10 : 0x20);
        Le32(fields, m.unixTime);
        Le32(fields, CrcOf(m.data) + static_cast<uint32_t>(m.crcDelta));
        Vint(fields, m.compressed ? (3u << 7) : 0);
        Vint(fields, 0); // Windows
        Vint(fields, m.name.size());
        fields += m.name + extra;
        out += Rar5Block(fields) + m.data;
    }
    std::string end;
    Vint(end, 5);
    Vint(end, 0);
    Vint(end, 0);
    out += Rar5Block(end);
    return out;
}

int64_t CSparseSource::ReadAt(uint64_t offset, void* buffer, size_t count)
{
    if (offset >= size) return 0;
    count = static_cast<size_t>(std::min<uint64_t>(count, size - offset));
    auto* out = static_cast<uint8_t*>(buffer);
    std::memset(out, 0, count);
    for (const auto& [at, bytes] : pieces) {
        uint64_t from = std::max(at, offset), to = std::min(at + bytes.size(), offset + count);
        if (from < to) std::memcpy(out + (from - offset), bytes.data() + (from - at), static_cast<size_t>(to - from));
    }
    return static_cast<int64_t>(count);
}

bool CCollectSink::Write(const uint8_t* data, size_t size)
{
    size_t room = refuseAfter - std::min(refuseAfter, bytes.size());
    bytes.append(reinterpret_cast<const char*>(data), std::min(room, size));
    return size <= room;
}

} // namespace test
