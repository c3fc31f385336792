#include "sim/FaultPolicy.h"

namespace vantelsor::sim {
namespace {

// SplitMix64's finaliser: every input bit reaches every output bit, so positions
// next to each other give unrelated draws.
uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15u;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9u;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBu;
    return x ^ (x >> 31);
}

uint64_t Hash(uint64_t seed, FaultKind kind, uint64_t position, uint64_t index) {
    uint64_t h = Mix(seed);
    h = Mix(h ^ static_cast<uint64_t>(kind));
    h = Mix(h ^ position);
    return Mix(h ^ index);
}

}  // namespace

double FaultPolicy::Draw(uint64_t seed, FaultKind kind, uint64_t position, uint64_t index) {
    // The top 53 bits, as many as a double holds exactly.
    return static_cast<double>(Hash(seed, kind, position, index) >> 11) * 0x1.0p-53;
}

DatagramFate FaultPolicy::Datagram(const VideoFaults& p, uint32_t frame, int fragment) const {
    const auto index = static_cast<uint64_t>(fragment);
    DatagramFate fate;
    fate.lost = Draw(seed_, FaultKind::kLoss, frame, index) < p.loss;
    if (fate.lost) return fate;
    fate.damaged = Draw(seed_, FaultKind::kDamage, frame, index) < p.damage;
    fate.reordered = Draw(seed_, FaultKind::kReorder, frame, index) < p.reorder;
    fate.duplicated = Draw(seed_, FaultKind::kDuplicate, frame, index) < p.duplicate;
    return fate;
}

std::vector<uint8_t> FaultPolicy::Garbage(int connection, int message, size_t count) const {
    std::vector<uint8_t> bytes(count);
    const auto position = static_cast<uint64_t>(static_cast<uint32_t>(connection)) << 32 |
                          static_cast<uint32_t>(message);
    for (size_t i = 0; i < count; i += 8) {
        const uint64_t word = Hash(seed_, FaultKind::kGarbage, position, i / 8);
        for (size_t k = 0; k < 8 && i + k < count; ++k) {
            bytes[i + k] = static_cast<uint8_t>(word >> (8 * k));
        }
    }
    return bytes;
}

}  // namespace vantelsor::sim
