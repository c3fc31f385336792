#include "sim/DeviceSim.h"

namespace vantelsor::sim {

DeviceSim::DeviceSim(SimConfig config)
    : config_(std::move(config)),
      server_(config_,
              [this](int connection) {
                  if (connection == ControlServer::kAllConnections) {
                      video_.EndAll();
                  } else {
                      video_.EndConnection(connection);
                  }
              }),
      video_(config_, VideoHooks()) {}

DeviceSim::~DeviceSim() {
    Stop();
}

VideoService::Hooks DeviceSim::VideoHooks() {
    VideoService::Hooks hooks;
    hooks.authorise = [this](const std::string& user, uint32_t address) {
        return server_.AuthoriseStream(user, address);
    };
    hooks.scene = [this] {
        return server_.Inspect([](const ControlDevice& device) {
            SceneState scene;
            scene.typedText = device.target().typedText();
            scene.pointerX = device.target().pointer().x;
            scene.pointerY = device.target().pointer().y;
            return scene;
        });
    };
    hooks.rate = [this] { return VideoSettings(); };
    hooks.record = [this](int connection, const std::vector<uint8_t>& datagram,
                          const std::string& text) {
        server_.RecordDatagram(connection, datagram, text);
    };
    return hooks;
}

bool DeviceSim::Start() {
    return server_.Start([this](std::string* error) { return video_.Start(error); });
}

void DeviceSim::Stop() {
    if (!server_.StopLoop()) return;
    // Without the server's lock: the video thread may be waiting for it.
    video_.Stop();
    server_.Shutdown();
}

std::string DeviceSim::StartError() const {
    return server_.StartError();
}

uint16_t DeviceSim::ControlPort() const {
    return server_.ControlPort();
}

std::vector<TraceEntry> DeviceSim::Trace() const {
    return server_.Trace();
}

bool DeviceSim::WaitForTrace(const std::function<bool(const TraceEntry&)>& pred, uint32_t timeoutMs,
                             size_t count) const {
    return server_.WaitForTrace(pred, timeoutMs, count);
}

SimStatus DeviceSim::Status() const {
    return server_.Status();
}

bool DeviceSim::WaitForStatus(const std::function<bool(const SimStatus&)>& pred,
                              uint32_t timeoutMs) const {
    return server_.WaitForStatus(pred, timeoutMs);
}

int DeviceSim::FramingErrors() const {
    return Status().framingErrors;
}

int DeviceSim::OpenConnections() const {
    return Status().openConnections;
}

std::vector<login::LoginRecord> DeviceSim::UserLog() const {
    return server_.Inspect([](const ControlDevice& d) { return d.userLog(); });
}

VideoRate DeviceSim::VideoSettings() const {
    return server_.Inspect([](const ControlDevice& d) { return d.state().video; });
}

DeviceState DeviceSim::State() const {
    return server_.Inspect([](const ControlDevice& d) { return d.state(); });
}

void DeviceSim::SetLockLeds(uint8_t leds) {
    server_.SetLockLeds(leds);
}

uint8_t DeviceSim::LockLeds() const {
    return server_.Inspect([](const ControlDevice& d) { return d.target().lockLeds(); });
}

std::string DeviceSim::TypedText() const {
    return server_.Inspect([](const ControlDevice& d) { return d.target().typedText(); });
}

TargetPointer DeviceSim::Pointer() const {
    return server_.Inspect([](const ControlDevice& d) { return d.target().pointer(); });
}

input::HidReport DeviceSim::KeyboardReport() const {
    return server_.Inspect([](const ControlDevice& d) { return d.target().report(); });
}

}  // namespace vantelsor::sim
