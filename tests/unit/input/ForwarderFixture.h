// An InputForwarder whose session is connected to a bare loopback listener, so
// a test sees exactly the bytes it sends; the pacing sleeps are logged instead
// of slept, each after what had been sent before it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Hex.h"
#include "LoopbackServer.h"
#include "TestAddress.h"
#include "input/InputForwarder.h"
#include "net/NetSession.h"
#include "session/SessionInfo.h"

namespace vantelsor::test {

class ForwarderFixture : public ::testing::Test {
  protected:
    ForwarderFixture() : server(4, TestAddress()), info(server.address(), 0) {
        timing.sleep = [this](uint32_t ms) { log.push_back("sleep " + std::to_string(ms)); };
    }

    void SetUp() override {
        ASSERT_TRUE(session.Connect(server.address(), server.port()));
        ASSERT_TRUE(server.Accept());
    }

    // The next n bytes the peer received, as hex.
    std::string Next(size_t n) { return ToHex(server.Receive(n)); }
    // Nothing else was sent: the next bytes are a marker sent now.
    bool NothingMore() {
        const uint8_t marker[2] = {0xAD, 0x5A};
        session.Send(marker, 2);
        return Next(2) == "AD 5A";
    }
    // A sleep hook that logs each message received before the sleep, then the sleep.
    void LogMessagesBeforeSleeps(size_t messageSize) {
        timing.sleep = [this, messageSize](uint32_t ms) {
            log.push_back(Next(messageSize));
            log.push_back("sleep " + std::to_string(ms));
        };
    }

    LoopbackServer server;
    NetSession session;
    SessionInfo info;
    InputTiming timing;
    std::vector<std::string> log;
};

}  // namespace vantelsor::test
