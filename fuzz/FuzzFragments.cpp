// Whatever arrives on the video port: a run of datagrams, some taken raw from the
// input, some built from a few input bytes so that the ring sees plausible frame
// numbers, indices and marker bits often enough to reach every branch. Frames are
// taken as the view takes them (after a result of 2) and sometimes drained; every
// byte of a frame handed out is read, so an overlong size shows up as an overread.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "protocol/ByteOrder.h"
#include "protocol/VideoDatagram.h"
#include "video/FragmentAssembler.h"

using namespace vantelsor;
namespace vd = videodatagram;

namespace {

constexpr int kMaxFrameBytes = vd::kMaxFragments * vd::kFragmentPayload;

class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    uint16_t U16() { return static_cast<uint16_t>(Byte() << 8 | Byte()); }
    const uint8_t* Take(size_t n, size_t* got) {
        *got = n < size_ - pos_ ? n : size_ - pos_;
        const uint8_t* p = data_ + pos_;
        pos_ += *got;
        return p;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

void Consume(FragmentAssembler& assembler, bool drain) {
    const uint8_t* data = nullptr;
    int size = -1;
    while (assembler.TakeFrame(&data, &size)) {
        if (size < 0 || size > kMaxFrameBytes || data == nullptr) std::abort();
        volatile uint8_t sum = 0;
        for (int i = 0; i < size; ++i) sum = static_cast<uint8_t>(sum + data[i]);
        if (!drain) break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto assembler = std::make_unique<FragmentAssembler>();
    const SessionKey key = {1, 2, 3, 4, 5, 6, 7, 8};
    Input in(data, size);
    uint32_t frame = 0x7FFFFFF0;  // frame numbers near a wrap are reached quickly
    std::vector<uint8_t> datagram;
    for (int count = 0; !in.empty() && count < 4096; ++count) {
        const uint8_t control = in.Byte();
        if (control & 1) {
            // Raw bytes, exactly as long as the input says: nothing past them is readable.
            size_t got = 0;
            const uint8_t* raw = in.Take(in.U16() % 1600, &got);
            datagram.assign(raw, raw + got);
        } else {
            vd::Header header;
            header.marker = (control & 2) != 0;
            frame += static_cast<uint32_t>(static_cast<int8_t>(in.Byte()) / 8);
            if (control & 4) frame += static_cast<uint32_t>(in.U16()) << 16;
            header.frameNumber = frame;
            header.fragmentIndex = in.Byte() % 192;
            const int length = in.U16() % 1408;
            header.payloadLength = static_cast<uint32_t>(length);
            // Sometimes the datagram is cut short of what the header claims.
            const int carried = (control & 8) ? length / 2 : length;
            datagram.assign(static_cast<size_t>(vd::kHeaderSize + carried), control);
            vd::WriteHeader(header, datagram.data());
        }
        const int result =
            assembler->AddFragment(datagram.data(), static_cast<int>(datagram.size()), key);
        if (result != 0 && result != 1 && result != 2 && result != FragmentAssembler::kRejected) {
            std::abort();
        }
        if (result == 2 || (control & 0x30) == 0x30) Consume(*assembler, (control & 0x40) != 0);
    }
    return 0;
}
