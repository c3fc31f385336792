// The firmware upgrade: its start 0xB3 and the image chunks 0xB4 with their
// acknowledgements, and the image file's header check.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace vantelsor::firmware {

inline constexpr int kChunkSize = 4096;
inline constexpr int kStartSize = 3;
inline constexpr int kChunkHeaderSize = 7;
// A chunk's length field: 16 bits, big-endian, counting the bytes after it
// (index, last flag and data).
inline constexpr int kChunkLengthOffset = 2;
inline constexpr int kChunkLengthFieldSize = 2;
inline constexpr int kStartReplySize = 3;
inline constexpr int kChunkReplySize = 5;
inline constexpr uint8_t kImageMark = 0xFC;
inline constexpr int kImageHeaderSize = 8;
// The chunk index is 16 bits wide: larger images cannot be numbered.
inline constexpr uint64_t kMaxImageSize = uint64_t{65536} * kChunkSize;
inline constexpr uint8_t kStatusAccepted = 0;

// An image file is sendable when it starts with the mark and its little-endian
// size field (bytes 4..7) equals its size.
bool CheckImage(const uint8_t* image, uint64_t size);

std::array<uint8_t, kStartSize> BuildStart();

// Chunk `index` of an image of `total` bytes: 4096 bytes from index × 4096, the
// last one the 1..4096 that remain; last flag 1 on that one.
struct ChunkPlan {
    int count = 0;  // chunks for `total` bytes
    static ChunkPlan For(uint64_t total);
    int LengthOf(int index, uint64_t total) const;
    bool IsLast(int index) const { return index == count - 1; }
};
// B4 00, n + 3, index, last, n bytes.
std::vector<uint8_t> BuildChunk(uint16_t index, bool last, const uint8_t* data, int n);

// Device side: a whole chunk message as RequestLength cut it.
struct Chunk {
    uint16_t index = 0;
    bool last = false;
    const uint8_t* data = nullptr;
    int length = 0;
};
// False when the length field cannot hold the header's 3 bytes.
bool ParseChunk(const uint8_t* message, int length, Chunk* chunk);

std::array<uint8_t, kStartReplySize> BuildStartReply();
// B4, 0, status, index (big-endian).
std::array<uint8_t, kChunkReplySize> BuildChunkReply(uint8_t status, uint16_t index);

struct ChunkAck {
    uint8_t status = 0xFF;
    uint16_t index = 0;
};
// False when the reply is too short to hold the status and the index.
bool ParseChunkReply(const uint8_t* reply, int length, ChunkAck* ack);

// The progress after `sent` of `total` bytes, in whole percent.
int ProgressPercent(uint64_t sent, uint64_t total);

}  // namespace vantelsor::firmware
