#include "input/KeyTables.h"

#include <initializer_list>

#include "input/VirtualKeys.h"

namespace vantelsor::input {
namespace {

constexpr uint8_t kExtended = 0x80;  // an E0-prefixed key in the set 2 table
constexpr uint8_t kPrefixE0 = 0xE0;
constexpr uint8_t kBreakPrefix = 0xF0;
constexpr uint8_t kF7Make = 0x83;
constexpr Set2Bytes kPauseMake = {0xE1, 0x14, 0x77, 0xE1, 0xF0, 0x14, 0xF0, 0x77};

struct Row {
    int virtualKey;
    uint8_t set2;  // make code, kExtended | code for E0 code
    uint8_t hid;
};

// Runs of consecutive virtual keys.
struct Run {
    int firstKey;
    std::initializer_list<uint8_t> set2;
    std::initializer_list<uint8_t> hid;
};

constexpr uint8_t E0(uint8_t code) {
    return kExtended | code;
}

const Run kRuns[] = {
    {'A',
     {0x1C, 0x32, 0x21, 0x23, 0x24, 0x2B, 0x34, 0x33, 0x43, 0x3B, 0x42, 0x4B, 0x3A,
      0x31, 0x44, 0x4D, 0x15, 0x2D, 0x1B, 0x2C, 0x3C, 0x2A, 0x1D, 0x22, 0x35, 0x1A},
     {0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10,
      0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1B, 0x1C, 0x1D}},
    {'0',
     {0x45, 0x16, 0x1E, 0x26, 0x25, 0x2E, 0x36, 0x3D, 0x3E, 0x46},
     {0x27, 0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26}},
    {vk::kNumpad0,
     {0x70, 0x69, 0x72, 0x7A, 0x6B, 0x73, 0x74, 0x6C, 0x75, 0x7D},
     {0x62, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E, 0x5F, 0x60, 0x61}},
    {vk::kF1,
     {0x05, 0x06, 0x04, 0x0C, 0x03, 0x0B, kF7Make, 0x0A, 0x01, 0x09, 0x78, 0x07},
     {0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x45}},
};

const Row kRows[] = {
    {vk::kBack, 0x66, 0x2A},         {vk::kTab, 0x0D, 0x2B},        {vk::kReturn, 0x5A, 0x28},
    {vk::kShift, 0x12, 0xE1},        {vk::kControl, 0x14, 0xE0},    {vk::kMenu, 0x11, 0xE2},
    {vk::kPause, 0x00, 0x48},        {vk::kCapital, 0x58, 0x39},    {vk::kEscape, 0x76, 0x29},
    {vk::kSpace, 0x29, 0x2C},        {vk::kPrior, E0(0x7D), 0x4B},  {vk::kNext, E0(0x7A), 0x4E},
    {vk::kEnd, E0(0x69), 0x4D},      {vk::kHome, E0(0x6C), 0x4A},   {vk::kLeft, E0(0x6B), 0x50},
    {vk::kUp, E0(0x75), 0x52},       {vk::kRight, E0(0x74), 0x4F},  {vk::kDown, E0(0x72), 0x51},
    {vk::kSnapshot, E0(0x7C), 0x46}, {vk::kInsert, E0(0x70), 0x49}, {vk::kDelete, E0(0x71), 0x4C},
    {vk::kLWin, E0(0x1F), 0xE3},     {vk::kRWin, E0(0x27), 0xE7},   {vk::kApps, E0(0x2F), 0x65},
    {vk::kMultiply, 0x7C, 0x55},     {vk::kAdd, 0x79, 0x57},        {vk::kSubtract, 0x7B, 0x56},
    {vk::kDecimal, 0x71, 0x63},      {vk::kDivide, E0(0x4A), 0x54}, {vk::kNumLock, 0x77, 0x53},
    {vk::kScroll, 0x7E, 0x47},       {vk::kOem1, 0x4C, 0x33},       {vk::kOemPlus, 0x55, 0x2E},
    {vk::kOemComma, 0x41, 0x36},     {vk::kOemMinus, 0x4E, 0x2D},   {vk::kOemPeriod, 0x49, 0x37},
    {vk::kOem2, 0x4A, 0x38},         {vk::kOem3, 0x0E, 0x35},       {vk::kOem4, 0x54, 0x2F},
    {vk::kOem5, 0x5D, 0x31},         {vk::kOem6, 0x5B, 0x30},       {vk::kOem7, 0x52, 0x34},
    {vk::kCodeE0, E0(0x61), 0xA0},
};

struct Tables {
    KeyTable set2{};
    KeyTable hid{};
    Tables() {
        for (const Run& run : kRuns) {
            int key = run.firstKey;
            for (uint8_t code : run.set2) set2[key++] = code;
            key = run.firstKey;
            for (uint8_t usage : run.hid) hid[key++] = usage;
        }
        for (const Row& row : kRows) {
            set2[row.virtualKey] = row.set2;
            hid[row.virtualKey] = row.hid;
        }
    }
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

bool InTable(int virtualKey) {
    return virtualKey >= 0 && virtualKey < kKeyTableSize;
}

}  // namespace

const KeyTable& Set2Table() {
    return TheTables().set2;
}

const KeyTable& HidTable() {
    return TheTables().hid;
}

bool IsKnownKey(int virtualKey) {
    if (!InTable(virtualKey) || HidTable()[virtualKey] == 0) return false;
    return virtualKey == vk::kPause || Set2Table()[virtualKey] != 0;
}

std::optional<Set2Bytes> Set2Sequence(int virtualKey, bool down) {
    Set2Bytes out{};
    if (virtualKey == vk::kPause) {
        if (down) out = kPauseMake;
        return out;  // Pause has no break sequence: eight zero bytes
    }
    if (virtualKey == vk::kF7) {
        out[0] = down ? kF7Make : kBreakPrefix;
        out[1] = down ? 0 : kF7Make;
        return out;
    }
    if (!InTable(virtualKey) || Set2Table()[virtualKey] == 0) return std::nullopt;
    const uint8_t entry = Set2Table()[virtualKey];
    const uint8_t code = entry & 0x7F;
    int n = 0;
    if (entry & kExtended) out[n++] = kPrefixE0;
    if (!down) out[n++] = kBreakPrefix;
    out[n] = code;
    return out;
}

std::optional<Set2Key> DecodeSet2(const Set2Bytes& bytes) {
    if (bytes == kPauseMake) return Set2Key{vk::kPause, true};
    if (bytes == Set2Bytes{}) return Set2Key{vk::kPause, false};
    // Every other sequence is one the table produces: compare with each key's.
    for (int key = 0; key < kKeyTableSize; ++key) {
        if (key == vk::kPause || !IsKnownKey(key)) continue;
        for (bool down : {true, false}) {
            if (Set2Sequence(key, down) == bytes) return Set2Key{key, down};
        }
    }
    return std::nullopt;
}

}  // namespace vantelsor::input
