#include "input/MouseEncoder.h"

#include "protocol/MessageTypes.h"

namespace vantelsor {
namespace {

uint8_t Low8(int v) {
    return static_cast<uint8_t>(v);
}

}  // namespace

uint8_t MouseEncoder::ApplyFlags(uint8_t state, uint32_t flags) {
    if (flags & kLeftDown) state |= 0x01;
    if (flags & kLeftUp) state &= ~0x01;
    if (flags & kRightDown) state |= 0x02;
    if (flags & kRightUp) state &= ~0x02;
    if (flags & kMiddleDown) state |= 0x04;
    if (flags & kMiddleUp) state &= ~0x04;
    return state;
}

bool MouseEncoder::BuildMouseMessage(uint32_t flags, int dx, int dy, int8_t wheel,
                                     input::MouseMessageBytes* out, int* outLength) {
    if (wheel < kWheelMin || wheel > kWheelMax) return false;
    const uint8_t held = ApplyFlags(buttons_, flags);
    uint8_t status = held | input::kMouseStatusAlwaysOne;
    if (dx < 0) status |= input::kMouseStatusXNegative;
    if (-dy < 0) status |= input::kMouseStatusYNegative;  // PS/2 counts upward
    buttons_ = held & 7;
    auto& m = *out;
    m[0] = msg::kMouse;
    m[input::kMouseStatusOffset] = status;
    m[input::kMousePs2DxOffset] = Low8(dx);
    m[input::kMousePs2DyOffset] = Low8(-dy);
    m[input::kMousePs2WheelOffset] = Low8(-wheel);
    m[input::kMouseHidButtonsOffset] = held;
    m[input::kMouseHidDxOffset] = Low8(dx);
    m[input::kMouseHidDyOffset] = Low8(dy);
    m[input::kMouseHidWheelOffset] = Low8(wheel);
    m[input::kMouseChecksumOffset] = input::InputChecksum(m.data(), input::kMouseMessageSize);
    *outLength = input::kMouseMessageSize;
    return true;
}

}  // namespace vantelsor
