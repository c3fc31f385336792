// Puts the fragments of each H.264 frame back together in eight slots used as a ring,
// tolerating loss, duplication, late and out-of-order datagrams within a window of
// eight frames, and hands complete frames out oldest first.
//
// Window: slot (read position + k) holds frame (frame at the read position + k), k < 8.
// A frame eight or more ahead of the read position, or far outside the window (the
// device numbering afresh), gives up every frame in flight and starts the window anew;
// a frame up to 16 behind the read position was already handed out or given up and is
// rejected. When nothing is in flight, any other frame opens at the read position.
// A frame that completes behind an incomplete one waits for it, so several frames may
// be ready at once: TakeFrame hands out one per call.
//
// Threads: AddFragment and TakeFrame run on the UDP receive thread only; construction
// and destruction happen while nothing is receiving. There is no lock.
// Ownership: the assembler owns eight 262,144-byte frame buffers, allocated once at
// construction; storing a fragment copies it and allocates nothing. A frame handed out
// by TakeFrame is a pointer into its slot and stays valid until AddFragment reuses it.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>

#include "protocol/VideoDatagram.h"

namespace vantelsor {

class FragmentAssembler {
  public:
    static constexpr int kSlotCount = 8;
    static constexpr int kSlotBytes = 0x40000;
    static constexpr int kMaxFragments = videodatagram::kMaxFragments;

    // AddFragment results.
    static constexpr int kRejected = 255;  // nothing changed
    static constexpr int kStored = 0;      // into a frame under way, not yet complete
    static constexpr int kOpened = 1;      // first fragment of a new frame, not complete
    static constexpr int kCompleted = 2;   // the frame is now complete

    // What one slot holds, for diagnostics and tests.
    struct SlotState {
        bool inUse = false;
        bool complete = false;
        uint32_t frameNumber = 0;
        int32_t lastIndex = -1;  // index of the marker fragment, -1 until it arrives
        uint32_t byteTotal = 0;  // sum of the stored fragments' payload lengths
        std::bitset<kMaxFragments> received;
        bool operator==(const SlotState&) const = default;
    };

    FragmentAssembler();
    FragmentAssembler(const FragmentAssembler&) = delete;
    FragmentAssembler& operator=(const FragmentAssembler&) = delete;

    // Stores one video datagram of `length` bytes. The first 8 payload bytes are
    // deciphered in place (with `key`, the session key) when the fragment is stored
    // and the payload has at least 8 bytes. A datagram that is not a well-formed
    // video fragment (bad signature, shorter than its header, payload length beyond
    // the bytes received or above 1400, fragment index 187 or more), or one of a
    // frame already handed out or discarded, is rejected with kRejected and neither
    // the assembler nor the datagram changes.
    int AddFragment(uint8_t* datagram, int length, const SessionKey& key);

    // If the frame at the read position is complete: sets *data and *size (either may
    // be null), frees its slot, moves the read position on and returns true. Otherwise
    // returns false and changes nothing.
    bool TakeFrame(const uint8_t** data, int* size);

    int readIndex() const { return read_; }
    int newestIndex() const { return newest_; }
    const SlotState& slotState(int index) const { return slots_[index].state; }
    const uint8_t* slotBuffer(int index) const { return slots_[index].buffer.get(); }

  private:
    struct Slot {
        SlotState state;
        std::array<uint16_t, kMaxFragments> lengths{};  // payload length per received fragment
        std::unique_ptr<uint8_t[]> buffer;
    };

    static int Wrap(int index) { return index & (kSlotCount - 1); }
    int Span() const { return Wrap(newest_ - read_); }
    bool RingEmpty() const { return newest_ == read_ && !slots_[read_].state.inUse; }

    void Empty(Slot& slot);
    void Flush();
    int Store(int index, const videodatagram::Header& header, uint8_t* payload,
              const SessionKey& key, bool opened);

    std::array<Slot, kSlotCount> slots_;
    int read_ = 0;           // slot whose frame is handed out next
    int newest_ = 0;         // slot of the newest frame
    uint32_t base_ = 0;      // frame number that belongs in slot read_
    bool anchored_ = false;  // base_ is meaningful (a fragment has been stored)
};

}  // namespace vantelsor
