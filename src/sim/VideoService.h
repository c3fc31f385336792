// The simulated device's video side: a UDP socket on the video port that takes the
// clients' start and stop datagrams (0xA5), and a stream of the target's screen to
// every client that asked for it, encoded with libx264, cut into video datagrams and
// enciphered with that client's session key. Fault injection acts per datagram, each
// decision drawn by the device's FaultPolicy from the frame number and fragment index.
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
#include <string>
#include <thread>
#include <vector>

#include "crypto/FieldCipher.h"
#include "net/UniqueFd.h"
#include "net/WakeSignal.h"
#include "protocol/VideoSettingsMessages.h"
#include "sim/FaultPolicy.h"
#include "sim/SimConfig.h"
#include "sim/TargetScreen.h"

namespace vantelsor::sim {

class VideoEncoder;

// Who may be streamed to: a logged-in connection and its session key.
struct StreamGrant {
    int connection = 0;
    SessionKey key{};
};

// What the device did to the video datagrams it streamed, in datagrams.
struct VideoFaultCounts {
    uint32_t sent = 0;        // handed to the socket, every copy counted
    uint32_t lost = 0;        // dropped instead of sent
    uint32_t damaged = 0;     // sent with a damaged header, every copy counted
    uint32_t duplicated = 0;  // second copies sent
    uint32_t reordered = 0;   // held back and sent after the datagram that followed them
    bool operator==(const VideoFaultCounts&) const = default;
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

    // New probabilities from the next datagram on; the seed stays.
    void SetFaults(const VideoFaults& faults);
    int StreamCount() const;
    uint32_t FramesEncoded() const;
    uint32_t DatagramsSent() const;
    // Everything sent and injected since the device was made, over all streams.
    VideoFaultCounts Injected() const;
    // The same for the streams of one control connection that are open now.
    VideoFaultCounts InjectedTo(int connection) const;
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
        bool heldDamaged = false;
        VideoFaultCounts counts;
    };

    void Loop();
    void Receive();
    void SendFrame();
    void SendToStream(Stream& stream, uint32_t frame, int fragment, uint8_t* datagram, int length);
    void SendHeld(Stream& stream);
    // False when the socket did not take the datagram.
    bool SendTo(Stream& stream, const uint8_t* datagram, int length, bool damaged);
    SceneState CurrentScene() const;

    const SimConfig config_;
    const Hooks hooks_;
    const int width_;
    const int height_;

    mutable std::mutex lock_;  // everything below but the thread's own state
    std::map<std::pair<uint32_t, uint16_t>, Stream> streams_;
    VideoFaults faults_;
    const FaultPolicy policy_;
    VideoRate rateInUse_;  // of the last picture encoded; also paces the pictures
    bool keyFrameDue_ = true;
    uint32_t framesEncoded_ = 0;
    VideoFaultCounts injected_;
    UniqueFd fd_;
    uint16_t boundPort_ = 0;
    bool stopping_ = false;

    // The thread's own.
    TargetScreen screen_;
    std::optional<SceneState> writtenScene_;  // the scene last written to the picture file
    std::unique_ptr<VideoEncoder> encoder_;
    VideoRate encoderRate_;
    std::vector<uint8_t> accessUnit_;
    uint32_t frameNumber_ = 0;

    WakeSignal wake_;
    std::thread thread_;
};

}  // namespace vantelsor::sim
