// The traditional PKWARE encryption of zip members (weak, but what "zip -e" and most tools write).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace zip {

class CZipCrypto {
public:
    explicit CZipCrypto(const std::string& password);
    void Decrypt(uint8_t* data, size_t size);
    void Encrypt(uint8_t* data, size_t size);
    // Decrypts the 12-byte header in place; true when its last byte matches checkByte.
    bool DecryptHeader(uint8_t* header, uint8_t checkByte);

private:
    void Update(uint8_t plain);
    uint8_t KeyByte() const;
    uint32_t keys[3];
};

// The byte the encryption header must end with: the CRC's high byte, or the time's when the
// sizes and CRC follow the data.
uint8_t EncryptionCheckByte(uint16_t flags, uint32_t crc, uint16_t dosTime);

} // namespace zip
