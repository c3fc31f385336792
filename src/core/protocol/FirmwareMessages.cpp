#include "protocol/FirmwareMessages.h"

#include "protocol/ByteOrder.h"
#include "protocol/MessageTypes.h"

namespace vantelsor::firmware {
namespace {

constexpr int kIndexAt = 4;
constexpr int kLastAt = 6;
constexpr int kStatusAt = 2;
constexpr int kAckIndexAt = 3;
constexpr int kAfterLengthField = 3;  // index and last flag counted with the data

uint32_t GetU32Le(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

}  // namespace

bool CheckImage(const uint8_t* image, uint64_t size) {
    if (size < kImageHeaderSize || image[0] != kImageMark) return false;
    return GetU32Le(image + 4) == static_cast<uint32_t>(size);
}

std::array<uint8_t, kStartSize> BuildStart() {
    return {msg::kFirmwareStart, 0, 0};
}

ChunkPlan ChunkPlan::For(uint64_t total) {
    ChunkPlan p;
    p.count = static_cast<int>((total + kChunkSize - 1) / kChunkSize);
    return p;
}

int ChunkPlan::LengthOf(int index, uint64_t total) const {
    if (!IsLast(index)) return kChunkSize;
    return static_cast<int>(total - uint64_t(index) * kChunkSize);
}

std::vector<uint8_t> BuildChunk(uint16_t index, bool last, const uint8_t* data, int n) {
    std::vector<uint8_t> m(kChunkHeaderSize + n);
    m[0] = msg::kFirmwareBlock;
    PutU16(&m[kChunkLengthOffset], static_cast<uint16_t>(n + kAfterLengthField));
    PutU16(&m[kIndexAt], index);
    m[kLastAt] = last ? 1 : 0;
    std::copy(data, data + n, m.begin() + kChunkHeaderSize);
    return m;
}

bool ParseChunk(const uint8_t* message, int length, Chunk* chunk) {
    if (length < kChunkHeaderSize) return false;
    const int n = GetU16(message + kChunkLengthOffset) - kAfterLengthField;
    if (n < 0 || kChunkHeaderSize + n > length) return false;
    chunk->index = GetU16(message + kIndexAt);
    chunk->last = message[kLastAt] == 1;
    chunk->data = message + kChunkHeaderSize;
    chunk->length = n;
    return true;
}

std::array<uint8_t, kStartReplySize> BuildStartReply() {
    return {msg::kFirmwareStart, 0, 0};
}

std::array<uint8_t, kChunkReplySize> BuildChunkReply(uint8_t status, uint16_t index) {
    std::array<uint8_t, kChunkReplySize> m{msg::kFirmwareBlock, 0, status};
    PutU16(&m[kAckIndexAt], index);
    return m;
}

bool ParseChunkReply(const uint8_t* reply, int length, ChunkAck* ack) {
    if (length < kChunkReplySize) return false;
    ack->status = reply[kStatusAt];
    ack->index = GetU16(reply + kAckIndexAt);
    return true;
}

int ProgressPercent(uint64_t sent, uint64_t total) {
    return total == 0 ? 100 : static_cast<int>(sent * 100 / total);
}

}  // namespace vantelsor::firmware
