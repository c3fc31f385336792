// The simulated device's video side: a UDP socket on the video port that takes the
// clients' start and stop datagrams (0xA5), and a stream of the target's screen to
// every client that asked for it, encoded with libx264, cut into video datagrams and
// enciphered with that client's session key. Fault injection acts per datagram.
//
// Threads: Start, Stop and the destructor belong to the owner's thread. The service's
// own thread waits in poll() on the socket and a wake-up descriptor, with a timeout
// only while some client is streamed to; it renders, encodes and sends. The hooks run
// on that thread, never under the service's lock, so they may take the owner's lock.
// Every other member may be called from any thread (the owner may hold its own lock).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "crypto/FieldCipher.h"
#include "net/WakeSignal.h"
#include "protocol/VideoSettingsMessages.h"
#include "sim/SimConfig.h"
#include "sim/TargetScreen.h"

namespace vantelsor::sim {

class VideoEncoder;

// Who may be streamed to: a logged-in connection and its session key.
struct StreamGrant {
    int connection = 0;
    SessionKey key{};
};

class VideoService {
  public:
    struct Hooks {
        // The logged-in connection of `user` whose peer is `address` (host order).
        std::function<std::optional<StreamGrant>(const std::string& user, uint32_t address)>
            authorise;
        // What the target shows besides the clock: typed text, the pointer.
        std::function<SceneState()> scene;
        // The device's video settings in force: frame rate and bit rate (kbit/s).
        std::function<VideoRate()> rate;
        // Records a received datagram in the device's trace.
        std::function<void(int connection, const std::vector<uint8_t>& datagram,
                           const std::string& text)>
            record;
    };

    VideoService(const SimConfig& config, Hooks hooks);
    ~VideoService();
    VideoService(const VideoService&) = delete;
    VideoService& operator=(const VideoService&) = delete;

    // Binds the video port and starts the thread; false with `error` set if it cannot.
    bool Start(std::string* error);
    // Stops streaming and the thread and closes the socket.
    void Stop();
    uint16_t VideoPort() const;

    // A control connection ended (logout, disconnect, reboot): its streams stop.
    void EndConnection(int connection);
    void EndAll();

    void SetFaults(const VideoFaults& faults);
    int StreamCount() const;
    uint32_t FramesEncoded() const;
    uint32_t DatagramsSent() const;
    // The rates the encoder works with now (taken from the device's settings before
    // each picture).
    VideoRate RateInUse() const;
    // The picture the stream shows now (clock, text, pointer), rendered afresh: width x
    // height pixels of 4 bytes (blue, green, red, 0xFF), rows top-down.
    std::vector<uint8_t> RenderNow() const;
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    struct Stream {
        int connection = 0;
        uint32_t address = 0;  // host order
        uint16_t port = 0;
        SessionKey key{};
        std::vector<uint8_t> held;  // a datagram held back to arrive out of order
    };

    void Loop();
    void Receive();
    void SendFrame();
    void SendToStream(Stream& stream, const VideoFaults& faults, uint8_t* datagram, int length);
    void SendTo(const Stream& stream, const uint8_t* datagram, int length);
    SceneState CurrentScene() const;

    const SimConfig config_;
    const Hooks hooks_;
    const int width_;
    const int height_;

    mutable std::mutex lock_;  // everything below but the thread's own state
    std::map<std::pair<uint32_t, uint16_t>, Stream> streams_;
    VideoFaults faults_;
    VideoRate rateInUse_;  // of the last picture encoded; also paces the pictures
    bool keyFrameDue_ = true;
    uint32_t framesEncoded_ = 0;
    uint32_t datagramsSent_ = 0;
    int fd_ = -1;
    uint16_t boundPort_ = 0;
    bool stopping_ = false;

    // The thread's own.
    TargetScreen screen_;
    std::optional<SceneState> writtenScene_;  // the scene last written to the picture file
    std::unique_ptr<VideoEncoder> encoder_;
    VideoRate encoderRate_;
    std::vector<uint8_t> accessUnit_;
    uint32_t frameNumber_ = 0;
    std::mt19937 random_;

    WakeSignal wake_;
    std::thread thread_;
};

}  // namespace vantelsor::sim
