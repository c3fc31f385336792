// The cost of one field-cipher call as the protocol makes it: 16 bytes (a login
// field or a keyboard message), key schedule included.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "crypto/FieldCipher.h"

namespace {

void BM_EncryptBlocks16(benchmark::State& state) {
    const vantelsor::SessionKey key = {0x3A, 0x91, 0x5C, 0x07, 0xE4, 0x28, 0xBD, 0x66};
    std::array<uint8_t, 16> data{};
    for (auto _ : state) {
        vantelsor::FieldCipher::EncryptBlocks(key.data(), data.data(), data.data(), 16);
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_EncryptBlocks16);

void BM_DecryptBlocks8(benchmark::State& state) {  // the head of every video fragment
    const vantelsor::SessionKey key = {0x3A, 0x91, 0x5C, 0x07, 0xE4, 0x28, 0xBD, 0x66};
    std::array<uint8_t, 8> data{};  // one cipher block
    for (auto _ : state) {
        vantelsor::FieldCipher::DecryptBlocks(key.data(), data.data(), data.data(), 8);
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_DecryptBlocks8);

}  // namespace
