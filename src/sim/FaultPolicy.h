// Every fault the simulated device injects, decided from one seed: each decision is
// a pure function of the seed, the kind of fault and the position of what it acts on
// (a video datagram's frame number and fragment index; a control reply's connection
// and message number). The same seed therefore replays the same faults whatever the
// timing of the device's threads, and a different seed gives a different sequence.
//
// Threads: a FaultPolicy never changes after construction; any thread may call it.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/SimConfig.h"

namespace vantelsor::sim {

enum class FaultKind : uint8_t { kLoss = 1, kReorder, kDuplicate, kDamage, kGarbage };

// What happens to one video datagram.
struct DatagramFate {
    bool lost = false;        // not sent at all (nothing else applies)
    bool damaged = false;     // its header damaged, so a client must reject it
    bool reordered = false;   // held back and sent after the datagram that follows it
    bool duplicated = false;  // sent twice
    bool operator==(const DatagramFate&) const = default;
};

class FaultPolicy {
  public:
    explicit FaultPolicy(uint64_t seed) : seed_(seed) {}

    uint64_t seed() const { return seed_; }

    // A number in [0, 1), uniform over seeds and positions.
    static double Draw(uint64_t seed, FaultKind kind, uint64_t position, uint64_t index);

    // The fate of fragment `fragment` of frame `frame` under the probabilities `p`.
    DatagramFate Datagram(const VideoFaults& p, uint32_t frame, int fragment) const;

    // The `count` bytes sent instead of the reply to the `message`-th message (from 1)
    // of connection `connection`.
    std::vector<uint8_t> Garbage(int connection, int message, size_t count) const;

  private:
    uint64_t seed_;
};

}  // namespace vantelsor::sim
