#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "crypto/FieldCipher.h"
#include "protocol/ByteOrder.h"
#include "protocol/VideoDatagram.h"
#include "video/FragmentAssembler.h"

namespace vantelsor::test {
namespace {

namespace vd = videodatagram;
using A = FragmentAssembler;

const SessionKey kKey = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};
constexpr int kFull = vd::kFragmentPayload;
constexpr int kLastLength = 300;

// Recognisable plain bytes for fragment `index` of `frame`.
std::vector<uint8_t> Payload(uint32_t frame, int index, int length) {
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    for (int k = 0; k < length; ++k)
        bytes[k] = static_cast<uint8_t>(frame * 13 + index * 7 + k * 3 + 1);
    return bytes;
}

std::vector<uint8_t> Datagram(uint32_t frame, int index, bool marker, int length) {
    vd::Header header;
    header.frameNumber = frame;
    header.fragmentIndex = static_cast<uint16_t>(index);
    header.marker = marker;
    const auto plain = Payload(frame, index, length);
    std::vector<uint8_t> out(static_cast<size_t>(vd::kHeaderSize + length));
    const int size = vd::BuildFragment(kKey, header, plain.data(), length, out.data(),
                                       static_cast<int>(out.size()));
    EXPECT_EQ(size, static_cast<int>(out.size()));
    return out;
}

int Add(A& assembler, std::vector<uint8_t> datagram) {
    return assembler.AddFragment(datagram.data(), static_cast<int>(datagram.size()), kKey);
}

// ---- Scripted sequences --------------------------------------------------------

struct Step {
    enum Kind { kAdd, kTake } kind;
    uint32_t frame = 0;
    int index = 0;
    bool marker = false;
    int length = kFull;
    int expect = 0;  // AddFragment result; for kTake, whether a frame comes out
};
Step Frag(uint32_t frame, int index, int expect) {
    return {Step::kAdd, frame, index, false, kFull, expect};
}
Step Last(uint32_t frame, int index, int expect) {
    return {Step::kAdd, frame, index, true, kLastLength, expect};
}
// A frame of one fragment.
Step Single(uint32_t frame, int expect) {
    return Last(frame, 0, expect);
}
Step Take(uint32_t frame) {
    return {Step::kTake, frame, 0, false, 0, 1};
}
Step NoTake() {
    return {Step::kTake, 0, 0, false, 0, 0};
}

struct Script {
    const char* name;
    std::vector<Step> steps;
};

// Runs the steps and checks every result; a taken frame must be exactly the plain
// bytes of the fragments stored for it, each fragment at its place.
void Play(const Script& script) {
    SCOPED_TRACE(script.name);
    A assembler;
    std::map<uint32_t, std::map<int, int>> stored;  // frame -> fragment -> length
    int n = 0;
    for (const Step& step : script.steps) {
        SCOPED_TRACE("step " + std::to_string(n++));
        if (step.kind == Step::kAdd) {
            const int result =
                Add(assembler, Datagram(step.frame, step.index, step.marker, step.length));
            EXPECT_EQ(result, step.expect);
            if (result != A::kRejected) stored[step.frame][step.index] = step.length;
            continue;
        }
        const uint8_t* data = nullptr;
        int size = -1;
        const bool taken = assembler.TakeFrame(&data, &size);
        ASSERT_EQ(taken, step.expect == 1);
        if (!taken) continue;
        std::vector<uint8_t> expected;
        for (const auto& [index, length] : stored[step.frame]) {
            const auto bytes = Payload(step.frame, index, length);
            expected.resize(static_cast<size_t>(index * kFull));
            expected.insert(expected.end(), bytes.begin(), bytes.end());
        }
        ASSERT_EQ(size, static_cast<int>(expected.size()));
        EXPECT_EQ(std::memcmp(data, expected.data(), expected.size()), 0) << "frame " << step.frame;
        stored.erase(step.frame);
    }
}

std::vector<Step> InOrderFrames(uint32_t first, int count) {
    std::vector<Step> steps;
    for (uint32_t f = first; f != first + static_cast<uint32_t>(count); ++f) {
        steps.push_back(Frag(f, 0, A::kOpened));
        steps.push_back(Frag(f, 1, A::kStored));
        steps.push_back(Last(f, 2, A::kCompleted));
        steps.push_back(Take(f));
    }
    steps.push_back(NoTake());
    return steps;
}

TEST(FragmentAssembler, Sequences) {
    const Script scripts[] = {
        // Twenty frames go round the ring more than twice.
        {"in order", InOrderFrames(100, 20)},
        {"in order across the frame-number wrap", InOrderFrames(0xFFFFFFFEu, 4)},
        {"fragments out of order",
         {Frag(7, 0, 1), Last(7, 2, 0), Frag(7, 1, 2), Take(7), NoTake()}},
        {"marker fragment first", {Last(7, 2, 1), Frag(7, 0, 0), Frag(7, 1, 2), Take(7)}},
        {"frame incomplete until its marker arrives",
         {Frag(7, 0, 1), Frag(7, 1, 0), NoTake(), Last(7, 2, 2), Take(7)}},
        {"a later frame waits behind an incomplete one",
         {Frag(10, 0, 1), Single(11, 2), NoTake(), Last(10, 1, 2), Take(10), Take(11), NoTake()}},
        {"frames arriving in reverse leave in order",
         {Frag(10, 0, 1), Single(13, 2), Single(12, 2), Single(11, 2), Last(10, 1, 2), Take(10),
          Take(11), Take(12), Take(13), NoTake()}},
        {"reordered frames across the wrap",
         {Frag(0xFFFFFFFFu, 0, 1), Single(1, 2), Single(0, 2), Last(0xFFFFFFFFu, 1, 2),
          Take(0xFFFFFFFFu), Take(0), Take(1), NoTake()}},
        {"a marker alone does not complete a frame whose first fragments are missing",
         {Single(10, 2), Take(10), Last(11, 1, 1), NoTake(), Frag(11, 0, 2), Take(11)}},
        // Frame 11 is missing at the read position while 12 to 14 wait behind it.
        {"a gap at the read position keeps its place",
         {Frag(10, 0, 1), Single(12, 2), Last(10, 1, 2), Take(10), Single(13, 2), Single(14, 2),
          NoTake(), Single(11, 2), Take(11), Take(12), Take(13), Take(14), NoTake()}},
        {"repeated fragment replaces its copy; the frame keeps its size",
         {Frag(7, 0, 1), Frag(7, 0, 0), Frag(7, 1, 0), Frag(7, 1, 0), Last(7, 2, 2), Take(7)}},
        {"repeat of a complete frame's fragment while it waits",
         {Frag(10, 0, 1), Single(11, 2), Single(11, 2), Last(10, 1, 2), Take(10), Take(11),
          NoTake()}},
        {"late datagrams of frames already handed out",
         {Single(5, 2), Take(5), Single(5, 255), Frag(4, 0, 255), Single(6, 2), Single(5, 255),
          Take(6), NoTake()}},
        {"late datagram while frames are in flight",
         {Single(5, 2), Take(5), Frag(6, 0, 1), Single(5, 255), Last(6, 1, 2), Take(6)}},
        {"lost frames do not hold up the next one when nothing is in flight",
         {Single(5, 2), Take(5), Single(9, 2), Take(9), Single(8, 255)}},
        // Frame 10 never completes; eight frames fill the window, the ninth gives them up.
        {"window overflow gives up the frames in flight",
         {Frag(10, 0, 1), Single(11, 2), Single(12, 2), Single(13, 2), Single(14, 2), Single(15, 2),
          Single(16, 2), Single(17, 2), NoTake(), Frag(18, 0, 1), NoTake(), Last(18, 1, 2),
          Take(18), NoTake(), Single(12, 255), Last(10, 1, 255), Single(19, 2), Take(19)}},
        {"frame fifteen ahead of the read position",
         {Frag(10, 0, 1), Single(25, 2), Take(25), Single(11, 255), Single(26, 2), Take(26)}},
        {"frame sixteen or more ahead: the device numbers afresh",
         {Frag(10, 0, 1), Frag(5000, 0, 1), Last(5000, 1, 2), Take(5000), NoTake()}},
        {"numbering restarts far below",
         {Single(1000, 2), Take(1000), Frag(1001, 0, 1), Single(3, 2), Take(3), Single(4, 2),
          Take(4)}},
    };
    for (const Script& script : scripts) Play(script);
}

TEST(FragmentAssembler, FirstFrameOpensSlotZeroAndTakeFreesIt) {
    A assembler;
    EXPECT_EQ(Add(assembler, Datagram(42, 0, true, 20)), A::kCompleted);
    EXPECT_TRUE(assembler.slotState(0).complete);
    EXPECT_EQ(assembler.slotState(0).frameNumber, 42u);
    EXPECT_TRUE(assembler.TakeFrame(nullptr, nullptr));  // both outputs may be omitted
    EXPECT_FALSE(assembler.slotState(0).inUse);
    EXPECT_EQ(assembler.slotState(0).frameNumber, 42u);
    EXPECT_EQ(assembler.readIndex(), 1);
    EXPECT_EQ(assembler.newestIndex(), 1);
}

TEST(FragmentAssembler, TakeFrameOnEmptyRingChangesNothing) {
    A assembler;
    const uint8_t* data = nullptr;
    int size = -1;
    EXPECT_FALSE(assembler.TakeFrame(&data, &size));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(size, -1);
    EXPECT_EQ(assembler.readIndex(), 0);
}

TEST(FragmentAssembler, LargestFrameFillsAllFragments) {
    A assembler;
    for (int i = 0; i < A::kMaxFragments; ++i) {
        const bool last = i == A::kMaxFragments - 1;
        EXPECT_EQ(Add(assembler, Datagram(3, i, last, kFull)),
                  last ? A::kCompleted : (i == 0 ? A::kOpened : A::kStored));
    }
    const uint8_t* data = nullptr;
    int size = 0;
    ASSERT_TRUE(assembler.TakeFrame(&data, &size));
    ASSERT_EQ(size, A::kMaxFragments * kFull);
    for (int i = 0; i < A::kMaxFragments; ++i) {
        const auto bytes = Payload(3, i, kFull);
        ASSERT_EQ(std::memcmp(data + i * kFull, bytes.data(), bytes.size()), 0) << i;
    }
}

TEST(FragmentAssembler, TakenFrameStaysValidWhileOtherSlotsFill) {
    A assembler;
    ASSERT_EQ(Add(assembler, Datagram(1, 0, true, 100)), A::kCompleted);
    const uint8_t* data = nullptr;
    ASSERT_TRUE(assembler.TakeFrame(&data, nullptr));
    for (uint32_t f = 2; f < 9; ++f)
        ASSERT_EQ(Add(assembler, Datagram(f, 0, true, 100)), A::kCompleted);
    const auto bytes = Payload(1, 0, 100);
    EXPECT_EQ(std::memcmp(data, bytes.data(), bytes.size()), 0);
}

// ---- Deciphering ----------------------------------------------------------------

TEST(FragmentAssembler, FirstEightPayloadBytesAreDecipheredInPlace) {
    for (const int length : {0, 1, 7, 8, 9, 16, kFull}) {
        SCOPED_TRACE(length);
        A assembler;
        auto datagram = Datagram(9, 0, true, length);
        const auto plain = Payload(9, 0, length);
        if (length >= 8) {
            // On the wire the head is enciphered, the rest is not.
            EXPECT_NE(std::memcmp(datagram.data() + vd::kHeaderSize, plain.data(), 8), 0);
        }
        ASSERT_EQ(assembler.AddFragment(datagram.data(), static_cast<int>(datagram.size()), kKey),
                  A::kCompleted);
        // Short payloads travel plain and must come through untouched.
        EXPECT_EQ(std::vector<uint8_t>(datagram.begin() + vd::kHeaderSize, datagram.end()), plain);
        const uint8_t* data = nullptr;
        int size = -1;
        ASSERT_TRUE(assembler.TakeFrame(&data, &size));
        ASSERT_EQ(size, length);
        EXPECT_EQ(std::vector<uint8_t>(data, data + size), plain);
    }
}

TEST(FragmentAssembler, HeadIsDecipheredWithTheGivenKey) {
    A assembler;
    auto datagram = Datagram(9, 0, true, 8);
    SessionKey other = kKey;
    other[0] ^= 0x02;  // a bit the key schedule uses
    ASSERT_EQ(assembler.AddFragment(datagram.data(), static_cast<int>(datagram.size()), other),
              A::kCompleted);
    std::vector<uint8_t> expected(8);
    const auto plain = Payload(9, 0, 8);
    std::vector<uint8_t> wire(8);
    FieldCipher::EncryptBlocks(kKey.data(), plain.data(), wire.data(), 8);
    FieldCipher::DecryptBlocks(other.data(), wire.data(), expected.data(), 8);
    const uint8_t* data = nullptr;
    ASSERT_TRUE(assembler.TakeFrame(&data, nullptr));
    EXPECT_EQ(std::vector<uint8_t>(data, data + 8), expected);
    EXPECT_NE(expected, plain);
}

// ---- Hostile and stray datagrams: rejected, and nothing changes -----------------

struct Snapshot {
    int read = 0;
    int newest = 0;
    std::vector<A::SlotState> slots;
    std::vector<uint8_t> bytes;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Capture(const A& assembler) {
    Snapshot s{assembler.readIndex(), assembler.newestIndex(), {}, {}};
    for (int i = 0; i < A::kSlotCount; ++i) {
        s.slots.push_back(assembler.slotState(i));
        const uint8_t* buffer = assembler.slotBuffer(i);
        s.bytes.insert(s.bytes.end(), buffer, buffer + A::kSlotBytes);
    }
    return s;
}

struct Hostile {
    const char* name;
    std::vector<uint8_t> datagram;
    int length;  // passed to AddFragment
};

std::vector<uint8_t> With(std::vector<uint8_t> datagram, int offset, uint8_t value) {
    datagram[static_cast<size_t>(offset)] = value;
    return datagram;
}

std::vector<uint8_t> WithU16(std::vector<uint8_t> datagram, int offset, uint16_t value) {
    PutU16(datagram.data() + offset, value);
    return datagram;
}

std::vector<uint8_t> WithU32(std::vector<uint8_t> datagram, int offset, uint32_t value) {
    PutU32(datagram.data() + offset, value);
    return datagram;
}

TEST(FragmentAssembler, HostileDatagramsAreRejectedAndChangeNothing) {
    // Frame 21 of the fixture is under way with fragments 0 and 2 (the marker); each
    // datagram below would otherwise be its missing fragment 1 and complete it.
    const auto good = Datagram(21, 1, false, kFull);
    const int size = static_cast<int>(good.size());
    std::vector<uint8_t> big(vd::kHeaderSize + 4000, 0x5A);
    std::memcpy(big.data(), good.data(), vd::kHeaderSize);
    const Hostile cases[] = {
        {"version bits 11", With(good, vd::kVersionOffset, 0xC0), size},
        {"version bits 01", With(good, vd::kVersionOffset, 0x7F), size},
        {"version bits 00", With(good, vd::kVersionOffset, 0x00), size},
        {"payload type 97", With(good, vd::kMarkerTypeOffset, 97), size},
        {"payload type 0", With(good, vd::kMarkerTypeOffset, 0x00), size},
        {"fragment index 187", WithU16(good, vd::kFragmentIndexOffset, 187), size},
        {"fragment index 65535", WithU16(good, vd::kFragmentIndexOffset, 0xFFFF), size},
        {"payload longer than 1400", WithU32(big, vd::kPayloadLengthOffset, 1401),
         static_cast<int>(big.size())},
        {"payload length beyond the datagram", good, size - 1},
        {"payload length field huge", WithU32(good, vd::kPayloadLengthOffset, 0xFFFFFFFF), size},
        {"payload length field negative as int",
         WithU32(good, vd::kPayloadLengthOffset, 0x80000000), size},
        {"shorter than the header", good, vd::kHeaderSize - 1},
        {"empty", good, 0},
        {"negative length", good, -5},
        {"late: frame already handed out", Datagram(20, 1, true, kFull), size},
    };
    for (const Hostile& c : cases) {
        SCOPED_TRACE(c.name);
        A assembler;
        ASSERT_EQ(Add(assembler, Datagram(20, 0, true, 50)), A::kCompleted);
        ASSERT_TRUE(assembler.TakeFrame(nullptr, nullptr));
        ASSERT_EQ(Add(assembler, Datagram(21, 0, false, kFull)), A::kOpened);
        ASSERT_EQ(Add(assembler, Datagram(21, 2, true, 10)), A::kStored);
        ASSERT_EQ(Add(assembler, Datagram(22, 0, true, 10)), A::kCompleted);
        const Snapshot before = Capture(assembler);
        auto datagram = c.datagram;
        EXPECT_EQ(assembler.AddFragment(datagram.data(), c.length, kKey), A::kRejected);
        EXPECT_TRUE(Capture(assembler) == before);
        EXPECT_EQ(datagram, c.datagram);  // not deciphered either
        EXPECT_FALSE(assembler.TakeFrame(nullptr, nullptr));
    }
    A assembler;
    EXPECT_EQ(assembler.AddFragment(nullptr, 100, kKey), A::kRejected);
}

TEST(FragmentAssembler, WireLayoutWrittenByHand) {
    // Version 0x80, marker + type 96, fragment 0x0102, frame 0x0A0B0C0D, payload 4 bytes.
    std::vector<uint8_t> wire(vd::kHeaderSize + 4, 0);
    const uint8_t head[] = {0x80, 0xE0, 0x01, 0x02, 0x0A, 0x0B, 0x0C, 0x0D};
    std::memcpy(wire.data(), head, sizeof head);
    const uint8_t length[] = {0x00, 0x00, 0x00, 0x04};
    std::memcpy(wire.data() + 76, length, sizeof length);
    const uint8_t payload[] = {0xDE, 0xAD, 0xBE, 0xEF};
    std::memcpy(wire.data() + 80, payload, sizeof payload);

    const vd::Header header = vd::ReadHeader(wire.data());
    EXPECT_TRUE(header.marker);
    EXPECT_EQ(header.fragmentIndex, 0x0102);
    EXPECT_EQ(header.frameNumber, 0x0A0B0C0Du);
    EXPECT_EQ(header.payloadLength, 4u);
    std::vector<uint8_t> built(wire.size());
    ASSERT_EQ(
        vd::BuildFragment(kKey, header, payload, 4, built.data(), static_cast<int>(built.size())),
        static_cast<int>(wire.size()));
    EXPECT_EQ(built, wire);

    wire[2] = 0;  // fragment 0x0002 of a frame whose marker is on it
    wire[3] = 0x02;
    A assembler;
    EXPECT_EQ(Add(assembler, wire), A::kOpened);
    EXPECT_EQ(assembler.slotState(0).frameNumber, 0x0A0B0C0Du);
    EXPECT_EQ(assembler.slotState(0).lastIndex, 2);
    EXPECT_EQ(assembler.slotState(0).byteTotal, 4u);
}

TEST(FragmentAssembler, BytesAfterThePayloadAreIgnored) {
    A assembler;
    auto datagram = Datagram(4, 0, true, 10);
    datagram.resize(datagram.size() + 500, 0xEE);
    ASSERT_EQ(Add(assembler, datagram), A::kCompleted);
    int size = 0;
    ASSERT_TRUE(assembler.TakeFrame(nullptr, &size));
    EXPECT_EQ(size, 10);
}

}  // namespace
}  // namespace vantelsor::test
