// The simulated device's persistent state and where it is kept: loaded from
// the state file when the device is made, written back after every change,
// so that a reboot or a restart of the simulator keeps it. Without a state
// file it lives in memory only.
//
// Not thread-safe: ControlDevice calls it under DeviceSim's lock.
#pragma once

#include <string>

#include "sim/DeviceState.h"
#include "sim/SimConfig.h"

namespace vantelsor::sim {

class DeviceModel {
  public:
    // Accounts come from the configuration unless the state file has its own.
    explicit DeviceModel(const SimConfig& config);

    // Why the state file could not be read or written ("" when all is well).
    const std::string& error() const { return error_; }

    const DeviceState& state() const { return state_; }
    // Changes the state through `change` and writes it back.
    template <typename Change>
    void Update(Change&& change, bool firmwareChanged = false) {
        change(state_);
        Save(firmwareChanged);
    }
    void AddLogRecord(const login::LoginRecord& record);

  private:
    void Save(bool firmwareChanged);

    std::string path_;
    DeviceState state_;
    std::string error_;
};

}  // namespace vantelsor::sim
