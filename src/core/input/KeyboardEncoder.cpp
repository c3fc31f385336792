#include "input/KeyboardEncoder.h"

#include <algorithm>

#include "input/KeyTables.h"
#include "protocol/MessageTypes.h"

namespace vantelsor {
namespace {

constexpr uint8_t kFirstModifier = 0xE0;  // left Ctrl; 0xE0..0xE7 are report byte 0's bits
constexpr uint8_t kLastModifier = 0xE7;
constexpr int kModifierByte = 0;
constexpr int kFirstSlot = 2;  // bytes 2..7 hold the usages of held non-modifier keys
constexpr int kSlotEnd = 8;

}  // namespace

void KeyboardEncoder::Reset() {
    report_.fill(0);
    heldKeys_.fill(0);
    heldCount_ = 0;
}

bool KeyboardEncoder::BuildKeyMessage(int virtualKey, bool down, input::KeyMessageBytes* out,
                                      int* outLength) {
    if (!input::IsKnownKey(virtualKey)) return false;
    const input::Set2Bytes set2 = *input::Set2Sequence(virtualKey, down);
    UpdateReport(input::HidTable()[virtualKey], down);
    UpdateHeldKeys(static_cast<uint8_t>(virtualKey), down);
    out->fill(0);
    (*out)[0] = msg::kKeyboard;
    std::copy(set2.begin(), set2.end(), out->begin() + input::kKeySet2Offset);
    std::copy(report_.begin(), report_.end(), out->begin() + input::kKeyReportOffset);
    Finish(out, outLength);
    return true;
}

bool KeyboardEncoder::BuildReleaseMessage(input::KeyMessageBytes* out, int* outLength) {
    if (heldCount_ == 0) return false;
    const uint8_t first = heldKeys_[0];
    out->fill(0);
    (*out)[0] = msg::kKeyboard;
    // Every key that enters the list is in the table, so it has a release sequence.
    const input::Set2Bytes set2 = input::Set2Sequence(first, false).value_or(input::Set2Bytes{});
    std::copy(set2.begin(), set2.end(), out->begin() + input::kKeySet2Offset);
    std::copy(heldKeys_.begin() + 1, heldKeys_.begin() + heldCount_, heldKeys_.begin());
    heldKeys_[--heldCount_] = 0;
    Finish(out, outLength);
    return true;
}

void KeyboardEncoder::Finish(input::KeyMessageBytes* out, int* outLength) {
    (*out)[input::kKeyChecksumOffset] = input::InputChecksum(out->data(), input::kKeyMessageSize);
    *outLength = input::kKeyMessageSize;
}

void KeyboardEncoder::UpdateReport(uint8_t usage, bool down) {
    if (usage >= kFirstModifier && usage <= kLastModifier) {
        const uint8_t bit = static_cast<uint8_t>(1u << (usage - kFirstModifier));
        report_[kModifierByte] = down ? (report_[kModifierByte] | bit)
                                      : static_cast<uint8_t>(report_[kModifierByte] & ~bit);
        return;
    }
    if (down) {
        // Already held: nothing; otherwise the first free slot; all six taken: not added.
        for (int i = kFirstSlot; i < kSlotEnd; ++i) {
            if (report_[i] == usage) return;
            if (report_[i] == 0) {
                report_[i] = usage;
                return;
            }
        }
        return;
    }
    for (int i = kFirstSlot; i < kSlotEnd && report_[i] != 0; ++i) {
        if (report_[i] != usage) continue;
        std::copy(report_.begin() + i + 1, report_.end(), report_.begin() + i);
        report_[kSlotEnd - 1] = 0;
        return;
    }
}

void KeyboardEncoder::UpdateHeldKeys(uint8_t virtualKey, bool down) {
    auto* end = heldKeys_.begin() + heldCount_;
    auto* found = std::find(heldKeys_.begin(), end, virtualKey);
    if (down) {
        if (found == end && heldCount_ < kMaxHeldKeys) heldKeys_[heldCount_++] = virtualKey;
        return;
    }
    if (found == end) return;
    std::copy(found + 1, end, found);
    heldKeys_[--heldCount_] = 0;
}

}  // namespace vantelsor
