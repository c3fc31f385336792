// The device's network configuration: read and write of 0xA6. The network
// dialog is a window over it; vantelsorctl's network commands use it directly.
//
// Construction installs its handler, destruction puts the previous one back.
// Operations run one at a time, on any one thread at a time, and block up to
// the reply time-out.
#pragma once

#include <mutex>

#include "admin/AdminOutcome.h"
#include "admin/KSetNetworkDlgHandler.h"
#include "net/ScopedHandler.h"
#include "protocol/NetworkMessages.h"
#include "session/Timing.h"

namespace vantelsor {

class NetSession;

class NetworkSettings {
  public:
    explicit NetworkSettings(NetSession& session, const Timing& timing = {});
    NetworkSettings(const NetworkSettings&) = delete;
    NetworkSettings& operator=(const NetworkSettings&) = delete;

    // kOk when a reply came; config() holds the device's values if it carried
    // them (a 0xAE reply or one without the configuration changes nothing).
    AdminOutcome Read();
    // Sends `config` with kind 2; a reply that carries a configuration updates config().
    AdminOutcome Write(const network::NetworkConfig& config);
    network::NetworkConfig config() const;
    // Whether any reply so far carried the device's configuration.
    bool haveConfig() const;

    // From KSetNetworkDlgHandler, on the stream receive thread.
    int OnNetworkMessage(const uint8_t* data, int length);

  private:
    NetSession& session_;
    Timing timing_;
    KSetNetworkDlgHandler handler_{this};

    mutable std::mutex lock_;
    network::NetworkConfig config_;
    bool haveConfig_ = false;
    // Last: installed once everything its messages reach exists, removed first.
    ScopedHandler installed_{session_, &handler_};
};

}  // namespace vantelsor
