// The simulated device's fault decisions: a pure function of the seed and the place
// a fault acts on, so a seed replays its faults and another seed gives others.
#include <gtest/gtest.h>

#include <vector>

#include "sim/FaultPolicy.h"

namespace vantelsor::sim {
namespace {

constexpr VideoFaults kSome{0.05, 0.05, 0.05, 0.02};

std::vector<DatagramFate> Sequence(const FaultPolicy& policy, const VideoFaults& p) {
    std::vector<DatagramFate> fates;
    for (uint32_t frame = 0; frame < 200; ++frame) {
        for (int fragment = 0; fragment < 20; ++fragment) {
            fates.push_back(policy.Datagram(p, frame, fragment));
        }
    }
    return fates;
}

TEST(FaultPolicyTest, TheSameSeedGivesTheSameFaultsAndAnotherSeedOthers) {
    const auto first = Sequence(FaultPolicy(42), kSome);
    EXPECT_EQ(Sequence(FaultPolicy(42), kSome), first);
    EXPECT_NE(Sequence(FaultPolicy(43), kSome), first);
    EXPECT_EQ(FaultPolicy(42).Garbage(3, 9, 21), FaultPolicy(42).Garbage(3, 9, 21));
    EXPECT_NE(FaultPolicy(43).Garbage(3, 9, 21), FaultPolicy(42).Garbage(3, 9, 21));
}

TEST(FaultPolicyTest, EachPlaceDrawsOnItsOwn) {
    const FaultPolicy policy(5);
    // Neighbouring places and kinds are unrelated: no two of these agree.
    const double draws[] = {
        FaultPolicy::Draw(5, FaultKind::kLoss, 0, 0),
        FaultPolicy::Draw(5, FaultKind::kLoss, 0, 1),
        FaultPolicy::Draw(5, FaultKind::kLoss, 1, 0),
        FaultPolicy::Draw(5, FaultKind::kDamage, 0, 0),
        FaultPolicy::Draw(6, FaultKind::kLoss, 0, 0),
    };
    for (size_t i = 0; i < std::size(draws); ++i) {
        EXPECT_GE(draws[i], 0.0);
        EXPECT_LT(draws[i], 1.0);
        for (size_t k = i + 1; k < std::size(draws); ++k) EXPECT_NE(draws[i], draws[k]) << i << k;
    }
    // Garbage of one message is not a prefix of a longer one elsewhere, nor of the next message.
    EXPECT_NE(policy.Garbage(1, 1, 16), policy.Garbage(1, 2, 16));
    EXPECT_NE(policy.Garbage(1, 1, 16), policy.Garbage(2, 1, 16));
    EXPECT_EQ(policy.Garbage(1, 1, 5).size(), 5u);
    EXPECT_TRUE(policy.Garbage(1, 1, 0).empty());
}

TEST(FaultPolicyTest, ProbabilitiesHoldOverManyDatagrams) {
    struct Case {
        VideoFaults p;
        double lost, damaged, reordered, duplicated;
    } cases[] = {
        {{}, 0, 0, 0, 0},
        {{1, 0, 0, 0}, 1, 0, 0, 0},
        {{0, 1, 1, 1}, 0, 1, 1, 1},
        {{0.1, 0.2, 0.3, 0.4}, 0.1, 0.4 * 0.9, 0.2 * 0.9, 0.3 * 0.9},
    };
    const FaultPolicy policy(2024);
    for (const Case& c : cases) {
        double lost = 0, damaged = 0, reordered = 0, duplicated = 0, n = 0;
        for (const DatagramFate& f : Sequence(policy, c.p)) {
            ++n;
            lost += f.lost;
            damaged += f.damaged;
            reordered += f.reordered;
            duplicated += f.duplicated;
            // A lost datagram has no other fate.
            if (f.lost) {
                EXPECT_FALSE(f.damaged || f.reordered || f.duplicated);
            }
        }
        // 4000 datagrams: within two percentage points of each probability.
        EXPECT_NEAR(lost / n, c.lost, 0.02) << c.p.loss;
        EXPECT_NEAR(damaged / n, c.damaged, 0.02) << c.p.damage;
        EXPECT_NEAR(reordered / n, c.reordered, 0.02) << c.p.reorder;
        EXPECT_NEAR(duplicated / n, c.duplicated, 0.02) << c.p.duplicate;
    }
}

}  // namespace
}  // namespace vantelsor::sim
