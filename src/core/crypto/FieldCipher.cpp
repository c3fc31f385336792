#include "crypto/FieldCipher.h"

#include <nettle/des.h>

#include <cstring>

namespace vantelsor::FieldCipher {
namespace {

uint8_t ReverseBits(uint8_t b) {
    b = static_cast<uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    b = static_cast<uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
    return b;
}

// The key schedule of `key`. A session uses one key for every field and every
// video fragment, so each thread keeps the schedule of the last key it used
// instead of computing it per call (most of the cost of deciphering 8 bytes).
// nettle's des_set_key returns 0 for the weak and semi-weak keys, but it has
// computed the schedule by then; the device hands out whatever key it likes, so
// the result is deliberately not treated as a failure.
const des_ctx& Schedule(const uint8_t* key) {
    thread_local des_ctx ctx;
    thread_local uint8_t cached[kKeySize];
    thread_local bool valid = false;
    if (!valid || std::memcmp(cached, key, kKeySize) != 0) {
        uint8_t reversed[kKeySize];
        for (int i = 0; i < kKeySize; ++i) reversed[i] = ReverseBits(key[i]);
        des_set_key(&ctx, reversed);
        std::memcpy(cached, key, kKeySize);
        valid = true;
    }
    return ctx;
}

template <typename Fn>
void ForEachBlock(const uint8_t* in, uint8_t* out, int length, Fn fn) {
    const int n = length & 0xFF;
    const int blocks = (n + kBlockSize - 1) / kBlockSize;
    for (int k = 0; k < blocks; ++k) {
        uint8_t block[kBlockSize];
        std::memcpy(block, in + k * kBlockSize, kBlockSize);  // read whole before writing
        fn(out + k * kBlockSize, block);
    }
}

}  // namespace

void EncryptBlocks(const uint8_t* key, const uint8_t* in, uint8_t* out, int length) {
    if ((length & 0xFF) == 0) return;
    const des_ctx& ctx = Schedule(key);
    ForEachBlock(in, out, length, [&](uint8_t* dst, const uint8_t* src) {
        des_encrypt(&ctx, kBlockSize, dst, src);
    });
}

void DecryptBlocks(const uint8_t* key, const uint8_t* in, uint8_t* out, int length) {
    if ((length & 0xFF) == 0) return;
    const des_ctx& ctx = Schedule(key);
    ForEachBlock(in, out, length, [&](uint8_t* dst, const uint8_t* src) {
        des_decrypt(&ctx, kBlockSize, dst, src);
    });
}

void SealInputMessage(const uint8_t* key, const uint8_t* plain, uint8_t* out, int n,
                      uint8_t marker) {
    EncryptBlocks(key, plain + 1, out + 1, n - 2);
    out[0] = marker;
    out[n - 1] = plain[n - 1];
}

}  // namespace vantelsor::FieldCipher
