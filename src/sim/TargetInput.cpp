#include "sim/TargetInput.h"

#include <algorithm>
#include <cstdio>

#include "input/KeyTables.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::sim {
namespace {

constexpr uint8_t kCtrlAltBits = 0x01 | 0x04 | 0x10 | 0x40;  // left and right Ctrl and Alt
constexpr uint8_t kShiftBits = 0x02 | 0x20;
constexpr uint8_t kNumLockLed = 1, kCapsLockLed = 2, kScrollLockLed = 4;

constexpr uint8_t kUsageA = 0x04, kUsageZ = 0x1D;
constexpr uint8_t kUsageBackspace = 0x2A;
constexpr uint8_t kUsageCapsLock = 0x39, kUsageScrollLock = 0x47, kUsageNumLock = 0x53;

// What the keys of a US keyboard type, by HID usage: unshifted and shifted.
struct Typing {
    uint8_t usage;
    char plain;
    char shifted;
};
constexpr Typing kMainKeys[] = {
    {0x1E, '1', '!'},  {0x1F, '2', '@'}, {0x20, '3', '#'},   {0x21, '4', '$'},   {0x22, '5', '%'},
    {0x23, '6', '^'},  {0x24, '7', '&'}, {0x25, '8', '*'},   {0x26, '9', '('},   {0x27, '0', ')'},
    {0x2C, ' ', ' '},  {0x2D, '-', '_'}, {0x2E, '=', '+'},   {0x2F, '[', '{'},   {0x30, ']', '}'},
    {0x31, '\\', '|'}, {0x33, ';', ':'}, {0x34, '\'', '"'},  {0x35, '`', '~'},   {0x36, ',', '<'},
    {0x37, '.', '>'},  {0x38, '/', '?'}, {0x2B, '\t', '\t'}, {0x28, '\n', '\n'},
};
// The keypad: operators always, digits and the point only with NumLock on.
constexpr Typing kKeypad[] = {
    {0x54, '/', '/'},
    {0x55, '*', '*'},
    {0x56, '-', '-'},
    {0x57, '+', '+'},
};
constexpr char kKeypadDigits[] = "1234567890.";  // usages 0x59..0x63
constexpr uint8_t kKeypadFirst = 0x59, kKeypadLast = 0x63;

std::string HexBytes(const uint8_t* p, size_t n) {
    std::string text;
    char digits[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(digits, sizeof digits, i ? " %02X" : "%02X", p[i]);
        text += digits;
    }
    return text;
}

std::string Quoted(char c) {
    if (c == '\n') return "'\\n'";
    if (c == '\t') return "'\\t'";
    return std::string("'") + c + "'";
}

bool Holds(const input::HidReport& report, uint8_t usage) {
    return std::find(report.begin() + 2, report.end(), usage) != report.end();
}

const char* Verdict(input::InputVerdict v) {
    switch (v) {
        case input::InputVerdict::kShort:
            return ": too short, ignored";
        case input::InputVerdict::kBadChecksum:
            return ": bad checksum, ignored";
        default:
            return ": not an input message, ignored";
    }
}

}  // namespace

TargetInput::TargetInput(int screenWidth, int screenHeight, uint8_t lockLeds)
    : width_(std::max(screenWidth, 1)),
      height_(std::max(screenHeight, 1)),
      lockLeds_(lockLeds & 7) {
    pointer_.x = width_ / 2;
    pointer_.y = height_ / 2;
}

std::string TargetInput::Receive(const SessionKey& key, const uint8_t* message, int length) {
    if (length < 1) return "empty input message";
    const uint8_t type = message[0];
    if (type == msg::kKeyboard || type == msg::kKeyboardSealed) {
        return Keyboard(key, message, length);
    }
    return Mouse(key, message, length);
}

std::string TargetInput::Keyboard(const SessionKey& key, const uint8_t* message, int length) {
    input::KeyEventFields m;
    const input::InputVerdict verdict = input::OpenKeyMessage(key, message, length, &m);
    if (verdict != input::InputVerdict::kOk) return Verdict(verdict);
    const input::HidReport before = report_;
    report_ = m.report;
    std::string text = " set2 " + HexBytes(m.set2.data(), m.set2.size());
    const auto key2 = input::DecodeSet2(m.set2);
    if (!key2) {
        text += " (unknown sequence)";
    } else {
        char what[32];
        std::snprintf(what, sizeof what, " key 0x%02X %s", key2->virtualKey,
                      key2->down ? "down" : "up");
        text += what;
        if (key2->down) text += Press(input::HidTable()[key2->virtualKey], before);
    }
    return text + " report " + HexBytes(report_.data(), report_.size());
}

// A make code types (auto-repeat included) and toggles a lock LED when the
// key was not held before; Ctrl or Alt chords type nothing.
std::string TargetInput::Press(uint8_t usage, const input::HidReport& before) {
    const bool repeat = Holds(before, usage);
    const uint8_t leds = lockLeds_;
    if (usage == kUsageCapsLock && !repeat) lockLeds_ ^= kCapsLockLed;
    if (usage == kUsageNumLock && !repeat) lockLeds_ ^= kNumLockLed;
    if (usage == kUsageScrollLock && !repeat) lockLeds_ ^= kScrollLockLed;
    if (leds != lockLeds_) return " leds " + std::to_string(lockLeds_);
    if (report_[0] & kCtrlAltBits) return "";
    const bool shift = (report_[0] & kShiftBits) != 0;
    if (usage == kUsageBackspace) {
        if (!typed_.empty()) typed_.pop_back();
        return " erased";
    }
    char c = 0;
    if (usage >= kUsageA && usage <= kUsageZ) {
        const bool upper = shift != ((lockLeds_ & kCapsLockLed) != 0);
        c = static_cast<char>((upper ? 'A' : 'a') + (usage - kUsageA));
    } else if (usage >= kKeypadFirst && usage <= kKeypadLast) {
        if (lockLeds_ & kNumLockLed) c = kKeypadDigits[usage - kKeypadFirst];
    } else {
        auto lookUp = [&](const auto& table) {
            for (const Typing& t : table) {
                if (t.usage == usage) c = shift ? t.shifted : t.plain;
            }
        };
        lookUp(kMainKeys);
        lookUp(kKeypad);
    }
    if (!c) return "";
    Type(c);
    return " typed " + Quoted(c);
}

void TargetInput::Type(char c) {
    typed_ += c;
    if (typed_.size() > kMaxTypedText) typed_.erase(0, typed_.size() - kMaxTypedText);
}

std::string TargetInput::Mouse(const SessionKey& key, const uint8_t* message, int length) {
    input::MouseEventFields m;
    const input::InputVerdict verdict = input::OpenMouseMessage(key, message, length, &m);
    if (verdict != input::InputVerdict::kOk) return Verdict(verdict);
    // The target follows the HID half; a PS/2 half that says otherwise is noted.
    pointer_.x = std::clamp(pointer_.x + m.dx, 0, width_ - 1);
    pointer_.y = std::clamp(pointer_.y + m.dy, 0, height_ - 1);
    pointer_.buttons = m.buttons & 7;
    pointer_.wheel += m.wheel;
    char text[96];
    std::snprintf(text, sizeof text, " buttons 0x%02X dx %d dy %d wheel %d -> (%d, %d)", m.buttons,
                  m.dx, m.dy, m.wheel, pointer_.x, pointer_.y);
    return std::string(text) + (input::MouseHalvesAgree(m) ? "" : " (PS/2 half differs)");
}

}  // namespace vantelsor::sim
