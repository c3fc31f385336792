// The video datagram: an 80-byte header followed by one fragment of an H.264 frame.
// Built (device side) and read (client side) here and nowhere else. Stateless free
// functions; any thread may call them.
#pragma once

#include <array>
#include <cstdint>

#include "crypto/FieldCipher.h"

namespace vantelsor::videodatagram {

inline constexpr int kHeaderSize = 80;

// Header offsets; every multi-byte field is big-endian.
inline constexpr int kVersionOffset = 0;
inline constexpr int kMarkerTypeOffset = 1;
inline constexpr int kFragmentIndexOffset = 2;
inline constexpr int kFrameNumberOffset = 4;
inline constexpr int kPayloadLengthOffset = 76;

inline constexpr uint8_t kVersionMask = 0xC0;  // the two top bits of the version byte
inline constexpr uint8_t kVersionBits = 0x80;  // ... must be binary 10
inline constexpr uint8_t kMarkerBit = 0x80;    // last fragment of its frame
inline constexpr uint8_t kPayloadTypeMask = 0x7F;
inline constexpr uint8_t kPayloadTypeH264 = 96;

// Every fragment but the last of a frame carries exactly this many payload bytes, and
// fragment i sits at i * kFragmentPayload in the frame.
inline constexpr int kFragmentPayload = 1400;
inline constexpr int kMaxFragments = 187;
// The first payload bytes travel enciphered with the session key when the payload has
// at least this many.
inline constexpr int kCipheredBytes = 8;

struct Header {
    uint8_t version = kVersionBits;
    bool marker = false;
    uint8_t payloadType = kPayloadTypeH264;
    uint16_t fragmentIndex = 0;
    uint32_t frameNumber = 0;
    uint32_t payloadLength = 0;
};

// Writes the header into out[0 .. kHeaderSize); the bytes the client does not
// interpret are written as zero.
void WriteHeader(const Header& header, uint8_t* out);

// Reads the header fields from datagram[0 .. kHeaderSize); the caller has checked
// that many bytes are there. Nothing is validated.
Header ReadHeader(const uint8_t* datagram);

// True when the version bits and the payload type are those of a video fragment.
bool HasVideoSignature(const Header& header);

// Device side: builds a whole datagram into out (capacity bytes) from header (its
// payloadLength is replaced by `length`) and the plain payload, enciphering the
// first kCipheredBytes of the payload when it is at least that long. Returns the
// datagram's size, or 0 (out untouched) when length is negative, above
// kFragmentPayload, or the datagram does not fit.
int BuildFragment(const SessionKey& key, Header header, const uint8_t* payload, int length,
                  uint8_t* out, int capacity);

// Device side: cuts one frame of `size` bytes into its datagrams (fragment i carries
// bytes i * kFragmentPayload onwards, the last one the marker) and calls
// emit(datagram, length) for each in order; the datagram may be changed by emit.
// Returns the number of fragments, or 0 (nothing emitted) when the frame needs more
// than kMaxFragments or is empty.
template <typename Emit>
int CutFrame(const SessionKey& key, uint32_t frameNumber, const uint8_t* frame, int size,
             Emit&& emit) {
    const int fragments = (size + kFragmentPayload - 1) / kFragmentPayload;
    if (size <= 0 || fragments > kMaxFragments) return 0;
    uint8_t datagram[kHeaderSize + kFragmentPayload];
    for (int i = 0; i < fragments; ++i) {
        Header header;
        header.fragmentIndex = static_cast<uint16_t>(i);
        header.frameNumber = frameNumber;
        header.marker = i == fragments - 1;
        const int offset = i * kFragmentPayload;
        const int length = size - offset < kFragmentPayload ? size - offset : kFragmentPayload;
        const int n = BuildFragment(key, header, frame + offset, length, datagram, sizeof datagram);
        emit(datagram, n);
    }
    return fragments;
}

// Client side: deciphers the first kCipheredBytes of a payload of `length` bytes in
// place; shorter payloads travel plain and are left alone.
void DecipherPayloadHead(const SessionKey& key, uint8_t* payload, int length);

}  // namespace vantelsor::videodatagram
