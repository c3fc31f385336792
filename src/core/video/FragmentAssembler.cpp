#include "video/FragmentAssembler.h"

#include <cstring>

namespace vantelsor {

namespace vd = videodatagram;

namespace {

// A datagram up to this many frames behind the read position belongs to a frame that
// was already handed out or given up: storing it would hand the decoder a frame
// twice or block the ring behind a frame that can never complete. Anything further
// behind means the device numbers its frames afresh.
constexpr int32_t kLateHorizon = 16;

// Serial-number difference, so that frame numbers may wrap past 2^32 - 1.
int32_t Distance(uint32_t from, uint32_t to) {
    return static_cast<int32_t>(to - from);
}

}  // namespace

FragmentAssembler::FragmentAssembler() {
    // Zeroed once, so no byte of earlier heap contents can reach the decoder.
    for (Slot& slot : slots_) slot.buffer = std::make_unique<uint8_t[]>(kSlotBytes);
}

int FragmentAssembler::AddFragment(uint8_t* datagram, int length, const SessionKey& key) {
    // Everything is checked before anything is deciphered or copied, so a rejected
    // datagram leaves both the ring and the caller's bytes as they were.
    if (datagram == nullptr || length < vd::kHeaderSize) return kRejected;
    const vd::Header header = vd::ReadHeader(datagram);
    if (!vd::HasVideoSignature(header)) return kRejected;
    if (header.fragmentIndex >= kMaxFragments) return kRejected;
    if (header.payloadLength > static_cast<uint32_t>(vd::kFragmentPayload) ||
        header.payloadLength > static_cast<uint32_t>(length - vd::kHeaderSize)) {
        return kRejected;
    }
    uint8_t* payload = datagram + vd::kHeaderSize;
    const uint32_t frame = header.frameNumber;
    const int32_t ahead = Distance(base_, frame);
    const bool late = anchored_ && ahead < 0 && ahead >= -kLateHorizon;

    if (!anchored_ || RingEmpty()) {
        // Nothing in flight: the frame opens at the read position, whatever gap lies
        // before it, so a lost frame never holds up the next one.
        if (late) return kRejected;
        anchored_ = true;
        base_ = frame;
        newest_ = read_;
        return Store(read_, header, payload, key, true);
    }
    if (ahead >= 0 && ahead < kSlotCount) {
        // Slot read_ + k holds frame base_ + k, so frames leave the ring in order.
        const int index = Wrap(read_ + ahead);
        if (ahead > Span()) newest_ = index;
        return Store(index, header, payload, key, !slots_[index].state.inUse);
    }
    if (late) return kRejected;
    // Eight or more frames ahead of the read position (or a numbering restart): the
    // frames in flight cannot all fit with this one, and the oldest has waited a whole
    // window. Give them up and start afresh from this frame.
    Flush();
    base_ = frame;
    newest_ = read_;
    return Store(read_, header, payload, key, true);
}

bool FragmentAssembler::TakeFrame(const uint8_t** data, int* size) {
    Slot& slot = slots_[read_];
    if (!slot.state.complete) return false;
    if (data != nullptr) *data = slot.buffer.get();
    if (size != nullptr) *size = static_cast<int>(slot.state.byteTotal);
    Empty(slot);
    if (newest_ == read_) newest_ = Wrap(newest_ + 1);
    read_ = Wrap(read_ + 1);
    ++base_;
    return true;
}

void FragmentAssembler::Empty(Slot& slot) {
    // The frame number and the buffer's bytes stay: a frame just handed out is still
    // being read from the buffer.
    slot.state.received.reset();
    slot.state.lastIndex = -1;
    slot.state.complete = false;
    slot.state.byteTotal = 0;
    slot.state.inUse = false;
}

void FragmentAssembler::Flush() {
    for (Slot& slot : slots_) {
        Empty(slot);
        slot.state.frameNumber = 0;
    }
}

int FragmentAssembler::Store(int index, const vd::Header& header, uint8_t* payload,
                             const SessionKey& key, bool opened) {
    Slot& slot = slots_[index];
    SlotState& state = slot.state;
    const int fragment = header.fragmentIndex;
    const int length = static_cast<int>(header.payloadLength);

    vd::DecipherPayloadHead(key, payload, length);
    // Index below 187 and length at most 1400: the copy ends by 261,800, inside the slot.
    std::memcpy(slot.buffer.get() + fragment * vd::kFragmentPayload, payload,
                static_cast<size_t>(length));
    if (opened) {
        state.inUse = true;
        state.frameNumber = header.frameNumber;
    }
    // A repeated fragment replaces its earlier copy rather than adding to the total,
    // so the frame's size never outgrows its bytes (nor the buffer).
    if (state.received[fragment]) state.byteTotal -= slot.lengths[fragment];
    state.received.set(fragment);
    slot.lengths[fragment] = static_cast<uint16_t>(length);
    state.byteTotal += static_cast<uint32_t>(length);
    if (header.marker) state.lastIndex = fragment;

    if (!state.complete && state.lastIndex >= 0) {
        // Complete only when every fragment up to the marker is here: the marker
        // alone would hand on stale bytes in place of the missing ones.
        bool all = true;
        for (int i = 0; i <= state.lastIndex && all; ++i) all = state.received[i];
        state.complete = all;
    }
    if (state.complete) return kCompleted;
    return opened ? kOpened : kStored;
}

}  // namespace vantelsor
