// The decoder fed arbitrary frames, as a damaged or hostile video stream would feed
// it: the input is a run of frames, each a 2-byte big-endian length and its bytes.
// Every frame is decoded and drained as the console drains it; a picture must fit
// the buffer it was given and report a size inside it.
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "protocol/ByteOrder.h"
#include "video/LibavH264Decode.h"

using namespace vantelsor;

namespace {
constexpr size_t kCapacity = 1280 * 1024 * 3 / 2;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto yuv = std::make_unique<uint8_t[]>(kCapacity);
    LibavH264Decode decoder;
    if (!decoder.Open()) std::abort();
    size_t pos = 0;
    while (pos + 2 <= size) {
        size_t length = GetU16(data + pos);
        pos += 2;
        if (length > size - pos) length = size - pos;
        int width = 0, height = 0;
        int result = decoder.Decode(data + pos, static_cast<int>(length), yuv.get(), kCapacity,
                                    &width, &height);
        for (int drained = 0; result == H264Decode::kPicture && drained < 16; ++drained) {
            if (width <= 0 || height <= 0 ||
                static_cast<size_t>(width) * height * 3 / 2 > kCapacity) {
                std::abort();
            }
            result = decoder.Decode(nullptr, 1, yuv.get(), kCapacity, &width, &height);
        }
        pos += length;
    }
    decoder.Close();
    decoder.Close();  // twice is harmless
    return 0;
}
