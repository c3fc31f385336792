#include "protocol/InputMessages.h"

#include <algorithm>

#include "protocol/MessageTypes.h"

namespace vantelsor::input {
namespace {

template <size_t N>
void Seal(const SessionKey& key, const std::array<uint8_t, N>& plain, std::array<uint8_t, N>* out,
          uint8_t marker) {
    FieldCipher::SealInputMessage(key.data(), plain.data(), out->data(), static_cast<int>(N),
                                  marker);
}

// Copies a received message into `plain`, deciphering bytes 1..N-2 when it is
// the sealed form; false when there are fewer than N bytes.
template <size_t N>
bool Unseal(const SessionKey& key, const uint8_t* data, int length, bool sealed,
            std::array<uint8_t, N>* plain) {
    if (length < static_cast<int>(N)) return false;
    std::copy(data, data + N, plain->begin());
    if (sealed) {
        FieldCipher::DecryptBlocks(key.data(), plain->data() + 1, plain->data() + 1,
                                   static_cast<int>(N) - 2);
    }
    return true;
}

}  // namespace

uint8_t InputChecksum(const uint8_t* message, int n) {
    uint32_t sum = 0;
    for (int i = 1; i < n - 1; ++i) sum += message[i];
    return static_cast<uint8_t>(sum);
}

void SealKeyMessage(const SessionKey& key, const KeyMessageBytes& plain, KeyMessageBytes* out) {
    Seal(key, plain, out, msg::kKeyboardSealed);
}

void SealMouseMessage(const SessionKey& key, const MouseMessageBytes& plain,
                      MouseMessageBytes* out) {
    Seal(key, plain, out, msg::kMouseSealed);
}

InputVerdict OpenKeyMessage(const SessionKey& key, const uint8_t* data, int length,
                            KeyEventFields* out) {
    if (length < 1 || (data[0] != msg::kKeyboard && data[0] != msg::kKeyboardSealed)) {
        return InputVerdict::kWrongType;
    }
    out->sealed = data[0] == msg::kKeyboardSealed;
    KeyMessageBytes plain;
    if (!Unseal(key, data, length, out->sealed, &plain)) return InputVerdict::kShort;
    std::copy_n(plain.begin() + kKeySet2Offset, kKeySet2Size, out->set2.begin());
    std::copy_n(plain.begin() + kKeyReportOffset, kKeyReportSize, out->report.begin());
    out->checksum = plain[kKeyChecksumOffset];
    if (InputChecksum(plain.data(), kKeyMessageSize) != out->checksum) {
        return InputVerdict::kBadChecksum;
    }
    return InputVerdict::kOk;
}

InputVerdict OpenMouseMessage(const SessionKey& key, const uint8_t* data, int length,
                              MouseEventFields* out) {
    if (length < 1 || (data[0] != msg::kMouse && data[0] != msg::kMouseSealed)) {
        return InputVerdict::kWrongType;
    }
    out->sealed = data[0] == msg::kMouseSealed;
    MouseMessageBytes plain;
    if (!Unseal(key, data, length, out->sealed, &plain)) return InputVerdict::kShort;
    out->status = plain[kMouseStatusOffset];
    out->ps2Dx = static_cast<int8_t>(plain[kMousePs2DxOffset]);
    out->ps2Dy = static_cast<int8_t>(plain[kMousePs2DyOffset]);
    out->ps2Wheel = static_cast<int8_t>(plain[kMousePs2WheelOffset]);
    out->buttons = plain[kMouseHidButtonsOffset];
    out->dx = static_cast<int8_t>(plain[kMouseHidDxOffset]);
    out->dy = static_cast<int8_t>(plain[kMouseHidDyOffset]);
    out->wheel = static_cast<int8_t>(plain[kMouseHidWheelOffset]);
    out->checksum = plain[kMouseChecksumOffset];
    if (InputChecksum(plain.data(), kMouseMessageSize) != out->checksum) {
        return InputVerdict::kBadChecksum;
    }
    return InputVerdict::kOk;
}

bool MouseHalvesAgree(const MouseEventFields& m) {
    // Negation in 8 bits, as the encoder writes it (-(-128) stays -128).
    auto negated = [](int8_t v) { return static_cast<int8_t>(static_cast<uint8_t>(-v)); };
    const bool xNegative = (m.status & kMouseStatusXNegative) != 0;
    const bool yNegative = (m.status & kMouseStatusYNegative) != 0;
    return (m.status & kMouseStatusAlwaysOne) && (m.status & 0xC0) == 0 &&
           (m.status & 7) == m.buttons && (m.buttons & ~7) == 0 && m.ps2Dx == m.dx &&
           m.ps2Dy == negated(m.dy) && m.ps2Wheel == negated(m.wheel) && xNegative == (m.dx < 0) &&
           yNegative == (m.dy > 0);
}

}  // namespace vantelsor::input
