#include <gtest/gtest.h>

#include "ForwarderFixture.h"
#include "input/InputForwarder.h"
#include "input/PointerMover.h"
#include "protocol/InputMessages.h"

namespace vantelsor::test {
namespace {

using Strings = std::vector<std::string>;

// The movement a plain mouse message carries, as "dx,dy".
std::string Move(const std::string& hex) {
    const auto bytes = FromHex(hex);
    if (bytes.size() != 10) return "short";
    return std::to_string(static_cast<int8_t>(bytes[input::kMouseHidDxOffset])) + "," +
           std::to_string(static_cast<int8_t>(bytes[input::kMouseHidDyOffset]));
}

class PointerMoverTest : public ForwarderFixture {};

TEST_F(PointerMoverTest, HomingCountsItsStepsAsTheDeviceNeedsThem) {
    LogMessagesBeforeSleeps(10);
    InputForwarder f(session, &info, timing);
    PointerMover p(&f);
    p.HomePointer(1280, 1024);
    Strings moves;
    for (size_t i = 0; i < log.size(); i += 2) {
        moves.push_back(Move(log[i]));
        EXPECT_EQ(log[i + 1], "sleep 45");
    }
    Strings expected(12, "-80,-80");  // leaves 320 by 64
    expected.insert(expected.end(), 4, "-80,0");
    expected.push_back("0,-80");
    EXPECT_EQ(moves, expected);
    EXPECT_EQ(log[0], "EF 18 B0 50 00 00 B0 B0 00 78");
}

TEST_F(PointerMoverTest, HomingEdgeSizes) {
    struct Case {
        int w, h;
        size_t steps;
    };
    // Exactly 80 is not "more than 80": no diagonal step, one along each axis; 81 takes
    // one diagonal step and leaves one count for each axis.
    const Case cases[] = {{80, 80, 2}, {81, 81, 3}, {161, 10, 4}, {0, 0, 0}, {0, 100, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        log.clear();
        LogMessagesBeforeSleeps(10);
        InputForwarder f(session, &info, timing);
        PointerMover p(&f);
        p.HomePointer(c.w, c.h);
        EXPECT_EQ(log.size(), 2 * c.steps);
    }
}

TEST_F(PointerMoverTest, StepsTowardTheTargetAtMost80PerAxis) {
    InputForwarder f(session, &info, timing);
    PointerMover p(&f);
    p.SetTarget(200, -30);
    Strings moves;
    for (int i = 0; i < 4; ++i) p.Step();
    for (int i = 0; i < 3; ++i) moves.push_back(Move(Next(10)));
    EXPECT_EQ(moves, (Strings{"80,-30", "80,0", "40,0"}));
    EXPECT_EQ(p.sentX, 200);
    EXPECT_EQ(p.sentY, -30);
    EXPECT_TRUE(NothingMore());  // at the target nothing is sent
}

TEST_F(PointerMoverTest, ButtonsAndWheelGoFirstWithoutMovement) {
    InputForwarder f(session, &info, timing);
    PointerMover p(&f);
    p.SetTarget(50, 0);
    p.OnRawMouse(0x01, 0);  // pointer not over the picture: ignored
    p.pointerInside = 1;
    p.OnRawMouse(0x01, 240);
    EXPECT_EQ(p.rawWheel, 2);
    p.Step();
    EXPECT_EQ(Next(10), "EF 09 00 00 FE 01 00 00 02 0A");
    EXPECT_EQ(p.rawButtons, 0u);
    p.Step();
    EXPECT_EQ(Move(Next(10)), "50,0");
    // A later record replaces one not yet taken.
    p.OnRawMouse(0x01, 0);
    p.OnRawMouse(0x02, -120);
    p.Step();
    EXPECT_EQ(Next(10), "EF 08 00 00 01 00 00 00 FF 08");
}

TEST_F(PointerMoverTest, TooLargeAWheelTurnIsDroppedWhateverItsSize) {
    InputForwarder f(session, &info, timing);
    PointerMover p(&f);
    p.pointerInside = 1;
    for (int16_t data : {int16_t{7 * 120}, int16_t{-9 * 120}, int16_t{30000}, int16_t{-32768}}) {
        SCOPED_TRACE(data);
        p.OnRawMouse(0, data);
        p.Step();
        EXPECT_EQ(p.rawWheel, 0);
    }
    EXPECT_TRUE(NothingMore());
    p.OnRawMouse(0, 6 * 120);
    p.Step();
    EXPECT_EQ(Next(10), "EF 08 00 00 FA 00 00 00 06 08");
}

TEST_F(PointerMoverTest, WithoutTheRightTheBelievedPositionStillAdvances) {
    info.hasControlRight = 0;
    InputForwarder f(session, &info, timing);
    PointerMover p(&f);
    p.SetTarget(-100, 170);
    for (int i = 0; i < 3; ++i) p.Step();
    EXPECT_EQ(p.sentX, -100);
    EXPECT_EQ(p.sentY, 170);
    EXPECT_TRUE(NothingMore());
}

TEST_F(PointerMoverTest, ThePointerThreadMovesAndStops) {
    timing.pointerStepMs = 1;
    InputForwarder f(session, &info, timing);
    PointerMover p(&f);
    p.Start();
    p.SetTarget(100, 100);
    EXPECT_EQ(Move(Next(10)), "80,80");
    EXPECT_EQ(Move(Next(10)), "20,20");
    p.pointerInside = 1;
    p.OnRawMouse(0x04, 0);  // wakes the thread
    EXPECT_EQ(Next(10), "EF 0A 00 00 00 02 00 00 00 0C");
    p.Stop();
    EXPECT_TRUE(NothingMore());
}

TEST_F(PointerMoverTest, SyncPointerHomesOverThePictureThenResetsBothPositions) {
    LogMessagesBeforeSleeps(10);
    InputForwarder f(session, &info, timing);
    PointerMover p(&f);
    p.SetTarget(500, 400);
    p.sentX = 300;
    p.SyncPointer(800, 600);
    EXPECT_EQ(log.size(), 2u * (7 + 3 + 1));  // 7 diagonal leave 240 by 40
    EXPECT_EQ(p.sentX, 0);
    EXPECT_EQ(p.sentY, 0);
    EXPECT_EQ(p.targetX, 0);
    EXPECT_EQ(p.targetY, 0);
}

}  // namespace
}  // namespace vantelsor::test
