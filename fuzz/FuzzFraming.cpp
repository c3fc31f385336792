// The control stream cut at arbitrary read boundaries: the first bytes of the
// input choose the read sizes, the rest is the stream. Checks that every byte
// comes out exactly once, in order, in messages of the right length, and that
// no read can go past the 64 KB buffer.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "net/MessageFraming.h"

namespace {
constexpr int kBufferSize = 65536;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const size_t sizes = data[0] % 8 + 1;  // how many read-size bytes follow
    if (size < 1 + sizes) return 0;
    const uint8_t* reads = data + 1;
    const uint8_t* stream = data + 1 + sizes;
    const size_t streamSize = size - 1 - sizes;

    static std::vector<uint8_t> buffer(kBufferSize);
    vantelsor::FramingState state;
    int64_t announcedSkip = 0;  // data of oversized log replies, dropped by the cutter
    int pending = 0;
    std::vector<uint8_t> out;
    size_t offset = 0;
    for (size_t r = 0; offset < streamSize; ++r) {
        // Read sizes 1..2048 times a factor, always bounded by the free space.
        size_t want = (reads[r % sizes] + 1) * (1 + (r % 3) * 64);
        want = std::min({want, streamSize - offset, static_cast<size_t>(kBufferSize - pending)});
        Check(want > 0);
        std::memcpy(buffer.data() + pending, stream + offset, want);
        offset += want;
        pending = vantelsor::CutMessages(
            buffer.data(), pending + static_cast<int>(want), state, [&](const uint8_t* m, int n) {
                Check(n >= 1);
                Check(m >= buffer.data() && m + n <= buffer.data() + kBufferSize);
                const int fixed = vantelsor::MessageLength(m[0], 1 << 30);
                Check(fixed == (1 << 30) || fixed == n);
                const int64_t framed = vantelsor::FramedLength(m, n);
                if (framed > kBufferSize) {
                    Check(m[0] == 0xAB && n == 6);
                    announcedSkip += framed - n;
                } else if (m[0] == 0xAB || m[0] == 0xA8) {
                    Check(framed == n);  // self-sized replies arrive whole
                }
                out.insert(out.end(), m, m + n);
            });
        Check(pending >= 0 && pending < kBufferSize);
    }
    // Everything delivered, dropped and still pending is the stream, in order.
    const int64_t skipped = announcedSkip - state.skip;
    Check(static_cast<int64_t>(out.size()) + skipped + pending == static_cast<int64_t>(streamSize));
    if (announcedSkip == 0) {
        Check(out.empty() || std::memcmp(out.data(), stream, out.size()) == 0);
        Check(std::memcmp(buffer.data(), stream + out.size(), pending) == 0);
    }
    return 0;
}
