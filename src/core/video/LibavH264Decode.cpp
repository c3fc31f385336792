#include "video/LibavH264Decode.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libavutil/pixfmt.h>
}

#include <cstring>

namespace vantelsor {

LibavH264Decode::~LibavH264Decode() {
    Close();
}

bool LibavH264Decode::Open() {
    if (context_) return true;
    // A damaged or incomplete frame is part of normal operation over UDP: the library's
    // complaints about it would only flood the program's standard error.
    av_log_set_level(AV_LOG_FATAL);
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_H264);
    if (!codec) return false;
    context_ = avcodec_alloc_context3(codec);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!context_ || !frame_ || !packet_) {
        Close();
        return false;
    }
    // Frame threading would hold pictures back by one frame per thread.
    context_->thread_count = 1;
    context_->flags |= AV_CODEC_FLAG_LOW_DELAY;
    if (avcodec_open2(context_, codec, nullptr) < 0) {
        Close();
        return false;
    }
    return true;
}

void LibavH264Decode::Close() {
    avcodec_free_context(&context_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
}

int LibavH264Decode::Decode(const uint8_t* data, int length, uint8_t* yuv, size_t capacity,
                            int* width, int* height) {
    if (!context_) return kNotOpen;
    if (data && length > 0) {
        // The packet only borrows the caller's bytes for the call.
        packet_->data = const_cast<uint8_t*>(data);
        packet_->size = length;
        const int sent = avcodec_send_packet(context_, packet_);
        av_packet_unref(packet_);
        // EAGAIN: a picture must be taken first; it is, below, and the caller
        // drains further pictures with null data.
        if (sent < 0 && sent != AVERROR(EAGAIN)) return kError;
    }
    const int received = avcodec_receive_frame(context_, frame_);
    if (received == AVERROR(EAGAIN)) return kNeedMoreData;
    if (received == AVERROR_EOF) return kEndOfStream;
    if (received < 0) return kError;
    const int result = CopyPicture(yuv, capacity, width, height);
    av_frame_unref(frame_);
    return result;
}

int LibavH264Decode::CopyPicture(uint8_t* yuv, size_t capacity, int* width, int* height) const {
    if (frame_->format != AV_PIX_FMT_YUV420P && frame_->format != AV_PIX_FMT_YUVJ420P) {
        return kError;
    }
    const int w = frame_->width;
    const int h = frame_->height;
    // The converters read the chroma planes packed at half the width and height.
    if (w <= 0 || h <= 0 || w % 2 || h % 2) return kError;
    const size_t lumaSize = static_cast<size_t>(w) * h;
    if (lumaSize + lumaSize / 2 > capacity) return kTooLarge;
    uint8_t* out = yuv;
    for (int row = 0; row < h; ++row, out += w) {
        std::memcpy(out, frame_->data[0] + static_cast<ptrdiff_t>(row) * frame_->linesize[0], w);
    }
    for (int plane = 1; plane <= 2; ++plane) {
        for (int row = 0; row < h / 2; ++row, out += w / 2) {
            std::memcpy(out,
                        frame_->data[plane] + static_cast<ptrdiff_t>(row) * frame_->linesize[plane],
                        w / 2);
        }
    }
    if (width) *width = w;
    if (height) *height = h;
    return kPicture;
}

}  // namespace vantelsor
