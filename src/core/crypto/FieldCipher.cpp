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

// nettle's des_set_key returns 0 for the weak and semi-weak keys, but it has
// computed the schedule by then; the device hands out whatever key it likes, so
// the result is deliberately not treated as a failure.
void SetKey(des_ctx* ctx, const uint8_t* key) {
    uint8_t reversed[kKeySize];
    for (int i = 0; i < kKeySize; ++i) reversed[i] = ReverseBits(key[i]);
    des_set_key(ctx, reversed);
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
    des_ctx ctx;
    SetKey(&ctx, key);
    ForEachBlock(in, out, length, [&](uint8_t* dst, const uint8_t* src) {
        des_encrypt(&ctx, kBlockSize, dst, src);
    });
}

void DecryptBlocks(const uint8_t* key, const uint8_t* in, uint8_t* out, int length) {
    if ((length & 0xFF) == 0) return;
    des_ctx ctx;
    SetKey(&ctx, key);
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
