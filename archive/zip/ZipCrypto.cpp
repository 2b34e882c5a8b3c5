// Key schedule and stream of the traditional zip encryption.
#include "archive/zip/ZipCrypto.h"
#include "archive/zip/ZipRecords.h"
#include <zlib.h>

namespace zip {

namespace {
const z_crc_t* Table() { return get_crc_table(); }
uint32_t CrcStep(uint32_t crc, uint8_t b) { return (crc >> 8) ^ static_cast<uint32_t>(Table()[(crc ^ b) & 0xFF]); }
}

CZipCrypto::CZipCrypto(const std::string& password) : keys{0x12345678, 0x23456789, 0x34567890}
{
    for (char c : password) Update(static_cast<uint8_t>(c));
}

void CZipCrypto::Update(uint8_t plain)
{
    keys[0] = CrcStep(keys[0], plain);
    keys[1] = (keys[1] + (keys[0] & 0xFF)) * 134775813u + 1;
    keys[2] = CrcStep(keys[2], static_cast<uint8_t>(keys[1] >> 24));
}

uint8_t CZipCrypto::KeyByte() const
{
    uint32_t t = (keys[2] | 2) & 0xFFFF;
    return static_cast<uint8_t>((t * (t ^ 1)) >> 8);
}

void CZipCrypto::Decrypt(uint8_t* data, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        data[i] ^= KeyByte();
        Update(data[i]);
    }
}

void CZipCrypto::Encrypt(uint8_t* data, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        uint8_t k = KeyByte();
        Update(data[i]);
        data[i] ^= k;
    }
}

bool CZipCrypto::DecryptHeader(uint8_t* header, uint8_t checkByte)
{
    Decrypt(header, EncryptionHeaderSize);
    return header[EncryptionHeaderSize - 1] == checkByte;
}

uint8_t EncryptionCheckByte(uint16_t flags, uint32_t crc, uint16_t dosTime)
{
    return (flags & FlagDataDescriptor) ? static_cast<uint8_t>(dosTime >> 8) : static_cast<uint8_t>(crc >> 24);
}

} // namespace zip
