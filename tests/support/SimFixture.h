// The one fixture of the tests against the simulated device: a device of the
// test's own on the test process's own loopback address (so tests running side by
// side never compete for its fixed ports), shaped through `config` before it starts.
// Its faults follow config.faultSeed (fixed by default), so a failure replays.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string_view>
#include <vector>

#include "SimClient.h"
#include "TestAddress.h"
#include "VideoSupport.h"
#include "sim/DeviceSim.h"

namespace vantelsor::test {

class SimFixture : public ::testing::Test {
  protected:
    SimFixture() { config.listenAddress = TestAddress(); }

    // Makes the device from `config` as the test has shaped it and starts it.
    bool TryStartDevice() {
        device = std::make_unique<sim::DeviceSim>(config);
        return device->Start();
    }
    // The same; fails the test when the device cannot start.
    void StartDevice() { ASSERT_TRUE(TryStartDevice()) << device->StartError(); }

    // Entries of the device's trace of one message type.
    std::vector<sim::TraceEntry> Received(uint8_t type) const {
        std::vector<sim::TraceEntry> out;
        for (auto& e : device->Trace()) {
            if (e.type == type) out.push_back(e);
        }
        return out;
    }

    bool WaitReceived(uint8_t type, size_t count, uint32_t timeoutMs = kWaitMs) const {
        return device->WaitForTrace([&](const sim::TraceEntry& e) { return e.type == type; },
                                    timeoutMs, count);
    }

    // A client of the test's own, connected to the device.
    std::unique_ptr<SimClient> Connect() {
        auto client = std::make_unique<SimClient>();
        EXPECT_TRUE(client->Connect(config.listenAddress, device->ControlPort()));
        return client;
    }
    // Connected and logged in, expecting `status`.
    std::unique_ptr<SimClient> LogIn(std::string_view user, std::string_view password, int status) {
        auto client = Connect();
        EXPECT_EQ(client->Login(user, password), status) << "login of " << user;
        return client;
    }

    // True once `blitter` has been handed a picture close to the device's source
    // (the first ones after a key frame may still be coarse); lastPsnr tells how
    // close the last one came.
    bool WaitForMatchingPicture(RecordingBlitter& blitter, int timeoutMs) {
        const auto source = device->Video().RenderNow();
        const int w = device->Video().width(), h = device->Video().height();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        size_t seen = blitter.calls().size();
        while (std::chrono::steady_clock::now() < end) {
            if (!blitter.WaitForPictures(seen + 1, 500)) continue;
            seen = blitter.calls().size();
            if (blitter.calls().back().width != w || blitter.calls().back().height != h) continue;
            lastPsnr = Psnr(blitter.lastBitmap(), source, w, h);
            if (lastPsnr > 35.0) return true;
        }
        return false;
    }

    sim::SimConfig config;
    std::unique_ptr<sim::DeviceSim> device;
    double lastPsnr = 0;
};

}  // namespace vantelsor::test
