#include "sim/VideoEncoder.h"

#include <algorithm>
#include <cstring>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

namespace vantelsor::sim {

VideoEncoder::VideoEncoder(int width, int height, VideoRate rate, int keyInterval)
    : width_(width), height_(height) {
    av_log_set_level(AV_LOG_FATAL);  // no encoder statistics on the device's output
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (codec == nullptr) return;
    context_ = avcodec_alloc_context3(codec);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (context_ == nullptr || frame_ == nullptr || packet_ == nullptr) {
        avcodec_free_context(&context_);
        return;
    }
    context_->width = width;
    context_->height = height;
    context_->pix_fmt = AV_PIX_FMT_YUV420P;
    context_->time_base = {1, std::max(1, int{rate.frameRate})};
    context_->framerate = {std::max(1, int{rate.frameRate}), 1};
    context_->gop_size = std::max(1, keyInterval);
    context_->max_b_frames = 0;
    context_->thread_count = 1;
    context_->bit_rate = static_cast<int64_t>(std::max(1, int{rate.bitRate})) * 1000;
    context_->rc_max_rate = context_->bit_rate;
    context_->rc_buffer_size = static_cast<int>(context_->bit_rate);
    av_opt_set(context_->priv_data, "preset", "ultrafast", 0);
    av_opt_set(context_->priv_data, "tune", "zerolatency", 0);
    av_opt_set(context_->priv_data, "forced-idr", "1", 0);
    frame_->format = AV_PIX_FMT_YUV420P;
    frame_->width = width;
    frame_->height = height;
    if (avcodec_open2(context_, codec, nullptr) < 0 || av_frame_get_buffer(frame_, 0) < 0) {
        avcodec_free_context(&context_);
    }
}

VideoEncoder::~VideoEncoder() {
    avcodec_free_context(&context_);
    av_frame_free(&frame_);
    av_packet_free(&packet_);
}

bool VideoEncoder::Encode(const uint8_t* yuv, bool keyFrame, std::vector<uint8_t>& out) {
    out.clear();
    if (!ok() || av_frame_make_writable(frame_) < 0) return false;
    const uint8_t* in = yuv;
    for (int plane = 0; plane < 3; ++plane) {
        const int w = plane ? width_ / 2 : width_;
        const int h = plane ? height_ / 2 : height_;
        for (int row = 0; row < h; ++row, in += w) {
            std::memcpy(frame_->data[plane] + static_cast<ptrdiff_t>(row) * frame_->linesize[plane],
                        in, static_cast<size_t>(w));
        }
    }
    frame_->pts = pts_++;
    frame_->pict_type = keyFrame ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    if (avcodec_send_frame(context_, frame_) < 0) return false;
    while (avcodec_receive_packet(context_, packet_) == 0) {
        out.insert(out.end(), packet_->data, packet_->data + packet_->size);
        av_packet_unref(packet_);
    }
    return true;
}

}  // namespace vantelsor::sim
