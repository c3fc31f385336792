// A simulated device of the test's own on the test's own loopback address.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "TestAddress.h"
#include "sim/DeviceSim.h"

namespace vantelsor::test {

class SimFixture : public ::testing::Test {
  protected:
    SimFixture() { config.listenAddress = TestAddress(); }

    // Starts the device with `config` as the test has shaped it.
    void StartDevice() {
        device = std::make_unique<sim::DeviceSim>(config);
        ASSERT_TRUE(device->Start()) << device->StartError();
    }

    // Entries of the device's trace of one message type.
    std::vector<sim::TraceEntry> Received(uint8_t type) const {
        std::vector<sim::TraceEntry> out;
        for (auto& e : device->Trace()) {
            if (e.type == type) out.push_back(e);
        }
        return out;
    }

    bool WaitReceived(uint8_t type, size_t count, uint32_t timeoutMs = 10000) const {
        return device->WaitForTrace([&](const sim::TraceEntry& e) { return e.type == type; },
                                    timeoutMs, count);
    }

    sim::SimConfig config;
    std::unique_ptr<sim::DeviceSim> device;
};

}  // namespace vantelsor::test
