// DES in electronic-codebook fashion over whole 8-byte blocks, with each key byte
// read in reversed bit order (the device's convention: bit 0x80 of every key byte
// is the one the key schedule ignores). Stateless: every call derives its own key
// schedule, so any thread may call at any time.
#pragma once

#include <array>
#include <cstdint>

namespace vantelsor {

// The 8-byte key the device hands out at login; every enciphered field uses it.
using SessionKey = std::array<uint8_t, 8>;

}  // namespace vantelsor

namespace vantelsor::FieldCipher {

inline constexpr int kKeySize = 8;
inline constexpr int kBlockSize = 8;

// Processes ceil((length & 0xFF) / 8) blocks from `in` to `out`; a trailing partial
// block is processed whole, so both buffers must hold that many whole blocks.
// Length 0 (and so 256) does nothing. `in` and `out` may be the same buffer.
void EncryptBlocks(const uint8_t* key, const uint8_t* in, uint8_t* out, int length);
void DecryptBlocks(const uint8_t* key, const uint8_t* in, uint8_t* out, int length);

// Enciphers an input-event message of n bytes: out[0] = marker, bytes 1..n-2
// enciphered, the checksum byte out[n-1] copied plain. n - 2 must be a multiple of 8.
void SealInputMessage(const uint8_t* key, const uint8_t* plain, uint8_t* out, int n,
                      uint8_t marker);

}  // namespace vantelsor::FieldCipher
