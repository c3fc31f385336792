// The simulated device's fault decisions: a pure function of the seed and the place
// a fault acts on, so a seed replays its faults and another seed gives others.
#include <gtest/gtest.h>

#include <vector>

#include "sim/FaultPolicy.h"

namespace vantelsor::test {
namespace {

constexpr sim::VideoFaults kSome{0.05, 0.05, 0.05, 0.02};

std::vector<sim::DatagramFate> Sequence(const sim::FaultPolicy& policy, const sim::VideoFaults& p) {
    std::vector<sim::DatagramFate> fates;
    for (uint32_t frame = 0; frame < 200; ++frame) {
        for (int fragment = 0; fragment < 20; ++fragment) {
            fates.push_back(policy.Datagram(p, frame, fragment));
        }
    }
    return fates;
}

TEST(FaultPolicyTest, TheSameSeedGivesTheSameFaultsAndAnotherSeedOthers) {
    const auto first = Sequence(sim::FaultPolicy(42), kSome);
    EXPECT_EQ(Sequence(sim::FaultPolicy(42), kSome), first);
    EXPECT_NE(Sequence(sim::FaultPolicy(43), kSome), first);
    EXPECT_EQ(sim::FaultPolicy(42).Garbage(3, 9, 21), sim::FaultPolicy(42).Garbage(3, 9, 21));
    EXPECT_NE(sim::FaultPolicy(43).Garbage(3, 9, 21), sim::FaultPolicy(42).Garbage(3, 9, 21));
}

TEST(FaultPolicyTest, EachPlaceDrawsOnItsOwn) {
    const sim::FaultPolicy policy(5);
    // Neighbouring places and kinds are unrelated: no two of these agree.
    const double draws[] = {
        sim::FaultPolicy::Draw(5, sim::FaultKind::kLoss, 0, 0),
        sim::FaultPolicy::Draw(5, sim::FaultKind::kLoss, 0, 1),
        sim::FaultPolicy::Draw(5, sim::FaultKind::kLoss, 1, 0),
        sim::FaultPolicy::Draw(5, sim::FaultKind::kDamage, 0, 0),
        sim::FaultPolicy::Draw(6, sim::FaultKind::kLoss, 0, 0),
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
        sim::VideoFaults p;
        double lost, damaged, reordered, duplicated;
    } cases[] = {
        {{}, 0, 0, 0, 0},
        {{1, 0, 0, 0}, 1, 0, 0, 0},
        {{0, 1, 1, 1}, 0, 1, 1, 1},
        {{0.1, 0.2, 0.3, 0.4}, 0.1, 0.4 * 0.9, 0.2 * 0.9, 0.3 * 0.9},
    };
    const sim::FaultPolicy policy(2024);
    for (const Case& c : cases) {
        double lost = 0, damaged = 0, reordered = 0, duplicated = 0, n = 0;
        for (const sim::DatagramFate& f : Sequence(policy, c.p)) {
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
}  // namespace vantelsor::test
