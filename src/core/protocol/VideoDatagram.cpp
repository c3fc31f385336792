#include "protocol/VideoDatagram.h"

#include <cstring>

#include "crypto/FieldCipher.h"
#include "protocol/ByteOrder.h"

namespace vantelsor::videodatagram {

void WriteHeader(const Header& header, uint8_t* out) {
    std::memset(out, 0, kHeaderSize);
    out[kVersionOffset] = header.version;
    out[kMarkerTypeOffset] = static_cast<uint8_t>((header.marker ? kMarkerBit : 0) |
                                                  (header.payloadType & kPayloadTypeMask));
    PutU16(out + kFragmentIndexOffset, header.fragmentIndex);
    PutU32(out + kFrameNumberOffset, header.frameNumber);
    PutU32(out + kPayloadLengthOffset, header.payloadLength);
}

Header ReadHeader(const uint8_t* datagram) {
    Header header;
    header.version = datagram[kVersionOffset];
    header.marker = (datagram[kMarkerTypeOffset] & kMarkerBit) != 0;
    header.payloadType = datagram[kMarkerTypeOffset] & kPayloadTypeMask;
    header.fragmentIndex = GetU16(datagram + kFragmentIndexOffset);
    header.frameNumber = GetU32(datagram + kFrameNumberOffset);
    header.payloadLength = GetU32(datagram + kPayloadLengthOffset);
    return header;
}

bool HasVideoSignature(const Header& header) {
    return (header.version & kVersionMask) == kVersionBits &&
           header.payloadType == kPayloadTypeH264;
}

int BuildFragment(const SessionKey& key, Header header, const uint8_t* payload, int length,
                  uint8_t* out, int capacity) {
    if (length < 0 || length > kFragmentPayload || capacity < kHeaderSize + length) return 0;
    header.payloadLength = static_cast<uint32_t>(length);
    WriteHeader(header, out);
    if (length > 0) std::memcpy(out + kHeaderSize, payload, static_cast<size_t>(length));
    if (length >= kCipheredBytes) {
        FieldCipher::EncryptBlocks(key.data(), out + kHeaderSize, out + kHeaderSize,
                                   kCipheredBytes);
    }
    return kHeaderSize + length;
}

void DecipherPayloadHead(const SessionKey& key, uint8_t* payload, int length) {
    if (length < kCipheredBytes) return;
    FieldCipher::DecryptBlocks(key.data(), payload, payload, kCipheredBytes);
}

}  // namespace vantelsor::videodatagram
